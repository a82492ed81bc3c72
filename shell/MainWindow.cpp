#include "MainWindow.h"

#include "HisHostMessage.h"
#include "HostConfig.h"
#include "ModuleHost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace shell {

namespace {

const QString kWebBrowserAction = QStringLiteral("ACT_GGMK_WEBBROWSER");
const QString kChromePage = QStringLiteral("OPENCHROMEBROWSER");

bool sameAction(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString tagValue(const QString &text, const QString &tag)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QStringLiteral("</") + tag + QLatin1Char('>');
    const int start = text.indexOf(open, 0, Qt::CaseInsensitive);
    if (start < 0)
        return QString();
    const int from = start + open.size();
    const int end = text.indexOf(close, from, Qt::CaseInsensitive);
    return end < 0 ? text.mid(from) : text.mid(from, end - from);
}

}  // namespace

const QList<MenuAction> &moduleMenuActions()
{
    static const QList<MenuAction> actions = {
        {QStringLiteral("ACT_PY_PYDY00"), QStringLiteral("门诊配药打印")},
        {QStringLiteral("ACT_PY_MZPYXT"), QStringLiteral("门诊配药")},
        {QStringLiteral("ACT_PY_CKSZ00"), QStringLiteral("窗口设置")},
        {QStringLiteral("ACT_PY_CKRYWH"), QStringLiteral("窗口人员维护")},
        {QStringLiteral("ACT_PY_DYJSZ0"), QStringLiteral("打印机设置")},
        {QStringLiteral("ACT_PY_ZYDJDJ"), QStringLiteral("门诊中药代煎登记")},
        {QStringLiteral("ACT_PY_JSJYDY"), QStringLiteral("接收煎药打印")},
        {QStringLiteral("ACT_PY_CAZSBD"), QStringLiteral("ACT_PY_CAZSBD")},
    };
    return actions;
}

MainWindow::MainWindow(ModuleHost *module, sqlite3 *db, const HisHostParams *params, const HostConfig &config,
                       QWidget *parent)
    : QMainWindow(parent), m_module(module), m_db(db), m_params(params)
{
    setObjectName(QStringLiteral("frmHisMain"));
    setWindowTitle(QStringLiteral("医院信息系统 - 门诊药房 (演示宿主)"));
    resize(1280, 800);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pgcMain"));
    m_tabs->setTabsClosable(true);
    m_tabs->setDocumentMode(true);
    setCentralWidget(m_tabs);
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) { closePage(m_tabs->widget(index)); });

    auto *dock = new QDockWidget(QStringLiteral("宿主消息"), this);
    dock->setObjectName(QStringLiteral("dockHostMessages"));
    m_log = new QPlainTextEdit(dock);
    m_log->setObjectName(QStringLiteral("memHostMessages"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(5000);
    dock->setWidget(m_log);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    resizeDocks({dock}, {160}, Qt::Vertical);

    buildMenus();
    buildStatusBar(config);

    qApp->setProperty(HIS_MAIN_WINDOW_PROPERTY, QVariant::fromValue<QObject *>(this));
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::buildMenus()
{
    QMenu *pharmacy = menuBar()->addMenu(QStringLiteral("门诊药房(&Y)"));
    pharmacy->setObjectName(QStringLiteral("mnuPharmacy"));
    for (const MenuAction &a : moduleMenuActions()) {
        QAction *act = pharmacy->addAction(a.caption);
        act->setObjectName(a.name);
        act->setToolTip(a.name);
        const QString name = a.name;
        const QString caption = a.caption;
        connect(act, &QAction::triggered, this, [this, name, caption]() { runAction(name, caption); });
    }

    QMenu *system = menuBar()->addMenu(QStringLiteral("系统(&S)"));
    system->setObjectName(QStringLiteral("mnuSystem"));
    system->addAction(QStringLiteral("模块版本"), this, [this]() { operate(0, 8, QString()); });
    system->addAction(QStringLiteral("关闭全部功能窗体"), this, [this]() { operate(0, 2, QString()); });
    system->addSeparator();
    system->addAction(QStringLiteral("退出"), this, &QWidget::close);
}

void MainWindow::buildStatusBar(const HostConfig &config)
{
    auto addLabel = [this](const QString &name, const QString &text) {
        auto *label = new QLabel(text, this);
        label->setObjectName(name);
        statusBar()->addPermanentWidget(label);
        return label;
    };
    addLabel(QStringLiteral("lblOperator"),
             QStringLiteral("操作员: %1 %2").arg(config.operatorId).arg(config.operatorName));
    addLabel(QStringLiteral("lblDepartment"),
             QStringLiteral("部门: %1 %2").arg(config.departmentId).arg(config.departmentName));
    addLabel(QStringLiteral("lblMachine"), QStringLiteral("机器: %1").arg(config.machineName));
    addLabel(QStringLiteral("lblPrintMode"), QStringLiteral("打印方式: %1").arg(config.printMode()));
    m_versionLabel = addLabel(QStringLiteral("lblModuleVersion"), QString());
}

void MainWindow::note(const QString &text)
{
    m_log->appendPlainText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) + QStringLiteral("宿主: ")
                           + text);
    if (m_echoNotes) {
        const QByteArray line = (QStringLiteral("shell: ") + text + QLatin1Char('\n')).toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
    }
}

