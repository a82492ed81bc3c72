// Module-wide state of the loaded library and its lifetime.
#pragma once

#include "DLL_MZPY_KTRB.h"

#include <QPointer>
#include <QString>

class QWidget;
class QApplication;

namespace mzpy {

class TDLLDM;
class Tfrm_Action_MZPY_KTRB;
class TgtICKParam;

// Build values of this module.
inline const QString kProgramDbVersion = QStringLiteral("CSBB");
inline const QString kProgramFileVersion = QString();
inline const QString kProgramSystemCode = QStringLiteral("R");

struct ModuleState {
    QApplication *hostApplication = nullptr;
    QPointer<QWidget> parentControl;
    const HisHostParams *hostParams = nullptr;
    TDLLDM *dataModule = nullptr;
    Tfrm_Action_MZPY_KTRB *actionForm = nullptr;
    QWidget *pubComponentsForm = nullptr;   // TFrmMZPY_Pub_Components
    TgtICKParam *cardParams = nullptr;
    QString moduleFileName;
    QString programSystemCode = kProgramSystemCode;
    bool lightsStarted = false;
    bool drugReviewStarted = false;  // rational-drug-use client running
};

ModuleState &Module();

// The file name (without folder) of the loaded library, as the system reports it.
QString ModuleFileName();
QString LoadedLibraryFileName();

// Start-up and shut-down.
bool StartModule(void *application, void *parentControl, void *databaseHandle,
                 const QString &menuActionName, const QString &hint, const HisHostParams *params);
void CloseAllForms();
void CloseFormByHandle(quintptr handle);
void ApplySkin(const QString &skinName);

// The start-up check: passes for this module's build values; with other
// program versions it compares them with the database's registered versions.
bool StartupCheck(const QString &programDbVersion, const QString &programFileVersion);

}  // namespace mzpy
