// The module's host side from the inside: the data module's query
// operations, the start-up check, the session lookups, the workstation
// configuration, the base form and the function rights.
#include "DLL_MZPY_KTRB.h"
#include "HostParamsBuilder.h"
#include "MessageSink.h"
#include "TestEnv.h"

#include "common/Env.h"
#include "common/FunctionRights.h"
#include "common/Ini.h"
#include "common/Prompts.h"
#include "common/Session.h"
#include "host/ModuleState.h"
#include "host/WorkstationConfig.h"
#include "host/uBaseDLLForm.h"
#include "host/uDLLDM.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace mzpy;

// A function form of the tests.
class TfrmTestForm : public TBaseDLLForm {
    Q_OBJECT
public:
    TfrmTestForm()
    {
        auto *layout = new QVBoxLayout(pnlBaseFormContainer);
        edtInput = new QLineEdit(pnlBaseFormContainer);
        edtInput->setObjectName(QStringLiteral("edtInput"));
        edtReadOnly = new QLineEdit(pnlBaseFormContainer);
        edtReadOnly->setObjectName(QStringLiteral("edtReadOnly"));
        edtReadOnly->setReadOnly(true);
        tabs = new QTabWidget(pnlBaseFormContainer);
        tabs->setObjectName(QStringLiteral("pgcMain"));
        tsFirst = new QWidget;
        tsFirst->setObjectName(QStringLiteral("tsFirst"));
        tsSecond = new QWidget;
        tsSecond->setObjectName(QStringLiteral("tsSecond"));
        tabs->addTab(tsFirst, QStringLiteral("一"));
        tabs->addTab(tsSecond, QStringLiteral("二"));
        grid = new QTableView(pnlBaseFormContainer);
        grid->setObjectName(QStringLiteral("grdList"));
        model = new QStandardItemModel(0, 2, grid);
        model->setHeaderData(0, Qt::Horizontal, QStringLiteral("CFLSH0"), ColumnNameRole);
        model->setHeaderData(1, Qt::Horizontal, QStringLiteral("BRXM00"), ColumnNameRole);
        grid->setModel(model);
        grid->setColumnHidden(1, true);
        actSave = new QAction(QStringLiteral("保存"), this);
        actSave->setObjectName(QStringLiteral("actSave"));
        qryList = new TQuery(this, QStringLiteral("qryList"));
        layout->addWidget(edtInput);
        layout->addWidget(edtReadOnly);
        layout->addWidget(tabs);
        layout->addWidget(grid);
    }
    QLineEdit *edtInput, *edtReadOnly;
    QTabWidget *tabs;
    QWidget *tsFirst, *tsSecond;
    QTableView *grid;
    QStandardItemModel *model;
    QAction *actSave;
    TQuery *qryList;
};

class TfrmOtherForm : public TBaseDLLForm {
    Q_OBJECT
};

namespace {

class HostModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        setHostDir(env.hostDir());
        prompts = std::make_shared<RecordingPromptService>();
        setPromptService(prompts);
    }
    void TearDown() override
    {
        OperateDllNormalForm(0, 2, "");
        setPromptService(nullptr);
        setHostDir(QString());
    }
    // Starts the module (an action that does not exist only runs the start-up).
    void start()
    {
        ShowDLLNormalForm(qApp, &page, env.db(), "ACT_PY_NONE", "", host.params());
        ASSERT_NE(DLLDM(), nullptr);
        prompts->clear();
    }

    TestEnv env{false};
    HostParamsBuilder host;
    std::shared_ptr<RecordingPromptService> prompts;
    QWidget page;
};

// ------------------------------------------------------------ data module