MainWindow::Page *MainWindow::findPage(QWidget *widget)
{
    for (Page &p : m_pages)
        if (p.widget == widget)
            return &p;
    return nullptr;
}

MainWindow::Page *MainWindow::findPageByAction(const QString &action)
{
    // The most recent page opened for the action.
    for (auto it = m_pages.rbegin(); it != m_pages.rend(); ++it)
        if (it->widget && sameAction(it->action, action))
            return &*it;
    return nullptr;
}

MainWindow::Page *MainWindow::findPageByHandle(quintptr handle)
{
    if (handle == 0)
        return nullptr;
    for (Page &p : m_pages)
        if (p.widget && p.handle == handle)
            return &p;
    return nullptr;
}

QWidget *MainWindow::pageForAction(const QString &actionName) const
{
    for (auto it = m_pages.rbegin(); it != m_pages.rend(); ++it)
        if (it->widget && sameAction(it->action, actionName))
            return it->widget;
    return nullptr;
}

QWidget *MainWindow::pageForContainer(quintptr containerHandle) const
{
    for (const Page &p : m_pages)
        if (p.widget && p.handle == containerHandle && containerHandle != 0)
            return p.widget;
    return nullptr;
}

QList<quintptr> MainWindow::formsOfPage(QWidget *page) const
{
    QList<quintptr> result;
    for (const Page &p : m_pages)
        if (p.widget == page)
            for (const FormRecord &f : p.forms)
                result << f.handle;
    return result;
}

MainWindow::Page *MainWindow::addPage(const QString &action, const QString &caption, QWidget *widget)
{
    widget->setObjectName(QStringLiteral("page_") + action);
    m_tabs->addTab(widget, caption);
    m_tabs->setCurrentWidget(widget);
    Page page;
    page.widget = widget;
    page.action = action;
    // The module records this value as the container window handle.
    page.handle = quintptr(widget->winId());
    widget->installEventFilter(this);
    m_pages.push_back(page);
    return &m_pages.back();
}

void MainWindow::removePage(QWidget *widget, const QString &why)
{
    if (!widget)
        return;
    for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
        if (it->widget != widget)
            continue;
        const int index = m_tabs->indexOf(widget);
        if (index >= 0) {
            note(QStringLiteral("关闭页签 \"%1\" (%2)").arg(m_tabs->tabText(index), why));
            m_tabs->removeTab(index);
        }
        m_pages.erase(it);
        // A form of the module may be on its way out inside this page right
        // now (its destruction sent the message): delete the page later.
        widget->hide();
        widget->deleteLater();
        return;
    }
}

