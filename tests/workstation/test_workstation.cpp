// The dispensing workstation on the fixture hospital: opening, lists,
// dispensing, issuing, reversals, returns, recall and window control.
#include "WorkstationFixture.h"

#include "common/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QPlainTextEdit>
#include <QSpinBox>
#include "workstation/UnitMZPY_PFRSelect.h"
#include "workstation/UnitPY_ZYDJS.h"

using namespace mzpy;
using namespace wstest;

using Workstation = WorkstationTest;

namespace {
QSet<QString> asSet(const QStringList &list)
{
    return QSet<QString>(list.begin(), list.end());
}
}  // namespace

// ------------------------------------------------------------------ opening

TEST_F(Workstation, OpensWithoutWindowThenLoadsWhenOneIsConfigured)
{
    TfrmPY_MZPYXT *f = open(QStringLiteral("1"), QString());
    ASSERT_TRUE(f);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有配置发药窗口，请先进行配置！")});
    EXPECT_EQ(f->mdlDP->rowCount(), 0);
    EXPECT_EQ(f->edtCKMC->text(), QString());
    // the query page: its own "非本窗" unchecked without a window finds nothing
    f->btnQuery->click();
    EXPECT_EQ(asSet(listed(f->mdlCX)), asSet({"19", "20", "21"}));  // issued today by the pharmacy
    f->chkCXFBC->setChecked(false);
    f->btnQuery->click();
    EXPECT_EQ(f->mdlCX->rowCount(), 0);
    // the window settings choose a window: the watch picks it up on its next tick
    Config().CKBH_FY = QStringLiteral("3");
    f->WindowTick();
    EXPECT_EQ(f->edtCKMC->text(), QStringLiteral("03"));
    EXPECT_EQ(listed(f->mdlDP), (QStringList{"05", "06", "07", "08", "11"}));
    EXPECT_FALSE(listed(f->mdlDF).isEmpty());
}

TEST_F(Workstation, RefusesAWindowOfAnotherDepartment)
{
    TfrmPY_MZPYXT *f = open(QStringLiteral("5"), QStringLiteral("6"));
    ASSERT_TRUE(f);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("当前配置的窗口与您登录的部门不一致，请切换正确的窗口")});
    EXPECT_EQ(f->mdlDP->rowCount(), 0);
    EXPECT_EQ(f->mdlDF->rowCount(), 0);
    EXPECT_TRUE(f->CKBH_FY.isEmpty());
    EXPECT_TRUE(Config().CKBH_FY.isEmpty());
    f->WindowTick();  // nothing configured any more: nothing loads
    EXPECT_EQ(f->mdlDP->rowCount(), 0);
}

TEST_F(Workstation, OpeningReadsWindowStateCheckerAndWidth)
{
    env->exec("update BM_CKBM00 set ZT0000='0', JQMC00='PC1' where CKBH00=3");
    env->writeFile(QStringLiteral("Login.ini"), "[MZPY]\r\nCKBH_PY=1\r\nCKBH_FY=3\r\nMZPYXT_LEFT=abc\r\n");
    ShowDLLNormalForm(qApp, &page, env->db(), "ACT_PY_MZPYXT", "", host.params());
    TfrmPY_MZPYXT *f = nullptr;
    for (TBaseDLLForm *w : LiveForms())
        f = f ? f : qobject_cast<TfrmPY_MZPYXT *>(w);
    ASSERT_TRUE(f);
    EXPECT_TRUE(prompts->entries.isEmpty());
    EXPECT_EQ(f->rightWidth, TfrmPY_MZPYXT::kDesignedRightWidth);  // not a number: ignored
    EXPECT_EQ(f->lblZTMC->text(), QStringLiteral("工作中 "));
    EXPECT_FALSE(f->btnQY->isEnabled());
    EXPECT_TRUE(f->btnTZ->isEnabled());
    EXPECT_EQ(f->cmbSH->currentText(), QStringLiteral("张明|K1001"));
    EXPECT_EQ(f->pharmacyKind, QStringLiteral("2"));
    EXPECT_TRUE(f->btnYP->isEnabled());
    EXPECT_EQ(f->windowTitle(), QStringLiteral("门诊配药系统"));
    EXPECT_EQ(f->btnJZCK->text(), QStringLiteral("非急诊"));
    EXPECT_TRUE(f->btnTH->isHidden());  // returns to the doctor are off by default
}

TEST_F(Workstation, RecordButtonFollowsTheSecondSettings)
{
    const struct {
        const char *name;
        const char *value;
        bool visible;
        const char *caption;
    } cases[] = {{nullptr, nullptr, false, "诊疗记录"},
                 {"YJ_Medicalinfo", "N|4", true, "360患者"},
                 {"YF_ZYBYSFSXZLJL", "Y,0", true, "360患者"}};
    for (const auto &c : cases) {
        if (c.name)
            host.sysParam(QString::fromLatin1(c.name), QString::fromLatin1(c.value));
        TfrmPY_MZPYXT *f = open();
        ASSERT_TRUE(f);
        EXPECT_EQ(!f->btnZLJL->isHidden(), c.visible) << (c.name ? c.name : "defaults");
        EXPECT_EQ(f->btnZLJL->text(), QString::fromUtf8(c.caption));
        OperateDllNormalForm(0, 2, "");
    }
}

