// Support for the database's stored functions and procedures: running SQL on
// the calling connection, the procedure calling convention (JSON in, JSON
// out) and atomic execution inside a savepoint.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <QVector>
#include <functional>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

struct sqlite3_stmt;

namespace hisdb {
namespace routines {

// An unexpected failure: raised to the caller as an SQL error.
struct Failure {
    QString message;
};

// SQL on the connection the routine runs on. Binds are positional ("?").
// Any database error throws Failure.
class Sql {
public:
    explicit Sql(sqlite3 *db) : m_db(db) {}
    QVariant value(const char *sql, const QVariantList &binds = {}) const;  // first column of the first row, or null
    QVector<QVariantList> rows(const char *sql, const QVariantList &binds = {}) const;
    int exec(const char *sql, const QVariantList &binds = {}) const;       // rows changed
    qint64 nextval(const char *sequence) const;                            // HISDB_SEQUENCE
    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db;
};

// Named inputs of a procedure call: upper-case names; values are text or
// null (Oracle: an empty text is null).
class Inputs {
public:
    QString text(const QString &name) const { return m_values.value(name.toUpper()).toString(); }
    bool has(const QString &name) const { return !text(name).isEmpty(); }
    bool contains(const QString &name) const { return m_values.contains(name.toUpper()); }
    QVariant value(const QString &name) const  // null when empty
    {
        const QString t = text(name);
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    QVariant integer(const QString &name) const;  // a number as qlonglong, null when empty
    void set(const QString &name, const QVariant &v) { m_values.insert(name.toUpper(), v); }

private:
    QVariantMap m_values;
};

// Outputs; PZXCGBZ other than "1" is a refusal and undoes the call's changes.
using Outputs = QVariantMap;

using ProcedureBody = std::function<void(const Sql &, const Inputs &, Outputs &)>;

struct Procedure {
    Procedure(const char *n, QStringList params, ProcedureBody b, QString flag = QStringLiteral("PZXCGBZ"), QString failMessage = {})
        : name(n), parameters(std::move(params)), body(std::move(b)), successFlag(std::move(flag)), failureMessage(std::move(failMessage))
    {
    }
    const char *name;
    QStringList parameters;  // declaration order (for {"args": [...]})
    ProcedureBody body;
    // success test beyond "no error": the flag output that must read "1"
    // (empty: none), or a message output that must stay empty
    QString successFlag = QStringLiteral("PZXCGBZ");
    QString failureMessage;
};

void registerProcedure(sqlite3 *db, const Procedure &procedure);

using FunctionBody = std::function<QVariant(const Sql &, const QVector<QVariant> &args)>;
// A stored function with a fixed number of arguments (-1: any). Arguments
// arrive as the SQL passes them: text, integer, real or null.
void registerFunction(sqlite3 *db, const char *name, int argc, FunctionBody body);

// Helpers
QString argText(const QVariant &v);  // integers without ".0", null as empty
QString nowDate();                    // "YYYYMMDD" of the database clock
QString nowTime();                    // "HH:MM:SS"

// Binds one value at a 1-based position: integers and reals as numbers,
// null as NULL, everything else as UTF-8 text.
void bindValue(sqlite3_stmt *st, int position, const QVariant &value);

}  // namespace routines
}  // namespace hisdb
