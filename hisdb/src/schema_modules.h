// DDL texts of the hospital schema, one per schema module.
#pragma once

namespace hisdb {
namespace schema {
extern const char *const kTables;     // tables, indexes, dual
extern const char *const kSequences;  // HISDB_SEQUENCE start rows
extern const char *const kViews;      // views (dropped and re-created)
}  // namespace schema
}  // namespace hisdb