// ------------------------------------------------------------------ lists

TEST_F(Workstation, ListsShowTheQueueOfTheWindowByState)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    // state "4" entries wait while their print time is later than now (13 printed for 09:00)
    EXPECT_EQ(listed(f->mdlDP), (QStringList{"05", "06", "07", "08", "11"}));
    // returned entry 17 is on window 4; 35 is yesterday's
    EXPECT_EQ(asSet(listed(f->mdlDF)),
              asSet({"14", "15", "18", "22", "23"}));
    EXPECT_EQ(listed(f->mdlYF), (QStringList{"21", "19"}));
    // every window of the pharmacy; the returned prescription stays out
    f->chkFBC->setChecked(true);
    EXPECT_TRUE(listed(f->mdlDF).contains("16"));
    EXPECT_FALSE(listed(f->mdlDF).contains("17"));
    f->chkFBC->setChecked(false);
    // a range picked backwards still covers yesterday..today
    f->dtpStart->setDate(QDate(2025, 3, 5));
    f->dtpEnd->setDate(QDate(2025, 3, 4));
    EXPECT_TRUE(listed(f->mdlDF).contains("35"));
}

TEST_F(Workstation, PrintedForLaterEntryLeavesAtItsPrintTime)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    const struct {
        const char *now;
        bool listed;
    } cases[] = {{"2025-03-05 13:59:59", true}, {"2025-03-05 14:00:00", false}, {"2025-03-05 08:59:59", true}};
    for (const auto &c : cases) {
        setClockTo(QString::fromLatin1(c.now));
        f->RefreshDP();
        EXPECT_EQ(rowOf(f->mdlDP, 11) >= 0, c.listed) << c.now;
    }
    setClockTo(QStringLiteral("2025-03-05 08:59:59"));
    f->RefreshDP();
    EXPECT_GE(rowOf(f->mdlDP, 13), 0);
}

TEST_F(Workstation, CategoryFiltersOfTheHerbalPharmacy)
{
    host.operatorInfo(1011, QStringLiteral("K1011"), QStringLiteral("陈静")).department(102, QStringLiteral("门诊中药房"));
    TfrmPY_MZPYXT *f = open(QStringLiteral("5"), QStringLiteral("6"));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pharmacyKind, QStringLiteral("1"));
    EXPECT_FALSE(f->chkZCY->isHidden());
    EXPECT_EQ(listed(f->mdlDP), (QStringList{"25", "26", "27"}));
    const struct {
        bool zcy, qcf, dj;
        QStringList dp, df;
    } cases[] = {{true, true, true, {"25", "26", "27"}, {"30", "28"}},
                 {false, true, true, {"26", "27"}, {"28"}},
                 {false, false, true, {"26"}, {"28"}},
                 {false, false, false, {}, {}}};
    for (const auto &c : cases) {
        f->chkZCY->setChecked(c.zcy);
        f->chkQCF->setChecked(c.qcf);
        f->chkDJ->setChecked(c.dj);
        EXPECT_EQ(listed(f->mdlDP), c.dp);
        EXPECT_EQ(asSet(listed(f->mdlDF)),
                  asSet(c.df));
    }
}

