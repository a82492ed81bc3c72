#include "UnitPY_MZPYXT.h"

#include "UnitMZPY_HDRYSelect.h"
#include "UnitMZPY_PFRSelect.h"
#include "UnitPY_LCPS00.h"
#include "WorkstationInterfaces.h"
#include "WsListModel.h"
#include "common/Env.h"
#include "common/Ini.h"
#include "common/Log.h"
#include "common/Prompts.h"
#include "common/Session.h"
#include "common/TextHelpers.h"
#include "host/UnitDLL_Action_MZPY_KTRB.h"
#include "host/WorkstationConfig.h"
#include "host/uDLLDM.h"
#include "interfaces/RssLights.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace mzpy {

static MenuActionRegistration reg("ACT_PY_MZPYXT", "门诊配药", [] {
    OpenEmbeddedForm(formClass<TfrmPY_MZPYXT>(), nullptr, QString(), QString());
});

namespace {

const QColor kAltRow(218, 244, 204);

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(S(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const char *caption, bool checked)
{
    auto *c = new QCheckBox(S(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(checked);
    return c;
}

QLineEdit *lineEdit(QWidget *parent, const char *name, int maxLength = 0, bool readOnly = false)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    return e;
}

QDateEdit *dateEdit(QWidget *parent, const char *name)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(QString::fromLatin1(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return d;
}

QTableView *grid(QWidget *parent, const char *name, bool alternate)
{
    auto *v = new QTableView(parent);
    v->setObjectName(QString::fromLatin1(name));
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->verticalHeader()->setDefaultSectionSize(22);
    v->verticalHeader()->hide();
    v->setWordWrap(false);
    if (alternate) {
        v->setAlternatingRowColors(true);
        QPalette p = v->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::AlternateBase, kAltRow);
        v->setPalette(p);
    }
    return v;
}

WsColumn col(const char *field, const char *caption = nullptr, bool hidden = false, int check = 0, bool bold = false)
{
    WsColumn c;
    c.field = QString::fromLatin1(field);
    c.caption = caption ? S(caption) : QString();
    c.hidden = hidden;
    c.check = check;
    c.bold = bold;
    return c;
}

void applyHidden(QTableView *view, WsListModel *model)
{
    for (int i = 0; i < model->columns().size(); ++i)
        view->setColumnHidden(i, model->columns()[i].hidden);
}

void setFieldVisible(QTableView *view, WsListModel *model, const QString &field, bool visible)
{
    for (int i = 0; i < model->columns().size(); ++i)
        if (model->columns()[i].field == field)
            view->setColumnHidden(i, !visible);
}

QString outText(const QVariantMap &out, const char *name)
{
    for (auto it = out.begin(); it != out.end(); ++it)
        if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return oradb::valueText(it.value());
    return QString();
}

// Runs a statement the way the text execution does: its error prompt first,
// then the error goes on to the caller.
void execShown(const QString &sql, const oradb::Params &params = {})
{
    try {
        Db().execute(sql, params);
    } catch (const oradb::DbError &e) {
        ShowError(S("执行语句错误！错误信息") + e.message());
        throw;
    }
}

void rollbackQuietly(const char *statement = "Rollback")
{
    try {
        Db().execute(QString::fromLatin1(statement));
    } catch (const oradb::DbError &) {
    }
}

// Runs one statement and "commit" as a unit. On an error: the statement's
// error prompt, a rollback, the "提示" box, and false.
bool execCommitted(const QString &sql, const oradb::Params &params)
{
    try {
        Db().execute(sql, params);
        Db().execute(QStringLiteral("commit"));
        return true;
    } catch (const oradb::DbError &e) {
        ShowError(S("执行语句错误！错误信息") + e.message());
        rollbackQuietly();
        ShowInfo(S("提示"));
        return false;
    }
}

const char *const kStopWindowSql = "update BM_CKBM00 set ZT0000 = '2',JQMC00=null,BZ0000=null where CKBH00 = :CKBH00 "
                                   "and (JQMC00=:JQMC00 or JQMC00 is null)";

}  // namespace

// ===================================================================== layout

TfrmPY_MZPYXT::TfrmPY_MZPYXT()
{
    setWindowTitle(S("门诊配药系统"));
    buildUi();
    connectUi();
}

TfrmPY_MZPYXT::~TfrmPY_MZPYXT()
{
    tmrRefresh->stop();
    tmrWindow->stop();
    const int width = m_sizesApplied ? pnlRight->width() : rightWidth;
    WriteLoginIni(QStringLiteral("MZPY"), QStringLiteral("MZPYXT_LEFT"), QString::number(width));
    if (!chkZSM->isHidden())
        WriteLoginIni(QStringLiteral("MZPY"), QStringLiteral("ZSMXX"),
                      chkZSM->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    // The model callbacks point into this form: detach them before the queries go.
    for (TQuery *q : {qryDP, qryDF, qryYF, qryCX, qryMX})
        q->onChanged = nullptr;
}

void TfrmPY_MZPYXT::buildUi()
{
    QWidget *c = pnlBaseFormContainer;
    auto *root = new QVBoxLayout(c);
    root->setContentsMargins(2, 2, 2, 2);

    // ---- toolbar
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(S("日期"), c));
    dtpStart = dateEdit(c, "dtpStart");
    dtpEnd = dateEdit(c, "dtpEnd");
    bar->addWidget(dtpStart);
    bar->addWidget(dtpEnd);
    bar->addWidget(new QLabel(S("窗口"), c));
    edtCKMC = lineEdit(c, "edtCKMC", 0, true);
    edtCKMC->setMaximumWidth(120);
    bar->addWidget(edtCKMC);
    lblZTMC = new QLabel(S("状态名称"), c);
    lblZTMC->setObjectName(QStringLiteral("lblZTMC"));
    bar->addWidget(lblZTMC);
    btnTZ = button(c, "btnTZ", "停止");
    btnTZ->setStyleSheet(QStringLiteral("QPushButton { color: red } QPushButton:disabled { color: gray }"));
    btnQY = button(c, "btnQY", "启用");
    btnQY->setStyleSheet(QStringLiteral("QPushButton { color: green } QPushButton:disabled { color: gray }"));
    btnJZCK = button(c, "btnJZCK", "急诊窗口");
    chkYY = checkBox(c, "chkYY", "语音", false);
    btnZLJL = button(c, "btnZLJL", "诊疗记录");
    btnZLJL->hide();
    pnlBRXM = new QLabel(c);
    pnlBRXM->setObjectName(QStringLiteral("pnlBRXM"));
    pnlBRXM->setMinimumWidth(100);
    pnlBRXM->setFrameShape(QFrame::Panel);
    btnTC = button(c, "btnTC", "退出");
    for (QWidget *w : std::initializer_list<QWidget *>{btnTZ, btnQY, btnJZCK, chkYY, btnZLJL, pnlBRXM})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(btnTC);
    root->addLayout(bar);

    // ---- main area
    splMain = new QSplitter(Qt::Horizontal, c);
    splMain->setObjectName(QStringLiteral("splMain"));
    root->addWidget(splMain, 1);

    splLeft = new QSplitter(Qt::Vertical, splMain);
    splLeft->setObjectName(QStringLiteral("splLeft"));
    auto *leftTop = new QWidget(splLeft);
    leftTop->setObjectName(QStringLiteral("pnlLeftTop"));
    auto *leftTopLayout = new QHBoxLayout(leftTop);
    leftTopLayout->setContentsMargins(0, 0, 0, 0);
    auto *dpColumn = new QVBoxLayout;
    pgcDP = new QTabWidget(leftTop);
    pgcDP->setObjectName(QStringLiteral("pgcDP"));
    auto *tsDP = new QWidget;
    tsDP->setObjectName(QStringLiteral("tsDP"));
    auto *tsDPLayout = new QVBoxLayout(tsDP);
    tsDPLayout->setContentsMargins(0, 0, 0, 0);
    grdDP = grid(tsDP, "grdDP", true);
    lblDPFooter = new QLabel(tsDP);
    lblDPFooter->setObjectName(QStringLiteral("lblDPFooter"));
    tsDPLayout->addWidget(grdDP, 1);
    tsDPLayout->addWidget(lblDPFooter);
    pgcDP->addTab(tsDP, S("待配"));
    dpColumn->addWidget(pgcDP, 1);

    auto *entry = new QHBoxLayout;
    entry->addWidget(new QLabel(S("流水号"), leftTop));
    edtLSH = lineEdit(leftTop, "edtLSH");
    entry->addWidget(edtLSH);
    entry->addWidget(new QLabel(S("审核"), leftTop));
    cmbSH = new QComboBox(leftTop);
    cmbSH->setObjectName(QStringLiteral("cmbSH"));
    cmbSH->setMaxVisibleItems(20);
    cmbSH->setMinimumWidth(110);
    entry->addWidget(cmbSH);
    btnPSS = button(leftTop, "btnPSS", "皮试史");
    btnPSS->hide();
    entry->addWidget(btnPSS);
    lblYY = new QLabel(S("原因"), leftTop);
    lblYY->setObjectName(QStringLiteral("lblYY"));
    cmbYY = new QComboBox(leftTop);
    cmbYY->setObjectName(QStringLiteral("cmbYY"));
    cmbYY->setEditable(true);
    cmbYY->lineEdit()->setMaxLength(100);
    btnTH = button(leftTop, "btnTH", "退 回");
    entry->addWidget(lblYY);
    entry->addWidget(cmbYY);
    entry->addWidget(btnTH);
    lblGMS = new QLabel(S("过敏史"), leftTop);
    lblGMS->setObjectName(QStringLiteral("lblGMS"));
    edtGMS = lineEdit(leftTop, "edtGMS", 200, true);
    lblTZXX = new QLabel(S("体征信息"), leftTop);
    lblTZXX->setObjectName(QStringLiteral("lblTZXX"));
    edtTZXX = lineEdit(leftTop, "edtTZXX", 200, true);
    entry->addWidget(lblGMS);
    entry->addWidget(edtGMS, 1);
    entry->addWidget(lblTZXX);
    entry->addWidget(edtTZXX, 1);
    dpColumn->addLayout(entry);
    leftTopLayout->addLayout(dpColumn, 1);

    auto *buttons = new QVBoxLayout;
    btnPYFY = button(leftTop, "btnPYFY", ">>>");
    btnCX = button(leftTop, "btnCX", "∧撤销");
    btnTHDD = button(leftTop, "btnTHDD", "<<退回");
    btnFY = button(leftTop, "btnFY", "∨发药");
    btnBJ = button(leftTop, "btnBJ", "补叫");
    btnYP = button(leftTop, "btnYP", ">>已配");
    btnSX = button(leftTop, "btnSX", "刷新");
    btnGL = button(leftTop, "btnGL", "过滤");
    chkZSX = checkBox(leftTop, "chkZSX", "自刷新", true);
    chkFBC = checkBox(leftTop, "chkFBC", "非本窗", false);
    btnSF = button(leftTop, "btnSF", "审方(&S)");
    btnLK = button(leftTop, "btnLK", "亮 框");
    btnDJFY = button(leftTop, "btnDJFY", "代煎发药");
    btnCASM = button(leftTop, "btnCASM", "CA扫码");
    btnZSM = button(leftTop, "btnZSM", "追溯码");
    chkZSM = checkBox(leftTop, "chkZSM", "追溯码", true);
    for (QWidget *w : std::initializer_list<QWidget *>{btnPYFY, btnCX, btnTHDD, btnFY, btnBJ, btnYP, btnSX, btnGL,
                                                       chkZSX, chkFBC, btnSF, btnLK, btnDJFY, btnCASM, btnZSM, chkZSM})
        buttons->addWidget(w);
    for (QWidget *w : std::initializer_list<QWidget *>{btnLK, btnDJFY, btnCASM, btnZSM, chkZSM})
        w->hide();
    buttons->addStretch();
    leftTopLayout->addLayout(buttons);

    // bottom panel: query and detail
    auto *bottom = new QWidget(splLeft);
    bottom->setObjectName(QStringLiteral("pnlBottom"));
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    auto *qbar = new QHBoxLayout;
    cmbRQLX = new QComboBox(bottom);
    cmbRQLX->setObjectName(QStringLiteral("cmbRQLX"));
    cmbRQLX->addItems({S("开单日期"), S("摆药日期"), S("记账日期"), S("发药日期"), S("扣药日期")});
    dtpCXStart = dateEdit(bottom, "dtpCXStart");
    dtpCXEnd = dateEdit(bottom, "dtpCXEnd");
    btnDK = button(bottom, "btnDK", "读卡");
    btnDZJKK = button(bottom, "btnDZJKK", "电子健康卡");
    edtCXLSH = lineEdit(bottom, "edtCXLSH");
    btnQuery = new QToolButton(bottom);
    btnQuery->setObjectName(QStringLiteral("btnQuery"));
    btnQuery->setText(S("查询"));
    btnQuery->setPopupMode(QToolButton::MenuButtonPopup);
    pmQuery = new QMenu(btnQuery);
    pmQuery->setObjectName(QStringLiteral("pmQuery"));
    actCFTH = pmQuery->addAction(S("处方退回"));
    actCFTH->setObjectName(QStringLiteral("actCFTH"));
    for (const char *caption : {"收代煎费", "退代煎费", "打印代煎单", "全成分发送", "处方预览"}) {
        QAction *a = pmQuery->addAction(S(caption));
        a->setObjectName(QStringLiteral("act") + QString::number(herbalActions.size() + 1));
        herbalActions << a;
    }
    actEWM = pmQuery->addAction(S("打印二维码"));
    actEWM->setObjectName(QStringLiteral("actEWM"));
    btnQuery->setMenu(pmQuery);
    chkCXFBC = checkBox(bottom, "chkCXFBC", "非本窗", true);
    edtQYTM = lineEdit(bottom, "edtQYTM");
    qbar->addWidget(cmbRQLX);
    qbar->addWidget(dtpCXStart);
    qbar->addWidget(dtpCXEnd);
    qbar->addWidget(btnDK);
    qbar->addWidget(btnDZJKK);
    qbar->addWidget(new QLabel(S("流水号"), bottom));
    qbar->addWidget(edtCXLSH);
    qbar->addWidget(btnQuery);
    qbar->addWidget(chkCXFBC);
    qbar->addWidget(new QLabel(S("取药条形码"), bottom));
    qbar->addWidget(edtQYTM);
    qbar->addStretch();
    bottomLayout->addLayout(qbar);
    pgcCX = new QTabWidget(bottom);
    pgcCX->setObjectName(QStringLiteral("pgcCX"));
    tsCX = new QWidget;
    tsCX->setObjectName(QStringLiteral("tsCX"));
    tsMX = new QWidget;
    tsMX->setObjectName(QStringLiteral("tsMX"));
    tsDY = new QWidget;
    tsDY->setObjectName(QStringLiteral("tsDY"));
    auto *cxl = new QVBoxLayout(tsCX);
    cxl->setContentsMargins(0, 0, 0, 0);
    grdCX = grid(tsCX, "grdCX", true);
    lblCXFooter = new QLabel(tsCX);
    lblCXFooter->setObjectName(QStringLiteral("lblCXFooter"));
    cxl->addWidget(grdCX, 1);
    cxl->addWidget(lblCXFooter);
    auto *mxl = new QVBoxLayout(tsMX);
    mxl->setContentsMargins(0, 0, 0, 0);
    grdMX = grid(tsMX, "grdMX", false);
    lblMXFooter = new QLabel(tsMX);
    lblMXFooter->setObjectName(QStringLiteral("lblMXFooter"));
    mxl->addWidget(grdMX, 1);
    mxl->addWidget(lblMXFooter);
    pgcCX->addTab(tsCX, S("查询"));
    pgcCX->addTab(tsMX, S("明细"));
    bottomLayout->addWidget(pgcCX, 1);
    splLeft->setStretchFactor(0, 3);
    splLeft->setStretchFactor(1, 2);

    // ---- right part
    pnlRight = new QWidget(splMain);
    pnlRight->setObjectName(QStringLiteral("pnlRight"));
    auto *rightLayout = new QVBoxLayout(pnlRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    splRight = new QSplitter(Qt::Vertical, pnlRight);
    splRight->setObjectName(QStringLiteral("splRight"));
    rightLayout->addWidget(splRight);
    pgcDF = new QTabWidget(splRight);
    pgcDF->setObjectName(QStringLiteral("pgcDF"));
    auto *tsDF = new QWidget;
    tsDF->setObjectName(QStringLiteral("tsDF"));
    auto *dfl = new QVBoxLayout(tsDF);
    dfl->setContentsMargins(0, 0, 0, 0);
    auto *dfbar = new QHBoxLayout;
    dfbar->addWidget(new QLabel(S("流水号"), tsDF));
    edtDFLSH = lineEdit(tsDF, "edtDFLSH");
    dfbar->addWidget(edtDFLSH);
    chkZCY = checkBox(tsDF, "chkZCY", "中草药", true);
    chkQCF = checkBox(tsDF, "chkQCF", "全成分", true);
    chkDJ = checkBox(tsDF, "chkDJ", "代煎", true);
    dfbar->addWidget(chkZCY);
    dfbar->addWidget(chkQCF);
    dfbar->addWidget(chkDJ);
    dfbar->addStretch();
    dfl->addLayout(dfbar);
    grdDF = grid(tsDF, "grdDF", true);
    lblDFFooter = new QLabel(tsDF);
    lblDFFooter->setObjectName(QStringLiteral("lblDFFooter"));
    dfl->addWidget(grdDF, 1);
    dfl->addWidget(lblDFFooter);
    pgcDF->addTab(tsDF, S("待发"));
    pgcYF = new QTabWidget(splRight);
    pgcYF->setObjectName(QStringLiteral("pgcYF"));
    auto *tsYF = new QWidget;
    tsYF->setObjectName(QStringLiteral("tsYF"));
    auto *yfl = new QVBoxLayout(tsYF);
    yfl->setContentsMargins(0, 0, 0, 0);
    auto *yfbar = new QHBoxLayout;
    yfbar->addWidget(new QLabel(S("流水号"), tsYF));
    edtYFLSH = lineEdit(tsYF, "edtYFLSH");
    yfbar->addWidget(edtYFLSH);
    yfbar->addStretch();
    yfl->addLayout(yfbar);
    grdYF = grid(tsYF, "grdYF", true);
    lblYFFooter = new QLabel(tsYF);
    lblYFFooter->setObjectName(QStringLiteral("lblYFFooter"));
    yfl->addWidget(grdYF, 1);
    yfl->addWidget(lblYFFooter);
    pgcYF->addTab(tsYF, S("已发药"));
    splMain->setStretchFactor(0, 1);
    splMain->setStretchFactor(1, 0);

    // ---- queries and models
    qryDP = new TQuery(this, QStringLiteral("qryDP"));
    qryDF = new TQuery(this, QStringLiteral("qryDF"));
    qryYF = new TQuery(this, QStringLiteral("qryYF"));
    qryCX = new TQuery(this, QStringLiteral("qryCX"));
    qryMX = new TQuery(this, QStringLiteral("qryMX"));
    mdlDP = new WsListModel(qryDP, 1,
                            {col("NX", "选", false, 1), col("FYDLXH", "流水号"), col("RCBYZT", "是否上架"),
                             col("LZH000", "篮子号"), col("PFRXM0", "配方人", true), col("BRXM00", "姓名"),
                             col("XB0000", "性别"), col("BRNL00", "年龄"), col("SFPS00", "皮试", false, 2),
                             col("SFGW00", "高危", false, 2), col("YYCWDJ", "等级"), col("ZYTS00", "剂数", false, 0, true),
                             col("PYLBMC", "类别"), col("PFRXM0", "调剂人"), col("PHRQSH", "排号日期"),
                             col("CFLSH0", "处方号", true), col("KDYS00", "医师"), col("KDKS00", "申请科室"),
                             col("BMMC00", "药房", true), col("CXBZ00", "标志", true), col("FYCKMC", "发药窗口"),
                             col("GHH000", "挂号号"), col("DYRQSJ", "打印日期"), col("BRLB00", "病人类别"),
                             col("ZZDMC0", "诊断")},
                            this);
    mdlDF = new WsListModel(qryDF, 2,
                            {col("FYDLXH", "流水号"), col("LZH000", "篮子号"), col("BRXM00", "姓名"),
                             col("XB0000", "性别"), col("BRNL00", "年龄"), col("SFGW00", "高危", false, 2),
                             col("YYCWDJ", "等级"), col("PYLBMC", "类别"), col("ZYTS00", "剂数"),
                             col("PFRXM0", "调剂人"), col("FHRXM0", "复核人"), col("PYRQ00", "配药日期"),
                             col("GHH000", "挂号号"), col("KDKS00", "申请科室"), col("KDYS00", "医师"),
                             col("BMMC00", "药房", true), col("CXBZ00", "标志", true), col("CFLSH0", "处方号"),
                             col("FYCKMC", "发药窗口")},
                            this);
    mdlYF = new WsListModel(qryYF, 3,
                            {col("FYDLXH", "流水号"), col("LZH000", "篮子号"), col("BRXM00", "姓名"),
                             col("XB0000", "性别"), col("BRNL00", "年龄"), col("PYLBMC", "类别"),
                             col("ZYTS00", "剂数"), col("PFRXM0", "调剂人"), col("FHRXM0", "复核人"),
                             col("FYRXM0", "发药人"), col("PYRQ00", "配药日期"), col("GHH000", "挂号号"),
                             col("KDKS00", "申请科室"), col("KDYS00", "医师"), col("BMMC00", "药房", true),
                             col("CXBZ00", "标志", true), col("CFLSH0", "处方号"), col("FYCKMC", "发药窗口")},
                            this);
    mdlCX = new WsListModel(qryCX, 4,
                            {col("NX", "选", false, 1), col("JZRQSJ", "记账日期"), col("SRRQGG", "开单日期"),
                             col("FYDLXH", "流水号"), col("BRXM00", "姓名"), col("XB0000", "性别"),
                             col("BRNL00", "年龄"), col("PYLBMC", "类别"), col("ZYTS00", "剂数"),
                             col("ZYDJS0", "代煎数"), col("DJSFMC", "代煎费"), col("KDKS00", "申请科室"),
                             col("KDYS00", "医师", true), col("YFBMMC", "药房"), col("CXBZ00", "标志", true),
                             col("ZTMC00", "状态"), col("FYRQSJ", "扣药时间"), col("PHRQSH", "排号日期"),
                             col("DYRQSJ", "配药打印时间"), col("PYRQSJ", "核对叫号时间"), col("LYSJ00", "发药时间"),
                             col("CFLSH0", "处方号"), col("GHH000", "挂号号"), col("FYCKMC", "发药窗口"),
                             col("PYCKMC", "配药窗口"), col("DKFYBZ", "读卡发药")},
                            this);
    mdlMX = new WsListModel(qryMX, 5,
                            {col("CFLSH0", "处方号"), col("FYDLXH", "流水号"), col("BRXM00", "姓名"),
                             col("ZDXX00", "诊断信息"), col("SFGW00", "属性"), col("YYCWDJ", "等级"),
                             col("YPMC00", "药品名称"), col("YPGG00", "规格"), col("YPYFMC", "用法"),
                             col("PSMC00", "皮试"), col("PCMC00", "频次"), col("CSL000", "次数量"),
                             col("JLDW00", "单位"), col("JJSL00", "计价数量"), col("SCCJZW", "生产厂家"),
                             col("YPZSL0", "总数量"), col("CFDW00", "单位"), col("YYSJ00", "用药时间"),
                             col("YYSJDW", "单位"), col("YFSMMC", "说明"), col("BZ0000", "备注")},
                            this);
    const QList<QPair<QTableView *, WsListModel *>> pairs{
        {grdDP, mdlDP}, {grdDF, mdlDF}, {grdYF, mdlYF}, {grdCX, mdlCX}, {grdMX, mdlMX}};
    for (const auto &p : pairs) {
        p.first->setModel(p.second);
        applyHidden(p.first, p.second);
        p.first->installEventFilter(this);
        p.first->setContextMenuPolicy(Qt::ActionsContextMenu);
        auto *chooser = new QAction(S("列配置(&P)"), p.first);
        chooser->setObjectName(p.first->objectName() + QStringLiteral("_LPZ"));
        // The column chooser is not part of this build yet.
        connect(chooser, &QAction::triggered, this, [] { WriteLog(S("选择列接口不可用")); });
        p.first->addAction(chooser);
        connect(p.second, &QAbstractItemModel::modelReset, this, [this] { updateFooters(); });
    }
    actYPTH = new QAction(S("药品退回(&T)"), grdMX);
    actYPTH->setObjectName(QStringLiteral("actYPTH"));
    actHLYY = new QAction(S("查看合理用药审查结果"), grdMX);
    actHLYY->setObjectName(QStringLiteral("actHLYY"));
    grdMX->addAction(actYPTH);
    grdMX->addAction(actHLYY);
    actLD = new QAction(S("亮灯(&L)"), grdDF);
    actLD->setObjectName(QStringLiteral("actLD"));
    grdDF->addAction(actLD);
    mdlDP->onMarkChanged = [this](int row, bool marked) { markChanged(row, marked); };

    tmrRefresh = new QTimer(this);
    tmrRefresh->setObjectName(QStringLiteral("tmrRefresh"));
    tmrRefresh->setInterval(20000);
    tmrWindow = new QTimer(this);
    tmrWindow->setObjectName(QStringLiteral("tmrWindow"));
    tmrWindow->setInterval(1000);
    tmrNotice = new QTimer(this);
    tmrNotice->setObjectName(QStringLiteral("tmrNotice"));
    tmrNotice->setInterval(3000);
}

void TfrmPY_MZPYXT::connectUi()
{
    auto cmd = [this](QAbstractButton *b, void (TfrmPY_MZPYXT::*method)()) {
        connect(b, &QAbstractButton::clicked, this, [this, method] { Guard([this, method] { (this->*method)(); }); });
    };
    cmd(btnYP, &TfrmPY_MZPYXT::DoDispense);
    cmd(btnFY, &TfrmPY_MZPYXT::DoIssue);
    cmd(btnPYFY, &TfrmPY_MZPYXT::DoDispenseIssue);
    cmd(btnDJFY, &TfrmPY_MZPYXT::DoDecoction);
    cmd(btnTHDD, &TfrmPY_MZPYXT::DoBackToWaiting);
    cmd(btnCX, &TfrmPY_MZPYXT::DoUndoIssue);
    cmd(btnTH, &TfrmPY_MZPYXT::DoReturnToDoctor);
    cmd(btnBJ, &TfrmPY_MZPYXT::DoCallAgain);
    cmd(btnQY, &TfrmPY_MZPYXT::DoStart);
    cmd(btnTZ, &TfrmPY_MZPYXT::DoStop);
    cmd(btnJZCK, &TfrmPY_MZPYXT::DoEmergency);
    cmd(btnSX, &TfrmPY_MZPYXT::RefreshAll);
    connect(btnTC, &QPushButton::clicked, this, [this] { close(); });
    connect(btnQuery, &QToolButton::clicked, this, [this] {
        Guard([this] {
            cardPatient = 0;
            RefreshCX();
        });
    });
    connect(actCFTH, &QAction::triggered, this, [this] { Guard([this] { DoReturnPrescription(); }); });
    connect(actYPTH, &QAction::triggered, this, [this] { Guard([this] { DoReturnDrug(); }); });
    connect(actLD, &QAction::triggered, this, [this] {
        Guard([this] {
            const int row = currentRow(grdDF);
            if (row < 0 || !RssInterfaceOn())
                return;
            WriteLog(S("调用瑞驰点灯接口."));
            const QString light = wsif::RssLightNumber(mdlDF->text(row, QStringLiteral("CFLSH0")));
            WriteLog(S("调用瑞驰点灯接口结束,灯号:") + light);
        });
    });
    connect(btnGL, &QPushButton::clicked, this, [this] {
        // The grid filter dialog is not part of this build yet.
        if (lastEnteredList != 0)
            WriteLog(S("数据过滤设置接口不可用"));
    });
    connect(btnPSS, &QPushButton::clicked, this, [this] {
        Guard([this] {
            const QString serial = mdlDP->text(currentRow(grdDP), QStringLiteral("CFLSH0")).trimmed();
            if (!serial.isEmpty())
                TfrmPY_LCPS00::Execute(serial);
        });
    });
    auto zsm = [this] {
        Guard([this] {
            const int row = currentRow(grdDF);
            if (row < 0)
                return;
            wsif::TraceScan(serialsOfQueueNumber(mdlDF->text(row, QStringLiteral("FYDLXH"))), QStringLiteral("1"));
        });
    };
    connect(btnZSM, &QPushButton::clicked, this, zsm);
    connect(btnCASM, &QPushButton::clicked, this, zsm);
    for (QAction *a : herbalActions + QList<QAction *>{actEWM, actHLYY})
        connect(a, &QAction::triggered, this, [a] { WriteLog(a->text() + S("接口不可用")); });
    connect(btnLK, &QPushButton::clicked, this, [] { wsif::DispensingMachineLightBox(); });

    auto refreshAll = [this] { Guard([this] { RefreshAll(); }); };
    connect(dtpStart, &QDateEdit::dateChanged, this, refreshAll);
    connect(dtpEnd, &QDateEdit::dateChanged, this, refreshAll);
    for (QCheckBox *c : {chkZCY, chkQCF, chkDJ})
        connect(c, &QCheckBox::toggled, this, refreshAll);
    connect(chkFBC, &QCheckBox::toggled, this, [this] { Guard([this] { rebuildThree(); }); });

    connect(tmrRefresh, &QTimer::timeout, this, [this] { Guard([this] { RefreshTick(); }); });
    connect(tmrWindow, &QTimer::timeout, this, [this] { Guard([this] { WindowTick(); }); });
    connect(tmrNotice, &QTimer::timeout, this, [this] { tmrNotice->stop(); });

    // clicks and double clicks
    const QList<QTableView *> views{grdDP, grdDF, grdYF, grdCX, grdMX};
    for (int i = 0; i < views.size(); ++i) {
        const int list = i + 1;
        connect(views[i], &QTableView::clicked, this,
                [this, list](const QModelIndex &index) { Guard([this, list, index] { rowClicked(list, index.row()); }); });
    }
    connect(grdDP, &QTableView::doubleClicked, this, [this] { Guard([this] { DoDispense(); }); });
    connect(grdDF, &QTableView::doubleClicked, this, [this] { Guard([this] { DoIssue(); }); });
    connect(grdCX, &QTableView::doubleClicked, this, [this] { pgcCX->setCurrentWidget(tsMX); });
    connect(grdYF, &QTableView::doubleClicked, this, [this] {
        Guard([this] {
            if (sSJYFSFTHDF == QLatin1String("N"))
                ShowInfo(S("该处方已发药"));
            else
                DoUndoIssue();
        });
    });
    connect(grdMX, &QTableView::doubleClicked, this, [this] {
        if (sSFSYDTCRMSXT1 == QLatin1String("Y") && sSFSYDTCRMSXT2 == QLatin1String("1"))
            WriteLog(S("合理用药说明书接口不可用"));
    });
    connect(grdCX->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_cxDetached || !current.isValid())
                    return;
                Guard([this, current] { LoadMX(mdlCX->text(current.row(), QStringLiteral("CFLSH0"))); });
            });
    connect(grdDP->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                const int row = current.isValid() ? current.row() : -1;
                btnPSS->setVisible(row >= 0 && pharmacyKind != QLatin1String("1")
                                   && mdlDP->text(row, QStringLiteral("SFPS00")) != QLatin1String("0")
                                   && !mdlDP->text(row, QStringLiteral("SFPS00")).isEmpty());
                if (row >= 0 && GetSysParam(QStringLiteral("MZPY_SFSSSXCFMX"), QStringLiteral("0")) == QLatin1String("1"))
                    Guard([this, row] { LoadMX(mdlDP->text(row, QStringLiteral("CFLSH0"))); });
            });
}

