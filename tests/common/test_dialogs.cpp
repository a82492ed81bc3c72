// The real dialogs, shown modally offscreen and driven with QTest from a timer.
#include "CommonFixture.h"

#include "common/ufrmHintMessage.h"
#include "common/ufrmInputBox.h"
#include "common/ufrmMessage.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace mzpy;

namespace {

// Calls step with the dialog of type D once it is the active modal widget.
template <class D>
void onModal(std::function<void(D *)> step)
{
    auto *poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, step] {
        if (auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            step(dialog);
        } else if (++*tries > 1000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "the dialog did not come up";
        }
    });
    poll->start(5);
}

}  // namespace

class DialogTest : public CommonFixture {
protected:
    void SetUp() override
    {
        CommonFixture::SetUp();
        mzpy::setPromptService(nullptr);  // the real dialogs
        // Whatever a test leaves open is closed after a while, as a failure.
        watchdog.setInterval(10000);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "a dialog was left open";
                dialog->done(0);
            }
        });
        watchdog.start();
    }
    void TearDown() override
    {
        watchdog.stop();
        qApp->setProperty("HisMainWindow", QVariant());
        CommonFixture::TearDown();
    }
    QTimer watchdog;
};

TEST_F(DialogTest, InfoBoxLooksAsSpecifiedAndEscCloses)
{
    bool checked = false;
    onModal<TfrmMessage>([&](TfrmMessage *box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("提示"));
        EXPECT_TRUE(box->windowFlags() & Qt::Tool);
        EXPECT_FALSE(box->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(box->memText->toPlainText(), QStringLiteral(" 已发药!"));
        EXPECT_FALSE(box->btnOk->isHidden());
        for (QPushButton *b : {box->btnDetail, box->btnYes, box->btnNo, box->btnCancel})
            EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
        EXPECT_TRUE(box->pnlIcon->isHidden());
        EXPECT_TRUE(box->pnlDetail->isHidden());
        EXPECT_TRUE(box->StatusBar1->isHidden());
        EXPECT_EQ(box->statusText(3), QStringLiteral("2024-03-05 09:05:03"));
        EXPECT_EQ(box->focusWidget(), box->btnOk);
        EXPECT_EQ(box->palette().color(QPalette::Window), QColor(0xF0, 0xFB, 0xFF));
        EXPECT_EQ(box->memText->font().pixelSize(), 19);
        EXPECT_EQ(box->memText->font().family(), QStringLiteral("宋体"));
        EXPECT_EQ(box->height(), TfrmMessage::kTopHeight + 25);
        checked = true;
        QTest::keyClick(box->btnOk, Qt::Key_Escape);
    });
    ShowInfo(QStringLiteral("E1: 已发药!*xyz"));
    EXPECT_TRUE(checked);
}

