// Seeding: reference data shared by the demo hospital and the test fixture,
// and the two data sets themselves. One transaction, cached prepared
// statements.
#include "hisdb/seed.h"

#include "hisdb/hisdb.h"
#include "routine_support.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <cmath>
#include <random>
#include <sqlite3.h>

namespace hisdb {
namespace {

using Values = std::initializer_list<QVariant>;
const QVariant Null;

// Inserts rows through one cached statement per table and column list.
class Inserter {
public:
    explicit Inserter(sqlite3 *db) : m_db(db) {}
    ~Inserter()
    {
        for (sqlite3_stmt *st : std::as_const(m_cache))
            sqlite3_finalize(st);
    }
    Inserter(const Inserter &) = delete;
    Inserter &operator=(const Inserter &) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    void row(const char *table, const char *columns, Values values)
    {
        if (!ok())
            return;
        const QString key = QString::fromLatin1(table) + QLatin1Char('|') + QString::fromLatin1(columns);
        sqlite3_stmt *st = m_cache.value(key);
        if (!st) {
            QString marks;
            for (size_t i = 0; i < values.size(); ++i)
                marks += i ? QStringLiteral(",?") : QStringLiteral("?");
            const QByteArray sql =
                QStringLiteral("insert into %1(%2) values(%3)").arg(QLatin1String(table), QLatin1String(columns), marks).toUtf8();
            if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
                m_error = QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), QString::fromUtf8(sqlite3_errmsg(m_db)));
                return;
            }
            m_cache.insert(key, st);
        }
        int i = 1;
        for (const QVariant &v : values) {
            routines::bindValue(st, i++, v);
        }
        if (sqlite3_step(st) != SQLITE_DONE)
            m_error = QStringLiteral("insert into %1: %2").arg(QLatin1String(table), QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_reset(st);
    }

    void exec(const QString &sql)
    {
        if (!ok())
            return;
        QString err;
        if (!execScript(m_db, sql, &err))
            m_error = err;
    }

private:
    sqlite3 *m_db;
    QHash<QString, sqlite3_stmt *> m_cache;
    QString m_error;
};

// Every table a seed fills; a seed starts by emptying them.
const char *const kSeededTables[] = {
    "BM_BMBM00", "BM_BRXXB0", "BM_CKBM00", "BM_CKDY00", "BM_JKFHZ0", "BM_PC0000", "BM_YPYF00", "BM_SRF000",
    "BM_SRFMX0", "BM_SZZSXX", "BM_TYZD00", "BM_YBSXZD", "BM_YD0000", "BM_YGBM00", "BM_ZJ0000", "BM_PYLB00",
    "IC_KLDM00", "IC_YHXX00", "IC_YYID00", "SF_BRZHXX", "JK_WZTJK0", "RCACCEPT", "SF_BRXXB0", "SF_FYMX00",
    "XT_BGSZJY", "XT_BGSZMX", "XT_DBMS00", "XT_GLMB00", "XT_GLMBMX", "XT_XTCS00", "XT_YYXT00", "XT_ZDZDDZ",
    "XT_BRGMJL", "YF_MZCF00", "YF_MZCFMX", "YF_CFDL00", "YF_GXMZCF", "YF_JYXXB0", "YF_ZYDJBQ", "YF_KJJL00",
    "YF_MZLZCF", "YF_PYCKRY", "YF_RCMZPYZT", "YF_ZKFYCK", "YJ_YW0000", "YS_BRZDXX", "YS_CFXXB0", "YS_CFMXB0",
    "YS_MZBLWS", "YS_BRTZXX",
};

QString ymd(const QDate &d) { return d.toString(QStringLiteral("yyyyMMdd")); }

// ---------------------------------------------------------------- drugs
struct Drug {
    int id;
    QString name, spec, doseUnit, packUnit;
    double price;        // per pack unit
    QString kind;        // YPDLBH: '1' western, '2' herbal, '3' patent
    QString usage, freq; // default usage and frequency
    double dose;         // per time
    int perPack;         // doses in one pack
    QString maker;
    QString highAlert = QStringLiteral("0");
    QString skinClass, skinItem, skinName;
    QString pinyin;
};

struct WesternBase {
    const char *name, *spec, *doseUnit, *packUnit, *usage, *freq;
    double price, dose;
    int perPack;
};

const WesternBase kWestern[] = {
    {"阿司匹林肠溶片", "100mg*30片", "片", "盒", "口服", "每日一次", 15.8, 1, 30},
    {"硝苯地平缓释片", "20mg*30片", "片", "盒", "口服", "每日两次", 28.5, 1, 30},
    {"阿莫西林胶囊", "0.25g*24粒", "粒", "盒", "口服", "每日三次", 12.6, 2, 24},
    {"注射用头孢呋辛钠", "0.75g", "支", "支", "静脉滴注", "每日两次", 18.9, 1, 1},
    {"氯化钾注射液", "10ml:1g", "支", "支", "静脉滴注", "每日一次", 2.5, 1, 1},
    {"胰岛素注射液", "3ml:300单位", "单位", "支", "皮下注射", "每日三次", 68.0, 8, 300},
    {"二甲双胍片", "0.5g*20片", "片", "盒", "口服", "每日三次", 9.8, 1, 20},
    {"奥美拉唑肠溶胶囊", "20mg*14粒", "粒", "盒", "口服", "每日一次", 22.4, 1, 14},
    {"布洛芬缓释胶囊", "0.3g*20粒", "粒", "盒", "口服", "每日两次", 16.2, 1, 20},
    {"氨溴索口服溶液", "100ml:0.6g", "ml", "瓶", "口服", "每日三次", 19.5, 10, 100},
    {"氯雷他定片", "10mg*6片", "片", "盒", "口服", "每日一次", 18.0, 1, 6},
    {"阿托伐他汀钙片", "20mg*7片", "片", "盒", "口服", "每晚一次", 45.6, 1, 7},
    {"苯磺酸氨氯地平片", "5mg*28片", "片", "盒", "口服", "每日一次", 33.2, 1, 28},
    {"盐酸左氧氟沙星片", "0.5g*4片", "片", "盒", "口服", "每日一次", 26.7, 1, 4},
    {"头孢克肟分散片", "0.1g*6片", "片", "盒", "口服", "每日两次", 31.5, 1, 6},
    {"蒙脱石散", "3g*10袋", "袋", "盒", "冲服", "每日三次", 14.3, 1, 10},
    {"葡萄糖注射液", "250ml:12.5g", "瓶", "瓶", "静脉滴注", "每日一次", 4.6, 1, 1},
    {"氯化钠注射液", "250ml:2.25g", "瓶", "瓶", "静脉滴注", "每日一次", 3.9, 1, 1},
    {"维生素C片", "0.1g*100片", "片", "瓶", "口服", "每日三次", 6.5, 1, 100},
    {"甲硝唑片", "0.2g*21片", "片", "盒", "口服", "每日三次", 5.2, 2, 21},
    {"氢氯噻嗪片", "25mg*100片", "片", "瓶", "口服", "每日一次", 8.4, 1, 100},
    {"美托洛尔缓释片", "47.5mg*7片", "片", "盒", "口服", "每日一次", 24.8, 1, 7},
    {"缬沙坦胶囊", "80mg*7粒", "粒", "盒", "口服", "每日一次", 29.9, 1, 7},
    {"孟鲁司特钠片", "10mg*5片", "片", "盒", "口服", "每晚一次", 38.6, 1, 5},
    {"沙丁胺醇气雾剂", "100μg*200揿", "揿", "支", "吸入", "必要时", 27.0, 2, 200},
    {"地塞米松磷酸钠注射液", "1ml:5mg", "支", "支", "肌肉注射", "每日一次", 1.2, 1, 1},
    {"硝酸甘油片", "0.5mg*100片", "片", "瓶", "舌下含服", "必要时", 12.0, 1, 100},
    {"华法林钠片", "2.5mg*60片", "片", "瓶", "口服", "每日一次", 19.6, 1, 60},
    {"对乙酰氨基酚片", "0.5g*12片", "片", "盒", "口服", "必要时", 7.8, 1, 12},
    {"多潘立酮片", "10mg*30片", "片", "盒", "口服", "每日三次", 17.4, 1, 30},
    {"枸橼酸莫沙必利片", "5mg*24片", "片", "盒", "口服", "每日三次", 32.1, 1, 24},
    {"雷贝拉唑钠肠溶片", "10mg*14片", "片", "盒", "口服", "每日一次", 41.3, 1, 14},
    {"盐酸西替利嗪片", "10mg*12片", "片", "盒", "口服", "每日一次", 21.6, 1, 12},
    {"复方甘草片", "100片", "片", "瓶", "口服", "每日三次", 9.0, 2, 100},
    {"阿奇霉素片", "0.25g*6片", "片", "盒", "口服", "每日一次", 24.3, 2, 6},
    {"克拉霉素缓释片", "0.5g*6片", "片", "盒", "口服", "每日一次", 36.8, 1, 6},
    {"吲达帕胺片", "2.5mg*30片", "片", "盒", "口服", "每日一次", 14.9, 1, 30},
    {"格列美脲片", "2mg*10片", "片", "盒", "口服", "每日一次", 27.5, 1, 10},
    {"阿卡波糖片", "50mg*30片", "片", "盒", "口服", "每日三次", 52.7, 1, 30},
    {"坦索罗辛缓释胶囊", "0.2mg*10粒", "粒", "盒", "口服", "每晚一次", 48.2, 1, 10},
    {"非那雄胺片", "5mg*10片", "片", "盒", "口服", "每日一次", 39.4, 1, 10},
    {"甲钴胺片", "0.5mg*20片", "片", "盒", "口服", "每日三次", 26.0, 1, 20},
    {"叶酸片", "0.4mg*31片", "片", "盒", "口服", "每日一次", 11.2, 1, 31},
    {"碳酸钙D3片", "600mg*30片", "片", "瓶", "口服", "每日一次", 28.0, 1, 30},
    {"艾司唑仑片", "1mg*20片", "片", "盒", "口服", "每晚一次", 6.8, 1, 20},
    {"盐酸曲马多缓释片", "0.1g*10片", "片", "盒", "口服", "每日两次", 18.5, 1, 10},
    {"硫酸吗啡缓释片", "30mg*10片", "片", "盒", "口服", "每日两次", 35.0, 1, 10},
    {"肝素钠注射液", "2ml:12500单位", "支", "支", "皮下注射", "每日两次", 15.0, 1, 1},
    {"胺碘酮片", "0.2g*10片", "片", "盒", "口服", "每日一次", 22.0, 1, 10},
    {"地高辛片", "0.25mg*30片", "片", "瓶", "口服", "每日一次", 4.3, 1, 30},
};

