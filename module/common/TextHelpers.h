// Small text rules shared by every screen.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace mzpy {

QString SplitField(const QString &text, const QString &separator, int n, const QString &whole = QString());
QString SplitChar(const QString &text, QChar separator, int n);  // single-character split
bool IsDigits(const QString &text);
double ToFloatOrZero(const QString &text);
QString DateText(const QDateTime &date, const QString &format = QString());  // "YYYYMMDD" by default
QString RangeDateText(const QDate &first, const QDate &second, int which);
QString TextBetween(const QString &text, const QString &startMark, const QString &endMark);
QString ReplaceAll(const QString &text, const QString &oldText, const QString &newText);
bool SaveTextAsFile(const QString &text, const QString &path);
QString IdNumber18(const QString &id15);
QString QuotedSql(const QString &text);  // 'text' with inner apostrophes doubled
// List membership: "," + value + "," in "," + list + ","; numbers compared
// as decimal text without leading zeros.
bool InCommaList(const QString &list, const QString &value);

}  // namespace mzpy
