// The host's main window: the menu of the module's functions, the page
// control whose pages receive the embedded forms, the host-message log and
// the status bar. It is the window named by the application property
// "HisMainWindow", so every host message of the module arrives here.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <list>

#include "DLL_MZPY_KTRB.h"

class QLabel;
class QPlainTextEdit;
class QTabWidget;
struct sqlite3;

namespace shell {

class ModuleHost;
struct HostConfig;

// The eight menu actions of the module with their menu captions.
struct MenuAction {
    QString name;
    QString caption;
};
const QList<MenuAction> &moduleMenuActions();

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // module may be null or not loaded (the menu then only reports that).
    MainWindow(ModuleHost *module, sqlite3 *db, const HisHostParams *params, const HostConfig &config,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // Appends every host message, one UTF-8 line each, to this file.
    void setMessagesFile(const QString &path) { m_messagesFile = path; }

    // Opens the function of a menu action on a page (a new page, or the one
    // already holding that action's form). The hint defaults to the menu
    // caption. Returns the module's answer.
    bool runAction(const QString &actionName, const QString &hint = QString());
    void operate(quintptr windowHandle, int operation, const QString &text);

    // A line in the log pane (the host's own notes; also on stderr when
    // echoNotes is on).
    void note(const QString &text);
    void setEchoNotes(bool on) { m_echoNotes = on; }

    // Handles one host message as text (what the HisCopyDataEvent carries).
    void handleHostMessage(const QString &text);

    // For tests and the unattended run.
    QTabWidget *pages() const { return m_tabs; }
    QPlainTextEdit *logPane() const { return m_log; }
    QWidget *pageForAction(const QString &actionName) const;
    QWidget *pageForContainer(quintptr containerHandle) const;
    // The form window handles recorded for a page (NEWDLLCONTAINERFORM).
    QList<quintptr> formsOfPage(QWidget *page) const;
    QString lastVersionReply() const { return m_lastVersion; }

    // Closes every function form through the module and stops naming this
    // window as the host main window. Called on close; safe to call twice.
    void shutDown();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct FormRecord {
        QString className;
        quintptr handle = 0;
    };
    struct Page {
        QPointer<QWidget> widget;
        QString action;       // the menu action this page was opened for
        quintptr handle = 0;  // winId of the page: the container handle
        QList<FormRecord> forms;
        bool browser = false;
    };

    void buildMenus();
    void buildStatusBar(const HostConfig &config);
    Page *findPage(QWidget *widget);
    Page *findPageByAction(const QString &action);
    Page *findPageByHandle(quintptr handle);
    Page *addPage(const QString &action, const QString &caption, QWidget *widget);
    void removePage(QWidget *widget, const QString &why);
    void closePage(QWidget *widget);
    void openBrowserPage(const QString &action, const QString &address, const QString &caption);
    void openByAction(const QString &action, const QString &parameter);
    void writeMessageLine(const QString &text);

    ModuleHost *m_module;
    sqlite3 *m_db;
    const HisHostParams *m_params;
    QTabWidget *m_tabs = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QLabel *m_versionLabel = nullptr;
    std::list<Page> m_pages;
    QList<QPointer<QWidget>> m_opening;  // pages inside a ShowDLLNormalForm call
    QString m_messagesFile;
    QString m_lastVersion;
    bool m_echoNotes = false;
    bool m_shutDown = false;
};

}  // namespace shell
