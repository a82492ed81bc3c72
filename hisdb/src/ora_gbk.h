// Byte counts of text in the GBK code page, as Oracle's byte functions
// (lengthb, substrb, instrb) and display widths (lpad, rpad) see them.
#pragma once

#include <QByteArray>
#include <QStringView>

namespace hisdb::gbk {

// Bytes of one character in GBK: 1 for ASCII and for characters GBK cannot
// hold (they become '?'), 2 for the rest.
int charBytes(char32_t ucs);

// Bytes of the text in GBK.
int length(QStringView text);

// The GBK bytes of the text (unencodable characters as '?').
QByteArray encode(QStringView text);

}  // namespace hisdb::gbk