TEST_F(HostModule, ValueLookupsHaveTheirFallbacks)
{
    start();
    TDLLDM *dm = DLLDM();
    env.exec("create table T_VAL (ID integer, NAME text)");
    env.exec("insert into T_VAL values (1,'甲'),(2,'乙')");
    EXPECT_EQ(dm->DbValue("select NAME from T_VAL where ID=2"), QStringLiteral("乙"));
    EXPECT_EQ(dm->DbValue("select NAME from T_VAL where ID=9"), QString());
    EXPECT_EQ(dm->DbValue("select NAME from T_NOWHERE"), QStringLiteral("-1"));
    EXPECT_EQ(dm->DbValue("select 4/2 from dual"), QStringLiteral("2"));
    EXPECT_EQ(dm->DbValueParams("select NAME from T_VAL where ID=:ID", {{"ID", "1"}}), QStringLiteral("甲"));
    EXPECT_EQ(dm->DbValueParams("select NAME from T_NOWHERE where ID=:ID", {{"ID", "1"}}), QString());
    EXPECT_FALSE(dm->qryGeneral->active());
    EXPECT_TRUE(prompts->entries.isEmpty());
}

TEST_F(HostModule, FailingStatementsPromptAndAbandonTheCommand)
{
    start();
    TDLLDM *dm = DLLDM();
    EXPECT_THROW(dm->DbExec("update T_NOWHERE set A=1", false), SilentAbort);
    ASSERT_EQ(prompts->entries.size(), 1);
    EXPECT_TRUE(prompts->entries[0].text.startsWith(QStringLiteral("执行语句错误！错误信息")));
    EXPECT_EQ(prompts->entries[0].icon, icError);
    TQuery q;
    EXPECT_THROW(dm->DbOpen(&q, "select * from T_NOWHERE"), SilentAbort);
    EXPECT_TRUE(prompts->entries.last().text.startsWith(QStringLiteral("查询语句错误！错误信息")));
    EXPECT_FALSE(RunGuarded([&] { dm->DbExecText("delete T_NOWHERE where 1=1"); }));
}

TEST_F(HostModule, ExecWithCommitIsVisibleToAnotherConnection)
{
    start();
    env.exec("create table T_C (ID integer)");
    DLLDM()->DbExec("insert into T_C values (1)", false);
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(env.dbPath().toUtf8().constData(), &other), SQLITE_OK);
    auto count = [&] {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(other, "select count(*) from T_C", -1, &st, nullptr);
        sqlite3_step(st);
        const int n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        return n;
    };
    EXPECT_EQ(count(), 0);  // pending until commit
    DLLDM()->DbExec("insert into T_C values (2)", true);
    EXPECT_EQ(count(), 2);
    sqlite3_close(other);
}

TEST_F(HostModule, CodeComboAndNextRowValue)
{
    start();
    TDLLDM *dm = DLLDM();
    env.exec("create table T_CODE (BH text, MC text)");
    env.exec("insert into T_CODE values ('01','一号'),('02','二号')");
    TExpandComboBox combo;
    combo.addItem("keep");
    EXPECT_FALSE(dm->FillCodeCombo(&combo, "", "MC", "BH", "", "", false, "", "", 0));
    EXPECT_EQ(combo.count(), 1);
    EXPECT_TRUE(dm->FillCodeCombo(&combo, "T_CODE", "MC", "BH", "and BH<>'99'", "BH", true, "全部", "%", 1));
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.Values, (QStringList{"%", "01", "02"}));
    EXPECT_EQ(combo.currentText(), QStringLiteral("一号"));
    EXPECT_EQ(combo.currentValue(), QStringLiteral("01"));

    TQuery q;
    dm->DbOpen(&q, "select BH from T_CODE order by BH");
    q.last();
    EXPECT_EQ(TDLLDM::NextRowValue(&q, "BH"), QStringLiteral("01"));
    EXPECT_EQ(q.recNo(), 1);
    q.first();
    EXPECT_EQ(TDLLDM::NextRowValue(&q, "BH"), QStringLiteral("02"));
    dm->DbOpen(&q, "select BH from T_CODE where BH='01'");
    EXPECT_EQ(TDLLDM::NextRowValue(&q, "BH"), QStringLiteral("-1"));
}

// --------------------------------------------------------- start-up check

