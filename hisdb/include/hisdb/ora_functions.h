// Session values of the Oracle-compatible functions on a connection.
#pragma once

#include <QString>

struct sqlite3;

namespace hisdb {

// The value sys_context('USERENV','TERMINAL') gives on this connection: the
// name of the computer the session runs for. Defaults to the machine's host
// name; a host that stands for another computer sets it after opening.
void setSessionTerminal(sqlite3 *db, const QString &terminal);
QString sessionTerminal(sqlite3 *db);

}  // namespace hisdb
