// The module's input box: a hint line and either a text box or, in list mode,
// a drop-down list of the choices carried by the default text.
#pragma once

#include "Prompts.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mzpy {

class TfrmInputBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInputBox(QWidget *parent = nullptr);

    void setRequest(const InputRequest &request);
    bool listMode() const { return m_listMode; }
    // Shows the box modally; the trimmed text after OK, else empty.
    QString execute();
    static QString run(const InputRequest &request);

    // The choices of list mode: the default text split at one separator
    // character, every piece trimmed; an empty piece before a separator is
    // kept, a trailing separator adds nothing.
    static QStringList listItems(const QString &defaultText, QChar separator);

    static constexpr int kMaxLength = 400;

    QLabel *lblHint = nullptr;
    QLineEdit *edtInput = nullptr;
    QComboBox *cbxList = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_listMode = false;
};

}  // namespace mzpy
