#include "ufrmMessage.h"

#include "Env.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace mzpy {

QWidget *HostMainWindowWidget()
{
    if (!qApp)
        return nullptr;
    QObject *object = qApp->property("HisMainWindow").value<QObject *>();
    return qobject_cast<QWidget *>(object);
}

QColor ColorFromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedHeight(TfrmMessage::kButtonRowHeight - 2);
    button->setAutoDefault(true);
    return button;
}

void applyScrollBars(QPlainTextEdit *edit, int scrollBars)
{
    const bool horizontal = scrollBars == 1 || scrollBars == 2;
    const bool vertical = scrollBars == 1 || scrollBars == 3;
    edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
}

}  // namespace

TfrmMessage::TfrmMessage(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("提示"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromBgr(kFormColor));
    setPalette(pal);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    pnlTop = new QWidget(this);
    pnlTop->setObjectName(QStringLiteral("pnlTop"));
    pnlTop->setFixedHeight(kTopHeight);
    auto *top = new QHBoxLayout(pnlTop);
    top->setContentsMargins(4, 4, 4, 4);
    top->setSpacing(4);
    pnlIcon = new QWidget(pnlTop);
    pnlIcon->setObjectName(QStringLiteral("pnlIcon"));
    pnlIcon->setFixedWidth(56);
    auto *iconLayout = new QVBoxLayout(pnlIcon);
    iconLayout->setContentsMargins(0, 0, 0, 0);
    imgIcon = new QLabel(pnlIcon);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setAlignment(Qt::AlignCenter);
    iconLayout->addWidget(imgIcon);
    memText = new QPlainTextEdit(pnlTop);
    memText->setObjectName(QStringLiteral("memText"));
    memText->setReadOnly(true);
    memText->setFocusPolicy(Qt::NoFocus);
    QFont textFont(QStringLiteral("宋体"));
    textFont.setPixelSize(19);
    memText->setFont(textFont);
    top->addWidget(pnlIcon);
    top->addWidget(memText, 1);
    root->addWidget(pnlTop);

    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setFixedHeight(kButtonRowHeight);
    auto *row = new QHBoxLayout(pnlButtons);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(6);
    btnDetail = makeButton(pnlButtons, "btnDetail", QStringLiteral("详情>>"));
    btnYes = makeButton(pnlButtons, "btnYes", QStringLiteral("是(&Y)"));
    btnOk = makeButton(pnlButtons, "btnOk", QStringLiteral("确定(&Q)"));
    btnNo = makeButton(pnlButtons, "btnNo", QStringLiteral("否(&N)"));
    btnCancel = makeButton(pnlButtons, "btnCancel", QStringLiteral("取消(&C)"));
    row->addWidget(btnDetail);
    row->addStretch(1);
    row->addWidget(btnYes);
    row->addWidget(btnOk);
    row->addWidget(btnNo);
    row->addWidget(btnCancel);
    root->addWidget(pnlButtons);

    pnlDetail = new QWidget(this);
    pnlDetail->setObjectName(QStringLiteral("pnlDetail"));
    pnlDetail->setFixedHeight(kDetailHeight);
    auto *detail = new QVBoxLayout(pnlDetail);
    detail->setContentsMargins(4, 4, 4, 4);
    memDetail = new QPlainTextEdit(pnlDetail);
    memDetail->setObjectName(QStringLiteral("memDetail"));
    memDetail->setReadOnly(true);
    detail->addWidget(memDetail);
    root->addWidget(pnlDetail);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        StatusBar1->addPermanentWidget(panel);
        m_panels.append(panel);
    }
    root->addWidget(StatusBar1);

    connect(btnDetail, &QPushButton::clicked, this, &TfrmMessage::toggleDetail);
    connect(btnYes, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(btnOk, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btnNo, &QPushButton::clicked, this, [this] { done(mrNo); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    setFixedWidth(460);
    prepare();
}

void TfrmMessage::setRequest(const MessageRequest &request)
{
    m_request = request;
    memText->setPlainText(FilterMessageText(request.text));
    memDetail->setPlainText(request.detail);
    prepare();
}

QString TfrmMessage::statusText(int panel) const
{
    return panel >= 0 && panel < m_panels.size() ? m_panels.at(panel)->text() : QString();
}

void TfrmMessage::prepare()
{
    const int kind = m_request.buttons;
    btnDetail->setVisible(!m_request.detail.trimmed().isEmpty());
    btnOk->setVisible(kind == btOk || kind == btOkCancel);
    btnYes->setVisible(kind == btYesNoCancel || kind == btYesNo);
    btnNo->setVisible(kind == btYesNoCancel || kind == btYesNo);
    btnCancel->setVisible(kind == btOkCancel || kind == btYesNoCancel);

    const int icon = m_request.icon;
    pnlIcon->setVisible(icon == icWarning || icon == icError);
    if (icon == icWarning)
        imgIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    else if (icon == icError)
        imgIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(48, 48));
    else
        imgIcon->clear();
    setWindowTitle(icon == icWarning ? QStringLiteral("警告")
                   : icon == icError ? QStringLiteral("错误")
                                     : QStringLiteral("提示"));

    applyScrollBars(memText, m_request.scrollBars);
    applyScrollBars(memDetail, m_request.scrollBars);

    m_detailOpen = false;
    btnDetail->setText(QStringLiteral("详情>>"));
    pnlDetail->hide();
    StatusBar1->hide();
    fitHeight();
}

void TfrmMessage::fitHeight()
{
    setFixedHeight(kTopHeight + (m_detailOpen ? kDetailHeight : 0) + kButtonRowHeight);
}

void TfrmMessage::showEvent(QShowEvent *event)
{
    m_panels.at(3)->setText(now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    QDialog::showEvent(event);
    // OK first; then the requested button when it is there to take focus.
    QPushButton *focus = btnOk->isHidden() ? nullptr : btnOk;
    QPushButton *wanted = nullptr;
    switch (m_request.focus) {
    case 2: wanted = btnCancel; break;
    case 3: wanted = btnYes; break;
    case 4: wanted = btnNo; break;
    default: break;
    }
    if (wanted && !wanted->isHidden() && wanted->isEnabled())
        focus = wanted;
    if (!focus) {
        // Yes/No boxes without a requested focus start on Yes.
        focus = btnYes->isHidden() ? nullptr : btnYes;
    }
    if (focus) {
        focus->setDefault(true);
        focus->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmMessage::toggleDetail()
{
    m_detailOpen = !m_detailOpen;
    pnlDetail->setVisible(m_detailOpen);
    btnDetail->setText(m_detailOpen ? QStringLiteral("详情<<") : QStringLiteral("详情>>"));
    fitHeight();
}

void TfrmMessage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_request.buttons == btOk)
            done(mrNone);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmMessage::done(int result)
{
    // Closed without an answer (system close, Esc), or "Cancel" that the box
    // does not offer: Cancel when it is offered, else No when it is offered.
    if (result == mrNone || (result == mrCancel && btnCancel->isHidden())) {
        if (!btnCancel->isHidden())
            result = mrCancel;
        else if (!btnNo->isHidden())
            result = mrNo;
    }
    QDialog::done(result);
}

int TfrmMessage::execute()
{
    return exec();
}

int TfrmMessage::run(const MessageRequest &request)
{
    TfrmMessage box(HostMainWindowWidget());
    box.setRequest(request);
    return box.execute();
}

}  // namespace mzpy