// ===================================================================== opening

void TfrmPY_MZPYXT::FormCreate()
{
    TBaseDLLForm::FormCreate();
    RunGuarded([this] {
        // 1. width of the right part
        bool ok = false;
        const int w = ReadLoginIniValue(QString(), QStringLiteral("MZPY"), QStringLiteral("MZPYXT_LEFT"),
                                        QString::number(rightWidth))
                          .trimmed()
                          .toInt(&ok);
        if (ok && w > 0)
            rightWidth = w;
        // 2. state
        cardReadType = QStringLiteral("1");
        cardPatient = 0;
        lastEnteredList = 0;
        const QDate today = now().date();
        for (QDateEdit *d : {dtpStart, dtpEnd, dtpCXStart, dtpCXEnd}) {
            const QSignalBlocker block(d);
            d->setDate(today);
        }
        pgcCX->setCurrentWidget(tsCX);
        cmbRQLX->setCurrentIndex(4);
        CKBH_PY = Config().CKBH_PY.trimmed();
        CKBH_FY = Config().CKBH_FY.trimmed();
        // 3. settings
        readStartSettings();
        // 4. emergency flag of the dispensing window
        readEmergencyFlag();
        // 5.
        SetDispenseEnabled();
        // 6. the issuing window must belong to the session department
        bool windowOk = true;
        const QString dept = QString::number(Session().departmentId);
        const QString bmbh = CKBH_FY.isEmpty() ? QString()
                                               : DLLDM()->DbValueParams(
                                                     QStringLiteral("select BMBH00 from BM_CKBM00 where CKBH00 = :CKBH00"),
                                                     {{QStringLiteral("CKBH00"), CKBH_FY}});
        if (CKBH_FY.isEmpty()) {
            ShowInfo(S("没有配置发药窗口，请先进行配置！"));
            windowOk = false;
        } else if (!bmbh.isEmpty() && bmbh != dept) {
            ShowInfo(S("当前配置的窗口与您登录的部门不一致，请切换正确的窗口"));
            CKBH_FY.clear();
            CKBH_PY.clear();
            Config().CKBH_FY.clear();
            Config().CKBH_PY.clear();
            windowOk = false;
        }
        if (windowOk) {
            fillChecker();        // 7
            applyPharmacyKind();  // 8
            readWindowNames();    // 9
            ReadWindowStatus();   // 10
            // 11. return reasons
            const bool returns = GetSysParam(QStringLiteral("MZPY_QYMZDPCFTH"), QStringLiteral("0")) == QLatin1String("1");
            lblYY->setVisible(returns);
            cmbYY->setVisible(returns);
            btnTH->setVisible(returns);
            if (returns)
                DLLDM()->FillComboFromSql(
                    cmbYY, QStringLiteral(" select MC0000 from BM_TYZD00 where ZDMC00='退回原因' order by xsxh00 "), false);
            cmbYY->setCurrentIndex(-1);
            // 12. interface managers
            btnLK->setVisible(wsif::DispensingMachineVendor() == QLatin1String("AL"));
            mdlDP->machineQtRule = wsif::DispensingMachineVendor() == QLatin1String("QT");
            // 13. CA
            const QString caQY = GetDictName(S("CA认证接口配置"), QStringLiteral("CA_QY"), QStringLiteral("0")).trimmed();
            const QString caYF = GetDictName(S("CA认证接口配置"), QStringLiteral("CA_YFQY"), QStringLiteral("0")).trimmed();
            const QString caCK = GetDictName(S("CA认证接口配置"), QStringLiteral("CA_PYCKQY"), QStringLiteral("0")).trimmed();
            bool ca = true;
            if (caQY != QLatin1String("1") && (!InCommaList(caYF, dept) || caCK != QLatin1String("0")))
                ca = InCommaList(caCK, CKBH_PY);
            if (ca) {
                btnCASM->show();
                wsif::CaScanLogin(QString::number(Session().operatorId));
            }
            // 14. lists
            rebuildThree();
        } else {
            lblYY->hide();
            cmbYY->hide();
            btnTH->hide();
        }
        m_watchFY = Config().CKBH_FY.trimmed();
        m_watchName = edtCKMC->text();
        // 15.
        edtLSH->setFocus();
        // 16. second table
        const bool zljl = SplitField(GetSysParam(QStringLiteral("YF_ZYBYSFSXZLJL"), QStringLiteral("N,0")),
                                     QStringLiteral(","), 1) == QLatin1String("Y");
        // the patient view of the integration platform shows the button under its own caption, without picture
        const bool patientView =
            SplitField(GetSysParam(QStringLiteral("YJ_Medicalinfo"), QStringLiteral("N|0")), QStringLiteral("|"), 2)
                == QLatin1String("4")
            || GetDictName(S("电子病历与电子申请单配置"), QStringLiteral("MZDZBL_CJ"), QStringLiteral("0")).trimmed()
                   == QLatin1String("2");
        if (patientView) {
            btnZLJL->setText(S("360患者"));
            btnZLJL->setIcon(QIcon());
        }
        btnZLJL->setVisible(zljl || patientView);
        sYPFYJDSZ = GetSysParam(QStringLiteral("MZPY_YPFYJDSZ"), QStringLiteral("0"));
        sSJYFSFTHDF = GetSysParam(QStringLiteral("MZPY_SJYFSFTHDF"), QStringLiteral("Y"));
        sHJQYMXSFXSZBY = GetSysParam(QStringLiteral("MZPY_HJQYMXSFXSZBY"), QStringLiteral("0"));
        sYFMZBRGMSQZ = GetSysParam(QStringLiteral("MZPY_YFMZBRGMSQZ"), QStringLiteral("0"));
    });
    tmrRefresh->start();
    tmrWindow->start();
}

