#include "hisdb/hisdb.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace hisdb {

namespace {
// hisdb_pid_alive(host, pid): 1 while the process runs (or runs on another
// machine, which this one cannot see), 0 when it has ended here.
void pidAlive(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString host = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    const sqlite3_int64 pid = sqlite3_value_int64(argv[1]);
    if (!host.isEmpty() && host != localHostName()) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    sqlite3_result_int(ctx, pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)) ? 1 : 0);
}
}  // namespace

void registerStoredRoutines(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "hisdb_pid_alive", 2, SQLITE_UTF8, nullptr, pidAlive, nullptr, nullptr, nullptr);
}
}  // namespace hisdb
