// Oracle's built-in SQL functions on the embedded engine, with Oracle's
// semantics: '' is NULL, NULL in gives NULL out where Oracle does, byte
// functions count GBK bytes, dates are text "yyyy-MM-dd HH:mm:ss" (or
// "yyyy-MM-dd").
//
// Also the helpers the Oracle adapter's translations call: ora_sysdate,
// ora_date_add, ora_nextval / ora_currval and ora_concat.
#include "hisdb/hisdb.h"
#include "hisdb/ora_functions.h"
#include "ora_gbk.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QStringDecoder>
#include <QSysInfo>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sqlite3.h>
#include <string>

namespace hisdb {

namespace {

// ------------------------------------------------------------ session state

struct Session {
    QString terminal;
    QHash<QString, qint64> currval;
};

QMutex g_sessionsMutex;
QHash<sqlite3 *, Session *> &sessions()
{
    static QHash<sqlite3 *, Session *> map;
    return map;
}

void destroySession(void *p)
{
    auto *s = static_cast<Session *>(p);
    QMutexLocker lock(&g_sessionsMutex);
    for (auto it = sessions().begin(); it != sessions().end();) {
        if (it.value() == s)
            it = sessions().erase(it);
        else
            ++it;
    }
    delete s;
}

Session *session(sqlite3_context *ctx) { return static_cast<Session *>(sqlite3_user_data(ctx)); }

// ------------------------------------------------------------ values

bool isNull(sqlite3_value *v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_NULL || (t == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i)
        if (isNull(argv[i]))
            return true;
    return false;
}

// Decimal rounding (half away from zero) or truncation of x at d decimals,
// on the value as its decimal text reads (2.675 rounds to 2.68).
double roundDecimal(double x, int d, bool truncate)
{
    if (!std::isfinite(x))
        return x;
    const long double scale = std::pow(10.0L, d);
    long double y = static_cast<long double>(x) * scale;
    const long double nudge = std::fabs(y) * 1e-14L;
    y += (y < 0 ? -nudge : nudge);
    y = truncate ? std::trunc(y) : std::round(y);
    return static_cast<double>(y / scale);
}

// A number as Oracle prints it without a format: 2, 0.5 → ".5", -0.25 → "-.25".
QString numberText(double d)
{
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(static_cast<qint64>(d));
    if (!std::isfinite(d))
        return d > 0 ? QStringLiteral("~") : (d < 0 ? QStringLiteral("-~") : QStringLiteral("NaN"));
    const int mag = static_cast<int>(std::floor(std::log10(std::fabs(d)))) + 1;
    const int decimals = std::clamp(15 - mag, 0, 40);
    QString s = QString::number(d, 'f', decimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

QString text(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    }
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    if (s.isEmpty()) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), u.size(), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context *ctx, const QString &msg)
{
    const QByteArray u = msg.toUtf8();
    sqlite3_result_error(ctx, u.constData(), u.size());
}

const char kInvalidNumber[] = "ORA-01722: invalid number";

// Parses Oracle number text (blanks around allowed).
bool parseNumber(const QString &raw, double &d, qint64 &i, bool &isInt)
{
    const QString s = raw.trimmed();
    if (s.isEmpty())
        return false;
    bool ok = false;
    const bool plainInt = !s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e'), Qt::CaseInsensitive);
    if (plainInt) {
        i = s.toLongLong(&ok);
        if (ok) {
            isInt = true;
            d = static_cast<double>(i);
            return true;
        }
    }
    for (QChar c : s)
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+')
              || c == QLatin1Char('e') || c == QLatin1Char('E')))
            return false;
    d = s.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    isInt = false;
    return true;
}

// The numeric value of an argument: numbers as they are, text parsed.
bool numberArg(sqlite3_value *v, double &d, qint64 &i, bool &isInt)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        i = sqlite3_value_int64(v);
        d = static_cast<double>(i);
        isInt = true;
        return true;
    case SQLITE_FLOAT:
        d = sqlite3_value_double(v);
        isInt = false;
        return true;
    case SQLITE_TEXT:
        return parseNumber(text(v), d, i, isInt);
    default:
        return false;
    }
}

// Number argument or ORA-01722 (returns false after setting the error).
bool needNumber(sqlite3_context *ctx, sqlite3_value *v, double &d)
{
    qint64 i;
    bool isInt;
    if (!numberArg(v, d, i, isInt)) {
        sqlite3_result_error(ctx, kInvalidNumber, -1);
        return false;
    }
    return true;
}

void resultNumber(sqlite3_context *ctx, double d)
{
    if (d == std::floor(d) && std::fabs(d) < 9.2e18)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
    else
        sqlite3_result_double(ctx, d);
}

// ------------------------------------------------------------ dates

struct DateTime {
    int y = 0, mo = 1, d = 1, h = 0, mi = 0, s = 0;
};

