// Log files beside the host executable: "Log/yyyymmdd.log" and friends.
// Each call appends one GBK line ended by CR LF and closes the file.
#pragma once

#include <QString>

namespace mzpy {

void WriteLog(const QString &text);
void WriteNamedLog(const QString &text, const QString &subFolder);
void WriteInterfaceLog(const QString &folder, const QString &text);

}  // namespace mzpy
