#include "UnitMZPY_PFRSelect.h"

#include "common/Prompts.h"
#include "common/Session.h"
#include "host/uDLLDM.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace mzpy {

TfrmMZPY_PFRSelect::TfrmMZPY_PFRSelect(const Input &input, std::shared_ptr<bool> saved)
    : m_in(input), m_saved(std::move(saved))
{
    setWindowTitle(QStringLiteral("调剂人选择"));
    auto *row = new QHBoxLayout(pnlBaseFormContainer);
    row->addWidget(new QLabel(QStringLiteral("调剂人"), pnlBaseFormContainer));
    cmbTJR = new QComboBox(pnlBaseFormContainer);
    cmbTJR->setObjectName(QStringLiteral("cmbTJR"));
    row->addWidget(cmbTJR, 1);
    btnOK = new QPushButton(QStringLiteral("确定(&Q)"), pnlBaseFormContainer);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    row->addWidget(btnOK);
    resize(320, 80);
    connect(btnOK, &QPushButton::clicked, this, [this] { Guard([this] { okClicked(); }); });
}

void TfrmMZPY_PFRSelect::FormCreate()
{
    TBaseDLLForm::FormCreate();
    try {
        const oradb::ResultSet rs =
            Db().select(QStringLiteral(" select ZWXM00 from  VW_PY_BMCKRY where  RYZT00=1 and  bmbh00=:BMBH00"),
                        {{QStringLiteral("BMBH00"), QString::number(Session().departmentId)}});
        for (const auto &r : rs.rows)
            cmbTJR->addItem(oradb::valueText(r[0]));
    } catch (const oradb::DbError &) {
    }
    cmbTJR->setCurrentIndex(cmbTJR->findText(m_in.currentName));
}

bool TfrmMZPY_PFRSelect::Execute(const Input &input)
{
    auto saved = std::make_shared<bool>(false);
    FormClass cls{&TfrmMZPY_PFRSelect::staticMetaObject,
                  [=] { return static_cast<TBaseDLLForm *>(new TfrmMZPY_PFRSelect(input, saved)); }};
    OpenDialogForm(cls, true, QString(), QString(), nullptr);
    return *saved;
}

void TfrmMZPY_PFRSelect::okClicked()
{
    const QString name = cmbTJR->currentText();
    if (name == m_in.currentName) {
        setModalResultAndClose(mrCancel);
        return;
    }
    const QString dept = QString::number(Session().departmentId);
    const QString id = DLLDM()->DbValueParams(
        QStringLiteral(" select YGBH00 from  VW_PY_BMCKRY where  RYZT00=1 and  bmbh00=:BMBH00 and ZWXM00=:ZWXM00"),
        {{QStringLiteral("BMBH00"), dept}, {QStringLiteral("ZWXM00"), name}});
    // No staff member of that name (nothing chosen, or a dispenser no longer
    // on the list): there is nothing to save, and the dispenser already
    // recorded must not be blanked.
    if (id.trimmed().isEmpty() || id == QLatin1String("-1"))
        return;
    try {
        Db().execute(QStringLiteral(" update YF_MZCF00 set PFR000=:PFR000 where CFLSH0 in ( select CFLSH0 from "
                                    "YF_CFDL00 where brid00=:BRID00 and yfbmbh = :YFBMBH and pyckbh = :PYCKBH and "
                                    "fyckbh = :FYCKBH and GHH000 = :GHH000 and FYDLXH = :FYDLXH)"),
                     {{QStringLiteral("PFR000"), id},
                      {QStringLiteral("BRID00"), m_in.patientId},
                      {QStringLiteral("YFBMBH"), dept},
                      {QStringLiteral("PYCKBH"), m_in.dispensingWindow},
                      {QStringLiteral("FYCKBH"), m_in.issuingWindow},
                      {QStringLiteral("GHH000"), m_in.registration},
                      {QStringLiteral("FYDLXH"), m_in.queueNumber}});
        Db().execute(QStringLiteral("Commit"));
    } catch (const oradb::DbError &e) {
        ShowError(QStringLiteral("执行语句错误！错误信息") + e.message());
        try {
            Db().execute(QStringLiteral("Rollback"));
        } catch (const oradb::DbError &) {
        }
        return;
    }
    *m_saved = true;
    setModalResultAndClose(mrOk);
}

}  // namespace mzpy