int daysInMonth(int y, int m)
{
    static const int dm[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        return 29;
    return dm[m - 1];
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<qint64>(doe) - 719468;
}

void civilFromDays(qint64 z, int &y, int &m, int &d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 yy = static_cast<qint64>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

bool digitsAt(QStringView s, int pos, int n, int &value)
{
    if (pos + n > s.size())
        return false;
    value = 0;
    for (int k = 0; k < n; ++k) {
        const QChar c = s[pos + k];
        if (!c.isDigit())
            return false;
        value = value * 10 + c.digitValue();
    }
    return true;
}

// "yyyy-MM-dd", "yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss" (also with '/' or
// 'T'); with compact also "yyyyMMdd".
bool parseDate(QStringView s, DateTime &dt, bool compact = false)
{
    s = s.trimmed();
    if (compact && s.size() == 8 && digitsAt(s, 0, 4, dt.y) && digitsAt(s, 4, 2, dt.mo) && digitsAt(s, 6, 2, dt.d)) {
        dt.h = dt.mi = dt.s = 0;
    } else {
        if (s.size() < 10 || !digitsAt(s, 0, 4, dt.y) || !(s[4] == QLatin1Char('-') || s[4] == QLatin1Char('/'))
            || !digitsAt(s, 5, 2, dt.mo) || s[7] != s[4] || !digitsAt(s, 8, 2, dt.d))
            return false;
        dt.h = dt.mi = dt.s = 0;
        if (s.size() > 10) {
            if (!(s[10] == QLatin1Char(' ') || s[10] == QLatin1Char('T')) || !digitsAt(s, 11, 2, dt.h)
                || s.size() < 16 || s[13] != QLatin1Char(':') || !digitsAt(s, 14, 2, dt.mi))
                return false;
            if (s.size() > 16) {
                if (s[16] != QLatin1Char(':') || !digitsAt(s, 17, 2, dt.s))
                    return false;
                if (s.size() > 19 && s[19] != QLatin1Char('.'))
                    return false;
            }
        }
    }
    return dt.mo >= 1 && dt.mo <= 12 && dt.d >= 1 && dt.d <= daysInMonth(dt.y, dt.mo) && dt.h < 24 && dt.mi < 60
           && dt.s < 60;
}

QString dateText(const DateTime &dt)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", dt.y, dt.mo, dt.d, dt.h, dt.mi, dt.s);
    return QString::fromLatin1(buf);
}

qint64 toSeconds(const DateTime &dt)
{
    return daysFromCivil(dt.y, dt.mo, dt.d) * 86400 + dt.h * 3600 + dt.mi * 60 + dt.s;
}

DateTime fromSeconds(qint64 secs)
{
    DateTime dt;
    qint64 days = secs / 86400;
    qint64 rem = secs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    civilFromDays(days, dt.y, dt.mo, dt.d);
    dt.h = static_cast<int>(rem / 3600);
    dt.mi = static_cast<int>(rem / 60 % 60);
    dt.s = static_cast<int>(rem % 60);
    return dt;
}

bool dateArg(sqlite3_context *ctx, sqlite3_value *v, DateTime &dt)
{
    if (sqlite3_value_type(v) == SQLITE_TEXT && parseDate(text(v), dt))
        return true;
    resultError(ctx, QStringLiteral("ORA-01858: a non-numeric character was found where a numeric was expected (not a date: %1)")
                         .arg(text(v)));
    return false;
}

const char *const kMonths[] = {"JANUARY", "FEBRUARY", "MARCH", "APRIL", "MAY", "JUNE", "JULY",
                               "AUGUST", "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char *const kDays[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

// Date format model elements, longest first.
const char *const kDateElements[] = {"SSSSS", "MONTH", "YYYY", "RRRR", "HH24", "HH12", "A.M.", "P.M.", "YYY", "MON",
                                     "DDD", "DAY", "YY", "RR", "MM", "DD", "DY", "HH", "MI", "SS", "AM", "PM",
                                     "FM", "WW", "Y", "D", "Q", "W"};

// Splits a date format model into elements; quoted text and punctuation are
// literal. Returns false on an unknown element.
bool splitDateFormat(const QString &fmt, QStringList &parts, QList<bool> &literal)
{
    int i = 0;
    while (i < fmt.size()) {
        const QChar c = fmt[i];
        if (c == QLatin1Char('"')) {
            const int e = fmt.indexOf(QLatin1Char('"'), i + 1);
            if (e < 0)
                return false;
            parts << fmt.mid(i + 1, e - i - 1);
            literal << true;
            i = e + 1;
            continue;
        }
        if (!c.isLetter()) {
            parts << QString(c);
            literal << true;
            ++i;
            continue;
        }
        bool found = false;
        for (const char *el : kDateElements) {
            const int n = static_cast<int>(std::strlen(el));
            if (fmt.mid(i, n).compare(QLatin1String(el), Qt::CaseInsensitive) == 0) {
                parts << QLatin1String(el);
                literal << false;
                i += n;
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool formatDate(const DateTime &dt, const QString &fmt, QString &out)
{
    QStringList parts;
    QList<bool> literal;
    if (!splitDateFormat(fmt, parts, literal))
        return false;
    auto pad = [](int v, int w) { return QStringLiteral("%1").arg(v, w, 10, QLatin1Char('0')); };
    const qint64 days = daysFromCivil(dt.y, dt.mo, dt.d);
    const int dow = static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
    const int doy = static_cast<int>(days - daysFromCivil(dt.y, 1, 1)) + 1;
    for (int k = 0; k < parts.size(); ++k) {
        const QString &p = parts[k];
        if (literal[k]) {
            out += p;
            continue;
        }
        if (p == QLatin1String("YYYY") || p == QLatin1String("RRRR"))
            out += pad(dt.y, 4);
        else if (p == QLatin1String("YYY"))
            out += pad(dt.y % 1000, 3);
        else if (p == QLatin1String("YY") || p == QLatin1String("RR"))
            out += pad(dt.y % 100, 2);
        else if (p == QLatin1String("Y"))
            out += QString::number(dt.y % 10);
        else if (p == QLatin1String("MM"))
            out += pad(dt.mo, 2);
        else if (p == QLatin1String("MON"))
            out += QLatin1String(kMonths[dt.mo - 1]).left(3);
        else if (p == QLatin1String("MONTH"))
            out += QStringLiteral("%1").arg(QLatin1String(kMonths[dt.mo - 1]), -9);
        else if (p == QLatin1String("DD"))
            out += pad(dt.d, 2);
        else if (p == QLatin1String("DDD"))
            out += pad(doy, 3);
        else if (p == QLatin1String("D"))
            out += QString::number(dow + 1);
        else if (p == QLatin1String("DAY"))
            out += QStringLiteral("%1").arg(QLatin1String(kDays[dow]), -9);
        else if (p == QLatin1String("DY"))
            out += QLatin1String(kDays[dow]).left(3);
        else if (p == QLatin1String("HH24"))
            out += pad(dt.h, 2);
        else if (p == QLatin1String("HH") || p == QLatin1String("HH12"))
            out += pad(dt.h % 12 == 0 ? 12 : dt.h % 12, 2);
        else if (p == QLatin1String("MI"))
            out += pad(dt.mi, 2);
        else if (p == QLatin1String("SS"))
            out += pad(dt.s, 2);
        else if (p == QLatin1String("SSSSS"))
            out += pad(dt.h * 3600 + dt.mi * 60 + dt.s, 5);
        else if (p == QLatin1String("AM") || p == QLatin1String("PM"))
            out += dt.h < 12 ? QLatin1String("AM") : QLatin1String("PM");
        else if (p == QLatin1String("A.M.") || p == QLatin1String("P.M."))
            out += dt.h < 12 ? QLatin1String("A.M.") : QLatin1String("P.M.");
        else if (p == QLatin1String("Q"))
            out += QString::number((dt.mo - 1) / 3 + 1);
        else if (p == QLatin1String("WW"))
            out += pad((doy - 1) / 7 + 1, 2);
        else if (p == QLatin1String("W"))
            out += QString::number((dt.d - 1) / 7 + 1);
        // FM: fill mode, no effect on these fixed-width elements
    }
    return true;
}

// Parses text by a date format model (to_date).
bool parseByFormat(const QString &s, const QString &fmt, DateTime &dt)
{
    QStringList parts;
    QList<bool> literal;
    if (!splitDateFormat(fmt, parts, literal))
        return false;
    const QDate today = QDate::currentDate();
    dt = DateTime();
    dt.y = today.year();
    dt.mo = today.month();
    int pos = 0;
    auto readInt = [&](int maxDigits, int &v) {
        while (pos < s.size() && s[pos] == QLatin1Char(' '))
            ++pos;
        int n = 0;
        v = 0;
        while (pos < s.size() && n < maxDigits && s[pos].isDigit()) {
            v = v * 10 + s[pos].digitValue();
            ++pos;
            ++n;
        }
        return n > 0;
    };
    bool pm = false, hasAmPm = false;
    for (int k = 0; k < parts.size(); ++k) {
        const QString &p = parts[k];
        if (literal[k]) {
            // punctuation matches any punctuation (or none), as Oracle is lenient
            if (pos < s.size() && !s[pos].isLetterOrNumber())
                ++pos;
            continue;
        }
        int v = 0;
        if (p == QLatin1String("YYYY") || p == QLatin1String("RRRR")) {
            if (!readInt(4, v))
                return false;
            dt.y = v;
        } else if (p == QLatin1String("YY") || p == QLatin1String("RR")) {
            if (!readInt(2, v))
                return false;
            dt.y = (p == QLatin1String("RR") && v >= 50) ? 1900 + v : 2000 + v;
        } else if (p == QLatin1String("MM")) {
            if (!readInt(2, v))
                return false;
            dt.mo = v;
        } else if (p == QLatin1String("MON") || p == QLatin1String("MONTH")) {
            bool ok = false;
            for (int m = 0; m < 12 && !ok; ++m) {
                const QString name = QLatin1String(kMonths[m]);
                const int n = p == QLatin1String("MON") ? 3 : name.size();
                if (s.mid(pos, n).compare(name.left(n), Qt::CaseInsensitive) == 0) {
                    dt.mo = m + 1;
                    pos += n;
                    ok = true;
                }
            }
            if (!ok)
                return false;
        } else if (p == QLatin1String("DD")) {
            if (!readInt(2, v))
                return false;
            dt.d = v;
        } else if (p == QLatin1String("HH24") || p == QLatin1String("HH") || p == QLatin1String("HH12")) {
            if (!readInt(2, v))
                return false;
            dt.h = v;
        } else if (p == QLatin1String("MI")) {
            if (!readInt(2, v))
                return false;
            dt.mi = v;
        } else if (p == QLatin1String("SS")) {
            if (!readInt(2, v))
                return false;
            dt.s = v;
        } else if (p == QLatin1String("AM") || p == QLatin1String("PM")) {
            hasAmPm = true;
            pm = s.mid(pos, 2).compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
            pos += 2;
        } else if (p != QLatin1String("FM")) {
            return false;
        }
    }
    if (hasAmPm && pm && dt.h < 12)
        dt.h += 12;
    if (s.mid(pos).trimmed().size() > 0)
        return false;
    return dt.mo >= 1 && dt.mo <= 12 && dt.d >= 1 && dt.d <= daysInMonth(dt.y, dt.mo) && dt.h < 24 && dt.mi < 60
           && dt.s < 60;
}

// ------------------------------------------------------------ number formats

// A number format model: FM, then only 9, 0, '.', 'D', ',' and 'G'.
bool isNumberFormat(QString fmt)
{
    if (fmt.startsWith(QLatin1String("FM"), Qt::CaseInsensitive))
        fmt = fmt.mid(2);
    if (fmt.isEmpty())
        return false;
    for (QChar c : fmt)
        if (!QStringLiteral("90.,DdGg").contains(c))
            return false;
    return fmt.contains(QLatin1Char('9')) || fmt.contains(QLatin1Char('0'));
}

// to_char(number, 'FM990.00') and the like: 9, 0, '.', 'D', ',', 'G', FM.
bool formatNumber(double x, QString fmt, QString &out)
{
    bool fm = false;
    if (fmt.startsWith(QLatin1String("FM"), Qt::CaseInsensitive)) {
        fm = true;
        fmt = fmt.mid(2);
    }
    int dot = fmt.indexOf(QLatin1Char('.'));
    if (dot < 0)
        dot = fmt.indexOf(QLatin1Char('D'), 0, Qt::CaseInsensitive);
    const QString intFmt = dot >= 0 ? fmt.left(dot) : fmt;
    const QString decFmt = dot >= 0 ? fmt.mid(dot + 1) : QString();
    int intSlots = 0, zeroFrom = -1;
    for (QChar c : intFmt) {
        if (c == QLatin1Char('9') || c == QLatin1Char('0')) {
            if (c == QLatin1Char('0') && zeroFrom < 0)
                zeroFrom = intSlots;
            ++intSlots;
        } else if (!(c == QLatin1Char(',') || c.toUpper() == QLatin1Char('G'))) {
            return false;
        }
    }
    for (QChar c : decFmt)
        if (!(c == QLatin1Char('9') || c == QLatin1Char('0')))
            return false;
    const int decimals = decFmt.size();
    const double r = roundDecimal(x, decimals, false);
    const bool neg = r < 0;
    const QString digits = QString::number(std::fabs(r), 'f', decimals);
    QString ip = digits.section(QLatin1Char('.'), 0, 0);
    QString dp = decimals > 0 ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    if (ip == QLatin1String("0"))
        ip.clear();
    if (ip.size() > intSlots) {
        out = QString(fmt.size() + 1, QLatin1Char('#'));
        return true;
    }
    int shown = std::max<int>(ip.size(), zeroFrom >= 0 ? intSlots - zeroFrom : 0);
    if (shown == 0 && decimals == 0)
        shown = 1;  // zero prints as 0
    const QString padded = QString(shown - ip.size(), QLatin1Char('0')) + ip;
    QString body;
    int blanks = 0, slot = 0;
    for (int k = intFmt.size() - 1; k >= 0; --k) {
        const QChar f = intFmt[k];
        if (f == QLatin1Char('9') || f == QLatin1Char('0')) {
            if (slot < shown)
                body.prepend(padded[shown - 1 - slot]);
            else
                ++blanks;
            ++slot;
        } else if (slot < shown) {
            body.prepend(QLatin1Char(','));
        } else {
            ++blanks;
        }
    }
    if (shown > intSlots)
        body = padded;  // a format without integer positions still shows the 0
    if (dot >= 0) {
        if (fm) {
            int keep = dp.size();
            while (keep > 0 && decFmt[keep - 1] == QLatin1Char('9') && dp[keep - 1] == QLatin1Char('0'))
                --keep;
            dp = dp.left(keep);
        }
        body += QLatin1Char('.') + dp;
    }
    if (fm)
        out = (neg ? QStringLiteral("-") : QString()) + body;
    else
        out = QString(blanks, QLatin1Char(' ')) + (neg ? QLatin1Char('-') : QLatin1Char(' ')) + body;
    return true;
}

// ------------------------------------------------------------ functions

void fnSysdate(sqlite3_context *ctx, int, sqlite3_value **) { resultText(ctx, nowText()); }

void fnDateAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]) || isNull(argv[1]))
        return sqlite3_result_null(ctx);
    DateTime dt;
    double days;
    if (!needNumber(ctx, argv[1], days))
        return;
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT || !parseDate(text(argv[0]), dt)) {
        // not a date: plain number arithmetic
        double d;
        if (!needNumber(ctx, argv[0], d))
            return;
        if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && sqlite3_value_type(argv[1]) == SQLITE_INTEGER)
            return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]) + sqlite3_value_int64(argv[1]));
        return resultNumber(ctx, d + days);
    }
    resultText(ctx, dateText(fromSeconds(toSeconds(dt) + std::llround(days * 86400.0))));
}

