#include "uBaseDLLForm.h"

#include "HostMessages.h"
#include "ModuleState.h"
#include "uDLLDM.h"
#include "common/FunctionRights.h"
#include "common/Prompts.h"
#include "common/Session.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace mzpy {

namespace {
bool g_embedding = false;
QList<QPointer<TBaseDLLForm>> g_forms;

void setBackground(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setBaseColor(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, color);
    w->setPalette(pal);
}

QColor parentColor(QWidget *w)
{
    QWidget *p = w->parentWidget();
    return p ? p->palette().color(QPalette::Window) : w->palette().color(QPalette::Window);
}

// Components owned by a form, without those of nested frames.
QList<QObject *> ownComponents(QObject *root)
{
    QList<QObject *> result;
    std::function<void(QObject *)> walk = [&](QObject *o) {
        for (QObject *c : o->children()) {
            if (qobject_cast<TBaseDLLFrame *>(c))
                continue;
            result.append(c);
            walk(c);
        }
    };
    walk(root);
    return result;
}
}  // namespace

// ------------------------------------------------------------ TBaseDLLForm

TBaseDLLForm::TBaseDLLForm(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("BaseDLLForm"));
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(14);
    setFont(f);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("sbxBaseForm"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    layout->addWidget(m_scroll);
    pnlBaseFormContainer = new QFrame;
    pnlBaseFormContainer->setObjectName(QStringLiteral("pnlBaseFormContainer"));
    pnlBaseFormContainer->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(pnlBaseFormContainer);
    g_forms.append(this);
}

TBaseDLLForm::~TBaseDLLForm()
{
    if (m_modalResultSink)
        *m_modalResultSink = ModalResult;
    g_forms.removeAll(QPointer<TBaseDLLForm>(this));
    g_forms.removeAll(QPointer<TBaseDLLForm>());
    if (!m_closeSent) {
        m_closeSent = true;
        SendHostMessage(MsgCloseActivePage(m_className.isEmpty() ? FormClassName() : m_className, ContainerHandle));
    }
    delete FilterConditions;
    FilterConditions = nullptr;
}

QString TBaseDLLForm::FormClassName() const
{
    QString name = QString::fromLatin1(metaObject()->className());
    const int pos = name.lastIndexOf(QLatin1String("::"));
    return pos >= 0 ? name.mid(pos + 2) : name;
}

void TBaseDLLForm::FormCreate()
{
    const SessionContext &s = Session();
    m_className = FormClassName();
    // 1. cleared members
    ContainerHandle = 0;
    FormKey.clear();
    ExtraText.clear();
    OpenMode = 0;
    // 3. the inner panel: sized by hand while embedding, else it fills the form
    m_panelAligned = !g_embedding;
    m_scroll->setWidgetResizable(m_panelAligned);
    if (!m_panelAligned)
        pnlBaseFormContainer->resize(qMax(0, width() - s.marginH), qMax(0, height() - s.marginV));
    // 4. colour
    QColor formColor;
    if (GetUserOption(QStringLiteral("XT_USEBACKCOLOR"), QStringLiteral("N")) == QLatin1String("Y")) {
        bool ok = false;
        const int c = GetUserOption(QStringLiteral("XT_BACKCOLOR"), QString()).trimmed().toInt(&ok);
        formColor = PlatformColor(ok ? c : s.appearance.formBackColor);
    } else {
        formColor = PlatformColor(s.appearance.formBackColor);
    }
    setBackground(this, formColor);
    setBackground(m_scroll->viewport(), formColor);
    setBackground(pnlBaseFormContainer, formColor);
    // 5. controls prepared for the connection and the appearance
    PrepareFormControls(this, s.inputAssist);
    // 7. function rights
    ApplyFunctionRights(this);
    // 9. filter conditions
    if (!FilterConditions)
        FilterConditions = new TFilterItemList;
}

