// A temporary database file opened as the host opens it (functions and
// procedures registered), without the hospital schema: each test creates
// the few tables it needs.
#pragma once

#include "OraConnection.h"
#include "hisdb/hisdb.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

class TempDb {
public:
    explicit TempDb(int busyTimeoutMs = 5000) { open(busyTimeoutMs); }
    ~TempDb() { hisdb::close(m_db); }

    // A second connection to the same file (another computer of the pharmacy).
    sqlite3 *openAnother(int busyTimeoutMs = 5000) const
    {
        QString err;
        hisdb::OpenOptions o;
        o.ensureSchema = false;
        o.busyTimeoutMs = busyTimeoutMs;
        sqlite3 *db = hisdb::open(path(), &err, o);
        EXPECT_NE(db, nullptr) << err.toStdString();
        return db;
    }

    QString path() const { return m_dir.path() + QStringLiteral("/his.db"); }
    sqlite3 *db() const { return m_db; }

    void exec(const QString &sql)
    {
        QString err;
        ASSERT_TRUE(hisdb::execScript(m_db, sql, &err)) << err.toStdString() << "\n" << sql.toStdString();
    }

private:
    void open(int busyTimeoutMs)
    {
        QString err;
        hisdb::OpenOptions o;
        o.ensureSchema = false;
        o.busyTimeoutMs = busyTimeoutMs;
        m_db = hisdb::open(path(), &err, o);
        ASSERT_NE(m_db, nullptr) << err.toStdString();
        exec(QStringLiteral("create table if not exists HISDB_SEQUENCE(NAME text primary key, VALUE integer);"
                            "create table if not exists dual(DUMMY text);"
                            "insert into dual select 'X' where not exists (select 1 from dual);"));
    }

    QTemporaryDir m_dir;
    sqlite3 *m_db = nullptr;
};

// Rows as text: values by oradb::valueText joined by '|', rows by ';',
// NULL shown as <null>.
inline QString rowsText(const oradb::ResultSet &rs)
{
    QStringList rows;
    for (const auto &r : rs.rows) {
        QStringList cells;
        for (const QVariant &v : r)
            cells << (v.isNull() ? QStringLiteral("<null>") : oradb::valueText(v));
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char(';'));
}