void fnNextval(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString name = text(argv[0]).toUpper();
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    sqlite3_stmt *st = nullptr;
    const char *sql = "insert into HISDB_SEQUENCE(NAME,VALUE) values(?1,1) "
                      "on conflict(NAME) do update set VALUE=VALUE+1 returning VALUE";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        resultError(ctx, QStringLiteral("sequence %1: %2").arg(name, QString::fromUtf8(sqlite3_errmsg(db))));
        sqlite3_finalize(st);
        return;
    }
    const QByteArray n = name.toUtf8();
    sqlite3_bind_text(st, 1, n.constData(), n.size(), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) {
        resultError(ctx, QStringLiteral("sequence %1: %2").arg(name, QString::fromUtf8(sqlite3_errmsg(db))));
        sqlite3_finalize(st);
        return;
    }
    const qint64 v = sqlite3_column_int64(st, 0);
    sqlite3_step(st);
    sqlite3_finalize(st);
    session(ctx)->currval.insert(name, v);
    sqlite3_result_int64(ctx, v);
}

void fnCurrval(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const QString name = text(argv[0]).toUpper();
    auto it = session(ctx)->currval.constFind(name);
    if (it == session(ctx)->currval.constEnd())
        return resultError(ctx, QStringLiteral("ORA-08002: sequence %1.CURRVAL is not yet defined in this session").arg(name));
    sqlite3_result_int64(ctx, it.value());
}