TEST_F(HostModule, StartupCheckWithOtherBuildValues)
{
    start();
    struct Case {
        const char *program;
        const char *fileVersion;
        const char *system;      // XT_DBMS00.DBBB00, nullptr = no row
        const char *registered;  // XT_YYXT00.XTBB00, nullptr = no row
        bool passes;
        const char *prompt;      // start of the error prompt
    };
    const Case cases[] = {
        {"CSBB", "", nullptr, nullptr, true, nullptr},
        {"tybb", "", nullptr, nullptr, true, nullptr},
        {"5.1", "", "5.1", nullptr, true, nullptr},
        {"5.2", "", "5.1", nullptr, false, "程序的数据库版本<5.2>超出系统的数据库版本<5.1>，"},
        {"6.0", "", "5.1", nullptr, false, "程序数据库版本错误，模块无法运行，请联系管理员！\r\n程序数据库版本为：6.0，系统数据库版本为：5.1"},
        {"4.9;5.0", "", "5.1", nullptr, true, nullptr},
        {"4.9;5.3", "", "5.1", nullptr, false, "程序的数据库版本<5.3>超出系统的数据库版本<5.1>"},
        {"4.9;3.0", "", "5.1", nullptr, false, "程序数据库版本错误"},
        {"5.1", "", "-1", nullptr, false, "本软件已升级增加系统数据库版本的控制\r\n请联系管理员！\r\n"},
        {"5.1", "1.2.3.4", "5.1", "1.2.3", true, nullptr},
        {"5.1", "1.2.3.4", "5.1", "", true, nullptr},
        {"5.1", "1.2.3.4", "5.1", "1.2.4", false, "当前模块所属文件<"},
    };
    for (const Case &c : cases) {
        env.exec("delete from XT_DBMS00; delete from XT_YYXT00");
        if (c.system)
            env.exec(QStringLiteral("insert into XT_DBMS00 (SJKYH0, DBBB00) values ('his', '%1')").arg(c.system));
        if (c.registered)
            env.exec(QStringLiteral("insert into XT_YYXT00 (XTDM00, XTBB00) values ('R', '%1')").arg(c.registered));
        prompts->clear();
        EXPECT_EQ(StartupCheck(c.program, c.fileVersion), c.passes) << c.program;
        if (c.prompt) {
            ASSERT_EQ(prompts->entries.size(), 1) << c.program;
            EXPECT_TRUE(prompts->entries[0].text.startsWith(QString::fromUtf8(c.prompt)))
                << prompts->entries[0].text.toStdString();
            EXPECT_EQ(prompts->entries[0].icon, icError);
        } else {
            EXPECT_TRUE(prompts->entries.isEmpty()) << c.program;
        }
    }
}

// ------------------------------------------------------------ session

TEST_F(HostModule, ParameterLookups)
{
    host.sysParam("MZPY_A", "", 1).sysParam("MZPY_A", "Y", 2)
        .sysParam("YF_WZTCAJK", "Y;N", 1).sysParam("YF_WZTCAJK", "N;N", 2)
        .userOption("RTNRUM", "abc").userOption("IPTDRT", "Y").userOption("FZSRF0", "五笔码")
        .loginSetting("printer", "printmode", "v");
    start();
    EXPECT_EQ(GetSysParam("MZPY_A", "d"), QStringLiteral("Y"));
    EXPECT_EQ(GetSysParam("  yf_wztcajk  ", "d"), QStringLiteral("Y;N"));
    EXPECT_EQ(GetSysParam("MISSING", "d"), QStringLiteral("d"));
    EXPECT_EQ(GetUserOption("iptdrt", ""), QStringLiteral("Y"));
    EXPECT_EQ(GetLoginSettingText("ICK", "NOKEY"), QStringLiteral("0"));
    EXPECT_EQ(GetLoginSettingText("ICK", "  "), QStringLiteral("0"));
    EXPECT_EQ(GetLoginSettingText("PRINTER", "PRINTMODE"), QStringLiteral("v"));
    const SessionContext &s = Session();
    EXPECT_EQ(s.printMode, QStringLiteral("P"));  // exact comparison: "v" is not "V"
    EXPECT_EQ(s.inputAssist.listRows, 100);
    EXPECT_EQ(s.inputAssist.matchMode, pvXHPP);
    EXPECT_EQ(s.inputAssist.searchField, svWBM);
    EXPECT_EQ(s.operatorName, QStringLiteral("张药师"));
    EXPECT_EQ(s.machineName, QStringLiteral("PC-TEST"));
}