void TBaseDLLForm::InputSecurityCheck()
{
    // Off unless the level (first field of XT_SQLPLUSSECURLEVEL, read at
    // session load) is exactly "1"; a whole value "0" has level "0".
    const SessionContext &s = Session();
    if (s.securityLevel != QLatin1String("1"))
        return;
    const QStringList words = SecurityWords(s.securityWords);
    if (words.isEmpty())
        return;
    QList<QWidget *> edits;
    for (QObject *o : ownComponents(this)) {
        if (auto *le = qobject_cast<QLineEdit *>(o)) {
            if (!le->isReadOnly() && !le->text().trimmed().isEmpty())
                edits.append(le);
        } else if (auto *te = qobject_cast<QTextEdit *>(o)) {
            if (!te->isReadOnly() && !te->toPlainText().trimmed().isEmpty())
                edits.append(te);
        } else if (auto *pe = qobject_cast<QPlainTextEdit *>(o)) {
            if (!pe->isReadOnly() && !pe->toPlainText().trimmed().isEmpty())
                edits.append(pe);
        }
    }
    auto textOf = [](QWidget *w) {
        if (auto *le = qobject_cast<QLineEdit *>(w))
            return le->text().trimmed();
        if (auto *te = qobject_cast<QTextEdit *>(w))
            return te->toPlainText().trimmed();
        return static_cast<QPlainTextEdit *>(w)->toPlainText().trimmed();
    };
    for (const QString &word : words) {
        const QString w = word.trimmed();
        if (w.isEmpty())
            continue;
        for (QWidget *edit : edits) {
            if (textOf(edit).contains(w, Qt::CaseInsensitive)) {
                ShowInfo(QStringLiteral("编辑框中含有非法字符"));
                if (edit->isEnabled() && edit->isVisible())
                    edit->setFocus();
                throw SilentAbort();
            }
        }
    }
}

void TBaseDLLForm::FormResize()
{
    if (m_panelAligned)
        return;
    const SessionContext &s = Session();
    int w = width() - s.marginH;
    int h = height() - s.marginV;
    if (width() < s.minWidth)
        w = s.minWidth - s.marginH;
    if (height() < s.minHeight)
        h = s.minHeight - s.marginV;
    pnlBaseFormContainer->resize(qMax(0, w), qMax(0, h));
}

void TBaseDLLForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TBaseDLLForm::closeEvent(QCloseEvent *event)
{
    // A closed function form is always freed (WA_DeleteOnClose).
    QWidget::closeEvent(event);
}

void TBaseDLLForm::setModalResultAndClose(int result)
{
    ModalResult = result;
    close();
}

int TBaseDLLForm::ShowModal()
{
    ModalResult = 0;
    int result = 0;
    m_modalResultSink = &result;
    setWindowModality(Qt::ApplicationModal);
    QPointer<TBaseDLLForm> self(this);
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    show();
    loop.exec();
    if (self) {
        self->m_modalResultSink = nullptr;
        return self->ModalResult;
    }
    return result;
}

bool TBaseDLLForm::Guard(const std::function<void()> &command)
{
    return RunGuarded(command);
}

// ------------------------------------------------------------ TBaseDLLFrame

TBaseDLLFrame::TBaseDLLFrame(QWidget *parent) : QFrame(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pnlBaseFormContainer = new QFrame(this);
    pnlBaseFormContainer->setObjectName(QStringLiteral("pnlBaseFormContainer"));
    layout->addWidget(pnlBaseFormContainer);
}

TBaseDLLFrame::~TBaseDLLFrame()
{
    SendHostMessage(MsgCloseActivePage(QString::fromLatin1(metaObject()->className()).section(QLatin1String("::"), -1), 0));
}

// ------------------------------------------------------------- opening forms

QList<TBaseDLLForm *> LiveForms()
{
    QList<TBaseDLLForm *> result;
    for (const auto &f : g_forms)
        if (f && f->IsFunctionForm)
            result.append(f.data());
    return result;
}