// a || b || ...: NULL operands are skipped; NULL only when all are.
void fnConcat(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    std::string out;
    for (int i = 0; i < argc; ++i) {
        sqlite3_value *v = argv[i];
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER:
            out += std::to_string(sqlite3_value_int64(v));
            break;
        case SQLITE_FLOAT:
            out += numberText(sqlite3_value_double(v)).toStdString();
            break;
        default:
            out.append(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
        }
    }
    if (out.empty())
        return sqlite3_result_null(ctx);
    sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void fnNvl(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        isNull(argv[1]) ? sqlite3_result_null(ctx) : sqlite3_result_value(ctx, argv[1]);
    else
        sqlite3_result_value(ctx, argv[0]);
}

void fnNvl2(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *r = isNull(argv[0]) ? argv[2] : argv[1];
    isNull(r) ? sqlite3_result_null(ctx) : sqlite3_result_value(ctx, r);
}

// Oracle's comparison of two non-null values: numerically when either is a
// number and the other reads as one, else as text.
bool oraEqual(sqlite3_value *a, sqlite3_value *b)
{
    const int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
    if (ta == SQLITE_INTEGER || ta == SQLITE_FLOAT || tb == SQLITE_INTEGER || tb == SQLITE_FLOAT) {
        double da, db;
        qint64 ia, ib;
        bool xa, xb;
        if (numberArg(a, da, ia, xa) && numberArg(b, db, ib, xb))
            return (xa && xb) ? ia == ib : da == db;
    }
    return text(a) == text(b);
}

int oraCompare(sqlite3_value *a, sqlite3_value *b, bool numeric)
{
    if (numeric) {
        double da, db;
        qint64 i;
        bool x;
        if (numberArg(a, da, i, x) && numberArg(b, db, i, x))
            return da < db ? -1 : (da > db ? 1 : 0);
    }
    return QString::compare(text(a), text(b));
}

void fnDecode(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc < 3)
        return resultError(ctx, QStringLiteral("ORA-00938: not enough arguments for function"));
    const bool exprNull = isNull(argv[0]);
    int i = 1;
    for (; i + 1 < argc; i += 2) {
        const bool searchNull = isNull(argv[i]);
        if ((exprNull && searchNull) || (!exprNull && !searchNull && oraEqual(argv[0], argv[i]))) {
            isNull(argv[i + 1]) ? sqlite3_result_null(ctx) : sqlite3_result_value(ctx, argv[i + 1]);
            return;
        }
    }
    if (i < argc && !isNull(argv[i]))
        sqlite3_result_value(ctx, argv[i]);
    else
        sqlite3_result_null(ctx);
}

void fnToChar(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const int t = sqlite3_value_type(argv[0]);
    if (argc < 2 || isNull(argv[1])) {
        if (argc >= 2)
            return sqlite3_result_null(ctx);
        if (t == SQLITE_BLOB)
            return resultText(ctx, QString::fromUtf8(static_cast<const char *>(sqlite3_value_blob(argv[0])),
                                                     sqlite3_value_bytes(argv[0])));
        return resultText(ctx, text(argv[0]));
    }
    const QString fmt = text(argv[1]);
    QString out;
    DateTime dt;
    if (!isNumberFormat(fmt)) {
        if (t != SQLITE_TEXT || !parseDate(text(argv[0]), dt, true))
            return resultError(ctx, QStringLiteral("ORA-01722: invalid number (%1 is not a date for format %2)")
                                        .arg(text(argv[0]), fmt));
        if (!formatDate(dt, fmt, out))
            return resultError(ctx, QStringLiteral("ORA-01821: date format not recognized: %1").arg(fmt));
        return resultText(ctx, out);
    }
    double d;
    qint64 i;
    bool isInt;
    if (!numberArg(argv[0], d, i, isInt))
        return sqlite3_result_error(ctx, kInvalidNumber, -1);
    if (!formatNumber(d, fmt, out))
        return resultError(ctx, QStringLiteral("ORA-01481: invalid number format model: %1").arg(fmt));
    resultText(ctx, out);
}

