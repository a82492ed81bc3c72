#include "HostDatabase.h"

#include "hisdb/hisdb.h"
#include "hisdb/seed.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace shell {

namespace {

// Looks into an existing file without changing it (read-only, no journal
// mode switch): 1 = hospital database, 0 = a database without the hospital
// schema, -1 = not readable as a database (message in error).
int probeHospitalDatabase(const QString &path, QString *error)
{
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        *error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("cannot open");
        sqlite3_close(db);
        return -1;
    }
    sqlite3_stmt *st = nullptr;
    int result = -1;
    if (sqlite3_prepare_v2(db,
                           "select count(*) from sqlite_master where type='table' and upper(name)='HISDB_SCHEMA'",
                           -1, &st, nullptr)
            == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW) {
        result = sqlite3_column_int(st, 0) > 0 ? 1 : 0;
    } else {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return result;
}

const QString kHostProgram = QStringLiteral("appKPWHis.exe");

// The session view shows which machine runs the host on this database.
void registerHostSession(HostDatabase &result, const QString &terminal)
{
    QString err;
    if (!hisdb::registerSession(result.db, terminal.isEmpty() ? hisdb::localHostName() : terminal, kHostProgram,
                                &err))
        result.notes << QStringLiteral("会话登记失败: %1").arg(err);
}

}  // namespace

HostDatabase openHostDatabase(const QString &path, const QString &terminal)
{
    HostDatabase result;
    const QFileInfo info(path);
    QString err;

    if (!info.exists()) {
        if (!QDir().mkpath(info.absolutePath())) {
            result.error = QStringLiteral("无法建立数据库文件夹 %1").arg(info.absolutePath());
            return result;
        }
        result.db = hisdb::open(path, &err);
        if (!result.db) {
            result.error = QStringLiteral("无法建立数据库 %1: %2").arg(path, err);
            return result;
        }
        result.created = true;
        result.notes << QStringLiteral("数据库 %1 不存在，已新建并建立医院数据库结构").arg(path);
        if (hisdb::seedDemo(result.db, hisdb::SeedOptions(), &err))
            result.notes << QStringLiteral("已写入演示医院的数据");
        else
            result.notes << QStringLiteral("演示医院的数据没有写入 (%1)，数据库只有表结构").arg(err);
        registerHostSession(result, terminal);
        return result;
    }

    if (info.isDir()) {
        result.error = QStringLiteral("数据库路径 %1 是一个文件夹").arg(path);
        return result;
    }
    const int probe = probeHospitalDatabase(path, &err);
    if (probe < 0) {
        result.error = QStringLiteral("%1 不是可用的数据库文件: %2").arg(path, err);
        return result;
    }
    if (probe == 0) {
        result.error = QStringLiteral("%1 没有医院数据库结构，未作任何改动；请换一个数据库文件，"
                                      "或删除它让宿主新建演示数据库")
                           .arg(path);
        return result;
    }
    hisdb::OpenOptions options;
    options.create = false;
    result.db = hisdb::open(path, &err, options);
    if (!result.db) {
        result.error = QStringLiteral("数据库 %1 无法打开: %2").arg(path, err);
        return result;
    }
    result.notes << QStringLiteral("已打开数据库 %1").arg(path);
    registerHostSession(result, terminal);
    return result;
}

void closeHostDatabase(HostDatabase &database)
{
    if (database.db) {
        hisdb::unregisterSession(database.db);
        hisdb::close(database.db);
    }
    database.db = nullptr;
}

}  // namespace shell
