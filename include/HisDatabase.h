/*
 * The database handle passed to ShowDLLNormalForm.
 *
 * The handle is an open sqlite3* connection to the hospital database file,
 * opened by the host (the embedded stand-in of the hospital's server
 * database). The module attaches to it and never opens or closes it. The
 * connection must run with the hospital database's own objects registered
 * (its SQL functions, sequences and stored procedures), which the host gets
 * by opening the file with the hospital database library.
 *
 * Stored procedures are SQL functions of the connection with one argument,
 * a JSON object of the named input parameters (names in upper case, values
 * text or null), or {"args": [...]} with the inputs by position. The result
 * is a JSON object:
 *     {"out": {"PZXCGBZ": "1", "PTSXX00": "...", ...}, "commit": true|false}
 * "commit" true asks the caller to commit the transaction right after the
 * call (the procedure's PCOMMIT = "Y"). A procedure that fails raises an SQL
 * error and leaves nothing of its work behind.
 */
#ifndef HIS_DATABASE_H
#define HIS_DATABASE_H

struct sqlite3;
typedef struct sqlite3 *HisDatabaseHandle;

#endif
