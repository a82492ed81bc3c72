#include "routine_support.h"

#include "hisdb/hisdb.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <memory>
#include <sqlite3.h>

namespace hisdb {
namespace routines {

namespace {

struct Statement {
    sqlite3_stmt *st = nullptr;
    ~Statement() { sqlite3_finalize(st); }
};

void bindAll(sqlite3 *, sqlite3_stmt *st, const QVariantList &binds)
{
    int i = 1;
    for (const QVariant &v : binds)
        bindValue(st, i++, v);
}

QVariant columnValue(sqlite3_stmt *st, int c)
{
    switch (sqlite3_column_type(st, c)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, c)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, c));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c)));
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)), sqlite3_column_bytes(st, c)));
    }
}

[[noreturn]] void fail(sqlite3 *db, const char *sql)
{
    throw Failure{QStringLiteral("%1 [%2]").arg(QString::fromUtf8(sqlite3_errmsg(db)), QString::fromUtf8(sql).simplified())};
}

QVariant fromSqlite(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v)));
    }
}

void resultVariant(sqlite3_context *ctx, const QVariant &v)
{
    if (v.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        sqlite3_result_int64(ctx, v.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_result_double(ctx, v.toDouble());
        break;
    default: {
        const QByteArray t = v.toString().toUtf8();
        if (t.isEmpty())
            sqlite3_result_null(ctx);  // Oracle has no empty text
        else
            sqlite3_result_text(ctx, t.constData(), t.size(), SQLITE_TRANSIENT);
    }
    }
}

QString jsonText(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::String:
        return v.toString();
    case QJsonValue::Double:
        return argText(QVariant(v.toDouble()));
    case QJsonValue::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QString();
    }
}

bool parseInputs(const Procedure &p, const QByteArray &json, Inputs *inputs, QString *error)
{
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (!doc.isObject()) {
        *error = QStringLiteral("%1: the argument must be a JSON object (%2)").arg(QLatin1String(p.name), pe.errorString());
        return false;
    }
    const QJsonObject o = doc.object();
    if (o.contains(QLatin1String("args")) && o.value(QLatin1String("args")).isArray()) {
        const QJsonArray a = o.value(QLatin1String("args")).toArray();
        if (a.size() > p.parameters.size()) {
            *error = QStringLiteral("%1: %2 arguments given, %3 declared").arg(QLatin1String(p.name)).arg(a.size()).arg(p.parameters.size());
            return false;
        }
        for (int i = 0; i < a.size(); ++i)
            inputs->set(p.parameters[i], jsonText(a[i]));
        return true;
    }
    for (auto it = o.begin(); it != o.end(); ++it)
        inputs->set(it.key(), jsonText(it.value()));
    return true;
}

bool execPlain(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void runProcedure(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const Procedure &p = *static_cast<const Procedure *>(sqlite3_user_data(ctx));
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    Inputs in;
    QString error;
    const QByteArray json(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    if (!parseInputs(p, json, &in, &error)) {
        const QByteArray e = error.toUtf8();
        sqlite3_result_error(ctx, e.constData(), e.size());
        return;
    }
    // The body runs inside a savepoint: a failure or a refusal leaves
    // nothing behind. Outside a transaction the savepoint is the transaction.
    if (!execPlain(db, "savepoint hisdb_procedure")) {
        const QByteArray e = QStringLiteral("%1: %2").arg(QLatin1String(p.name), QString::fromUtf8(sqlite3_errmsg(db))).toUtf8();
        sqlite3_result_error(ctx, e.constData(), e.size());
        return;
    }
    Outputs out;
    bool ok = true;
    try {
        p.body(Sql(db), in, out);
    } catch (const Failure &f) {
        ok = false;
        error = QStringLiteral("%1: %2").arg(QLatin1String(p.name), f.message);
    }
    bool success = ok;
    if (ok && !p.successFlag.isEmpty())
        success = out.value(p.successFlag).toString() == QLatin1String("1");
    if (ok && !p.failureMessage.isEmpty())
        success = out.value(p.failureMessage).toString().trimmed().isEmpty();
    if (!success) {
        execPlain(db, "rollback to hisdb_procedure");
    }
    if (!execPlain(db, "release hisdb_procedure")) {
        const QString e = QString::fromUtf8(sqlite3_errmsg(db));
        execPlain(db, "rollback to hisdb_procedure");
        execPlain(db, "release hisdb_procedure");
        if (ok) {
            ok = false;
            error = QStringLiteral("%1: %2").arg(QLatin1String(p.name), e);
        }
    }
    if (!ok) {
        const QByteArray e = error.toUtf8();
        sqlite3_result_error(ctx, e.constData(), e.size());
        return;
    }
    QJsonObject o;
    for (auto it = out.begin(); it != out.end(); ++it)
        o.insert(it.key(), it.value().isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(argText(it.value())));
    const bool commit = success && in.text(QStringLiteral("PCOMMIT")).trimmed().toUpper() == QLatin1String("Y");
    QJsonObject result{{QStringLiteral("out"), o}, {QStringLiteral("commit"), commit}};
    const QByteArray r = QJsonDocument(result).toJson(QJsonDocument::Compact);
    sqlite3_result_text(ctx, r.constData(), r.size(), SQLITE_TRANSIENT);
}

void runFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const FunctionBody &body = *static_cast<const FunctionBody *>(sqlite3_user_data(ctx));
    QVector<QVariant> args;
    args.reserve(argc);
    for (int i = 0; i < argc; ++i)
        args.append(fromSqlite(argv[i]));
    try {
        resultVariant(ctx, body(Sql(sqlite3_context_db_handle(ctx)), args));
    } catch (const Failure &f) {
        const QByteArray e = f.message.toUtf8();
        sqlite3_result_error(ctx, e.constData(), e.size());
    }
}

}  // namespace

