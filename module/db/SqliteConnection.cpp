// The Oracle adapter on an SQLite connection: translated statements, a
// statement cache, Oracle's implicit transactions and procedure calls.
#include "OraConnection.h"
#include "OraTranslator.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <sqlite3.h>
#include <vector>

namespace oradb {

namespace {

constexpr int kTranslationCacheSize = 4000;
constexpr int kStatementCacheSize = 64;

class SqliteConnection final : public Connection {
public:
    explicit SqliteConnection(sqlite3 *db) : m_db(db)
    {
        // Oracle compares LIKE patterns with letter case
        sqlite3_exec(m_db, "pragma case_sensitive_like=ON", nullptr, nullptr, nullptr);
    }

    ~SqliteConnection() override
    {
        for (const Cached &c : m_statements)
            sqlite3_finalize(c.stmt);
    }

    ResultSet select(const QString &sql, const Params &params) override
    {
        ResultSet rs;
        run(*translation(sql), params, &rs, nullptr);
        return rs;
    }

    int execute(const QString &sql, const Params &params) override
    {
        return run(*translation(sql), params, nullptr, nullptr);
    }

    QVariantMap callProcedure(const QString &name, const Params &inputs) override
    {
        static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$#]*$"));
        if (!ident.match(name).hasMatch())
            throw DbError(QStringLiteral("invalid procedure name: %1").arg(name));
        QJsonObject in;
        for (const auto &p : inputs) {
            const QString v = p.second.isNull() ? QString() : p.second.toString();
            in.insert(p.first.toUpper(), v.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(v));
        }
        Translation t;
        t.kind = Translation::Procedure;
        t.procedure = name.toUpper();
        t.writes = true;
        t.sql = "select " + name.toUpper().toUtf8() + "(?1)";
        t.binds << QStringLiteral("JSON");
        const QString json = QString::fromUtf8(QJsonDocument(in).toJson(QJsonDocument::Compact));
        QVariantMap out;
        run(t, Params{{QStringLiteral("JSON"), json}}, nullptr, &out);
        return out;
    }

    void commit() override
    {
        if (!sqlite3_get_autocommit(m_db))
            exec("COMMIT");
    }

    void rollback() override
    {
        if (!sqlite3_get_autocommit(m_db))
            exec("ROLLBACK");
    }

    bool inTransaction() const override { return !sqlite3_get_autocommit(m_db); }

    void *nativeHandle() const override { return m_db; }

private:
    struct Cached {
        QByteArray sql;
        sqlite3_stmt *stmt;
        quint64 used;
        int rows;   // rows of the last run: the next one reserves as many
    };

    std::shared_ptr<const Translation> translation(const QString &sql)
    {
        auto it = m_translations.constFind(sql);
        if (it != m_translations.constEnd())
            return it.value();
        auto t = std::make_shared<const Translation>(translateOracle(sql));
        if (m_translations.size() >= kTranslationCacheSize)
            m_translations.clear();
        m_translations.insert(sql, t);
        return t;
    }

    [[noreturn]] void throwError(int rc, const QString &context = QString()) const
    {
        QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
        if (!context.isEmpty())
            msg += QStringLiteral(" (%1)").arg(context);
        throw DbError(msg, rc);
    }

    void exec(const char *sql)
    {
        const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throwError(rc);
    }

    // Opens the write transaction when none is open; true when it did.
    bool beginIfNeeded()
    {
        if (!sqlite3_get_autocommit(m_db))
            return false;
        exec("BEGIN IMMEDIATE");
        return true;
    }

    // A prepared statement for the text, from the cache or new. The caller
    // owns it until release().
    Cached acquire(const QByteArray &sql)
    {
        for (size_t i = 0; i < m_statements.size(); ++i) {
            if (m_statements[i].sql == sql) {
                Cached c = std::move(m_statements[i]);
                m_statements.erase(m_statements.begin() + i);
                return c;
            }
        }
        sqlite3_stmt *st = nullptr;
        const int rc = sqlite3_prepare_v3(m_db, sql.constData(), sql.size(), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            throwError(rc);
        }
        if (!st)
            throw DbError(QStringLiteral("empty statement"));
        return Cached{sql, st, 0, 0};
    }

    void release(Cached c)
    {
        sqlite3_reset(c.stmt);
        sqlite3_clear_bindings(c.stmt);
        if (m_statements.size() >= kStatementCacheSize) {
            auto oldest = std::min_element(m_statements.begin(), m_statements.end(),
                                           [](const Cached &a, const Cached &b) { return a.used < b.used; });
            sqlite3_finalize(oldest->stmt);
            m_statements.erase(oldest);
        }
        c.used = ++m_clock;
        m_statements.push_back(std::move(c));
    }

