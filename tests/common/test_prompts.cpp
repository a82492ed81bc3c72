#include "CommonFixture.h"

#include "common/Log.h"
#include "db/OraConnection.h"

using namespace mzpy;

TEST(MessageFilter, ShowsThePartBetweenColonAndMarker)
{
    const struct {
        const char *text;
        const char *shown;
    } cases[] = {
        {"保存失败!*abc", "保存失败!*abc"},            // no colon before the marker
        {"E1: 已发药!*xyz", " 已发药!"},
        {"ORA-20001: 库存不足！*更多", " 库存不足！"},  // full-width marker keeps its mark
        {"a:b!*c:d！*e", "d！"},                       // the later marker, the last colon before it
        {"a:b！*c:d!*e", "d!"},
        {"x:y:z!*", "z!"},
        {"提示：库存不足!*x", "提示：库存不足!*x"},      // a full-width colon does not count
        {"!*x:y", "!*x:y"},
        {"a:b!", "a:b!"},
        {"a:b*!", "a:b*!"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FilterMessageText(QString::fromUtf8(c.text)), QString::fromUtf8(c.shown)) << c.text;
}

class PromptTest : public CommonFixture {};

TEST_F(PromptTest, OperationsPassTheirBoxOptions)
{
    struct Case {
        const char *name;
        std::function<void()> call;
        int buttons, icon, focus;
        const char *detail;
    };
    const Case cases[] = {
        {"ShowInfo", [] { ShowInfo("t"); }, btOk, icNone, 1, ""},
        {"ShowInfoDetail", [] { ShowInfoDetail("t", "d"); }, btOk, icNone, 1, "d"},
        {"ShowWarning", [] { ShowWarning("t"); }, btOk, icWarning, 1, ""},
        {"ShowError", [] { ShowError("t"); }, btOk, icError, 1, ""},
        {"ShowErrorDetail", [] { ShowErrorDetail("t", "d"); }, btOk, icError, 1, "d"},
        {"ConfirmOk", [] { ConfirmOk("t", 2); }, btOkCancel, icNone, 2, ""},
        {"ConfirmOkWarning", [] { ConfirmOkWarning("t"); }, btOkCancel, icWarning, 1, ""},
        {"AskYesNo", [] { AskYesNo("t", 4, 3); }, btYesNo, icNone, 4, ""},
        {"AskYes", [] { AskYes("t"); }, btYesNo, icNone, 3, ""},
    };
    for (const Case &c : cases) {
        recorder->clear();
        c.call();
        ASSERT_EQ(recorder->entries.size(), 1) << c.name;
        const auto &e = recorder->entries.first();
        EXPECT_EQ(e.kind, "message") << c.name;
        EXPECT_EQ(e.buttons, c.buttons) << c.name;
        EXPECT_EQ(e.icon, c.icon) << c.name;
        EXPECT_EQ(e.focus, c.focus) << c.name;
        EXPECT_EQ(e.detail, QString::fromUtf8(c.detail)) << c.name;
    }
    recorder->clear();
    AskYesNo("t", 3, 1);
    EXPECT_EQ(recorder->entries.first().scrollBars, 1);
}

TEST_F(PromptTest, AnswersFollowTheBoxesButtons)
{
    // Yes/No closed without an answer reads No.
    recorder->queueAnswer(mrNone);
    EXPECT_FALSE(AskYes("close me"));
    EXPECT_EQ(recorder->entries.last().answer, mrNo);
    // OK/Cancel closed without an answer reads Cancel.
    recorder->queueAnswer(mrNone);
    EXPECT_FALSE(ConfirmOk("close me"));
    EXPECT_EQ(recorder->entries.last().answer, mrCancel);
    // Yes/No/Cancel closed reads Cancel.
    recorder->queueAnswer(mrNone);
    EXPECT_EQ(ShowMessageBox("t", btYesNoCancel, icNone, "", 3, 0), mrCancel);
    // An answer the box has no button for is treated as closing it.
    recorder->queueAnswer(mrCancel);
    EXPECT_EQ(AskYesNo("t"), mrNo);
    recorder->queueAnswer(mrYes);
    EXPECT_TRUE(AskYes("t"));
    recorder->queueAnswer(mrOk);
    EXPECT_TRUE(ConfirmOkWarning("t"));
}

TEST(RecordingPromptService, DefaultAnswerIsTheFocusedButtonWhenShown)
{
    const struct {
        int buttons, focus, expected;
    } cases[] = {
        {btOk, 0, mrOk},          {btOk, 1, mrOk},           {btOk, 2, mrOk},  {btOk, 3, mrOk},
        {btOkCancel, 1, mrOk},    {btOkCancel, 2, mrCancel}, {btOkCancel, 4, mrOk},
        {btYesNoCancel, 1, mrYes}, {btYesNoCancel, 2, mrCancel}, {btYesNoCancel, 4, mrNo},
        {btYesNo, 0, mrYes},      {btYesNo, 2, mrYes},       {btYesNo, 3, mrYes}, {btYesNo, 4, mrNo},
    };
    for (const auto &c : cases) {
        MessageRequest r;
        r.buttons = c.buttons;
        r.focus = c.focus;
        EXPECT_EQ(RecordingPromptService::defaultAnswer(r), c.expected) << c.buttons << "/" << c.focus;
    }
}

TEST_F(PromptTest, InputsAndHintsAreRecorded)
{
    EXPECT_EQ(InputText("请输入", "退回原因", "A|B", "|"), QString());  // nothing queued: cancel
    recorder->queueInput("  B ");
    EXPECT_EQ(InputText("请输入", "退回原因", "A|B", "|"), "B");
    ShowTimedHint(QStringLiteral("将跳转到内嵌谷歌浏览器页签显示"), 300, false);
    ASSERT_EQ(recorder->entries.size(), 3);
    const auto &input = recorder->entries.at(1);
    EXPECT_EQ(input.kind, "input");
    EXPECT_EQ(input.text, QStringLiteral("请输入"));
    EXPECT_EQ(input.caption, QStringLiteral("退回原因"));
    EXPECT_EQ(input.defaultText, "A|B");
    EXPECT_EQ(input.separator, "|");
    EXPECT_EQ(input.answerText, "B");
    EXPECT_EQ(recorder->entries.at(0).answer, mrCancel);
    const auto &hint = recorder->entries.at(2);
    EXPECT_EQ(hint.kind, "hint");
    EXPECT_EQ(hint.milliseconds, 300);
    EXPECT_FALSE(hint.showOk);
    EXPECT_EQ(recorder->texts(),
              QStringList({QStringLiteral("请输入"), QStringLiteral("请输入"),
                           QStringLiteral("将跳转到内嵌谷歌浏览器页签显示")}));
}

TEST_F(PromptTest, ErrorAbortShowsTheErrorThenEndsTheCommandQuietly)
{
    bool after = false;
    const bool finished = RunGuarded([&] {
        ShowErrorAbort(QStringLiteral("操作失败"));
        after = true;
    });
    EXPECT_FALSE(finished);
    EXPECT_FALSE(after);
    ASSERT_EQ(recorder->entries.size(), 1);  // the error box, nothing more
    EXPECT_EQ(recorder->entries.first().icon, icError);
    EXPECT_EQ(recorder->entries.first().shown, QStringLiteral("操作失败"));
}

TEST_F(PromptTest, RunGuardedShowsOtherErrors)
{
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw SilentAbort(); }));
    EXPECT_TRUE(recorder->entries.isEmpty());

    EXPECT_FALSE(RunGuarded([] { throw oradb::DbError(QStringLiteral("ORA-00942: 表或视图不存在")); }));
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("boom"); }));
    EXPECT_EQ(recorder->texts(), QStringList({QStringLiteral("ORA-00942: 表或视图不存在"), "boom"}));
    EXPECT_EQ(recorder->entries.at(0).icon, icError);
    EXPECT_EQ(recorder->entries.at(1).icon, icError);
}