TEST_F(HostModule, SessionReadsTheDepartmentAndPrintModes)
{
    env.exec("insert into BM_BMBM00 (BMBH00, BMMC00, BMXZ00, YYID00) values (201, '门诊西药房', 'YF', '1001')");
    host.loginSetting("PRINTER", "PRINTMODE", "V");
    start();
    EXPECT_EQ(Session().departmentNature, QStringLiteral("YF"));
    EXPECT_EQ(Session().departmentHospitalId, QStringLiteral("1001"));
    EXPECT_EQ(Session().printMode, QStringLiteral("V"));
}

TEST_F(HostModule, DictionaryAndAllergyLookups)
{
    start();
    env.exec("insert into BM_TYZD00 (ZDMC00, BH0000, MC0000) values ('测试类', '01', '  名称  '), ('测试类', '02', '')");
    EXPECT_EQ(GetDictName("测试类", " 01 ", "x"), QStringLiteral("名称"));
    EXPECT_EQ(GetDictName("测试类", "99", "  x  "), QStringLiteral("  x  "));
    EXPECT_EQ(GetDictName("测试类", "02", "  x  "), QStringLiteral("x"));
    EXPECT_EQ(GetDictName("测试类", "0'1", "d"), QStringLiteral("d"));  // bound, not pasted
    EXPECT_EQ(GetAllergyText(0, ""), QString());
    EXPECT_TRUE(prompts->entries.isEmpty());
}

TEST(HostModuleFixture, AllergyTextHasThreeLinesInKindOrder)
{
    TestEnv env;  // the fixture hospital: patient 100005 is allergic to penicillin
    HostParamsBuilder host;
    QWidget page;
    setHostDir(env.hostDir());
    auto prompts = std::make_shared<RecordingPromptService>();
    setPromptService(prompts);
    ShowDLLNormalForm(qApp, &page, env.db(), "ACT_PY_NONE", "", host.params());
    const QStringList lines = GetAllergyText(100005, "").split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("药物过敏史:")) && lines[0].contains(QStringLiteral("青霉素")))
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("食物过敏史:未发现"));
    EXPECT_EQ(lines[2], QStringLiteral("其他过敏史:未发现"));
    OperateDllNormalForm(0, 2, "");
    setPromptService(nullptr);
    setHostDir(QString());
}

// ------------------------------------------------- workstation configuration

TEST_F(HostModule, WorkstationConfigurationDefaultsAndNormalisation)
{
    struct Case {
        QByteArray ini;
        QString sxms;
        bool printBq;
        QString jydy;
    };
    const Case cases[] = {
        {"[MZPY]\r\nCKBH_PY_SXMS=12a\r\nPrint_BQ=y\r\n", "5", false, "3"},
        {"[mzpy]\r\nckbh_py_sxms=007\r\nJYDY_SXMS=9\r\n", "007", true, "9"},
        {"no section at all\r\n=\r\n;comment\r\n", "5", true, "3"},
    };
    for (const Case &c : cases) {
        env.writeFile("login.ini", c.ini);  // the writers' spelling; read as Login.ini
        start();
        EXPECT_EQ(Config().CKBH_PY_SXMS, c.sxms);
        EXPECT_EQ(Config().Print_BQ, c.printBq);
        EXPECT_EQ(Config().JYDY_SXMS, c.jydy);
        OperateDllNormalForm(0, 2, "");
    }
}

