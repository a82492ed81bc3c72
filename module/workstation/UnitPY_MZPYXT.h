// The dispensing workstation of one pharmacy window: the queue lists, the
// dispensing and issuing operations, returns, recall and window control.
#pragma once

#include "host/uBaseDLLForm.h"

#include <QStringList>
#include <QVector>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;

namespace mzpy {

class TQuery;
class WsListModel;

// One queue group chosen by the user.
struct Tpyxx {
    QString FYDLXH, CFLSH0, FYCKBH, PHRQ00, BRID00, BRXM00;
};

class TfrmPY_MZPYXT : public TBaseDLLForm {
    Q_OBJECT
public:
    TfrmPY_MZPYXT();
    ~TfrmPY_MZPYXT() override;
    void FormCreate() override;

    // ---- toolbar
    QDateEdit *dtpStart, *dtpEnd;
    QLineEdit *edtCKMC;
    QLabel *lblZTMC;
    QPushButton *btnTZ, *btnQY, *btnJZCK, *btnZLJL, *btnTC;
    QCheckBox *chkYY;
    QLabel *pnlBRXM;
    // ---- left: to-dispense list and entry row
    QTabWidget *pgcDP;
    QTableView *grdDP;
    QLabel *lblDPFooter;
    QLineEdit *edtLSH;
    QComboBox *cmbSH;
    QPushButton *btnPSS;
    QLabel *lblYY;
    QComboBox *cmbYY;
    QPushButton *btnTH;
    QLabel *lblGMS, *lblTZXX;
    QLineEdit *edtGMS, *edtTZXX;
    // ---- button column
    QPushButton *btnPYFY, *btnCX, *btnTHDD, *btnFY, *btnBJ, *btnYP, *btnSX, *btnGL, *btnSF, *btnLK, *btnDJFY,
        *btnCASM, *btnZSM;
    QCheckBox *chkZSX, *chkFBC, *chkZSM;
    // ---- bottom: query and detail
    QTabWidget *pgcCX;
    QWidget *tsCX, *tsMX, *tsDY;
    QTableView *grdCX, *grdMX;
    QLabel *lblCXFooter, *lblMXFooter;
    QComboBox *cmbRQLX;
    QDateEdit *dtpCXStart, *dtpCXEnd;
    QPushButton *btnDK, *btnDZJKK;
    QLineEdit *edtCXLSH, *edtQYTM;
    QToolButton *btnQuery;
    QMenu *pmQuery;
    QAction *actCFTH;
    QCheckBox *chkCXFBC;
    QAction *actYPTH, *actHLYY, *actLD;
    QList<QAction *> herbalActions;   // "收代煎费" ... "处方预览"
    QAction *actEWM;                  // "打印二维码"
    // ---- right: dispensed and issued
    QSplitter *splMain, *splLeft, *splRight;
    QTabWidget *pgcDF, *pgcYF;
    QTableView *grdDF, *grdYF;
    QLabel *lblDFFooter, *lblYFFooter;
    QLineEdit *edtDFLSH, *edtYFLSH;
    QCheckBox *chkZCY, *chkQCF, *chkDJ;
    QWidget *pnlRight;

    TQuery *qryDP, *qryDF, *qryYF, *qryCX, *qryMX;
    WsListModel *mdlDP, *mdlDF, *mdlYF, *mdlCX, *mdlMX;
    QTimer *tmrRefresh, *tmrWindow, *tmrNotice;

    // ---- workstation state
    QString CKBH_PY, CKBH_FY, CKMC_FY, CKMC_PY;
    QString pharmacyKind;
    double cardPatient = 0;
    double cardBalance = 0;
    QString cardReadType = QStringLiteral("1");
    int lastEnteredList = 0;
    QString shownPatient;
    bool packagingMode = false;
    bool oneClickDecoction = false;
    QString scanInProgress;
    QString sYPFYJDSZ, sSJYFSFTHDF, sHJQYMXSFXSZBY, sYFMZBRGMSQZ, sSFSYDTCRMSXT1, sSFSYDTCRMSXT2;
    QString lastProcMessage;
    int rightWidth = 420;        // width of the right part (login.ini MZPYXT_LEFT)
    static constexpr int kDesignedRightWidth = 420;

    // ---- list rebuilds
    void RefreshDP();
    void RefreshDF(const QString &serialCriterion = QString());
    void RefreshYF();
    void RefreshCX();
    void LoadMX(const QString &serial);
    void RefreshAll();       // "刷新"
    void RefreshTick();      // list refresh timer
    void WindowTick();       // window watch timer

    // ---- operations
    bool ProcedureStep(const QString &code, const QString &serial, const QString &cardFlag, const QString &checker);
    bool GroupOperation(const QString &code, const QString &queueNumber, const QString &queueDate,
                        const QString &window);
    void DoDispense();       // ">>已配"
    void DoIssue();          // "∨发药"
    void DoDispenseIssue();  // ">>>"
    void DoDecoction();      // "代煎发药"
    void DoBackToWaiting();  // "<<退回"
    void DoUndoIssue();      // "∧撤销"
    void DoReturnToDoctor(); // "退 回"
    void DoReturnPrescription();  // "处方退回"
    void DoReturnDrug();     // "药品退回(&T)"
    void DoCallAgain();      // "补叫"
    void DoStart();          // "启用"
    void DoStop();           // "停止"
    void DoEmergency();      // "急诊窗口"
    void SkinTestWarning(const QString &serial);
    void ReadWindowStatus();  // opening step 10
    void SetDispenseEnabled();  // opening step 5

    // Rows of a list (to-dispense, dispensed, issued, query, detail).
    int currentRow(QTableView *view) const;
    void selectRow(QTableView *view, int row);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildUi();
    void connectUi();
    void readStartSettings();     // step 3
    void readEmergencyFlag();     // step 4
    void showEmergency(bool emergency);  // caption, colour and picture of "急诊窗口"
    void fillChecker();           // step 7
    void applyPharmacyKind();     // step 8
    void readWindowNames();       // step 9
    void applyBasketColumns();
    QString windowFilter(bool blankBefore) const;
    QString categoryFilter() const;
    QString rangeStart() const;
    QString rangeEnd() const;
    QString checkerFromChoice() const;
    QVector<Tpyxx> pickGroups(bool withDispenserDialog);
    void rowClicked(int list, int row);
    void focusAfterOperation();
    void rebuildThree();
    QStringList serialsOfQueueNumber(const QString &queueNumber);
    void selectSerial(QTableView *view, WsListModel *model, const QString &field, const QString &value);
    void updateFooters();
    void markChanged(int row, bool marked);
    bool m_markHandling = false;
    bool m_sizesApplied = false;
    bool m_timerDetached = false;
    bool m_cxDetached = false;
    QString m_watchFY, m_watchName;
    bool m_noticeShown = false;
};

}  // namespace mzpy
