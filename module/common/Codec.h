// The one place where text crosses between the program's UTF-8 strings and
// the 8-bit GBK text of the host, the INI files, the logs and outside calls.
#pragma once

#include <QByteArray>
#include <QString>

namespace mzpy {

QByteArray toGbk(const QString &text);
QString fromGbk(const QByteArray &bytes);
QString fromGbk(const char *bytes);  // nullptr reads as empty

}  // namespace mzpy
