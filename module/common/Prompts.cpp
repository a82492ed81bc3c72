#include "Prompts.h"

#include "Log.h"
#include "db/OraConnection.h"
#include "ufrmHintMessage.h"
#include "ufrmInputBox.h"
#include "ufrmMessage.h"

#include <QApplication>
#include <cstdio>

namespace mzpy {

namespace {

bool okShown(int buttons) { return buttons == btOk || buttons == btOkCancel; }
bool yesNoShown(int buttons) { return buttons == btYesNoCancel || buttons == btYesNo; }
bool cancelShown(int buttons) { return buttons == btOkCancel || buttons == btYesNoCancel; }

// The result of a box closed without one of its buttons.
int closedResult(int buttons)
{
    if (cancelShown(buttons))
        return mrCancel;
    if (yesNoShown(buttons))
        return mrNo;
    return mrNone;
}

bool canAnswer(int buttons, int result)
{
    switch (result) {
    case mrOk: return okShown(buttons);
    case mrCancel: return cancelShown(buttons);
    case mrYes:
    case mrNo: return yesNoShown(buttons);
    default: return false;
    }
}

bool haveWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

class DialogPromptService : public PromptService {
public:
    int messageBox(const MessageRequest &request) override
    {
        if (!haveWidgets()) {
            std::fprintf(stderr, "%s\n", FilterMessageText(request.text).toLocal8Bit().constData());
            return closedResult(request.buttons);
        }
        return TfrmMessage::run(request);
    }
    QString inputText(const InputRequest &request) override
    {
        if (!haveWidgets())
            return QString();
        return TfrmInputBox::run(request);
    }
    void timedHint(const QString &text, int milliseconds, bool showOk) override
    {
        if (!haveWidgets())
            return;
        TfrmHintMessage::run(text, milliseconds, showOk);
    }
};

std::shared_ptr<PromptService> &installed()
{
    static std::shared_ptr<PromptService> service;
    return service;
}

}  // namespace

PromptService &prompts()
{
    std::shared_ptr<PromptService> &service = installed();
    if (!service)
        service = std::make_shared<DialogPromptService>();
    return *service;
}

void setPromptService(std::shared_ptr<PromptService> service)
{
    installed() = std::move(service);
}

QString FilterMessageText(const QString &text)
{
    const int ascii = text.indexOf(QLatin1String("!*"));
    const int wide = text.indexOf(QStringLiteral("！*"));
    const int marker = qMax(ascii, wide);  // the later of the markers found
    if (marker <= 0)
        return text;
    const int colon = text.lastIndexOf(QLatin1Char(':'), marker - 1);
    if (colon < 0)
        return text;
    // From after the colon up to and including the exclamation mark.
    return text.mid(colon + 1, marker - colon);
}

int ShowMessageBox(const QString &text, int buttons, int icon, const QString &detail,
                   int focus, int scrollBars)
{
    MessageRequest request;
    request.text = text;
    request.buttons = buttons;
    request.icon = icon;
    request.detail = detail;
    request.focus = focus;
    request.scrollBars = scrollBars;
    return prompts().messageBox(request);
}

void ShowInfo(const QString &text) { ShowMessageBox(text, btOk, icNone, QString(), 1, 0); }

void ShowInfoDetail(const QString &text, const QString &detail)
{
    ShowMessageBox(text, btOk, icNone, detail, 1, 0);
}

void ShowWarning(const QString &text) { ShowMessageBox(text, btOk, icWarning, QString(), 1, 0); }

void ShowError(const QString &text) { ShowMessageBox(text, btOk, icError, QString(), 1, 0); }

void ShowErrorDetail(const QString &text, const QString &detail)
{
    ShowMessageBox(text, btOk, icError, detail, 1, 0);
}

void ShowErrorAbort(const QString &text)
{
    ShowError(text);
    throw SilentAbort();
}

bool ConfirmOk(const QString &text, int focus)
{
    return ShowMessageBox(text, btOkCancel, icNone, QString(), focus, 0) == mrOk;
}

bool ConfirmOkWarning(const QString &text, int focus)
{
    return ShowMessageBox(text, btOkCancel, icWarning, QString(), focus, 0) == mrOk;
}

int AskYesNo(const QString &text, int focus, int scrollBars)
{
    return ShowMessageBox(text, btYesNo, icNone, QString(), focus, scrollBars);
}

bool AskYes(const QString &text, int focus)
{
    return ShowMessageBox(text, btYesNo, icNone, QString(), focus, 0) == mrYes;
}

void PromptOrLog(const QString &text, const QString &mode)
{
    if (mode == QLatin1String("0"))
        ShowWarning(text);
    else if (mode == QLatin1String("1"))
        WriteLog(text);
}

void ShowErrorParsed(const QString &title, const QString &message, const QString &extra)
{
    Q_UNUSED(title);
    QString shown = message;
    const int star = message.indexOf(QLatin1Char('*'));
    if (star >= 0) {
        const int colon = message.indexOf(QLatin1Char(':'));
        if (colon < 0)
            shown = message.left(star);  // no colon: everything before the '*'
        else if (colon < star)
            shown = message.mid(colon + 1, star - colon - 1);
        // A colon only after the '*' leaves nothing between them: show the whole message.
    }
    ShowMessageBox(shown, btOk, icError, message + QStringLiteral("\r\n") + extra, 1, 0);
}

QString InputText(const QString &hint, const QString &caption, const QString &defaultText,
                  const QString &separator)
{
    InputRequest request;
    request.hint = hint;
    request.caption = caption;
    request.defaultText = defaultText;
    request.separator = separator;
    return prompts().inputText(request);
}

void ShowTimedHint(const QString &text, int milliseconds, bool showOk)
{
    prompts().timedHint(text, milliseconds, showOk);
}

bool RunGuarded(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const SilentAbort &) {
        return false;
    } catch (const oradb::DbError &error) {
        ShowError(error.message());
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    }
    return false;
}

