// The module's connection to the hospital database.
//
// Forms speak Oracle SQL; an adapter runs it on the connection the host
// handed over. Only this interface is visible to the rest of the module, so
// a server database can be added later without touching a form.
#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <QVector>
#include <memory>
#include <stdexcept>

struct sqlite3;

namespace oradb {

// A database error: the message the database gave, ready to show.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    QString message() const { return m_message; }
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code;
};

// Named bind values (name without the colon, matched ignoring letter case).
// Values are passed as text the way the forms pass them; an empty or null
// text binds NULL, as Oracle treats '' as NULL.
using Params = QVector<QPair<QString, QVariant>>;

// The rows of one statement. Values are null QVariant, qlonglong, double,
// QString or QByteArray (blobs).
struct ResultSet {
    QStringList columns;                 // names as the statement gives them
    QVector<QVector<QVariant>> rows;
    int columnIndex(const QString &name) const;  // ignoring letter case; -1 if none
};

class Connection {
public:
    virtual ~Connection() = default;

    // Runs one statement and returns its rows (none for DML). Oracle's
    // transaction model: a changing statement opens a transaction that stays
    // open until "commit" or "rollback" (also accepted as statement text).
    virtual ResultSet select(const QString &sql, const Params &params = {}) = 0;

    // Runs one statement (DML, "commit", "Rollback", a PL/SQL block that only
    // calls a procedure, ...) and returns the number of rows changed.
    virtual int execute(const QString &sql, const Params &params = {}) = 0;

    // Calls a stored procedure with named inputs; returns its named outputs.
    virtual QVariantMap callProcedure(const QString &name, const Params &inputs) = 0;

    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;

    // The raw handle (sqlite3*) the host passed.
    virtual void *nativeHandle() const = 0;
};

// Attaches to a connection the host opened. The connection is not owned.
std::unique_ptr<Connection> attachSqlite(sqlite3 *handle);

// A value as the forms read it as text: numbers as Oracle prints them
// ("2" not "2.0", "0.5"), null as empty text.
QString valueText(const QVariant &value);

}  // namespace oradb