    void bind(sqlite3_stmt *st, const Translation &t, const Params &params)
    {
        for (int i = 0; i < t.binds.size(); ++i) {
            const QString &name = t.binds[i];
            const QVariant *value = nullptr;
            for (const auto &p : params) {
                QStringView pn(p.first);
                if (pn.startsWith(QLatin1Char(':')))
                    pn = pn.mid(1);
                if (pn.compare(name, Qt::CaseInsensitive) == 0) {
                    value = &p.second;
                    break;
                }
            }
            if (!value)
                throw DbError(QStringLiteral("ORA-01008: not all variables bound (:%1)").arg(name));
            const int idx = i + 1;
            int rc = SQLITE_OK;
            const QVariant &v = *value;
            if (v.isNull() || !v.isValid()) {
                rc = sqlite3_bind_null(st, idx);
            } else {
                switch (v.typeId()) {
                case QMetaType::Int:
                case QMetaType::LongLong:
                case QMetaType::UInt:
                case QMetaType::Short:
                case QMetaType::Bool:
                    rc = sqlite3_bind_int64(st, idx, v.toLongLong());
                    break;
                case QMetaType::ULongLong:
                    rc = sqlite3_bind_int64(st, idx, static_cast<sqlite3_int64>(v.toULongLong()));
                    break;
                case QMetaType::Double:
                case QMetaType::Float:
                    rc = sqlite3_bind_double(st, idx, v.toDouble());
                    break;
                case QMetaType::QByteArray: {
                    const QByteArray b = v.toByteArray();
                    rc = b.isEmpty() ? sqlite3_bind_null(st, idx)
                                     : sqlite3_bind_blob(st, idx, b.constData(), b.size(), SQLITE_TRANSIENT);
                    break;
                }
                default: {
                    // text, as the forms pass every value; '' is NULL
                    const QByteArray u = v.toString().toUtf8();
                    rc = u.isEmpty() ? sqlite3_bind_null(st, idx)
                                     : sqlite3_bind_text(st, idx, u.constData(), u.size(), SQLITE_TRANSIENT);
                }
                }
            }
            if (rc != SQLITE_OK)
                throwError(rc);
        }
    }

    // Lists repeat the same texts down a column (states, windows, dates,
    // staff and department names), and every rebuild of a list reads the
    // same texts again: an equal short text shares the string made for it
    // before, instead of decoding and allocating another. Each column
    // position has a small direct-mapped table of recent texts, kept from one
    // statement to the next, and remembers the slot of the value above.
    struct ColumnTexts {
        struct Slot {
            std::string bytes;
            QVariant value;
        };
        static constexpr size_t kSlots = 64;
        static constexpr int kLongest = 48;  // longer texts are not kept
        std::unique_ptr<Slot[]> table;
        const Slot *last = nullptr;
    };

    // Appends the text value to the row: the shared string when the text is
    // in the column's table, else a new one (kept in the table when short).
    static void appendText(QVector<QVariant> &row, ColumnTexts &ct, const char *p, int n)
    {
        const std::string_view bytes(p, static_cast<size_t>(n));
        if (ct.last && std::string_view(ct.last->bytes) == bytes) {
            row.push_back(ct.last->value);
            return;
        }
        if (n > ColumnTexts::kLongest) {
            row.emplace_back(QString::fromUtf8(p, n));
            return;
        }
        if (!ct.table)
            ct.table = std::make_unique<ColumnTexts::Slot[]>(ColumnTexts::kSlots);
        ColumnTexts::Slot &s = ct.table[qHash(QByteArrayView(p, n)) % ColumnTexts::kSlots];
        if (!s.value.isValid() || std::string_view(s.bytes) != bytes) {
            s.bytes.assign(p, static_cast<size_t>(n));
            s.value = QVariant(QString::fromUtf8(p, n));
        }
        ct.last = &s;
        row.push_back(s.value);
    }

