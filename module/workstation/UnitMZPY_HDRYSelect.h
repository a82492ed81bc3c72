// Checker choice while dispensing ("核对人员选择").
#pragma once

#include "host/uBaseDLLForm.h"

#include <memory>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace mzpy {

class TfrmMZPY_HDRYSelect : public TBaseDLLForm {
    Q_OBJECT
public:
    TfrmMZPY_HDRYSelect(int departmentId, const QString &label, const QString &queueNumber, const QString &window,
                        const QString &queueDate, std::shared_ptr<QString> answer);
    void FormCreate() override;

    // Shows the dialog modally; the staff id of the chosen checker, or empty.
    static QString Execute(int departmentId, const QString &label, const QString &queueNumber,
                           const QString &window, const QString &queueDate);

    QListWidget *lstRY;        // "name_card|id" check list
    QLabel *lblCaption;
    QLabel *lblCFS;            // "处方数："
    QLabel *lblCount;
    QWidget *pnlLeft;
    QPlainTextEdit *memCFH;    // serial numbers
    QPushButton *btnOK;
    QPushButton *btnCancel;

    void takeItem(QListWidgetItem *item);
    void okClicked();
    void cancelClicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidgetItem *firstChecked() const;
    void finish(const QString &answer);
    int m_dept;
    QString m_queueNumber, m_window, m_queueDate;
    std::shared_ptr<QString> m_answer;
    bool m_finishing = false;
    bool m_filling = false;
};

}  // namespace mzpy
