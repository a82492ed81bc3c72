#include "Ini.h"

#include "Codec.h"
#include "Env.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace mzpy {

namespace {

// The file behind a path, its name matched ignoring letter case; empty when
// no such file exists.
QString existingFile(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.isEmpty())
        return QString();
    const QFileInfo info(p);
    const QString folder = p.contains(QLatin1Char('/')) ? info.path() : QString();
    const QString found = findFileNoCase(folder, info.fileName());
    return QFileInfo(found).isFile() ? found : QString();
}

// One line of the file as raw bytes (without its line end) and how it reads.
// GBK trail bytes never take the values of '\n', '\r' or '=', so lines and the
// key/value split can be found on the bytes; untouched lines are written back
// byte for byte.
struct IniLine {
    QByteArray raw;
    enum Kind { Other, Section, Entry } kind = Other;
    QString name;   // section name or key, trimmed
    QString value;  // entry value as read
};

QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

IniLine parseLine(const QByteArray &raw, bool first)
{
    IniLine line;
    line.raw = raw;
    QByteArray bytes = raw;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    if (first && bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QByteArray trimmed = bytes.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return line;
    if (trimmed.startsWith('[')) {
        const int close = trimmed.indexOf(']');
        if (close > 0) {
            line.kind = IniLine::Section;
            line.name = fromGbk(trimmed.mid(1, close - 1)).trimmed();
        }
        return line;
    }
    const int eq = trimmed.indexOf('=');
    if (eq <= 0)
        return line;
    line.kind = IniLine::Entry;
    line.name = fromGbk(trimmed.left(eq)).trimmed();
    line.value = unquoted(fromGbk(trimmed.mid(eq + 1)).trimmed());
    return line;
}

QList<IniLine> readLines(const QString &file, bool *ok)
{
    QList<IniLine> lines;
    QFile f(file);
    *ok = f.open(QIODevice::ReadOnly);
    if (!*ok)
        return lines;
    const QByteArray all = f.readAll();
    if (all.isEmpty())
        return lines;
    QList<QByteArray> raws = all.split('\n');
    if (raws.last().isEmpty())
        raws.removeLast();  // the file ends with a line end
    for (int i = 0; i < raws.size(); ++i)
        lines.append(parseLine(raws.at(i), i == 0));
    return lines;
}

// Index range [begin, end) of the first section of that name (the lines after
// its header); begin = -1 when there is none.
void findSection(const QList<IniLine> &lines, const QString &section, int *begin, int *end)
{
    *begin = -1;
    *end = -1;
    const QString wanted = section.trimmed();
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).kind != IniLine::Section)
            continue;
        if (*begin >= 0) {
            *end = i;
            return;
        }
        if (lines.at(i).name.compare(wanted, Qt::CaseInsensitive) == 0)
            *begin = i + 1;
    }
    if (*begin >= 0)
        *end = lines.size();
}

int findKey(const QList<IniLine> &lines, int begin, int end, const QString &key)
{
    const QString wanted = key.trimmed();
    for (int i = begin; i < end; ++i) {
        if (lines.at(i).kind == IniLine::Entry && lines.at(i).name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

}  // namespace

QString ReadIniValue(const QString &path, const QString &section, const QString &key,
                     const QString &defaultValue)
{
    const QString file = existingFile(path);
    if (file.isEmpty())
        return QString();
    bool ok = false;
    const QList<IniLine> lines = readLines(file, &ok);
    if (!ok)
        return QString();
    int begin, end;
    findSection(lines, section, &begin, &end);
    if (begin < 0 || key.trimmed().isEmpty())
        return defaultValue;
    const int at = findKey(lines, begin, end, key);
    return at < 0 ? defaultValue : lines.at(at).value;
}

void WriteIniValue(const QString &path, const QString &section, const QString &key,
                   const QString &value)
{
    const QString file = existingFile(path);
    if (file.isEmpty() || section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return;
    bool ok = false;
    QList<IniLine> lines = readLines(file, &ok);
    if (!ok)
        return;

    QByteArray eol = "\r\n";
    if (!lines.isEmpty() && !lines.first().raw.endsWith('\r'))
        eol = "\n";
    // A value is one line: line breaks inside it would start new entries.
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray lineEnd = eol == "\r\n" ? QByteArray("\r") : QByteArray();

    int begin, end;
    findSection(lines, section, &begin, &end);
    if (begin < 0) {
        IniLine header;
        header.raw = "[" + toGbk(section.trimmed()) + "]" + lineEnd;
        IniLine entry;
        entry.raw = toGbk(key.trimmed()) + "=" + toGbk(oneLine) + lineEnd;
        if (!lines.isEmpty() && !lines.last().raw.trimmed().isEmpty()) {
            IniLine blank;
            blank.raw = lineEnd;
            lines.append(blank);
        }
        lines.append(header);
        lines.append(entry);
    } else {
        const int at = findKey(lines, begin, end, key);
        if (at >= 0) {
            // Keep the key as the file spells it, replace the value.
            const QByteArray raw = lines.at(at).raw;
            const int eq = raw.indexOf('=');
            lines[at].raw = raw.left(eq + 1) + toGbk(oneLine) + (raw.endsWith('\r') ? "\r" : "");
        } else {
            // New key after the last non-blank line of the section.
            int insertAt = end;
            while (insertAt > begin && lines.at(insertAt - 1).raw.trimmed().isEmpty())
                --insertAt;
            IniLine entry;
            entry.raw = toGbk(key.trimmed()) + "=" + toGbk(oneLine) + lineEnd;
            lines.insert(insertAt, entry);
        }
    }

    QByteArray out;
    for (const IniLine &line : lines) {
        out += line.raw;
        out += '\n';
    }
    QSaveFile f(file);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(out);
    f.commit();
}

QString LoginIniPath()
{
    return findFileNoCase(hostDir(), QStringLiteral("Login.ini"));
}

QString ReadLoginIniValue(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue)
{
    return ReadIniValue(path.isEmpty() ? LoginIniPath() : path, section, key, defaultValue);
}

void WriteLoginIni(const QString &section, const QString &key, const QString &value)
{
    WriteIniValue(LoginIniPath(), section, key, value);
}

}  // namespace mzpy
