#include "RssLights.h"

#include "common/Log.h"
#include "common/Session.h"
#include "host/WorkstationConfig.h"

namespace mzpy {

bool RssInterfaceOn()
{
    const QString l = QLatin1Char(',') + GetSysParam(QStringLiteral("MZPY_ZNFYJKSQ"), QStringLiteral("N")) + QLatin1Char(',');
    if (!l.contains(QLatin1String(",Y,")) || !l.contains(QLatin1Char(',') + QString::number(Session().departmentId) + QLatin1Char(',')))
        return false;
    const QString off = QLatin1Char(',') + GetSysParam(QStringLiteral("MZPY_SFKZRCJK"), QStringLiteral("N")) + QLatin1Char(',');
    if (off.contains(QLatin1String(",Y,"))
        && off.contains(QLatin1Char(',') + Config().CKBH_PY + QLatin1Char(':') + Config().CKBH_FY + QLatin1Char(',')))
        return false;
    return true;
}

// The library calls of the automated pharmacy are not part of this build yet:
// with the switch on, the log says so and the connection stays closed.
bool OpenRss()
{
    WriteLog(QStringLiteral("RssInterface接口不可用:本版本未提供瑞驰接口"));
    return false;
}

void CloseRss()
{
    WriteLog(QStringLiteral("RssInterface接口不可用:本版本未提供瑞驰接口"));
}

}  // namespace mzpy