    // Steps a query and keeps its rows. The connection's mutex is held for
    // the whole read, which makes the values of sqlite3_column_value()
    // protected: each cell costs one call that locks instead of three (type,
    // text, length). Values are null, qlonglong, double, QString or
    // QByteArray, as the column's storage class is.
    void readRows(sqlite3_stmt *st, int cols, ResultSet *rs, Cached &cached)
    {
        sqlite3_mutex *const mutex = sqlite3_db_mutex(m_db);
        sqlite3_mutex_enter(mutex);
        struct Leave {
            sqlite3_mutex *m;
            ~Leave() { sqlite3_mutex_leave(m); }
        } leave{mutex};
        if (m_texts.size() < static_cast<size_t>(cols))
            m_texts.resize(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c)
            m_texts[c].last = nullptr;
        if (cached.rows > 0)
            rs->rows.reserve(cached.rows);
        for (;;) {
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                throwError(rc);
            QVector<QVariant> row;
            row.reserve(cols);
            for (int c = 0; c < cols; ++c) {
                sqlite3_value *const v = sqlite3_column_value(st, c);
                switch (sqlite3_value_type(v)) {
                case SQLITE_INTEGER:
                    row.emplace_back(static_cast<qlonglong>(sqlite3_value_int64(v)));
                    break;
                case SQLITE_FLOAT:
                    row.emplace_back(sqlite3_value_double(v));
                    break;
                case SQLITE_TEXT: {
                    const char *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
                    appendText(row, m_texts[c], p, sqlite3_value_bytes(v));
                    break;
                }
                case SQLITE_BLOB: {
                    const char *p = static_cast<const char *>(sqlite3_value_blob(v));
                    row.emplace_back(QByteArray(p, sqlite3_value_bytes(v)));
                    break;
                }
                default:
                    row.emplace_back();
                }
            }
            rs->rows.push_back(std::move(row));
        }
        cached.rows = static_cast<int>(rs->rows.size());
    }

    // Runs one translated statement. Rows go to rs when given; a procedure's
    // outputs to out when given. Returns the number of rows changed.
    int run(const Translation &t, const Params &params, ResultSet *rs, QVariantMap *out)
    {
        if (t.kind == Translation::Commit) {
            commit();
            return 0;
        }
        if (t.kind == Translation::Rollback) {
            rollback();
            return 0;
        }
        Cached cached = acquire(t.sql);
        sqlite3_stmt *const st = cached.stmt;
        int changes = 0;
        QString procResult;
        bool begunHere = false;
        try {
            bind(st, t, params);
            if (t.writes || !sqlite3_stmt_readonly(st))
                begunHere = beginIfNeeded();
            const int cols = sqlite3_column_count(st);
            if (rs) {
                rs->columns.clear();
                rs->rows.clear();
                for (int c = 0; c < cols; ++c)
                    rs->columns << QString::fromUtf8(sqlite3_column_name(st, c));
            }
            if (rs && t.kind != Translation::Procedure) {
                readRows(st, cols, rs, cached);
            } else {
                for (;;) {
                    const int rc = sqlite3_step(st);
                    if (rc == SQLITE_DONE)
                        break;
                    if (rc != SQLITE_ROW)
                        throwError(rc);
                    if (t.kind == Translation::Procedure && cols > 0 && sqlite3_column_type(st, 0) != SQLITE_NULL)
                        procResult = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
                }
            }
            changes = t.writes ? sqlite3_changes(m_db) : 0;
        } catch (...) {
            release(std::move(cached));
            // A failed statement undoes its own changes. When it was the
            // first of its transaction, the transaction holds nothing: end
            // it, or its write lock would stop every other station until
            // somebody commits. Earlier pending work stays pending.
            if (begunHere && !sqlite3_get_autocommit(m_db))
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        release(std::move(cached));

        if (t.kind == Translation::Procedure) {
            QJsonParseError perr;
            const QJsonDocument doc = QJsonDocument::fromJson(procResult.toUtf8(), &perr);
            if (!doc.isObject())
                throw DbError(QStringLiteral("procedure %1 returned no result object").arg(t.procedure));
            const QJsonObject o = doc.object();
            if (out) {
                const QJsonObject outs = o.value(QStringLiteral("out")).toObject();
                for (auto it = outs.begin(); it != outs.end(); ++it) {
                    const QJsonValue v = it.value();
                    if (v.isNull() || v.isUndefined())
                        out->insert(it.key(), QVariant());
                    else if (v.isString())
                        out->insert(it.key(), v.toString());
                    else
                        out->insert(it.key(), v.toVariant());
                }
            }
            if (o.value(QStringLiteral("commit")).toBool())
                commit();
            changes = 1;
        }
        return changes;
    }

    sqlite3 *m_db;
    QHash<QString, std::shared_ptr<const Translation>> m_translations;
    std::vector<Cached> m_statements;
    std::vector<ColumnTexts> m_texts;
    quint64 m_clock = 0;
};

}  // namespace

std::unique_ptr<Connection> attachSqlite(sqlite3 *handle)
{
    if (!handle)
        throw DbError(QStringLiteral("no database connection"));
    return std::make_unique<SqliteConnection>(handle);
}

}  // namespace oradb