TBaseDLLForm *CreateFormInstance(const std::function<TBaseDLLForm *()> &factory, bool embedding)
{
    g_embedding = embedding;
    TBaseDLLForm *form = nullptr;
    try {
        form = factory();
        form->FormCreate();
    } catch (...) {
        g_embedding = false;
        delete form;
        throw;
    }
    g_embedding = false;
    return form;
}

namespace {
// Keeps an embedded form the size of its host page.
class ContainerFollower : public QObject {
public:
    ContainerFollower(QWidget *container, TBaseDLLForm *form) : QObject(form), m_form(form)
    {
        container->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && m_form)
            m_form->setGeometry(0, 0, static_cast<QWidget *>(watched)->width(), static_cast<QWidget *>(watched)->height());
        return false;
    }

private:
    QPointer<TBaseDLLForm> m_form;
};
}  // namespace

TBaseDLLForm *OpenEmbeddedForm(const FormClass &cls, QWidget *container, const QString &formKey,
                               const QString &extraText)
{
    // 1. the container
    if (!container)
        container = Module().parentControl;
    if (!container) {
        ShowInfo(QStringLiteral("找不到存放窗口的面板"));
        return nullptr;
    }
    // 2. an open form of the class and key is shown again
    for (TBaseDLLForm *f : LiveForms()) {
        if (f->metaObject()->inherits(cls.meta) && f->FormKey.compare(formKey, Qt::CaseInsensitive) == 0) {
            f->show();
            f->raise();
            return f;
        }
    }
    // 3. create it while the embedding flag is on; it lives in the host page
    TBaseDLLForm *form = CreateFormInstance(cls.create, true);
    form->setParent(container, Qt::Widget);
    form->ContainerHandle = container->winId();
    form->OpenMode = 1;
    SendHostMessage(MsgNewContainerForm(form->FormClassName(), form->ContainerHandle, form->winId()));
    // 4. key and extra text
    form->FormKey = formKey;
    form->ExtraText = extraText;
    // 5./6. sized to the container and shown; it follows the page's size
    form->setGeometry(0, 0, container->width(), container->height());
    form->FormResize();  // the resize event waits while the page is hidden
    new ContainerFollower(container, form);
    form->show();
    form->raise();
    return form;
}

TBaseDLLForm *OpenDialogForm(const FormClass &cls, bool modal, const QString &formKey,
                             const QString &extraText, QWidget *container)
{
    // 1. open forms of the class and key are closed first
    for (TBaseDLLForm *f : LiveForms()) {
        if (f->metaObject()->inherits(cls.meta) && f->FormKey.compare(formKey, Qt::CaseInsensitive) == 0) {
            f->hide();
            f->close();
        }
    }
    // 2. create it
    TBaseDLLForm *form = CreateFormInstance(cls.create, false);
    form->FormKey = formKey;
    form->ExtraText = extraText;
    form->OpenMode = 2;
    if (QWidget *main = HostMainWindow()) {
        form->setParent(main, Qt::Dialog);
    } else {
        form->setWindowFlags(Qt::Dialog);
    }
    // 3. the container handle and the message
    if (!container)
        container = Module().parentControl;
    form->ContainerHandle = container ? container->winId() : 0;
    SendHostMessage(MsgNewContainerForm(form->FormClassName(), form->ContainerHandle, form->winId()));
    // 4. modal
    if (modal)
        form->ShowModal();
    return form;
}

// ---------------------------------------------------------- preparation pass

QStringList SecurityWords(const QString &list)
{
    // Comma-separated; blanks also separate; a word in double quotes may
    // hold blanks ("" inside quotes is one quote).
    QStringList words;
    QString current;
    bool inQuotes = false;
    bool any = false;
    for (int i = 0; i < list.size(); ++i) {
        const QChar c = list[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < list.size() && list[i + 1] == '"') {
                    current += '"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                current += c;
            }
        } else if (c == '"') {
            inQuotes = true;
            any = true;
        } else if (c == ',' || c.isSpace()) {
            if (any || !current.isEmpty())
                words << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any || !current.isEmpty())
        words << current;
    return words;
}

