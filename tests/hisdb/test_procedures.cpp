// The stored procedures: state moves, refusals, atomicity, commit requests
// and two stations racing for one prescription.
#include "hisdb_test_support.h"

#include <QThread>
#include <atomic>
#include <thread>

using namespace hisdbtest;

namespace {

struct Expect {
    const char *column;  // expression over q (YF_CFDL00) and c (YF_MZCF00)
    const char *value;   // "" for null; "T" today; "NOW" the fixed time
};

struct MoveCase {
    const char *name;
    const char *op;
    int nn;                 // fixture prescription
    const char *extraKey;   // one more input (or nullptr)
    const char *extraValue;
    bool allowed;
    std::vector<Expect> expect;
};

void PrintTo(const MoveCase &m, std::ostream *os) { *os << m.name; }

class MoveTest : public FixtureTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveTest, MovesOrRefuses)
{
    const MoveCase &m = GetParam();
    const QString serial = serialNo(m.nn);
    const QString before = snapshot(db, serial);
    const QString nextOrder =
        v(QStringLiteral("select ifnull(max(JHXH00),0)+1 from YF_CFDL00 where FYCKBH = (select FYCKBH from YF_CFDL00 where CFLSH0 = ?) "
                         "and PHRQ00 = ?"),
          {serial, T});
    QVariantMap in{{QStringLiteral("POPFLAG"), QString::fromLatin1(m.op)},
                   {QStringLiteral("PCFLSH0"), serial},
                   {QStringLiteral("PFHRBH0"), QStringLiteral("1002")},
                   {QStringLiteral("PCZY000"), QStringLiteral("1003")},
                   {QStringLiteral("PCZYKS0"), QStringLiteral("101")},
                   {QStringLiteral("PCOMMIT"), QVariant()}};
    if (m.extraKey)
        in.insert(QString::fromLatin1(m.extraKey), QString::fromLatin1(m.extraValue));
    const Call c = call(db, QStringLiteral("SP_PY_MZPFYCZ"), in);
    ASSERT_FALSE(c.raised) << c.error.toStdString();
    EXPECT_FALSE(c.commit);
    if (!m.allowed) {
        EXPECT_EQ(c.flag(), QStringLiteral("0"));
        EXPECT_TRUE(c.message().contains(serial)) << c.message().toStdString();
        EXPECT_EQ(snapshot(db, serial), before) << "a refused move wrote something";
        return;
    }
    EXPECT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_TRUE(c.message().isEmpty());
    for (const Expect &e : m.expect) {
        QString want = QString::fromUtf8(e.value);
        if (want == QLatin1String("T"))
            want = T;
        else if (want == QLatin1String("NOW"))
            want = QStringLiteral("10:30:00");
        else if (want == QLatin1String("NEXT"))
            want = nextOrder;
        EXPECT_EQ(v(QStringLiteral("select %1 from YF_CFDL00 q join YF_MZCF00 c on c.CFLSH0 = q.CFLSH0 where q.CFLSH0 = ?")
                        .arg(QLatin1String(e.column)),
                    {serial}),
                  want)
            << m.name << ": " << e.column;
    }
}

