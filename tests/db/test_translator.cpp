// Oracle statements run through the adapter on a real database: each case
// checks what the statement does, not the text it is translated to.
#include "test_db_support.h"

#include <QJsonDocument>
#include <QJsonObject>

using oradb::DbError;
using oradb::Params;

namespace {

class Translator : public ::testing::Test {
protected:
    void SetUp() override
    {
        hisdb::setFixedNow(QStringLiteral("2024-03-01 08:30:00"));
        db.exec(QStringLiteral(
            "create table T_WIN(CKBH00 integer primary key, CKMC00 text, BMBH00 integer, ZT0000 text, JQMC00 text, FYR000 integer);"
            "insert into T_WIN values (1,'1',201,'0','PC1',11),(2,'2',201,'2',NULL,NULL),(3,'急诊',202,'0',NULL,12);"
            "create table T_STAFF(YGBH00 integer primary key, ZWXM00 text, XKH000 text);"
            "insert into T_STAFF values (11,'张三','A11'),(12,'李四','B12');"
            "create table T_Q(CFLSH0 text primary key, FYDLXH integer, BRID00 integer, YPJE00 real);"
            "insert into T_Q values ('C1',5,900,10.5),('C2',5,900,-2),('C3',6,901,3);"
            "create table T_TMP(ID integer primary key, V text);"));
        conn = oradb::attachSqlite(db.db());
    }
    void TearDown() override { hisdb::setFixedNow(QString()); }

    QString q(const QString &sql, const Params &p = {}) { return rowsText(conn->select(sql, p)); }

