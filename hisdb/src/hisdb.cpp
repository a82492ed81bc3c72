#include "hisdb/hisdb.h"

#include "schema_modules.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <sqlite3.h>
#include <unistd.h>

namespace hisdb {

namespace {
QString g_fixedNow;

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}
}  // namespace

void setFixedNow(const QString &isoDateTime) { g_fixedNow = isoDateTime; }

QString nowText()
{
    if (!g_fixedNow.isEmpty())
        return g_fixedNow;
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The hospital schema's own modules. Built on the first call (open() runs
// ensureSchema, which asks for them), never by a static initialiser: the
// library is static and the linker would drop such an object file.
static std::vector<SchemaModule> builtinSchemaModules()
{
    return {
        {QStringLiteral("hisdb.tables"), 1, QString::fromUtf8(schema::kTables)},
        {QStringLiteral("hisdb.sequences"), 1, QString::fromUtf8(schema::kSequences)},
        {QStringLiteral("hisdb.views"), 1, QString::fromUtf8(schema::kViews)},
    };
}

std::vector<SchemaModule> &schemaModules()
{
    static std::vector<SchemaModule> modules = builtinSchemaModules();
    return modules;
}

bool execScript(sqlite3 *db, const QString &sql, QString *error)
{
    char *msg = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_exec(db, utf8.constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(msg ? msg : "unknown error");
        sqlite3_free(msg);
        return false;
    }
    return true;
}

static int appliedVersion(sqlite3 *db, const QString &name)
{
    sqlite3_stmt *st = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db, "select VERSION from HISDB_SCHEMA where NAME=?", -1, &st, nullptr) == SQLITE_OK) {
        const QByteArray n = name.toUtf8();
        sqlite3_bind_text(st, 1, n.constData(), n.size(), SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW)
            version = sqlite3_column_int(st, 0);
    }
    sqlite3_finalize(st);
    return version;
}

bool ensureSchema(sqlite3 *db, QString *error)
{
    if (!execScript(db, QStringLiteral("create table if not exists HISDB_SCHEMA (NAME text primary key, VERSION integer not null)"), error))
        return false;
    for (const SchemaModule &m : schemaModules()) {
        if (appliedVersion(db, m.name) >= m.version)
            continue;
        QString err;
        if (!execScript(db, QStringLiteral("savepoint hisdb_schema"), &err)
            || !execScript(db, m.sql, &err)
            || !execScript(db, QStringLiteral("insert or replace into HISDB_SCHEMA(NAME,VERSION) values ('%1',%2)")
                                   .arg(QString(m.name).replace('\'', "''"))
                                   .arg(m.version),
                           &err)) {
            execScript(db, QStringLiteral("rollback to hisdb_schema; release hisdb_schema"), nullptr);
            if (error)
                *error = QStringLiteral("schema module %1: %2").arg(m.name, err);
            return false;
        }
        if (!execScript(db, QStringLiteral("release hisdb_schema"), &err)) {
            if (error)
                *error = err;
            return false;
        }
    }
    return true;
}

bool hasSchema(sqlite3 *db)
{
    for (const SchemaModule &m : schemaModules())
        if (appliedVersion(db, m.name) < m.version)
            return false;
    return true;
}

void registerAll(sqlite3 *db)
{
    registerOracleFunctions(db);
    registerStoredRoutines(db);
}

sqlite3 *open(const QString &path, QString *error, const OpenOptions &options)
{
    if (!options.create && !QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("database file not found: %1").arg(path);
        return nullptr;
    }
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (options.create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        if (error)
            *error = db ? lastError(db) : QStringLiteral("cannot open %1").arg(path);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, options.busyTimeoutMs);
    QString err;
    if (!execScript(db, QStringLiteral("pragma journal_mode=WAL; pragma synchronous=NORMAL; "
                                       "pragma case_sensitive_like=ON; pragma foreign_keys=OFF; "
                                       // a 64 MB page cache: the queue lists are read every few
                                       // seconds and should not go back to the file each time
                                       "pragma cache_size=-65536"),
                    &err)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, err);
        sqlite3_close(db);
        return nullptr;
    }
    registerAll(db);
    if (options.ensureSchema && !ensureSchema(db, &err)) {
        if (error)
            *error = err;
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

void close(sqlite3 *db)
{
    if (!db)
        return;
    // closing rolls an open transaction back anyway; do it first so that the
    // session row goes for good
    if (!sqlite3_get_autocommit(db))
        execScript(db, QStringLiteral("rollback"), nullptr);
    unregisterSession(db);
    sqlite3_close_v2(db);
}

QString localHostName()
{
    static const QString name = [] {
        char buf[256] = {0};
        if (::gethostname(buf, sizeof buf - 1) != 0)
            return QStringLiteral("localhost");
        return QString::fromLocal8Bit(buf);
    }();
    return name;
}

static QString connectionId(sqlite3 *db)
{
    return QString::number(reinterpret_cast<quintptr>(db), 16);
}

bool registerSession(sqlite3 *db, const QString &terminal, const QString &program, QString *error)
{
    if (!db)
        return false;
    unregisterSession(db);
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(db,
                                "insert into HISDB_SESSION(TERMINAL, PROGRAM, HOSTNM, PID000, CONNID, LOGON0) "
                                "values (?, ?, ?, ?, ?, ?)",
                                -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray t = terminal.toUtf8(), p = program.toUtf8(), h = localHostName().toUtf8(),
                         c = connectionId(db).toUtf8(), n = nowText().toUtf8();
        sqlite3_bind_text(st, 1, t.constData(), t.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, p.constData(), p.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, h.constData(), h.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 4, static_cast<sqlite3_int64>(::getpid()));
        sqlite3_bind_text(st, 5, c.constData(), c.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, n.constData(), n.size(), SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        if (error)
            *error = lastError(db);
        return false;
    }
    return true;
}

void unregisterSession(sqlite3 *db)
{
    if (!db)
        return;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "delete from HISDB_SESSION where CONNID = ? and PID000 = ? and HOSTNM = ?", -1, &st,
                           nullptr)
        == SQLITE_OK) {
        const QByteArray c = connectionId(db).toUtf8(), h = localHostName().toUtf8();
        sqlite3_bind_text(st, 1, c.constData(), c.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, static_cast<sqlite3_int64>(::getpid()));
        sqlite3_bind_text(st, 3, h.constData(), h.size(), SQLITE_TRANSIENT);
        sqlite3_step(st);
    }
    sqlite3_finalize(st);
}

}  // namespace hisdb
