#include "ShellOptions.h"

#include <QCommandLineParser>
#include <QDir>

namespace shell {

bool parseOperate(const QString &spec, OperateRequest *out, QString *error)
{
    const int first = spec.indexOf(QLatin1Char(','));
    if (first < 0) {
        *error = QStringLiteral("--operate %1: expected HANDLE,OP,TEXT").arg(spec);
        return false;
    }
    const int second = spec.indexOf(QLatin1Char(','), first + 1);
    const QString handleText = spec.left(first).trimmed();
    const QString opText = (second < 0 ? spec.mid(first + 1) : spec.mid(first + 1, second - first - 1)).trimmed();
    bool okHandle = false;
    bool okOp = false;
    const qulonglong handle = handleText.toULongLong(&okHandle, 10);
    const int op = opText.toInt(&okOp, 0);
    if (!okHandle || !okOp) {
        *error = QStringLiteral("--operate %1: HANDLE must be a decimal window handle and OP a number").arg(spec);
        return false;
    }
    out->handle = quintptr(handle);
    out->operation = op;
    out->text = second < 0 ? QString() : spec.mid(second + 1);
    return true;
}

bool parseShellOptions(const QStringList &arguments, ShellOptions *options, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Demo host shell of the outpatient pharmacy dispensing module: loads DLL_MZPY_KTRB from its own "
        "folder and opens the module's functions in its pages."));
    parser.addHelpOption();
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("Hospital database file (created when missing)."),
                                QStringLiteral("FILE"), QStringLiteral("demo/hospital.db"));
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Host configuration (an example is written when missing)."),
                                    QStringLiteral("FILE"), QStringLiteral("demo/shell.ini"));
    const QCommandLineOption hostDir(QStringLiteral("host-dir"),
                                     QStringLiteral("Host executable folder as the module sees it."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption action(QStringLiteral("action"),
                                    QStringLiteral("Menu action to run after start (repeatable, in order)."),
                                    QStringLiteral("NAME"));
    const QCommandLineOption operate(QStringLiteral("operate"),
                                     QStringLiteral("OperateDllNormalForm call after the actions (repeatable)."),
                                     QStringLiteral("HANDLE,OP,TEXT"));
    const QCommandLineOption messages(QStringLiteral("messages"),
                                      QStringLiteral("Append every host message to FILE, one UTF-8 line each."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption prompts(QStringLiteral("prompts"),
                                     QStringLiteral("Append every prompt to FILE and answer it with its default "
                                                    "button."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the main window as an image once the actions ran."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption quit(QStringLiteral("quit"), QStringLiteral("Exit once the actions and operations ran."));
    parser.addOptions({db, config, hostDir, action, operate, messages, prompts, screenshot, quit});

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return false;
    }

    auto absolute = [](const QString &path) { return path.isEmpty() ? path : QDir::current().absoluteFilePath(path); };
    options->dbPath = absolute(parser.value(db));
    options->configPath = absolute(parser.value(config));
    options->hostDir = absolute(parser.value(hostDir));
    options->actions = parser.values(action);
    for (const QString &spec : parser.values(operate)) {
        OperateRequest request;
        if (!parseOperate(spec, &request, error))
            return false;
        options->operations << request;
    }
    options->messagesPath = absolute(parser.value(messages));
    options->promptsPath = absolute(parser.value(prompts));
    options->screenshotPath = absolute(parser.value(screenshot));
    options->quit = parser.isSet(quit);
    return true;
}

}  // namespace shell