TEST_F(HostModule, PackagingAddressAndReturnReasons)
{
    env.writeFile("Login.ini", "[MZPY]\r\nIRON_IP=10.0.0.9\r\nCKBH_PY=3\r\n");
    env.exec("insert into BM_TYZD00 (ZDMC00, BH0000, MC0000, LBBZ00, XSXH00) values "
             "('门诊审方退回原因','2','剂量不对','0',2), ('门诊审方退回原因','1','重复用药','0',1), "
             "('门诊审方退回原因','3','停用','1',3)");
    host.sysParam("MZPY_IRONJKIP", "192.168.1.5");
    start();
    EXPECT_EQ(Config().IRON_IP, QStringLiteral("192.168.1.5"));
    EXPECT_EQ(Config().CKBH_PY, QStringLiteral("3"));
    EXPECT_EQ(Config().returnReasons, QStringLiteral("重复用药|剂量不对"));
    OperateDllNormalForm(0, 2, "");
    start();  // loaded again after close-all, same text
    EXPECT_EQ(Config().returnReasons, QStringLiteral("重复用药|剂量不对"));
}

TEST_F(HostModule, MissingLoginIniReadsDefaultsAndIsNeverCreated)
{
    start();
    EXPECT_EQ(Config().CKBH_PY_SXMS, QStringLiteral("5"));
    EXPECT_TRUE(Config().Print_BQ);
    EXPECT_EQ(Config().MZCFDY_LOG, QStringLiteral("N"));
    WriteLoginIni("MZPY", "CKBH_PY", "7");
    EXPECT_FALSE(QFile::exists(env.hostDir() + "Login.ini"));
    EXPECT_FALSE(QFile::exists(env.hostDir() + "login.ini"));
}

// --------------------------------------------------------------- forms

TEST_F(HostModule, EmbeddedFormOpensOnceAndKeepsItsWorkingArea)
{
    MessageSink sink;
    start();
    page.resize(600, 400);
    TBaseDLLForm *f = OpenEmbeddedForm(formClass<TfrmTestForm>(), &page, "", "");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->OpenMode, 1);
    EXPECT_EQ(f->parentWidget(), &page);
    const SessionContext &s = Session();
    EXPECT_EQ(f->pnlBaseFormContainer->width(), s.minWidth - s.marginH);
    EXPECT_EQ(f->pnlBaseFormContainer->height(), s.minHeight - s.marginV);
    ASSERT_FALSE(sink.messages.isEmpty());
    EXPECT_EQ(sink.messages.last(), QStringLiteral("NEWDLLCONTAINERFORM@DLL_MZPY_KTRB.so,TfrmTestForm,%1,%2")
                                        .arg(page.winId()).arg(f->winId()));
    const int sent = sink.messages.size();
    EXPECT_EQ(OpenEmbeddedForm(formClass<TfrmTestForm>(), &page, "", ""), f);
    EXPECT_EQ(sink.messages.size(), sent);

    // A dialog of the same class and key closes the embedded one first.
    QPointer<TBaseDLLForm> embedded(f);
    TBaseDLLForm *dlg = OpenDialogForm(formClass<TfrmTestForm>(), false, "", "", &page);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(embedded.isNull());
    EXPECT_EQ(dlg->OpenMode, 2);
    EXPECT_TRUE(sink.messages.contains(QStringLiteral("CLOSEMAINFORMACTIVEPAGE@DLL_MZPY_KTRB.so,TfrmTestForm,%1").arg(page.winId())));
}

TEST_F(HostModule, NoContainerMeansNoForm)
{
    ShowDLLNormalForm(qApp, nullptr, env.db(), "ACT_PY_NONE", "", host.params());
    prompts->clear();
    EXPECT_EQ(OpenEmbeddedForm(formClass<TfrmTestForm>(), nullptr, "", ""), nullptr);
    ASSERT_EQ(prompts->entries.size(), 1);
    EXPECT_EQ(prompts->entries[0].text, QStringLiteral("找不到存放窗口的面板"));
}

