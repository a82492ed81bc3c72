#include "HostDatabase.h"

#include "hisdb/hisdb.h"
#include "hisdb/seed.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
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

QString writeDemoLoginIni(sqlite3 *db, int departmentId, const QString &hostDir)
{
    const QDir dir(hostDir);
    if (!db || !dir.exists()
        || !dir.entryList(QDir::Files).filter(QRegularExpression(QStringLiteral("^login\\.ini$"),
                                                                 QRegularExpression::CaseInsensitiveOption)).isEmpty())
        return QString();
    auto firstWindow = [&](const char *flag) {
        sqlite3_stmt *st = nullptr;
        QString result;
        if (sqlite3_prepare_v2(db, "select CKBH00 from BM_CKBM00 where BMBH00=? and FLAG00=? order by CKBH00",
                               -1, &st, nullptr) == SQLITE_OK) {
            sqlite3_bind_int(st, 1, departmentId);
            sqlite3_bind_text(st, 2, flag, -1, SQLITE_STATIC);
            if (sqlite3_step(st) == SQLITE_ROW)
                result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
        return result;
    };
    const QString py = firstWindow("2");
    const QString fy = firstWindow("3");
    if (py.isEmpty() || fy.isEmpty())
        return QString();
    QFile f(dir.filePath(QStringLiteral("Login.ini")));
    if (!f.open(QIODevice::WriteOnly))
        return QStringLiteral("无法写入 %1").arg(f.fileName());
    f.write(QStringLiteral("[MZPY]\r\nCKLX=3\r\nCKBH_PY=%1\r\nCKBH_FY=%2\r\n").arg(py, fy).toLatin1());
    return QStringLiteral("已为演示医院写入 %1 (配药窗口 %2, 发药窗口 %3)").arg(f.fileName(), py, fy);
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