struct HerbBase {
    const char *name;
    double pricePerGram;
    int grams;
};

const HerbBase kHerbs[] = {
    {"黄芪", 0.12, 15}, {"党参", 0.18, 12}, {"当归", 0.25, 10}, {"白术", 0.14, 12}, {"茯苓", 0.08, 15},
    {"甘草", 0.06, 6}, {"川芎", 0.16, 10}, {"白芍", 0.12, 12}, {"熟地黄", 0.10, 15}, {"枸杞子", 0.22, 10},
    {"陈皮", 0.05, 9}, {"半夏", 0.20, 9}, {"桔梗", 0.09, 9}, {"柴胡", 0.24, 10}, {"黄芩", 0.15, 10},
    {"金银花", 0.30, 15}, {"连翘", 0.18, 12}, {"板蓝根", 0.07, 15}, {"丹参", 0.10, 15}, {"红花", 0.55, 6},
    {"桃仁", 0.20, 10}, {"赤芍", 0.13, 12}, {"山药", 0.09, 20}, {"山茱萸", 0.35, 10}, {"泽泻", 0.08, 10},
    {"牡丹皮", 0.17, 10}, {"麦冬", 0.28, 12}, {"五味子", 0.32, 6}, {"酸枣仁", 0.60, 15}, {"远志", 0.40, 6},
    {"石菖蒲", 0.15, 9}, {"葛根", 0.06, 20}, {"菊花", 0.20, 10}, {"薄荷", 0.08, 6}, {"防风", 0.30, 10},
    {"荆芥", 0.10, 9}, {"羌活", 0.45, 9}, {"独活", 0.18, 10}, {"杜仲", 0.16, 12}, {"续断", 0.14, 12},
    {"牛膝", 0.12, 12}, {"桑寄生", 0.07, 15}, {"鸡血藤", 0.06, 20}, {"延胡索", 0.38, 10}, {"香附", 0.09, 10},
    {"木香", 0.20, 6}, {"砂仁", 0.90, 6}, {"厚朴", 0.11, 10}, {"枳壳", 0.07, 10}, {"苍术", 0.14, 10},
    {"藿香", 0.06, 10}, {"佩兰", 0.07, 10}, {"薏苡仁", 0.05, 30}, {"白扁豆", 0.06, 15}, {"大枣", 0.05, 15},
    {"生姜", 0.03, 9}, {"桂枝", 0.06, 9}, {"麻黄", 0.12, 6}, {"杏仁", 0.16, 10}, {"石膏", 0.02, 30},
    {"知母", 0.10, 10}, {"黄连", 0.85, 6}, {"黄柏", 0.12, 10}, {"栀子", 0.11, 10}, {"龙胆", 0.30, 6},
    {"车前子", 0.09, 15}, {"益母草", 0.04, 15}, {"女贞子", 0.08, 12}, {"墨旱莲", 0.07, 12}, {"何首乌", 0.15, 12},
    {"玄参", 0.10, 12}, {"生地黄", 0.09, 15}, {"天麻", 1.80, 10}, {"钩藤", 0.20, 12}, {"珍珠母", 0.03, 30},
    {"龙骨", 0.05, 30}, {"牡蛎", 0.03, 30}, {"浙贝母", 0.50, 10}, {"川贝母", 6.00, 6}, {"瓜蒌", 0.09, 15},
};

const WesternBase kPatent[] = {
    {"复方丹参滴丸", "27mg*180丸", "丸", "瓶", "口服", "每日三次", 28.9, 10, 180},
    {"连花清瘟胶囊", "0.35g*24粒", "粒", "盒", "口服", "每日三次", 14.8, 4, 24},
    {"藿香正气水", "10ml*10支", "支", "盒", "口服", "每日两次", 12.5, 1, 10},
    {"六味地黄丸", "200丸", "丸", "瓶", "口服", "每日两次", 18.0, 8, 200},
    {"银黄颗粒", "4g*10袋", "袋", "盒", "冲服", "每日两次", 16.6, 1, 10},
    {"板蓝根颗粒", "10g*20袋", "袋", "包", "冲服", "每日三次", 13.0, 1, 20},
    {"速效救心丸", "40mg*60粒", "粒", "瓶", "舌下含服", "必要时", 26.4, 4, 60},
    {"逍遥丸", "200丸", "丸", "瓶", "口服", "每日两次", 15.2, 8, 200},
    {"复方甘草口服溶液", "100ml", "ml", "瓶", "口服", "每日三次", 8.6, 10, 100},
    {"通心络胶囊", "0.26g*30粒", "粒", "盒", "口服", "每日三次", 42.0, 3, 30},
    {"血塞通软胶囊", "0.33g*24粒", "粒", "盒", "口服", "每日两次", 36.5, 2, 24},
    {"脑心通胶囊", "0.4g*48粒", "粒", "盒", "口服", "每日三次", 45.3, 3, 48},
};

const char *const kMakers[] = {"华北制药股份有限公司", "石药集团欧意药业有限公司", "扬子江药业集团有限公司",
                               "齐鲁制药有限公司", "上海信谊药厂有限公司", "广州白云山制药股份有限公司",
                               "哈药集团制药总厂", "浙江海正药业股份有限公司"};

// ---------------------------------------------------------------- people
struct Person {
    int id;
    QString name, sex, pinyin, wubi;
};

const char *const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "周", "吴", "徐", "孙", "马", "朱",
                                 "胡", "郭", "何", "林", "罗", "高", "郑", "梁", "谢", "宋", "唐", "韩", "冯", "邓",
                                 "曹", "彭", "曾", "萧", "田", "董", "潘", "袁"};
const char *const kSurnamePy[] = {"W", "L", "Z", "L", "C", "Y", "H", "Z", "Z", "W", "X", "S", "M", "Z",
                                  "H", "G", "H", "L", "L", "G", "Z", "L", "X", "S", "T", "H", "F", "D",
                                  "C", "P", "Z", "X", "T", "D", "P", "Y"};
const char *const kGiven[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰",
                              "娟", "涛", "明", "超", "秀兰", "霞", "平", "刚", "桂英", "建华", "文", "华", "建国",
                              "红", "志强", "玉兰", "海燕", "国庆", "晓梅", "志远", "春梅", "德明", "淑珍", "子涵"};
const char *const kGivenPy[] = {"W", "F", "N", "XY", "M", "J", "L", "Q", "L", "J", "Y", "Y", "Y", "J",
                                "J", "T", "M", "C", "XL", "X", "P", "G", "GY", "JH", "W", "H", "JG",
                                "H", "ZQ", "YL", "HY", "GQ", "XM", "ZY", "CM", "DM", "SZ", "ZH"};

// ---------------------------------------------------------------- prescriptions
struct Line {
    const Drug *drug;
    double dose;      // per time (dose units)
    double total;     // packs (western) or grams (herbal, per dose)
    int days;
};

struct Rx {
    QString serial;
    int patient = 0;
    QString patientName, sex, birth;
    int age = 40;
    int registration = 0;
    QString registrationNo;
    int pharmacy = 0;             // YFBMBH
    int clinicDept = 0;
    QString clinicDeptName;
    int doctor = 0;
    QString doctorName;
    QString diagnosis;
    QDate day;                    // charge and queue date
    QString enterTime, chargeTime;
    QString category = QStringLiteral("1");  // PYLBBH
    int doses = 0;                // herbal doses (ZYTS00)
    QVector<Line> lines;
    bool refund = false;
    QString refundOf;             // BCCFH0
    QString kind = QStringLiteral("1");      // CFDGS0
    QString feeClass = QStringLiteral("1");  // FBBH00
    QString shared = QStringLiteral("0");    // WGCFBZ
    // queue entry
    bool queued = true;
    int dispensingWindow = 0, issuingWindow = 0, queueNo = 0;
    QString state = QStringLiteral("1");
    QString returned = QStringLiteral("0");
    QString printTime = QStringLiteral("08:00:00");  // empty: no print date
    QString dispensedTime, issuedTime;
    int dispenser = 0, checker = 0, issuer = 0;
    int callOrder = 0;
    QString cardIssue = QStringLiteral("0");
    int decoctDoses = 0;
    QString decoctFee = QStringLiteral("0");
};

QVariant intOrNull(int v) { return v ? QVariant(v) : QVariant(); }

double round2(double v) { return std::round(v * 100.0) / 100.0; }