TEST_F(Workstation, BasketColumnsFollowTheSetting)
{
    host.sysParam(QStringLiteral("MZPY_PMZPYXTRCSJ"), QStringLiteral("1"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    for (auto [view, model] : {std::pair{f->grdDP, f->mdlDP}, std::pair{f->grdDF, f->mdlDF}, std::pair{f->grdYF, f->mdlYF}})
        EXPECT_TRUE(view->isColumnHidden(model->columnOf(QStringLiteral("LZH000"))));
    EXPECT_TRUE(f->grdDP->isColumnHidden(f->mdlDP->columnOf(QStringLiteral("RCBYZT"))));
}

TEST_F(Workstation, ClickLoadsDetailAndQueryFollowsTheDepartment)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    const int row = rowOf(f->mdlDP, 7);
    emit f->grdDP->clicked(f->mdlDP->index(row, 1));
    EXPECT_EQ(f->pgcCX->currentWidget(), f->tsMX);
    EXPECT_EQ(f->shownPatient, QStringLiteral("100005"));
    ASSERT_GT(f->mdlMX->rowCount(), 0);
    EXPECT_EQ(f->mdlMX->text(0, QStringLiteral("CFLSH0")), serial(7));
    // the query list: the query page's own "非本窗" unchecked limits it to the window
    f->cmbRQLX->setCurrentIndex(1);  // 摆药日期
    f->chkCXFBC->setChecked(false);
    f->btnQuery->click();
    QStringList shown = listed(f->mdlCX);
    EXPECT_TRUE(shown.contains("05"));
    EXPECT_FALSE(shown.contains("04"));   // window 4
    EXPECT_FALSE(shown.contains("24"));   // herbal pharmacy
}

TEST_F(Workstation, TimerRefreshKeepsTheMarksOfRowsStillWaiting)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    for (int nn : {7, 8})
        f->mdlDP->setData(f->mdlDP->index(rowOf(f->mdlDP, nn), 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(f->chkZSX->isChecked());  // switched back on after the mark was handled
    const QStringList dispensed = listed(f->mdlDF);
    ASSERT_GE(dispensed.size(), 2);
    const int chosen = dispensed.last().toInt();  // the row the pharmacist is about to issue
    f->selectRow(f->grdDF, rowOf(f->mdlDF, chosen));
    env->exec("update YF_CFDL00 set ZT0000='2' where CFLSH0='" + serial(8) + "'");  // dispensed elsewhere
    f->RefreshTick();
    EXPECT_EQ(f->mdlDP->markedCount(), 1);
    EXPECT_TRUE(f->mdlDP->isMarked(rowOf(f->mdlDP, 7)));
    EXPECT_EQ(f->grdDF->currentIndex().row(), rowOf(f->mdlDF, chosen));  // still on that row
    f->btnSX->click();  // "刷新" starts afresh
    EXPECT_EQ(f->mdlDP->markedCount(), 0);
}

// ------------------------------------------------------------------ dispensing and issuing

TEST_F(Workstation, DispensesAQueueGroupWithTheCheckerChosenInTheDialog)
{
    host.sysParam(QStringLiteral("MZPY_PYHDRYXZ"), QStringLiteral("N|Y|N"));  // western: dialog once per group
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 5));
    int dialogs = 0;
    answerCheckerDialog(QStringLiteral("1003"), &dialogs);
    f->btnYP->click();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(state(5), "2");
    EXPECT_EQ(state(6), "2");
    EXPECT_EQ(scalar("select FHR001 from YF_MZCF00 where CFLSH0 in ('" + serial(5) + "','" + serial(6)
                     + "') group by FHR001"),
              "1003");
    // one notice for the patient's charged but unissued prescriptions, shown once for the group
    EXPECT_EQ(count(QStringLiteral("3号 刘芳\r")), 1) << prompts->texts().join("\n").toStdString();
    EXPECT_EQ(count(QStringLiteral("已记账未发药！请手工补发药！")), 1);
    EXPECT_EQ(rowOf(f->mdlDP, 5), -1);
    EXPECT_GE(rowOf(f->mdlDF, 5), 0);
    EXPECT_GE(rowOf(f->mdlDF, 6), 0);
    EXPECT_FALSE(Db().inTransaction());
}

TEST_F(Workstation, WesternPharmacyWithoutCheckerRuleRecordsTheOperator)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->cmbSH->setCurrentIndex(f->cmbSH->findText(QStringLiteral("李华|K1002")));
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 8));
    QTest::keyClick(f->grdDP, Qt::Key_Return);  // Enter in the list dispenses
    EXPECT_EQ(state(8), "2");
    EXPECT_EQ(scalar("select FHR001 from YF_MZCF00 where CFLSH0='" + serial(8) + "'"), "1001");
}

TEST_F(Workstation, MarkedRowsOfOneGroupRunItOnceAndSkinTestIsWarned)
{
    host.sysParam(QStringLiteral("MZPY_PSYPPYSSFTS"), QStringLiteral("1,2"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    for (int nn : {5, 6, 7})
        f->mdlDP->setData(f->mdlDP->index(rowOf(f->mdlDP, nn), 0), Qt::Checked, Qt::CheckStateRole);
    prompts->queueAnswer(mrYes);  // 是否直接发药？
    f->btnPYFY->click();
    EXPECT_EQ(count(QStringLiteral("是否直接发药？")), 1);
    EXPECT_EQ(count(QStringLiteral("阿莫西林胶囊 为需皮试药品!")), 1);
    for (int nn : {5, 6, 7})
        EXPECT_EQ(state(nn), "3") << nn;
    EXPECT_EQ(state(8), "1");
    EXPECT_EQ(scalar("select count(*) from YF_MZCF00 where CFZT00='2' and CFLSH0 in ('" + serial(5) + "','"
                     + serial(6) + "','" + serial(7) + "')"),
              "3");
}

// A row ticked and unticked again leaves the list selected without a mark:
// the commands on the marked rows then do nothing, instead of working the
// current row, which is the very row the user just unticked.
TEST_F(Workstation, UntickedRowIsNotDispensedAsTheCurrentRow)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    const struct {
        QPushButton *button;
        const char *question;
    } cases[] = {{f->btnYP, nullptr}, {f->btnPYFY, "是否直接发药？"}};
    for (const auto &c : cases) {
        const QModelIndex mark = f->mdlDP->index(rowOf(f->mdlDP, 6), 0);
        f->mdlDP->setData(mark, Qt::Checked, Qt::CheckStateRole);
        f->mdlDP->setData(mark, Qt::Unchecked, Qt::CheckStateRole);
        ASSERT_EQ(f->mdlDP->text(f->grdDP->currentIndex().row(), QStringLiteral("CFLSH0")), serial(6));
        prompts->clear();  // a question would be answered yes
        c.button->click();
        EXPECT_EQ(state(6), "1") << c.button->text().toStdString();
        EXPECT_EQ(state(5), "1") << c.button->text().toStdString();
        if (c.question) {
            EXPECT_EQ(count(QString::fromUtf8(c.question)), 0);
        }
    }
    // "刷新" builds the list afresh: the current row is worked again
    f->btnSX->click();
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 6));
    f->btnYP->click();
    EXPECT_EQ(state(6), "2");
}