QVariant Sql::value(const char *sql, const QVariantList &binds) const
{
    Statement s;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s.st, nullptr) != SQLITE_OK)
        fail(m_db, sql);
    bindAll(m_db, s.st, binds);
    const int rc = sqlite3_step(s.st);
    if (rc == SQLITE_ROW)
        return columnValue(s.st, 0);
    if (rc != SQLITE_DONE)
        fail(m_db, sql);
    return QVariant();
}

QVector<QVariantList> Sql::rows(const char *sql, const QVariantList &binds) const
{
    Statement s;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s.st, nullptr) != SQLITE_OK)
        fail(m_db, sql);
    bindAll(m_db, s.st, binds);
    QVector<QVariantList> result;
    const int n = sqlite3_column_count(s.st);
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(n);
        for (int c = 0; c < n; ++c)
            row.append(columnValue(s.st, c));
        result.append(row);
    }
    if (rc != SQLITE_DONE)
        fail(m_db, sql);
    return result;
}

int Sql::exec(const char *sql, const QVariantList &binds) const
{
    Statement s;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s.st, nullptr) != SQLITE_OK)
        fail(m_db, sql);
    bindAll(m_db, s.st, binds);
    if (sqlite3_step(s.st) != SQLITE_DONE)
        fail(m_db, sql);
    return sqlite3_changes(m_db);
}

qint64 Sql::nextval(const char *sequence) const
{
    const QString name = QString::fromLatin1(sequence);
    exec("insert into HISDB_SEQUENCE(NAME, VALUE) values (?, 1) on conflict(NAME) do update set VALUE = VALUE + 1", {name});
    return value("select VALUE from HISDB_SEQUENCE where NAME = ?", {name}).toLongLong();
}

QVariant Inputs::integer(const QString &name) const
{
    const QString t = text(name).trimmed();
    if (t.isEmpty())
        return QVariant();
    bool ok = false;
    const qlonglong i = t.toLongLong(&ok);
    if (ok)
        return i;
    const double d = t.toDouble(&ok);
    if (ok && std::floor(d) == d)
        return static_cast<qlonglong>(d);
    throw Failure{QStringLiteral("%1 = '%2' is not a whole number").arg(name, t)};
}

QString argText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 9.0e15)
            return QString::number(static_cast<qlonglong>(d));
        return QString::number(d, 'g', 15);
    }
    return v.toString();
}

QString nowDate() { return nowText().left(10).remove(QLatin1Char('-')); }
QString nowTime() { return nowText().mid(11, 8); }

void registerProcedure(sqlite3 *db, const Procedure &procedure)
{
    auto *copy = new Procedure(procedure);
    sqlite3_create_function_v2(db, procedure.name, 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, copy, runProcedure, nullptr, nullptr,
                               [](void *p) { delete static_cast<Procedure *>(p); });
}

void registerFunction(sqlite3 *db, const char *name, int argc, FunctionBody body)
{
    auto *copy = new FunctionBody(std::move(body));
    sqlite3_create_function_v2(db, name, argc, SQLITE_UTF8, copy, runFunction, nullptr, nullptr,
                               [](void *p) { delete static_cast<FunctionBody *>(p); });
}


void bindValue(sqlite3_stmt *st, int position, const QVariant &v)
{
    if (v.isNull()) {
        sqlite3_bind_null(st, position);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(st, position, v.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(st, position, v.toDouble());
        break;
    default: {
        const QByteArray t = v.toString().toUtf8();
        sqlite3_bind_text(st, position, t.constData(), t.size(), SQLITE_TRANSIENT);
    }
    }
}

}  // namespace routines
}  // namespace hisdb