void fnToNumber(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d;
    qint64 i;
    bool isInt;
    QString s = text(argv[0]);
    if (argc >= 2)
        s.remove(QLatin1Char(','));  // group separators of a format model
    if (!parseNumber(s, d, i, isInt))
        return sqlite3_result_error(ctx, kInvalidNumber, -1);
    if (isInt)
        sqlite3_result_int64(ctx, i);
    else
        resultNumber(ctx, d);
}

void fnToDate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString s = text(argv[0]);
    DateTime dt;
    const bool ok = (argc < 2 || isNull(argv[1])) ? parseDate(s, dt, true) : parseByFormat(s, text(argv[1]), dt);
    if (!ok)
        return resultError(ctx, QStringLiteral("ORA-01861: literal does not match format string (%1)").arg(s));
    resultText(ctx, dateText(dt));
}

void fnTrunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    DateTime dt;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && parseDate(text(argv[0]), dt)) {
        const QString f = argc >= 2 && !isNull(argv[1]) ? text(argv[1]).toUpper() : QStringLiteral("DD");
        if (f == QLatin1String("YYYY") || f == QLatin1String("YEAR") || f == QLatin1String("YY") || f == QLatin1String("Y")) {
            dt.mo = dt.d = 1;
            dt.h = dt.mi = dt.s = 0;
        } else if (f == QLatin1String("MM") || f == QLatin1String("MONTH") || f == QLatin1String("MON")) {
            dt.d = 1;
            dt.h = dt.mi = dt.s = 0;
        } else if (f == QLatin1String("DD") || f == QLatin1String("DDD") || f == QLatin1String("J")) {
            dt.h = dt.mi = dt.s = 0;
        } else if (f == QLatin1String("HH") || f == QLatin1String("HH24")) {
            dt.mi = dt.s = 0;
        } else if (f == QLatin1String("MI")) {
            dt.s = 0;
        } else {
            return resultError(ctx, QStringLiteral("ORA-01898: too many precision specifiers: %1").arg(f));
        }
        return resultText(ctx, dateText(dt));
    }
    double d, places = 0;
    if (!needNumber(ctx, argv[0], d))
        return;
    if (argc >= 2) {
        if (isNull(argv[1]))
            return sqlite3_result_null(ctx);
        if (!needNumber(ctx, argv[1], places))
            return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && places >= 0)
        return sqlite3_result_value(ctx, argv[0]);
    resultNumber(ctx, roundDecimal(d, static_cast<int>(places), true));
}

void fnRound(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    DateTime dt;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && parseDate(text(argv[0]), dt)) {
        // round(date): to the nearest day
        const qint64 s = toSeconds(dt);
        const qint64 day = (s / 86400 + (s % 86400 >= 43200 ? 1 : 0)) * 86400;
        return resultText(ctx, dateText(fromSeconds(day)));
    }
    double d, places = 0;
    if (!needNumber(ctx, argv[0], d) || (argc >= 2 && !needNumber(ctx, argv[1], places)))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && places >= 0)
        return sqlite3_result_value(ctx, argv[0]);
    resultNumber(ctx, roundDecimal(d, static_cast<int>(places), false));
}

void fnCeilFloor(sqlite3_context *ctx, int, sqlite3_value **argv, bool ceil)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d;
    if (!needNumber(ctx, argv[0], d))
        return;
    const double r = roundDecimal(d, 0, true);
    resultNumber(ctx, ceil ? (r < d ? r + 1 : r) : (r > d ? r - 1 : r));
}
void fnCeil(sqlite3_context *ctx, int argc, sqlite3_value **argv) { fnCeilFloor(ctx, argc, argv, true); }
void fnFloor(sqlite3_context *ctx, int argc, sqlite3_value **argv) { fnCeilFloor(ctx, argc, argv, false); }

void fnMod(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    double a, b;
    qint64 ia, ib;
    bool xa, xb;
    if (!numberArg(argv[0], a, ia, xa) || !numberArg(argv[1], b, ib, xb))
        return sqlite3_result_error(ctx, kInvalidNumber, -1);
    if (xa && xb)
        return sqlite3_result_int64(ctx, ib == 0 ? ia : ia % ib);
    if (b == 0)
        return resultNumber(ctx, a);
    resultNumber(ctx, a - b * std::trunc(a / b));
}

void fnSign(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d;
    if (!needNumber(ctx, argv[0], d))
        return;
    sqlite3_result_int(ctx, d > 0 ? 1 : (d < 0 ? -1 : 0));
}

void fnGreatestLeast(sqlite3_context *ctx, int argc, sqlite3_value **argv, int sign)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const int t0 = sqlite3_value_type(argv[0]);
    const bool numeric = t0 == SQLITE_INTEGER || t0 == SQLITE_FLOAT;
    if (numeric) {
        double d;
        for (int i = 1; i < argc; ++i)
            if (!needNumber(ctx, argv[i], d))
                return;
    }
    int best = 0;
    for (int i = 1; i < argc; ++i)
        if (oraCompare(argv[i], argv[best], numeric) * sign > 0)
            best = i;
    sqlite3_result_value(ctx, argv[best]);
}
void fnGreatest(sqlite3_context *ctx, int argc, sqlite3_value **argv) { fnGreatestLeast(ctx, argc, argv, 1); }
void fnLeast(sqlite3_context *ctx, int argc, sqlite3_value **argv) { fnGreatestLeast(ctx, argc, argv, -1); }

// Characters of the text (a surrogate pair is one character).
QVector<QStringView> chars(const QString &s)
{
    QVector<QStringView> out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            out.push_back(QStringView(s).mid(i, 2));
            ++i;
        } else {
            out.push_back(QStringView(s).mid(i, 1));
        }
    }
    return out;
}

int widthOf(QStringView ch) { return ch.size() == 2 ? 1 : gbk::charBytes(ch[0].unicode()); }