TEST_F(Workstation, PrintMarkComesFirstWhenThePrintDateIsMissing)
{
    TfrmPY_MZPYXT *f = open(QStringLiteral("2"), QStringLiteral("4"));
    ASSERT_TRUE(f);
    ASSERT_EQ(scalar("select ifnull(DYRQ00,'-') from YF_CFDL00 where CFLSH0='" + serial(9) + "'"), "-");
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 9));
    f->btnYP->click();
    EXPECT_EQ(state(9), "2");
    EXPECT_EQ(scalar("select DYRQ00 from YF_CFDL00 where CFLSH0='" + serial(9) + "'"), "20250305");
}

TEST_F(Workstation, IssueUndoAndBackToWaiting)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->selectRow(f->grdDF, rowOf(f->mdlDF, 22));
    f->btnFY->click();
    EXPECT_EQ(state(22), "3");
    EXPECT_EQ(state(23), "3");  // the whole queue group
    EXPECT_EQ(scalar("select FYR000 from YF_MZCF00 where CFLSH0='" + serial(22) + "'"), "1001");
    EXPECT_GE(rowOf(f->mdlYF, 22), 0);
    EXPECT_EQ(f->pgcCX->currentWidget(), f->tsMX);
    // undo by double click is refused by the setting
    // (default "Y" allows it): undo with the button
    f->selectRow(f->grdYF, rowOf(f->mdlYF, 22));
    f->btnCX->click();
    EXPECT_EQ(state(22), "2");
    EXPECT_EQ(state(23), "2");
    EXPECT_GE(rowOf(f->mdlDF, 23), 0);
    // back to waiting
    f->selectRow(f->grdDF, rowOf(f->mdlDF, 22));
    f->btnTHDD->click();
    EXPECT_EQ(state(22), "1");
    EXPECT_EQ(state(23), "1");
    EXPECT_GE(rowOf(f->mdlDP, 22), 0);
    EXPECT_FALSE(Db().inTransaction());
}

TEST_F(Workstation, IssuedRowDoubleClickRespectsTheSetting)
{
    host.sysParam(QStringLiteral("MZPY_SJYFSFTHDF"), QStringLiteral("N"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    const QModelIndex i = f->mdlYF->index(rowOf(f->mdlYF, 19), 1);
    f->grdYF->setCurrentIndex(i);
    emit f->grdYF->doubleClicked(i);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("该处方已发药")});
    EXPECT_EQ(state(19), "3");
}

TEST_F(Workstation, RefusedStepLeavesNothingPending)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    // another station issued 23 meanwhile: the group walk stops at it
    env->exec("update YF_CFDL00 set ZT0000='3' where CFLSH0='" + serial(23) + "'");
    f->selectRow(f->grdDF, rowOf(f->mdlDF, 22));
    f->btnFY->click();
    EXPECT_EQ(state(22), "2");  // its own step undone, not left for a later commit
    EXPECT_FALSE(Db().inTransaction());
    f->selectRow(f->grdDF, rowOf(f->mdlDF, 14));
    f->btnBJ->click();  // a later commit commits nothing of the stopped walk
    EXPECT_EQ(state(22), "2");
}

TEST_F(Workstation, DecoctionDispensingMarksOnlyDecoctionRows)
{
    host.operatorInfo(1011, QStringLiteral("K1011"), QStringLiteral("陈静"))
        .department(102, QStringLiteral("门诊中药房"))
        .sysParam(QStringLiteral("MZPY_ZYFQCFYF"), QStringLiteral("102|0"));
    TfrmPY_MZPYXT *f = open(QStringLiteral("5"), QStringLiteral("6"));
    ASSERT_TRUE(f);
    ASSERT_FALSE(f->btnDJFY->isHidden());
    prompts->queueAnswer(mrYes);
    f->btnDJFY->click();
    EXPECT_EQ(count(QStringLiteral("是否直接发药？")), 1);
    EXPECT_EQ(state(26), "3");
    EXPECT_EQ(state(25), "1");
    EXPECT_EQ(state(27), "4");
    EXPECT_FALSE(f->oneClickDecoction);
}