void TfrmPY_MZPYXT::showEvent(QShowEvent *event)
{
    TBaseDLLForm::showEvent(event);
    if (!m_sizesApplied) {
        m_sizesApplied = true;
        const int total = splMain->width();
        splMain->setSizes({qMax(100, total - rightWidth), rightWidth});
    }
}

void TfrmPY_MZPYXT::readStartSettings()
{
    const QString dept = QString::number(Session().departmentId);
    btnDJFY->setVisible(InCommaList(
        SplitField(GetSysParam(QStringLiteral("MZPY_ZYFQCFYF"), QStringLiteral("0|0")), QStringLiteral("|"), 1), dept));
    chkYY->setChecked(GetSysParam(QStringLiteral("MZPY_MZPYYYTS"), QStringLiteral("N")) == QLatin1String("Y"));
    packagingMode = InCommaList(GetSysParam(QStringLiteral("MZPY_SYBYJYF"), QStringLiteral("0")), dept)
                 && GetSysParam(QStringLiteral("YS_GJFZGGQYPZL"), QStringLiteral("N")) == QLatin1String("Y");
    btnJZCK->setVisible(packagingMode);
    const QString rms = GetSysParam(QStringLiteral("YF_SFSYDTCRMSXT"), QStringLiteral("N"));
    sSFSYDTCRMSXT1 = SplitChar(rms, QLatin1Char('|'), 1);
    sSFSYDTCRMSXT2 = SplitChar(rms, QLatin1Char('|'), 2);
    btnSF->setVisible(sSFSYDTCRMSXT1 == QLatin1String("Y")
                      && (sSFSYDTCRMSXT2 == QLatin1String("1") || sSFSYDTCRMSXT2 == QLatin1String("2")));
    btnZSM->setVisible(GetDictName(S("医保追溯码配置"), QStringLiteral("YBZSMSFQY"), QStringLiteral("0")).trimmed()
                       == QLatin1String("1"));
    const bool zsmBox = GetDictName(S("医保追溯码配置"), QStringLiteral("YF_SFZZSM"), QStringLiteral("0")).trimmed()
                     == QLatin1String("1");
    chkZSM->setVisible(zsmBox);
    if (zsmBox)
        chkZSM->setChecked(ReadLoginIniValue(QString(), QStringLiteral("MZPY"), QStringLiteral("ZSMXX"),
                                             QStringLiteral("0"))
                           == QLatin1String("1"));
    applyBasketColumns();
}

