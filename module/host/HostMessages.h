// Host messages: short GBK texts delivered synchronously to the host's main
// window (see include/HisHostMessage.h).
#pragma once

#include <QString>

class QWidget;

namespace mzpy {

// The host's main window, or nullptr when the host has none.
QWidget *HostMainWindow();

// Sends one message; dropped silently without a host main window.
void SendHostMessage(const QString &text);

// The formats of the messages the module sends.
QString MsgGetDllFileVersion(const QString &operationText);
QString MsgCloseActivePageEx(const QString &actionName);
QString MsgNewContainerForm(const QString &formClass, quintptr containerHandle, quintptr formHandle);
QString MsgCloseActivePage(const QString &formClass, quintptr containerHandle);
QString MsgOpenFormByAction(const QString &actionName, const QString &parameterText);
QString MsgCloseActiveForm(const QString &actionName);
QString MsgChangeActivePageCaption(const QString &actionName, const QString &caption);
QString MsgOpenBrowser(const QString &address, const QString &caption);
QString MsgWriteInterfaceQcfkl(const QString &serialNumber);

}  // namespace mzpy
