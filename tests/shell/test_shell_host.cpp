// The host shell in-process: configuration file and host parameter record,
// database opening, command line, and the main window's handling of pages
// and host messages with a protocol-following module library.
#include "HisHostMessage.h"
#include "HostConfig.h"
#include "HostDatabase.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ShellOptions.h"
#include "hisdb/hisdb.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace shell;

namespace {

QByteArray gbk(const QString &s) { return QStringEncoder("GBK").encode(s); }

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

// ---------------------------------------------------------------------------
// Configuration and the host parameter record

TEST(HostConfigTest, ExampleConfigReadsCleanlyIntoTheRecord)
{
    const HostConfig config = parseHostConfig(exampleHostConfig(), QStringLiteral("example.ini"));
    EXPECT_TRUE(config.problems.isEmpty()) << config.problems.join('\n').toStdString();
    EXPECT_EQ(config.operatorId, 1001);
    EXPECT_EQ(config.departmentName, QStringLiteral("门诊西药房"));
    EXPECT_FALSE(config.machineName.isEmpty());  // blank in the file: the host name
    EXPECT_EQ(config.printMode(), QStringLiteral("P"));

    HostParamsRecord record(config);
    const HisHostParams *p = record.params();
    EXPECT_EQ(p->operatorId, 1001);
    EXPECT_EQ(QByteArray(p->operatorName), gbk(QStringLiteral("演示药师")));
    EXPECT_EQ(QByteArray(p->departmentName), gbk(QStringLiteral("门诊西药房")));
    ASSERT_NE(p->paramSet, nullptr);
    ASSERT_EQ(p->paramSet->sysParams1Count, 2);
    EXPECT_STREQ(p->paramSet->sysParams1[0].name, "YF_WZTCAJK");
    EXPECT_STREQ(p->paramSet->sysParams1[0].value, "N;N");
    EXPECT_EQ(QByteArray(p->paramSet->userOptions[2].value), gbk(QStringLiteral("拼音码")));
    ASSERT_NE(p->loginSettings, nullptr);
    EXPECT_STREQ(p->loginSettings->items[0].section, "PRINTER");
    EXPECT_STREQ(p->loginSettings->items[0].key, "PRINTMODE");
    EXPECT_EQ(p->loginSettings->items[0].value.kind, HIS_VT_TEXT);
    EXPECT_STREQ(p->loginSettings->items[0].value.text, "P");
}

TEST(HostConfigTest, ValuesArriveExactlyAsWrittenInTableOrder)
{
    const QByteArray text = QStringLiteral(
                                "[Operator]\nId=7\nName= 李 四 \n"
                                "[Host]\nMachineName=PY-01\nReportContext=5\n"
                                "[SysParams1]\n"
                                "XT_SQLPLUSSECURLEVEL=1;drop,delete\n"
                                "YF_WZTCAJK=Y;N\n"
                                "XT_PATH=D:\\His\\Report\n"
                                "YJ_Medicalinfo=http://h/p?a=1|4|tok=x\n"
                                "EMPTY=\n"
                                "YF_WZTCAJK=N;N\n"
                                "[SysParams2]\nEMPTY=Y\n"
                                "[UserOptions]\nFZSRF0=五笔码\n"
                                "[Rights]\nTfrmPY_MZPYXT.btnFY=1,0\nTfrmPY_MZPYXT.btnPY=N,Y\n"
                                "[Login/ICK]\nCOM=1;2\n[Login/PRINTER]\nPRINTMODE=V\n")
                                .toUtf8();
    const HostConfig config = parseHostConfig(text, QStringLiteral("t.ini"));
    ASSERT_TRUE(config.problems.isEmpty()) << config.problems.join('\n').toStdString();
    EXPECT_EQ(config.printMode(), QStringLiteral("V"));

    HostParamsRecord record(config);
    const HisHostParams *p = record.params();
    EXPECT_EQ(QByteArray(p->operatorName), gbk(QStringLiteral("李 四")));
    EXPECT_STREQ(p->machineName, "PY-01");
    EXPECT_EQ(p->reportContext, 5);

    const HisHostParamSet *set = p->paramSet;
    const std::vector<std::pair<const char *, const char *>> expected = {
        {"XT_SQLPLUSSECURLEVEL", "1;drop,delete"},
        {"YF_WZTCAJK", "Y;N"},
        {"XT_PATH", "D:\\His\\Report"},
        {"YJ_Medicalinfo", "http://h/p?a=1|4|tok=x"},
        {"EMPTY", ""},
        {"YF_WZTCAJK", "N;N"},  // duplicates kept: the first one wins in the module's lookup
    };
    ASSERT_EQ(set->sysParams1Count, int(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_STREQ(set->sysParams1[i].name, expected[i].first) << i;
        EXPECT_STREQ(set->sysParams1[i].value, expected[i].second) << i;
    }
    ASSERT_EQ(set->sysParams2Count, 1);
    EXPECT_STREQ(set->sysParams2[0].value, "Y");
    EXPECT_EQ(QByteArray(set->userOptions[0].value), gbk(QStringLiteral("五笔码")));

    ASSERT_EQ(set->rightsCount, 2);
    EXPECT_STREQ(set->rights[0].formClassName, "TfrmPY_MZPYXT");
    EXPECT_STREQ(set->rights[0].controlName, "btnFY");
    EXPECT_EQ(set->rights[0].visible, 1);
    EXPECT_EQ(set->rights[0].enabled, 0);
    EXPECT_STREQ(set->rights[1].controlName, "btnPY");
    EXPECT_EQ(set->rights[1].visible, 0);
    EXPECT_EQ(set->rights[1].enabled, 1);
    EXPECT_STREQ(set->rights[0].text1, "");

    ASSERT_EQ(p->loginSettings->count, 2);
    EXPECT_STREQ(p->loginSettings->items[0].section, "ICK");
    EXPECT_STREQ(p->loginSettings->items[0].value.text, "1;2");
}

TEST(HostConfigTest, EmptyConfigGivesAUsableRecordWithEmptyTables)
{
    const HostConfig config = parseHostConfig(QByteArray(), QStringLiteral("empty.ini"));
    EXPECT_TRUE(config.problems.isEmpty());
    HostParamsRecord record(config);
    const HisHostParams *p = record.params();
    EXPECT_STREQ(p->operatorName, "");
    EXPECT_STREQ(p->systemCode, "");
    EXPECT_EQ(p->paramSet->sysParams1Count, 0);
    EXPECT_EQ(p->paramSet->rightsCount, 0);
    EXPECT_EQ(p->loginSettings->count, 0);
    EXPECT_EQ(config.printMode(), QStringLiteral("P"));
}

TEST(HostConfigTest, FaultyLinesAreReportedWithTheirLineAndSkipped)
{
    const QByteArray text = QStringLiteral(
                                "Id=1\n"                       // 1: outside any section
                                "[Operator]\n"                 // 2
                                "Id=abc\n"                     // 3: not an integer
                                "just some words\n"            // 4: no '='
                                "Name=王五\n"                  // 5: fine
                                "[Department\n"                // 6: unclosed
                                "Id=99\n"                      // 7: ignored with its section
                                "[Nonsense]\n"                 // 8: unknown section
                                "A=B\n"                        // 9: ignored
                                "[Rights]\n"                   // 10
                                "NoDot=1,1\n"                  // 11: no control name
                                "F.C=1\n"                      // 12: one flag only
                                "F.D=1,0\n"                    // 13: fine
                                "[Host]\n"                     // 14
                                "Colour=red\n"                 // 15: unknown key
                                "[Login/PRINTER]\n"            // 16
                                "PRINTMODE=v\n")               // 17: fine, but not a print mode
                                .toUtf8();
    const HostConfig config = parseHostConfig(text, QStringLiteral("bad.ini"));
    const QStringList lines = {"bad.ini:1:", "bad.ini:3:", "bad.ini:4:", "bad.ini:6:", "bad.ini:8:",
                               "bad.ini:11:", "bad.ini:12:", "bad.ini:15:"};
    ASSERT_EQ(config.problems.size(), lines.size()) << config.problems.join('\n').toStdString();
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(config.problems.at(i).startsWith(lines.at(i))) << config.problems.at(i).toStdString();
    EXPECT_EQ(config.operatorId, 0);
    EXPECT_EQ(config.operatorName, QStringLiteral("王五"));
    EXPECT_EQ(config.departmentId, 0);
    ASSERT_EQ(config.rights.size(), 1);
    EXPECT_EQ(config.rights.at(0).controlName, QStringLiteral("D"));
    EXPECT_EQ(config.printMode(), QStringLiteral("P"));  // exact comparison: lower-case v is not a mode
}

TEST(HostConfigTest, GbkFileIsReportedAndStillRead)
{
    const QByteArray text = gbk(QStringLiteral("[Operator]\nName=张三\n"));
    const HostConfig config = parseHostConfig(text, QStringLiteral("gbk.ini"));
    ASSERT_EQ(config.problems.size(), 1);
    EXPECT_TRUE(config.problems.at(0).contains(QStringLiteral("UTF-8")));
    EXPECT_EQ(config.operatorName, QStringLiteral("张三"));
}

TEST(HostConfigTest, MissingFileReadsDefaultsAndExampleNeverReplacesAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/shell.ini"));
    const HostConfig missing = loadHostConfig(path);
    EXPECT_EQ(missing.problems.size(), 1);
    EXPECT_FALSE(QFile::exists(path));

    QString error;
    ASSERT_TRUE(writeExampleHostConfig(path, &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(path), exampleHostConfig());
    writeBytes(path, "[Operator]\nId=5\n");
    EXPECT_FALSE(writeExampleHostConfig(path, &error));
    EXPECT_EQ(fileBytes(path), QByteArray("[Operator]\nId=5\n"));
}

// ---------------------------------------------------------------------------
// Command line

TEST(ShellOptionsTest, OperateSpecifications)
{
    struct Case {
        const char *spec;
        bool ok;
        quintptr handle;
        int op;
        const char *text;
    };
    const Case cases[] = {
        {"0,8,abc", true, 0, 8, "abc"},
        {"0,8", true, 0, 8, ""},
        {"0,8,", true, 0, 8, ""},
        {"12345,2,a,b", true, 12345, 2, "a,b"},
        {"0,0x108,x", true, 0, 0x108, "x"},
        {"x,8,abc", false, 0, 0, ""},
        {"0,y,abc", false, 0, 0, ""},
        {"0", false, 0, 0, ""},
    };
    for (const Case &c : cases) {
        OperateRequest r;
        QString error;
        EXPECT_EQ(parseOperate(QString::fromUtf8(c.spec), &r, &error), c.ok) << c.spec;
        if (!c.ok) {
            EXPECT_FALSE(error.isEmpty()) << c.spec;
            continue;
        }
        EXPECT_EQ(r.handle, c.handle) << c.spec;
        EXPECT_EQ(r.operation, c.op) << c.spec;
        EXPECT_EQ(r.text, QString::fromUtf8(c.text)) << c.spec;
    }
}

TEST(ShellOptionsTest, RepeatableOptionsKeepTheirOrder)
{
    ShellOptions o;
    QString error;
    ASSERT_TRUE(parseShellOptions({"shell", "--action", "ACT_PY_MZPYXT", "--operate", "0,8,a", "--action",
                                   "act_py_unknown", "--operate", "0,2,", "--db", "x.db", "--quit"},
                                  &o, &error))
        << error.toStdString();
    EXPECT_EQ(o.actions, QStringList({"ACT_PY_MZPYXT", "act_py_unknown"}));
    ASSERT_EQ(o.operations.size(), 2);
    EXPECT_EQ(o.operations.at(0).text, QStringLiteral("a"));
    EXPECT_EQ(o.operations.at(1).operation, 2);
    EXPECT_TRUE(QDir::isAbsolutePath(o.dbPath));
    EXPECT_TRUE(o.quit);

    ShellOptions defaults;
    ASSERT_TRUE(parseShellOptions({"shell"}, &defaults, &error));
    EXPECT_EQ(defaults.dbPath, QDir::current().absoluteFilePath(QStringLiteral("demo/hospital.db")));
    EXPECT_EQ(defaults.configPath, QDir::current().absoluteFilePath(QStringLiteral("demo/shell.ini")));
    EXPECT_TRUE(defaults.hostDir.isEmpty());
    EXPECT_FALSE(defaults.quit);

    EXPECT_FALSE(parseShellOptions({"shell", "--operate", "zero,8,a"}, &o, &error));
    EXPECT_FALSE(parseShellOptions({"shell", "--no-such-option"}, &o, &error));
}

// ---------------------------------------------------------------------------
// Database

TEST(HostDatabaseTest, MissingFileIsCreatedWithTheSchema)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new/hospital.db"));
    HostDatabase database = openHostDatabase(path);
    ASSERT_NE(database.db, nullptr) << database.error.toStdString();
    EXPECT_TRUE(database.created);
    EXPECT_TRUE(hisdb::hasSchema(database.db));
    closeHostDatabase(database);

    HostDatabase again = openHostDatabase(path);
    ASSERT_NE(again.db, nullptr) << again.error.toStdString();
    EXPECT_FALSE(again.created);
    closeHostDatabase(again);
}

TEST(HostDatabaseTest, FilesThatAreNoHospitalDatabaseAreLeftUntouched)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.db"));
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(plain.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "create table T(a); insert into T values (1)", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    const QString garbage = dir.filePath(QStringLiteral("garbage.db"));
    writeBytes(garbage, QByteArray("this is not a database file, just some text\n").repeated(200));
    const QString empty = dir.filePath(QStringLiteral("empty.db"));
    writeBytes(empty, QByteArray());

    for (const QString &path : {plain, garbage, empty}) {
        const QByteArray before = fileBytes(path);
        HostDatabase database = openHostDatabase(path);
        EXPECT_EQ(database.db, nullptr) << path.toStdString();
        EXPECT_FALSE(database.error.isEmpty()) << path.toStdString();
        EXPECT_TRUE(database.error.contains(path)) << database.error.toStdString();
        EXPECT_EQ(fileBytes(path), before) << path.toStdString();
        EXPECT_FALSE(QFile::exists(path + "-wal")) << path.toStdString();
    }
    HostDatabase folder = openHostDatabase(dir.path());
    EXPECT_EQ(folder.db, nullptr);
    EXPECT_FALSE(folder.error.isEmpty());
}

// ---------------------------------------------------------------------------
// Main window with the protocol module

class ShellWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module = new ModuleHost;
        QString error;
        ASSERT_TRUE(s_module->load(QCoreApplication::applicationDirPath() + "/shell-protocol-module", &error))
            << error.toStdString();
        s_library = new QLibrary(s_module->fileName());
        ASSERT_TRUE(s_library->load());
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QString error;
        m_database.db = hisdb::open(m_dir.filePath(QStringLiteral("hospital.db")), &error);
        ASSERT_NE(m_database.db, nullptr) << error.toStdString();
        m_config = parseHostConfig(exampleHostConfig(), QStringLiteral("example.ini"));
        m_record = std::make_unique<HostParamsRecord>(m_config);
        m_window = std::make_unique<MainWindow>(s_module, m_database.db, m_record->params(), m_config);
        m_window->setMessagesFile(m_dir.filePath(QStringLiteral("m.txt")));
        m_window->show();
    }

