#include "WorkstationInterfaces.h"

#include "common/Log.h"
#include "common/Session.h"
#include "common/TextHelpers.h"
#include "host/uDLLDM.h"
#include "interfaces/RssLights.h"

namespace mzpy {
namespace wsif {

namespace {
void notAvailable(const QString &name)
{
    WriteLog(name + QStringLiteral("接口不可用"));
}
QString dict(const char *category, const char *code, const char *def)
{
    return GetDictName(QString::fromUtf8(category), QString::fromLatin1(code), QString::fromLatin1(def)).trimmed();
}
QString dept()
{
    return QString::number(Session().departmentId);
}
}  // namespace

void PrintReport(int kind, const QString &serial)
{
    notAvailable(QStringLiteral("报表打印(") + QString::number(kind) + QStringLiteral(",") + serial + QStringLiteral(")"));
}

bool DispensingMachineOn()
{
    return dict("取药队列字典", "DSFBYJK_MZ", "0") == QLatin1String("1")
        && InCommaList(dict("取药队列字典", "DSFBYJK_YFBMBH", ""), dept());
}

QString DispensingMachineVendor()
{
    return DispensingMachineOn() ? dict("取药队列字典", "DSFBYJK_CJBM00", "") : QString();
}

void DispensingMachineNotice(const QString &operation, const QString &serial)
{
    if (DispensingMachineOn())
        notAvailable(QStringLiteral("发药机(") + operation + QStringLiteral(",") + serial + QStringLiteral(")"));
}

bool DispensingMachineChecks()
{
    if (DispensingMachineVendor() == QLatin1String("QT"))
        notAvailable(QStringLiteral("发药机检查"));
    return true;
}

void DispensingMachineLightBox()
{
    if (DispensingMachineOn())
        notAvailable(QStringLiteral("发药机亮框"));
}

bool QueueCallingOn()
{
    return dict("排队叫号通用接口参数配置", "PDJHJK_SFQY", "0") == QLatin1String("1");
}

QString QueueCallingVendor()
{
    return QueueCallingOn() ? dict("排队叫号通用接口参数配置", "PDJHJK_CJBM", "") : QString();
}

void QueueCall(const QString &window, const QString &serial, const QString &scene)
{
    if (QueueCallingOn())
        notAvailable(QStringLiteral("排队叫号(") + window + QStringLiteral(",") + serial + QStringLiteral(",") + scene
                     + QStringLiteral(")"));
}

void QueuePushWaiting(const QString &window, const QString &from, const QString &to)
{
    if (QueueCallingOn())
        notAvailable(QStringLiteral("排队叫号待发列表(") + window + QStringLiteral(",") + from + QStringLiteral(",") + to
                     + QStringLiteral(")"));
}

bool PushOn()
{
    return dict("发药信息推送接口配置", "QY", "0") == QLatin1String("1");
}

void PushDispensing(const QString &operation, const QString &serial)
{
    if (PushOn())
        notAvailable(QStringLiteral("发药信息推送(") + operation + QStringLiteral(",") + serial + QStringLiteral(")"));
}

void PushWriteOff(const QString &patientId, const QString &serial)
{
    if (dict("药品核销接口配置", "SFQY", "N") == QLatin1String("Y"))
        notAvailable(QStringLiteral("药品核销(") + patientId + QStringLiteral(",") + serial + QStringLiteral(")"));
}

void ReportSharedPharmacyDispenser(const QString &serial)
{
    // Driven by the prescription itself (a shared-pharmacy prescription), not by a switch.
    notAvailable(QStringLiteral("共享药房推送(") + serial + QStringLiteral(")"));
}

QString UnissuedNotice(const QString &patientId)
{
    if (GetSysParam(QStringLiteral("MZPY_PYQRTSYJZWFYCF"), QStringLiteral("1")) != QLatin1String("1"))
        return QString();
    TDLLDM *dm = DLLDM();
    if (!dm)
        return QString();
    QString text;
    try {
        const oradb::ResultSet rs = Db().select(
            QStringLiteral("select b.bmmc00,count(1) SL0000 from yf_mzcf00 a,bm_bmbm00 b where a.yfbmbh=b.bmbh00 and "
                           "a.BRID00=:BRID00 and a.CFZT00='1' and nvl(fyrq00,'20991231')='20991231'  and a.jzrq00 >= "
                           "to_char(sysdate-1,'YYYYMMDD') and a.CFZJE0>0 and not exists (select 1 from yf_mzcf00 where "
                           "brid00=a.brid00 and jzrq00=a.jzrq00 and BCCFH0=a.cflsh0 and cfzje0<0) group by b.bmmc00"),
            {{QStringLiteral("BRID00"), patientId}});
        for (const auto &row : rs.rows)
            text += oradb::valueText(row.value(0)) + QStringLiteral(":") + oradb::valueText(row.value(1))
                  + QStringLiteral("张处方,");
    } catch (const oradb::DbError &e) {
        WriteLog(QStringLiteral("未发药处方提示查询失败:") + e.message());
        return QString();
    }
    if (!text.isEmpty())
        text += QStringLiteral(" 已记账未发药！请手工补发药！");
    return text;
}

void Speak(const QString &text, bool voiceOn)
{
    if (voiceOn)
        notAvailable(QStringLiteral("语音(") + text + QStringLiteral(")"));
}

void PendingReminders(const QString &when, const QStringList &patientIds)
{
    const QString mode = GetSysParam(QStringLiteral("MZPY_PYHTSWFYCF"), QStringLiteral("0"));
    const bool on = (when == QLatin1String("1") && mode == QLatin1String("1"))
                 || (when == QLatin1String("2") && (mode == QLatin1String("2") || mode == QLatin1String("3")));
    if (on && !patientIds.isEmpty())
        notAvailable(QStringLiteral("待取药处方提醒"));
}

QString RssLightNumber(const QString &serial)
{
    if (RssInterfaceOn())
        notAvailable(QStringLiteral("瑞驰点灯(") + serial + QStringLiteral(")"));
    return QString();
}

void RssFetchDone(const QString &serial)
{
    if (RssInterfaceOn())
        notAvailable(QStringLiteral("瑞驰消方(") + serial + QStringLiteral(")"));
}

void TraceScan(const QStringList &serials, const QString &mode)
{
    // The scan window is only worth opening when the trace-code switches are on.
    if (dict("医保追溯码配置", "YBZSMSFQY", "0") == QLatin1String("1")
        || dict("医保追溯码配置", "YF_SFZZSM", "0") == QLatin1String("1"))
        notAvailable(QStringLiteral("追溯码扫描(") + serials.join(QLatin1Char(',')) + QStringLiteral(",") + mode
                     + QStringLiteral(")"));
}

void CaScanLogin(const QString &operatorId)
{
    notAvailable(QStringLiteral("CA扫码登录(") + operatorId + QStringLiteral(")"));
}

QString ScanModeTag(const QString &value)
{
    return QStringLiteral("<SCAN_MZFY>") + value + QStringLiteral("</SCAN_MZFY>");
}

}  // namespace wsif
}  // namespace mzpy
