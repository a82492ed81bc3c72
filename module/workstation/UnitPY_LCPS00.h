// A patient's skin-test history for the items of one prescription ("历次皮试").
#pragma once

#include "host/uBaseDLLForm.h"

class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace mzpy {

class TQuery;
class WsListModel;

class TfrmPY_LCPS00 : public TBaseDLLForm {
    Q_OBJECT
public:
    explicit TfrmPY_LCPS00(const QString &serial);
    void FormCreate() override;
    static void Execute(const QString &serial);

    QPushButton *btnSX;      // "刷新"
    QLineEdit *edtBR;        // patient name and sex
    QToolButton *btnGL;      // "过滤(&F)" with "还原"
    QPushButton *btnClose;   // "关闭(&X)"
    QTableView *grdPS;
    TQuery *qryPS;
    WsListModel *mdlPS;

    void refreshList();

private:
    QString m_serial;
    QString m_patientId;
};

}  // namespace mzpy