// Fixture entries: 01 "0"; 05 "1" printed; 09 "1" without print date; 11 "4";
// 14 "2" (dispenser 1001, checker 1002); 17 "2" returned; 19 "3" (issuer 1002).
INSTANTIATE_TEST_SUITE_P(
    Hisdb, MoveTest,
    ::testing::Values(
        MoveCase{"print0", "1", 1, "PPFR000", "1003", true,
                 {{"q.ZT0000", "1"}, {"q.DYRQ00", "T"}, {"q.DYSJ00", "NOW"}, {"c.PFR000", "1003"}}},
        MoveCase{"print0NoDispenser", "1", 1, nullptr, nullptr, true, {{"q.ZT0000", "1"}, {"c.PFR000", ""}}},
        MoveCase{"printUnprinted", "1", 9, nullptr, nullptr, true, {{"q.ZT0000", "1"}, {"q.DYRQ00", "T"}, {"q.DYSJ00", "NOW"}}},
        MoveCase{"printAgain", "1", 5, nullptr, nullptr, false, {}},
        MoveCase{"dispense1", "2", 5, nullptr, nullptr, true,
                 {{"q.ZT0000", "2"}, {"q.PYRQ00", "T"}, {"q.PYSJ00", "NOW"}, {"c.FHR001", "1002"}, {"c.PFR000", "1003"}, {"q.JHXH00", "NEXT"}}},
        MoveCase{"dispense4", "2", 11, nullptr, nullptr, true, {{"q.ZT0000", "2"}, {"q.DYSJ00", "14:00:00"}}},
        MoveCase{"dispenseDispensedHerbal", "2", 30, nullptr, nullptr, false, {}},
        MoveCase{"dispense0", "2", 1, nullptr, nullptr, false, {}},
        MoveCase{"dispense2", "2", 14, nullptr, nullptr, false, {}},
        MoveCase{"undoDispense", "3", 14, nullptr, nullptr, true,
                 {{"q.ZT0000", "1"}, {"q.PYRQ00", ""}, {"q.PYSJ00", ""}, {"c.FHR001", ""}, {"c.PFR000", "1001"}}},
        MoveCase{"undoDispense1", "3", 5, nullptr, nullptr, false, {}},
        MoveCase{"issue", "4", 14, "PDKFYBZ", "1", true,
                 {{"q.ZT0000", "3"}, {"q.FYRQ00", "T"}, {"q.FYSJ00", "NOW"}, {"q.DKFYBZ", "1"}, {"c.FYR000", "1003"},
                  {"c.CFZT00", "2"}, {"c.FYRQ00", "T"}, {"c.PFR000", "1001"}}},
        MoveCase{"issueNoCard", "4", 15, "PDKFYBZ", "0", true, {{"q.ZT0000", "3"}, {"q.DKFYBZ", "0"}}},
        MoveCase{"issueReturned", "4", 17, nullptr, nullptr, false, {}},
        MoveCase{"issueWaiting", "4", 5, nullptr, nullptr, false, {}},
        MoveCase{"undoIssue", "5", 19, nullptr, nullptr, true,
                 {{"q.ZT0000", "2"}, {"q.FYRQ00", ""}, {"q.FYSJ00", ""}, {"c.FYR000", ""}, {"c.CFZT00", "1"}, {"c.FYRQ00", ""}}},
        MoveCase{"undoIssue2", "5", 14, nullptr, nullptr, false, {}},
        MoveCase{"dispenseAndIssue", "6", 11, "PDKFYBZ", "0", true,
                 {{"q.ZT0000", "3"}, {"q.PYRQ00", "T"}, {"q.FYRQ00", "T"}, {"c.FHR001", "1002"}, {"c.FYR000", "1003"}, {"c.CFZT00", "2"}}},
        MoveCase{"dispenseAndIssue3", "6", 19, nullptr, nullptr, false, {}},
        MoveCase{"dispenseAndIssue0", "6", 1, nullptr, nullptr, false, {}},
        MoveCase{"unknownOperation", "7", 5, nullptr, nullptr, false, {}}),
    [](const ::testing::TestParamInfo<MoveCase> &info) { return std::string(info.param.name); });

using ProcedureTest = FixtureTest;

TEST_F(ProcedureTest, UnknownSerialAndPositionalArguments)
{
    const Call unknown = call(db, QStringLiteral("SP_PY_MZPFYCZ"),
                              {{QStringLiteral("POPFLAG"), QStringLiteral("2")}, {QStringLiteral("PCFLSH0"), QStringLiteral("9999")}});
    EXPECT_EQ(unknown.flag(), QStringLiteral("0"));
    EXPECT_TRUE(unknown.message().contains(QStringLiteral("9999")));

    // positional, in declaration order; the tenth is PDKFYBZ
    const Call c = callJson(db, QStringLiteral("SP_PY_MZPFYCZ"),
                            QByteArrayLiteral(R"({"args":["4","1000000000000014","",1003,101,"Y",null,null,null,"1"]})"));
    ASSERT_FALSE(c.raised) << c.error.toStdString();
    EXPECT_EQ(c.flag(), QStringLiteral("1"));
    EXPECT_TRUE(c.commit);
    EXPECT_EQ(v(QStringLiteral("select ZT0000 || DKFYBZ from YF_CFDL00 where CFLSH0 = ?"), {serialNo(14)}), QStringLiteral("31"));

    const Call bad = callJson(db, QStringLiteral("SP_PY_MZPFYCZ"), QByteArrayLiteral("not json"));
    EXPECT_TRUE(bad.raised);
}