    TempDb db;
    std::unique_ptr<oradb::Connection> conn;
};

struct Case {
    const char *sql;
    const char *expected;
    Params params;
};

TEST_F(Translator, OracleIdiomsGiveOracleResults)
{
    const Case cases[] = {
        // binds: text, repeated, numbered, empty text is NULL
        {"select CKMC00 from T_WIN where CKBH00 = :CKBH00", "1", {{"CKBH00", "1"}}},
        {"select count(*) from T_WIN where CKBH00 = :w or CKBH00 + 2 = :W", "2", {{"W", "3"}}},
        {"select count(*) from T_WIN where (1=:1) ", "3", {{"1", "1"}}},
        {"select count(*) from T_WIN where :1 > 1 ", "3", {{"1", "07"}}},
        {"select nvl(:X,'was null') from dual", "was null", {{"X", ""}}},
        {"select ':NOT_A_BIND --x /*y*/' from dual", ":NOT_A_BIND --x /*y*/", {}},
        {"select 1 -- trailing comment\n from dual", "1", {}},
        {"select /*+ index(a) */ count(*) from T_WIN a", "3", {}},
        // '' is NULL
        {"select count(*) from T_WIN where JQMC00 = ''", "0", {}},
        {"select nvl('', 'E') from dual", "E", {}},
        // || skips NULL operands; NULL only when every operand is
        {"select 'a'||null||'b' from dual", "ab", {}},
        {"select nvl(null||'', 'N') from dual", "N", {}},
        {"select ','||JQMC00||',' from T_WIN where CKBH00=2", ",,", {}},
        {"select CKMC00||'-'||CKBH00||'-'||lpad(to_char(CKBH00),3,'0') from T_WIN where CKBH00=3", "急诊-3-003", {}},
        {"select 'x'||case when 1=1 then 'y' end||'z' from dual", "xyz", {}},
        {"select T_WIN.CKMC00||(select min(ZWXM00) from T_STAFF)||:P from T_WIN where CKBH00=1", "1张三p", {{"P", "p"}}},
        // exact division
        {"select 1/3 from dual", "0.333333333333333", {}},
        {"select 6/3, 7/2, 2*3/4 from dual", "2|3.5|1.5", {}},
        // LIKE is case-sensitive
        {"select count(*) from T_STAFF where XKH000 like 'a%'", "0", {}},
        {"select count(*) from T_STAFF where XKH000 like 'A%'", "1", {}},
        // rownum as a limit and as a column
        {"select count(*) from (select CKBH00 from T_WIN where BMBH00=201 and rownum=1)", "1", {}},
        {"select count(*) from (select CKBH00 from T_WIN where rownum<3)", "2", {}},
        {"Select * from (select CKBH00 from T_WIN order by CKBH00 desc) where Rownum<=2", "3;2", {}},
        {"select CKBH00 from T_WIN where 1=1 and ROWNUM <= :N", "1;2", {{"N", "2"}}},
        {"select rownum RN, A.CKBH00 from T_WIN A where BMBH00 = 201", "1|1;2|2", {}},
        // the limit applies before counting and grouping
        {"select count(*) from T_WIN where rownum <= 2", "2", {}},
        {"select max(a.CKBH00), count(distinct a.BMBH00) from T_WIN a where a.CKBH00 > 0 and rownum < 3", "2|1", {}},
        {"select BMBH00, count(*) from T_WIN where rownum <= 2 group by BMBH00", "201|2", {}},
        {"select nvl(max(CKBH00), 0) from T_WIN where rownum = 1", "1", {}},
        {"select (select ZWXM00 from T_STAFF where YGBH00 > 11 and rownum=1) from dual", "李四", {}},
        {"select CKBH00 from T_WIN where rownum=1 union select CKBH00 from T_WIN where CKBH00=3", "1;3", {}},
        // (+) outer joins, also with a subquery and a constant condition
        {"select b.zwxm00,c.CKBH00 from (select rownum RN, A.* from T_WIN A where BMBH00 = :BMBH00 and 1=1 )c ,T_STAFF b  "
         "where c.fyr000 = b.ygbh00(+) order by c.CKBH00",
         "张三|1;<null>|2", {{"BMBH00", "201"}}},
        {"select A.CKBH00, B.ZWXM00 from T_WIN A, T_STAFF B where A.FYR000=B.YGBH00(+) and B.XKH000(+)='A11' order by A.CKBH00",
         "1|张三;2|<null>;3|<null>", {}},
        // row-value IN with a literal list and with a subquery
        {"select count(*) from T_WIN where (CKBH00, BMBH00) in ((1,201),(3,202),(2,999))", "2", {}},
        {"select a.CFLSH0 from T_Q a where (a.BRID00,a.FYDLXH ) in ( select b.BRID00,b.FYDLXH from T_Q b where b.CFLSH0 = :CFLSH0 ) order by a.CFLSH0",
         "C1;C2", {{"CFLSH0", "C2"}}},
        {"select count(*) from T_Q where (FYDLXH,BRID00) = ( select FYDLXH,BRID00 from T_Q where CFLSH0='C3' and  rownum=1 )", "1", {}},
        // minus
        {"select CKBH00 from T_WIN minus select CKBH00 from T_WIN where BMBH00=201", "3", {}},
        // sysdate and its arithmetic (the database clock is fixed above)
        {"select to_char(sysdate,'yyyymmddhh24:mi:ss') from dual", "2024030108:30:00", {}},
        {"select sysdate DQSJ00 from dual", "2024-03-01 08:30:00", {}},
        {"select to_char(sysdate-1,'YYYYMMDD'), to_char( sysdate - 3,'YYYYMMDD') from dual", "20240229|20240227", {}},
        {"select TO_CHAR(SYSDATE-1/3-2,'YYYYMMDD'), to_char(SYSDATE+370,'YYYYMMDD') from dual", "20240228|20250306", {}},
        {"select to_char(trunc(sysdate),'hh24:mi:ss'), to_char(sysdate,'HH24:MI:SS') from dual", "00:00:00|08:30:00", {}},
        {"SELECT To_Char(SYSDATE, 'YYYY-MM-DD HH24:MI:SS') OraSysDate FROM DUAL", "2024-03-01 08:30:00", {}},
        {"select to_char(trunc(sysdate)-1,'yyyymmdd hh24:mi'), to_char(to_date('20240301','yyyymmdd')+0.5,'hh24') from dual",
         "20240229 00:00|12", {}},
        {"select trunc(12.7)+1, 2*trunc(5.5)-1 from dual", "13|9", {}},
        {"select * from dual", "X", {}},
        // functions and nested queries together
        {"select decode(b.BMBH00,201,'当前药房',b.CKMC00)||decode(b.ZT0000,'0','【工作】','') from T_WIN b order by b.CKBH00",
         "当前药房【工作】;当前药房;急诊【工作】", {}},
        {"select to_char(wm_concat(CKMC00)) from T_WIN where CKBH00 in (select CKBH00 from T_WIN where BMBH00=201)", "1,2", {}},
        {"select nvl(max(FYDLXH), '0') as SL from T_Q where CFLSH0='none'", "0", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        try {
            EXPECT_EQ(q(QString::fromUtf8(c.sql), c.params), QString::fromUtf8(c.expected));
        } catch (const DbError &e) {
            ADD_FAILURE() << e.message().toStdString();
        }
    }
}

TEST_F(Translator, ColumnNamesAreTheStatementsAliases)
{
    const auto rs = conn->select(QStringLiteral("select CKMC00 as NAME1, count(*) SL0000, A.* from T_WIN A group by CKMC00"));
    ASSERT_GE(rs.columns.size(), 3);
    EXPECT_EQ(rs.columns[0], QStringLiteral("NAME1"));
    EXPECT_EQ(rs.columns[1], QStringLiteral("SL0000"));
    EXPECT_EQ(rs.columnIndex(QStringLiteral("ckbh00")), 2);
    EXPECT_EQ(rs.rows[0][1].typeId(), QMetaType::LongLong);
}

TEST_F(Translator, DataChangingStatements)
{
    EXPECT_EQ(conn->execute(QStringLiteral("insert into T_TMP (ID, V) values (1, :V)"), {{"V", "a"}}), 1);
    EXPECT_EQ(conn->execute(QStringLiteral("insert into T_TMP (ID, V) values (2, :V)"), {{"V", ""}}), 1);
    EXPECT_EQ(q(QStringLiteral("select count(*) from T_TMP where V is null")), QStringLiteral("1"));
    // delete without FROM
    EXPECT_EQ(conn->execute(QStringLiteral(" delete T_TMP where ID = %1 ").arg(1)), 1);
    // insert ... select ... from dual where not exists: only once
    const QString once = QStringLiteral("insert into T_TMP (ID, V) select 5, 'x' from dual  where not exists (select 1 from T_TMP where ID = 5)");
    EXPECT_EQ(conn->execute(once), 1);
    EXPECT_EQ(conn->execute(once), 0);
    // JHCS00 = JHCS00+1 style and null assignment through a bind
    EXPECT_EQ(conn->execute(QStringLiteral("update T_WIN set JQMC00 = :M, FYR000 = nvl(FYR000,0)+1 where CKBH00 = :CKBH00"),
                            {{"M", ""}, {"CKBH00", "2"}}),
              1);
    EXPECT_EQ(q(QStringLiteral("select nvl(JQMC00,'-'), FYR000 from T_WIN where CKBH00=2")), QStringLiteral("-|1"));
    // commit / rollback in any spelling, with blanks and semicolons
    for (const char *t : {"commit", "Commit", "COMMIT;", " rollback ", "Rollback", "RollBack ;", "commit work"})
        EXPECT_NO_THROW(conn->execute(QString::fromLatin1(t))) << t;
    EXPECT_FALSE(conn->inTransaction());
}

TEST_F(Translator, SelectForUpdateHoldsTheTransaction)
{
    EXPECT_EQ(q(QStringLiteral("select CKBH00 from T_WIN where CKBH00 = 1 for update nowait")), QStringLiteral("1"));
    EXPECT_TRUE(conn->inTransaction());
    conn->execute(QStringLiteral("rollback"));
}

TEST_F(Translator, SequencesCountPerName)
{
    EXPECT_EQ(q(QStringLiteral("select SQ_TEST.nextval NewId from dual")), QStringLiteral("1"));
    EXPECT_EQ(q(QStringLiteral("select SQ_TEST.NEXTVAL from dual")), QStringLiteral("2"));
    EXPECT_EQ(q(QStringLiteral("select SQ_TEST.currval from dual")), QStringLiteral("2"));
    EXPECT_EQ(q(QStringLiteral("select SQ_OTHER.nextVal from dual")), QStringLiteral("1"));
    conn->execute(QStringLiteral("Insert into T_TMP(ID,V)  values(SQ_TEST.NextVal,'%1')").arg(QStringLiteral("s")));
    conn->commit();
    EXPECT_EQ(q(QStringLiteral("select ID from T_TMP where V='s'")), QStringLiteral("3"));
    // a sequence read alone does not leave a transaction open
    EXPECT_FALSE(conn->inTransaction());
    EXPECT_THROW(conn->select(QStringLiteral("select SQ_NEVER.currval from dual")), DbError);
}

TEST_F(Translator, FailuresAreDbErrorsWithReadableMessages)
{
    auto message = [&](const QString &sql, const Params &p = {}) {
        try {
            conn->select(sql, p);
        } catch (const DbError &e) {
            return e.message();
        }
        return QStringLiteral("no error");
    };
    EXPECT_TRUE(message(QStringLiteral("select * from NO_SUCH_TABLE")).contains(QStringLiteral("no such table")));
    EXPECT_TRUE(message(QStringLiteral("select * from T_WIN where rownum > 1")).contains(QStringLiteral("ROWNUM")));
    EXPECT_TRUE(message(QStringLiteral("select (1 from T_WIN")).contains(QStringLiteral("could not be translated")));
    EXPECT_TRUE(message(QStringLiteral("select 'abc from T_WIN")).contains(QStringLiteral("string")));
    EXPECT_TRUE(message(QStringLiteral("select * from T_WIN where CKBH00=:A"), {{"B", "1"}}).contains(QStringLiteral(":A")));
    EXPECT_TRUE(message(QStringLiteral("select to_number('12a') from dual")).contains(QStringLiteral("ORA-01722")));
    EXPECT_TRUE(message(QStringLiteral("select 1 from dual; select 2 from dual")).contains(QStringLiteral("more than one")));
}

// A stored procedure as the hospital database registers one: a function of
// one JSON argument returning {"out": {...}, "commit": bool}. It records its
// inputs in T_PROC_LOG; input PFAIL makes it fail.
void testProcedure(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QByteArray arg(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    const QJsonObject in = QJsonDocument::fromJson(arg).object();
    if (in.contains(QStringLiteral("PFAIL")))
        return sqlite3_result_error(ctx, "处方状态已改变", -1);
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "insert into T_PROC_LOG(ARG) values (?1)", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, arg.constData(), arg.size(), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
    QJsonObject out{{QStringLiteral("PZXCGBZ"), QStringLiteral("1")}, {QStringLiteral("PTSXX00"), QJsonValue(QJsonValue::Null)}};
    const QJsonObject result{{QStringLiteral("out"), out},
                             {QStringLiteral("commit"), in.value(QStringLiteral("PCOMMIT")).toString() == QLatin1String("Y")}};
    const QByteArray r = QJsonDocument(result).toJson(QJsonDocument::Compact);
    sqlite3_result_text(ctx, r.constData(), r.size(), SQLITE_TRANSIENT);
}

class Procedures : public Translator {
protected:
    void SetUp() override
    {
        Translator::SetUp();
        db.exec(QStringLiteral("create table T_PROC_LOG(ID integer primary key, ARG text)"));
        sqlite3_create_function_v2(db.db(), "SP_TEST", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, testProcedure,
                                   nullptr, nullptr, nullptr);
    }
    QString lastArg() { return q(QStringLiteral("select ARG from T_PROC_LOG order by ID desc")).section(QLatin1Char(';'), 0, 0); }
};

TEST_F(Procedures, BlocksThatCallOneProcedure)
{
    conn->execute(QStringLiteral("begin SP_TEST(PCFLSH0 => :C, POPFLAG => '2', PNULL => '', PNUM => 7); end;"), {{"C", "C1"}});
    EXPECT_EQ(QJsonDocument::fromJson(lastArg().toUtf8()).object(),
              (QJsonObject{{"PCFLSH0", "C1"}, {"POPFLAG", "2"}, {"PNULL", QJsonValue::Null}, {"PNUM", "7"}}));
    EXPECT_TRUE(conn->inTransaction());
    conn->execute(QStringLiteral("begin \n  SP_TEST('OLD1','OLD1','0',null,'SLE4442',\n'OLD1','01',1001);\nend; "));
    EXPECT_EQ(lastArg(), QStringLiteral("{\"args\":[\"OLD1\",\"OLD1\",\"0\",null,\"SLE4442\",\"OLD1\",\"01\",\"1001\"]}"));
    conn->rollback();
    EXPECT_EQ(q(QStringLiteral("select count(*) from T_PROC_LOG")), QStringLiteral("0"));
    EXPECT_THROW(conn->execute(QStringLiteral("begin SP_TEST(1); SP_TEST(2); end;")), DbError);
    EXPECT_THROW(conn->execute(QStringLiteral("begin update T_WIN set ZT0000='1'; end;")), DbError);
}

TEST_F(Procedures, CallProcedureNamedInputsAndOutputs)
{
    const QVariantMap out = conn->callProcedure(QStringLiteral("SP_TEST"),
                                                {{"pcflsh0", "C1"}, {"PEMPTY", ""}, {"PCOMMIT", "N"}});
    EXPECT_EQ(out.value(QStringLiteral("PZXCGBZ")).toString(), QStringLiteral("1"));
    EXPECT_TRUE(out.contains(QStringLiteral("PTSXX00")));
    EXPECT_TRUE(out.value(QStringLiteral("PTSXX00")).isNull());
    EXPECT_EQ(QJsonDocument::fromJson(lastArg().toUtf8()).object(),
              (QJsonObject{{"PCFLSH0", "C1"}, {"PEMPTY", QJsonValue::Null}, {"PCOMMIT", "N"}}));
    // PCOMMIT "N": the work stays open; "Y": committed right after the call
    EXPECT_TRUE(conn->inTransaction());
    conn->callProcedure(QStringLiteral("SP_TEST"), {{"PCOMMIT", "Y"}});
    EXPECT_FALSE(conn->inTransaction());
    // a failing procedure: the database's message, nothing of it left
    try {
        conn->callProcedure(QStringLiteral("SP_TEST"), {{"PFAIL", "1"}});
        ADD_FAILURE() << "no error";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("处方状态已改变"))) << e.message().toStdString();
    }
    EXPECT_THROW(conn->callProcedure(QStringLiteral("SP_TEST(1);drop table T_WIN;--"), {}), DbError);
    EXPECT_THROW(conn->callProcedure(QStringLiteral("SP_MISSING"), {}), DbError);
    EXPECT_EQ(q(QStringLiteral("select count(*) from T_PROC_LOG")), QStringLiteral("2"));
}

}  // namespace