void TfrmPY_MZPYXT::applyBasketColumns()
{
    const bool show = GetSysParam(QStringLiteral("MZPY_PMZPYXTRCSJ"), QStringLiteral("0")) == QLatin1String("0");
    setFieldVisible(grdDP, mdlDP, QStringLiteral("LZH000"), show);
    setFieldVisible(grdDF, mdlDF, QStringLiteral("LZH000"), show);
    setFieldVisible(grdYF, mdlYF, QStringLiteral("LZH000"), show);
    setFieldVisible(grdDP, mdlDP, QStringLiteral("RCBYZT"), show);
}

void TfrmPY_MZPYXT::readEmergencyFlag()
{
    const QString flag = CKBH_PY.isEmpty() ? QString()
                                           : DLLDM()->DbValueParams(
                                                 QStringLiteral("select JZCKBZ from BM_CKBM00 where CKBH00 = :CKBH00"),
                                                 {{QStringLiteral("CKBH00"), CKBH_PY}});
    showEmergency(flag == QLatin1String("Y"));
}

void TfrmPY_MZPYXT::showEmergency(bool emergency)
{
    // an emergency window shows its caption in blue with the picture, a normal one in black without
    btnJZCK->setText(emergency ? S("急诊窗口") : S("非急诊"));
    btnJZCK->setStyleSheet(emergency ? QStringLiteral("color: blue") : QStringLiteral("color: black"));
    btnJZCK->setIcon(emergency ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
}

void TfrmPY_MZPYXT::SetDispenseEnabled()
{
    const QString bmbh = CKBH_FY.isEmpty() ? QString()
                                           : DLLDM()->DbValueParams(
                                                 QStringLiteral("select BMBH00 from BM_CKBM00 where CKBH00 = :CKBH00"),
                                                 {{QStringLiteral("CKBH00"), CKBH_FY}});
    const bool on = !bmbh.isEmpty() && bmbh == QString::number(Session().departmentId);
    btnYP->setEnabled(on);
    btnTHDD->setEnabled(on);
    btnPYFY->setEnabled(on);
}

void TfrmPY_MZPYXT::fillChecker()
{
    const QSignalBlocker block(cmbSH);
    DLLDM()->FillComboFromSql(cmbSH, QStringLiteral("select ZWXM00||'|'||XKH000 from VW_PY_PYXTRY A "), false);
    if (cmbSH->count() > 0)
        cmbSH->setCurrentIndex(0);
    cmbSH->setCurrentIndex(cmbSH->findText(Session().operatorName + QStringLiteral("|") + Session().operatorCardNo));
}

void TfrmPY_MZPYXT::applyPharmacyKind()
{
    pharmacyKind = DLLDM()->DbValue(QStringLiteral("select SF_PY_GetYFLB(") + QString::number(Session().departmentId)
                                    + QStringLiteral(") from dual"));
    const bool herbal = pharmacyKind == QLatin1String("1");
    setFieldVisible(grdDP, mdlDP, QStringLiteral("ZYTS00"), herbal);
    setFieldVisible(grdDF, mdlDF, QStringLiteral("ZYTS00"), herbal);
    setFieldVisible(grdYF, mdlYF, QStringLiteral("ZYTS00"), herbal);
    setFieldVisible(grdCX, mdlCX, QStringLiteral("ZYTS00"), herbal);
    setFieldVisible(grdCX, mdlCX, QStringLiteral("ZYDJS0"), herbal);
    setFieldVisible(grdCX, mdlCX, QStringLiteral("DJSFMC"), herbal);
    setFieldVisible(grdDP, mdlDP, QStringLiteral("SFPS00"), !herbal);
    for (QAction *a : herbalActions)
        a->setVisible(herbal);
    for (QCheckBox *c : {chkZCY, chkQCF, chkDJ})
        c->setVisible(herbal);
    actEWM->setVisible(GetSysParam(QStringLiteral("MZPY_ZYDJCFDYEWMBQ"), QStringLiteral("N")) != QLatin1String("N"));
}

void TfrmPY_MZPYXT::readWindowNames()
{
    const QString sql = QStringLiteral("select CKMC00 from VW_BM_CKBM00 where CKBH00 = :CKBH00");
    CKMC_FY = CKBH_FY.isEmpty() ? QString() : DLLDM()->DbValueParams(sql, {{QStringLiteral("CKBH00"), CKBH_FY}});
    CKMC_PY = CKBH_PY.isEmpty() ? QString() : DLLDM()->DbValueParams(sql, {{QStringLiteral("CKBH00"), CKBH_PY}});
    edtCKMC->setText(CKMC_FY);
}

void TfrmPY_MZPYXT::ReadWindowStatus()
{
    const QString zt = CKBH_FY.isEmpty() ? QString()
                                         : DLLDM()->DbValueParams(
                                               QStringLiteral("select ZT0000 from BM_CKBM00 where CKBH00 = :CKBH00"),
                                               {{QStringLiteral("CKBH00"), CKBH_FY}});
    btnQY->setEnabled(zt != QLatin1String("0"));
    btnTZ->setEnabled(zt == QLatin1String("0"));
    if (zt == QLatin1String("0")) {
        lblZTMC->setText(S("工作中 "));
        lblZTMC->setStyleSheet(QStringLiteral("color: black"));
    } else if (zt == QLatin1String("2")) {
        lblZTMC->setText(S("停止工作 "));
        lblZTMC->setStyleSheet(QStringLiteral("color: red"));
    }
}

void TfrmPY_MZPYXT::WindowTick()
{
    const QString fy = Config().CKBH_FY.trimmed();
    if (fy != m_watchFY) {
        m_watchFY = fy;
        m_watchName = fy.isEmpty() ? QString()
                                   : DLLDM()->DbValueParams(
                                         QStringLiteral("select CKMC00 from VW_BM_CKBM00 where CKBH00 = :CKBH00"),
                                         {{QStringLiteral("CKBH00"), fy}});
    }
    if (m_watchName == edtCKMC->text())
        return;
    CKBH_FY = fy;
    CKBH_PY = Config().CKBH_PY.trimmed();
    qryCX->close();
    fillChecker();
    applyPharmacyKind();
    readWindowNames();
    rebuildThree();
    edtCKMC->setText(m_watchName);
    SetDispenseEnabled();
    ReadWindowStatus();
}

// ===================================================================== lists

QString TfrmPY_MZPYXT::rangeStart() const
{
    return qMin(dtpStart->date(), dtpEnd->date()).toString(QStringLiteral("yyyyMMdd"));
}

QString TfrmPY_MZPYXT::rangeEnd() const
{
    return qMax(dtpStart->date(), dtpEnd->date()).toString(QStringLiteral("yyyyMMdd"));
}

QString TfrmPY_MZPYXT::windowFilter(bool blankBefore) const
{
    // Only called with an all-digits window number.
    if (chkFBC->isChecked())
        return (blankBefore ? QStringLiteral(" ") : QString())
             + QStringLiteral("and exists (select 1 from BM_CKBM00 where CKBH00 = ") + CKBH_FY
             + QStringLiteral(" and BMBH00 = A.YFBMBH ) ");
    return QStringLiteral("and FYCKBH = ") + CKBH_FY + QStringLiteral(" ");
}

QString TfrmPY_MZPYXT::categoryFilter() const
{
    QString f;
    if (!chkZCY->isChecked())
        f += QStringLiteral(" and a.PYLBBH not in ('2') ");
    if (!chkQCF->isChecked())
        f += QStringLiteral(" and a.PYLBBH not in ('4','5') ");
    if (!chkDJ->isChecked())
        f += QStringLiteral(" and a.PYLBBH not in ('6') ");
    return f;
}

int TfrmPY_MZPYXT::currentRow(QTableView *view) const
{
    const int rows = view->model()->rowCount();
    if (rows == 0)
        return -1;
    const QModelIndex i = view->currentIndex();
    return i.isValid() && i.row() < rows ? i.row() : 0;
}

void TfrmPY_MZPYXT::selectRow(QTableView *view, int row)
{
    if (row < 0 || row >= view->model()->rowCount())
        return;
    int column = 0;
    while (column < view->model()->columnCount() && view->isColumnHidden(column))
        ++column;
    view->setCurrentIndex(view->model()->index(row, column));
}

void TfrmPY_MZPYXT::selectSerial(QTableView *view, WsListModel *model, const QString &field, const QString &value)
{
    const int row = model->findRow(field, value);
    if (row >= 0)
        selectRow(view, row);
}

void TfrmPY_MZPYXT::updateFooters()
{
    lblDPFooter->setText(mdlDP->footerText());
    lblDFFooter->setText(mdlDF->footerText());
    lblYFFooter->setText(mdlYF->footerText());
    lblCXFooter->setText(mdlCX->footerText());
    lblMXFooter->setText(mdlMX->footerText());
}

void TfrmPY_MZPYXT::RefreshDP()
{
    if (!IsDigits(CKBH_FY))
        return;
    applyBasketColumns();
    const QString remembered = mdlDP->text(currentRow(grdDP), QStringLiteral("CFLSH0"));
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where YPJE00 >= 0 ")
                      + QStringLiteral("and PHRQ00 between '") + rangeStart() + QStringLiteral("' and '") + rangeEnd()
                      + QStringLiteral("' ") + windowFilter(true) + categoryFilter()
                      + QStringLiteral("   and ((ZT0000 = '4' and DYSJ00 > :DYSJ00) or (ZT0000 = '1')) order by "
                                       "FYDLXH) A ");
    DLLDM()->DbReopenParams(qryDP, sql, {{QStringLiteral("DYSJ00"), now().toString(QStringLiteral("HH:mm:ss"))}});
    setFieldVisible(grdDP, mdlDP, QStringLiteral("CFLSH0"), false);
    if (!remembered.isEmpty())
        selectSerial(grdDP, mdlDP, QStringLiteral("CFLSH0"), remembered);
    if (!grdDP->currentIndex().isValid())
        selectRow(grdDP, 0);
}

void TfrmPY_MZPYXT::RefreshDF(const QString &serialCriterion)
{
    if (!IsDigits(CKBH_FY))
        return;
    applyBasketColumns();
    const QString criterion = serialCriterion.isEmpty()
                                ? QStringLiteral("and PHRQ00 between '") + rangeStart() + QStringLiteral("' and '")
                                      + rangeEnd() + QStringLiteral("' ")
                                : serialCriterion;
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where 1=1 ") + criterion
                      + windowFilter(false) + categoryFilter()
                      + QStringLiteral("   and ZT0000 = '2' and THBZ00<>'1' order by JHXH00 desc ) A ");
    DLLDM()->DbReopen(qryDF, sql);
    selectRow(grdDF, 0);
    btnZSM->setEnabled(mdlDF->rowCount() > 0);
}

void TfrmPY_MZPYXT::RefreshYF()
{
    if (!IsDigits(CKBH_FY))
        return;
    applyBasketColumns();
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from VW_PY_FYCFDL A where 1=1 ")
                      + QStringLiteral("and PHRQ00 between '") + rangeStart() + QStringLiteral("' and '") + rangeEnd()
                      + QStringLiteral("' ") + windowFilter(false) + categoryFilter()
                      + QStringLiteral("   and ZT0000 = '3' order by FYDLXH desc ) A ");
    DLLDM()->DbReopen(qryYF, sql);
    selectRow(grdYF, 0);
}

void TfrmPY_MZPYXT::RefreshCX()
{
    static const char *const columns[] = {"SRRQ00", "PHRQ00", "JZRQ00", "DLFYRQ", "FYRQ00"};
    const int type = qBound(0, cmbRQLX->currentIndex(), 4);
    const QString column = QString::fromLatin1(columns[type]);
    const QString view = (type == 1 || type == 3) ? QStringLiteral("VW_PY_CFCX01") : QStringLiteral("VW_PY_CFCX00");
    oradb::Params params;
    QString windowPart;
    if (!chkCXFBC->isChecked()) {
        if (!CKBH_FY.isEmpty()) {
            windowPart = QStringLiteral(" and FYCKBH = :FYCKBH ");
            params.append({QStringLiteral("FYCKBH"), CKBH_FY});
        } else {
            windowPart = QStringLiteral(" and 1 =2 ");
        }
    }
    const QString from = qMin(dtpCXStart->date(), dtpCXEnd->date()).toString(QStringLiteral("yyyyMMdd"));
    const QString to = qMax(dtpCXStart->date(), dtpCXEnd->date()).toString(QStringLiteral("yyyyMMdd"));
    const QString criterion = QStringLiteral("and ") + column + QStringLiteral(" between '") + from
                            + QStringLiteral("' and '") + to + QStringLiteral("' ");
    const QString cardPart = cardPatient > 0
                               ? QStringLiteral(" and BRID00=") + QString::number(qint64(cardPatient))
                               : QString();
    const QString sql = QStringLiteral("select 'N' NX, A.* from (select * from ") + view
                      + QStringLiteral(" A where 1=1 ") + windowPart + QStringLiteral(" and A.YFBMBH = ")
                      + QString::number(Session().departmentId) + QStringLiteral(" ") + criterion + cardPart
                      + QStringLiteral(" order by nvl(fydlxh,0) desc,nvl(jzrqsj,'00') desc,srrq00 desc,srsj00 desc) A ");
    m_cxDetached = true;
    DLLDM()->DbReopenParams(qryCX, sql, params);
    selectRow(grdCX, 0);
    m_cxDetached = false;
    const int row = currentRow(grdCX);
    if (row >= 0)
        LoadMX(mdlCX->text(row, QStringLiteral("CFLSH0")));
}

void TfrmPY_MZPYXT::LoadMX(const QString &serial)
{
    const QString sql = sHJQYMXSFXSZBY == QLatin1String("1")
                          ? QStringLiteral("select * from VW_PY_MZCFMX where CFLSH0 = :CFLSH0 and SFZBY0 = 'N' order by "
                                           "CFID00")
                          : QStringLiteral("select * from VW_PY_MZCFMX where CFLSH0 = :CFLSH0 order by CFID00");
    DLLDM()->DbReopenParams(qryMX, sql, {{QStringLiteral("CFLSH0"), serial}});
    selectRow(grdMX, 0);
}

void TfrmPY_MZPYXT::rebuildThree()
{
    RefreshDP();
    RefreshDF();
    RefreshYF();
}

void TfrmPY_MZPYXT::RefreshAll()
{
    rebuildThree();
}

void TfrmPY_MZPYXT::RefreshTick()
{
    if (m_timerDetached || !chkZSX->isChecked())
        return;
    // the timer keeps the marks of rows still waiting; every other rebuild starts afresh
    mdlDP->keepMarksOnce = true;
    RefreshDP();
    mdlDP->keepMarksOnce = false;
    // the timer never moves the pharmacist off the dispensed row chosen for issuing
    const QString chosen = mdlDF->text(currentRow(grdDF), QStringLiteral("CFLSH0"));
    RefreshDF();
    if (!chosen.isEmpty())
        selectSerial(grdDF, mdlDF, QStringLiteral("CFLSH0"), chosen);
}

void TfrmPY_MZPYXT::rowClicked(int list, int row)
{
    WsListModel *models[] = {mdlDP, mdlDF, mdlYF, mdlCX, mdlMX};
    WsListModel *m = models[list - 1];
    if (row < 0 || row >= m->rowCount())
        return;
    if (list <= 3) {
        LoadMX(m->text(row, QStringLiteral("CFLSH0")));
        pgcCX->setCurrentWidget(tsMX);
    }
    shownPatient = m->text(row, QStringLiteral("BRID00"));
    pnlBRXM->setText(m->text(row, QStringLiteral("BRXM00")));
}

void TfrmPY_MZPYXT::markChanged(int row, bool marked)
{
    const bool wasAuto = chkZSX->isChecked();
    {
        const QSignalBlocker block(chkZSX);
        chkZSX->setChecked(false);
    }
    struct Restore {
        QCheckBox *box;
        bool value;
        ~Restore()
        {
            const QSignalBlocker block(box);
            box->setChecked(value);
        }
    } restore{chkZSX, wasAuto || true};
    if (marked)
        selectRow(grdDP, row);
    const QString rule = GetSysParam(QStringLiteral("MZPY_DPCKGXKGXXZ"), QStringLiteral("0"));
    if (marked && rule.startsWith(QLatin1Char('1'))
        && InCommaList(rule.mid(2), QString::number(Session().departmentId))
        && mdlDP->text(row, QStringLiteral("PYLBMC")) != S("代煎")) {
        ShowInfo(S("只能勾选类别为\"代煎\"的处方！"));
        mdlDP->setMarked(row, false);
    }
}

QStringList TfrmPY_MZPYXT::serialsOfQueueNumber(const QString &queueNumber)
{
    QStringList serials;
    for (int r = 0; r < mdlDF->rowCount(); ++r)
        if (mdlDF->text(r, QStringLiteral("FYDLXH")).trimmed() == queueNumber.trimmed())
            serials << mdlDF->text(r, QStringLiteral("CFLSH0"));
    return serials;
}

void TfrmPY_MZPYXT::focusAfterOperation()
{
    if (sYPFYJDSZ == QLatin1String("1"))
        grdDP->setFocus();
    else
        edtLSH->setFocus();
}

bool TfrmPY_MZPYXT::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == grdDP)
            lastEnteredList = 1;
        else if (watched == grdDF)
            lastEnteredList = 2;
        else if (watched == grdYF)
            lastEnteredList = 3;
        else if (watched == grdCX)
            lastEnteredList = 4;
    } else if (watched == grdDP && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Guard([this] { DoDispense(); });
            return true;
        }
    }
    return TBaseDLLForm::eventFilter(watched, event);
}

