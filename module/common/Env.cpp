#include "Env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace mzpy {

namespace {

QString g_hostDir;
std::function<QDateTime()> g_clock;

QString withTrailingSlash(QString dir)
{
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString processDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the host built its application object: ask the system.
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    if (exe.exists())
        return QFileInfo(exe.canonicalFilePath()).absolutePath();
    return QDir::currentPath();
}

}  // namespace

QString hostDir()
{
    if (!g_hostDir.isEmpty())
        return withTrailingSlash(g_hostDir);
    const QString fromEnv = qEnvironmentVariable("MZPY_HOST_DIR");
    if (!fromEnv.isEmpty())
        return withTrailingSlash(fromEnv);
    return withTrailingSlash(processDir());
}

void setHostDir(const QString &dir)
{
    g_hostDir = dir;
}

QDateTime now()
{
    if (g_clock)
        return g_clock();
    return QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> clock)
{
    g_clock = std::move(clock);
}

QString findFileNoCase(const QString &folder, const QString &name)
{
    const QString dir = folder.isEmpty() ? QString() : withTrailingSlash(folder);
    const QString exact = dir + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries =
        QDir(dir.isEmpty() ? QStringLiteral(".") : dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir + entry;
    }
    return exact;
}

}  // namespace mzpy
