// The host's connection to the hospital database file.
#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace shell {

struct HostDatabase {
    sqlite3 *db = nullptr;   // null when no usable database could be opened
    bool created = false;    // the file was missing and has been created
    QStringList notes;       // what happened, for the host's log pane
    QString error;           // why there is no connection
};

// Opens the database file for the host.
// - A missing file is created with the hospital schema and seeded with the
//   demo hospital where the database library offers it.
// - An existing file is opened only when it already is a hospital database
//   (it carries the schema register); any other file, or one that is not a
//   database at all, is left untouched and reported.
// The connection is registered as a session of the host program on the
// given terminal (machine name).
HostDatabase openHostDatabase(const QString &path, const QString &terminal = QString());

void closeHostDatabase(HostDatabase &database);

// A freshly seeded demo hospital comes with a workstation configured for it:
// when the host folder has no Login.ini (any letter case), one is written
// whose [MZPY] section names the first dispensing and the first issuing
// window of the department. Returns a note for the log pane, empty when
// nothing was written.
QString writeDemoLoginIni(sqlite3 *db, int departmentId, const QString &hostDir);

}  // namespace shell
