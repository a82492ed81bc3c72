#include "TextHelpers.h"

#include "Codec.h"

#include <QFile>
#include <QLocale>
#include <cmath>

namespace mzpy {

namespace {

// The fields of a trimmed text that ends with the separator (one is added
// when it does not): "a;b" gives a, b; "a;b;" too; "" gives one empty field.
QStringList fieldsOf(const QString &text, const QString &separator)
{
    QString s = text.trimmed();
    if (!s.endsWith(separator))
        s += separator;
    QStringList fields = s.split(separator);
    fields.removeLast();  // the empty tail after the closing separator
    return fields;
}

}  // namespace

QString SplitField(const QString &text, const QString &separator, int n, const QString &whole)
{
    const QString trimmed = text.trimmed();
    if (separator.isEmpty())
        return n == 1 ? trimmed : QString();
    if (whole == QLatin1String("1") && !trimmed.contains(separator))
        return trimmed;
    if (n < 1)
        return QString();
    const QStringList fields = fieldsOf(trimmed, separator);
    return n <= fields.size() ? fields.at(n - 1) : QString();
}

QString SplitChar(const QString &text, QChar separator, int n)
{
    if (n < 1)
        return QString();
    const QStringList fields = fieldsOf(text, QString(separator));
    return n <= fields.size() ? fields.at(n - 1) : fields.last();
}

bool IsDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

double ToFloatOrZero(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return 0.0;
    return value;
}

namespace {

int runLength(const QString &format, int i, QChar upper)
{
    int n = 0;
    while (i + n < format.size() && format.at(i + n).toUpper() == upper)
        ++n;
    return n;
}

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

bool startsWithNoCase(const QString &format, int i, const char *word)
{
    return format.mid(i).startsWith(QLatin1String(word), Qt::CaseInsensitive);
}

// Date and time format in the notation the module's screens use: letters are
// case-insensitive (yyyy, mm, dd, hh, nn, ss, zzz, am/pm, a/p); m right after
// an h is minutes; '/' is the date separator "-" and ':' the time separator;
// quoted text is copied. Qt-style "yyyy-MM-dd HH:mm:ss" reads the same way.
QString formatDate(const QDateTime &at, const QString &format)
{
    static const QLocale names(QLocale::Chinese, QLocale::China);
    const QDate d = at.date();
    const QTime t = at.time();
    const bool twelveHour = format.contains(QLatin1String("am/pm"), Qt::CaseInsensitive)
                            || format.contains(QLatin1String("a/p"), Qt::CaseInsensitive);
    QString out;
    QChar last;
    int i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        const QChar u = c.toUpper();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = format.indexOf(c, i + 1);
            if (end < 0) {
                out += format.mid(i + 1);
                break;
            }
            out += format.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (startsWithNoCase(format, i, "am/pm")) {
            out += t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            if (format.at(i).isUpper())
                out = out.left(out.size() - 2) + out.right(2).toUpper();
            i += 5;
            continue;
        }
        if (startsWithNoCase(format, i, "a/p")) {
            out += t.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
            if (format.at(i).isUpper())
                out[out.size() - 1] = out.at(out.size() - 1).toUpper();
            i += 3;
            continue;
        }
        if (u == QLatin1Char('Y')) {
            const int n = runLength(format, i, u);
            out += n <= 2 ? twoDigits(d.year() % 100) : QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            i += n;
            last = u;
            continue;
        }
        if (u == QLatin1Char('M') || u == QLatin1Char('N')) {
            const int n = runLength(format, i, u);
            if (u == QLatin1Char('N') || last == QLatin1Char('H')) {
                out += n >= 2 ? twoDigits(t.minute()) : QString::number(t.minute());
                last = QLatin1Char('N');
            } else {
                if (n == 1)
                    out += QString::number(d.month());
                else if (n == 2)
                    out += twoDigits(d.month());
                else if (n == 3)
                    out += names.monthName(d.month(), QLocale::ShortFormat);
                else
                    out += names.monthName(d.month(), QLocale::LongFormat);
                last = QLatin1Char('M');
            }
            i += n;
            continue;
        }
        if (u == QLatin1Char('D')) {
            const int n = runLength(format, i, u);
            if (n == 1)
                out += QString::number(d.day());
            else if (n == 2)
                out += twoDigits(d.day());
            else if (n == 3)
                out += names.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else if (n == 4)
                out += names.dayName(d.dayOfWeek(), QLocale::LongFormat);
            else
                out += d.toString(QStringLiteral("yyyy-MM-dd"));
            i += n;
            last = u;
            continue;
        }
        if (u == QLatin1Char('H')) {
            const int n = runLength(format, i, u);
            int h = t.hour();
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += n >= 2 ? twoDigits(h) : QString::number(h);
            i += n;
            last = u;
            continue;
        }
        if (u == QLatin1Char('S')) {
            const int n = runLength(format, i, u);
            out += n >= 2 ? twoDigits(t.second()) : QString::number(t.second());
            i += n;
            last = u;
            continue;
        }
        if (u == QLatin1Char('Z')) {
            const int n = runLength(format, i, u);
            out += n >= 3 ? QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0')) : QString::number(t.msec());
            i += n;
            last = u;
            continue;
        }
        if (u == QLatin1Char('C')) {
            out += at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            ++i;
            last = u;
            continue;
        }
        if (u == QLatin1Char('T')) {
            const int n = runLength(format, i, u);
            out += t.toString(n >= 2 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
            i += n;
            last = u;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out += QLatin1Char('-');
            ++i;
            continue;
        }
        out += c;
        if (c.isLetter())
            last = u;
        ++i;
    }
    return out;
}

}  // namespace

QString DateText(const QDateTime &date, const QString &format)
{
    if (!date.isValid())
        return QString();
    return formatDate(date, format.isEmpty() ? QStringLiteral("YYYYMMDD") : format);
}

QString RangeDateText(const QDate &first, const QDate &second, int which)
{
    QDate pick;
    if (!first.isValid())
        pick = second;
    else if (!second.isValid())
        pick = first;
    else if (which == 0)
        pick = qMin(first, second);
    else
        pick = qMax(first, second);
    return pick.isValid() ? pick.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QString TextBetween(const QString &text, const QString &startMark, const QString &endMark)
{
    const int start = text.indexOf(startMark);
    if (start < 0)
        return QString();
    const int from = start + startMark.size();
    const int end = endMark.isEmpty() ? -1 : text.indexOf(endMark, from);
    if (end < 0)
        return QString();
    return text.mid(from, end - from);
}

QString ReplaceAll(const QString &text, const QString &oldText, const QString &newText)
{
    if (oldText.isEmpty())
        return text;
    QString result = text;
    return result.replace(oldText, newText);
}

bool SaveTextAsFile(const QString &text, const QString &path)
{
    QString file = path;
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QFile::exists(file) && !QFile::remove(file))
        return false;
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes = toGbk(text);
    bytes += "\r\n";
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

QString IdNumber18(const QString &id15)
{
    if (id15.size() != 15 || !IsDigits(id15))
        return QString();
    const QString id17 = id15.left(6) + QStringLiteral("19") + id15.mid(6);
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (id17.at(i).unicode() - '0') * weights[i];
    static const char checks[] = "10x98765432";
    return id17 + QLatin1Char(checks[sum % 11]);
}

QString QuotedSql(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

namespace {

// One list item or value in the form it is compared in: trimmed, and a run of
// digits without its leading zeros ("007" and "7" are one window).
QString listKey(const QString &item)
{
    QString key = item.trimmed();
    if (IsDigits(key)) {
        int i = 0;
        while (i < key.size() - 1 && key.at(i) == QLatin1Char('0'))
            ++i;
        key = key.mid(i);
    }
    return key;
}

}  // namespace

bool InCommaList(const QString &list, const QString &value)
{
    const QString key = listKey(value);
    if (key.isEmpty())
        return false;
    const QStringList items = list.split(QLatin1Char(','));
    for (const QString &item : items) {
        if (listKey(item) == key)
            return true;
    }
    return false;
}

}  // namespace mzpy
