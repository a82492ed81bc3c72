// Oracle's built-in functions against a table of Oracle's results (GBK byte
// counts, '' as NULL, NULL in → NULL out).
#include "test_db_support.h"

#include "hisdb/ora_functions.h"

#include <QSysInfo>

namespace {

class OracleFunctions : public ::testing::Test {
protected:
    void SetUp() override { conn = oradb::attachSqlite(db.db()); }
    QString value(const QString &expr)
    {
        const auto rs = conn->select(QStringLiteral("select ") + expr + QStringLiteral(" from dual"));
        const QVariant v = rs.rows.value(0).value(0);
        return v.isNull() ? QStringLiteral("<null>") : oradb::valueText(v);
    }
    TempDb db;
    std::unique_ptr<oradb::Connection> conn;
};

TEST_F(OracleFunctions, ResultsAsOracleGivesThem)
{
    const std::pair<const char *, const char *> cases[] = {
        {"nvl('', 'x')", "x"},
        {"nvl(null, 2)", "2"},
        {"nvl('a', 'b')", "a"},
        {"nvl2(null, 'a', 'b')", "b"},
        {"nvl2('z', 'a', 'b')", "a"},
        {"decode(null, null, 'N', 'X')", "N"},
        {"decode('', null, 'N', 'X')", "N"},
        {"decode('1', '1', 'one', '2', 'two', 'other')", "one"},
        {"decode('3', '1', 'one', 'other')", "other"},
        {"decode('3', '1', 'one')", "<null>"},
        {"decode(5, 5, 'five')", "five"},
        {"decode(2, '2', 's', 'n')", "s"},
        {"to_char(123)", "123"},
        {"to_char(0.5)", ".5"},
        {"to_char(-1.25)", "-1.25"},
        {"to_char(null)", "<null>"},
        {"to_char('abc')", "abc"},
        {"to_char(12.3, 'FM990.00')", "12.30"},
        {"to_char(0.5, '990.99')", "   0.50"},
        {"to_char(1234567, 'FM9,999,999')", "1,234,567"},
        {"to_char(-5, '999')", "  -5"},
        {"to_char(12345, '99')", "###"},
        {"to_char('2024-03-05 14:07:09', 'yyyymmddhh24:mi:ss')", "2024030514:07:09"},
        {"to_char('2024-03-05 14:07:09', 'yyyymmdd hh24:mi:ss')", "20240305 14:07:09"},
        {"to_char('2024-03-05 14:07:09', 'YYYY-MM-DD HH24:MI:SS')", "2024-03-05 14:07:09"},
        {"to_char('2024-03-05', 'yyyy-mm-dd')", "2024-03-05"},
        {"to_char('2024-03-05', 'yyyy')", "2024"},
        {"to_char('2024-03-05', 'mm')", "03"},
        {"to_char('2024-03-05', 'dd')", "05"},
        {"to_char('2024-03-05', 'hh24:mi:ss')", "00:00:00"},
        {"to_char('20250305', 'yyyy-mm-dd')", "2025-03-05"},
        {"to_char('20250305', 'FM99999999')", "20250305"},
        {"trunc('20250305')", "20250305"},
        {"to_number('0012')", "12"},
        {"to_number(' 1.5 ')", "1.5"},
        {"to_number('')", "<null>"},
        {"to_char(to_number('0007'))", "7"},
        {"to_date('20240305', 'yyyymmdd')", "2024-03-05 00:00:00"},
        {"to_date('2024-03-05 14:07:09', 'yyyy-mm-dd hh24:mi:ss')", "2024-03-05 14:07:09"},
        {"to_date('2024-03-05')", "2024-03-05 00:00:00"},
        {"trunc(12.78)", "12"},
        {"trunc(-12.78)", "-12"},
        {"trunc(12.789, 2)", "12.78"},
        {"trunc('2024-03-05 14:07:09')", "2024-03-05 00:00:00"},
        {"trunc('2024-03-05 14:07:09', 'MM')", "2024-03-01 00:00:00"},
        {"round(2.5)", "3"},
        {"round(-2.5)", "-3"},
        {"round(2.675, 2)", "2.68"},
        {"round(1234.5, -2)", "1200"},
        {"round(0.125, 2)", "0.13"},
        {"lpad('7', 4, '0')", "0007"},
        {"lpad('12345', 2, '0')", "12"},
        {"lpad('中', 4, '0')", "00中"},
        {"lpad('', 2, '0')", "<null>"},
        {"lpad('ab', 0)", "<null>"},
        {"lpad('ab', 4)", "  ab"},
        {"rpad('ab', 4, '*')", "ab**"},
        {"rpad('中国', 3)", "中 "},
        {"instr('abcabc', 'c')", "3"},
        {"instr('abcabc', 'c', 1, 2)", "6"},
        {"instr('abcabc', 'c', -1)", "6"},
        {"instr('abcabc', 'c', -2)", "3"},
        {"instr('abc', 'z')", "0"},
        {"instr('abc', '')", "<null>"},
        {"instr('中国人民', '人')", "3"},
        {"instrb('中国人民', '人')", "5"},
        {"instrb(',1,2,', ',2,')", "3"},
        {"instrb('ab中c', 'c')", "5"},
        {"instrb(','||null||',', ','||'2'||',')", "0"},
        {"substr('abcdef', 0, 2)", "ab"},
        {"substr('abcdef', -3, 2)", "de"},
        {"substr('abc', 5)", "<null>"},
        {"substr('abc', 2, 0)", "<null>"},
        {"substr('abc', 2)", "bc"},
        {"substr(12345, 2, 2)", "23"},
        {"substr('ab中', -1)", "中"},
        {"substr('中国人', 2, 1)", "国"},
        {"substrb('中国人', 1, 2)", "中"},
        {"substrb('中国人', 3)", "国人"},
        {"substrb('中国人', 1, 3)", "中 "},
        {"substrb('Y', 1, 1)", "Y"},
        {"substrb('', 1, 1)", "<null>"},
        {"length('')", "<null>"},
        {"length('中国')", "2"},
        {"length(12345)", "5"},
        {"lengthb('中国a')", "5"},
        {"lengthb('')", "<null>"},
        {"lengthb('默认查询条件默认查询条件')", "24"},
        {"trim('  a  ')", "a"},
        {"trim('   ')", "<null>"},
        {"ltrim('xxa', 'x')", "a"},
        {"rtrim('a  ')", "a"},
        {"upper('ab')", "AB"},
        {"lower('AB')", "ab"},
        {"ceil(1.2)", "2"},
        {"floor(-1.2)", "-2"},
        {"mod(7, 3)", "1"},
        {"mod(-7, 3)", "-1"},
        {"mod(7, 0)", "7"},
        {"sign(-3)", "-1"},
        {"greatest(1, 3, 2)", "3"},
        {"least('b', 'a')", "a"},
        {"greatest(1, null)", "<null>"},
        {"replace('aXbX', 'X')", "ab"},
        {"replace('aXb', 'X', '--')", "a--b"},
        {"chr(65)", "A"},
        {"ascii('A')", "65"},
        {"ascii('中')", "54992"},
        {"add_months('2024-01-31', 1)", "2024-02-29 00:00:00"},
        {"months_between('2024-03-31', '2024-02-29')", "1"},
        {"last_day('2024-02-10')", "2024-02-29 00:00:00"},
        {"sys_context('USERENV', 'NOPE')", "<null>"},
        {"ora_concat(1, 2.5, 'x', null)", "12.5x"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        try {
            EXPECT_EQ(value(QString::fromUtf8(c.first)), QString::fromUtf8(c.second));
        } catch (const oradb::DbError &e) {
            ADD_FAILURE() << e.message().toStdString();
        }
    }
}

TEST_F(OracleFunctions, InvalidInputRaisesOracleErrors)
{
    const std::pair<const char *, const char *> cases[] = {
        {"to_number('abc')", "ORA-01722"},
        {"to_number('1,5')", "ORA-01722"},
        {"to_date('2024-02-30', 'yyyy-mm-dd')", "ORA-01861"},
        {"to_char('2024-03-05', 'yyyyXmm')", "ORA-01821"},
        {"to_char(12, 'yyyy')", "ORA-01722"},
        {"instr('abc', 'b', 1, 0)", "ORA-01428"},
        {"trunc('abc')", "ORA-01722"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        try {
            value(QString::fromUtf8(c.first));
            ADD_FAILURE() << "no error";
        } catch (const oradb::DbError &e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.second))) << e.message().toStdString();
        }
    }
}

TEST_F(OracleFunctions, WmConcatJoinsNonNullValues)
{
    db.exec(QStringLiteral("create table T_V(G integer, V text); insert into T_V values (1,'a'),(1,null),(1,'b'),(2,null)"));
    const auto rs = conn->select(QStringLiteral("select G, wm_concat(V) from T_V group by G order by G"));
    EXPECT_EQ(rowsText(rs), QStringLiteral("1|a,b;2|<null>"));
}

TEST_F(OracleFunctions, TerminalIsTheHostNameUntilTheHostSetsIt)
{
    EXPECT_EQ(value(QStringLiteral("sys_context('USERENV','TERMINAL')")), QSysInfo::machineHostName());
    hisdb::setSessionTerminal(db.db(), QStringLiteral("PC-77"));
    EXPECT_EQ(value(QStringLiteral("sys_context('userenv','terminal')")), QStringLiteral("PC-77"));
    EXPECT_EQ(hisdb::sessionTerminal(db.db()), QStringLiteral("PC-77"));
    // per connection: another connection keeps its own
    sqlite3 *other = db.openAnother();
    EXPECT_EQ(hisdb::sessionTerminal(other), QSysInfo::machineHostName());
    hisdb::close(other);
}

}  // namespace
