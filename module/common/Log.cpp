#include "Log.h"

#include "Codec.h"
#include "Env.h"
#include "Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mzpy {

namespace {

// Folder names arrive in the host's notation ("BYJJK\", "a\b"); on disk every
// separator is '/'. Leading and trailing separators are dropped so the name can
// be joined with one '/'.
QString folderPart(QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    return name;
}

// Creates base + each of the parts in turn, one level at a time. Returns the
// full folder with a trailing '/', or an empty text when a level could not be
// made.
QString makeFolders(const QString &base, const QStringList &parts)
{
    QString path = base;
    for (const QString &part : parts) {
        if (part.isEmpty())
            continue;
        path += part + QLatin1Char('/');
        QFileInfo info(path);
        if (info.isDir())
            continue;
        if (!QDir().mkdir(path))
            return QString();
    }
    return path;
}

bool appendLine(const QString &file, const QString &line)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray bytes = toGbk(line);
    bytes += "\r\n";
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

QString stamp(const QDateTime &at)
{
    return at.toString(QStringLiteral("hh:mm:ss:zzz"));
}

bool writeDayLog(const QDateTime &at, const QStringList &folders, const QString &line)
{
    const QString dir = makeFolders(hostDir(), folders);
    if (dir.isEmpty())
        return false;
    return appendLine(dir + at.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log"), line);
}

}  // namespace

void WriteLog(const QString &text)
{
    const QDateTime at = now();
    const QString line = QStringLiteral("/*") + stamp(at) + QStringLiteral(" */  ") + text;
    if (!writeDayLog(at, {QStringLiteral("Log")}, line))
        ShowInfo(QStringLiteral("写入日志错误"));
}

void WriteNamedLog(const QString &text, const QString &subFolder)
{
    QString folder = folderPart(subFolder);
    if (folder.isEmpty())
        folder = QStringLiteral("Log");
    const QDateTime at = now();
    const QString line = QStringLiteral("/*") + stamp(at) + QStringLiteral(" */  ") + text;
    if (!writeDayLog(at, folder.split(QLatin1Char('/'), Qt::SkipEmptyParts), line))
        ShowInfo(QStringLiteral("写入日志错误"));
}

void WriteInterfaceLog(const QString &folder, const QString &text)
{
    const QDateTime at = now();
    QStringList parts{QStringLiteral("Log")};
    parts += folderPart(folder).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    parts += at.toString(QStringLiteral("yyyyMM"));
    const QString line = stamp(at) + QStringLiteral("  ") + text;
    if (!writeDayLog(at, parts, line))
        ShowInfo(QStringLiteral("写入日志信息错误"));
}

}  // namespace mzpy
