// The base of every function form: creation steps, sizing inside the host
// page, closing, the messages it sends, the preparation pass over its
// controls and the input security check.
#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QScrollArea;

namespace mzpy {

class TQuery;
struct InputAssist;

// Remembered grid filter conditions of a form.
struct TFilterItem {
    QString field;
    QString op;
    QString value;
};
using TFilterItemList = QList<TFilterItem>;

// Item data role under which grid models name their columns (the names
// function rights and layouts refer to).
constexpr int ColumnNameRole = Qt::UserRole + 100;

class TBaseDLLForm : public QWidget {
    Q_OBJECT
public:
    explicit TBaseDLLForm(QWidget *parent = nullptr);
    ~TBaseDLLForm() override;

    // The inner panel every form places its controls on.
    QFrame *pnlBaseFormContainer;

    quintptr ContainerHandle = 0;
    QString FormKey;
    int OpenMode = 0;          // 0 not opened, 1 embedded, 2 dialog
    QString ExtraText;
    TFilterItemList *FilterConditions = nullptr;

    // Class name without namespace, e.g. "TfrmPY_MZPYXT".
    QString FormClassName() const;

    // Creation steps; forms that add their own creation call this first.
    virtual void FormCreate();
    // Throws SilentAbort after its prompt when an editable box holds a
    // forbidden word.
    void InputSecurityCheck();

    // Modal show for dialog forms; returns the modal result.
    int ShowModal();
    int ModalResult = 0;
    void setModalResultAndClose(int result);

    // Hidden helper forms (the action form) are not function forms: close-all
    // and the open-form lookups pass them by.
    bool IsFunctionForm = true;

    // Wraps a user command (button, key, timer): quiet on SilentAbort.
    bool Guard(const std::function<void()> &command);

    // Sizes the inner panel of an embedded form to the form (minimum 800 by
    // the minimum height, less the margins).
    void FormResize();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QScrollArea *m_scroll;
    QString m_className;
    bool m_panelAligned = true;
    bool m_closeSent = false;
    int *m_modalResultSink = nullptr;
    friend TBaseDLLForm *CreateFormInstance(const std::function<TBaseDLLForm *()> &factory, bool embedding);
};

// Frame counterpart (no screen of this module is a frame).
class TBaseDLLFrame : public QFrame {
    Q_OBJECT
public:
    explicit TBaseDLLFrame(QWidget *parent = nullptr);
    ~TBaseDLLFrame() override;
    QFrame *pnlBaseFormContainer;
};

// A way to make a form of one class.
struct FormClass {
    const QMetaObject *meta;                       // for "is of the class or derived"
    std::function<TBaseDLLForm *()> create;
};
template <class T>
FormClass formClass()
{
    return FormClass{&T::staticMetaObject, [] { return static_cast<TBaseDLLForm *>(new T()); }};
}

TBaseDLLForm *OpenEmbeddedForm(const FormClass &cls, QWidget *container, const QString &formKey,
                               const QString &extraText);
TBaseDLLForm *OpenDialogForm(const FormClass &cls, bool modal, const QString &formKey,
                             const QString &extraText, QWidget *container);

// The function forms alive, in creation order.
QList<TBaseDLLForm *> LiveForms();

void PrepareFormControls(QWidget *formOrFrame, const InputAssist &assist);
// The word list of the input security check ("a,b c,\"d e\"").
QStringList SecurityWords(const QString &list);

}  // namespace mzpy
