// A borderless hint that closes itself after a given time.
#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;
class QTimer;
class QWidget;

namespace mzpy {

class TfrmHintMessage : public QDialog {
    Q_OBJECT
public:
    explicit TfrmHintMessage(QWidget *parent = nullptr);

    // Text, time until the window closes itself, and whether "确  定" shows.
    void setHint(const QString &text, int milliseconds, bool showOk);
    void execute();
    static void run(const QString &text, int milliseconds, bool showOk);

    QTextEdit *memHint = nullptr;
    QWidget *pnlBottom = nullptr;
    QPushButton *btnOk = nullptr;
    QTimer *tmrClose = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    int m_milliseconds = 0;
};

}  // namespace mzpy