TEST_F(DialogTest, ButtonsGiveTheirResults)
{
    const struct {
        int buttons;
        const char *button;
        int expected;
    } cases[] = {
        {btOk, "btnOk", mrOk},
        {btOkCancel, "btnOk", mrOk},
        {btOkCancel, "btnCancel", mrCancel},
        {btYesNoCancel, "btnYes", mrYes},
        {btYesNoCancel, "btnNo", mrNo},
        {btYesNoCancel, "btnCancel", mrCancel},
        {btYesNo, "btnYes", mrYes},
        {btYesNo, "btnNo", mrNo},
    };
    for (const auto &c : cases) {
        onModal<TfrmMessage>([&](TfrmMessage *box) {
            auto *button = box->findChild<QPushButton *>(QLatin1String(c.button));
            ASSERT_TRUE(button);
            EXPECT_FALSE(button->isHidden());
            QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(ShowMessageBox("t", c.buttons, icNone, "", 1, 0), c.expected)
            << c.buttons << " " << c.button;
    }
}

TEST_F(DialogTest, ClosingWithoutAnAnswer)
{
    const struct {
        int buttons;
        int expected;
    } cases[] = {{btOk, mrNone}, {btOkCancel, mrCancel}, {btYesNoCancel, mrCancel}, {btYesNo, mrNo}};
    for (const auto &c : cases) {
        onModal<TfrmMessage>([](TfrmMessage *box) { box->close(); });
        EXPECT_EQ(ShowMessageBox("t", c.buttons, icNone, "", 1, 0), c.expected) << c.buttons;
    }
    onModal<TfrmMessage>([](TfrmMessage *box) { box->close(); });
    EXPECT_FALSE(AskYes(QStringLiteral("是否启用窗口？")));
}

TEST_F(DialogTest, EscIsIgnoredUnlessTheBoxIsOkOnly)
{
    for (int buttons : {btOkCancel, btYesNoCancel, btYesNo}) {
        onModal<TfrmMessage>([](TfrmMessage *box) {
            QTest::keyClick(box, Qt::Key_Escape);
            EXPECT_TRUE(box->isVisible());
            QPushButton *answer = box->btnCancel->isHidden() ? box->btnYes : box->btnCancel;
            QTest::mouseClick(answer, Qt::LeftButton);
        });
        const int result = ShowMessageBox("t", buttons, icNone, "", 1, 0);
        EXPECT_EQ(result, buttons == btYesNo ? mrYes : mrCancel) << buttons;
    }
}

TEST_F(DialogTest, FocusGoesToTheRequestedButtonWhenItIsShown)
{
    const struct {
        int buttons, focus;
        const char *focused;
    } cases[] = {
        {btOkCancel, 1, "btnOk"},     {btOkCancel, 2, "btnCancel"}, {btOkCancel, 4, "btnOk"},
        {btYesNoCancel, 4, "btnNo"},  {btYesNoCancel, 2, "btnCancel"},
        {btYesNo, 3, "btnYes"},       {btYesNo, 4, "btnNo"},        {btOk, 2, "btnOk"},
    };
    for (const auto &c : cases) {
        QString focused;
        onModal<TfrmMessage>([&](TfrmMessage *box) {
            focused = box->focusWidget() ? box->focusWidget()->objectName() : QString();
            // Enter presses the focused button.
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return);
        });
        const int result = ShowMessageBox("t", c.buttons, icNone, "", c.focus, 0);
        EXPECT_EQ(focused, QLatin1String(c.focused)) << c.buttons << "/" << c.focus;
        const QString name = QLatin1String(c.focused);
        const int expected = name == "btnOk" ? mrOk : name == "btnCancel" ? mrCancel : name == "btnYes" ? mrYes : mrNo;
        EXPECT_EQ(result, expected) << c.buttons << "/" << c.focus;
    }
}

TEST_F(DialogTest, DetailAreaToggles)
{
    onModal<TfrmMessage>([](TfrmMessage *box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("错误"));
        EXPECT_FALSE(box->pnlIcon->isHidden());
        EXPECT_FALSE(box->imgIcon->pixmap().isNull());
        EXPECT_FALSE(box->btnDetail->isHidden());
        EXPECT_EQ(box->btnDetail->text(), QStringLiteral("详情>>"));
        EXPECT_EQ(box->memDetail->toPlainText(), QStringLiteral("ORA-01400 第二行"));
        const int closedHeight = box->height();
        EXPECT_EQ(closedHeight, TfrmMessage::kTopHeight + 25);

        QTest::mouseClick(box->btnDetail, Qt::LeftButton);
        EXPECT_EQ(box->btnDetail->text(), QStringLiteral("详情<<"));
        EXPECT_FALSE(box->pnlDetail->isHidden());
        EXPECT_EQ(box->height(), TfrmMessage::kTopHeight + TfrmMessage::kDetailHeight + 25);

        QTest::mouseClick(box->btnDetail, Qt::LeftButton);
        EXPECT_EQ(box->btnDetail->text(), QStringLiteral("详情>>"));
        EXPECT_TRUE(box->pnlDetail->isHidden());
        EXPECT_EQ(box->height(), closedHeight);
        QTest::mouseClick(box->btnOk, Qt::LeftButton);
    });
    ShowErrorDetail(QStringLiteral("保存失败"), QStringLiteral("ORA-01400 第二行"));

    // A blank detail shows no detail button; a warning has its own caption.
    onModal<TfrmMessage>([](TfrmMessage *box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("警告"));
        EXPECT_TRUE(box->btnDetail->isHidden());
        QTest::mouseClick(box->btnOk, Qt::LeftButton);
    });
    ShowMessageBox("t", btOk, icWarning, "  \r\n ", 1, 0);
}

TEST_F(DialogTest, DialogsBelongToTheHostMainWindow)
{
    QWidget mainWindow;
    mainWindow.resize(800, 600);
    mainWindow.show();
    qApp->setProperty("HisMainWindow", QVariant::fromValue<QObject *>(&mainWindow));
    QWidget *owner = nullptr;
    onModal<TfrmMessage>([&](TfrmMessage *box) {
        owner = box->parentWidget();
        box->btnOk->click();
    });
    ShowInfo("x");
    EXPECT_EQ(owner, &mainWindow);

    onModal<TfrmInputBox>([&](TfrmInputBox *box) {
        owner = box->parentWidget();
        box->btnCancel->click();
    });
    InputText("h", "c", "");
    EXPECT_EQ(owner, &mainWindow);

    qApp->setProperty("HisMainWindow", QVariant());
    onModal<TfrmMessage>([&](TfrmMessage *box) {
        owner = box->parentWidget();
        box->btnOk->click();
    });
    ShowInfo("x");
    EXPECT_EQ(owner, nullptr);
}

