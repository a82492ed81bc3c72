#include "WorkstationConfig.h"

#include "uDLLDM.h"
#include "common/Env.h"
#include "common/Ini.h"
#include "common/Session.h"
#include "common/TextHelpers.h"

#include <QFileInfo>

namespace mzpy {

WorkstationConfig &Config()
{
    static WorkstationConfig c;
    return c;
}

void LoadWorkstationConfig()
{
    WorkstationConfig &c = Config();
    c = WorkstationConfig();
    // 1. the host executable folder
    c.hostDir = hostDir();
    // 2. the file; a missing file reads as defaults
    const QString path = LoginIniPath();
    const QString S = QStringLiteral("MZPY");
    const bool exists = QFileInfo::exists(path);
    auto read = [&](const char *key, const QString &def) {
        return exists ? ReadLoginIniValue(path, S, QString::fromLatin1(key), def) : def;
    };
    c.CKLX = read("CKLX", QString());
    c.CKBH_PY = read("CKBH_PY", QString());
    c.CKBH_FY = read("CKBH_FY", QString());
    c.CKBH_PY_SXMS = read("CKBH_PY_SXMS", QString());
    c.JYDY_SXMS = read("JYDY_SXMS", QStringLiteral("3"));
    c.IRON_IP = GetSysParam(QStringLiteral("MZPY_IRONJKIP"), QString());
    if (c.IRON_IP.isEmpty())
        c.IRON_IP = read("IRON_IP", QString());
    c.MZCFDY_LOG = read("MZCFDY_LOG", QStringLiteral("N"));
    // 3. the print station interval is a run of digits, else 5 seconds
    if (!IsDigits(c.CKBH_PY_SXMS))
        c.CKBH_PY_SXMS = QStringLiteral("5");
    // 4. printers
    c.Print_MR = read("Print_MR", QString());
    c.Print_CF = read("Print_CF", QString());
    c.Print_CFEK = read("Print_CFEK", QString());
    c.Print_CFBQ = read("Print_CFBQ", QString());
    c.Print_CFJSPY = read("Print_CFJSPY", QString());
    c.QCFYFBMBH = read("QCFYFBMBH", QString());
    c.Print_BQText = read("Print_BQ", QStringLiteral("Y"));
    c.Print_BQ = c.Print_BQText == QLatin1String("Y");
    for (int i = 0; i < 16; ++i)
        c.Print_BZDYJ[i] = read(QStringLiteral("Print_BZDYJ%1").arg(i + 1).toLatin1().constData(), QString());
    c.loaded = true;
    // 6. the return reasons, in display order
    if (TDLLDM *dm = DLLDM()) {
        TQuery q;
        q.setSql(QStringLiteral("select MC0000 from BM_TYZD00 where ZDMC00 = '门诊审方退回原因' and LBBZ00='0' order by XSXH00"));
        q.open();
        QString reasons;
        for (const auto &row : q.data().rows)
            reasons += QLatin1Char('|') + oradb::valueText(row.value(0));
        c.returnReasons = reasons.mid(1);
    }
}

}  // namespace mzpy