void MainWindow::closePage(QWidget *widget)
{
    Page *page = findPage(widget);
    if (!page)
        return;
    if (page->forms.isEmpty() || !m_module || !m_module->isLoaded()) {
        removePage(widget, QStringLiteral("用户关闭"));
        return;
    }
    // Ask the module to close its forms; each destruction reports back and
    // the last one closes the page.
    QPointer<QWidget> guard(widget);
    const QList<FormRecord> forms = page->forms;
    for (const FormRecord &f : forms)
        m_module->operate(f.handle, 2, QString());
    if (guard) {
        if (Page *still = findPage(guard); still && !still->forms.isEmpty())
            note(QStringLiteral("模块没有关闭页签 \"%1\" 中的窗体").arg(m_tabs->tabText(m_tabs->indexOf(guard))));
    }
}

bool MainWindow::runAction(const QString &actionName, const QString &hint)
{
    if (!m_module || !m_module->isLoaded()) {
        note(QStringLiteral("模块没有加载，不能打开 %1").arg(actionName));
        return false;
    }
    if (!m_db) {
        note(QStringLiteral("没有可用的医院数据库，不能打开 %1").arg(actionName));
        return false;
    }

    QString caption = actionName;
    for (const MenuAction &a : moduleMenuActions())
        if (sameAction(a.name, actionName))
            caption = a.caption;
    const QString actionHint = hint.isNull() ? caption : hint;

    // A page that already holds this action's form receives the call again:
    // the module then brings its open form forward.
    Page *page = findPageByAction(actionName);
    bool fresh = false;
    if (!page || page->forms.isEmpty() || page->browser) {
        page = addPage(actionName, caption, new QWidget);
        fresh = true;
    } else {
        m_tabs->setCurrentWidget(page->widget);
    }
    QPointer<QWidget> widget = page->widget;
    note(QStringLiteral("ShowDLLNormalForm %1").arg(actionName));

    m_opening.append(widget);
    const bool result = m_module->show(widget, m_db, actionName, actionHint, m_params);
    m_opening.removeAll(widget);
    m_opening.removeAll(nullptr);
    note(QStringLiteral("ShowDLLNormalForm %1 返回 %2").arg(actionName, result ? QStringLiteral("True")
                                                                               : QStringLiteral("False")));

    if (fresh && widget) {
        Page *p = findPage(widget);
        if (p && p->forms.isEmpty())
            removePage(widget, QStringLiteral("没有窗体放入该页"));
    }
    return result;
}

