#include "ora_gbk.h"

#include <QStringEncoder>
#include <mutex>
#include <vector>

namespace hisdb::gbk {

namespace {

// Width in bytes of every BMP character, built once from Qt's GBK encoder.
const std::vector<unsigned char> &widths()
{
    static std::vector<unsigned char> table;
    static std::once_flag once;
    std::call_once(once, [] {
        table.assign(0x10000, 2);
        for (int c = 0; c < 0x80; ++c)
            table[c] = 1;
        QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
        if (!enc.isValid())
            return;  // no GBK codec: every non-ASCII character counts 2
        for (char32_t c = 0x80; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000) {
                table[c] = 1;
                continue;
            }
            const QChar ch(static_cast<char16_t>(c));
            const QByteArray b = enc.encode(QStringView(&ch, 1));
            table[c] = b.size() >= 2 ? 2 : 1;  // unencodable characters become one '?'
        }
    });
    return table;
}

}  // namespace

int charBytes(char32_t ucs)
{
    if (ucs < 0x80)
        return 1;
    if (ucs >= 0x10000)
        return 1;  // outside GBK: '?'
    return widths()[ucs];
}

int length(QStringView text)
{
    int n = 0;
    const auto &w = widths();
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
            n += 1;
        } else {
            n += w[c];
        }
    }
    return n;
}

QByteArray encode(QStringView text)
{
    QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    if (!enc.isValid())
        return text.toUtf8();
    return enc.encode(text);
}

}  // namespace hisdb::gbk
