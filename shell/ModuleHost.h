// Loading of the dispensing module library and calls of its two exports.
#pragma once

#include "DLL_MZPY_KTRB.h"

#include <QLibrary>
#include <QString>

class QWidget;
struct sqlite3;

namespace shell {

class ModuleHost {
public:
    // Loads DLL_MZPY_KTRB.so (or libDLL_MZPY_KTRB.so) from the folder and resolves both exports.
    // The library is never unloaded: widgets of its classes may outlive any
    // point at which unloading would be safe, and the host parameter record
    // it keeps must stay valid while it is mapped.
    bool load(const QString &folder, QString *error);
    bool isLoaded() const { return m_show && m_operate; }
    QString fileName() const { return m_library.fileName(); }

    // ShowDLLNormalForm with the host's application object and GBK texts.
    bool show(QWidget *parentControl, sqlite3 *db, const QString &actionName, const QString &hint,
              const HisHostParams *params);
    // OperateDllNormalForm.
    void operate(quintptr windowHandle, int operation, const QString &text);

    // Whether ShowDLLNormalForm was called at least once.
    bool started() const { return m_started; }

private:
    QLibrary m_library;
    ShowDLLNormalFormProc m_show = nullptr;
    OperateDllNormalFormProc m_operate = nullptr;
    bool m_started = false;
};

}  // namespace shell
