// The hospital database on the embedded engine: opening a database file with
// the database's own objects (Oracle-compatible functions, sequences, stored
// functions and procedures) registered on the connection, and the schema.
#pragma once

#include <QString>
#include <functional>
#include <vector>

struct sqlite3;

namespace hisdb {

struct OpenOptions {
    bool create = true;           // create the file when missing
    bool ensureSchema = true;     // create missing tables/views/sequences
    int busyTimeoutMs = 5000;
};

// Opens (or creates) a database file: WAL, busy timeout, case-sensitive LIKE,
// every function and procedure registered, schema brought up to date.
// Returns nullptr and fills error on failure.
sqlite3 *open(const QString &path, QString *error, const OpenOptions &options = {});
void close(sqlite3 *db);

// Registration of the database's own objects on a connection.
void registerAll(sqlite3 *db);
void registerOracleFunctions(sqlite3 *db);   // nvl, decode, to_char, ...
void registerStoredRoutines(sqlite3 *db);    // SF_..., SP_...

// Schema mechanism: modules of DDL, applied once each, in registration order.
// A module is recorded in HISDB_SCHEMA (name, version); a higher version
// re-runs it (its DDL must be idempotent: CREATE ... IF NOT EXISTS, views
// dropped and re-created).
struct SchemaModule {
    QString name;
    int version;
    QString sql;
};
std::vector<SchemaModule> &schemaModules();
bool ensureSchema(sqlite3 *db, QString *error);

// Whether the file holds the hospital schema (all modules applied).
bool hasSchema(sqlite3 *db);

// Runs a script of statements separated by ';' (plain SQLite SQL).
bool execScript(sqlite3 *db, const QString &sql, QString *error);

// Host sessions (the database's V$session). The host registers its
// connection when it opens the database: which machine (TERMINAL) runs which
// host program (PROGRAM), with this process's id. close() and
// unregisterSession() remove it. A registration whose process no longer runs
// on this machine does not show in V$session.
// A registration changes the database: call it outside an open transaction
// (it is its own statement) or inside one the caller commits.
bool registerSession(sqlite3 *db, const QString &terminal, const QString &program, QString *error = nullptr);
void unregisterSession(sqlite3 *db);
QString localHostName();

// The clock the database's sysdate reads. Tests fix it; by default it is the
// local time.
void setFixedNow(const QString &isoDateTime);  // "yyyy-MM-dd HH:mm:ss", empty = real clock
QString nowText();                              // "yyyy-MM-dd HH:mm:ss"

}  // namespace hisdb