TEST_F(HostModule, CloseByHandleAndCloseAll)
{
    MessageSink sink;
    start();
    QWidget page2;
    TBaseDLLForm *a = OpenEmbeddedForm(formClass<TfrmTestForm>(), &page, "", "");
    TBaseDLLForm *b = OpenEmbeddedForm(formClass<TfrmOtherForm>(), &page2, "", "");
    QPointer<TBaseDLLForm> pa(a), pb(b);
    OperateDllNormalForm(uintptr_t(b->winId()), 2, "");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pb.isNull());
    EXPECT_FALSE(pa.isNull());
    EXPECT_NE(DLLDM(), nullptr);  // closing one form leaves the module started
    OperateDllNormalForm(0, 2, "");
    EXPECT_TRUE(pa.isNull());
    EXPECT_EQ(DLLDM(), nullptr);
    EXPECT_EQ(Module().actionForm, nullptr);
}

TEST_F(HostModule, InputSecurityCheck)
{
    struct Case {
        const char *level;
        const char *editText;
        bool readOnlyEdit;  // the word is in the read-only box instead
        bool blocked;
    };
    const Case cases[] = {
        {"1;drop,delete", "x DROP y", false, true},
        {"1;\"drop table\" truncate", "a Drop Table b", false, true},
        {"1;drop,delete", "x DROP y", true, false},
        {"0", "x DROP y", false, false},
        {"2;drop", "x DROP y", false, false},
    };
    for (const Case &c : cases) {
        HostParamsBuilder h;
        h.sysParam("XT_SQLPLUSSECURLEVEL", c.level);
        ShowDLLNormalForm(qApp, &page, env.db(), "ACT_PY_NONE", "", h.params());
        prompts->clear();
        auto *f = static_cast<TfrmTestForm *>(OpenEmbeddedForm(formClass<TfrmTestForm>(), &page, "", ""));
        (c.readOnlyEdit ? f->edtReadOnly : f->edtInput)->setText(c.editText);
        f->qryList->setSql("select 1 from dual");
        bool opened = false;
        RunGuarded([&] { f->qryList->open(); opened = true; });
        EXPECT_EQ(opened, !c.blocked) << c.level;
        if (c.blocked) {
            ASSERT_EQ(prompts->entries.size(), 1);
            EXPECT_EQ(prompts->entries[0].text, QStringLiteral("编辑框中含有非法字符"));
            EXPECT_FALSE(f->qryList->active());
        } else {
            EXPECT_TRUE(prompts->entries.isEmpty()) << c.level;
        }
        OperateDllNormalForm(0, 2, "");
    }
}

TEST_F(HostModule, FunctionRightsByNameKindAndOrder)
{
    host.right("tfrmtestform", "EDTINPUT", false, true)
        .right("TfrmTestForm", "tsSecond", false, true)
        .right("TfrmTestForm", "BRXM00", true, false)     // a grid column: visible only
        .right("TfrmTestForm", "actSave", true, false)
        .right("TfrmTestForm", "edtReadOnly", true, false)
        .right("TfrmTestForm", "edtReadOnly", true, true)  // the last row wins
        .right("TfrmTestForm", "nothingLikeThis", false, false)
        .right("TfrmOtherForm", "edtReadOnly", false, false);
    start();
    auto *f = static_cast<TfrmTestForm *>(OpenEmbeddedForm(formClass<TfrmTestForm>(), &page, "", ""));
    EXPECT_TRUE(f->edtInput->isHidden());
    EXPECT_FALSE(f->tabs->isTabVisible(1));
    EXPECT_TRUE(f->tabs->isTabVisible(0));
    EXPECT_FALSE(f->grid->isColumnHidden(1));
    EXPECT_TRUE(f->actSave->isVisible());
    EXPECT_FALSE(f->actSave->isEnabled());
    EXPECT_TRUE(f->edtReadOnly->isEnabled());
    EXPECT_FALSE(f->edtReadOnly->isHidden());
}

}  // namespace

#include "test_host_module.moc"
