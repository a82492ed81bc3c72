#include "ufrmHintMessage.h"

#include "ufrmMessage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace mzpy {

TfrmHintMessage::TfrmHintMessage(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmHintMessage"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromBgr(TfrmMessage::kFormColor));
    setPalette(pal);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);

    memHint = new QTextEdit(this);
    memHint->setObjectName(QStringLiteral("memHint"));
    memHint->setReadOnly(true);
    memHint->setFocusPolicy(Qt::NoFocus);
    memHint->setFrameShape(QFrame::NoFrame);
    memHint->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memHint->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font(QStringLiteral("仿宋"));
    font.setPixelSize(19);
    memHint->setFont(font);
    QPalette textPal = memHint->palette();
    textPal.setColor(QPalette::Text, QColor(0, 128, 0));
    textPal.setColor(QPalette::Base, ColorFromBgr(TfrmMessage::kFormColor));
    memHint->setPalette(textPal);
    root->addWidget(memHint, 1);

    pnlBottom = new QWidget(this);
    pnlBottom->setObjectName(QStringLiteral("pnlBottom"));
    auto *row = new QHBoxLayout(pnlBottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    btnOk = new QPushButton(QStringLiteral("确  定"), pnlBottom);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    row->addWidget(btnOk);
    row->addStretch(1);
    root->addWidget(pnlBottom);

    tmrClose = new QTimer(this);
    tmrClose->setObjectName(QStringLiteral("tmrClose"));
    tmrClose->setSingleShot(true);
    connect(tmrClose, &QTimer::timeout, this, &QDialog::accept);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    resize(420, 150);
}

void TfrmHintMessage::setHint(const QString &text, int milliseconds, bool showOk)
{
    memHint->setPlainText(text);
    QTextCursor cursor(memHint->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignCenter);
    cursor.mergeBlockFormat(centred);
    m_milliseconds = qMax(0, milliseconds);
    pnlBottom->setVisible(showOk);
}

void TfrmHintMessage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    tmrClose->start(m_milliseconds);
    if (!pnlBottom->isHidden())
        btnOk->setFocus(Qt::OtherFocusReason);
}

void TfrmHintMessage::execute()
{
    exec();
    tmrClose->stop();
}

void TfrmHintMessage::run(const QString &text, int milliseconds, bool showOk)
{
    TfrmHintMessage hint(HostMainWindowWidget());
    hint.setHint(text, milliseconds, showOk);
    hint.execute();
}

}  // namespace mzpy