void insertRx(Inserter &ins, const Rx &rx, int &lineIdBase, bool lineIdsFromSerial)
{
    const bool herbal = rx.category == QLatin1String("2") || rx.category == QLatin1String("4")
                        || rx.category == QLatin1String("5") || rx.category == QLatin1String("6");
    double total = 0;
    bool skin = false, high = false;
    QString ypdl = herbal ? QStringLiteral("2") : QStringLiteral("1");
    int k = 0;
    for (const Line &l : rx.lines) {
        ++k;
        const Drug &d = *l.drug;
        const int cfid = lineIdsFromSerial ? rx.serial.right(2).toInt() * 10 + k : ++lineIdBase;
        double amount;
        QVariant jjsl, zsl;
        if (herbal) {
            amount = round2(d.price * l.total * std::max(1, rx.doses));
            jjsl = l.total * std::max(1, rx.doses);
            zsl = l.total * std::max(1, rx.doses);
        } else {
            amount = round2(d.price * l.total);
            jjsl = l.total;
            zsl = l.total;
        }
        if (rx.refund)
            amount = -amount;
        total += amount;
        if (!d.skinClass.isEmpty())
            skin = true;
        if (d.highAlert == QLatin1String("1"))
            high = true;
        if (d.kind == QLatin1String("3") && !herbal)
            ypdl = QStringLiteral("3");
        const bool skinPositive = !d.skinClass.isEmpty() && (rx.patient % 7 == 0);
        ins.row("YF_MZCFMX",
                "CFID00,CFLSH0,YPNM00,YPMC00,YPGG00,YPYFMC,PCMC00,CSL000,JLDW00,JJSL00,YPZSL0,CFDW00,YYSJ00,YYSJDW,"
                "YFSMMC,BZ0000,ZB0000,CXBZ00,SFZBY0,PSMC00,PSJG00,PSLBID,TYMBH0,SCCJZW,DJ0000,JE0000,SFGW00,GWDJ00,ZDXX00",
                {cfid, rx.serial, d.id, d.name, d.spec, herbal ? QStringLiteral("煎服") : d.usage,
                 herbal ? QStringLiteral("每日两次") : d.freq, herbal ? QVariant(l.total) : QVariant(l.dose),
                 herbal ? QStringLiteral("g") : d.doseUnit, jjsl, zsl, herbal ? QStringLiteral("g") : d.packUnit,
                 herbal ? QVariant(rx.doses) : QVariant(l.days), QStringLiteral("天"),
                 herbal ? QStringLiteral("水煎服") : QString(), Null, k, QStringLiteral("Z"), QStringLiteral("N"),
                 d.skinName.isEmpty() ? Null : QVariant(d.skinName),
                 d.skinClass.isEmpty() ? Null : QVariant(skinPositive ? QStringLiteral("阳性(+)") : QStringLiteral("阴性(-)")),
                 d.skinClass.isEmpty() ? Null : QVariant(d.skinClass), d.skinItem.isEmpty() ? Null : QVariant(d.skinItem),
                 d.maker, d.price, amount, d.highAlert, d.highAlert == QLatin1String("1") ? QVariant(QStringLiteral("A")) : Null,
                 rx.diagnosis});
        ins.row("YS_CFMXB0", "CFID00,CFLSH0,YPNM00", {cfid, rx.serial, d.id});
    }
    total = round2(total);
    const QString day = ymd(rx.day);
    const bool issued = rx.queued && rx.state == QLatin1String("3");
    const bool dispensed = rx.queued && (rx.state == QLatin1String("2") || issued);
    const bool printed = rx.queued && rx.state != QLatin1String("0") && !rx.printTime.isEmpty();
    ins.row("YF_MZCF00",
            "CFLSH0,GHID00,GHH000,BRID00,BRXM00,XB0000,BRNL00,NL0000,CSRQ00,BRLB00,FBBH00,FBMC00,YBMC00,PHBZ00,YFBMBH,"
            "KSBH00,KDKS00,YSGZH0,KDYS00,ZZDMC0,CFZT00,SRRQ00,SRSJ00,JZRQ00,JZSJ00,FYRQ00,FYSJ00,CFZJE0,YPDLBH,YPCZFL,"
            "PYLBBH,ZYTS00,ZYDJS0,DJSFZT,BCCFH0,CFDGS0,CFDGS1,CFSRBZ,WGCFBZ,SFKSLY,THBZ00,THYY00,PFR000,FHR001,FYR000,"
            "DYCS00,CFBDCS,CXBZ00,SFPS00,SFGW00,YYCWDJ,CHECK0,FLAG00",
            {rx.serial, rx.registration, rx.registrationNo, rx.patient, rx.patientName, rx.sex,
             QStringLiteral("%1岁").arg(rx.age), rx.age, rx.birth,
             rx.feeClass == QLatin1String("3") ? QStringLiteral("医保") : QStringLiteral("普通"), rx.feeClass.toInt(),
             rx.feeClass == QLatin1String("3") ? QStringLiteral("城镇职工医保") : QStringLiteral("自费"),
             rx.feeClass == QLatin1String("3") ? QVariant(QStringLiteral("职工医保")) : Null, 1, rx.pharmacy,
             rx.clinicDept, rx.clinicDeptName, rx.doctor, rx.doctorName, rx.diagnosis,
             issued ? QStringLiteral("2") : QStringLiteral("1"), day, rx.enterTime, day, rx.chargeTime,
             issued ? QVariant(day) : Null, issued ? QVariant(rx.issuedTime) : Null, total, ypdl,
             herbal ? QStringLiteral("2") : QStringLiteral("1"), rx.category, rx.doses, rx.decoctDoses, rx.decoctFee,
             rx.refundOf.isEmpty() ? Null : QVariant(rx.refundOf), rx.kind, QStringLiteral("1"), QStringLiteral("1"),
             rx.shared, rx.queued ? QStringLiteral("Y") : QStringLiteral("N"), rx.returned,
             rx.returned == QLatin1String("1") ? QVariant(QStringLiteral("医生开错处方")) : Null,
             dispensed ? intOrNull(rx.dispenser) : Null, dispensed ? intOrNull(rx.checker) : Null,
             issued ? intOrNull(rx.issuer) : Null, printed ? 1 : 0, printed ? 1 : 0,
             rx.refund ? QVariant(QStringLiteral("-")) : (high ? QVariant(QStringLiteral("*")) : Null),
             skin ? QStringLiteral("1") : QStringLiteral("0"), high ? QStringLiteral("1") : QStringLiteral("0"),
             (rx.patient % 13 == 0) ? QVariant(QStringLiteral("6")) : QVariant(QStringLiteral("1")), QStringLiteral("0"),
             QStringLiteral("0")});
    ins.row("YS_CFXXB0", "CFLSH0,GHID00,BRID00,YSGZH0,SRRQ00,THBZ00",
            {rx.serial, rx.registration, rx.patient, rx.doctor, day, rx.returned});
    if (!rx.queued)
        return;
    ins.row("YF_CFDL00",
            "CFLSH0,YFBMBH,BRID00,BRXM00,GHH000,PYCKBH,FYCKBH,FYDLXH,PHRQ00,ZT0000,THBZ00,DYRQ00,DYSJ00,PYRQ00,PYSJ00,"
            "FYRQ00,FYSJ00,JHXH00,DKFYBZ,CFDGS0,YPJE00,PYLBBH,WBJKBZ",
            {rx.serial, rx.pharmacy, rx.patient, rx.patientName, rx.registrationNo, rx.dispensingWindow,
             rx.issuingWindow, rx.queueNo, day, rx.state, rx.returned, printed ? QVariant(day) : Null,
             printed ? QVariant(rx.printTime) : Null, dispensed ? QVariant(day) : Null,
             dispensed ? QVariant(rx.dispensedTime) : Null, issued ? QVariant(day) : Null,
             issued ? QVariant(rx.issuedTime) : Null, dispensed ? intOrNull(rx.callOrder) : Null, rx.cardIssue, rx.kind,
             total, rx.category, QStringLiteral("0")});
}

