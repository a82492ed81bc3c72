#include "HostMessages.h"

#include "HisHostMessage.h"
#include "ModuleState.h"
#include "common/Codec.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace mzpy {

QWidget *HostMainWindow()
{
    if (!QCoreApplication::instance())
        return nullptr;
    const QVariant v = QCoreApplication::instance()->property(HIS_MAIN_WINDOW_PROPERTY);
    if (!v.isValid())
        return nullptr;
    return qobject_cast<QWidget *>(v.value<QObject *>());
}

void SendHostMessage(const QString &text)
{
    QWidget *main = HostMainWindow();
    if (!main)
        return;
    QByteArray bytes = toGbk(text);  // keeps a terminating zero byte that is not counted
    HisCopyData data;
    data.dwData = static_cast<uintptr_t>(bytes.size());
    data.cbData = static_cast<uint32_t>(bytes.size());
    data.lpData = bytes.constData();
    HisCopyDataEvent event(data);
    QCoreApplication::sendEvent(main, &event);
}

QString MsgGetDllFileVersion(const QString &operationText)
{
    return QStringLiteral("GETDLLFILEVERSION@") + "<DllDBVerNo>" + kProgramDbVersion + "</DllDBVerNo>"
           + "<DllFileVerNo>" + kProgramFileVersion + "</DllFileVerNo>" + "<DllFileSysId>"
           + kProgramSystemCode + "</DllFileSysId>" + "<DllOperateParm>" + operationText + "</"
           + "DllOperateParm" + ">";
}

QString MsgCloseActivePageEx(const QString &actionName)
{
    return QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@") + ModuleFileName() + "," + "None" + "," + actionName;
}

QString MsgNewContainerForm(const QString &formClass, quintptr containerHandle, quintptr formHandle)
{
    return QStringLiteral("NEWDLLCONTAINERFORM@") + ModuleFileName() + "," + formClass + ","
           + QString::number(containerHandle) + "," + QString::number(formHandle);
}

QString MsgCloseActivePage(const QString &formClass, quintptr containerHandle)
{
    return QStringLiteral("CLOSEMAINFORMACTIVEPAGE@") + ModuleFileName() + "," + formClass + ","
           + QString::number(containerHandle);
}

QString MsgOpenFormByAction(const QString &actionName, const QString &parameterText)
{
    return QStringLiteral("OPENDLLFORMBYACTION@") + actionName + "," + parameterText;
}

QString MsgCloseActiveForm(const QString &actionName)
{
    return QStringLiteral("CLOSEDLLACTIVEFORM@") + ModuleFileName() + "," + "None" + "," + actionName;
}

QString MsgChangeActivePageCaption(const QString &actionName, const QString &caption)
{
    return QStringLiteral("CHANGEACTIVEPAGECAPTION@") + ModuleFileName() + "," + "None" + ","
           + actionName + "," + caption;
}

QString MsgOpenBrowser(const QString &address, const QString &caption)
{
    if (caption.trimmed().isEmpty())
        return QStringLiteral("OPENCHROMEBROWSER@") + address;
    return QStringLiteral("OPENCHROMEBROWSER@") + address + "," + caption;
}

QString MsgWriteInterfaceQcfkl(const QString &serialNumber)
{
    return QStringLiteral("WRITEINTERFACEQCFKL@") + serialNumber + ",";
}

}  // namespace mzpy
