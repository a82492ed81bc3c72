// A module library that follows the host protocol with plain widgets, for
// testing the shell's page handling on its own: a real shared library with
// the two exports, loaded by the shell's module loader.
//   ACT_PY_MZPYXT  embeds a form "TfrmPY_MZPYXT" into the page (shown again
//                  when it is open already)
//   ACT_PY_CKSZ00  a modal dialog form "TFrmCKSZ" that reports the page as
//                  its container
//   ACT_PY_PYDY00  runs without opening a form (returns true)
//   ACT_TEST_OPEN  asks the host to open ACT_PY_MZPYXT with a parameter
//   anything else  unknown: CLOSEMAINFORMACTIVEPAGEEX, returns false
#include "DLL_MZPY_KTRB.h"
#include "HisHostMessage.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QWidget>

namespace {

const QString kFile = QStringLiteral("DLL_MZPY_KTRB.so");

QByteArray g_lastAction;
QByteArray g_lastHint;
const HisHostParams *g_lastParams = nullptr;
void *g_lastDb = nullptr;
void *g_lastApp = nullptr;
QList<QPointer<QWidget>> g_forms;

void send(const QString &text)
{
    QObject *main = qApp->property(HIS_MAIN_WINDOW_PROPERTY).value<QObject *>();
    if (!main)
        return;
    const QByteArray bytes = QStringEncoder("GBK").encode(text);
    HisCopyData data{uintptr_t(bytes.size()), uint32_t(bytes.size()), bytes.constData()};
    HisCopyDataEvent event(data);
    QCoreApplication::sendEvent(main, &event);
}

template <typename Base>
class Form : public Base {
public:
    Form(const QString &className, QWidget *container, QWidget *parent)
        : Base(parent), m_className(className), m_container(container ? quintptr(container->winId()) : 0)
    {
        this->setObjectName(className);
        g_forms.append(this);
        send(QStringLiteral("NEWDLLCONTAINERFORM@%1,%2,%3,%4")
                 .arg(kFile, className)
                 .arg(m_container)
                 .arg(quintptr(this->winId())));
    }
    ~Form() override
    {
        send(QStringLiteral("CLOSEMAINFORMACTIVEPAGE@%1,%2,%3").arg(kFile, m_className).arg(m_container));
    }

private:
    QString m_className;
    quintptr m_container;
};

QWidget *openForm(const QString &className)
{
    for (const QPointer<QWidget> &f : g_forms)
        if (f && f->objectName() == className)
            return f;
    return nullptr;
}

}  // namespace

extern "C" MZPY_API uint8_t MZPY_CALL ShowDLLNormalForm(void *application, void *parentControl, void *db,
                                                        const char *menuActionName, const char *hint,
                                                        const HisHostParams *hostParams)
{
    g_lastAction = QByteArray(menuActionName ? menuActionName : "");
    g_lastHint = QByteArray(hint ? hint : "");
    g_lastParams = hostParams;
    g_lastDb = db;
    g_lastApp = application;
    auto *container = static_cast<QWidget *>(parentControl);
    const QString action = QString::fromLatin1(g_lastAction).toUpper();

    if (action == QLatin1String("ACT_PY_MZPYXT")) {
        if (QWidget *open = openForm(QStringLiteral("TfrmPY_MZPYXT"))) {
            open->show();
            return 1;
        }
        auto *form = new Form<QWidget>(QStringLiteral("TfrmPY_MZPYXT"), container, container);
        form->resize(container->size());
        form->show();
        return 1;
    }
    if (action == QLatin1String("ACT_PY_CKSZ00")) {
        auto *dialog = new Form<QDialog>(QStringLiteral("TFrmCKSZ"), container, nullptr);
        dialog->exec();
        delete dialog;
        return 1;
    }
    if (action == QLatin1String("ACT_PY_PYDY00"))
        return 1;
    if (action == QLatin1String("ACT_TEST_OPEN")) {
        send(QStringLiteral("OPENDLLFORMBYACTION@ACT_PY_MZPYXT,<CFLSH0>42</CFLSH0>"));
        return 1;
    }
    send(QStringLiteral("CLOSEMAINFORMACTIVEPAGEEX@%1,None,%2").arg(kFile, QString::fromLatin1(g_lastAction)));
    return 0;
}

extern "C" MZPY_API void MZPY_CALL OperateDllNormalForm(uintptr_t windowHandle, int32_t operation, const char *text)
{
    if ((operation & 0xFF) != 2)
        return;
    const QList<QPointer<QWidget>> forms = g_forms;
    for (const QPointer<QWidget> &f : forms)
        if (f && (windowHandle == 0 || quintptr(f->winId()) == windowHandle))
            delete f.data();
}

// What the last ShowDLLNormalForm call received.
extern "C" MZPY_API const char *TestLastAction() { return g_lastAction.constData(); }
extern "C" MZPY_API const char *TestLastHint() { return g_lastHint.constData(); }
extern "C" MZPY_API const HisHostParams *TestLastParams() { return g_lastParams; }
extern "C" MZPY_API void *TestLastDb() { return g_lastDb; }
extern "C" MZPY_API void *TestLastApp() { return g_lastApp; }