// lpad / rpad: the length is the display width in GBK (a CJK character
// counts 2, as Oracle counts in a GBK database); longer text is cut.
void fnPad(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool left)
{
    if (isNull(argv[0]) || isNull(argv[1]) || (argc >= 3 && isNull(argv[2])))
        return sqlite3_result_null(ctx);
    double nd;
    if (!needNumber(ctx, argv[1], nd))
        return;
    const int n = static_cast<int>(std::trunc(nd));
    if (n <= 0)
        return sqlite3_result_null(ctx);
    const QString s = text(argv[0]);
    const QString pad = argc >= 3 ? text(argv[2]) : QStringLiteral(" ");
    const auto sc = chars(s);
    QString body;
    int w = 0;
    for (QStringView ch : sc) {
        const int cw = widthOf(ch);
        if (w + cw > n) {
            if (w < n) {
                body += QLatin1Char(' ');
                ++w;
            }
            break;
        }
        body += ch;
        w += cw;
    }
    if (w >= n)
        return resultText(ctx, body);
    QString fill;
    const auto pc = chars(pad);
    int k = 0;
    while (w < n) {
        QStringView ch = pc[k++ % pc.size()];
        const int cw = widthOf(ch);
        if (w + cw > n) {
            fill += QLatin1Char(' ');
            ++w;
            continue;
        }
        fill += ch;
        w += cw;
    }
    resultText(ctx, left ? fill + body : body + fill);
}
void fnLpad(sqlite3_context *ctx, int argc, sqlite3_value **argv) { fnPad(ctx, argc, argv, true); }
void fnRpad(sqlite3_context *ctx, int argc, sqlite3_value **argv) { fnPad(ctx, argc, argv, false); }

// Oracle's INSTR on a list of units (characters); 1-based result, 0 when
// not found.
int instrUnits(const QVector<QStringView> &s, const QVector<QStringView> &sub, int pos, int occ)
{
    const int n = s.size(), m = sub.size();
    auto matchAt = [&](int p) {
        if (p < 0 || p + m > n)
            return false;
        for (int k = 0; k < m; ++k)
            if (s[p + k] != sub[k])
                return false;
        return true;
    };
    int found = 0;
    if (pos > 0) {
        for (int p = pos - 1; p + m <= n; ++p)
            if (matchAt(p) && ++found == occ)
                return p + 1;
    } else {
        for (int p = n + pos; p >= 0; --p)
            if (matchAt(p) && ++found == occ)
                return p + 1;
    }
    return 0;
}

bool instrArgs(sqlite3_context *ctx, int argc, sqlite3_value **argv, int &pos, int &occ)
{
    pos = 1;
    occ = 1;
    double d;
    if (argc >= 3) {
        if (!needNumber(ctx, argv[2], d))
            return false;
        pos = static_cast<int>(std::trunc(d));
    }
    if (argc >= 4) {
        if (!needNumber(ctx, argv[3], d))
            return false;
        occ = static_cast<int>(std::trunc(d));
        if (occ <= 0) {
            resultError(ctx, QStringLiteral("ORA-01428: argument '%1' is out of range").arg(occ));
            return false;
        }
    }
    return true;
}

void fnInstr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    int pos, occ;
    if (!instrArgs(ctx, argc, argv, pos, occ))
        return;
    if (pos == 0)
        return sqlite3_result_int(ctx, 0);
    sqlite3_result_int(ctx, instrUnits(chars(text(argv[0])), chars(text(argv[1])), pos, occ));
}

// Byte offsets (0-based, GBK) of each character, plus the total at the end.
QVector<int> byteOffsets(const QVector<QStringView> &cs)
{
    QVector<int> off;
    off.reserve(cs.size() + 1);
    int b = 0;
    for (QStringView ch : cs) {
        off.push_back(b);
        b += widthOf(ch);
    }
    off.push_back(b);
    return off;
}

void fnInstrb(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    int pos, occ;
    if (!instrArgs(ctx, argc, argv, pos, occ))
        return;
    if (pos == 0)
        return sqlite3_result_int(ctx, 0);
    const QString str0 = text(argv[0]);
    const auto s = chars(str0);
    const auto off = byteOffsets(s);
    const int total = off.back();
    // the byte position becomes the character that starts at or after it
    int cpos;
    if (pos > 0) {
        if (pos > total)
            return sqlite3_result_int(ctx, 0);
        cpos = static_cast<int>(std::lower_bound(off.begin(), off.end(), pos - 1) - off.begin()) + 1;
    } else {
        const int fromByte = total + pos;  // 0-based byte where the backward search starts
        if (fromByte < 0)
            return sqlite3_result_int(ctx, 0);
        const int c = static_cast<int>(std::upper_bound(off.begin(), off.end(), fromByte) - off.begin()) - 1;
        cpos = c - s.size();  // negative: counted from the end
    }
    const int r = instrUnits(s, chars(text(argv[1])), cpos, occ);
    sqlite3_result_int(ctx, r == 0 ? 0 : off[r - 1] + 1);
}

// The part of a text of n units that substr(text, start[, length]) takes:
// false when the result is NULL (an error has then been set when needed).
bool substrRange(sqlite3_context *ctx, int argc, sqlite3_value **argv, int n, int *start, int *len)
{
    double d;
    if (!needNumber(ctx, argv[1], d))
        return false;
    *start = static_cast<int>(std::trunc(d));
    if (*start == 0)
        *start = 1;
    if (*start < 0)
        *start = n + *start + 1;
    if (*start < 1 || *start > n) {
        sqlite3_result_null(ctx);
        return false;
    }
    *len = n - *start + 1;
    if (argc >= 3) {
        if (!needNumber(ctx, argv[2], d))
            return false;
        if (d < 1) {
            sqlite3_result_null(ctx);
            return false;
        }
        *len = std::min(*len, static_cast<int>(std::trunc(d)));
    }
    return true;
}

void fnSubstr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    int start = 0, len = 0;
    // Plain ASCII text (codes, dates, times: most calls) is cut on its bytes.
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const unsigned char *p = sqlite3_value_text(argv[0]);
        const int bytes = sqlite3_value_bytes(argv[0]);
        bool ascii = true;
        for (int i = 0; i < bytes && ascii; ++i)
            ascii = p[i] < 0x80;
        if (ascii) {
            if (substrRange(ctx, argc, argv, bytes, &start, &len))
                sqlite3_result_text(ctx, reinterpret_cast<const char *>(p) + start - 1, len, SQLITE_TRANSIENT);
            return;
        }
    }
    const QString str0 = text(argv[0]);
    const auto s = chars(str0);
    if (!substrRange(ctx, argc, argv, s.size(), &start, &len))
        return;
    QString out;
    for (int k = start - 1; k < start - 1 + len; ++k)
        out += s[k];
    resultText(ctx, out);
}