// ---------------------------------------------------------------- reference data
void seedDictionary(Inserter &ins)
{
    struct Entry {
        const char *category, *code, *value;
        const char *flag;
        int order;
        const char *remark;
    };
    static const Entry entries[] = {
        {"门诊审方退回原因", "01", "用药不适宜", "0", 1, nullptr},
        {"门诊审方退回原因", "02", "剂量超出常规", "0", 2, nullptr},
        {"门诊审方退回原因", "03", "重复用药", "0", 3, nullptr},
        {"门诊审方退回原因", "04", "其他（停用）", "1", 4, nullptr},
        {"退回原因", "01", "患者要求退药", "0", 1, nullptr},
        {"退回原因", "02", "医生开错处方", "0", 2, nullptr},
        {"退回原因", "03", "药品缺货", "0", 3, nullptr},
        {"电子病历与电子申请单配置", "MZDZBL_CJ", "0", "0", 1, nullptr},
        {"电子病历与电子申请单配置", "MZDZBL_URL", "http://127.0.0.1:8090/emr/index.html", "0", 2, nullptr},
        {"集成平台关联配置", "R_TDY_YID", " ", "0", 1, nullptr},
        {"取药队列字典", "DSFBYJK_MZ", "0", "0", 1, nullptr},
        {"取药队列字典", "DSFBYJK_ZY", "0", "0", 2, nullptr},
        {"取药队列字典", "OutParaSpace", "1024000", "0", 3, nullptr},
        {"取药队列字典", "DSFBYJK_YFBMBH", nullptr, "0", 4, nullptr},
        {"取药队列字典", "DSFBYJK_CJBM00", nullptr, "0", 5, nullptr},
        {"取药队列字典", "DSBBYJK_SFXSCWXX", "0", "0", 6, nullptr},
        {"CA认证接口配置", "CA_QY", "0", "0", 1, nullptr},
        {"CA认证接口配置", "CA_YFQY", "0", "0", 2, nullptr},
        {"CA认证接口配置", "CA_PYCKQY", "0", "0", 3, nullptr},
        {"CA认证接口配置", "CA_QYPYYMS", "0", "0", 4, nullptr},
        {"CA认证接口配置", "CA_CJBM", "YWX", "0", 5, nullptr},
        {"CA认证接口配置", "CA_clientId", "demo-client", "0", 6, nullptr},
        {"CA认证接口配置", "CA_clientSecret", "demo-secret", "0", 7, nullptr},
        {"医保追溯码配置", "YBZSMSFQY", "0", "0", 1, nullptr},
        {"医保追溯码配置", "YF_SFZZSM", "0", "0", 2, nullptr},
        {"共享药房参数设置", "service_address", "http://127.0.0.1:8091/share", "0", 1, nullptr},
        {"门诊配药_接收预配药_打印药签顺序", "0", "0", "0", 1, nullptr},
        {"事前审方-事前审方系统", "SFQYSFXT", "0", "0", 1, "是否启用审方系统"},
        {"排队叫号通用接口参数配置", "PDJHJK_SFQY", "0", "0", 1, nullptr},
        {"排队叫号通用接口参数配置", "PDJHJK_YFBMBH", "0", "0", 2, nullptr},
        {"排队叫号通用接口参数配置", "PDJHJK_CJBM", nullptr, "0", 3, nullptr},
        {"发药信息推送接口配置", "QY", "0", "0", 1, nullptr},
        {"药品核销接口配置", "SFQY", "N", "0", 1, nullptr},
        {"药品核销接口配置", "ServerAdder", nullptr, "0", 2, nullptr},
        {"电子虚拟健康卡", "Open_MZ", "N", "0", 1, nullptr},
        {"电子虚拟健康卡", "EWMCTTCMS", "1", "0", 2, nullptr},
        {"电子虚拟健康卡", "DZJKKSYFS", "0", "0", 3, nullptr},
        {"电子虚拟健康卡", "DKTCHYJXZSYXT", nullptr, "0", 4, nullptr},
        {"电子虚拟健康卡", "Face_Open", "0", "0", 5, nullptr},
        {"电子虚拟健康卡", "MultiChannel_Mode", "0", "0", 6, nullptr},
        {"窗口类型", "1", "普通窗口", "0", 1, nullptr},
        {"窗口类型", "2", "急诊窗口", "0", 2, nullptr},
        {"窗口类型", "3", "专家窗口", "0", 3, nullptr},
        {"药品大类", "1", "西药", "0", 1, nullptr},
        {"药品大类", "2", "中草药", "0", 2, nullptr},
        {"药品大类", "3", "中成药", "0", 3, nullptr},
        {"处方格式", "0", "麻醉精一处方", "0", 1, nullptr},
        {"处方格式", "1", "普通处方", "0", 2, nullptr},
        {"处方格式", "2", "儿科处方", "0", 3, nullptr},
        {"处方格式", "3", "急诊处方", "0", 4, nullptr},
        {"处方格式", "4", "精二处方", "0", 5, nullptr},
        {"处方格式", "9", "其他处方", "0", 6, nullptr},
    };
    for (const Entry &e : entries)
        ins.row("BM_TYZD00", "ZDMC00,BH0000,MC0000,LBBZ00,XSXH00,BZ0000",
                {QString::fromUtf8(e.category), QString::fromUtf8(e.code),
                 e.value ? QVariant(QString::fromUtf8(e.value)) : Null, QString::fromUtf8(e.flag), e.order,
                 e.remark ? QVariant(QString::fromUtf8(e.remark)) : Null});

    const char *const pylb[][2] = {{"1", "西药"}, {"2", "中草药"}, {"3", "中成药"},
                                   {"4", "全成分"}, {"5", "全成分"}, {"6", "代煎"}};
    for (const auto &p : pylb)
        ins.row("BM_PYLB00", "PYLBBH,PYLBMC", {QString::fromUtf8(p[0]), QString::fromUtf8(p[1])});

    const char *const xtcs[][3] = {{"XT_SRFSLXSCT", "Y", "代码选择列表第一列加粗"},
                                   {"IC_SFDM", "8000000001", "旧卡入库发卡单位代码"},
                                   {"IC_YBYYJKLM", "FNWND360", "医保程序窗口类名"},
                                   {"IC_BBH", "1", "读卡库最低版本"},
                                   {"PY_DJFDJ0", "5", "代煎费每剂单价"}};
    for (const auto &x : xtcs)
        ins.row("XT_XTCS00", "NAME00,VALUE0,BZ0000",
                {QString::fromUtf8(x[0]), QString::fromUtf8(x[1]), QString::fromUtf8(x[2])});
    ins.row("XT_DBMS00", "DBBB00,SJKYH0", {QStringLiteral("5.0.1"), QStringLiteral("HIS")});
    ins.row("XT_YYXT00", "XTDM00,XTMC00,XTBB00", {QStringLiteral("R"), QStringLiteral("门诊配药"), QStringLiteral("5.0.1")});

    const char *const cards[][4] = {{"SLE4442", "院内IC卡", "0", "1"}, {"YB-SBK", "社会保障卡", "1", "2"},
                                    {"YB-CPUK", "医保CPU卡", "1", "3"}, {"YB-SFZH", "身份证", "1", "4"},
                                    {"ALL", "全部", "0", "9"}};
    for (const auto &c : cards)
        ins.row("IC_KLDM00", "KLDH00,KLMC00,KLLB00,KHQZBH,SYBZ00",
                {QString::fromUtf8(c[0]), QString::fromUtf8(c[1]), QString::fromUtf8(c[2]), Null, QString::fromUtf8(c[3]).toInt()});
    ins.row("IC_YYID00", "YYID00", {QStringLiteral("1001")});

    const char *const freq[][3] = {{"qd", "每日一次", "1"}, {"bid", "每日两次", "2"}, {"tid", "每日三次", "3"},
                                   {"qn", "每晚一次", "1"}, {"prn", "必要时", "1"}};
    for (const auto &f : freq)
        ins.row("BM_PC0000", "PCID00,PCMC00,MTCS00", {QString::fromUtf8(f[0]), QString::fromUtf8(f[1]), QString::fromUtf8(f[2]).toInt()});
    const char *const usage[][2] = {{"01", "口服"}, {"02", "静脉滴注"}, {"03", "肌肉注射"}, {"04", "皮下注射"},
                                    {"05", "煎服"}, {"06", "冲服"}, {"07", "吸入"}, {"08", "舌下含服"}};
    for (const auto &u : usage)
        ins.row("BM_YPYF00", "YFID00,YPYFMC", {QString::fromUtf8(u[0]), QString::fromUtf8(u[1])});

    ins.row("BM_SRF000", "SRFID0,ZDBMC0,SRZDB0,SRBM00,SRMC00,SRPYM0,SRWBM0,GLTJ00",
            {1, QStringLiteral("员工"), QStringLiteral("BM_YGBM00"), QStringLiteral("YGBH00"), QStringLiteral("ZWXM00"),
             QStringLiteral("PYSM00"), QStringLiteral("WBSM00"), QStringLiteral("CZBZ00 = '1'")});
    const char *const srfmx[][4] = {{"YGBH00", "员工编码", "80", "是"}, {"ZWXM00", "姓名", "100", "是"},
                                    {"PYSM00", "拼音首码", "80", "是"}, {"WBSM00", "五笔首码", "80", "否"}};
    int xh = 0;
    for (const auto &m : srfmx)
        ins.row("BM_SRFMX0", "SRFID0,ZDM000,XXBT00,XXKD00,SFKJ00,XH0000",
                {1, QString::fromUtf8(m[0]), QString::fromUtf8(m[1]), QString::fromUtf8(m[2]).toInt(), QString::fromUtf8(m[3]), ++xh});
    ins.row("XT_ZDZDDZ", "ZDM000,ZDBMC0,SFYX00,SYXT00", {QStringLiteral("PFR000"), QStringLiteral("员工"), QStringLiteral("1"), Null});
    ins.row("XT_ZDZDDZ", "ZDM000,ZDBMC0,SFYX00,SYXT00", {QStringLiteral("FHR001"), QStringLiteral("员工"), QStringLiteral("1"), QStringLiteral("2,3,6")});

    ins.row("BM_YBSXZD", "JKBM00,SXBM00,SFYX00,XSXH00,SXSM00,VALUE0,JKDZBM",
            {-1, QStringLiteral("MultiChannel_Mode"), QStringLiteral("1"), 1, QStringLiteral("普通门诊"), QStringLiteral("11"), QStringLiteral("普通门诊")});
    ins.row("BM_YBSXZD", "JKBM00,SXBM00,SFYX00,XSXH00,SXSM00,VALUE0,JKDZBM",
            {-1, QStringLiteral("MultiChannel_Mode"), QStringLiteral("1"), 2, QStringLiteral("门诊慢特病"), QStringLiteral("14"), QStringLiteral("门诊慢特病")});
}

void seedDepartments(Inserter &ins, const QVector<std::pair<int, QString>> &clinics)
{
    ins.row("BM_BMBM00", "BMBH00,BMMC00,BMXZ00,YYID00,YFLB00,PYSM00,WBSM00",
            {101, QStringLiteral("门诊西药房"), QStringLiteral("2"), 1001, QStringLiteral("2"), QStringLiteral("mzxyf"), QStringLiteral("uysy")});
    ins.row("BM_BMBM00", "BMBH00,BMMC00,BMXZ00,YYID00,YFLB00,PYSM00,WBSM00",
            {102, QStringLiteral("门诊中药房"), QStringLiteral("2"), 1001, QStringLiteral("1"), QStringLiteral("mzzyf"), QStringLiteral("ukay")});
    static const char *const pinyin[][2] = {{"内科", "nk"}, {"外科", "wk"}, {"儿科", "ek"}, {"妇产科", "fck"}, {"中医科", "zyk"},
                                            {"眼科", "yk"}, {"耳鼻喉科", "ebhk"}, {"皮肤科", "pfk"}, {"口腔科", "kqk"},
                                            {"心血管内科", "xxgnk"}, {"呼吸内科", "hxnk"}, {"消化内科", "xhnk"}};
    for (const auto &c : clinics) {
        QVariant code;
        for (const auto &p : pinyin)
            if (c.second == QString::fromUtf8(p[0]))
                code = QString::fromLatin1(p[1]);
        ins.row("BM_BMBM00", "BMBH00,BMMC00,BMXZ00,YYID00,YFLB00,PYSM00,WBSM00",
                {c.first, c.second, QStringLiteral("1"), 1001, Null, code, Null});
    }
}

void seedWindow(Inserter &ins, int no, int dept, const char *flag, const QString &types, const QString &classes)
{
    const QString name = QStringLiteral("%1").arg(no, 2, 10, QLatin1Char('0'));
    ins.row("BM_CKBM00", "CKBH00,BMBH00,CKMC00,FLAG00,ZT0000,CKLXID,YPDLBH,CFDGS0,ZKCKBZ,CKXXDZ,MRXSP0,DQXSP0,JZCKBZ,CJR000,PYSM00",
            {no, dept, name, QString::fromLatin1(flag), QStringLiteral("2"), types, classes, QStringLiteral("0,1,2,3,4,9"),
             QStringLiteral("0"), QStringLiteral("门诊楼一层%1号窗口").arg(no), QStringLiteral("1"), QStringLiteral("1"),
             QStringLiteral("N"), 1001, name});
}

void seedStaff(Inserter &ins, int id, const QString &name, const QString &sex, int dept, const QString &card,
               const QString &pinyin, const QString &wubi, const char *active, const char *role, const char *title)
{
    ins.row("BM_YGBM00", "YGBH00,ZWXM00,XKH000,BMBH00,CZBZ00,PYSM00,WBSM00,ZYJSZC,SFZBH0,XB0000,YGLB00",
            {id, name, card, dept, QString::fromLatin1(active), pinyin.toLower(), wubi.toLower(), QString::fromUtf8(title),
             QStringLiteral("3201021980%1%2").arg(id % 10000, 4, 10, QLatin1Char('0')).arg(id % 100, 4, 10, QLatin1Char('0')),
             sex, QString::fromUtf8(role)});
}

void seedPatient(Inserter &ins, const Person &p, const QString &birth, bool account, double balance)
{
    const QString id = QString::number(p.id);
    ins.row("BM_BRXXB0", "BRID00,BRXM00,XB0000,CSRQ00,BRZJBH,BRBLH0,YBID00,LXDH00,JTDZ00",
            {p.id, p.name, p.sex, birth, QStringLiteral("320102%1%2").arg(birth, QStringLiteral("%1").arg(p.id % 10000, 4, 10, QLatin1Char('0'))),
             QStringLiteral("BL%1").arg(id), QStringLiteral("YB%1").arg(id),
             QStringLiteral("139%1").arg(p.id % 100000000, 8, 10, QLatin1Char('0')), QStringLiteral("南京市玄武区")});
    ins.row("IC_YHXX00", "ICKH00,ICKNBH,YGBH00,BRID00,KMH000,ZT0000,KLDH00,SFDM00",
            {QStringLiteral("C") + id, QStringLiteral("N") + id, Null, p.id, QStringLiteral("M") + id, 1,
             QStringLiteral("SLE4442"), QStringLiteral("8000000001")});
    ins.row("SF_BRZHXX", "BRID00,YBSBK0,ZHYE00", {p.id, account ? QStringLiteral("1") : QStringLiteral("0"), account ? balance : 0.0});
}

