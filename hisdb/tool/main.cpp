// hisdb: create, seed and inspect a hospital database file.
//
//   hisdb create FILE
//   hisdb seed FILE [--fixture] [--prescriptions N] [--days D] [--seed S] [--today yyyy-MM-dd]
//   hisdb info FILE
//   hisdb sql FILE "statement"      (Oracle SQL, through the module's adapter)
#include "OraConnection.h"
#include "hisdb/hisdb.h"
#include "hisdb/seed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <sqlite3.h>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage()
{
    err() << "usage:\n"
             "  hisdb create FILE\n"
             "  hisdb seed FILE [--fixture] [--prescriptions N] [--days D] [--seed S] [--today yyyy-MM-dd]\n"
             "  hisdb info FILE\n"
             "  hisdb sql FILE \"statement\"\n";
    err().flush();
    return 2;
}

sqlite3 *openFile(const QString &path, bool create)
{
    QString error;
    hisdb::OpenOptions options;
    options.create = create;
    sqlite3 *db = hisdb::open(path, &error, options);
    if (!db) {
        err() << "hisdb: " << error << "\n";
        err().flush();
    }
    return db;
}

int seed(const QString &path, const QStringList &args)
{
    bool fixture = false;
    hisdb::SeedOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto next = [&](bool *ok) -> QString {
            if (i + 1 >= args.size()) {
                *ok = false;
                return {};
            }
            return args[++i];
        };
        bool ok = true;
        if (a == QLatin1String("--fixture")) {
            fixture = true;
        } else if (a == QLatin1String("--prescriptions")) {
            options.prescriptionsPerDay = next(&ok).toInt(&ok);
        } else if (a == QLatin1String("--days")) {
            options.daysOfHistory = next(&ok).toInt(&ok);
        } else if (a == QLatin1String("--seed")) {
            options.randomSeed = next(&ok).toUInt(&ok);
        } else if (a == QLatin1String("--today")) {
            options.today = QDate::fromString(next(&ok), Qt::ISODate);
            ok = ok && options.today.isValid();
        } else {
            ok = false;
        }
        if (!ok || options.prescriptionsPerDay < 1 || options.daysOfHistory < 0) {
            err() << "hisdb seed: bad option " << a << "\n";
            return usage();
        }
    }
    sqlite3 *db = openFile(path, true);
    if (!db)
        return 1;
    QElapsedTimer timer;
    timer.start();
    QString error;
    const bool ok = fixture ? hisdb::seedFixture(db, &error) : hisdb::seedDemo(db, options, &error);
    hisdb::close(db);
    if (!ok) {
        err() << "hisdb seed: " << error << "\n";
        return 1;
    }
    out() << (fixture ? "fixture" : "demo hospital") << " seeded into " << path << " in " << timer.elapsed() << " ms\n";
    return 0;
}

int info(const QString &path)
{
    sqlite3 *db = openFile(path, false);
    if (!db)
        return 1;
    sqlite3_stmt *st = nullptr;
    QStringList tables;
    sqlite3_prepare_v2(db, "select name from sqlite_master where type = 'table' and name not like 'sqlite_%' order by name", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    int views = 0;
    sqlite3_prepare_v2(db, "select count(*) from sqlite_master where type = 'view'", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW)
        views = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    out() << path << " (" << QFileInfo(path).size() / 1024 << " KiB): " << tables.size() << " tables, " << views << " views\n";
    for (const QString &t : tables) {
        const QByteArray sql = QStringLiteral("select count(*) from \"%1\"").arg(t).toUtf8();
        qlonglong n = -1;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        out() << t.leftJustified(16) << '\t' << n << '\n';
    }
    hisdb::close(db);
    return 0;
}

QString cell(const QVariant &v)
{
    QString t = oradb::valueText(v);
    t.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

int sql(const QString &path, const QString &statement)
{
    sqlite3 *db = openFile(path, false);
    if (!db)
        return 1;
    int rc = 0;
    try {
        auto conn = oradb::attachSqlite(db);
        const QString head = statement.trimmed().section(QRegularExpression(QStringLiteral("\\s")), 0, 0).toLower();
        if (head == QLatin1String("select") || head == QLatin1String("with")) {
            const oradb::ResultSet rs = conn->select(statement);
            out() << rs.columns.join(QLatin1Char('\t')) << '\n';
            for (const auto &row : rs.rows) {
                QStringList cells;
                for (const QVariant &v : row)
                    cells << cell(v);
                out() << cells.join(QLatin1Char('\t')) << '\n';
            }
            conn->rollback();
        } else {
            const int n = conn->execute(statement);
            conn->commit();
            out() << n << " row(s) changed\n";
        }
    } catch (const oradb::DbError &e) {
        err() << "hisdb sql: " << e.message() << "\n";
        rc = 1;
    }
    hisdb::close(db);
    return rc;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString command = args[0], file = args[1];
    int rc;
    if (command == QLatin1String("create")) {
        sqlite3 *db = openFile(file, true);
        if (!db)
            return 1;
        hisdb::close(db);
        out() << "created " << file << '\n';
        rc = 0;
    } else if (command == QLatin1String("seed")) {
        rc = seed(file, args.mid(2));
    } else if (command == QLatin1String("info")) {
        rc = info(file);
    } else if (command == QLatin1String("sql") && args.size() == 3) {
        rc = sql(file, args[2]);
    } else {
        rc = usage();
    }
    out().flush();
    err().flush();
    return rc;
}