    void TearDown() override
    {
        m_window->shutDown();
        m_window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeHostDatabase(m_database);
    }

    template <typename T>
    T resolve(const char *name)
    {
        return reinterpret_cast<T>(s_library->resolve(name));
    }

    QStringList messages() const
    {
        return QString::fromUtf8(fileBytes(m_dir.filePath(QStringLiteral("m.txt")))).split('\n', Qt::SkipEmptyParts);
    }

    void flush()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Sends a host message the way the module does: GBK bytes in a copy-data
    // event to the object named by the application property.
    static void sendHostMessage(const QString &text)
    {
        QObject *main = qApp->property(HIS_MAIN_WINDOW_PROPERTY).value<QObject *>();
        ASSERT_NE(main, nullptr);
        const QByteArray bytes = gbk(text);
        HisCopyData data{uintptr_t(bytes.size()), uint32_t(bytes.size()), bytes.constData()};
        HisCopyDataEvent event(data);
        QCoreApplication::sendEvent(main, &event);
        EXPECT_EQ(event.result, 1);
    }

    static ModuleHost *s_module;
    static QLibrary *s_library;
    QTemporaryDir m_dir;
    HostDatabase m_database;
    HostConfig m_config;
    std::unique_ptr<HostParamsRecord> m_record;
    std::unique_ptr<MainWindow> m_window;
};

