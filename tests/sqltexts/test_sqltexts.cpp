// The module's SQL texts (statements.txt) each prepared and run through the
// Oracle adapter on a fixture hospital database. A failure names the
// statement and the database's message.
#include "OraConnection.h"
#include "TestEnv.h"
#include "hisdb/hisdb.h"
#include "hisdb/seed.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <iostream>

namespace {

struct Entry {
    QString id;
    oradb::Params params;
    QString sql;
    QStringList setup;  // run first, in the same transaction
    QStringList checks; // "rows N", "value V", "col NAME V"
    bool write = false;
    int line = 0;
};

void PrintTo(const Entry &e, std::ostream *os) { *os << e.id.toStdString(); }

std::vector<Entry> loadEntries()
{
    std::vector<Entry> entries;
    QFile f(QStringLiteral(MZPY_STATEMENTS_FILE));
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    Entry *cur = nullptr;
    QStringList sqlLines;
    auto finish = [&] {
        if (cur) {
            while (!sqlLines.isEmpty() && sqlLines.last().trimmed().isEmpty())
                sqlLines.removeLast();
            cur->sql = sqlLines.join(QLatin1Char('\n'));
        }
        sqlLines.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        QString l = lines[i];
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (l.startsWith(QLatin1Char('#')))
            continue;
        if (l.startsWith(QLatin1String("@ "))) {
            finish();
            entries.emplace_back();
            cur = &entries.back();
            const QStringList head = l.mid(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            cur->id = head.value(0);
            cur->write = head.contains(QLatin1String("!write"));
            cur->line = i + 1;
            continue;
        }
        if (!cur)
            continue;
        if (sqlLines.isEmpty() && l.startsWith(QLatin1Char('='))) {
            cur->checks << l.mid(1);
            continue;
        }
        if (sqlLines.isEmpty() && l.startsWith(QLatin1String("> "))) {
            cur->setup << l.mid(2);
            continue;
        }
        if (sqlLines.isEmpty() && l.startsWith(QLatin1Char(':'))) {
            const int eq = l.indexOf(QLatin1Char('='));
            cur->params.push_back({l.mid(1, eq - 1), l.mid(eq + 1)});
            continue;
        }
        if (sqlLines.isEmpty() && l.trimmed().isEmpty())
            continue;
        sqlLines << l;
    }
    finish();
    return entries;
}

class SqlTexts : public ::testing::TestWithParam<Entry> {
protected:
    static void SetUpTestSuite()
    {
        hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
        env = new TestEnv(true);
        conn = oradb::attachSqlite(env->db()).release();
    }
    static void TearDownTestSuite()
    {
        delete conn;
        delete env;
        hisdb::setFixedNow(QString());
        conn = nullptr;
        env = nullptr;
    }
    static TestEnv *env;
    static oradb::Connection *conn;
};
TestEnv *SqlTexts::env = nullptr;
oradb::Connection *SqlTexts::conn = nullptr;

TEST_P(SqlTexts, RunsOnTheHospitalDatabase)
{
    const Entry &e = GetParam();
    ASSERT_FALSE(e.sql.isEmpty()) << "statements.txt:" << e.line << " has no text";
    try {
        for (const QString &s : e.setup)
            conn->execute(s);
        if (e.write) {
            conn->execute(e.sql, e.params);
        } else {
            const oradb::ResultSet rs = conn->select(e.sql, e.params);
            EXPECT_FALSE(conn->inTransaction()) << "a query left a transaction open";
            if (qEnvironmentVariableIsSet("MZPY_SQLTEXTS_SHOW"))
                std::cout << e.id.toStdString() << ": " << rs.rows.size() << " rows; first: "
                          << (rs.rows.isEmpty() ? std::string("-") : oradb::valueText(rs.rows[0].value(0)).toStdString()) << "\n";
            for (const QString &c : e.checks) {
                const QString what = c.section(QLatin1Char(' '), 0, 0);
                if (what == QLatin1String("rows")) {
                    EXPECT_EQ(rs.rows.size(), c.section(QLatin1Char(' '), 1).toInt()) << e.id.toStdString();
                } else if (what == QLatin1String("value")) {
                    ASSERT_FALSE(rs.rows.isEmpty()) << e.id.toStdString();
                    EXPECT_EQ(oradb::valueText(rs.rows[0].value(0)), c.section(QLatin1Char(' '), 1)) << e.id.toStdString();
                } else if (what == QLatin1String("col")) {
                    const int col = rs.columnIndex(c.section(QLatin1Char(' '), 1, 1));
                    ASSERT_GE(col, 0) << e.id.toStdString() << ": no column " << c.toStdString();
                    ASSERT_FALSE(rs.rows.isEmpty()) << e.id.toStdString();
                    EXPECT_EQ(oradb::valueText(rs.rows[0].value(col)), c.section(QLatin1Char(' '), 2)) << e.id.toStdString();
                } else {
                    ADD_FAILURE() << "statements.txt:" << e.line << " unknown check " << c.toStdString();
                }
            }
        }
    } catch (const oradb::DbError &err) {
        ADD_FAILURE() << "statements.txt:" << e.line << " [" << e.id.toStdString() << "] "
                      << err.message().toStdString();
    }
    conn->rollback();
}

INSTANTIATE_TEST_SUITE_P(Module, SqlTexts, ::testing::ValuesIn(loadEntries()),
                         [](const ::testing::TestParamInfo<Entry> &info) {
                             QString n = info.param.id;
                             n.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
                             return n.toStdString();
                         });

TEST(SqlTextsFile, HasEveryEntryWithAUniqueId)
{
    const auto entries = loadEntries();
    ASSERT_GT(entries.size(), 150u);
    QSet<QString> ids;
    for (const Entry &e : entries) {
        EXPECT_FALSE(ids.contains(e.id)) << "duplicate id " << e.id.toStdString();
        ids.insert(e.id);
    }
}

}  // namespace
