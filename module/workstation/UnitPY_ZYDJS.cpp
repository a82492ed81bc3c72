#include "UnitPY_ZYDJS.h"

#include "common/Prompts.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mzpy {

TfrmPY_ZYDJS::TfrmPY_ZYDJS(int doses, std::shared_ptr<int> answer) : m_answer(std::move(answer))
{
    setWindowTitle(QStringLiteral("中药代煎剂数"));
    auto *root = new QVBoxLayout(pnlBaseFormContainer);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("请确认代煎的剂数："), pnlBaseFormContainer));
    edtJS = new QSpinBox(pnlBaseFormContainer);
    edtJS->setObjectName(QStringLiteral("edtJS"));
    edtJS->setMinimum(1);
    edtJS->setMaximum(qMax(1, doses));
    edtJS->setValue(qMax(1, doses));
    row->addWidget(edtJS);
    row->addWidget(new QLabel(QStringLiteral("剂"), pnlBaseFormContainer));
    root->addLayout(row);
    auto *buttons = new QHBoxLayout;
    btnOK = new QPushButton(QStringLiteral("确定"), pnlBaseFormContainer);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("取消"), pnlBaseFormContainer);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    root->addLayout(buttons);
    *m_answer = -1;
    connect(btnOK, &QPushButton::clicked, this, [this] {
        *m_answer = edtJS->value();
        m_done = true;
        setModalResultAndClose(mrOk);
    });
    connect(btnCancel, &QPushButton::clicked, this, [this] { setModalResultAndClose(mrCancel); });
}

int TfrmPY_ZYDJS::Execute(int doses)
{
    auto answer = std::make_shared<int>(-1);
    FormClass cls{&TfrmPY_ZYDJS::staticMetaObject,
                  [=] { return static_cast<TBaseDLLForm *>(new TfrmPY_ZYDJS(doses, answer)); }};
    OpenDialogForm(cls, true, QString(), QString(), nullptr);
    return *answer;
}

void TfrmPY_ZYDJS::closeEvent(QCloseEvent *event)
{
    if (!m_done)
        *m_answer = -1;
    TBaseDLLForm::closeEvent(event);
}

}  // namespace mzpy
