#include "hisdb/hisdb.h"

namespace hisdb {
void registerStoredRoutines(sqlite3 *) {}
}