// substrb: byte positions in GBK; a character cut by the start or the end
// becomes a blank, as Oracle does.
void fnSubstrb(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    double d;
    if (!needNumber(ctx, argv[1], d))
        return;
    const QString str0 = text(argv[0]);
    const auto s = chars(str0);
    const auto off = byteOffsets(s);
    const int total = off.back();
    int start = static_cast<int>(std::trunc(d));
    if (start == 0)
        start = 1;
    if (start < 0)
        start = total + start + 1;
    if (start < 1 || start > total)
        return sqlite3_result_null(ctx);
    int len = total - start + 1;
    if (argc >= 3) {
        if (!needNumber(ctx, argv[2], d))
            return;
        if (d < 1)
            return sqlite3_result_null(ctx);
        len = std::min(len, static_cast<int>(std::trunc(d)));
    }
    const int b0 = start - 1, b1 = b0 + len;  // byte range [b0, b1)
    QString out;
    for (int k = 0; k < s.size(); ++k) {
        const int cb = off[k], ce = off[k + 1];
        if (ce <= b0 || cb >= b1)
            continue;
        if (cb >= b0 && ce <= b1)
            out += s[k];
        else
            out += QString(std::min(ce, b1) - std::max(cb, b0), QLatin1Char(' '));
    }
    resultText(ctx, out);
}

void fnLength(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_BLOB)
        return sqlite3_result_int(ctx, sqlite3_value_bytes(argv[0]));
    sqlite3_result_int(ctx, chars(text(argv[0])).size());
}

void fnLengthb(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_BLOB)
        return sqlite3_result_int(ctx, sqlite3_value_bytes(argv[0]));
    sqlite3_result_int(ctx, gbk::length(text(argv[0])));
}

void trimImpl(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool left, bool right)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    const QString s = text(argv[0]);
    const QString set = argc >= 2 ? text(argv[1]) : QStringLiteral(" ");
    int b = 0, e = s.size();
    if (left)
        while (b < e && set.contains(s[b]))
            ++b;
    if (right)
        while (e > b && set.contains(s[e - 1]))
            --e;
    resultText(ctx, s.mid(b, e - b));
}
void fnTrim(sqlite3_context *ctx, int argc, sqlite3_value **argv) { trimImpl(ctx, argc, argv, true, true); }
void fnLtrim(sqlite3_context *ctx, int argc, sqlite3_value **argv) { trimImpl(ctx, argc, argv, true, false); }
void fnRtrim(sqlite3_context *ctx, int argc, sqlite3_value **argv) { trimImpl(ctx, argc, argv, false, true); }

void fnReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString s = text(argv[0]);
    if (isNull(argv[1]))
        return resultText(ctx, s);
    const QString to = argc >= 3 && !isNull(argv[2]) ? text(argv[2]) : QString();
    resultText(ctx, QString(s).replace(text(argv[1]), to));
}

void fnChr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    double d;
    if (!needNumber(ctx, argv[0], d))
        return;
    const auto code = static_cast<quint32>(d);
    if (code < 0x80)
        return resultText(ctx, QString(QChar(static_cast<char16_t>(code))));
    // a GBK code (two bytes, high first)
    const char bytes[2] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
    QStringDecoder dec("GBK");
    resultText(ctx, dec.isValid() ? dec.decode(QByteArray(bytes, 2)) : QString(QChar(static_cast<char16_t>(code))));
}

void fnAscii(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    const QString str0 = text(argv[0]);
    const auto cs = chars(str0);
    const QByteArray b = gbk::encode(cs.first());
    qint64 v = 0;
    for (char c : b)
        v = v * 256 + static_cast<unsigned char>(c);
    sqlite3_result_int64(ctx, v);
}

void fnAddMonths(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    DateTime dt;
    double n;
    if (!dateArg(ctx, argv[0], dt) || !needNumber(ctx, argv[1], n))
        return;
    const bool lastDay = dt.d == daysInMonth(dt.y, dt.mo);
    int m = dt.y * 12 + (dt.mo - 1) + static_cast<int>(std::trunc(n));
    dt.y = m / 12;
    dt.mo = m % 12 + 1;
    const int dim = daysInMonth(dt.y, dt.mo);
    if (lastDay || dt.d > dim)
        dt.d = dim;
    resultText(ctx, dateText(dt));
}

void fnMonthsBetween(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv))
        return sqlite3_result_null(ctx);
    DateTime a, b;
    if (!dateArg(ctx, argv[0], a) || !dateArg(ctx, argv[1], b))
        return;
    const int months = (a.y - b.y) * 12 + (a.mo - b.mo);
    const bool lastA = a.d == daysInMonth(a.y, a.mo), lastB = b.d == daysInMonth(b.y, b.mo);
    if (a.d == b.d || (lastA && lastB))
        return sqlite3_result_int(ctx, months);
    const double secsA = a.d * 86400.0 + a.h * 3600 + a.mi * 60 + a.s;
    const double secsB = b.d * 86400.0 + b.h * 3600 + b.mi * 60 + b.s;
    sqlite3_result_double(ctx, months + (secsA - secsB) / (31.0 * 86400.0));
}

void fnLastDay(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (isNull(argv[0]))
        return sqlite3_result_null(ctx);
    DateTime dt;
    if (!dateArg(ctx, argv[0], dt))
        return;
    dt.d = daysInMonth(dt.y, dt.mo);
    resultText(ctx, dateText(dt));
}

QString hostName()
{
    static const QString name = [] {
        QString h = QSysInfo::machineHostName();
        return h.isEmpty() ? QStringLiteral("localhost") : h;
    }();
    return name;
}