TEST_F(Workstation, DecoctionDispensingWithoutDecoctionRows)
{
    host.sysParam(QStringLiteral("MZPY_ZYFQCFYF"), QStringLiteral("101|0"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->btnDJFY->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有待配的代煎处方！")});
    EXPECT_EQ(f->mdlDP->markedCount(), 0);
    EXPECT_EQ(state(5), "1");
}

TEST_F(Workstation, HerbalPharmacyWithoutCheckerIsStopped)
{
    host.operatorInfo(1011, QStringLiteral("K1011"), QStringLiteral("陈静")).department(102, QStringLiteral("门诊中药房"));
    TfrmPY_MZPYXT *f = open(QStringLiteral("5"), QStringLiteral("6"));
    ASSERT_TRUE(f);
    f->cmbSH->setCurrentIndex(-1);
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 25));
    f->btnYP->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("请指定审核人")});
    EXPECT_EQ(state(25), "1");
}

// ------------------------------------------------------------------ returns, recall, window

TEST_F(Workstation, ReturnToDoctorAsksPerMarkedRowAndBindsTheReason)
{
    host.sysParam(QStringLiteral("MZPY_QYMZDPCFTH"), QStringLiteral("1"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    ASSERT_FALSE(f->btnTH->isHidden());
    EXPECT_GT(f->cmbYY->count(), 0);
    for (int nn : {7, 8})
        f->mdlDP->setData(f->mdlDP->index(rowOf(f->mdlDP, nn), 0), Qt::Checked, Qt::CheckStateRole);
    const QString reason = QStringLiteral("剂量' ; 过大");
    f->cmbYY->setEditText(reason);
    prompts->queueAnswer(mrNo);
    prompts->queueAnswer(mrYes);
    f->btnTH->click();
    EXPECT_EQ(count(QStringLiteral("退回医生桌面？")), 2);
    EXPECT_EQ(count(QStringLiteral("处方已退回医生处")), 1);
    EXPECT_EQ(scalar("select ifnull(THBZ00,'0') from YF_MZCF00 where CFLSH0='" + serial(7) + "'"), "0");
    EXPECT_EQ(scalar("select THYY00 from YF_MZCF00 where CFLSH0='" + serial(8) + "'"), reason);
    EXPECT_EQ(scalar("select THYY00 from YS_CFXXB0 where CFLSH0='" + serial(8) + "'"), reason);
    EXPECT_EQ(scalar("select ZT0000||THBZ00 from YF_CFDL00 where CFLSH0='" + serial(8) + "'"), "21");
    EXPECT_EQ(rowOf(f->mdlDP, 8), -1);
    EXPECT_EQ(rowOf(f->mdlDF, 8), -1);
    // nothing marked
    prompts->clear();
    f->cmbYY->setEditText(reason);
    f->btnTH->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("你没有选中待配处方,请选中后才进行退回操作!")});
}

namespace {
// Records prompts like the test service and runs a hook on each question, as
// the event loop of a real modal box would run the list-refresh timer.
class QuestionHookPrompts : public RecordingPromptService {
public:
    std::function<void()> onQuestion;
    int messageBox(const MessageRequest &request) override
    {
        if (onQuestion && request.text.contains(QStringLiteral("退回医生桌面？")))
            onQuestion();
        return RecordingPromptService::messageBox(request);
    }
};
}  // namespace

// The list-refresh timer rebuilds the to-dispense list while a question is
// open; the returned rows leave it. Every marked row is still asked and
// returned.
TEST_F(Workstation, ReturnToDoctorWalksTheMarkedRowsThroughARefresh)
{
    host.sysParam(QStringLiteral("MZPY_QYMZDPCFTH"), QStringLiteral("1"));
    auto hooked = std::make_shared<QuestionHookPrompts>();
    prompts = hooked;
    setPromptService(hooked);
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    ASSERT_EQ(listed(f->mdlDP), (QStringList{"05", "06", "07", "08", "11"}));
    for (int nn : {5, 6, 7})
        f->mdlDP->setData(f->mdlDP->index(rowOf(f->mdlDP, nn), 0), Qt::Checked, Qt::CheckStateRole);
    hooked->onQuestion = [f] { f->RefreshTick(); };
    f->cmbYY->setEditText(QStringLiteral("重复开药"));
    f->btnTH->click();
    EXPECT_EQ(count(QStringLiteral("退回医生桌面？")), 3);
    EXPECT_EQ(count(QStringLiteral("处方已退回医生处")), 3);
    const struct {
        int nn;
        const char *state;
    } cases[] = {{5, "21"}, {6, "21"}, {7, "21"}, {8, "10"}};
    for (const auto &c : cases)
        EXPECT_EQ(scalar("select ZT0000||ifnull(THBZ00,'') from YF_CFDL00 where CFLSH0='" + serial(c.nn) + "'"),
                  c.state)
            << c.nn;
}

