#include "ufrmInputBox.h"

#include "ufrmMessage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mzpy {

TfrmInputBox::TfrmInputBox(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmInputBox"));
    setWindowTitle(QStringLiteral("输入框"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromBgr(TfrmMessage::kFormColor));
    setPalette(pal);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(10, 8, 10, 8);
    root->setSpacing(8);

    lblHint = new QLabel(this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    QPalette hintPal = lblHint->palette();
    hintPal.setColor(QPalette::WindowText, QColor(0, 128, 0));
    lblHint->setPalette(hintPal);
    lblHint->setWordWrap(true);
    root->addWidget(lblHint);

    edtInput = new QLineEdit(this);
    edtInput->setObjectName(QStringLiteral("edtInput"));
    edtInput->setMaxLength(kMaxLength);
    root->addWidget(edtInput);

    cbxList = new QComboBox(this);
    cbxList->setObjectName(QStringLiteral("cbxList"));
    cbxList->setEditable(false);
    cbxList->hide();
    root->addWidget(cbxList);

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    btnOk = new QPushButton(QStringLiteral("确定(&Q)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    row->addWidget(btnOk);
    row->addWidget(btnCancel);
    root->addLayout(row);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edtInput->installEventFilter(this);
    cbxList->installEventFilter(this);

    setFixedWidth(400);
}

QStringList TfrmInputBox::listItems(const QString &defaultText, QChar separator)
{
    QStringList pieces = defaultText.split(separator);
    if (pieces.last().isEmpty())
        pieces.removeLast();  // nothing after the last separator (or no text)
    for (QString &piece : pieces)
        piece = piece.trimmed();
    return pieces;
}

void TfrmInputBox::setRequest(const InputRequest &request)
{
    lblHint->setText(request.hint);
    setWindowTitle(request.caption);
    m_listMode = !request.separator.isEmpty();
    cbxList->clear();
    if (m_listMode) {
        edtInput->hide();
        cbxList->show();
        cbxList->addItems(listItems(request.defaultText, request.separator.at(0)));
        cbxList->setCurrentIndex(-1);
    } else {
        cbxList->hide();
        edtInput->show();
        edtInput->setText(request.defaultText);
    }
}

void TfrmInputBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_listMode) {
        cbxList->setFocus(Qt::OtherFocusReason);
        QTimer::singleShot(0, cbxList, [this] {
            if (isVisible() && cbxList->isVisible())
                cbxList->showPopup();
        });
    } else {
        edtInput->setFocus(Qt::OtherFocusReason);
        edtInput->selectAll();
    }
}

bool TfrmInputBox::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == edtInput || watched == cbxList) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TfrmInputBox::execute()
{
    if (exec() != QDialog::Accepted)
        return QString();
    return (m_listMode ? cbxList->currentText() : edtInput->text()).trimmed();
}

QString TfrmInputBox::run(const InputRequest &request)
{
    TfrmInputBox box(HostMainWindowWidget());
    box.setRequest(request);
    return box.execute();
}

}  // namespace mzpy