// ===================================================================== dispensing and issuing

QString TfrmPY_MZPYXT::checkerFromChoice() const
{
    const QString card = SplitField(cmbSH->currentText(), QStringLiteral("|"), 2);
    if (cmbSH->currentIndex() < 0 || card.isEmpty())
        return QString();
    return DLLDM()->DbValueParams(QStringLiteral("select YGBH00 from BM_YGBM00 where XKH000 = :XKH000"),
                                  {{QStringLiteral("XKH000"), card}});
}

bool TfrmPY_MZPYXT::ProcedureStep(const QString &code, const QString &serial, const QString &cardFlag,
                                  const QString &checker)
{
    QVariantMap out;
    try {
        out = DLLDM()->CallProc(QStringLiteral("SP_PY_MZPFYCZ"),
                                {{QStringLiteral("POPFLAG"), code},
                                 {QStringLiteral("PCFLSH0"), serial},
                                 {QStringLiteral("PFHRBH0"), checker},
                                 {QStringLiteral("PCZY000"), QString::number(Session().operatorId)},
                                 {QStringLiteral("PCZYKS0"), QString::number(Session().departmentId)},
                                 {QStringLiteral("PCOMMIT"), QVariant()},
                                 {QStringLiteral("PDKFYBZ"), cardFlag}});
    } catch (const oradb::DbError &e) {
        rollbackQuietly();
        ShowInfo(S("提示：") + e.message());
        return false;
    }
    lastProcMessage = outText(out, "PTSXX00");
    Session().lastProcMessage = lastProcMessage;
    if (outText(out, "PZXCGBZ") != QLatin1String("1"))
        return false;
    if (code == QLatin1String("2") || code == QLatin1String("4"))
        wsif::DispensingMachineNotice(code, serial);
    if (code == QLatin1String("2"))
        wsif::PushDispensing(QStringLiteral("2"), serial);
    if (code == QLatin1String("4") || code == QLatin1String("6")) {
        const QString shared = DLLDM()->DbValueParams(
            QStringLiteral(" select nvl(WGCFBZ,'0') from YF_MZCF00 where CFLSH0 = :CFLSH0 "),
            {{QStringLiteral("CFLSH0"), serial}});
        if (shared == QLatin1String("3"))
            wsif::ReportSharedPharmacyDispenser(serial);
    }
    return true;
}

