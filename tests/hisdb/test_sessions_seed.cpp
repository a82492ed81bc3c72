// The host session registry behind V$session, and the two seeds.
#include "hisdb_test_support.h"

#include <QTemporaryDir>
#include <sys/wait.h>
#include <unistd.h>

using namespace hisdbtest;

namespace {

using SessionTest = FixtureTest;

QString countOn(sqlite3 *db, const char *terminal)
{
    return value(db, QStringLiteral("select count(*) from V$session where TERMINAL='%1' and program='appKPWHis.exe'").arg(QLatin1String(terminal)));
}

TEST_F(SessionTest, RegisteredConnectionsShowUntilClosedOrTheirProcessEnds)
{
    QString err;
    ASSERT_TRUE(hisdb::registerSession(db, QStringLiteral("PC-PHARM-01"), QStringLiteral("appKPWHis.exe"), &err)) << err.toStdString();
    EXPECT_EQ(countOn(db, "PC-PHARM-01"), QStringLiteral("1"));

    // a second connection of the same machine, as a second host would open it
    sqlite3 *other = hisdb::open(env->dbPath(), &err);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(hisdb::registerSession(other, QStringLiteral("PC-PHARM-01"), QStringLiteral("appKPWHis.exe")));
    EXPECT_EQ(countOn(db, "PC-PHARM-01"), QStringLiteral("2"));
    hisdb::close(other);  // closing removes the registration
    EXPECT_EQ(countOn(db, "PC-PHARM-01"), QStringLiteral("1"));

    // registrations left behind by a process that has ended here do not count;
    // those of another machine cannot be checked and do
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    env->exec(QStringLiteral("insert into HISDB_SESSION(TERMINAL, PROGRAM, HOSTNM, PID000, CONNID) values "
                             "('PC-PHARM-02', 'appKPWHis.exe', '%1', %2, 'gone'),"
                             "('PC-PHARM-03', 'appKPWHis.exe', 'another-machine', 1, 'far')")
                  .arg(hisdb::localHostName())
                  .arg(child));
    EXPECT_EQ(countOn(db, "PC-PHARM-02"), QStringLiteral("0"));
    EXPECT_EQ(countOn(db, "PC-PHARM-03"), QStringLiteral("1"));

    // registering again replaces this connection's row; unregistering removes it
    ASSERT_TRUE(hisdb::registerSession(db, QStringLiteral("PC-PHARM-01"), QStringLiteral("appKPWHis.exe")));
    EXPECT_EQ(countOn(db, "PC-PHARM-01"), QStringLiteral("1"));
    hisdb::unregisterSession(db);
    EXPECT_EQ(countOn(db, "PC-PHARM-01"), QStringLiteral("0"));
}

TEST_F(SessionTest, FixtureHoldsWhatItsHeaderDocuments)
{
    EXPECT_EQ(v(QStringLiteral("select count(*) from YF_MZCF00")), QStringLiteral("37"));
    EXPECT_EQ(v(QStringLiteral("select group_concat(ZT0000 || ':' || n, ' ') from (select ZT0000, count(*) n from YF_CFDL00 where PHRQ00 = ? "
                               "group by ZT0000 order by ZT0000)"),
                {T}),
              QStringLiteral("0:5 1:8 2:9 3:4 4:4"));
    EXPECT_EQ(v(QStringLiteral("select count(*) from YF_CFDL00 where PHRQ00 = ?"), {Y}), QStringLiteral("5"));
    EXPECT_EQ(v(QStringLiteral("select group_concat(CKBH00 ||'/'|| CKMC00 ||'/'|| BMBH00 ||'/'|| FLAG00 ||'/'|| ZT0000, ' ') from BM_CKBM00")),
              QStringLiteral("1/01/101/2/2 2/02/101/2/2 3/03/101/3/2 4/04/101/3/2 5/05/102/2/2 6/06/102/3/2"));
    EXPECT_EQ(v(QStringLiteral("select YGBH00 from BM_YGBM00 where XKH000 = :XKH000"), {QStringLiteral("K1003")}), QStringLiteral("1003"));
    EXPECT_EQ(v(QStringLiteral("select count(*) from YF_MZCFMX m where not exists (select 1 from YS_CFMXB0 d where d.CFID00 = m.CFID00)")),
              QStringLiteral("0"));
    EXPECT_EQ(v(QStringLiteral("select count(*) from YF_MZCF00 c where not exists (select 1 from YF_MZCFMX m where m.CFLSH0 = c.CFLSH0)")),
              QStringLiteral("0"));
    EXPECT_EQ(v(QStringLiteral("select THBZ00 || BCCFH0 from YF_MZCF00 where CFLSH0 = ?"), {serialNo(18)}), QStringLiteral("0") + serialNo(34));
    EXPECT_EQ(v(QStringLiteral("select group_concat(MC0000, '|') from (select MC0000 from BM_TYZD00 where ZDMC00 = '门诊审方退回原因' and LBBZ00='0' order by XSXH00)")),
              QStringLiteral("用药不适宜|剂量超出常规|重复用药"));
    for (const char *cat : {"电子病历与电子申请单配置", "取药队列字典", "CA认证接口配置", "医保追溯码配置", "退回原因", "共享药房参数设置",
                            "门诊配药_接收预配药_打印药签顺序", "排队叫号通用接口参数配置", "发药信息推送接口配置", "药品核销接口配置", "电子虚拟健康卡",
                            "集成平台关联配置", "事前审方-事前审方系统"})
        EXPECT_NE(v(QStringLiteral("select count(*) from BM_TYZD00 where ZDMC00 = ?"), {QString::fromUtf8(cat)}), QStringLiteral("0")) << cat;
    EXPECT_EQ(v(QStringLiteral("select substr(value0,1,1) from xt_xtcs00 where name00='XT_SRFSLXSCT'")), QStringLiteral("Y"));
}

// The demo: every state, refunds, herbal and decoction prescriptions,
// skin-test and high-alert drugs; the same seed gives the same hospital.
TEST(DemoSeed, IsRealisticAndDeterministic)
{
    hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
    QTemporaryDir dir;
    auto seed = [&](const QString &name, QString *checksum) {
        QString err;
        sqlite3 *db = hisdb::open(dir.filePath(name), &err);
        ASSERT_NE(db, nullptr) << err.toStdString();
        hisdb::SeedOptions o;
        o.prescriptionsPerDay = 2000;
        o.daysOfHistory = 1;
        ASSERT_TRUE(hisdb::seedDemo(db, o, &err)) << err.toStdString();
        EXPECT_EQ(value(db, QStringLiteral("select count(*) from YF_CFDL00 where PHRQ00 = '20250305'")), QStringLiteral("2000"));
        EXPECT_EQ(value(db, QStringLiteral("select count(distinct ZT0000) from YF_CFDL00 where PHRQ00 = '20250305'")), QStringLiteral("5"));
        EXPECT_EQ(value(db, QStringLiteral("select count(*) from YF_CFDL00 where PHRQ00 = '20250304'")), QStringLiteral("500"));
        EXPECT_EQ(value(db, QStringLiteral("select count(*) from BM_BRXXB0")), QStringLiteral("2000"));
        EXPECT_EQ(value(db, QStringLiteral("select count(*) from IC_YHXX00")), QStringLiteral("2000"));
        EXPECT_GE(value(db, QStringLiteral("select count(*) from BM_YD0000")).toInt(), 200);
        EXPECT_NE(value(db, QStringLiteral("select count(*) from YF_CFDL00 where YPJE00 < 0")), QStringLiteral("0"));
        EXPECT_NE(value(db, QStringLiteral("select count(*) from YF_CFDL00 where PYLBBH = '6'")), QStringLiteral("0"));
        EXPECT_NE(value(db, QStringLiteral("select count(*) from YF_CFDL00 where YFBMBH = 102 and ZT0000 = '1'")), QStringLiteral("0"));
        EXPECT_NE(value(db, QStringLiteral("select count(*) from YF_MZCF00 where SFPS00 = '1'")), QStringLiteral("0"));
        EXPECT_NE(value(db, QStringLiteral("select count(*) from YF_MZCF00 where SFGW00 = '1'")), QStringLiteral("0"));
        EXPECT_EQ(value(db, QStringLiteral("select max(n) <= 6 and min(n) >= 1 from (select count(*) n from YF_MZCFMX group by CFLSH0)")),
                  QStringLiteral("1"));
        EXPECT_EQ(value(db, QStringLiteral("select count(*) from YF_MZCF00 c where not exists (select 1 from YF_CFDL00 q where q.CFLSH0 = c.CFLSH0)")),
                  QStringLiteral("5"));
        *checksum = value(db, QStringLiteral("select sum(DLXH00 * FYDLXH * FYCKBH) || ':' || sum(YPJE00) || ':' || group_concat(BRXM00) "
                                             "from (select * from YF_CFDL00 order by DLXH00 limit 500)"));
        hisdb::close(db);
    };
    QString a, b;
    seed(QStringLiteral("a.db"), &a);
    seed(QStringLiteral("b.db"), &b);
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a, b);
    hisdb::setFixedNow(QString());
}

}  // namespace
