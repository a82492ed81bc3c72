#include "UnitMZPY_HDRYSelect.h"

#include "common/Prompts.h"
#include "common/Session.h"
#include "common/TextHelpers.h"
#include "host/uDLLDM.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mzpy {

TfrmMZPY_HDRYSelect::TfrmMZPY_HDRYSelect(int departmentId, const QString &label, const QString &queueNumber,
                                         const QString &window, const QString &queueDate,
                                         std::shared_ptr<QString> answer)
    : m_dept(departmentId), m_queueNumber(queueNumber), m_window(window), m_queueDate(queueDate),
      m_answer(std::move(answer))
{
    setWindowTitle(QStringLiteral("核对人员选择"));
    auto *root = new QVBoxLayout(pnlBaseFormContainer);
    auto *top = new QHBoxLayout;
    lblCaption = new QLabel(label.isEmpty() ? QStringLiteral("核对人员选择:") : label, pnlBaseFormContainer);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblCFS = new QLabel(QStringLiteral("处方数："), pnlBaseFormContainer);
    lblCFS->setObjectName(QStringLiteral("lblCFS"));
    lblCount = new QLabel(pnlBaseFormContainer);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    top->addWidget(lblCaption);
    top->addStretch();
    top->addWidget(lblCFS);
    top->addWidget(lblCount);
    root->addLayout(top);
    auto *mid = new QHBoxLayout;
    pnlLeft = new QWidget(pnlBaseFormContainer);
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    auto *left = new QVBoxLayout(pnlLeft);
    left->addWidget(new QLabel(QStringLiteral("处方号:"), pnlLeft));
    memCFH = new QPlainTextEdit(pnlLeft);
    memCFH->setObjectName(QStringLiteral("memCFH"));
    memCFH->setReadOnly(true);
    left->addWidget(memCFH);
    mid->addWidget(pnlLeft);
    lstRY = new QListWidget(pnlBaseFormContainer);
    lstRY->setObjectName(QStringLiteral("lstRY"));
    lstRY->installEventFilter(this);
    mid->addWidget(lstRY, 1);
    root->addLayout(mid, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("(鼠标双击选择)"), pnlBaseFormContainer));
    bottom->addStretch();
    btnOK = new QPushButton(QStringLiteral("确  定"), pnlBaseFormContainer);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("取  消"), pnlBaseFormContainer);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    bottom->addWidget(btnOK);
    bottom->addWidget(btnCancel);
    root->addLayout(bottom);
    resize(480, 360);

    connect(btnOK, &QPushButton::clicked, this, [this] { Guard([this] { okClicked(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { Guard([this] { cancelClicked(); }); });
    connect(lstRY, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!m_filling)
            Guard([this, item] { takeItem(item); });
    });
    connect(lstRY, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        Guard([this, item] { takeItem(item); });
    });
}

void TfrmMZPY_HDRYSelect::FormCreate()
{
    TBaseDLLForm::FormCreate();
    m_filling = true;
    try {
        const oradb::ResultSet rs = Db().select(
            QStringLiteral("select YGBH00,XKH000,ZWXM00 from VW_PY_CKHDRY where BMBH00=:BMBH00"),
            {{QStringLiteral("BMBH00"), QString::number(m_dept)}});
        for (const auto &r : rs.rows) {
            auto *item = new QListWidgetItem(oradb::valueText(r[2]) + QStringLiteral("_") + oradb::valueText(r[1])
                                                 + QStringLiteral("|") + oradb::valueText(r[0]),
                                             lstRY);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    } catch (const oradb::DbError &) {
    }
    m_filling = false;
    if (lstRY->count() > 0)
        lstRY->setCurrentRow(0);
    const QString rule = GetSysParam(QStringLiteral("MZPY_PYHDRYXZ"), QStringLiteral("N|N|Y"));
    if (SplitField(rule, QStringLiteral("|"), 3) != QLatin1String("N")) {
        pnlLeft->hide();
        lblCFS->hide();
        lblCount->hide();
    } else {
        const oradb::Params p{{QStringLiteral("FYDLXH"), m_queueNumber},
                              {QStringLiteral("FYCKBH"), m_window},
                              {QStringLiteral("PHRQ00"), m_queueDate}};
        try {
            const oradb::ResultSet rs = Db().select(
                QStringLiteral("select CFLSH0 from YF_CFDL00 where FYDLXH =:FYDLXH and FYCKBH =:FYCKBH and PHRQ00 "
                               "=:PHRQ00"),
                p);
            lblCount->setText(QString::number(rs.rows.size()) + QStringLiteral("张"));
            QStringList lines;
            for (const auto &r : rs.rows)
                lines << oradb::valueText(r[0]);
            memCFH->setPlainText(lines.join(QLatin1Char('\n')));
        } catch (const oradb::DbError &) {
        }
    }
}

QString TfrmMZPY_HDRYSelect::Execute(int departmentId, const QString &label, const QString &queueNumber,
                                     const QString &window, const QString &queueDate)
{
    auto answer = std::make_shared<QString>();
    FormClass cls{&TfrmMZPY_HDRYSelect::staticMetaObject, [=] {
                      return static_cast<TBaseDLLForm *>(
                          new TfrmMZPY_HDRYSelect(departmentId, label, queueNumber, window, queueDate, answer));
                  }};
    OpenDialogForm(cls, true, QString(), QString(), nullptr);
    return *answer;
}

QListWidgetItem *TfrmMZPY_HDRYSelect::firstChecked() const
{
    for (int i = 0; i < lstRY->count(); ++i)
        if (lstRY->item(i)->checkState() == Qt::Checked)
            return lstRY->item(i);
    return nullptr;
}

void TfrmMZPY_HDRYSelect::finish(const QString &answer)
{
    *m_answer = answer;
    m_finishing = true;
    setModalResultAndClose(answer.isEmpty() ? mrCancel : mrOk);
}

void TfrmMZPY_HDRYSelect::takeItem(QListWidgetItem *item)
{
    if (!item || m_finishing)
        return;
    finish(SplitField(item->text(), QStringLiteral("|"), 2));
}

void TfrmMZPY_HDRYSelect::okClicked()
{
    if (QListWidgetItem *item = firstChecked()) {
        finish(SplitField(item->text(), QStringLiteral("|"), 2));
        return;
    }
    if (AskYes(QStringLiteral("您没有选择一位核对人员，确定要继续吗？")))
        finish(QString());
}

void TfrmMZPY_HDRYSelect::cancelClicked()
{
    if (firstChecked()
        && !AskYes(QStringLiteral("当前有选中核对人员，确定要取消操作吗？") + QStringLiteral("\n\n")
                   + QStringLiteral("(取消后当前所选中的核对人员将无效)")))
        return;
    finish(QString());
}

void TfrmMZPY_HDRYSelect::closeEvent(QCloseEvent *event)
{
    if (!m_finishing) {
        if (firstChecked()
            && !AskYes(QStringLiteral("当前有选中核对人员，确定要关闭吗？") + QStringLiteral("\n\n")
                       + QStringLiteral("(关闭后当前所选中的核对人员将无效)"))) {
            event->ignore();
            return;
        }
        m_answer->clear();
        m_finishing = true;
    }
    TBaseDLLForm::closeEvent(event);
}

bool TfrmMZPY_HDRYSelect::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstRY && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Guard([this] { takeItem(lstRY->currentItem()); });
            return true;
        }
    }
    return TBaseDLLForm::eventFilter(watched, event);
}

}  // namespace mzpy