TEST_F(ProcedureTest, CommitIsRequestedOnlyForPcommitYAndSuccess)
{
    auto issue = [&](int nn, const QVariant &pcommit) {
        return call(db, QStringLiteral("SP_PY_MZPFYCZ"),
                    {{QStringLiteral("POPFLAG"), QStringLiteral("4")}, {QStringLiteral("PCFLSH0"), serialNo(nn)},
                     {QStringLiteral("PCZY000"), QStringLiteral("1001")}, {QStringLiteral("PCOMMIT"), pcommit}});
    };
    EXPECT_TRUE(issue(14, QStringLiteral("Y")).commit);
    EXPECT_FALSE(issue(15, QStringLiteral("N")).commit);
    EXPECT_FALSE(issue(16, QVariant()).commit);
    const Call refused = issue(14, QStringLiteral("Y"));  // already issued
    EXPECT_EQ(refused.flag(), QStringLiteral("0"));
    EXPECT_FALSE(refused.commit);
}

// A failure after the first write leaves nothing of the call behind, and the
// caller's own transaction goes on.
TEST_F(ProcedureTest, FailureInTheMiddleUndoesTheWholeCall)
{
    env->exec(QStringLiteral("create trigger fail_issue before update of CFZT00 on YF_MZCF00 begin select raise(abort, 'disk on fire'); end"));
    const QString serial = serialNo(14);
    const QString before = snapshot(db, serial);
    env->exec(QStringLiteral("begin immediate; update YF_CFDL00 set BJBZ00 = '1' where CFLSH0 = '%1'").arg(serial));
    const Call c = call(db, QStringLiteral("SP_PY_MZPFYCZ"),
                        {{QStringLiteral("POPFLAG"), QStringLiteral("4")}, {QStringLiteral("PCFLSH0"), serial},
                         {QStringLiteral("PCZY000"), QStringLiteral("1001")}});
    EXPECT_TRUE(c.raised);
    EXPECT_TRUE(c.error.contains(QStringLiteral("disk on fire"))) << c.error.toStdString();
    EXPECT_EQ(snapshot(db, serial), before);
    EXPECT_EQ(sqlite3_get_autocommit(db), 0) << "the caller's transaction must stay open";
    env->exec(QStringLiteral("commit"));
    EXPECT_EQ(v(QStringLiteral("select BJBZ00 || ZT0000 from YF_CFDL00 where CFLSH0 = ?"), {serial}), QStringLiteral("12"));
}

// Called outside any transaction the call is its own transaction: its work
// is committed and nothing stays open.
TEST_F(ProcedureTest, DirectCallOutsideATransaction)
{
    ASSERT_NE(sqlite3_get_autocommit(db), 0);
    const Call c = call(db, QStringLiteral("SP_PY_MZPFYCZ"),
                        {{QStringLiteral("POPFLAG"), QStringLiteral("2")}, {QStringLiteral("PCFLSH0"), serialNo(5)},
                         {QStringLiteral("PCZY000"), QStringLiteral("1001")}});
    ASSERT_FALSE(c.raised) << c.error.toStdString();
    EXPECT_EQ(c.flag(), QStringLiteral("1"));
    EXPECT_NE(sqlite3_get_autocommit(db), 0);
    QString err;
    sqlite3 *other = hisdb::open(env->dbPath(), &err);
    ASSERT_NE(other, nullptr) << err.toStdString();
    EXPECT_EQ(value(other, QStringLiteral("select ZT0000 from YF_CFDL00 where CFLSH0 = ?"), {serialNo(5)}), QStringLiteral("2"));
    hisdb::close(other);
}

