// The module's message box: text with an optional warning or error picture,
// up to four answer buttons and a detail area that opens below the buttons.
#pragma once

#include "Prompts.h"

#include <QColor>
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QWidget;

namespace mzpy {

// Owner of the module's dialogs: the host main window when the host announced
// one (application property "HisMainWindow"), else none.
QWidget *HostMainWindowWidget();

// A colour given as 0x00BBGGRR, the layout the host's colour settings use.
QColor ColorFromBgr(int bgr);

class TfrmMessage : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMessage(QWidget *parent = nullptr);

    // Takes the options of one box; the text is shown through FilterMessageText.
    void setRequest(const MessageRequest &request);
    const MessageRequest &request() const { return m_request; }

    // Shows the box modally; returns OK 1, Cancel 2, Yes 6, No 7 or 0.
    int execute();
    // Creates, shows and frees one box owned by the host main window.
    static int run(const MessageRequest &request);

    bool detailOpen() const { return m_detailOpen; }
    QString statusText(int panel) const;

    static constexpr int kFormColor = 16776176;
    static constexpr int kButtonRowHeight = 25;
    static constexpr int kTopHeight = 140;
    static constexpr int kDetailHeight = 150;

    QWidget *pnlTop = nullptr;
    QWidget *pnlIcon = nullptr;
    QLabel *imgIcon = nullptr;
    QPlainTextEdit *memText = nullptr;
    QWidget *pnlButtons = nullptr;
    QPushButton *btnDetail = nullptr;
    QPushButton *btnYes = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnNo = nullptr;
    QPushButton *btnCancel = nullptr;
    QWidget *pnlDetail = nullptr;
    QPlainTextEdit *memDetail = nullptr;
    QStatusBar *StatusBar1 = nullptr;

public slots:
    void done(int result) override;
    void toggleDetail();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void prepare();
    void fitHeight();

    MessageRequest m_request;
    bool m_detailOpen = false;
    QList<QLabel *> m_panels;
};

}  // namespace mzpy
