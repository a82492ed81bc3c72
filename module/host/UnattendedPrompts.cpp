#include "UnattendedPrompts.h"

#include "common/Prompts.h"

#include <QFile>

namespace mzpy {

namespace {
class FilePromptService : public RecordingPromptService {
public:
    explicit FilePromptService(const QString &path) : m_path(path) {}

    int messageBox(const MessageRequest &request) override
    {
        const int answer = RecordingPromptService::messageBox(request);
        append(QStringLiteral("message\t%1\t%2\t%3").arg(caption(request.icon), oneLine(FilterMessageText(request.text))).arg(answer));
        return answer;
    }
    QString inputText(const InputRequest &request) override
    {
        const QString answer = RecordingPromptService::inputText(request);
        append(QStringLiteral("input\t%1\t%2\t%3").arg(request.caption, oneLine(request.hint), answer));
        return answer;
    }
    void timedHint(const QString &text, int milliseconds, bool showOk) override
    {
        RecordingPromptService::timedHint(text, milliseconds, showOk);
        append(QStringLiteral("hint\t%1").arg(oneLine(text)));
    }

private:
    static QString caption(int icon)
    {
        return icon == icWarning ? QStringLiteral("警告") : icon == icError ? QStringLiteral("错误") : QStringLiteral("提示");
    }
    static QString oneLine(QString text)
    {
        return text.replace(QLatin1String("\r\n"), QLatin1String("\\n")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    }
    void append(const QString &line)
    {
        QFile f(m_path);
        if (f.open(QIODevice::Append | QIODevice::WriteOnly))
            f.write(line.toUtf8() + '\n');
    }
    QString m_path;
};
QString g_installedPath;
}  // namespace

void InstallUnattendedPromptsFromEnvironment()
{
    const QString path = qEnvironmentVariable("MZPY_PROMPTS_FILE");
    if (path.isEmpty() || path == g_installedPath)
        return;
    setPromptService(std::make_shared<FilePromptService>(path));
    g_installedPath = path;
}

}  // namespace mzpy