// Two stations on one database file issue the same prescription at once:
// exactly one succeeds.
TEST_F(ProcedureTest, TwoConnectionsRaceForOnePrescription)
{
    for (const bool immediate : {true, false}) {
        SCOPED_TRACE(immediate ? "BEGIN IMMEDIATE" : "no transaction");
        const QString serial = immediate ? serialNo(14) : serialNo(15);
        std::atomic<int> ready{0};
        std::atomic<int> successes{0};
        std::atomic<int> others{0};
        auto station = [&](int operatorId) {
            QString err;
            sqlite3 *conn = hisdb::open(env->dbPath(), &err);
            if (!conn) {
                ++others;
                return;
            }
            ++ready;
            while (ready.load() < 2)
                std::this_thread::yield();
            if (immediate)
                hisdb::execScript(conn, QStringLiteral("begin immediate"), nullptr);
            const Call c = call(conn, QStringLiteral("SP_PY_MZPFYCZ"),
                                {{QStringLiteral("POPFLAG"), QStringLiteral("4")}, {QStringLiteral("PCFLSH0"), serial},
                                 {QStringLiteral("PCZY000"), QString::number(operatorId)}});
            if (!c.raised && c.flag() == QLatin1String("1"))
                ++successes;
            else
                ++others;
            if (immediate)
                hisdb::execScript(conn, c.raised ? QStringLiteral("rollback") : QStringLiteral("commit"), nullptr);
            hisdb::close(conn);
        };
        std::thread a(station, 1001), b(station, 1002);
        a.join();
        b.join();
        EXPECT_EQ(successes.load(), 1);
        EXPECT_EQ(others.load(), 1);
        EXPECT_EQ(v(QStringLiteral("select ZT0000 from YF_CFDL00 where CFLSH0 = ?"), {serial}), QStringLiteral("3"));
        const QString issuer = v(QStringLiteral("select FYR000 from YF_MZCF00 where CFLSH0 = ?"), {serial});
        EXPECT_TRUE(issuer == QLatin1String("1001") || issuer == QLatin1String("1002")) << issuer.toStdString();
    }
}

TEST_F(ProcedureTest, LightRetryCountRises)
{
    for (int i = 0; i < 3; ++i) {
        const Call c = call(db, QStringLiteral("SP_PY_YF_RCMZPYZT_SJCS00"), {{QStringLiteral("PCFLSH0"), serialNo(10)}});
        ASSERT_FALSE(c.raised) << c.error.toStdString();
        EXPECT_FALSE(c.commit);
    }
    EXPECT_EQ(v(QStringLiteral("select ifnull(max(SJCS00), '0') from YF_RCMZPYZT where cflsh0 = ?"),
                {serialNo(10)}),
              QStringLiteral("3"));
    call(db, QStringLiteral("SP_PY_YF_RCMZPYZT_SJCS00"), {{QStringLiteral("PCFLSH0"), serialNo(9)}});
    EXPECT_EQ(v(QStringLiteral("select SJCS00 from YF_RCMZPYZT where CFLSH0 = ?"), {serialNo(9)}), QStringLiteral("3"));
}

