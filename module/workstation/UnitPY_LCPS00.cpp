#include "UnitPY_LCPS00.h"

#include "WsListModel.h"
#include "common/Log.h"
#include "host/uDLLDM.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace mzpy {

namespace {
// Rows with a positive result are drawn magenta with black text.
class PsModel : public WsListModel {
public:
    using WsListModel::WsListModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.isValid() && (role == Qt::BackgroundRole || role == Qt::ForegroundRole)) {
            const QString r = text(index.row(), QStringLiteral("PSJG00"));
            if (r.contains(QStringLiteral("(+)")) || r.contains(QStringLiteral("阳性")))
                return role == Qt::BackgroundRole ? QColor(255, 0, 255) : QColor(Qt::black);
        }
        return WsListModel::data(index, role);
    }
};
}  // namespace

TfrmPY_LCPS00::TfrmPY_LCPS00(const QString &serial) : m_serial(serial)
{
    setWindowTitle(QStringLiteral("历次皮试"));
    auto *root = new QVBoxLayout(pnlBaseFormContainer);
    auto *bar = new QHBoxLayout;
    btnSX = new QPushButton(QStringLiteral("刷新"), pnlBaseFormContainer);
    btnSX->setObjectName(QStringLiteral("btnSX"));
    bar->addWidget(btnSX);
    bar->addWidget(new QLabel(QStringLiteral(" 病人 "), pnlBaseFormContainer));
    edtBR = new QLineEdit(pnlBaseFormContainer);
    edtBR->setObjectName(QStringLiteral("edtBR"));
    edtBR->setReadOnly(true);
    bar->addWidget(edtBR);
    btnGL = new QToolButton(pnlBaseFormContainer);
    btnGL->setObjectName(QStringLiteral("btnGL"));
    btnGL->setText(QStringLiteral("过滤(&F)"));
    auto *menu = new QMenu(btnGL);
    QAction *actHY = menu->addAction(QStringLiteral("还原"));
    actHY->setObjectName(QStringLiteral("actHY"));
    btnGL->setMenu(menu);
    btnGL->setPopupMode(QToolButton::MenuButtonPopup);
    bar->addWidget(btnGL);
    btnClose = new QPushButton(QStringLiteral("关闭(&X)"), pnlBaseFormContainer);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    bar->addWidget(btnClose);
    bar->addStretch();
    root->addLayout(bar);
    grdPS = new QTableView(pnlBaseFormContainer);
    grdPS->setObjectName(QStringLiteral("grdPS"));
    qryPS = new TQuery(this, QStringLiteral("qryPS"));
    mdlPS = new PsModel(qryPS, 6,
                        {{QStringLiteral("GHH000"), QStringLiteral("门诊号")},
                         {QStringLiteral("CFLSH0"), QStringLiteral("处方号")},
                         {QStringLiteral("BMMC00"), QStringLiteral("科室")},
                         {QStringLiteral("YSXM00"), QStringLiteral("医生")},
                         {QStringLiteral("YPMC00"), QStringLiteral("皮试|名称")},
                         {QStringLiteral("YPGG00"), QStringLiteral("皮试|规格")},
                         {QStringLiteral("PSMC00"), QStringLiteral("皮试名称")},
                         {QStringLiteral("PSJG00"), QStringLiteral("结果")},
                         {QStringLiteral("KSRQSJ"), QStringLiteral("日期时间")},
                         {QStringLiteral("PCMC00"), QStringLiteral("频次")},
                         {QStringLiteral("CSL001"), QStringLiteral("剂量")},
                         {QStringLiteral("YYSJ01"), QStringLiteral("时间")},
                         {QStringLiteral("YPZSL1"), QStringLiteral("总量")},
                         {QStringLiteral("CFZT00"), QStringLiteral("状态")}},
                        this);
    grdPS->setModel(mdlPS);
    grdPS->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPS->setSelectionBehavior(QAbstractItemView::SelectRows);
    root->addWidget(grdPS, 1);
    resize(900, 420);
    connect(btnSX, &QPushButton::clicked, this, [this] { Guard([this] { refreshList(); }); });
    // The grid filter dialog is not part of this build yet.
    connect(btnGL, &QToolButton::clicked, this, [] { WriteLog(QStringLiteral("数据过滤设置接口不可用")); });
    connect(actHY, &QAction::triggered, this, [this] { Guard([this] { refreshList(); }); });
    connect(btnClose, &QPushButton::clicked, this, [this] { close(); });
}

void TfrmPY_LCPS00::FormCreate()
{
    TBaseDLLForm::FormCreate();
    try {
        const oradb::ResultSet rs = Db().select(QStringLiteral("select * from YF_MZCF00 where CFLSH0 = :CFLSH0"),
                                                {{QStringLiteral("CFLSH0"), m_serial}});
        if (!rs.rows.isEmpty()) {
            auto col = [&](const char *f) {
                const int c = rs.columnIndex(QString::fromLatin1(f));
                return c < 0 ? QString() : oradb::valueText(rs.rows[0][c]);
            };
            m_patientId = col("BRID00");
            edtBR->setText(col("BRXM00") + QStringLiteral(" ") + col("XB0000"));
        }
    } catch (const oradb::DbError &) {
    }
    refreshList();
}

void TfrmPY_LCPS00::refreshList()
{
    DLLDM()->DbReopenParams(qryPS,
                            QStringLiteral("select * from VW_YF_PSLS00 where BRID00 = :BRID00 and TYMBH0 in (select "
                                           "TYMBH0 from VW_YF_PSLS00 where CFLSH0= :CFLSH0 ) order by SRRQ00 desc, "
                                           "CFLSH0 desc "),
                            {{QStringLiteral("BRID00"), m_patientId}, {QStringLiteral("CFLSH0"), m_serial}});
}

void TfrmPY_LCPS00::Execute(const QString &serial)
{
    FormClass cls{&TfrmPY_LCPS00::staticMetaObject,
                  [=] { return static_cast<TBaseDLLForm *>(new TfrmPY_LCPS00(serial)); }};
    OpenDialogForm(cls, true, QString(), QString(), nullptr);
}

}  // namespace mzpy
