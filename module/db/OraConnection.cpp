#include "OraConnection.h"

#include <cmath>

namespace oradb {

int ResultSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString valueText(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qlonglong>(d));
        return QString::number(d, 'g', 15);
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray());
    default:
        return value.toString();
    }
}

}  // namespace oradb