bool TfrmPY_MZPYXT::GroupOperation(const QString &code, const QString &queueNumber, const QString &queueDate,
                                   const QString &window)
{
    QString checker = checkerFromChoice();
    TQuery *query = qryDP;
    WsListModel *model = mdlDP;
    QTableView *view = grdDP;
    if (code == QLatin1String("3") || code == QLatin1String("4")) {
        query = qryDF;
        model = mdlDF;
        view = grdDF;
    } else if (code == QLatin1String("5")) {
        RefreshYF();
        query = qryYF;
        model = mdlYF;
        view = grdYF;
    }
    Q_UNUSED(model);
    // Timers off and the list frozen for the walk; both back whatever way it ends.
    tmrRefresh->stop();
    tmrWindow->stop();
    view->setUpdatesEnabled(false);
    struct Release {
        TfrmPY_MZPYXT *f;
        QTableView *v;
        ~Release()
        {
            v->setUpdatesEnabled(true);
            f->tmrRefresh->start();
            f->tmrWindow->start();
        }
    } release{this, view};

    const QString rule = GetSysParam(QStringLiteral("MZPY_PYHDRYXZ"), QStringLiteral("N|N|Y"));
    const bool dialogPerGroup = SplitChar(rule, QLatin1Char('|'), 3) == QLatin1String("N");
    bool groupDialogShown = false;
    bool noticeShown = false;
    const bool dispensing = code == QLatin1String("2") || code == QLatin1String("6");
    const oradb::ResultSet rows = query->data();  // the walk reads a copy: steps do not move it
    auto field = [&rows](int r, const char *name) {
        const int c = rows.columnIndex(QString::fromLatin1(name));
        return c < 0 ? QString() : oradb::valueText(rows.rows[r][c]);
    };
    // A walk that stops undoes its own steps: a failed group is never half done.
    auto stop = [] {
        rollbackQuietly();
        return false;
    };
    for (int r = 0; r < rows.rows.size(); ++r) {
        if (field(r, "FYDLXH").trimmed() != queueNumber.trimmed() || field(r, "FYCKBH").trimmed() != window.trimmed()
            || field(r, "PHRQ00").trimmed() != queueDate.trimmed())
            continue;
        const QString serial = field(r, "CFLSH0");
        const QString name = field(r, "BRXM00");
        if (dispensing) {
            auto materialAndDialog = [&](const QString &piece, bool dispenserCase) {
                const QString materials = piece.section(QLatin1Char(','), 1);
                if (!materials.isEmpty() && !materials.contains(field(r, "YPCZFL"))) {
                    checker.clear();
                } else if (dispenserCase && oneClickDecoction) {
                    checker = field(r, "PFR000");
                } else if (!dialogPerGroup) {
                    checker = TfrmMZPY_HDRYSelect::Execute(Session().departmentId,
                                                           queueNumber + QStringLiteral(" ") + name + QStringLiteral(" ")
                                                               + serial,
                                                           queueNumber, window, queueDate);
                } else if (!groupDialogShown) {
                    checker = TfrmMZPY_HDRYSelect::Execute(Session().departmentId,
                                                           queueNumber + QStringLiteral(" ") + name + QStringLiteral(" "),
                                                           queueNumber, window, queueDate);
                    groupDialogShown = true;
                }
            };
            if (pharmacyKind == QLatin1String("1")) {
                const QString piece = SplitChar(rule, QLatin1Char('|'), 1);
                if (piece.section(QLatin1Char(','), 0, 0) == QLatin1String("Y")) {
                    materialAndDialog(piece, true);
                } else if (checker.isEmpty()) {
                    ShowWarning(S("请指定审核人"));
                    if (cmbSH->isEnabled())
                        cmbSH->setFocus();
                    return stop();
                }
            } else if (pharmacyKind == QLatin1String("2")) {
                const QString piece = SplitChar(rule, QLatin1Char('|'), 2);
                if (piece.section(QLatin1Char(','), 0, 0) != QLatin1String("Y"))
                    checker = QString::number(Session().operatorId);
                else
                    materialAndDialog(piece, false);
            }
        }
        if (code == QLatin1String("2")) {
            const QString labels = GetSysParam(QStringLiteral("MZPY_YPYXCYDYCS"), QStringLiteral("1,1,1|1,1,1|1,1,0"));
            const QString herbalLabel = SplitChar(SplitChar(labels, QLatin1Char('|'), 3), QLatin1Char(','), 2);
            if (field(r, "YPDLBH") == QLatin1String("2")) {
                if (herbalLabel != QLatin1String("0") && !Config().Print_CFBQ.isEmpty())
                    wsif::PrintReport(3, serial);
            } else if (GetSysParam(QStringLiteral("MZPY_PYCFDYFYBQ"), QStringLiteral("Y")) == QLatin1String("M")) {
                wsif::PrintReport(2, serial);
            }
        }
        if (field(r, "DYRQ00").isEmpty() && !ProcedureStep(QStringLiteral("1"), serial, QStringLiteral("0"), checker))
            return stop();
        if (!ProcedureStep(code, serial, QStringLiteral("0"), checker))
            return stop();
        if ((dispensing || code == QLatin1String("4")) && !noticeShown) {
            const QString notice = wsif::UnissuedNotice(field(r, "BRID00"));
            if (!notice.isEmpty()) {
                noticeShown = true;
                wsif::Speak(S("请发药"), chkYY->isChecked());
                ShowWarning(queueNumber + S("号 ") + name + QStringLiteral("\r") + notice);
            }
        }
    }
    try {
        Db().execute(QStringLiteral("commit"));
    } catch (const oradb::DbError &e) {
        rollbackQuietly();
        ShowInfo(S("提示：") + e.message());
        return false;
    }
    return true;
}