TEST_F(ProcedureTest, ReturnToTheDoctor)
{
    auto ret = [&](const QString &key, const char *kind) {
        return call(db, QStringLiteral("SP_YF_YZYPSQ_THCZ"),
                    {{QStringLiteral("PYPQLPC"), key}, {QStringLiteral("PCZY000"), QStringLiteral("1001")},
                     {QStringLiteral("PCZYKS0"), QStringLiteral("101")}, {QStringLiteral("PCOMMIT"), QStringLiteral("Y")},
                     {QStringLiteral("PTHYY00"), QStringLiteral("剂量超出常规")}, {QStringLiteral("PTHSFLX"), QString::fromLatin1(kind)}});
    };
    // whole prescription
    Call c = ret(serialNo(5), "2");
    EXPECT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_TRUE(c.commit);
    EXPECT_EQ(v(QStringLiteral("select c.THBZ00 || c.THYY00 || y.THBZ00 || y.THYY00 || q.THBZ00 from YF_MZCF00 c join YS_CFXXB0 y on "
                               "y.CFLSH0 = c.CFLSH0 join YF_CFDL00 q on q.CFLSH0 = c.CFLSH0 where c.CFLSH0 = ?"),
                {serialNo(5)}),
              QStringLiteral("1剂量超出常规1剂量超出常规1"));
    c = ret(serialNo(5), "2");
    EXPECT_EQ(c.flag(), QStringLiteral("0"));
    EXPECT_FALSE(c.commit);
    // one line (CFID00 = nn * 10 + k)
    c = ret(QStringLiteral("61"), "0");
    EXPECT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_EQ(v(QStringLiteral("select m.THBZ00 || m.THYY00 || d.THBZ00 from YF_MZCFMX m join YS_CFMXB0 d on d.CFID00 = m.CFID00 where m.CFID00 = 61")),
              QStringLiteral("1剂量超出常规1"));
    EXPECT_EQ(v(QStringLiteral("select THBZ00 from YF_MZCF00 where CFLSH0 = ?"), {serialNo(6)}), QStringLiteral("0"));
    EXPECT_EQ(ret(QStringLiteral("61"), "0").flag(), QStringLiteral("0"));
    // refused: issued, unknown line, unknown kind
    const QString issued = snapshot(db, serialNo(19));
    EXPECT_EQ(ret(serialNo(19), "2").flag(), QStringLiteral("0"));
    EXPECT_EQ(snapshot(db, serialNo(19)), issued);
    EXPECT_EQ(ret(QStringLiteral("99999"), "0").flag(), QStringLiteral("0"));
    EXPECT_EQ(ret(serialNo(7), "9").flag(), QStringLiteral("0"));
}

TEST_F(ProcedureTest, DecoctionFeeChargeRefundAndStockDeduction)
{
    const QString s = serialNo(26);
    auto fee = [&](const char *op, const QString &doses) {
        // the serial is declared a number: pass it as one
        return call(db, QStringLiteral("SP_PY_PYDJSF"),
                    {{QStringLiteral("POPFLAG"), QString::fromLatin1(op)}, {QStringLiteral("PCFLSH0"), s.toLongLong()},
                     {QStringLiteral("PZYDJS0"), doses}, {QStringLiteral("PCZY000"), QStringLiteral("1011")},
                     {QStringLiteral("PCZYKS0"), QStringLiteral("102")}, {QStringLiteral("PCOMMIT"), QStringLiteral("Y")},
                     {QStringLiteral("PKFBZ00"), QStringLiteral("N")}});
    };
    auto deduct = [&]() {
        return call(db, QStringLiteral("SP_YF_MZCF00_KJYF00"),
                    {{QStringLiteral("PCFLSH0"), s}, {QStringLiteral("PDJH000"), QVariant()}, {QStringLiteral("PCZY000"), QStringLiteral("1011")},
                     {QStringLiteral("PCZYKS0"), QStringLiteral("102")}, {QStringLiteral("PCOMMIT"), QStringLiteral("Y")}});
    };
    EXPECT_EQ(v(QStringLiteral("select SF_PY_GetSFSDJF(1, %1)").arg(s)), QStringLiteral("0"));
    EXPECT_EQ(fee("1", QStringLiteral("0")).flag(), QStringLiteral("0"));

    Call c = fee("1", QStringLiteral("5"));
    ASSERT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_TRUE(c.commit);
    EXPECT_EQ(v(QStringLiteral("select SF_PY_GetSFSDJF(1, %1)").arg(s)), QStringLiteral("1"));
    EXPECT_EQ(v(QStringLiteral("select SF_PY_GetSFSDJF(3, %1)").arg(s)), QStringLiteral("25"));
    EXPECT_EQ(v(QStringLiteral("select ZYDJS0 from YF_MZCF00 where CFLSH0 = ?"), {s}), QStringLiteral("5"));
    EXPECT_EQ(v(QStringLiteral("select cast(JZDH00 as text) from SF_FYMX00 where (yjdjh0,brid00) = "
                               "(select yjdjh0,brid00 from yj_yw0000 where yzcfid = ? and FJDJBZ='7' and brid00 = 100005 limit 1)"),
                {s}),
              QStringLiteral("0"));
    EXPECT_EQ(fee("1", QStringLiteral("5")).flag(), QStringLiteral("0"));  // charged already

    c = deduct();
    ASSERT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_TRUE(c.commit);
    const QString doc = c.out.value(QStringLiteral("PDJH000")).toString();
    EXPECT_FALSE(doc.isEmpty());
    EXPECT_EQ(v(QStringLiteral("select SL0000 from YF_KJJL00 where DJH000 = ?"), {doc}), QStringLiteral("5"));

    c = fee("2", QStringLiteral("5"));
    ASSERT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_EQ(v(QStringLiteral("select SF_PY_GetSFSDJF(1, %1) || '/' || SF_PY_GetSFSDJF(3, %1)").arg(s)), QStringLiteral("0/0"));
    EXPECT_EQ(v(QStringLiteral("select count(*) from YJ_YW0000 where YZCFID = ?"), {s}), QStringLiteral("0"));
    c = deduct();
    EXPECT_EQ(v(QStringLiteral("select SL0000 from YF_KJJL00 where DJH000 = ?"), {c.out.value(QStringLiteral("PDJH000")).toString()}),
              QStringLiteral("-5"));
    EXPECT_EQ(fee("2", QStringLiteral("5")).flag(), QStringLiteral("0"));  // not charged

    // a settled fee is not refunded
    env->exec(QStringLiteral("update SF_FYMX00 set JZDH00 = 880001 where CFLSH0 = '%1'").arg(serialNo(28)));
    const QString before = snapshot(db, serialNo(28));
    c = call(db, QStringLiteral("SP_PY_PYDJSF"),
             {{QStringLiteral("POPFLAG"), QStringLiteral("2")}, {QStringLiteral("PCFLSH0"), serialNo(28)}, {QStringLiteral("PZYDJS0"), QStringLiteral("3")},
              {QStringLiteral("PCOMMIT"), QStringLiteral("Y")}});
    EXPECT_EQ(c.flag(), QStringLiteral("0"));
    EXPECT_FALSE(c.commit);
    EXPECT_EQ(snapshot(db, serialNo(28)), before);
}