Drug westernDrug(int id, const WesternBase &w, const QString &kind, int maker)
{
    Drug d;
    d.id = id;
    d.name = QString::fromUtf8(w.name);
    d.spec = QString::fromUtf8(w.spec);
    d.doseUnit = QString::fromUtf8(w.doseUnit);
    d.packUnit = QString::fromUtf8(w.packUnit);
    d.price = w.price;
    d.kind = kind;
    d.usage = QString::fromUtf8(w.usage);
    d.freq = QString::fromUtf8(w.freq);
    d.dose = w.dose;
    d.perPack = w.perPack;
    d.maker = QString::fromUtf8(kMakers[maker % (sizeof kMakers / sizeof *kMakers)]);
    if (d.name == QStringLiteral("阿莫西林胶囊")) {
        d.skinClass = QStringLiteral("1");
        d.skinItem = QStringLiteral("PS01");
        d.skinName = QStringLiteral("青霉素皮试");
    } else if (d.name.startsWith(QStringLiteral("注射用头孢"))) {
        d.skinClass = QStringLiteral("2");
        d.skinItem = QStringLiteral("PS02");
        d.skinName = QStringLiteral("头孢菌素皮试");
    }
    if (d.name == QStringLiteral("氯化钾注射液") || d.name == QStringLiteral("胰岛素注射液") || d.name == QStringLiteral("肝素钠注射液")
        || d.name == QStringLiteral("华法林钠片") || d.name == QStringLiteral("硫酸吗啡缓释片") || d.name == QStringLiteral("胺碘酮片")
        || d.name == QStringLiteral("地高辛片"))
        d.highAlert = QStringLiteral("1");
    return d;
}

Drug herbDrug(int id, const HerbBase &h)
{
    Drug d;
    d.id = id;
    d.name = QString::fromUtf8(h.name);
    d.spec = QStringLiteral("饮片 1g");
    d.doseUnit = QStringLiteral("g");
    d.packUnit = QStringLiteral("g");
    d.price = h.pricePerGram;
    d.kind = QStringLiteral("2");
    d.usage = QStringLiteral("煎服");
    d.freq = QStringLiteral("每日两次");
    d.dose = h.grams;
    d.perPack = 1;
    d.maker = QStringLiteral("安徽亳州中药饮片厂");
    return d;
}

void insertDrug(Inserter &ins, const Drug &d)
{
    ins.row("BM_YD0000", "YPNM00,YPMC00,YPGG00,PZWH00,SCCJZW,JLDW00,BZDW00,DJ0000,YPDLBH,YPCZFL,SFGW00,GWDJ00,PSLBID,TYMBH0,PSMC00,PYSM00,WBSM00",
            {d.id, d.name, d.spec, QStringLiteral("国药准字H%1").arg(20000000 + d.id), d.maker, d.doseUnit, d.packUnit,
             d.price, d.kind, d.kind == QLatin1String("2") ? QStringLiteral("2") : QStringLiteral("1"), d.highAlert,
             d.highAlert == QLatin1String("1") ? QVariant(QStringLiteral("A")) : Null,
             d.skinClass.isEmpty() ? Null : QVariant(d.skinClass), d.skinItem.isEmpty() ? Null : QVariant(d.skinItem),
             d.skinName.isEmpty() ? Null : QVariant(d.skinName), d.pinyin.isEmpty() ? Null : QVariant(d.pinyin), Null});
}

Line westernLine(const Drug &d, int days)
{
    Line l;
    l.drug = &d;
    l.dose = d.dose;
    l.days = days;
    int times = d.freq == QStringLiteral("每日三次") ? 3 : d.freq == QStringLiteral("每日两次") ? 2 : 1;
    const double units = d.dose * times * days;
    l.total = std::max(1.0, std::ceil(units / std::max(1, d.perPack)));
    return l;
}

Line herbLine(const Drug &d)
{
    Line l;
    l.drug = &d;
    l.dose = d.dose;
    l.total = d.dose;
    l.days = 1;
    return l;
}

QString birthFor(int age, int salt, const QDate &today)
{
    return today.addYears(-age).addDays(-(salt % 300)).toString(QStringLiteral("yyyyMMdd"));
}

bool begin(sqlite3 *db, QString *error)
{
    if (!execScript(db, QStringLiteral("begin immediate"), error))
        return false;
    QString sql;
    for (const char *t : kSeededTables)
        sql += QStringLiteral("delete from %1;").arg(QLatin1String(t));
    if (!execScript(db, sql, error)) {
        execScript(db, QStringLiteral("rollback"), nullptr);
        return false;
    }
    return true;
}

bool finish(sqlite3 *db, Inserter &ins, QString *error)
{
    if (!ins.ok()) {
        if (error)
            *error = ins.error();
        execScript(db, QStringLiteral("rollback"), nullptr);
        return false;
    }
    if (!execScript(db, QStringLiteral("commit"), error)) {
        execScript(db, QStringLiteral("rollback"), nullptr);
        return false;
    }
    return true;
}