ModuleHost *ShellWindowTest::s_module = nullptr;
QLibrary *ShellWindowTest::s_library = nullptr;

TEST_F(ShellWindowTest, ModuleReceivesTheHostsObjectsAndGbkTexts)
{
    ASSERT_EQ(qApp->property(HIS_MAIN_WINDOW_PROPERTY).value<QObject *>(), m_window.get());
    ASSERT_TRUE(m_window->runAction(QStringLiteral("ACT_PY_MZPYXT")));
    EXPECT_EQ(QByteArray(resolve<const char *(*)()>("TestLastAction")()), QByteArray("ACT_PY_MZPYXT"));
    EXPECT_EQ(QByteArray(resolve<const char *(*)()>("TestLastHint")()), gbk(QStringLiteral("门诊配药")));
    EXPECT_EQ(resolve<const HisHostParams *(*)()>("TestLastParams")(), m_record->params());
    EXPECT_EQ(resolve<void *(*)()>("TestLastDb")(), static_cast<void *>(m_database.db));
    EXPECT_EQ(resolve<void *(*)()>("TestLastApp")(), static_cast<void *>(qApp));
}

TEST_F(ShellWindowTest, EmbeddedFormLivesOnItsPageUntilTheTabIsClosed)
{
    QTabWidget *tabs = m_window->pages();
    ASSERT_TRUE(m_window->runAction(QStringLiteral("ACT_PY_MZPYXT")));
    ASSERT_EQ(tabs->count(), 1);
    QWidget *page = tabs->widget(0);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("门诊配药"));
    const QList<quintptr> forms = m_window->formsOfPage(page);
    ASSERT_EQ(forms.size(), 1);
    QWidget *form = QWidget::find(WId(forms.first()));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->objectName(), QStringLiteral("TfrmPY_MZPYXT"));
    EXPECT_EQ(form->parentWidget(), page);

    // The form follows its page when the window is resized.
    m_window->resize(1500, 1000);
    flush();
    EXPECT_EQ(form->size(), page->size());

    // The same menu entry again: the module brings its form forward on the
    // same page; no second page.
    ASSERT_TRUE(m_window->runAction(QStringLiteral("act_py_mzpyxt")));
    flush();
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_EQ(m_window->formsOfPage(page), forms);

    // Closing the tab asks the module to close the form; its destruction
    // message closes the page.
    QPointer<QWidget> formGuard(form);
    emit tabs->tabCloseRequested(0);
    flush();
    EXPECT_TRUE(formGuard.isNull());
    EXPECT_EQ(tabs->count(), 0);

    const QStringList lines = messages();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("NEWDLLCONTAINERFORM@DLL_MZPY_KTRB.so,TfrmPY_MZPYXT,")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("CLOSEMAINFORMACTIVEPAGE@DLL_MZPY_KTRB.so,TfrmPY_MZPYXT,")));
}