TEST_F(Workstation, ReturnToDoctorLeavesAPrescriptionAnotherStationIssued)
{
    host.sysParam(QStringLiteral("MZPY_QYMZDPCFTH"), QStringLiteral("1"));
    auto hooked = std::make_shared<QuestionHookPrompts>();
    prompts = hooked;
    setPromptService(hooked);
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->mdlDP->setData(f->mdlDP->index(rowOf(f->mdlDP, 5), 0), Qt::Checked, Qt::CheckStateRole);
    // while the question is open, another station issues the prescription
    hooked->onQuestion = [this] { env->exec("update YF_CFDL00 set ZT0000='3' where CFLSH0='" + serial(5) + "'"); };
    f->cmbYY->setEditText(QStringLiteral("重复开药"));
    f->btnTH->click();
    EXPECT_EQ(count(QStringLiteral("的状态已被其他工作站改变，不能退回医生桌面")), 1) << prompts->texts().join("|").toStdString();
    EXPECT_EQ(scalar("select ZT0000||ifnull(THBZ00,'0') from YF_CFDL00 where CFLSH0='" + serial(5) + "'"), "30");
    EXPECT_EQ(scalar("select ifnull(THBZ00,'0') from YF_MZCF00 where CFLSH0='" + serial(5) + "'"), "0");
    EXPECT_FALSE(Db().inTransaction());
}

TEST_F(Workstation, ReturnPrescriptionFromTheQueryList)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->cmbRQLX->setCurrentIndex(1);  // 摆药日期
    f->btnQuery->click();
    const int row = rowOf(f->mdlCX, 5);
    ASSERT_GE(row, 0);
    f->selectRow(f->grdCX, row);
    prompts->queueInput(QStringLiteral("重复开药"));
    prompts->queueAnswer(mrYes);
    f->actCFTH->trigger();
    EXPECT_EQ(count(QStringLiteral("是否对整张处方流水号:3\n以【重复开药】 退回反馈给医生吗?")), 1)
        << prompts->texts().join("|").toStdString();
    EXPECT_EQ(scalar("select THBZ00||THYY00 from YF_MZCF00 where CFLSH0='" + serial(5) + "'"), "1重复开药");
    // an empty answer stops before the question
    prompts->clear();
    f->actCFTH->trigger();
    EXPECT_EQ(prompts->entries.last().text, QStringLiteral("请先输入或选择退回原因！"));
}

namespace {
// Records prompts and runs a hook when the reason box is asked for.
class InputHookPrompts : public RecordingPromptService {
public:
    std::function<void()> onInput;
    QString inputText(const InputRequest &request) override
    {
        if (onInput)
            onInput();
        return RecordingPromptService::inputText(request);
    }
};
}  // namespace

// The detail list is reloaded for another prescription while the reason box
// is open: the drug line chosen before it is the one returned.
TEST_F(Workstation, DrugReturnKeepsTheLineChosenBeforeTheReason)
{
    auto hooked = std::make_shared<InputHookPrompts>();
    prompts = hooked;
    setPromptService(hooked);
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    f->LoadMX(serial(5));
    ASSERT_GT(f->mdlMX->rowCount(), 0);
    f->selectRow(f->grdMX, 0);
    const QString line = f->mdlMX->text(0, QStringLiteral("CFID00"));
    const QString drug = f->mdlMX->text(0, QStringLiteral("YPMC00"));
    hooked->onInput = [f] { f->LoadMX(serial(7)); };
    hooked->queueInput(QStringLiteral("剂量过大"));
    hooked->queueAnswer(mrYes);
    f->actYPTH->trigger();
    EXPECT_EQ(count(QStringLiteral("是否对处方流水号:3,其中药品“") + drug + QStringLiteral("”\n以【剂量过大】 退回反馈给医生吗?")),
              1)
        << prompts->texts().join("|").toStdString();
    EXPECT_EQ(scalar("select THBZ00||THYY00 from YF_MZCFMX where CFID00='" + line + "'"), "1剂量过大");
    EXPECT_EQ(scalar("select count(*) from YF_MZCFMX where THBZ00='1' and CFLSH0='" + serial(7) + "'"), "0");
}

