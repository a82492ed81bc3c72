// Helpers for the hospital database tests: a fixture database with a fixed
// clock, procedure calls through the calling convention, plain queries.
#pragma once

#include "TestEnv.h"
#include "hisdb/hisdb.h"
#include "hisdb/seed.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace hisdbtest {

// The answer of a procedure call: its outputs and commit request, or the
// error it raised.
struct Call {
    bool raised = false;
    QString error;
    QVariantMap out;
    bool commit = false;
    QString flag() const { return out.value(QStringLiteral("PZXCGBZ")).toString(); }
    QString message() const { return out.value(QStringLiteral("PTSXX00")).toString(); }
};

inline Call callJson(sqlite3 *db, const QString &procedure, const QByteArray &json)
{
    Call c;
    sqlite3_stmt *st = nullptr;
    const QByteArray sql = QStringLiteral("select %1(?)").arg(procedure).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
        c.raised = true;
        c.error = QString::fromUtf8(sqlite3_errmsg(db));
        return c;
    }
    sqlite3_bind_text(st, 1, json.constData(), json.size(), SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))).object();
        c.out = o.value(QStringLiteral("out")).toObject().toVariantMap();
        c.commit = o.value(QStringLiteral("commit")).toBool();
    } else {
        c.raised = true;
        c.error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(st);
    return c;
}

inline Call call(sqlite3 *db, const QString &procedure, const QVariantMap &inputs)
{
    return callJson(db, procedure, QJsonDocument(QJsonObject::fromVariantMap(inputs)).toJson(QJsonDocument::Compact));
}

// First column of the first row as text ("" for null or no row); the
// binds are text, as the module binds.
inline QString value(sqlite3 *db, const QString &sql, const QStringList &binds = {})
{
    sqlite3_stmt *st = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "prepare failed: " << sql.toStdString() << ": " << sqlite3_errmsg(db);
        return result;
    }
    for (int i = 0; i < binds.size(); ++i) {
        const QByteArray b = binds[i].toUtf8();
        sqlite3_bind_text(st, i + 1, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    else if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ADD_FAILURE() << "query failed: " << sql.toStdString() << ": " << sqlite3_errmsg(db);
    sqlite3_finalize(st);
    return result;
}

// Every column of the queue entry and its prescription, for "nothing changed" checks.
inline QString snapshot(sqlite3 *db, const QString &serial)
{
    return value(db, QStringLiteral("select json_array(q.ZT0000, q.DYRQ00, q.DYSJ00, q.PYRQ00, q.PYSJ00, q.FYRQ00, q.FYSJ00, q.JHXH00, "
                                    "q.DKFYBZ, q.THBZ00, c.CFZT00, c.PFR000, c.FHR001, c.FYR000, c.FYRQ00, c.THBZ00, c.THYY00, "
                                    "c.DJSFZT, c.ZYDJS0) from YF_MZCF00 c left join YF_CFDL00 q on q.CFLSH0 = c.CFLSH0 where c.CFLSH0 = ?"),
                 {serial});
}

inline QString serialNo(int nn) { return QStringLiteral("10000000000000%1").arg(nn, 2, 10, QLatin1Char('0')); }

// A fixture database with the clock at the fixture's "now".
class FixtureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hisdb::setFixedNow(QString::fromLatin1(hisdb::kFixtureNow));
        env = std::make_unique<TestEnv>(true);
        db = env->db();
        ASSERT_NE(db, nullptr);
    }
    void TearDown() override
    {
        env.reset();
        hisdb::setFixedNow(QString());
    }
    QString v(const QString &sql, const QStringList &binds = {}) { return value(db, sql, binds); }

    std::unique_ptr<TestEnv> env;
    sqlite3 *db = nullptr;
    const QString T = QStringLiteral("20250305");
    const QString Y = QStringLiteral("20250304");
};

}  // namespace hisdbtest
