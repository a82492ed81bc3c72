#include "Session.h"

#include "Codec.h"
#include "TextHelpers.h"
#include "host/ModuleState.h"
#include "host/uDLLDM.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

namespace mzpy {

SessionContext &Session()
{
    static SessionContext s;
    return s;
}

// Compares host text with a name in GBK bytes, ignoring the letter case of
// ASCII letters only (bytes of two-byte characters are compared as they are).
static bool sameNameGbk(const char *hostText, const QByteArray &name)
{
    if (!hostText)
        return name.isEmpty();
    int i = 0;
    for (; hostText[i] && i < name.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(hostText[i]);
        const unsigned char b = static_cast<unsigned char>(name[i]);
        const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(a) != lower(b))
            return false;
    }
    return !hostText[i] && i == name.size();
}

// The host's tables are read on every lookup (they may change while the
// module works); the name is encoded once, the entries are not decoded.
static QString lookupTable(const HisNameValue *table, int count, const QString &name)
{
    if (!table)
        return QString();
    const QByteArray gbkName = toGbk(name);
    for (int i = 0; i < count; ++i) {
        if (sameNameGbk(table[i].name, gbkName))
            return fromGbk(table[i].value);  // the first entry of that name decides
    }
    return QString();
}

QString GetSysParam(const QString &name, const QString &defaultValue)
{
    const QString n = name.trimmed();
    const HisHostParams *p = Module().hostParams;
    if (!p || !p->paramSet)
        return defaultValue;
    const HisHostParamSet *set = p->paramSet;
    QString v = lookupTable(set->sysParams1, set->sysParams1Count, n);
    if (!v.isEmpty())
        return v;
    v = lookupTable(set->sysParams2, set->sysParams2Count, n);
    if (!v.isEmpty())
        return v;
    return defaultValue;
}

QString GetUserOption(const QString &name, const QString &defaultValue)
{
    const QString n = name.trimmed();
    const HisHostParams *p = Module().hostParams;
    if (!p || !p->paramSet)
        return defaultValue;
    const QString v = lookupTable(p->paramSet->userOptions, p->paramSet->userOptionCount, n);
    return v.isEmpty() ? defaultValue : v;
}

QVariant GetLoginSetting(const QString &section, const QString &key)
{
    const HisHostParams *p = Module().hostParams;
    if (!p)
        return QVariant(QString());  // unassigned
    const QString k = key.trimmed();
    if (k.isEmpty() || !p->loginSettings || !p->loginSettings->items)
        return QVariant(0);
    const HisLoginSettings *ls = p->loginSettings;
    for (int i = 0; i < ls->count; ++i) {
        const HisLoginSetting &item = ls->items[i];
        if (fromGbk(item.key).compare(k, Qt::CaseInsensitive) == 0
            && fromGbk(item.section).compare(section, Qt::CaseInsensitive) == 0) {
            switch (item.value.kind) {
            case HIS_VT_INT: return QVariant(qlonglong(item.value.intValue));
            case HIS_VT_BOOL: return QVariant(item.value.intValue != 0);
            case HIS_VT_FLOAT: return QVariant(item.value.floatValue);
            case HIS_VT_TEXT: return QVariant(fromGbk(item.value.text));
            default: return QVariant(QString());
            }
        }
    }
    return QVariant(0);
}