TEST_F(DialogTest, InputBoxTextMode)
{
    onModal<TfrmInputBox>([](TfrmInputBox *box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("退药"));
        EXPECT_EQ(box->lblHint->text(), QStringLiteral("请输入数量"));
        EXPECT_FALSE(box->edtInput->isHidden());
        EXPECT_TRUE(box->cbxList->isHidden());
        EXPECT_EQ(box->edtInput->text(), "5");
        EXPECT_EQ(box->edtInput->maxLength(), 400);
        EXPECT_EQ(box->focusWidget(), box->edtInput);
        box->edtInput->setText(QStringLiteral("  12 盒 "));
        QTest::keyClick(box->edtInput, Qt::Key_Return);
    });
    EXPECT_EQ(InputText(QStringLiteral("请输入数量"), QStringLiteral("退药"), "5"), QStringLiteral("12 盒"));

    onModal<TfrmInputBox>([](TfrmInputBox *box) {
        box->edtInput->setText("typed");
        QTest::keyClick(box->edtInput, Qt::Key_Escape);
    });
    EXPECT_EQ(InputText("h", "c", "5"), QString());

    onModal<TfrmInputBox>([](TfrmInputBox *box) {
        box->edtInput->setText("typed");
        box->close();
    });
    EXPECT_EQ(InputText("h", "c", "5"), QString());

    onModal<TfrmInputBox>([](TfrmInputBox *box) {
        box->edtInput->setText(" ok ");
        QTest::mouseClick(box->btnOk, Qt::LeftButton);
    });
    EXPECT_EQ(InputText("h", "c", ""), "ok");
}

TEST(InputBoxItems, SplitRule)
{
    const struct {
        const char *text;
        QStringList items;
    } cases[] = {
        {"a|b| c", {"a", "b", "c"}},
        {"a|b|", {"a", "b"}},        // a trailing separator adds nothing
        {"a||b", {"a", "", "b"}},    // an empty piece before a separator is kept
        {"|a", {"", "a"}},
        {" x ", {"x"}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TfrmInputBox::listItems(QString::fromUtf8(c.text), QLatin1Char('|')), c.items) << c.text;
}

TEST_F(DialogTest, InputBoxListMode)
{
    onModal<TfrmInputBox>([](TfrmInputBox *box) {
        EXPECT_TRUE(box->listMode());
        EXPECT_TRUE(box->edtInput->isHidden());
        EXPECT_FALSE(box->cbxList->isHidden());
        QStringList items;
        for (int i = 0; i < box->cbxList->count(); ++i)
            items << box->cbxList->itemText(i);
        EXPECT_EQ(items, QStringList({"a", "b", "c"}));
        EXPECT_EQ(box->cbxList->currentIndex(), -1);
        // The list opens by itself once the box is up.
        QDeadlineTimer deadline(3000);
        while (!box->cbxList->view()->isVisible() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(box->cbxList->view()->isVisible());
        box->cbxList->hidePopup();
        box->cbxList->setCurrentIndex(2);
        QTest::keyClick(box->cbxList, Qt::Key_Return);
    });
    EXPECT_EQ(InputText("h", "c", "a|b| c", "|"), "c");

    // OK with nothing chosen gives empty.
    onModal<TfrmInputBox>([](TfrmInputBox *box) {
        box->cbxList->hidePopup();
        QTest::mouseClick(box->btnOk, Qt::LeftButton);
    });
    EXPECT_EQ(InputText("h", "c", "a|b", "|"), QString());
}

TEST_F(DialogTest, TimedHintClosesItself)
{
    bool seen = false;
    onModal<TfrmHintMessage>([&](TfrmHintMessage *hint) {
        seen = true;
        EXPECT_TRUE(hint->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(hint->pnlBottom->isHidden());
        EXPECT_EQ(hint->memHint->toPlainText(), QStringLiteral("将跳转到内嵌谷歌浏览器页签显示"));
        EXPECT_EQ(hint->memHint->alignment(), Qt::AlignCenter);
        EXPECT_EQ(hint->memHint->font().pixelSize(), 19);
        EXPECT_EQ(hint->memHint->font().family(), QStringLiteral("仿宋"));
        EXPECT_EQ(hint->tmrClose->interval(), 300);
        EXPECT_TRUE(hint->tmrClose->isActive());
    });
    ShowTimedHint(QStringLiteral("将跳转到内嵌谷歌浏览器页签显示"), 300, false);  // returns on the timer
    EXPECT_TRUE(seen);

    onModal<TfrmHintMessage>([](TfrmHintMessage *hint) {
        EXPECT_FALSE(hint->pnlBottom->isHidden());
        EXPECT_EQ(hint->btnOk->text(), QStringLiteral("确  定"));
        QTest::mouseClick(hint->btnOk, Qt::LeftButton);
    });
    ShowTimedHint("ok row", 60000, true);

    onModal<TfrmHintMessage>([](TfrmHintMessage *hint) { QTest::keyClick(hint, Qt::Key_Escape); });
    ShowTimedHint("esc", 60000, false);
}
