#include "ModuleHost.h"

#include "HostConfig.h"

#include <QApplication>
#include <QDir>

namespace shell {

bool ModuleHost::load(const QString &folder, QString *error)
{
    m_library.setFileName(QDir(folder).filePath(QStringLiteral("DLL_MZPY_KTRB")));
    if (!m_library.load()) {
        if (error)
            *error = QStringLiteral("模块库无法加载: %1").arg(m_library.errorString());
        return false;
    }
    m_show = reinterpret_cast<ShowDLLNormalFormProc>(m_library.resolve("ShowDLLNormalForm"));
    m_operate = reinterpret_cast<OperateDllNormalFormProc>(m_library.resolve("OperateDllNormalForm"));
    if (!m_show || !m_operate) {
        if (error)
            *error = QStringLiteral("模块库 %1 缺少导出函数 ShowDLLNormalForm 或 OperateDllNormalForm")
                         .arg(m_library.fileName());
        m_show = nullptr;
        m_operate = nullptr;
        return false;
    }
    return true;
}

bool ModuleHost::show(QWidget *parentControl, sqlite3 *db, const QString &actionName, const QString &hint,
                      const HisHostParams *params)
{
    if (!m_show)
        return false;
    m_started = true;
    const QByteArray action = toGbk(actionName);
    const QByteArray hintText = toGbk(hint);
    return m_show(qApp, parentControl, db, action.constData(), hintText.constData(), params) != 0;
}

void ModuleHost::operate(quintptr windowHandle, int operation, const QString &text)
{
    if (!m_operate)
        return;
    const QByteArray bytes = toGbk(text);
    m_operate(windowHandle, operation, bytes.constData());
}

}  // namespace shell
