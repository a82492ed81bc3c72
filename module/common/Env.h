// Things the module takes from its surroundings that tests replace: the host
// executable folder and the clock.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace mzpy {

// Folder of the host executable, with a trailing '/'. Defaults to the folder
// of the running process; the environment variable MZPY_HOST_DIR or
// setHostDir() override it.
QString hostDir();
void setHostDir(const QString &dir);

// The module's "now". Tests install a fixed clock.
QDateTime now();
void setClock(std::function<QDateTime()> clock);  // empty function = real clock

// Finds a file in a folder ignoring the letter case of its name; returns the
// existing path, or folder + name when none exists.
QString findFileNoCase(const QString &folder, const QString &name);

}  // namespace mzpy