QString GetLoginSettingText(const QString &section, const QString &key)
{
    const QVariant v = GetLoginSetting(section, key);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

QString GetDictName(const QString &category, const QString &code, const QString &defaultValue)
{
    TDLLDM *dm = DLLDM();
    QString result = defaultValue;
    if (!dm)
        return result;
    // The dictionary is read with the values bound, so a code holding an
    // apostrophe cannot change the statement.
    TQuery q(nullptr, QStringLiteral("qryDict"));
    q.params = {{QStringLiteral("ZDMC00"), category.trimmed()}, {QStringLiteral("BH0000"), code.trimmed()}};
    dm->DbOpen(&q, QStringLiteral("select BH0000,MC0000 from BM_TYZD00 where ZDMC00 = :ZDMC00 and BH0000 = :BH0000"));
    if (!q.isEmpty()) {
        result = q.text(QStringLiteral("MC0000")).trimmed();
        if (result.isEmpty() && !defaultValue.trimmed().isEmpty())
            result = defaultValue.trimmed();
    }
    return result;
}

QString GetAllergyText(qint64 patientId, const QString &extra)
{
    if (patientId <= 0)
        return QString();
    TDLLDM *dm = DLLDM();
    if (!dm)
        return QString();
    static const char *const titles[] = {"药物过敏史:", "食物过敏史:", "其他过敏史:"};
    QStringList lines;
    for (int kind = 0; kind < 3; ++kind) {
        const QString sql = QStringLiteral("select SF_XT_BRGMJL_DZBL(") + "'0'" + ","
                            + QuotedSql(QString::number(patientId)) + "," + QuotedSql(QString::number(kind))
                            + "," + QuotedSql(extra) + ") as BRGMXX from dual ";
        dm->DbOpen(dm->QryTemp, sql);
        QString text = dm->QryTemp->text(QStringLiteral("BRGMXX")).trimmed();
        if (text.isEmpty())
            text = QStringLiteral("未发现");
        lines << QString::fromUtf8(titles[kind]) + text;
    }
    return lines.join(QStringLiteral("\r\n"));
}

QColor PlatformColor(int value)
{
    const quint32 v = quint32(value);
    if (v & 0xFF000000u) {
        // System colours: the one the module uses is the tool-tip background.
        return QApplication::palette().color(QPalette::ToolTipBase);
    }
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int ColorParam(const QString &name, int defaultValue)
{
    bool ok = false;
    const QString text = GetSysParam(name, QString()).trimmed();
    const qlonglong v = text.toLongLong(&ok);
    if (!ok || v < INT_MIN || v > qlonglong(UINT_MAX))
        return defaultValue;
    return int(v);
}

void ContainerMetrics(int screenWidth, int *marginH, int *marginV, int *minHeight)
{
    if (screenWidth == 800) {
        *marginH = 4; *marginV = 24; *minHeight = 470;
    } else if (screenWidth == 1024) {
        *marginH = 4; *marginV = 4; *minHeight = 500;
    } else {
        *marginH = 2; *marginV = 2; *minHeight = 550;
    }
}

void LoadSession()
{
    SessionContext &s = Session();
    const HisHostParams *p = Module().hostParams;
    // 1. from the host parameter record
    if (p) {
        s.operatorId = int(p->operatorId);
        s.operatorCardNo = fromGbk(p->operatorCardNo);
        s.operatorName = fromGbk(p->operatorName);
        s.departmentId = int(p->departmentId);
        s.departmentName = fromGbk(p->departmentName);
        s.systemCode = fromGbk(p->systemCode);
        s.machineName = fromGbk(p->machineName);
    }
    // 2. department nature and hospital ("-1" stays when the read fails)
    if (TDLLDM *dm = DLLDM()) {
        s.departmentNature = dm->DbValue(QStringLiteral("select BMXZ00 from BM_BMBM00 where BMBH00=")
                                         + QString::number(s.departmentId) + " ").trimmed();
        s.departmentHospitalId = dm->DbValue(QStringLiteral("select YYID00 from BM_BMBM00 where BMBH00=")
                                             + QString::number(s.departmentId) + " ").trimmed();
    }
    // 3. input security level and its word list
    const QString level = GetSysParam(QStringLiteral("XT_SQLPLUSSECURLEVEL"), QStringLiteral("0"));
    s.securityLevel = SplitChar(level, ';', 1);
    s.securityWords = SplitChar(level, ';', 2);
    // 4. appearance
    Appearance &a = s.appearance;
    a.inputEditColor = ColorParam(QStringLiteral("XT_INPUTEDITCOLOR"), 15922386);
    a.readOnlyEditColor = ColorParam(QStringLiteral("XT_READONLYEDITCOLOR"), 10747644);
    a.formBackColor = ColorParam(QStringLiteral("XT_FORMBACKCOLOR"), int(0xFF000018));
    a.dbGridEhColor = ColorParam(QStringLiteral("XT_DBGRIDEHCOLOR"), 15922386);
    a.dbGridOrigColor = ColorParam(QStringLiteral("XT_DBGRIDORIGCOLOR"), 16777215);
    a.cxGridSingleColor = ColorParam(QStringLiteral("XT_CXGRIDSINGLECOLOR"), 16640989);
    a.cxGridDoubleColor = ColorParam(QStringLiteral("XT_CXGRIDDOUBLECOLOR"), 16777215);
    a.treeViewColor = ColorParam(QStringLiteral("XT_TREEVIEWCOLOR"), 16777215);
    if (TDLLDM *dm = DLLDM()) {
        dm->cxSingle = PlatformColor(a.cxGridSingleColor);
        dm->cxDouble = PlatformColor(a.cxGridDoubleColor);
    }
    // 5. print mode
    const QString mode = GetLoginSettingText(QStringLiteral("PRINTER"), QStringLiteral("PRINTMODE"));
    s.printMode = (mode == QLatin1String("P") || mode == QLatin1String("V") || mode == QLatin1String("D"))
                      ? mode : QStringLiteral("P");
    // 6. input assist
    bool ok = false;
    const int rows = GetUserOption(QStringLiteral("RTNRUM"), QStringLiteral("100")).trimmed().toInt(&ok);
    s.inputAssist.listRows = ok ? rows : 100;
    s.inputAssist.matchMode = GetUserOption(QStringLiteral("IPTDRT"), QString()) == QLatin1String("Y") ? pvXHPP : pvQHPP;
    const QString field = GetUserOption(QStringLiteral("FZSRF0"), QStringLiteral("拼音码"));
    if (field.compare(QStringLiteral("编码"), Qt::CaseInsensitive) == 0)
        s.inputAssist.searchField = svBM;
    else if (field.compare(QStringLiteral("名称"), Qt::CaseInsensitive) == 0)
        s.inputAssist.searchField = svMC;
    else if (field.compare(QStringLiteral("五笔码"), Qt::CaseInsensitive) == 0)
        s.inputAssist.searchField = svWBM;
    else if (field.compare(QStringLiteral("所有"), Qt::CaseInsensitive) == 0)
        s.inputAssist.searchField = svALL;
    else
        s.inputAssist.searchField = svPYM;
    // 7. container margins from the screen width
    int width = 1280;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        width = screen->geometry().width();
    ContainerMetrics(width, &s.marginH, &s.marginV, &s.minHeight);
    s.minWidth = 800;
    s.loaded = true;
}

}  // namespace mzpy
