#include "TestEnv.h"

#include "hisdb/hisdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

#if __has_include("hisdb/seed.h")
#include "hisdb/seed.h"
#define MZPY_HAVE_SEED 1
#endif

TestEnv::TestEnv(bool fixture)
{
    QString error;
    m_db = hisdb::open(dbPath(), &error);
    if (!m_db) {
        ADD_FAILURE() << "cannot open test database: " << error.toStdString();
        return;
    }
#ifdef MZPY_HAVE_SEED
    if (fixture && !hisdb::seedFixture(m_db, &error))
        ADD_FAILURE() << "cannot seed fixture: " << error.toStdString();
#else
    (void)fixture;
#endif
}

TestEnv::~TestEnv()
{
    hisdb::close(m_db);
}

QString TestEnv::hostDir() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TestEnv::dbPath() const
{
    return m_dir.path() + QStringLiteral("/his.db");
}

void TestEnv::exec(const QString &sql)
{
    QString error;
    if (!hisdb::execScript(m_db, sql, &error))
        ADD_FAILURE() << "SQL failed: " << sql.toStdString() << ": " << error.toStdString();
}

QString TestEnv::scalar(const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    QString result;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "prepare failed: " << sqlite3_errmsg(m_db);
        return result;
    }
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return result;
}

void TestEnv::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = hostDir() + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TestEnv::readFile(const QString &name) const
{
    QFile f(hostDir() + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