void fnSysContext(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(2, argv))
        return sqlite3_result_null(ctx);
    const QString ns = text(argv[0]).toUpper();
    const QString p = text(argv[1]).toUpper();
    (void)argc;
    if (ns != QLatin1String("USERENV"))
        return sqlite3_result_null(ctx);
    if (p == QLatin1String("TERMINAL"))
        return resultText(ctx, session(ctx)->terminal);
    if (p == QLatin1String("HOST"))
        return resultText(ctx, hostName());
    if (p == QLatin1String("IP_ADDRESS"))
        return resultText(ctx, QStringLiteral("127.0.0.1"));
    if (p == QLatin1String("OS_USER")) {
        QString u = qEnvironmentVariable("USER");
        if (u.isEmpty())
            u = qEnvironmentVariable("USERNAME");
        return resultText(ctx, u);
    }
    if (p == QLatin1String("SESSION_USER") || p == QLatin1String("CURRENT_USER") || p == QLatin1String("CURRENT_SCHEMA"))
        return resultText(ctx, QStringLiteral("HIS"));
    if (p == QLatin1String("DB_NAME") || p == QLatin1String("INSTANCE_NAME"))
        return resultText(ctx, QStringLiteral("HISDB"));
    if (p == QLatin1String("SESSIONID") || p == QLatin1String("SID"))
        return sqlite3_result_int64(ctx, static_cast<qint64>(QCoreApplication::applicationPid()));
    if (p == QLatin1String("LANGUAGE"))
        return resultText(ctx, QStringLiteral("SIMPLIFIED CHINESE_CHINA.ZHS16GBK"));
    if (p == QLatin1String("MODULE"))
        return resultText(ctx, QCoreApplication::applicationName());
    return sqlite3_result_null(ctx);
}

// wm_concat: comma-joined non-null values, NULL when there are none.
struct ConcatAgg {
    std::string *text;
};

void wmConcatStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *agg = static_cast<ConcatAgg *>(sqlite3_aggregate_context(ctx, sizeof(ConcatAgg)));
    if (!agg)
        return sqlite3_result_error_nomem(ctx);
    if (isNull(argv[0]))
        return;
    if (!agg->text)
        agg->text = new std::string;
    else
        agg->text->push_back(',');
    const QByteArray u = sqlite3_value_type(argv[0]) == SQLITE_TEXT
                             ? QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]))
                             : text(argv[0]).toUtf8();
    agg->text->append(u.constData(), u.size());
}

void wmConcatFinal(sqlite3_context *ctx)
{
    auto *agg = static_cast<ConcatAgg *>(sqlite3_aggregate_context(ctx, 0));
    if (!agg || !agg->text)
        return sqlite3_result_null(ctx);
    sqlite3_result_text(ctx, agg->text->data(), static_cast<int>(agg->text->size()), SQLITE_TRANSIENT);
    delete agg->text;
    agg->text = nullptr;
}

using Fn = void (*)(sqlite3_context *, int, sqlite3_value **);

}  // namespace

void registerOracleFunctions(sqlite3 *db)
{
    auto *state = new Session;
    state->terminal = hostName();
    {
        QMutexLocker lock(&g_sessionsMutex);
        sessions().insert(db, state);
    }
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    const int volatileFn = SQLITE_UTF8 | SQLITE_INNOCUOUS;
    const int sideEffects = SQLITE_UTF8 | SQLITE_DIRECTONLY;
    struct Reg {
        const char *name;
        int minArgs, maxArgs;  // maxArgs -1: any number
        Fn fn;
        int flags;
    };
    const Reg regs[] = {
        {"ora_sysdate", 0, 0, fnSysdate, volatileFn},
        {"ora_date_add", 2, 2, fnDateAdd, pure},
        {"ora_concat", -1, -1, fnConcat, pure},
        {"nvl", 2, 2, fnNvl, pure},
        {"nvl2", 3, 3, fnNvl2, pure},
        {"decode", -1, -1, fnDecode, pure},
        {"to_char", 1, 2, fnToChar, pure},
        {"to_number", 1, 2, fnToNumber, pure},
        {"to_date", 1, 2, fnToDate, pure},
        {"trunc", 1, 2, fnTrunc, pure},
        {"round", 1, 2, fnRound, pure},
        {"ceil", 1, 1, fnCeil, pure},
        {"floor", 1, 1, fnFloor, pure},
        {"mod", 2, 2, fnMod, pure},
        {"sign", 1, 1, fnSign, pure},
        {"greatest", -1, -1, fnGreatest, pure},
        {"least", -1, -1, fnLeast, pure},
        {"lpad", 2, 3, fnLpad, pure},
        {"rpad", 2, 3, fnRpad, pure},
        {"instr", 2, 4, fnInstr, pure},
        {"instrb", 2, 4, fnInstrb, pure},
        {"substr", 2, 3, fnSubstr, pure},
        {"substrb", 2, 3, fnSubstrb, pure},
        {"length", 1, 1, fnLength, pure},
        {"lengthb", 1, 1, fnLengthb, pure},
        {"trim", 1, 1, fnTrim, pure},
        {"ltrim", 1, 2, fnLtrim, pure},
        {"rtrim", 1, 2, fnRtrim, pure},
        {"replace", 2, 3, fnReplace, pure},
        {"chr", 1, 1, fnChr, pure},
        {"ascii", 1, 1, fnAscii, pure},
        {"add_months", 2, 2, fnAddMonths, pure},
        {"months_between", 2, 2, fnMonthsBetween, pure},
        {"last_day", 1, 1, fnLastDay, pure},
    };
    for (const Reg &r : regs) {
        if (r.minArgs < 0) {
            sqlite3_create_function_v2(db, r.name, -1, r.flags, state, r.fn, nullptr, nullptr, nullptr);
            continue;
        }
        for (int n = r.minArgs; n <= r.maxArgs; ++n)
            sqlite3_create_function_v2(db, r.name, n, r.flags, state, r.fn, nullptr, nullptr, nullptr);
    }
    sqlite3_create_function_v2(db, "sys_context", 2, volatileFn, state, fnSysContext, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sys_context", 3, volatileFn, state, fnSysContext, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "wm_concat", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, state, nullptr, wmConcatStep,
                               wmConcatFinal, nullptr);
    sqlite3_create_function_v2(db, "ora_nextval", 1, sideEffects, state, fnNextval, nullptr, nullptr, nullptr);
    // registered last: owns the session state, freed with the connection
    sqlite3_create_function_v2(db, "ora_currval", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, state, fnCurrval, nullptr,
                               nullptr, destroySession);
}

void setSessionTerminal(sqlite3 *db, const QString &terminal)
{
    QMutexLocker lock(&g_sessionsMutex);
    if (Session *s = sessions().value(db))
        s->terminal = terminal.isEmpty() ? hostName() : terminal;
}

QString sessionTerminal(sqlite3 *db)
{
    QMutexLocker lock(&g_sessionsMutex);
    Session *s = sessions().value(db);
    return s ? s->terminal : QString();
}

}  // namespace hisdb