QVector<Tpyxx> TfrmPY_MZPYXT::pickGroups(bool withDispenserDialog)
{
    QVector<Tpyxx> groups;
    auto groupOf = [this](int row) {
        return Tpyxx{mdlDP->text(row, QStringLiteral("FYDLXH")), mdlDP->text(row, QStringLiteral("CFLSH0")),
                     mdlDP->text(row, QStringLiteral("FYCKBH")), mdlDP->text(row, QStringLiteral("PHRQ00")),
                     mdlDP->text(row, QStringLiteral("BRID00")), mdlDP->text(row, QStringLiteral("BRXM00"))};
    };
    if (mdlDP->hasSelection()) {
        for (int r = 0; r < mdlDP->rowCount(); ++r) {
            if (!mdlDP->isMarked(r))
                continue;
            const Tpyxx g = groupOf(r);
            bool known = false;
            for (const Tpyxx &k : groups)
                known = known || (k.FYDLXH == g.FYDLXH && k.FYCKBH == g.FYCKBH && k.PHRQ00 == g.PHRQ00);
            if (!known)
                groups << g;
        }
        return groups;
    }
    int row = currentRow(grdDP);
    if (row < 0)
        return groups;
    // The group is taken before the dialog: the list-refresh timer may rebuild
    // the list while it is open.
    Tpyxx picked = groupOf(row);
    if (withDispenserDialog
        && InCommaList(GetSysParam(QStringLiteral("MZPY_SFDYDYRSZK"), QStringLiteral("0")),
                       QString::number(Session().departmentId))) {
        TfrmMZPY_PFRSelect::Input in{mdlDP->text(row, QStringLiteral("PFRXM0")), mdlDP->text(row, QStringLiteral("FYDLXH")),
                                     mdlDP->text(row, QStringLiteral("GHH000")), mdlDP->text(row, QStringLiteral("BRID00")),
                                     mdlDP->text(row, QStringLiteral("FYCKBH")), mdlDP->text(row, QStringLiteral("PYCKBH"))};
        const QString dlxh = mdlDP->text(row, QStringLiteral("DLXH00"));
        if (TfrmMZPY_PFRSelect::Execute(in)) {
            RefreshAll();
            // back to the same queue entry; when it has left the list there is nothing to dispense
            row = mdlDP->findRow(QStringLiteral("DLXH00"), dlxh);
            if (row < 0)
                return groups;
            selectRow(grdDP, row);
            picked = groupOf(row);
        }
    }
    groups << picked;
    return groups;
}

void TfrmPY_MZPYXT::SkinTestWarning(const QString &serial)
{
    const QString list = GetSysParam(QStringLiteral("MZPY_PSYPPYSSFTS"), QStringLiteral("0"));
    if (!InCommaList(list, QStringLiteral("1")))
        return;
    QStringList names;
    try {
        const oradb::ResultSet rs = Db().select(QStringLiteral("select * from VW_YF_MZCFMX where CFLSH0=:CFLSH0 "),
                                                {{QStringLiteral("CFLSH0"), serial}});
        const int kind = rs.columnIndex(QStringLiteral("PSLBID"));
        const int name = rs.columnIndex(QStringLiteral("YPMC00"));
        for (const auto &row : rs.rows)
            if (kind >= 0 && name >= 0 && !oradb::valueText(row[kind]).isEmpty()
                && InCommaList(list, oradb::valueText(row[kind])))
                names << oradb::valueText(row[name]);
    } catch (const oradb::DbError &) {
        return;
    }
    if (!names.isEmpty())
        ShowInfo(names.join(QLatin1Char(',')) + S(" 为需皮试药品!"));
}

void TfrmPY_MZPYXT::DoDispense()
{
    if (!qryDP->active() || qryDP->isEmpty())
        return;
    if (!wsif::DispensingMachineChecks())
        return;
    const QVector<Tpyxx> groups = pickGroups(true);
    if (groups.isEmpty())
        return;
    for (const Tpyxx &g : groups) {
        if (!RssInterfaceOn()) {
            SkinTestWarning(g.CFLSH0);
            if (!GroupOperation(QStringLiteral("2"), g.FYDLXH, g.PHRQ00, g.FYCKBH))
                return;
            continue;
        }
        WriteLog(S("调用瑞驰点灯接口."));
        const QString light = wsif::RssLightNumber(g.CFLSH0);
        WriteLog(S("调用瑞驰点灯接口结束,灯号:") + light);
        if (GetSysParam(QStringLiteral("MZPY_RCSFZDDY"), QStringLiteral("0")) == QLatin1String("1")) {
            if (!GroupOperation(QStringLiteral("2"), g.FYDLXH, g.PHRQ00, g.FYCKBH))
                return;
            continue;
        }
        const int tries = DLLDM()
                              ->DbValueParams(QStringLiteral("select nvl(max(SJCS00), '0') as SJCS00 from YF_RCMZPYZT "
                                                             "where  cflsh0=:CFLSH0"),
                                              {{QStringLiteral("CFLSH0"), g.CFLSH0}})
                              .toInt();
        if (!light.isEmpty() || tries > 2) {
            if (!GroupOperation(QStringLiteral("2"), g.FYDLXH, g.PHRQ00, g.FYCKBH))
                return;
            wsif::PrintReport(0, g.CFLSH0);
        } else {
            WriteLog(S("调用瑞驰亮灯接口失败."));
            try {
                DLLDM()->CallProc(QStringLiteral("SP_PY_YF_RCMZPYZT_SJCS00"), {{QStringLiteral("PCFLSH0"), g.CFLSH0}});
                Db().execute(QStringLiteral("commit"));
            } catch (const oradb::DbError &e) {
                rollbackQuietly();
                ShowInfo(S("提示:") + e.message());
            }
        }
    }
    if (!btnLK->isHidden())
        wsif::DispensingMachineLightBox();
    QStringList patients;
    for (const Tpyxx &g : groups)
        patients << g.BRID00;
    wsif::PendingReminders(QStringLiteral("1"), patients);
    RefreshDP();
    RefreshDF();
    const Tpyxx &last = groups.last();
    selectSerial(grdDF, mdlDF, QStringLiteral("FYDLXH"), last.FYDLXH);
    if (wsif::QueueCallingVendor() != QLatin1String("XW"))
        wsif::QueueCall(CKBH_FY, groups.first().CFLSH0, QStringLiteral("02"));
    else
        wsif::QueuePushWaiting(CKBH_FY, rangeStart(), rangeEnd());
    const bool boxVisible = !chkZSM->isHidden();
    if (!(!btnZSM->isHidden() && boxVisible && !chkZSM->isChecked())) {
        const QString mode = chkZSM->isChecked() == boxVisible ? QStringLiteral("0") : QStringLiteral("MZPY_PY");
        wsif::TraceScan(serialsOfQueueNumber(last.FYDLXH), wsif::ScanModeTag(mode));
    }
    focusAfterOperation();
}

void TfrmPY_MZPYXT::DoIssue()
{
    if (!qryDF->active() || qryDF->isEmpty())
        return;
    const int row = currentRow(grdDF);
    const Tpyxx g{mdlDF->text(row, QStringLiteral("FYDLXH")), mdlDF->text(row, QStringLiteral("CFLSH0")),
                  mdlDF->text(row, QStringLiteral("FYCKBH")), mdlDF->text(row, QStringLiteral("PHRQ00")),
                  mdlDF->text(row, QStringLiteral("BRID00")), mdlDF->text(row, QStringLiteral("BRXM00"))};
    if (!btnZSM->isHidden())
        wsif::TraceScan(serialsOfQueueNumber(g.FYDLXH), wsif::ScanModeTag(QStringLiteral("MZPY_FY")));
    if (!GroupOperation(QStringLiteral("4"), g.FYDLXH, g.PHRQ00, g.FYCKBH))
        return;
    wsif::PushWriteOff(g.BRID00, g.CFLSH0);
    if (RssInterfaceOn() && GetSysParam(QStringLiteral("MZPY_RC_IS_NOT_CALL_XF"), QStringLiteral("0")) == QLatin1String("0")) {
        WriteLog(S("调用瑞驰消方接口."));
        wsif::RssFetchDone(g.CFLSH0);
        WriteLog(S("调用瑞驰消方结束."));
    }
    RefreshDF();
    RefreshYF();
    grdYF->setFocus();
    selectSerial(grdYF, mdlYF, QStringLiteral("CFLSH0"), g.CFLSH0);
    const int yfRow = currentRow(grdYF);
    if (yfRow >= 0)
        LoadMX(mdlYF->text(yfRow, QStringLiteral("CFLSH0")));
    pgcCX->setCurrentWidget(tsMX);
    wsif::PendingReminders(QStringLiteral("2"), {g.BRID00});
    if (wsif::QueueCallingVendor() == QLatin1String("XW"))
        wsif::QueuePushWaiting(CKBH_FY, rangeStart(), rangeEnd());
    edtLSH->setFocus();
}

void TfrmPY_MZPYXT::DoDispenseIssue()
{
    if (!qryDP->active() || qryDP->isEmpty())
        return;
    const QVector<Tpyxx> groups = pickGroups(false);
    if (groups.isEmpty())
        return;
    if (!AskYes(S("是否直接发药？")))
        return;
    for (const Tpyxx &g : groups) {
        SkinTestWarning(g.CFLSH0);
        GroupOperation(QStringLiteral("6"), g.FYDLXH, g.PHRQ00, g.FYCKBH);
    }
    RefreshAll();
}

void TfrmPY_MZPYXT::DoDecoction()
{
    if (!qryDP->active() || qryDP->isEmpty())
        return;
    const int remembered = currentRow(grdDP);
    grdDP->setUpdatesEnabled(false);
    m_timerDetached = true;
    oneClickDecoction = true;
    struct Restore {
        TfrmPY_MZPYXT *f;
        ~Restore()
        {
            f->oneClickDecoction = false;
            f->m_timerDetached = false;
            f->grdDP->setUpdatesEnabled(true);
        }
    } restore{this};
    int marked = 0;
    for (int r = 0; r < mdlDP->rowCount(); ++r) {
        const bool decoction = mdlDP->text(r, QStringLiteral("PYLBBH")) == QLatin1String("6");
        mdlDP->setMarked(r, decoction);
        marked += decoction ? 1 : 0;
    }
    selectRow(grdDP, remembered);
    if (marked > 0) {
        grdDP->setUpdatesEnabled(true);
        DoDispenseIssue();
    } else {
        ShowInfo(S("没有待配的代煎处方！"));
    }
}

void TfrmPY_MZPYXT::DoBackToWaiting()
{
    if (!qryDF->active() || qryDF->isEmpty())
        return;
    const int row = currentRow(grdDF);
    const QString number = mdlDF->text(row, QStringLiteral("FYDLXH"));
    if (!GroupOperation(QStringLiteral("3"), number, mdlDF->text(row, QStringLiteral("PHRQ00")),
                        mdlDF->text(row, QStringLiteral("FYCKBH"))))
        return;
    RefreshDF();
    RefreshDP();
    selectSerial(grdDP, mdlDP, QStringLiteral("FYDLXH"), number);
}

void TfrmPY_MZPYXT::DoUndoIssue()
{
    if (!qryYF->active() || qryYF->isEmpty())
        return;
    const int row = currentRow(grdYF);
    if (!GroupOperation(QStringLiteral("5"), mdlYF->text(row, QStringLiteral("FYDLXH")),
                        mdlYF->text(row, QStringLiteral("PHRQ00")), mdlYF->text(row, QStringLiteral("FYCKBH"))))
        return;
    RefreshDF();
    RefreshYF();
}

// ===================================================================== returns, recall, window control

