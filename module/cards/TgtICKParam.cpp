#include "TgtICKParam.h"

#include "common/Session.h"

namespace mzpy {

TgtICKParam::TgtICKParam()
{
    ports = {1};
}

void TgtICKParam::LoadCardParams()
{
    auto ick = [](const char *key) { return GetLoginSettingText(QStringLiteral("ICK"), QString::fromLatin1(key)); };
    const QString com = ick("COM");
    ports.clear();
    for (const QString &item : com.split(QLatin1Char(';'), Qt::SkipEmptyParts).mid(0, 4)) {
        bool ok = false;
        const int port = item.trimmed().toInt(&ok);
        ports.append(ok ? port : 1);
    }
    readerCount = ports.size();
    if (ports.isEmpty())
        ports.append(1);
    models = ick("ICKJ").split(QLatin1Char(';'), Qt::SkipEmptyParts).mid(0, 4);
    cardGroups = ick("BRKL").split(QLatin1Char(';'));
    YGKL = ick("YGKL");
    YGKL2 = ick("YGKL2");
    COMIN = ick("COMIN");
    AUTOC = ick("AUTOC");
    AUTOO = ick("AUTOO");
    CWXSFS = ick("CWXSFS");
    YBJK_DIR = GetLoginSettingText(QStringLiteral("YBJK"), QStringLiteral("DIR"));
    YBEXE = GetLoginSettingText(QStringLiteral("YBJK"), QStringLiteral("YBEXE"));
    YBJK_COMIN = GetLoginSettingText(QStringLiteral("YBJK"), QStringLiteral("COMIN"));
    TLJK_DIR = GetLoginSettingText(QStringLiteral("TLJK"), QStringLiteral("DIR"));
    TLJK_EXE = GetLoginSettingText(QStringLiteral("TLJK"), QStringLiteral("EXE"));
    TLJK_COMIN = GetLoginSettingText(QStringLiteral("TLJK"), QStringLiteral("COMIN"));
    NHJK_DIR = GetLoginSettingText(QStringLiteral("NHJK"), QStringLiteral("DIR"));
    if (NHJK_DIR.isEmpty() || NHJK_DIR == QLatin1String("0"))
        NHJK_DIR = YBJK_DIR;
    YNDKWJML = GetLoginSettingText(QStringLiteral("OTHER"), QStringLiteral("YNDKWJML"));
    ++loads;
}

}  // namespace mzpy
