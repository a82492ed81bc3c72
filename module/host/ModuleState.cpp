#include "ModuleState.h"

#include "HostMessages.h"
#include "UnitDLL_Action_MZPY_KTRB.h"
#include "UnattendedPrompts.h"
#include "WorkstationConfig.h"
#include "uBaseDLLForm.h"
#include "uDLLDM.h"
#include "cards/TgtICKParam.h"
#include "common/Log.h"
#include "common/Prompts.h"
#include "common/Session.h"
#include "interfaces/RssLights.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <dlfcn.h>

namespace mzpy {

ModuleState &Module()
{
    static ModuleState state;
    return state;
}

QString LoadedLibraryFileName()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&LoadedLibraryFileName), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).fileName();
    return QStringLiteral("DLL_MZPY_KTRB.so");
}

QString ModuleFileName()
{
    ModuleState &m = Module();
    if (m.moduleFileName.isEmpty())
        m.moduleFileName = LoadedLibraryFileName();
    return m.moduleFileName;
}

// ------------------------------------------------------------ start-up check

namespace {
QString majorPart(const QString &version)
{
    return version.section(QLatin1Char('.'), 0, 0);
}

QString versionMismatchText(const QString &program, const QString &system)
{
    return QStringLiteral("程序数据库版本错误，模块无法运行，请联系管理员！\r\n程序数据库版本为：") + program
           + QStringLiteral("，系统数据库版本为：") + system;
}

QString versionTooHighText(const QString &entry, const QString &system)
{
    return QStringLiteral("程序的数据库版本<") + entry + QStringLiteral(">超出系统的数据库版本<") + system
           + QStringLiteral(">，") + "\r\n" + QStringLiteral("模块无法运行，请联系管理员！");
}

// The schema user of the hospital system's main schema (a deployment value).
QString mainSchemaName()
{
    const QString env = qEnvironmentVariable("MZPY_MAIN_SCHEMA");
    return env.isEmpty() ? QStringLiteral("HIS") : env;
}

// Byte-wise ordinal comparison of two texts.
bool greaterText(const QString &a, const QString &b)
{
    return a.toUtf8() > b.toUtf8();
}
}  // namespace

bool StartupCheck(const QString &programDbVersion, const QString &programFileVersion)
{
    ModuleState &m = Module();
    // 1.
    m.moduleFileName = LoadedLibraryFileName();
    m.programSystemCode = kProgramSystemCode;
    // 2.
    if (programDbVersion.compare(QLatin1String("TYBB"), Qt::CaseInsensitive) == 0
        || programDbVersion.compare(QLatin1String("CSBB"), Qt::CaseInsensitive) == 0)
        return true;
    TDLLDM *dm = DLLDM();
    if (!dm)
        return false;
    // 3. the system database version
    TQuery *q = dm->qryCmd;
    q->clearParams();
    dm->DbOpen(q, QStringLiteral("select DBBB00 from XT_DBMS00 where upper(SJKYH0)='") + mainSchemaName().toUpper() + "'");
    const QString system = q->isEmpty() ? QString() : q->text(QStringLiteral("DBBB00")).trimmed();
    q->close();
    // 4.
    if (system == QLatin1String("-1")) {
        ShowError(QStringLiteral("本软件已升级增加系统数据库版本的控制\r\n请联系管理员！\r\n"));
        return false;
    }
    const QString systemMajor = majorPart(system);
    // 5. a list of versions
    if (programDbVersion.contains(QLatin1Char(';'))) {
        QString entry;
        bool found = false;
        for (const QString &e : programDbVersion.split(QLatin1Char(';'))) {
            if (majorPart(e).compare(systemMajor, Qt::CaseInsensitive) == 0) {
                entry = e;
                found = true;
                break;
            }
        }
        if (!found) {
            ShowError(versionMismatchText(programDbVersion, system));
            return false;
        }
        if (greaterText(entry, system)) {
            ShowError(versionTooHighText(entry, system));
            return false;
        }
    } else if (programDbVersion.compare(system, Qt::CaseInsensitive) != 0) {
        // 6.
        if (majorPart(programDbVersion).compare(systemMajor, Qt::CaseInsensitive) != 0) {
            ShowError(versionMismatchText(programDbVersion, system));
            return false;
        }
        if (greaterText(programDbVersion, system)) {
            ShowError(versionTooHighText(programDbVersion, system));
            return false;
        }
    }
    // 7. the registered file version
    dm->DbOpen(q, QStringLiteral("select XTBB00 from XT_YYXT00 where XTDM00='%1'").arg(m.programSystemCode));
    const QString registered = q->isEmpty() ? QString() : q->text(QStringLiteral("XTBB00")).trimmed();
    q->close();
    if (registered.isEmpty())
        return true;
    // 8.
    const QStringList parts = programFileVersion.split(QLatin1Char('.'));
    const QString first3 = parts.mid(0, 3).join(QLatin1Char('.'));
    if (first3.compare(registered, Qt::CaseInsensitive) == 0)
        return true;
    ShowError(QStringLiteral("当前模块所属文件<") + ModuleFileName() + QStringLiteral(">的版本号(") + first3
              + QStringLiteral(")与系统版本号(") + registered + QStringLiteral(")不符,模块打开失败！") + "\r\n\r\n"
              + QStringLiteral("请退出系统并重新登录,以便程序自动更新"));
    return false;
}

