#include "Codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace mzpy {

QByteArray toGbk(const QString &text)
{
    if (text.isEmpty())
        return QByteArray();
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString fromGbk(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QString();
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

QString fromGbk(const char *bytes)
{
    if (!bytes)
        return QString();
    return fromGbk(QByteArray(bytes));
}

}  // namespace mzpy
