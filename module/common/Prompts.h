// Every message box, input box and timed hint of the module goes through the
// prompt service. The real service shows TfrmMessage, TfrmInputBox and
// TfrmHintMessage; tests install a service that records each prompt and
// answers from a script.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <functional>
#include <stdexcept>

namespace mzpy {

// Ends the current user command quietly (button, key, scan, timer tick).
// The guard around each command catches it; nothing is shown.
class SilentAbort : public std::exception {
public:
    const char *what() const noexcept override { return "silent abort"; }
};

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };
enum ButtonsKind { btOk = 0, btOkCancel = 1, btYesNoCancel = 2, btYesNo = 3 };
enum IconKind { icNone = 0, icWarning = 1, icError = 2 };
// Focused button: 0 or 1 OK, 2 Cancel, 3 Yes, 4 No.

struct MessageRequest {
    QString text;      // as given (the box filters it for display)
    int buttons = btOk;
    int icon = icNone;
    QString detail;
    int focus = 1;
    int scrollBars = 0;
};

struct InputRequest {
    QString hint;
    QString caption;
    QString defaultText;
    QString separator;  // empty = text box, one character = list mode
};

class PromptService {
public:
    virtual ~PromptService() = default;
    virtual int messageBox(const MessageRequest &request) = 0;           // modal result
    virtual QString inputText(const InputRequest &request) = 0;          // empty when cancelled
    virtual void timedHint(const QString &text, int milliseconds, bool showOk) = 0;
};

// The installed service; the real dialogs when none was installed.
PromptService &prompts();
void setPromptService(std::shared_ptr<PromptService> service);  // nullptr = real dialogs

// The text the message box shows for a message (the "!*" filter).
QString FilterMessageText(const QString &text);

int ShowMessageBox(const QString &text, int buttons, int icon, const QString &detail,
                   int focus, int scrollBars);
void ShowInfo(const QString &text);
void ShowInfoDetail(const QString &text, const QString &detail);
void ShowWarning(const QString &text);
void ShowError(const QString &text);
void ShowErrorDetail(const QString &text, const QString &detail);
[[noreturn]] void ShowErrorAbort(const QString &text);
bool ConfirmOk(const QString &text, int focus = 1);
bool ConfirmOkWarning(const QString &text, int focus = 1);
int AskYesNo(const QString &text, int focus = 3, int scrollBars = 0);
bool AskYes(const QString &text, int focus = 3);
void PromptOrLog(const QString &text, const QString &mode);
void ShowErrorParsed(const QString &title, const QString &message, const QString &extra);
QString InputText(const QString &hint, const QString &caption, const QString &defaultText,
                  const QString &separator = QString());
void ShowTimedHint(const QString &text, int milliseconds, bool showOk);

// Runs one user command: a SilentAbort ends it quietly; any other exception
// is shown as an error and ends it. Returns false when the command did not
// run to its end.
bool RunGuarded(const std::function<void()> &command);

// A prompt service for tests and unattended runs: records every prompt and
// answers from a queue of scripted results, else with the default button.
class RecordingPromptService : public PromptService {
public:
    struct Entry {
        QString kind;      // "message", "input", "hint"
        QString text;      // text as given (message), hint (input), text (hint)
        QString shown;     // filtered text as shown (message)
        int buttons = 0;
        int icon = 0;
        QString detail;
        int answer = 0;
        QString answerText;
        int focus = 0;          // message: the focused-button argument
        int scrollBars = 0;     // message
        QString caption;        // input
        QString defaultText;    // input
        QString separator;      // input
        int milliseconds = 0;   // hint
        bool showOk = false;    // hint
    };
    int messageBox(const MessageRequest &request) override;
    QString inputText(const InputRequest &request) override;
    void timedHint(const QString &text, int milliseconds, bool showOk) override;

    void queueAnswer(int modalResult) { m_answers.append(modalResult); }
    void queueInput(const QString &text) { m_inputs.append(text); }
    QList<Entry> entries;
    QStringList texts() const;   // the shown texts of all prompts, in order
    void clear() { entries.clear(); m_answers.clear(); m_inputs.clear(); }

    // The default answer of a box: the focused button when it is shown, else
    // OK / Yes. Inputs default to cancel (empty) unless queued. A queued
    // answer that the box cannot give (0, or a button it does not show) is
    // turned into what closing the box gives: Cancel when shown, else No
    // when shown, else 0. Queued input texts are trimmed like the real box.
    static int defaultAnswer(const MessageRequest &request);

private:
    QList<int> m_answers;
    QStringList m_inputs;
};

}  // namespace mzpy