void MainWindow::operate(quintptr windowHandle, int operation, const QString &text)
{
    if (!m_module || !m_module->isLoaded()) {
        note(QStringLiteral("模块没有加载，不能执行 OperateDllNormalForm"));
        return;
    }
    note(QStringLiteral("OperateDllNormalForm(%1, %2, %3)").arg(windowHandle).arg(operation).arg(text));
    m_module->operate(windowHandle, operation, text);
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == HisCopyDataEventType) {
        auto *message = static_cast<HisCopyDataEvent *>(event);
        QByteArray bytes;
        if (message->copyData.lpData && message->copyData.cbData > 0)
            bytes = QByteArray(static_cast<const char *>(message->copyData.lpData), int(message->copyData.cbData));
        handleHostMessage(fromGbk(bytes));
        message->result = 1;
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // An embedded form fills its page, also when the window is resized later.
    if (event->type() == QEvent::Resize) {
        if (Page *page = findPage(qobject_cast<QWidget *>(watched))) {
            for (const FormRecord &f : page->forms) {
                QWidget *form = QWidget::find(WId(f.handle));
                if (form && form->parentWidget() == page->widget && !form->isWindow())
                    form->setGeometry(page->widget->rect());
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::writeMessageLine(const QString &text)
{
    if (m_messagesFile.isEmpty())
        return;
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    QFile file(m_messagesFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        note(QStringLiteral("无法写入消息文件 %1: %2").arg(m_messagesFile, file.errorString()));
        return;
    }
    file.write(line.toUtf8() + '\n');
}

void MainWindow::handleHostMessage(const QString &text)
{
    writeMessageLine(text);
    m_log->appendPlainText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) + QStringLiteral("消息: ")
                           + text);

    const int at = text.indexOf(QLatin1Char('@'));
    if (at < 0) {
        note(QStringLiteral("无法识别的宿主消息"));
        return;
    }
    const QString command = text.left(at).toUpper();
    const QString payload = text.mid(at + 1);
    const QStringList fields = payload.split(QLatin1Char(','));

    if (command == QLatin1String("NEWDLLCONTAINERFORM")) {
        // module file, form class, container handle, form handle
        if (fields.size() < 4) {
            note(QStringLiteral("NEWDLLCONTAINERFORM 字段不全"));
            return;
        }
        const quintptr container = fields.at(fields.size() - 2).toULongLong();
        const quintptr form = fields.at(fields.size() - 1).toULongLong();
        const QString className = fields.mid(1, fields.size() - 3).join(QLatin1Char(','));
        Page *page = findPageByHandle(container);
        if (!page) {
            note(QStringLiteral("窗体 %1 放在了不属于任何页签的容器 %2 中").arg(className).arg(container));
            return;
        }
        page->forms.append(FormRecord{className, form});
        return;
    }

    if (command == QLatin1String("CLOSEMAINFORMACTIVEPAGE")) {
        // module file, form class, container handle
        if (fields.size() < 3)
            return;
        const quintptr container = fields.last().toULongLong();
        const QString className = fields.mid(1, fields.size() - 2).join(QLatin1Char(','));
        Page *page = findPageByHandle(container);
        if (!page)
            return;
        for (int i = page->forms.size() - 1; i >= 0; --i) {
            if (page->forms.at(i).className == className) {
                page->forms.removeAt(i);
                break;
            }
        }
        if (page->forms.isEmpty())
            removePage(page->widget, QStringLiteral("窗体 %1 已关闭").arg(className));
        return;
    }

    if (command == QLatin1String("CLOSEMAINFORMACTIVEPAGEEX")) {
        // module file, None, menu action: close the page opened for it, as
        // long as no form lives on it.
        const QString action = fields.mid(2).join(QLatin1Char(','));
        Page *page = nullptr;
        for (auto it = m_opening.rbegin(); it != m_opening.rend() && !page; ++it) {
            Page *p = findPage(*it);
            if (p && sameAction(p->action, action))
                page = p;
        }
        if (!page)
            page = findPageByAction(action);
        if (page && page->forms.isEmpty())
            removePage(page->widget, QStringLiteral("模块要求关闭"));
        return;
    }

    if (command == QLatin1String("CHANGEACTIVEPAGECAPTION")) {
        // module file, None, action, caption
        if (fields.size() < 4)
            return;
        const QString action = fields.at(2);
        const QString caption = fields.mid(3).join(QLatin1Char(','));
        Page *page = findPageByAction(action);
        if (!page) {
            note(QStringLiteral("没有 %1 的页签可改标题").arg(action));
            return;
        }
        m_tabs->setTabText(m_tabs->indexOf(page->widget), caption);
        return;
    }

    if (command == QLatin1String("CLOSEDLLACTIVEFORM")) {
        // module file, None, action
        const QString action = fields.mid(2).join(QLatin1Char(','));
        while (Page *page = findPageByAction(action)) {
            if (page->forms.isEmpty() || !m_module || !m_module->isLoaded()) {
                removePage(page->widget, QStringLiteral("模块要求关闭"));
                continue;
            }
            closePage(page->widget);
            break;
        }
        return;
    }

    if (command == QLatin1String("OPENDLLFORMBYACTION")) {
        const int comma = payload.indexOf(QLatin1Char(','));
        const QString action = comma < 0 ? payload : payload.left(comma);
        const QString parameter = comma < 0 ? QString() : payload.mid(comma + 1);
        openByAction(action.trimmed(), parameter);
        return;
    }

    if (command == QLatin1String("OPENCHROMEBROWSER")) {
        // address, or address "," caption
        const int comma = payload.lastIndexOf(QLatin1Char(','));
        const QString address = comma < 0 ? payload : payload.left(comma);
        const QString caption = comma < 0 ? QString() : payload.mid(comma + 1);
        openBrowserPage(kChromePage, address, caption.trimmed().isEmpty() ? QStringLiteral("浏览器") : caption);
        return;
    }

    if (command == QLatin1String("WRITEINTERFACEQCFKL")) {
        note(QStringLiteral("整件颗粒接口: 处方流水号 %1").arg(fields.value(0)));
        return;
    }

    if (command == QLatin1String("GETDLLFILEVERSION")) {
        m_lastVersion = QStringLiteral("数据库版本 %1, 文件版本 %2, 系统 %3, 参数 %4")
                            .arg(tagValue(payload, QStringLiteral("DllDBVerNo")),
                                 tagValue(payload, QStringLiteral("DllFileVerNo")),
                                 tagValue(payload, QStringLiteral("DllFileSysId")),
                                 tagValue(payload, QStringLiteral("DllOperateParm")));
        m_versionLabel->setText(QStringLiteral("模块: ") + m_lastVersion);
        note(QStringLiteral("模块版本: ") + m_lastVersion);
        return;
    }

    note(QStringLiteral("未知的宿主消息 %1").arg(command));
}

void MainWindow::openByAction(const QString &action, const QString &parameter)
{
    if (sameAction(action, kWebBrowserAction)) {
        QString address = tagValue(parameter, QStringLiteral("URLSTR"));
        if (address.isEmpty())
            address = parameter;
        openBrowserPage(kWebBrowserAction, address, QStringLiteral("浏览器"));
        return;
    }
    for (const MenuAction &a : moduleMenuActions()) {
        if (sameAction(a.name, action)) {
            // Not inside the module's own call: open it once that returned.
            QTimer::singleShot(0, this, [this, action, parameter]() { runAction(action, parameter); });
            return;
        }
    }
    note(QStringLiteral("本宿主没有功能 %1 (参数 %2)").arg(action, parameter));
}

void MainWindow::openBrowserPage(const QString &action, const QString &address, const QString &caption)
{
    Page *page = findPageByAction(action);
    QWidget *widget = page ? page->widget.data() : nullptr;
    if (!widget) {
        widget = new QWidget;
        auto *layout = new QVBoxLayout(widget);
        auto *edit = new QLineEdit(widget);
        edit->setObjectName(QStringLiteral("edtBrowserAddress"));
        edit->setReadOnly(true);
        auto *view = new QTextBrowser(widget);
        view->setObjectName(QStringLiteral("txtBrowserPage"));
        view->setOpenLinks(false);
        layout->addWidget(edit);
        layout->addWidget(view);
        page = addPage(action, caption, widget);
        page->browser = true;
    }
    widget->findChild<QLineEdit *>(QStringLiteral("edtBrowserAddress"))->setText(address);
    widget->findChild<QTextBrowser *>(QStringLiteral("txtBrowserPage"))
        ->setPlainText(QStringLiteral("此演示宿主没有网页引擎，只显示要打开的地址:\n\n") + address);
    m_tabs->setTabText(m_tabs->indexOf(widget), caption);
    m_tabs->setCurrentWidget(widget);
    note(QStringLiteral("浏览器页: %1").arg(address));
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // Close the module's forms while this window still receives their
    // messages; the library itself stays loaded.
    if (m_module && m_module->isLoaded() && m_module->started())
        operate(0, 2, QString());
    if (qApp->property(HIS_MAIN_WINDOW_PROPERTY).value<QObject *>() == this)
        qApp->setProperty(HIS_MAIN_WINDOW_PROPERTY, QVariant());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    shutDown();
    event->accept();
}

}  // namespace shell
