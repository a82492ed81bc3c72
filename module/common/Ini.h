// INI files in GBK: Login.ini of the workstation, LocalSet.ini. The file is
// never created by these operations; section and key names match ignoring
// letter case, and so does the file name.
#pragma once

#include <QString>

namespace mzpy {

QString ReadIniValue(const QString &path, const QString &section, const QString &key,
                     const QString &defaultValue);
void WriteIniValue(const QString &path, const QString &section, const QString &key,
                   const QString &value);
// Empty path: "login.ini" in the host executable folder.
QString ReadLoginIniValue(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue);
void WriteLoginIni(const QString &section, const QString &key, const QString &value);
QString LoginIniPath();  // the existing Login.ini in any letter case, else hostDir()+"Login.ini"

}  // namespace mzpy