void PrepareFormControls(QWidget *form, const InputAssist &assist)
{
    const Appearance &a = Session().appearance;
    TBaseDLLForm *baseForm = qobject_cast<TBaseDLLForm *>(form);
    QWidget *innerPanel = baseForm ? static_cast<QWidget *>(baseForm->pnlBaseFormContainer) : nullptr;
    TDLLDM *dm = DLLDM();
    for (QObject *o : ownComponents(form)) {
        if (auto *q = qobject_cast<TQuery *>(o)) {
            q->checkForm = baseForm;  // bound to the module connection; checked before opening
            continue;
        }
        if (auto *action = qobject_cast<QAction *>(o)) {
            if (action->objectName() == QLatin1String("TBtnHelp") || action->text().contains(QStringLiteral("帮助(")))
                action->setVisible(false);
            continue;
        }
        auto *w = qobject_cast<QWidget *>(o);
        if (!w)
            continue;
        if (auto *tb = qobject_cast<QToolButton *>(w)) {
            if (tb->objectName() == QLatin1String("TBtnHelp") || tb->text().contains(QStringLiteral("帮助(")))
                tb->setVisible(false);
            continue;
        }
        if (qobject_cast<QPushButton *>(w)) {
            w->setProperty("mzpySkinned", true);
            continue;
        }
        if (auto *tv = qobject_cast<QTableView *>(w)) {
            const QString kind = tv->property("gridKind").toString();
            if (kind == QLatin1String("dbgrid")) {
                setBaseColor(tv, PlatformColor(a.dbGridOrigColor));
            } else if (kind == QLatin1String("ehgrid")) {
                setBaseColor(tv, PlatformColor(a.dbGridEhColor));
            } else if (!tv->property("customRowStyle").toBool()) {
                // Odd rows (from 0) the "single" colour, even rows the "double".
                QPalette pal = tv->palette();
                pal.setColor(QPalette::Base, dm ? dm->cxDouble : PlatformColor(a.cxGridDoubleColor));
                pal.setColor(QPalette::AlternateBase, dm ? dm->cxSingle : PlatformColor(a.cxGridSingleColor));
                tv->setPalette(pal);
                tv->setAlternatingRowColors(true);
            }
            continue;
        }
        if (auto *tree = qobject_cast<QTreeView *>(w)) {
            setBaseColor(tree, PlatformColor(a.treeViewColor));
            if (!tree->property("editable").toBool())
                tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
            continue;
        }
        if (auto *le = qobject_cast<QLineEdit *>(w)) {
            if (le->property("codeLookup").toBool()) {
                setBaseColor(le, PlatformColor(a.inputEditColor));
                le->setProperty("RecordNumber", assist.listRows);
                le->setProperty("PPFX", int(assist.matchMode));
                le->setProperty("InputFieldIndex", int(assist.searchField));
            } else if (le->isReadOnly()) {
                setBaseColor(le, PlatformColor(a.readOnlyEditColor));
            } else if (le->property("tag").toInt() == 999) {
                setBaseColor(le, PlatformColor(a.inputEditColor));
            }
            continue;
        }
        if (auto *te = qobject_cast<QTextEdit *>(w)) {
            if (te->isReadOnly())
                setBaseColor(te, PlatformColor(a.readOnlyEditColor));
            continue;
        }
        if (qobject_cast<QDateEdit *>(w)) {
            continue;
        }
        if (qobject_cast<QTabWidget *>(w)) {
            setBackground(w, parentColor(w));
            continue;
        }
        if (qobject_cast<QGroupBox *>(w) || qobject_cast<QToolBar *>(w)) {
            setBackground(w, parentColor(w));
            continue;
        }
        if (qobject_cast<QFrame *>(w) && !qobject_cast<QLabel *>(w) && !qobject_cast<QAbstractScrollArea *>(w)
            && w != innerPanel) {
            setBackground(w, parentColor(w));
            continue;
        }
    }
}

}  // namespace mzpy