TEST_F(PromptTest, PromptOrLogByMode)
{
    PromptOrLog("w", "0");
    PromptOrLog(QStringLiteral("写日志"), "1");
    PromptOrLog("x", "2");
    PromptOrLog("y", "");
    ASSERT_EQ(recorder->entries.size(), 1);
    EXPECT_EQ(recorder->entries.first().icon, icWarning);
    EXPECT_EQ(recorder->entries.first().text, "w");
    EXPECT_EQ(readBytes("Log/20240305.log"), toGbk(QStringLiteral("/*09:05:03:045 */  写日志\r\n")));
}

TEST_F(PromptTest, ErrorWithParsedText)
{
    const struct {
        const char *message;
        const char *shown;
    } cases[] = {
        {"ORA-20001: 库存不足*详细信息", " 库存不足"},
        {"没有星号: 原文", "没有星号: 原文"},
        {"无冒号*尾", "无冒号"},
        {"星*在前: x", "星*在前: x"},   // nothing between ':' and '*': the whole message
    };
    for (const auto &c : cases) {
        recorder->clear();
        ShowErrorParsed("标题", QString::fromUtf8(c.message), "extra");
        ASSERT_EQ(recorder->entries.size(), 1);
        const auto &e = recorder->entries.first();
        EXPECT_EQ(e.shown, QString::fromUtf8(c.shown)) << c.message;
        EXPECT_EQ(e.detail, QString::fromUtf8(c.message) + "\r\nextra");
        EXPECT_EQ(e.icon, icError);
        EXPECT_EQ(e.buttons, btOk);
    }
}
