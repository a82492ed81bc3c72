// Command line of the demo host shell.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace shell {

struct OperateRequest {
    quintptr handle = 0;
    int operation = 0;
    QString text;
};

struct ShellOptions {
    QString dbPath;
    QString configPath;
    QString hostDir;
    QStringList actions;
    QList<OperateRequest> operations;
    QString messagesPath;
    QString promptsPath;
    QString screenshotPath;
    bool quit = false;
};

// Parses "HANDLE,OP,TEXT": decimal handle, operation in decimal or 0x hex,
// the rest (commas included) is the text; TEXT may be left out.
bool parseOperate(const QString &spec, OperateRequest *out, QString *error);

// Parses the arguments (argv[0] included). On failure returns false with a
// message; help and version requests end the process as usual.
bool parseShellOptions(const QStringList &arguments, ShellOptions *options, QString *error);

}  // namespace shell
