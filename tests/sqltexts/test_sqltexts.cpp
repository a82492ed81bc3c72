// The module's SQL texts (statements.txt) each prepared and run through the
// Oracle adapter on a fixture hospital database. A failure names the
// statement and the database's message.
#include "OraConnection.h"
#include "TestEnv.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Entry {
    QString id;
    oradb::Params params;
    QString sql;
    QStringList setup;  // run first, in the same transaction
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
        env = new TestEnv(true);
        conn = oradb::attachSqlite(env->db()).release();
    }
    static void TearDownTestSuite()
    {
        delete conn;
        delete env;
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
            conn->select(e.sql, e.params);
            EXPECT_FALSE(conn->inTransaction()) << "a query left a transaction open";
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
