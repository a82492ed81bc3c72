// The demo host shell: the stand-in of the hospital information system's
// main program for the dispensing module.
#include "HostConfig.h"
#include "HostDatabase.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ShellOptions.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

using namespace shell;

namespace {

void printError(const QString &text)
{
    const QByteArray line = (QStringLiteral("shell: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

// In an unattended run nobody answers a modal window: close each one that
// stays open for a moment (dialog forms of the module, or message boxes when
// prompts are not recorded).
class ModalCloser : public QObject {
public:
    ModalCloser(MainWindow *window) : m_window(window)
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::tick);
        m_timer.start(150);
    }

private:
    void tick()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal != m_seen) {
            m_seen = modal;
            m_ticks = 0;
            return;
        }
        if (++m_ticks < 2)
            return;
        m_window->note(QStringLiteral("无人值守: 关闭模态窗口 %1 \"%2\"")
                           .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle()));
        m_seen = nullptr;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }

    MainWindow *m_window;
    QTimer m_timer;
    QPointer<QWidget> m_seen;
    int m_ticks = 0;
};

bool saveScreenshot(QWidget *window, const QString &path, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QPixmap pixmap = window->grab();
    const QByteArray format = QFileInfo(path).suffix().isEmpty() ? QByteArray("PNG") : QByteArray();
    if (pixmap.isNull() || !pixmap.save(path, format.isEmpty() ? nullptr : format.constData())) {
        *error = QStringLiteral("截图无法写入 %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mzpy-shell"));

    ShellOptions options;
    QString error;
    if (!parseShellOptions(QApplication::arguments(), &options, &error)) {
        printError(error);
        return 2;
    }

    QStringList notes;

    // What the module reads from its surroundings must be in place before it
    // is loaded.
    if (!options.hostDir.isEmpty()) {
        if (!QDir().mkpath(options.hostDir))
            notes << QStringLiteral("无法建立宿主文件夹 %1").arg(options.hostDir);
        qputenv("MZPY_HOST_DIR", QFile::encodeName(QDir(options.hostDir).absolutePath() + QLatin1Char('/')));
    }
    if (!options.promptsPath.isEmpty()) {
        QDir().mkpath(QFileInfo(options.promptsPath).absolutePath());
        qputenv("MZPY_PROMPTS_FILE", QFile::encodeName(options.promptsPath));
    }

    // Configuration: write the commented example on first start.
    if (!QFileInfo::exists(options.configPath)) {
        if (writeExampleHostConfig(options.configPath, &error))
            notes << QStringLiteral("配置文件 %1 不存在，已写入示例配置").arg(options.configPath);
        else
            notes << QStringLiteral("配置文件 %1 不存在，示例配置也无法写入: %2").arg(options.configPath, error);
    }
    const HostConfig config = loadHostConfig(options.configPath);
    if (!config.problems.isEmpty()) {
        notes << QStringLiteral("配置文件 %1 有 %2 处错误，出错的行被忽略:")
                     .arg(options.configPath)
                     .arg(config.problems.size());
        notes << config.problems;
    }

    // The host parameter record stays alive as long as the module is loaded,
    // which is until the process ends: it is never freed.
    auto *record = new HostParamsRecord(config);

    HostDatabase database = openHostDatabase(options.dbPath, config.machineName);
    notes << database.notes;
    if (!database.db)
        notes << database.error;
    if (database.created) {
        const QString hostFolder = options.hostDir.isEmpty() ? QCoreApplication::applicationDirPath() : options.hostDir;
        const QString note = writeDemoLoginIni(database.db, config.departmentId, hostFolder);
        if (!note.isEmpty())
            notes << note;
    }

    ModuleHost module;
    const bool moduleLoaded = module.load(QCoreApplication::applicationDirPath(), &error);
    if (moduleLoaded)
        notes << QStringLiteral("已加载模块 %1").arg(module.fileName());
    else
        notes << error;

    int exitCode = moduleLoaded ? 0 : 1;
    {
        MainWindow window(&module, database.db, record->params(), config);
        window.setMessagesFile(options.messagesPath);
        window.setEchoNotes(true);
        for (const QString &n : notes)
            window.note(n);
        window.show();

        std::unique_ptr<ModalCloser> closer;
        if (options.quit)
            closer = std::make_unique<ModalCloser>(&window);

        QTimer::singleShot(0, &window, [&]() {
            for (const QString &action : options.actions)
                window.runAction(action);
            for (const OperateRequest &op : options.operations)
                window.operate(op.handle, op.operation, op.text);
            if (options.screenshotPath.isEmpty() && !options.quit)
                return;
            // Let the pages settle (layouts, deferred deletions) first.
            QTimer::singleShot(300, &window, [&]() {
                if (!options.screenshotPath.isEmpty()) {
                    QString err;
                    if (saveScreenshot(&window, options.screenshotPath, &err)) {
                        window.note(QStringLiteral("截图已保存到 %1").arg(options.screenshotPath));
                    } else {
                        window.note(err);
                        exitCode = 1;
                    }
                }
                if (options.quit) {
                    window.close();
                    QCoreApplication::exit(exitCode);
                }
            });
        });

        const int loopCode = app.exec();
        if (exitCode == 0)
            exitCode = loopCode;
        window.shutDown();
        closer.reset();
    }
    // Widgets the module left behind are deleted with their pages above;
    // deferred deletions run here while the library is still mapped.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    closeHostDatabase(database);
    return exitCode;
}