TEST_F(Workstation, CallAgainRaisesTheCallCount)
{
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    const QString before = scalar("select ifnull(JHCS00,0) from YF_CFDL00 where CFLSH0='" + serial(15) + "'");
    f->selectRow(f->grdDF, rowOf(f->mdlDF, 15));
    f->btnBJ->click();
    f->btnBJ->click();
    EXPECT_EQ(count(QStringLiteral("系统已重新呼叫")), 2);
    EXPECT_EQ(scalar("select (JHCS00 - " + before + ") || BJBZ00 from YF_CFDL00 where CFLSH0='" + serial(15) + "'"), "21");
}

TEST_F(Workstation, StartAndStopAgainstAWindowHeldByAnotherComputer)
{
    env->exec("update BM_CKBM00 set ZT0000='0', JQMC00='OTHER', BZ0000='2025030508:00:00' where CKBH00=3");
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    prompts->queueAnswer(mrYes);
    f->btnTZ->click();
    EXPECT_EQ(count(QStringLiteral("是否停用窗口？")), 1);
    EXPECT_EQ(scalar("select ZT0000||JQMC00 from BM_CKBM00 where CKBH00=3"), "0OTHER");
    EXPECT_FALSE(Db().inTransaction());
    // released by its holder: this computer starts and stops it
    env->exec("update BM_CKBM00 set ZT0000='2', JQMC00=null, BZ0000=null where CKBH00=3");
    f->ReadWindowStatus();
    EXPECT_EQ(f->lblZTMC->text(), QStringLiteral("停止工作 "));
    prompts->queueAnswer(mrYes);
    f->btnQY->click();
    EXPECT_EQ(scalar("select ZT0000||JQMC00||length(BZ0000) from BM_CKBM00 where CKBH00=3"), "0PC116");
    EXPECT_EQ(f->lblZTMC->text(), QStringLiteral("工作中 "));
    prompts->queueAnswer(mrYes);
    f->btnTZ->click();
    EXPECT_EQ(scalar("select ZT0000||ifnull(JQMC00,'-') from BM_CKBM00 where CKBH00=3"), "2-");
}

TEST_F(Workstation, ClosingOffersToStopTheWindowThisComputerHolds)
{
    env->exec("update BM_CKBM00 set ZT0000='0', JQMC00='PC1' where CKBH00=3");
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    prompts->queueAnswer(mrYes);
    f->close();
    EXPECT_EQ(count(QStringLiteral("是否自动关闭发药窗口？")), 1);
    EXPECT_EQ(scalar("select ZT0000 from BM_CKBM00 where CKBH00=3"), "2");
}

TEST_F(Workstation, EmergencyWindowInPackagingMode)
{
    host.sysParam(QStringLiteral("MZPY_SYBYJYF"), QStringLiteral("101"))
        .sysParam(QStringLiteral("YS_GJFZGGQYPZL"), QStringLiteral("Y"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    ASSERT_FALSE(f->btnJZCK->isHidden());
    prompts->queueAnswer(mrYes);
    f->btnJZCK->click();
    EXPECT_EQ(count(QStringLiteral("窗口是否转为 急诊窗口 ？")), 1);
    EXPECT_EQ(scalar("select group_concat(JZCKBZ) from BM_CKBM00 where CKBH00 in (1,3)"), "Y,Y");
    EXPECT_EQ(f->btnJZCK->text(), QStringLiteral("急诊窗口"));
    EXPECT_FALSE(f->btnJZCK->icon().isNull());
    prompts->queueAnswer(mrYes);
    f->btnJZCK->click();
    EXPECT_EQ(count(QStringLiteral("窗口是否转为 非急诊 ？")), 1);
    EXPECT_EQ(scalar("select group_concat(JZCKBZ) from BM_CKBM00 where CKBH00 in (1,3)"), "N,N");
    EXPECT_EQ(f->btnJZCK->text(), QStringLiteral("非急诊"));
    EXPECT_TRUE(f->btnJZCK->icon().isNull());
    // a reopened workstation shows the stored flag with its picture
    env->exec("update BM_CKBM00 set JZCKBZ='Y' where CKBH00=1");
    OperateDllNormalForm(0, 2, "");
    f = open();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->btnJZCK->text(), QStringLiteral("急诊窗口"));
    EXPECT_FALSE(f->btnJZCK->icon().isNull());
}

// ------------------------------------------------------------------ dialogs

namespace {
// Runs check() on the first visible dialog of class T once it is up.
template <class T>
void whenShown(std::function<void(T *)> check)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        for (TBaseDLLForm *f : LiveForms())
            if (auto *d = qobject_cast<T *>(f); d && d->isVisible()) {
                timer->stop();
                timer->deleteLater();
                check(d);
                return;
            }
    });
    timer->start();
}
}  // namespace