// ---- RecordingPromptService ----

int RecordingPromptService::defaultAnswer(const MessageRequest &request)
{
    const int buttons = request.buttons;
    switch (request.focus) {
    case 2:
        if (cancelShown(buttons))
            return mrCancel;
        break;
    case 3:
        if (yesNoShown(buttons))
            return mrYes;
        break;
    case 4:
        if (yesNoShown(buttons))
            return mrNo;
        break;
    default:
        break;
    }
    return okShown(buttons) ? mrOk : mrYes;
}

int RecordingPromptService::messageBox(const MessageRequest &request)
{
    int answer = defaultAnswer(request);
    if (!m_answers.isEmpty()) {
        answer = m_answers.takeFirst();
        if (!canAnswer(request.buttons, answer))
            answer = closedResult(request.buttons);
    }
    Entry entry;
    entry.kind = QStringLiteral("message");
    entry.text = request.text;
    entry.shown = FilterMessageText(request.text);
    entry.buttons = request.buttons;
    entry.icon = request.icon;
    entry.detail = request.detail;
    entry.focus = request.focus;
    entry.scrollBars = request.scrollBars;
    entry.answer = answer;
    entries.append(entry);
    return answer;
}

QString RecordingPromptService::inputText(const InputRequest &request)
{
    Entry entry;
    entry.kind = QStringLiteral("input");
    entry.text = request.hint;
    entry.shown = request.hint;
    entry.caption = request.caption;
    entry.defaultText = request.defaultText;
    entry.separator = request.separator;
    if (!m_inputs.isEmpty()) {
        entry.answerText = m_inputs.takeFirst().trimmed();
        entry.answer = mrOk;
    } else {
        entry.answer = mrCancel;
    }
    entries.append(entry);
    return entry.answerText;
}

void RecordingPromptService::timedHint(const QString &text, int milliseconds, bool showOk)
{
    Entry entry;
    entry.kind = QStringLiteral("hint");
    entry.text = text;
    entry.shown = text;
    entry.milliseconds = milliseconds;
    entry.showOk = showOk;
    entry.answer = mrOk;
    entries.append(entry);
}

QStringList RecordingPromptService::texts() const
{
    QStringList result;
    for (const Entry &entry : entries)
        result.append(entry.shown);
    return result;
}

}  // namespace mzpy