QDate clockDate()
{
    const QDateTime now = QDateTime::fromString(nowText(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return now.isValid() ? now.date() : QDate::currentDate();
}

}  // namespace

// ==================================================================== fixture
bool seedFixture(sqlite3 *db, QString *error)
{
    if (!begin(db, error))
        return false;
    const QDate today = clockDate();
    const QDate yesterday = today.addDays(-1);
    Inserter ins(db);
    seedDictionary(ins);
    seedDepartments(ins, {{201, QStringLiteral("内科")}, {202, QStringLiteral("外科")}, {203, QStringLiteral("儿科")}, {204, QStringLiteral("中医科")}});

    seedWindow(ins, 1, 101, "2", QStringLiteral("1"), QStringLiteral("1,3"));
    seedWindow(ins, 2, 101, "2", QStringLiteral("12"), QStringLiteral("1,3"));
    seedWindow(ins, 3, 101, "3", QStringLiteral("1"), QStringLiteral("1,3"));
    seedWindow(ins, 4, 101, "3", QStringLiteral("13"), QStringLiteral("1,3"));
    seedWindow(ins, 5, 102, "2", QStringLiteral("1"), QStringLiteral("2"));
    seedWindow(ins, 6, 102, "3", QStringLiteral("1"), QStringLiteral("2"));
    const int links[][2] = {{1, 3}, {1, 4}, {2, 3}, {2, 4}, {5, 6}};
    for (const auto &l : links)
        ins.row("BM_CKDY00", "SCKBH0,DCKBH0,SFYX00,CJR000", {l[0], l[1], QStringLiteral("1"), 1001});
    ins.row("YF_ZKFYCK", "BMBH00,FYCKBH", {203, 4});

    struct S { int id; const char *name, *sex; int dept; const char *card, *py, *wb, *active, *role, *title; };
    static const S staff[] = {
        {1001, "张明", "男", 101, "K1001", "ZM", "XJ", "1", "药师", "主管药师"},
        {1002, "李华", "女", 101, "K1002", "LH", "SW", "1", "药师", "药师"},
        {1003, "王芳", "女", 101, "K1003", "WF", "GA", "1", "药师", "药师"},
        {1004, "赵强", "男", 101, "K1004", "ZQ", "FK", "0", "药师", "药士"},
        {1011, "陈静", "女", 102, "K1011", "CJ", "BG", "1", "药师", "主管中药师"},
        {1012, "刘洋", "男", 102, "K1012", "LY", "YI", "1", "药师", "中药师"},
        {2001, "周建国", "男", 201, "D2001", "ZJG", "MVL", "1", "医生", "1"},
        {2002, "吴敏", "女", 202, "D2002", "WM", "KT", "1", "医生", "2"},
        {2003, "郑丽", "女", 203, "D2003", "ZL", "UG", "1", "医生", "2"},
        {2004, "孙志远", "男", 204, "D2004", "SZY", "BFF", "1", "医生", "1"},
    };
    for (const S &s : staff)
        seedStaff(ins, s.id, QString::fromUtf8(s.name), QString::fromUtf8(s.sex), s.dept, QString::fromLatin1(s.card),
                  QString::fromLatin1(s.py), QString::fromLatin1(s.wb), s.active, s.role, s.title);
    const int pyckry[][4] = {{1, 1001, 1, 1}, {1, 1002, 1, 0}, {2, 1003, 1, 1}, {2, 1004, 0, 0}, {5, 1011, 1, 1}, {5, 1012, 1, 0}};
    for (const auto &r : pyckry)
        ins.row("YF_PYCKRY", "PYCKBH,YGBH00,RYZT00,HDZT00", {r[0], r[1], QString::number(r[2]), QString::number(r[3])});
    ins.row("BM_SZZSXX", "YGBH00,YGXM00,XLH000,HXZ000,OPENID,BFG000,BFZ000,SJH000,SXRQ00,JZRQ00",
            {1001, QStringLiteral("张明"), QStringLiteral("openid-1001"), QStringLiteral("openid-1001"), QStringLiteral("openid-1001"),
             QStringLiteral("张明"), QStringLiteral("Beijing SM2 CA"), QStringLiteral("13900001001"), ymd(today.addDays(-30)),
             ymd(today.addDays(340))});

    // patients
    static const char *const names[] = {"王建国", "李秀英", "张伟", "刘芳", "陈杰", "杨丽", "黄强", "赵敏", "周勇", "吴静"};
    static const int ages[] = {68, 45, 33, 52, 6, 71, 40, 29, 58, 37};
    static const double balances[] = {500, 500, 19.99, 20, 100};
    QVector<Person> patients;
    for (int n = 1; n <= 10; ++n) {
        Person p{100000 + n, QString::fromUtf8(names[n - 1]), (n % 2) ? QStringLiteral("男") : QStringLiteral("女"), {}, {}};
        patients.append(p);
        seedPatient(ins, p, birthFor(ages[n - 1], n * 37, today), n <= 5, n <= 5 ? balances[n - 1] : 0.0);
        ins.row("SF_BRXXB0", "GHID00,GHH000,BRID00,SJLY00,LBBH00,GHRQ00,GHKS00,YSGZH0",
                {300000 + n, QString::number(300000 + n), p.id, n == 9 ? QStringLiteral("2") : QStringLiteral("1"), n % 3 ? 1 : 2,
                 ymd(today), 200 + 1 + (n % 4), 2001 + (n % 4)});
        ins.row("SF_BRXXB0", "GHID00,GHH000,BRID00,SJLY00,LBBH00,GHRQ00,GHKS00,YSGZH0",
                {310000 + n, QString::number(310000 + n), p.id, QStringLiteral("1"), 1, ymd(yesterday), 201 + (n % 4), 2001 + (n % 4)});
        ins.row("YS_BRZDXX", "GHID00,SFXYZD,ZDMC00,ICD900", {300000 + n, QStringLiteral("1"), QStringLiteral("上呼吸道感染"), QStringLiteral("J06.900")});
        if (n <= 5)
            ins.row("YS_BRTZXX", "GHID00,TW0000,MB0000,XY0000,SG0000,TZ0000,CLRQSJ",
                    {300000 + n, QStringLiteral("36.%1").arg(4 + n), QString::number(70 + n), QStringLiteral("12%1/8%2").arg(n).arg(n),
                     QString::number(160 + n), QString::number(55 + n), QStringLiteral("%1 08:0%2:00").arg(today.toString(Qt::ISODate)).arg(n)});
    }
    ins.row("XT_BRGMJL", "BRID00,GMLB00,GMYW00,GMFY00,SFYX00,JLRQ00", {100005, QStringLiteral("0"), QStringLiteral("青霉素"), QStringLiteral("皮疹"), QStringLiteral("1"), ymd(today.addYears(-2))});
    ins.row("XT_BRGMJL", "BRID00,GMLB00,GMYW00,GMFY00,SFYX00,JLRQ00", {100002, QStringLiteral("1"), QStringLiteral("海鲜"), QStringLiteral("荨麻疹"), QStringLiteral("1"), ymd(today.addYears(-1))});
    ins.row("YS_MZBLWS", "GHH000,GHID00,ZS0000,GMS000,JLRQ00", {QStringLiteral("300005"), 300005, QStringLiteral("咳嗽三天"), QStringLiteral("青霉素过敏"), ymd(today)});
    ins.row("YS_MZBLWS", "GHH000,GHID00,ZS0000,GMS000,JLRQ00", {QStringLiteral("300001"), 300001, QStringLiteral("头晕一周"), Null, ymd(today)});

    // drugs: 14 western (the first entries of the table), 6 herbs
    static QVector<Drug> drugs;  // lines point into it while seeding
    drugs.clear();
    const int westernPick[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    int id = 5000;
    for (int i : westernPick)
        drugs.append(westernDrug(++id, kWestern[i], QStringLiteral("1"), i));
    drugs[12] = westernDrug(5013, kPatent[0], QStringLiteral("3"), 3);
    drugs[13] = westernDrug(5014, kPatent[1], QStringLiteral("3"), 4);
    for (int i = 0; i < 6; ++i)
        drugs.append(herbDrug(++id, kHerbs[i]));
    for (const Drug &d : drugs)
        insertDrug(ins, d);

    // prescriptions
    struct F {
        int nn, patient, pharmacy, pyWin, fyWin, queueNo;
        const char *state, *category;
    };
    static const F rows[] = {
        {1, 1, 101, 1, 3, 1, "0", "1"},   {2, 1, 101, 1, 3, 1, "0", "1"},   {3, 2, 101, 1, 3, 2, "0", "1"},
        {4, 3, 101, 2, 4, 1, "0", "1"},   {5, 4, 101, 1, 3, 3, "1", "1"},   {6, 4, 101, 1, 3, 3, "1", "3"},
        {7, 5, 101, 1, 3, 4, "1", "1"},   {8, 6, 101, 1, 3, 5, "1", "1"},   {9, 7, 101, 2, 4, 2, "1", "1"},
        {10, 8, 101, 2, 4, 3, "1", "1"},  {11, 9, 101, 1, 3, 6, "4", "1"},  {12, 10, 101, 2, 4, 4, "4", "1"},
        {13, 2, 101, 1, 3, 7, "4", "1"},  {14, 1, 101, 1, 3, 8, "2", "1"},  {15, 3, 101, 1, 3, 9, "2", "1"},
        {16, 5, 101, 2, 4, 5, "2", "1"},  {17, 6, 101, 2, 4, 6, "2", "1"},  {18, 7, 101, 1, 3, 10, "2", "1"},
        {19, 8, 101, 1, 3, 11, "3", "1"}, {20, 9, 101, 2, 4, 7, "3", "1"},  {21, 10, 101, 1, 3, 12, "3", "1"},
        {22, 4, 101, 1, 3, 13, "2", "1"}, {23, 4, 101, 1, 3, 13, "2", "3"}, {24, 2, 102, 5, 6, 1, "0", "2"},
        {25, 3, 102, 5, 6, 2, "1", "2"},  {26, 5, 102, 5, 6, 3, "1", "6"},  {27, 6, 102, 5, 6, 4, "4", "4"},
        {28, 7, 102, 5, 6, 5, "2", "6"},  {29, 8, 102, 5, 6, 6, "3", "5"},  {30, 1, 102, 5, 6, 7, "2", "2"},
        {31, 1, 101, 1, 3, 1, "3", "1"},  {32, 2, 101, 1, 3, 2, "3", "1"},  {33, 3, 101, 1, 3, 3, "3", "1"},
        {34, 4, 101, 1, 3, 4, "3", "1"},  {35, 10, 101, 1, 3, 5, "2", "1"}, {36, 9, 101, 0, 0, 0, "", "1"},
        {37, 10, 101, 0, 0, 0, "", "1"},
    };
    static const char *const clinicNames[] = {"内科", "外科", "儿科", "中医科"};
    static const char *const doctorNames[] = {"周建国", "吴敏", "郑丽", "孙志远"};
    int dispensedOrder3 = 0, dispensedOrder4 = 0, dispensedOrder6 = 0;
    int lineBase = 0;
    for (const F &f : rows) {
        Rx rx;
        rx.serial = QStringLiteral("10000000000000%1").arg(f.nn, 2, 10, QLatin1Char('0'));
        const Person &p = patients[f.patient - 1];
        rx.patient = p.id;
        rx.patientName = p.name;
        rx.sex = p.sex;
        rx.age = ages[f.patient - 1];
        rx.birth = birthFor(rx.age, f.patient * 37, today);
        const bool yesterdayRow = f.nn >= 31 && f.nn <= 35;
        rx.day = yesterdayRow ? yesterday : today;
        rx.registration = (yesterdayRow ? 310000 : 300000) + f.patient;
        rx.registrationNo = QString::number(rx.registration);
        rx.pharmacy = f.pharmacy;
        const int clinic = f.pharmacy == 102 ? 3 : (f.patient == 5 ? 2 : f.patient % 2);
        rx.clinicDept = 201 + clinic;
        rx.clinicDeptName = QString::fromUtf8(clinicNames[clinic]);
        rx.doctor = 2001 + clinic;
        rx.doctorName = QString::fromUtf8(doctorNames[clinic]);
        rx.diagnosis = f.pharmacy == 102 ? QStringLiteral("脾胃虚弱") : QStringLiteral("上呼吸道感染");
        rx.enterTime = QStringLiteral("07:%1:00").arg(10 + f.nn, 2, 10, QLatin1Char('0'));
        rx.chargeTime = QStringLiteral("07:%1:30").arg(20 + f.nn, 2, 10, QLatin1Char('0'));
        rx.category = QString::fromLatin1(f.category);
        rx.queued = f.pyWin != 0;
        rx.dispensingWindow = f.pyWin;
        rx.issuingWindow = f.fyWin;
        rx.queueNo = f.queueNo;
        rx.state = QString::fromLatin1(f.state);
        rx.dispensedTime = QStringLiteral("09:%1:00").arg(f.nn, 2, 10, QLatin1Char('0'));
        rx.issuedTime = QStringLiteral("10:%1:00").arg(f.nn, 2, 10, QLatin1Char('0'));
        rx.dispenser = f.pharmacy == 102 ? 1011 : 1001;
        rx.checker = f.pharmacy == 102 ? 1012 : 1002;
        rx.issuer = f.pharmacy == 102 ? 1012 : 1002;
        if (rx.state == QLatin1String("2") || rx.state == QLatin1String("3")) {
            int &order = f.fyWin == 3 ? dispensedOrder3 : f.fyWin == 4 ? dispensedOrder4 : dispensedOrder6;
            rx.callOrder = ++order;
        }
        if (f.nn == 9)
            rx.printTime.clear();
        if (f.nn == 11)
            rx.printTime = QStringLiteral("14:00:00");
        if (f.nn == 12)
            rx.printTime = QStringLiteral("15:30:00");
        if (f.nn == 13)
            rx.printTime = QStringLiteral("09:00:00");
        if (f.nn == 27)
            rx.printTime = QStringLiteral("16:00:00");
        if (f.nn == 17)
            rx.returned = QStringLiteral("1");
        if (f.nn == 18) {
            rx.refund = true;
            rx.refundOf = QStringLiteral("1000000000000034");
        }
        if (f.nn == 20)
            rx.cardIssue = QStringLiteral("1");
        if (f.nn == 21)
            rx.shared = QStringLiteral("3");
        if (f.nn == 37)
            rx.shared = QStringLiteral("2");
        // lines
        if (f.pharmacy == 102) {
            rx.doses = f.nn == 25 ? 7 : f.nn == 26 ? 5 : f.nn == 28 ? 3 : 4;
            const int herbs = 4 + f.nn % 3;
            for (int k = 0; k < herbs; ++k)
                rx.lines.append(herbLine(drugs[14 + (k + f.nn) % 6]));
            if (f.nn == 28) {
                rx.decoctDoses = 3;
                rx.decoctFee = QStringLiteral("1");
            }
        } else if (f.nn == 7) {
            rx.lines.append(westernLine(drugs[2], 5));
            rx.lines.append(westernLine(drugs[9], 5));
        } else if (f.nn == 8) {
            rx.lines.append(westernLine(drugs[4], 3));
            rx.lines.append(westernLine(drugs[0], 7));
        } else if (rx.category == QLatin1String("3")) {
            rx.lines.append(westernLine(drugs[12], 5));
            if (f.nn % 2)
                rx.lines.append(westernLine(drugs[13], 5));
        } else {
            static const int safe[] = {0, 1, 6, 7, 8, 9, 10, 11};
            const int count = 1 + f.nn % 3;
            for (int k = 0; k < count; ++k)
                rx.lines.append(westernLine(drugs[safe[(f.nn + k * 3) % 8]], 7));
        }
        insertRx(ins, rx, lineBase, true);
    }
    ins.row("YF_GXMZCF", "CFLSH0,BASEPSCRIPTID,DrHospitalCode", {QStringLiteral("1000000000000021"), QStringLiteral("GX202400021"), QStringLiteral("1001")});
    ins.row("YF_MZLZCF", "CFLSH0,CFZTBZ", {QStringLiteral("1000000000000037"), QStringLiteral("0")});
    for (int nn = 5; nn <= 10; ++nn)
        ins.row("RCACCEPT", "CFLSH0,LZH000,CKH000", {QStringLiteral("10000000000000%1").arg(nn, 2, 10, QLatin1Char('0')), Null, Null});
    ins.row("YF_RCMZPYZT", "CFLSH0,SJCS00", {QStringLiteral("1000000000000009"), 2});
    // the charged decoction fee of prescription 28
    ins.row("YJ_YW0000", "YJDJH0,BRID00,YZCFID,FJDJBZ,ZYGHID,MZZYBZ,XMMC00,SL0000,JE0000,KDRQ00",
            {4000001, 100007, QStringLiteral("1000000000000028"), QStringLiteral("7"), 300007, QStringLiteral("0"),
             QStringLiteral("中药代煎费"), 3, 15.0, ymd(today)});
    ins.row("SF_FYMX00", "FYID00,JZDH00,YJDJH0,BRID00,CFLSH0,XMMC00,SL0000,DJ0000,JE0000,SFRQ00,CZY000",
            {4000001, 0, 4000001, 100007, QStringLiteral("1000000000000028"), QStringLiteral("中药代煎费"), 3, 5.0, 15.0, ymd(today), 1011});
    ins.row("YF_JYXXB0", "JYDH00,CFLSH0,MZZYBZ,BRXM00,BQMC00,CH0000,LYRQ00,LYSJ00,ZYDJS0,ZYSFJJ,YYRQ00,YPYFMC,YPYFSM,BZJHM0,DYCS00",
            {1, QStringLiteral("1000000000000028"), QStringLiteral("0"), QStringLiteral("黄强"), Null, Null, ymd(today),
             QStringLiteral("09:40:00"), 3, QStringLiteral("否"), ymd(today), QStringLiteral("煎服"), QStringLiteral("每日两次，饭后温服"),
             QStringLiteral("BZJ003"), 0});
    ins.row("BM_JKFHZ0", "DDLSH0,CARDLX,BRID00,ICKH00,XM0000,ZJHM00",
            {QStringLiteral("EC2024000001"), QStringLiteral("A2"), 100003, QStringLiteral("C100003"), QStringLiteral("张伟"), Null});
    return finish(db, ins, error);
}

// ==================================================================== demo
bool seedDemo(sqlite3 *db, const SeedOptions &options, QString *error)
{
    if (!begin(db, error))
        return false;
    const QDate today = options.today.isValid() ? options.today : clockDate();
    std::mt19937 rng(options.randomSeed);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(std::max(1, n))); };
    auto chance = [&rng](int percent) { return static_cast<int>(rng() % 100u) < percent; };

    Inserter ins(db);
    seedDictionary(ins);
    static const char *const clinicNames[] = {"内科", "外科", "儿科", "妇产科", "中医科", "眼科", "耳鼻喉科",
                                              "皮肤科", "口腔科", "心血管内科", "呼吸内科", "消化内科"};
    QVector<std::pair<int, QString>> clinics;
    for (int i = 0; i < 12; ++i)
        clinics.append({201 + i, QString::fromUtf8(clinicNames[i])});
    seedDepartments(ins, clinics);

    // windows: western pharmacy 1-4 dispensing, 5-8 issuing; herbal 9-10 dispensing, 11-12 issuing
    for (int w = 1; w <= 4; ++w)
        seedWindow(ins, w, 101, "2", QStringLiteral("1"), QStringLiteral("1,3"));
    for (int w = 5; w <= 8; ++w)
        seedWindow(ins, w, 101, "3", w == 8 ? QStringLiteral("2") : QStringLiteral("1"), QStringLiteral("1,3"));
    for (int w = 9; w <= 10; ++w)
        seedWindow(ins, w, 102, "2", QStringLiteral("1"), QStringLiteral("2"));
    for (int w = 11; w <= 12; ++w)
        seedWindow(ins, w, 102, "3", QStringLiteral("1"), QStringLiteral("2"));
    for (int s = 1; s <= 4; ++s)
        for (int d = 5; d <= 8; ++d)
            ins.row("BM_CKDY00", "SCKBH0,DCKBH0,SFYX00,CJR000", {s, d, QStringLiteral("1"), 1001});
    for (int s = 9; s <= 10; ++s)
        for (int d = 11; d <= 12; ++d)
            ins.row("BM_CKDY00", "SCKBH0,DCKBH0,SFYX00,CJR000", {s, d, QStringLiteral("1"), 1001});
    ins.row("YF_ZKFYCK", "BMBH00,FYCKBH", {203, 8});

    const int nSurnames = sizeof kSurnames / sizeof *kSurnames;
    const int nGiven = sizeof kGiven / sizeof *kGiven;
    auto makeName = [&](int a, int b, QString *py) {
        if (py)
            *py = QString::fromLatin1(kSurnamePy[a]) + QString::fromLatin1(kGivenPy[b]);
        return QString::fromUtf8(kSurnames[a]) + QString::fromUtf8(kGiven[b]);
    };
    // pharmacists: 16 western (1001..), 6 herbal (1101..)
    QVector<int> westernStaff, herbalStaff;
    for (int i = 0; i < 22; ++i) {
        const bool herbal = i >= 16;
        const int id = herbal ? 1101 + (i - 16) : 1001 + i;
        QString py;
        const QString name = makeName(pick(nSurnames), pick(nGiven), &py);
        seedStaff(ins, id, name, chance(55) ? QStringLiteral("女") : QStringLiteral("男"), herbal ? 102 : 101,
                  QStringLiteral("K%1").arg(id), py, py, "1", "药师", herbal ? "中药师" : "药师");
        (herbal ? herbalStaff : westernStaff).append(id);
        const int window = herbal ? 9 + (i - 16) % 2 : 1 + i % 4;
        ins.row("YF_PYCKRY", "PYCKBH,YGBH00,RYZT00,HDZT00", {window, id, QStringLiteral("1"), (i % 3 == 0) ? QStringLiteral("1") : QStringLiteral("0")});
    }
    // doctors: 3 per clinic
    struct Doc { int id, dept; QString name; };
    QVector<Doc> doctors;
    for (int c = 0; c < 12; ++c)
        for (int k = 0; k < 3; ++k) {
            const int id = 2001 + c * 3 + k;
            QString py;
            const QString name = makeName(pick(nSurnames), pick(nGiven), &py);
            seedStaff(ins, id, name, chance(50) ? QStringLiteral("女") : QStringLiteral("男"), 201 + c, QStringLiteral("D%1").arg(id),
                      py, py, "1", "医生", k == 0 ? "1" : "2");
            doctors.append({id, 201 + c, name});
        }
    ins.row("BM_SZZSXX", "YGBH00,YGXM00,XLH000,HXZ000,OPENID,BFG000,BFZ000,SJH000,SXRQ00,JZRQ00",
            {1001, QStringLiteral("药师1001"), QStringLiteral("openid-1001"), QStringLiteral("openid-1001"), QStringLiteral("openid-1001"),
             QStringLiteral("药师1001"), QStringLiteral("Beijing SM2 CA"), QStringLiteral("13900001001"), ymd(today.addDays(-30)),
             ymd(today.addDays(340))});

    // drugs
    static QVector<Drug> drugs;
    drugs.clear();
    int drugId = 5000;
    const int nWestern = sizeof kWestern / sizeof *kWestern;
    for (int i = 0; i < nWestern; ++i) {
        drugs.append(westernDrug(++drugId, kWestern[i], QStringLiteral("1"), i));
        // a second maker, and for tablets and capsules a large pack
        Drug d2 = westernDrug(++drugId, kWestern[i], QStringLiteral("1"), i + 3);
        drugs.append(d2);
        if (d2.packUnit == QStringLiteral("盒") && d2.perPack < 60) {
            Drug d3 = westernDrug(++drugId, kWestern[i], QStringLiteral("1"), i + 5);
            d3.spec = d3.spec.section(QLatin1Char('*'), 0, 0) + QStringLiteral("*%1%2").arg(d3.perPack * 3).arg(d3.doseUnit);
            d3.perPack *= 3;
            d3.price = round2(d3.price * 2.7);
            drugs.append(d3);
        }
    }
    const int firstPatent = drugs.size();
    for (const WesternBase &p : kPatent) {
        ++drugId;
        drugs.append(westernDrug(drugId, p, QStringLiteral("3"), drugId));
    }
    const int firstHerb = drugs.size();
    for (const HerbBase &h : kHerbs)
        drugs.append(herbDrug(++drugId, h));
    const int nDrugs = drugs.size();
    for (const Drug &d : drugs)
        insertDrug(ins, d);
    QVector<int> plainWestern, skinWestern, highWestern;
    for (int i = 0; i < firstPatent; ++i) {
        if (!drugs[i].skinClass.isEmpty())
            skinWestern.append(i);
        else if (drugs[i].highAlert == QLatin1String("1"))
            highWestern.append(i);
        else
            plainWestern.append(i);
    }

    // patients
    const int nPatients = 2000;
    struct Pat { Person p; int age; QString birth; };
    QVector<Pat> patients;
    patients.reserve(nPatients);
    for (int i = 0; i < nPatients; ++i) {
        Person p{100001 + i, makeName(pick(nSurnames), pick(nGiven), nullptr), chance(50) ? QStringLiteral("男") : QStringLiteral("女"), {}, {}};
        const int age = chance(12) ? 1 + pick(12) : 18 + pick(70);
        const QString birth = birthFor(age, i * 13, today);
        seedPatient(ins, p, birth, chance(40), round2(pick(100000) / 100.0));
        patients.append({p, age, birth});
        if (chance(5))
            ins.row("XT_BRGMJL", "BRID00,GMLB00,GMYW00,GMFY00,SFYX00,JLRQ00",
                    {p.id, QStringLiteral("0"), chance(50) ? QStringLiteral("青霉素") : QStringLiteral("头孢类"), QStringLiteral("皮疹"),
                     QStringLiteral("1"), ymd(today.addYears(-1))});
    }

    static const char *const diagnoses[] = {"上呼吸道感染", "高血压病", "2型糖尿病", "急性胃肠炎", "支气管炎",
                                            "慢性胃炎", "冠心病", "过敏性鼻炎", "腰肌劳损", "失眠"};
    static const char *const herbDiagnoses[] = {"脾胃虚弱", "气血两虚", "肝郁气滞", "风热感冒", "湿热内蕴"};
    int lineBase = 0;
    QStringList issuedYesterday;
    // registrations per patient and day are created on first use
    QHash<qint64, int> registrationOf;
    int nextRegistration = 300000;

    for (int dayOffset = options.daysOfHistory; dayOffset >= 0; --dayOffset) {
        const QDate day = today.addDays(-dayOffset);
        const bool isToday = dayOffset == 0;
        const int count = isToday ? options.prescriptionsPerDay : std::max(1, options.prescriptionsPerDay / 4);
        int queueNo[13] = {0};
        int callOrder[13] = {0};
        int lastPatient = -1, lastWindow = 0, lastPy = 0, lastQueue = 0;
        for (int i = 0; i < count; ++i) {
            Rx rx;
            rx.serial = QStringLiteral("%1%2").arg(ymd(day)).arg(i + 1, 8, 10, QLatin1Char('0'));
            // one in five follows the previous patient into the same queue group
            const bool sameGroup = lastPatient >= 0 && chance(20);
            const int pi = sameGroup ? lastPatient : pick(nPatients);
            const Pat &pat = patients[pi];
            rx.patient = pat.p.id;
            rx.patientName = pat.p.name;
            rx.sex = pat.p.sex;
            rx.age = pat.age;
            rx.birth = pat.birth;
            const qint64 regKey = qint64(rx.patient) * 100 + dayOffset;
            if (!registrationOf.contains(regKey)) {
                const int gh = ++nextRegistration;
                registrationOf.insert(regKey, gh);
                const Doc &doc = doctors[pick(doctors.size())];
                ins.row("SF_BRXXB0", "GHID00,GHH000,BRID00,SJLY00,LBBH00,GHRQ00,GHKS00,YSGZH0",
                        {gh, QString::number(gh), rx.patient, chance(10) ? QStringLiteral("2") : QStringLiteral("1"), 1 + pick(9), ymd(day), doc.dept, doc.id});
                ins.row("YS_BRZDXX", "GHID00,SFXYZD,ZDMC00,ICD900",
                        {gh, QStringLiteral("1"), QString::fromUtf8(diagnoses[pick(10)]), QStringLiteral("R69.X00")});
                if (chance(30))
                    ins.row("YS_BRTZXX", "GHID00,TW0000,MB0000,XY0000,SG0000,TZ0000,CLRQSJ",
                            {gh, QStringLiteral("36.%1").arg(pick(10)), QString::number(60 + pick(40)),
                             QStringLiteral("%1/%2").arg(100 + pick(60)).arg(60 + pick(30)), QString::number(150 + pick(40)),
                             QString::number(45 + pick(45)), day.toString(Qt::ISODate) + QStringLiteral(" 08:00:00")});
                if (chance(8))
                    ins.row("YS_MZBLWS", "GHH000,GHID00,ZS0000,GMS000,JLRQ00",
                            {QString::number(gh), gh, QStringLiteral("复诊"), QStringLiteral("青霉素过敏"), ymd(day)});
            }
            rx.day = day;
            rx.registration = registrationOf.value(regKey);
            rx.registrationNo = QString::number(rx.registration);
            const bool herbal = sameGroup ? (lastWindow >= 11) : chance(15);
            rx.pharmacy = herbal ? 102 : 101;
            const Doc &doc = doctors[herbal ? 12 + pick(3) : pick(doctors.size())];
            rx.clinicDept = doc.dept;
            rx.clinicDeptName = QString::fromUtf8(clinicNames[doc.dept - 201]);
            rx.doctor = doc.id;
            rx.doctorName = doc.name;
            rx.diagnosis = herbal ? QString::fromUtf8(herbDiagnoses[pick(5)]) : QString::fromUtf8(diagnoses[pick(10)]);
            const int minute = 450 + (i * 570) / std::max(1, count);  // 07:30 .. 17:00 over the day
            rx.enterTime = QTime(minute / 60, minute % 60, pick(60)).toString(QStringLiteral("HH:mm:ss"));
            rx.chargeTime = QTime(minute / 60, minute % 60, 0).addSecs(120 + pick(600)).toString(QStringLiteral("HH:mm:ss"));
            if (sameGroup) {
                rx.issuingWindow = lastWindow;
                rx.dispensingWindow = lastPy;
                rx.queueNo = lastQueue;
            } else {
                rx.issuingWindow = herbal ? 11 + pick(2) : 5 + pick(4);
                rx.dispensingWindow = herbal ? 9 + pick(2) : 1 + pick(4);
                rx.queueNo = ++queueNo[rx.issuingWindow];
            }
            lastPatient = pi;
            lastWindow = rx.issuingWindow;
            lastPy = rx.dispensingWindow;
            lastQueue = rx.queueNo;
            // state
            const int r = pick(100);
            if (!isToday)
                rx.state = r < 96 ? QStringLiteral("3") : QStringLiteral("2");
            else
                rx.state = r < 8 ? QStringLiteral("0") : r < 33 ? QStringLiteral("1") : r < 38 ? QStringLiteral("4")
                         : r < 58 ? QStringLiteral("2") : QStringLiteral("3");
            if (rx.state == QLatin1String("4"))
                rx.printTime = QTime(8 + pick(10), pick(60), 0).toString(QStringLiteral("HH:mm:ss"));
            else if (rx.state == QLatin1String("1") && chance(10))
                rx.printTime.clear();
            else
                rx.printTime = QTime(minute / 60, minute % 60, 0).addSecs(600).toString(QStringLiteral("HH:mm:ss"));
            rx.dispensedTime = QTime(minute / 60, minute % 60, 0).addSecs(900 + pick(600)).toString(QStringLiteral("HH:mm:ss"));
            rx.issuedTime = QTime(minute / 60, minute % 60, 0).addSecs(1800 + pick(1200)).toString(QStringLiteral("HH:mm:ss"));
            const QVector<int> &staff = herbal ? herbalStaff : westernStaff;
            rx.dispenser = staff[pick(staff.size())];
            rx.checker = staff[pick(staff.size())];
            rx.issuer = staff[pick(staff.size())];
            if (rx.state == QLatin1String("2") || rx.state == QLatin1String("3"))
                rx.callOrder = ++callOrder[rx.issuingWindow];
            if (rx.state == QLatin1String("2") && chance(2))
                rx.returned = QStringLiteral("1");
            if (rx.state == QLatin1String("3") && chance(10))
                rx.cardIssue = QStringLiteral("1");
            rx.kind = chance(2) ? QStringLiteral("0") : chance(10) ? QStringLiteral("3") : pat.age < 14 ? QStringLiteral("2") : QStringLiteral("1");
            rx.feeClass = chance(45) ? QStringLiteral("3") : QStringLiteral("1");
            // lines
            if (herbal) {
                const int c = pick(100);
                rx.category = c < 60 ? QStringLiteral("2") : c < 75 ? QStringLiteral("4") : c < 80 ? QStringLiteral("5") : QStringLiteral("6");
                rx.doses = 3 + pick(12);
                const int herbs = 4 + pick(3);
                const int start = pick(nDrugs - firstHerb);
                for (int k = 0; k < herbs; ++k)
                    rx.lines.append(herbLine(drugs[firstHerb + (start + k * 7) % (nDrugs - firstHerb)]));
                if (rx.category == QLatin1String("6") && chance(70)) {
                    rx.decoctDoses = rx.doses;
                    rx.decoctFee = QStringLiteral("1");
                }
            } else {
                const bool patent = chance(12);
                rx.category = patent ? QStringLiteral("3") : QStringLiteral("1");
                const int n = 1 + pick(3);
                for (int k = 0; k < n; ++k) {
                    int idx;
                    if (patent)
                        idx = firstPatent + pick(firstHerb - firstPatent);
                    else if (k == 0 && chance(5))
                        idx = skinWestern[pick(skinWestern.size())];
                    else if (k == 0 && chance(4))
                        idx = highWestern[pick(highWestern.size())];
                    else
                        idx = plainWestern[pick(plainWestern.size())];
                    rx.lines.append(westernLine(drugs[idx], 3 + pick(12)));
                }
            }
            // refunds: a negative prescription for one issued the day before
            if (isToday && !issuedYesterday.isEmpty() && chance(1)) {
                rx.refund = true;
                rx.refundOf = issuedYesterday[pick(issuedYesterday.size())];
            }
            insertRx(ins, rx, lineBase, false);
            if (dayOffset == 1 && rx.state == QLatin1String("3") && !herbal)
                issuedYesterday.append(rx.serial);
            if (rx.decoctFee == QLatin1String("1")) {
                const int yj = 4000000 + lineBase;
                ins.row("YJ_YW0000", "YJDJH0,BRID00,YZCFID,FJDJBZ,ZYGHID,MZZYBZ,XMMC00,SL0000,JE0000,KDRQ00",
                        {yj, rx.patient, rx.serial, QStringLiteral("7"), rx.registration, QStringLiteral("0"),
                         QStringLiteral("中药代煎费"), rx.decoctDoses, rx.decoctDoses * 5.0, ymd(day)});
                ins.row("SF_FYMX00", "FYID00,JZDH00,YJDJH0,BRID00,CFLSH0,XMMC00,SL0000,DJ0000,JE0000,SFRQ00,CZY000",
                        {yj, isToday ? 0 : 7000000 + yj % 100000, yj, rx.patient, rx.serial, QStringLiteral("中药代煎费"),
                         rx.decoctDoses, 5.0, rx.decoctDoses * 5.0, ymd(day), rx.dispenser});
                if (rx.state == QLatin1String("2") || rx.state == QLatin1String("3"))
                    ins.row("YF_JYXXB0", "JYDH00,CFLSH0,MZZYBZ,BRXM00,LYRQ00,LYSJ00,ZYDJS0,ZYSFJJ,YYRQ00,YPYFMC,YPYFSM,BZJHM0,DYCS00",
                            {yj, rx.serial, QStringLiteral("0"), rx.patientName, ymd(day), rx.dispensedTime, rx.decoctDoses,
                             QStringLiteral("否"), ymd(day), QStringLiteral("煎服"), QStringLiteral("每日两次，饭后温服"),
                             QStringLiteral("BZJ%1").arg(1 + pick(16), 3, 10, QLatin1Char('0')), isToday ? 0 : 1});
            }
        }
    }
    // a handful of paid prescriptions today that have no queue entry yet (network prescriptions)
    for (int i = 0; i < 5; ++i) {
        Rx rx;
        rx.serial = QStringLiteral("%1%2").arg(ymd(today)).arg(90000001 + i, 8, 10, QLatin1Char('0'));
        const Pat &pat = patients[pick(nPatients)];
        rx.patient = pat.p.id;
        rx.patientName = pat.p.name;
        rx.sex = pat.p.sex;
        rx.age = pat.age;
        rx.birth = pat.birth;
        rx.registration = ++nextRegistration;
        rx.registrationNo = QString::number(rx.registration);
        ins.row("SF_BRXXB0", "GHID00,GHH000,BRID00,SJLY00,LBBH00,GHRQ00,GHKS00,YSGZH0",
                {rx.registration, rx.registrationNo, rx.patient, QStringLiteral("2"), 1, ymd(today), 201, 2001});
        rx.pharmacy = 101;
        rx.clinicDept = 201;
        rx.clinicDeptName = QStringLiteral("内科");
        rx.doctor = doctors[0].id;
        rx.doctorName = doctors[0].name;
        rx.diagnosis = QStringLiteral("高血压病");
        rx.day = today;
        rx.enterTime = QStringLiteral("08:00:00");
        rx.chargeTime = QStringLiteral("08:05:00");
        rx.queued = false;
        rx.lines.append(westernLine(drugs[plainWestern[pick(plainWestern.size())]], 7));
        insertRx(ins, rx, lineBase, false);
    }
    return finish(db, ins, error);
}

}  // namespace hisdb