TEST_F(ShellWindowTest, PagesWithoutAFormDoNotStay)
{
    QTabWidget *tabs = m_window->pages();

    // A dialog form reports the page as its container; the page goes when
    // the dialog is done.
    int tabsWhileModal = -1;
    QTimer::singleShot(50, [&]() {
        tabsWhileModal = tabs->count();
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    EXPECT_TRUE(m_window->runAction(QStringLiteral("ACT_PY_CKSZ00")));
    flush();
    EXPECT_EQ(tabsWhileModal, 1);
    EXPECT_EQ(tabs->count(), 0);

    // A function that ran without opening a form.
    EXPECT_TRUE(m_window->runAction(QStringLiteral("ACT_PY_PYDY00")));
    flush();
    EXPECT_EQ(tabs->count(), 0);

    // An unknown action: the module asks to close the page it was given.
    EXPECT_FALSE(m_window->runAction(QStringLiteral("act_py_unknown")));
    flush();
    EXPECT_EQ(tabs->count(), 0);
    EXPECT_EQ(messages().last(), QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@DLL_MZPY_KTRB.so,None,act_py_unknown"));

    // EX never closes a page that holds a form.
    ASSERT_TRUE(m_window->runAction(QStringLiteral("ACT_PY_MZPYXT")));
    sendHostMessage(QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@DLL_MZPY_KTRB.so,None,ACT_PY_MZPYXT"));
    flush();
    EXPECT_EQ(tabs->count(), 1);
}

TEST_F(ShellWindowTest, OpenByActionRunsTheModuleAfterItsCallWithTheParameter)
{
    QTabWidget *tabs = m_window->pages();
    EXPECT_TRUE(m_window->runAction(QStringLiteral("ACT_TEST_OPEN")));
    EXPECT_EQ(tabs->count(), 0);
    flush();
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("门诊配药"));
    EXPECT_EQ(m_window->formsOfPage(tabs->widget(0)).size(), 1);
    EXPECT_EQ(QByteArray(resolve<const char *(*)()>("TestLastHint")()), QByteArray("<CFLSH0>42</CFLSH0>"));

    // An action no module of this host knows is only logged.
    sendHostMessage(QStringLiteral("OPENDLLFORMBYACTION@ACT_XX_OTHER,abc"));
    flush();
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_TRUE(m_window->logPane()->toPlainText().contains(QStringLiteral("ACT_XX_OTHER")));
}

TEST_F(ShellWindowTest, BrowserRequestsShowTheAddressOnAPage)
{
    QTabWidget *tabs = m_window->pages();
    const QString address = QStringLiteral("http://127.0.0.1/p?patient_index_id=1001&staff=88&dept=12&sys=his");
    sendHostMessage(QStringLiteral("OPENCHROMEBROWSER@") + address + QStringLiteral(",360患者视图"));
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("360患者视图"));
    EXPECT_EQ(tabs->widget(0)->findChild<QLineEdit *>(QStringLiteral("edtBrowserAddress"))->text(), address);

    // The embedded browser function: close, open with the tagged address,
    // retitle.
    const QString prefix = QStringLiteral("DLL_MZPY_KTRB.so,None,ACT_GGMK_WEBBROWSER");
    sendHostMessage(QStringLiteral("CLOSEDLLACTIVEFORM@") + prefix);
    sendHostMessage(QStringLiteral("OPENDLLFORMBYACTION@ACT_GGMK_WEBBROWSER,<URLSTR>http://h/clini/5?sysCode=S01</URLSTR>"));
    sendHostMessage(QStringLiteral("CHANGEACTIVEPAGECAPTION@") + prefix + QStringLiteral(",360患者视图,二"));
    ASSERT_EQ(tabs->count(), 2);
    QWidget *page = m_window->pageForAction(QStringLiteral("ACT_GGMK_WEBBROWSER"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(tabs->tabText(tabs->indexOf(page)), QStringLiteral("360患者视图,二"));
    EXPECT_EQ(page->findChild<QLineEdit *>(QStringLiteral("edtBrowserAddress"))->text(),
              QStringLiteral("http://h/clini/5?sysCode=S01"));

    // Asking again closes the page opened before.
    sendHostMessage(QStringLiteral("CLOSEDLLACTIVEFORM@") + prefix);
    flush();
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_EQ(m_window->pageForAction(QStringLiteral("ACT_GGMK_WEBBROWSER")), nullptr);

    // Every message is one UTF-8 line of the messages file, decoded from GBK.
    const QStringList lines = messages();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.at(0), QStringLiteral("OPENCHROMEBROWSER@") + address + QStringLiteral(",360患者视图"));
}

TEST_F(ShellWindowTest, VersionAndInterfaceMessagesAreLogged)
{
    m_window->operate(0, 8, QStringLiteral("abc"));  // the protocol module ignores it
    sendHostMessage(QStringLiteral("GETDLLFILEVERSION@<DllDBVerNo>CSBB</DllDBVerNo><DllFileVerNo></DllFileVerNo>"
                                   "<DllFileSysId>R</DllFileSysId><DllOperateParm>abc</DllOperateParm>"));
    EXPECT_EQ(m_window->lastVersionReply(), QStringLiteral("数据库版本 CSBB, 文件版本 , 系统 R, 参数 abc"));
    sendHostMessage(QStringLiteral("WRITEINTERFACEQCFKL@2024000123,"));
    EXPECT_TRUE(m_window->logPane()->toPlainText().contains(QStringLiteral("2024000123")));
    sendHostMessage(QStringLiteral("no at sign"));
    sendHostMessage(QStringLiteral("NEWDLLCONTAINERFORM@x"));  // too few fields: logged, nothing opened
    EXPECT_EQ(m_window->pages()->count(), 0);
}

TEST_F(ShellWindowTest, ShutDownClosesEveryFormAndStopsReceiving)
{
    ASSERT_TRUE(m_window->runAction(QStringLiteral("ACT_PY_MZPYXT")));
    const quintptr form = m_window->formsOfPage(m_window->pages()->widget(0)).first();
    m_window->shutDown();
    flush();
    EXPECT_EQ(QWidget::find(WId(form)), nullptr);
    EXPECT_EQ(m_window->pages()->count(), 0);
    EXPECT_FALSE(qApp->property(HIS_MAIN_WINDOW_PROPERTY).isValid());
}
