#include "hisdb/hisdb.h"

namespace hisdb {
void registerOracleFunctions(sqlite3 *) {}
}