// ------------------------------------------------------------------ start-up

bool StartModule(void *application, void *parentControl, void *databaseHandle,
                 const QString &menuActionName, const QString &hint, const HisHostParams *params)
{
    ModuleState &m = Module();
    InstallUnattendedPromptsFromEnvironment();
    // 1.
    m.hostApplication = static_cast<QApplication *>(application);
    m.parentControl = static_cast<QWidget *>(parentControl);
    m.hostParams = params;
    // 2. the data module on the host's connection
    if (!m.dataModule) {
        try {
            m.dataModule = new TDLLDM(databaseHandle);
        } catch (const std::exception &) {
            m.dataModule = nullptr;
            ShowError(QStringLiteral("◆ 创建DLL的数据模块出错!"));
        }
    }
    // Without a data module no function can work: the page is closed.
    if (!m.dataModule) {
        SendHostMessage(MsgCloseActivePageEx(menuActionName));
        return false;
    }
    // 3. the start-up check
    bool checked = false;
    RunGuarded([&] { checked = StartupCheck(kProgramDbVersion, kProgramFileVersion); });
    if (!checked) {
        SendHostMessage(MsgCloseActivePageEx(menuActionName));
        return false;
    }
    // 4. card reader parameters, on every call
    if (!m.cardParams)
        m.cardParams = new TgtICKParam;
    m.cardParams->LoadCardParams();
    // 5. the action form, then the session and the workstation configuration
    if (!m.actionForm) {
        try {
            m.actionForm = new Tfrm_Action_MZPY_KTRB;
            m.actionForm->IsFunctionForm = false;
            m.actionForm->FormCreate();
            m.actionForm->hide();
        } catch (const std::exception &) {
            delete m.actionForm;
            m.actionForm = nullptr;
            ShowError(QStringLiteral("frm_ActionList窗口创建不成功"));
            return false;
        }
        LoadSession();
        LoadWorkstationConfig();  // a database error here reaches the host
    }
    // 6. the shared components form
    if (!m.pubComponentsForm) {
        m.pubComponentsForm = new QWidget;
        m.pubComponentsForm->setObjectName(QStringLiteral("FrmMZPY_Pub_Components"));
        m.pubComponentsForm->setWindowTitle(QStringLiteral("门诊配药公共控件"));
        m.pubComponentsForm->hide();
    }
    // 7. the menu action
    const bool result = RunMenuAction(menuActionName, hint);
    // 8. the automated pharmacy's connection
    if (RssInterfaceOn() && !m.lightsStarted) {
        WriteLog(QStringLiteral("调用瑞驰数据连接初始化接口"));
        m.lightsStarted = OpenRss();
        WriteLog(QStringLiteral("结束瑞驰数据连接初始化接口"));
    }
    return result;
}

// ----------------------------------------------------------------- close-all

void CloseAllForms()
{
    ModuleState &m = Module();
    // 1. every function form, last to first; each sends its close message
    QList<TBaseDLLForm *> forms = LiveForms();
    for (int i = forms.size() - 1; i >= 0; --i) {
        TBaseDLLForm *f = forms[i];
        f->hide();
        delete f;
    }
    // 2. the rational-drug-use client
    if (m.drugReviewStarted) {
        if (AskYes(QStringLiteral("是否退出大通合理用药系统？"), 3))
            m.drugReviewStarted = false;
    }
    // 3. the hidden forms
    delete m.actionForm;
    m.actionForm = nullptr;
    delete m.pubComponentsForm;
    m.pubComponentsForm = nullptr;
    // 4. the automated pharmacy's connection
    if (m.lightsStarted) {
        WriteLog(QStringLiteral("关闭瑞驰数据接口"));
        CloseRss();
        WriteLog(QStringLiteral("关闭瑞驰数据接口结束"));
        m.lightsStarted = false;
    }
    // 5. the data module
    delete m.dataModule;
    m.dataModule = nullptr;
}

void CloseFormByHandle(quintptr handle)
{
    for (TBaseDLLForm *f : LiveForms()) {
        if (f->internalWinId() == handle) {
            f->close();
            return;
        }
    }
}

void ApplySkin(const QString &skinName)
{
    for (TBaseDLLForm *f : LiveForms()) {
        for (QWidget *w : f->findChildren<QWidget *>()) {
            if (w->inherits("QAbstractButton") || w->inherits("QGroupBox") || w->inherits("QTableView"))
                w->setProperty("skinName", skinName);
        }
    }
}

// ------------------------------------------------------ library load/unload

namespace {
struct LibraryLifetime {
    LibraryLifetime()
    {
        Module().cardParams = new TgtICKParam;
    }
    ~LibraryLifetime()
    {
        try {
            ModuleState &m = Module();
            // Forms may still exist when the host unloads early; the data
            // module goes, the forms stay the host's.
            delete m.dataModule;
            m.dataModule = nullptr;
            delete m.cardParams;
            m.cardParams = nullptr;
        } catch (...) {
        }
    }
};
LibraryLifetime g_lifetime;
}  // namespace

}  // namespace mzpy