TEST_F(Workstation, CheckerDialogListsTheGroupAndAsksBeforeLeavingEmpty)
{
    host.sysParam(QStringLiteral("MZPY_PYHDRYXZ"), QStringLiteral("N|Y|N"));
    ASSERT_TRUE(open());
    QString shownCount, serials;
    QStringList items;
    whenShown<TfrmMZPY_HDRYSelect>([&](TfrmMZPY_HDRYSelect *d) {
        shownCount = d->lblCount->text();
        serials = d->memCFH->toPlainText();
        for (int i = 0; i < d->lstRY->count(); ++i)
            items << d->lstRY->item(i)->text();
        prompts->queueAnswer(mrNo);   // "确  定" with nothing checked: stay
        d->btnOK->click();
        prompts->queueAnswer(mrYes);  // again: leave with no checker
        d->btnOK->click();
    });
    const QString answer = TfrmMZPY_HDRYSelect::Execute(101, QString(), QStringLiteral("3"), QStringLiteral("3"),
                                                        QStringLiteral("20250305"));
    EXPECT_TRUE(answer.isEmpty());
    EXPECT_EQ(shownCount, QStringLiteral("2张"));
    EXPECT_EQ(serials, serial(5) + "\n" + serial(6));
    EXPECT_EQ(items, (QStringList{"张明_K1001|1001", "王芳_K1003|1003"}));
    EXPECT_EQ(count(QStringLiteral("您没有选择一位核对人员，确定要继续吗？")), 2);
}

TEST_F(Workstation, DispenserDialogSavesOnlyAChange)
{
    host.sysParam(QStringLiteral("MZPY_SFDYDYRSZK"), QStringLiteral("101"));
    TfrmPY_MZPYXT *f = open();
    ASSERT_TRUE(f);
    // same dispenser again: nothing saved, the group is dispensed
    whenShown<TfrmMZPY_PFRSelect>([](TfrmMZPY_PFRSelect *d) { d->btnOK->click(); });
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 8));
    f->btnYP->click();
    EXPECT_EQ(state(8), "2");
    EXPECT_EQ(scalar("select ifnull(PFR000,'-') from YF_MZCF00 where CFLSH0='" + serial(8) + "'"), "1001");
    // another dispenser for the group 05/06
    whenShown<TfrmMZPY_PFRSelect>([](TfrmMZPY_PFRSelect *d) {
        d->cmbTJR->setCurrentIndex(d->cmbTJR->findText(QStringLiteral("王芳")));
        d->btnOK->click();
    });
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 5));
    f->btnYP->click();
    EXPECT_EQ(scalar("select group_concat(PFR000) from YF_MZCF00 where CFLSH0 in ('" + serial(5) + "','" + serial(6) + "')"),
              "1003,1003");
    EXPECT_EQ(state(5), "2");
    // the refresh timer rebuilds the list while the dialog is open: the group chosen before it is dispensed
    f->btnSX->click();
    ASSERT_EQ(listed(f->mdlDP), (QStringList{"07", "11"}));
    whenShown<TfrmMZPY_PFRSelect>([f, this](TfrmMZPY_PFRSelect *d) {
        env->exec("update YF_CFDL00 set ZT0000='2' where CFLSH0='" + serial(7) + "'");  // dispensed elsewhere
        f->RefreshTick();
        d->btnOK->click();
    });
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 11));
    f->btnYP->click();
    EXPECT_EQ(state(11), "2");
    env->exec("update YF_CFDL00 set ZT0000='1' where CFLSH0='" + serial(7) + "'");
    // a dispenser no longer on the list and nothing chosen: nothing is saved, the dialog stays open
    env->exec("update YF_MZCF00 set PFR000=1004 where CFLSH0='" + serial(7) + "'");
    f->btnSX->click();
    bool stayedOpen = false;
    whenShown<TfrmMZPY_PFRSelect>([&stayedOpen](TfrmMZPY_PFRSelect *d) {
        d->cmbTJR->setCurrentIndex(-1);
        d->btnOK->click();
        stayedOpen = d->isVisible();
        d->close();
    });
    f->selectRow(f->grdDP, rowOf(f->mdlDP, 7));
    f->btnYP->click();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(scalar("select ifnull(PFR000,'-') from YF_MZCF00 where CFLSH0='" + serial(7) + "'"), "1004");
}

TEST_F(Workstation, DecoctionDosesDialogBoundsTheNumber)
{
    ASSERT_TRUE(open());
    int minimum = 0, maximum = 0;
    whenShown<TfrmPY_ZYDJS>([&](TfrmPY_ZYDJS *d) {
        minimum = d->edtJS->minimum();
        maximum = d->edtJS->maximum();
        d->edtJS->setValue(5);
        d->btnOK->click();
    });
    EXPECT_EQ(TfrmPY_ZYDJS::Execute(7), 5);
    EXPECT_EQ(minimum, 1);
    EXPECT_EQ(maximum, 7);
    whenShown<TfrmPY_ZYDJS>([](TfrmPY_ZYDJS *d) { d->btnCancel->click(); });
    EXPECT_EQ(TfrmPY_ZYDJS::Execute(7), -1);
}