TEST_F(ProcedureTest, QueueNumberForANetworkPrescription)
{
    auto queue = [&](const QString &serial, const char *py, const char *fy) {
        return call(db, QStringLiteral("SP_PY_SCPHDL"),
                    {{QStringLiteral("AS_CFLSH0"), serial}, {QStringLiteral("AD_SFCKBH"), QStringLiteral("0")},
                     {QStringLiteral("AD_PYCKBH"), QString::fromLatin1(py)}, {QStringLiteral("AD_FYCKBH"), QString::fromLatin1(fy)}});
    };
    // windows chosen: the issuing window of pharmacy 101 with fewer waiting
    // entries today (4) and the first dispensing window linked to it (1)
    Call c = queue(serialNo(36), "0", "0");
    ASSERT_FALSE(c.raised) << c.error.toStdString();
    EXPECT_TRUE(c.out.value(QStringLiteral("AS_YHMSG0")).toString().isEmpty());
    EXPECT_EQ(v(QStringLiteral("select ZT0000||'|'||PYCKBH||'|'||FYCKBH||'|'||FYDLXH||'|'||PHRQ00||'|'||YFBMBH from YF_CFDL00 where CFLSH0 = ?"),
                {serialNo(36)}),
              QStringLiteral("0|1|4|8|%1|101").arg(T));
    EXPECT_EQ(v(QStringLiteral("select SFKSLY from YF_MZCF00 where CFLSH0 = ?"), {serialNo(36)}), QStringLiteral("Y"));
    // a second time: refused with a user message, nothing written
    c = queue(serialNo(36), "0", "0");
    EXPECT_FALSE(c.out.value(QStringLiteral("AS_YHMSG0")).toString().trimmed().isEmpty());
    EXPECT_EQ(v(QStringLiteral("select count(*) from YF_CFDL00 where CFLSH0 = ?"), {serialNo(36)}), QStringLiteral("1"));
    // the station's own windows
    c = queue(serialNo(37), "2", "3");
    EXPECT_EQ(v(QStringLiteral("select PYCKBH||'|'||FYCKBH||'|'||FYDLXH from YF_CFDL00 where CFLSH0 = ?"), {serialNo(37)}),
              QStringLiteral("2|3|14"));
    EXPECT_FALSE(queue(QStringLiteral("4242"), "0", "0").out.value(QStringLiteral("AS_YHMSG0")).toString().isEmpty());
}

