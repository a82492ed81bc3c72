// The workstation's calls into the printing, notice, voice, card and outside
// interface units. Each call sits at its place in the workstation's flow; the
// units behind them come later. Every call checks its own switch first: with
// the switch off it does nothing, with the switch on and the unit not
// present yet it writes "<name>接口不可用" to the day log and the flow goes on.
#pragma once

#include <QString>
#include <QStringList>

namespace mzpy {
namespace wsif {

// Report request of the workstation (report kinds 0, 2, 3) for one prescription.
void PrintReport(int kind, const QString &serial);

// Dispensing machine: dictionary "取药队列字典" DSFBYJK_MZ / DSFBYJK_YFBMBH / DSFBYJK_CJBM00.
bool DispensingMachineOn();
QString DispensingMachineVendor();            // "" while off
void DispensingMachineNotice(const QString &operation, const QString &serial);  // "2" / "4"
bool DispensingMachineChecks();                // ">>已配" step 1 (vendor "QT"); false ends the command
void DispensingMachineLightBox();              // "亮 框"

// Queue calling: dictionary "排队叫号通用接口参数配置" PDJHJK_SFQY.
bool QueueCallingOn();
QString QueueCallingVendor();
void QueueCall(const QString &window, const QString &serial, const QString &scene);
void QueuePushWaiting(const QString &window, const QString &from, const QString &to);

// Dispensing-information push: "发药信息推送接口配置" QY, "药品核销接口配置" SFQY.
bool PushOn();
void PushDispensing(const QString &operation, const QString &serial);
void PushWriteOff(const QString &patientId, const QString &serial);
void ReportSharedPharmacyDispenser(const QString &serial);

// Unissued-prescription notice of a patient (empty when there is nothing to
// say or MZPY_PYQRTSYJZWFYCF is not "1").
QString UnissuedNotice(const QString &patientId);
// Voice announcement; voiceOn is the workstation's "语音" box.
void Speak(const QString &text, bool voiceOn);
// Pending-prescription reminders: when "1" after dispensing, "2" after issuing.
void PendingReminders(const QString &when, const QStringList &patientIds);

// Automated pharmacy lights (RssInterfaceOn()).
QString RssLightNumber(const QString &serial);
void RssFetchDone(const QString &serial);

// Trace-code scan window with the serial numbers and the mode text.
void TraceScan(const QStringList &serials, const QString &mode);

// CA scan login of the operator.
void CaScanLogin(const QString &operatorId);

// Mode text of the trace scan: one tag element SCAN_MZFY.
QString ScanModeTag(const QString &value);

}  // namespace wsif
}  // namespace mzpy