void TfrmPY_MZPYXT::DoReturnToDoctor()
{
    if (!qryDP->active() || qryDP->isEmpty())
        return;
    const QString reason = cmbYY->currentText().trimmed();
    if (reason.isEmpty()) {
        ShowInfo(S("请录入退回原因！"));
        cmbYY->setFocus();
        return;
    }
    if (mdlDP->text(currentRow(grdDP), QStringLiteral("CFLSH0")).isEmpty()) {
        ShowInfo(S("请选择需退回的处方"));
        grdDP->setFocus();
        return;
    }
    const QString operatorId = QString::number(Session().operatorId);
    // The marked rows are taken before the walk: the list-refresh timer can
    // rebuild the list while a question is open, and a returned row leaves it.
    struct Marked {
        QString serial;
        double amount;
    };
    QVector<Marked> marked;
    for (int r = 0; r < mdlDP->rowCount(); ++r)
        if (mdlDP->isMarked(r))
            marked.append({mdlDP->text(r, QStringLiteral("CFLSH0")), mdlDP->text(r, QStringLiteral("YPJE00")).toDouble()});
    const bool any = !marked.isEmpty();
    for (const Marked &m : marked) {
        const QString &serial = m.serial;
        if (!AskYes(S("是否将处方") + serial + S("退回医生桌面？")))
            continue;
        const oradb::Params both{{QStringLiteral("THYY00"), reason}, {QStringLiteral("CFLSH0"), serial}};
        const oradb::Params one{{QStringLiteral("CFLSH0"), serial.trimmed()}};
        try {
            Db().execute(QStringLiteral(" UPDATE YF_MZCF00 SET THBZ00='1',THYY00 =:THYY00 WHERE  CFLSH0=:CFLSH0"), both);
            // The write lock is held from here on: another station may have
            // dispensed or issued the prescription since the list was read,
            // and such a prescription is not sent back (nor its state moved
            // back to dispensed).
            const QString state = oradb::valueText(
                Db().select(QStringLiteral("select ZT0000 from YF_CFDL00 where CFLSH0=:CFLSH0"), one).rows.value(0).value(0));
            if (state != QLatin1String("0") && state != QLatin1String("1") && state != QLatin1String("4")) {
                rollbackQuietly("RollBack");
                ShowInfo(S("处方") + serial + S("的状态已被其他工作站改变，不能退回医生桌面"));
                continue;
            }
            Db().execute(QStringLiteral(" UPDATE YS_CFXXB0 SET THBZ00='1',THYY00 =:THYY00 WHERE  CFLSH0=:CFLSH0"), both);
            execShown(QStringLiteral("UPDATE YF_CFDL00 SET THBZ00='1' WHERE  CFLSH0=:CFLSH0 "), one);
            ShowInfo(S("处方已退回医生处"));
            cmbYY->setCurrentIndex(-1);
            cmbYY->clearEditText();
        } catch (const oradb::DbError &) {
            rollbackQuietly("RollBack");
            continue;
        }
        try {
            execShown(QStringLiteral("Update yf_cfdl00 set ZT0000='2',PYRQ00=to_char(sysdate,'YYYYMMDD'),PYSJ00=to_char("
                                     "sysdate,'HH24:MI:SS') where CFLSH0=:CFLSH0"),
                      one);
            execShown(QStringLiteral("Update yf_mzcf00 set pfr000=") + operatorId + QStringLiteral(" where CFLSH0=:CFLSH0"),
                      one);
            if (m.amount < 0)
                execShown(QStringLiteral("Update YF_CFDL00 set ZT0000='3',FYRQ00=to_char(sysdate,'YYYYMMDD'),FYSJ00=to_"
                                         "char(sysdate,'HH24:MI:SS') where CFLSH0=:CFLSH0"),
                          one);
            execShown(QStringLiteral("commit"));
        } catch (const oradb::DbError &) {
            rollbackQuietly("RollBack");
        }
    }
    if (!any)
        ShowWarning(S("你没有选中待配处方,请选中后才进行退回操作!"));
    RefreshAll();
}

namespace {
void returnToDoctor(const QString &question, const QString &id, const QString &kind, const QString &reason)
{
    if (!AskYes(question))
        return;
    try {
        const QVariantMap out =
            DLLDM()->CallProc(QStringLiteral("SP_YF_YZYPSQ_THCZ"),
                              {{QStringLiteral("PYPQLPC"), id},
                               {QStringLiteral("PCZY000"), QString::number(Session().operatorId)},
                               {QStringLiteral("PCZYKS0"), QString::number(Session().departmentId)},
                               {QStringLiteral("PCOMMIT"), QStringLiteral("Y")},
                               {QStringLiteral("PTHYY00"), reason},
                               {QStringLiteral("PTHSFLX"), kind}});
        Session().lastProcMessage = outText(out, "PTSXX00");
    } catch (const oradb::DbError &e) {
        ShowErrorDetail(e.message(), e.message());
        rollbackQuietly(" rollback ");
    }
}

QString askReason()
{
    const QString reason =
        InputText(S("请输入或选择退回原因"), S("退回原因"), Config().returnReasons, QStringLiteral("|")).trimmed();
    if (reason.isEmpty())
        ShowWarning(S("请先输入或选择退回原因！"));
    return reason;
}
}  // namespace

void TfrmPY_MZPYXT::DoReturnPrescription()
{
    if (!qryCX->active() || qryCX->isEmpty())
        return;
    // the row is read before the reason box: the list may be rebuilt while it is open
    const int row = currentRow(grdCX);
    const QString number = mdlCX->text(row, QStringLiteral("FYDLXH"));
    const QString serial = mdlCX->text(row, QStringLiteral("CFLSH0"));
    const QString reason = askReason();
    if (reason.isEmpty())
        return;
    returnToDoctor(S("是否对整张处方流水号:") + number + QStringLiteral("\n") + S("以【") + reason
                       + S("】 退回反馈给医生吗?"),
                   serial, QStringLiteral("2"), reason);
}

void TfrmPY_MZPYXT::DoReturnDrug()
{
    if (!qryMX->active() || qryMX->isEmpty())
        return;
    // the line is read before the reason box: the detail list follows the
    // to-dispense list's current row, which the refresh timer may move meanwhile
    const int row = currentRow(grdMX);
    const QString number = mdlMX->text(row, QStringLiteral("FYDLXH"));
    const QString drug = mdlMX->text(row, QStringLiteral("YPMC00"));
    const QString line = mdlMX->text(row, QStringLiteral("CFID00"));
    const QString reason = askReason();
    if (reason.isEmpty())
        return;
    returnToDoctor(S("是否对处方流水号:") + number + S(",其中药品“") + drug + S("”") + QStringLiteral("\n") + S("以【")
                       + reason + S("】 退回反馈给医生吗?"),
                   line, QStringLiteral("0"), reason);
}

void TfrmPY_MZPYXT::DoCallAgain()
{
    if (!qryDF->active() || qryDF->isEmpty())
        return;
    const QString serial = mdlDF->text(currentRow(grdDF), QStringLiteral("CFLSH0"));
    try {
        DLLDM()->DbExecParams(QStringLiteral("update YF_CFDL00 set BJBZ00 = '1' where CFLSH0 = :CFLSH0 "),
                              QStringLiteral("CFLSH0"), serial);
        DLLDM()->DbExecParams(QStringLiteral("update YF_CFDL00 set JHCS00 = JHCS00+1 where CFLSH0 = :CFLSH0 "),
                              QStringLiteral("CFLSH0"), serial);
        Db().execute(QStringLiteral("commit"));
        ShowInfo(S("系统已重新呼叫"));
    } catch (const SilentAbort &) {
        rollbackQuietly();
        ShowInfo(S("提示"));
        return;
    } catch (const oradb::DbError &e) {
        ShowError(S("执行语句错误！错误信息") + e.message());
        rollbackQuietly();
        ShowInfo(S("提示"));
        return;
    }
    if (wsif::QueueCallingVendor() != QLatin1String("XW"))
        wsif::QueueCall(CKBH_FY, serial, QStringLiteral("03"));
}

void TfrmPY_MZPYXT::DoStart()
{
    if (CKBH_FY.isEmpty())
        return;
    if (!AskYes(S("是否启用窗口？")))
        return;
    if (!execCommitted(QStringLiteral("update BM_CKBM00 set ZT0000 = '0',JQMC00=nvl(JQMC00,:JQMC00),BZ0000=nvl(BZ0000,to_"
                                      "char(sysdate,'yyyymmddhh24:mi:ss')) where CKBH00 = :CKBH00"),
                       {{QStringLiteral("JQMC00"), Session().machineName}, {QStringLiteral("CKBH00"), CKBH_FY}}))
        return;
    ReadWindowStatus();
}

void TfrmPY_MZPYXT::DoStop()
{
    if (CKBH_FY.isEmpty())
        return;
    if (!AskYes(S("是否停用窗口？")))
        return;
    if (!execCommitted(QString::fromLatin1(kStopWindowSql),
                       {{QStringLiteral("CKBH00"), CKBH_FY}, {QStringLiteral("JQMC00"), Session().machineName}}))
        return;
    ReadWindowStatus();
}

void TfrmPY_MZPYXT::DoEmergency()
{
    if (CKBH_PY.isEmpty())
        return;
    const bool toEmergency = btnJZCK->text() == S("非急诊");
    if (!AskYes(toEmergency ? S("窗口是否转为 急诊窗口 ？") : S("窗口是否转为 非急诊 ？")))
        return;
    const oradb::Params p{{QStringLiteral("PYCKBH"), CKBH_PY}, {QStringLiteral("FYCKBH"), CKBH_FY}};
    const QString sql = toEmergency
                            ? QStringLiteral("update BM_CKBM00 set JZCKBZ = 'Y',BZ0000=nvl(BZ0000,to_char(sysdate,'yyyymmddhh24:"
                                             "mi:ss')) where CKBH00 = :PYCKBH  or CKBH00=:FYCKBH")
                            : QStringLiteral("update BM_CKBM00 set JZCKBZ = 'N',BZ0000=null where CKBH00 =:PYCKBH  or "
                                             "CKBH00=:FYCKBH ");
    if (!execCommitted(sql, p))
        return;
    showEmergency(toEmergency);
}

void TfrmPY_MZPYXT::closeEvent(QCloseEvent *event)
{
    TBaseDLLForm::closeEvent(event);
    if (!event->isAccepted() || CKBH_FY.isEmpty() || !DLLDM())
        return;
    RunGuarded([this] {
        const QString zt = DLLDM()->DbValueParams(
            QStringLiteral("select ZT0000 from BM_CKBM00 where CKBH00 = :CKBH00 and JQMC00=:JQMC00"),
            {{QStringLiteral("CKBH00"), CKBH_FY}, {QStringLiteral("JQMC00"), Session().machineName}});
        if (zt != QLatin1String("0")
            || GetSysParam(QStringLiteral("MZPY_PYFYCKTCZT"), QStringLiteral("1")) == QLatin1String("0"))
            return;
        if (!AskYes(S("是否自动关闭发药窗口？")))
            return;
        execCommitted(QString::fromLatin1(kStopWindowSql),
                      {{QStringLiteral("CKBH00"), CKBH_FY}, {QStringLiteral("JQMC00"), Session().machineName}});
    });
}

}  // namespace mzpy