TEST_F(ProcedureTest, DirectIssue)
{
    Call c = call(db, QStringLiteral("SP_YF_MZCFFY"),
                  {{QStringLiteral("PCFLSH0"), serialNo(1)}, {QStringLiteral("PFHRBH0"), QVariant()}, {QStringLiteral("PPFR000"), QStringLiteral("1002")},
                   {QStringLiteral("PFLAG00"), QStringLiteral("1")}, {QStringLiteral("PCZY000"), QStringLiteral("1002")},
                   {QStringLiteral("PCZYKS0"), QStringLiteral("101")}, {QStringLiteral("PCOMMIT"), QStringLiteral("Y")}});
    ASSERT_FALSE(c.raised) << c.error.toStdString();
    EXPECT_EQ(c.flag(), QStringLiteral("1"));
    EXPECT_TRUE(c.commit);
    EXPECT_EQ(v(QStringLiteral("select q.ZT0000||q.DYRQ00||q.PYRQ00||q.FYRQ00||c.CFZT00||c.PFR000||c.FYR000 from YF_CFDL00 q join YF_MZCF00 c "
                               "on c.CFLSH0 = q.CFLSH0 where q.CFLSH0 = ?"),
                {serialNo(1)}),
              QStringLiteral("3") + T + T + T + QStringLiteral("210021002"));
    c = call(db, QStringLiteral("SP_YF_MZCFFY"), {{QStringLiteral("PCFLSH0"), serialNo(1)}, {QStringLiteral("PCOMMIT"), QStringLiteral("Y")}});
    EXPECT_EQ(c.flag(), QStringLiteral("0"));
    EXPECT_FALSE(c.commit);
}

TEST_F(ProcedureTest, DecoctionLabelAndCardRegistration)
{
    Call c = call(db, QStringLiteral("SP_YF_ZYDJBQ_PRINT"),
                  {{QStringLiteral("PID0000"), QStringLiteral("0")}, {QStringLiteral("PCZY000"), QStringLiteral("1011")},
                   {QStringLiteral("PCZYKS0"), QStringLiteral("102")}, {QStringLiteral("PCOMMIT"), QStringLiteral("N")},
                   {QStringLiteral("PJYDH00"), QStringLiteral("1")}});
    ASSERT_EQ(c.flag(), QStringLiteral("1")) << c.message().toStdString();
    EXPECT_FALSE(c.commit);
    const QString label = c.out.value(QStringLiteral("PID0000")).toString();
    EXPECT_EQ(v(QStringLiteral("select JYDH00 from YF_ZYDJBQ where BQID00 = ?"), {label}), QStringLiteral("1"));
    EXPECT_EQ(call(db, QStringLiteral("SP_YF_ZYDJBQ_PRINT"), {{QStringLiteral("PID0000"), QStringLiteral("0")}, {QStringLiteral("PJYDH00"), QStringLiteral("77")}})
                  .flag(),
              QStringLiteral("0"));

    // the anonymous-block form passes the arguments by position
    const QByteArray args = QByteArrayLiteral(R"({"args":["OLD00042","OLD00042","0",null,"SLE4442","OLD00042","8000000001",1001]})");
    c = callJson(db, QStringLiteral("SP_IC_ICKRK0"), args);
    ASSERT_FALSE(c.raised) << c.error.toStdString();
    EXPECT_EQ(v(QStringLiteral("select ICKH00||','||ZT0000||','||KLDH00||','||SFDM00 from IC_YHXX00 where ICKH00 = 'OLD00042' and ICKNBH = 'OLD00042'")),
              QStringLiteral("OLD00042,0,SLE4442,8000000001"));
    c = callJson(db, QStringLiteral("SP_IC_ICKRK0"), args);
    EXPECT_TRUE(c.raised);
    EXPECT_EQ(v(QStringLiteral("select count(*) from IC_YHXX00 where ICKH00 = 'OLD00042'")), QStringLiteral("1"));
}

}  // namespace
