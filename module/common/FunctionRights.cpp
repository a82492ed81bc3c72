#include "FunctionRights.h"

#include "Codec.h"
#include "host/ModuleState.h"
#include "host/uBaseDLLForm.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QToolBox>
#include <functional>

namespace mzpy {

QList<TgtGNMKKJ> RightsOfFormClass(const HisHostParamSet *set, const QString &formClassName)
{
    QList<TgtGNMKKJ> rows;
    if (!set || !set->rights)
        return rows;
    for (int i = 0; i < set->rightsCount; ++i) {
        const HisRightEntry &e = set->rights[i];
        if (fromGbk(e.formClassName).compare(formClassName, Qt::CaseInsensitive) != 0)
            continue;
        TgtGNMKKJ r;
        r.formClassName = fromGbk(e.formClassName);
        r.controlName = fromGbk(e.controlName);
        r.texts[0] = fromGbk(e.text1);
        r.texts[1] = fromGbk(e.text2);
        r.texts[2] = fromGbk(e.text3);
        r.texts[3] = fromGbk(e.text4);
        r.visible = e.visible != 0;
        r.enabled = e.enabled != 0;
        rows.append(r);
    }
    return rows;
}

namespace {

// The first component of the form with that name; nested frames are not searched.
QObject *findOwned(QObject *root, const QString &name)
{
    for (QObject *c : root->children()) {
        if (qobject_cast<TBaseDLLFrame *>(c))
            continue;
        if (c->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return c;
        if (QObject *found = findOwned(c, name))
            return found;
    }
    return nullptr;
}

// A grid column named by its model's ColumnNameRole header data.
bool applyToColumn(QWidget *form, const QString &name, bool visible)
{
    bool any = false;
    for (QTableView *view : form->findChildren<QTableView *>()) {
        QAbstractItemModel *m = view->model();
        if (!m)
            continue;
        for (int c = 0; c < m->columnCount(); ++c) {
            if (m->headerData(c, Qt::Horizontal, ColumnNameRole).toString().compare(name, Qt::CaseInsensitive) == 0) {
                view->setColumnHidden(c, !visible);
                any = true;
            }
        }
    }
    return any;
}

void applyToTabPage(QWidget *page, bool visible)
{
    // A page of a tab widget: its tab is shown or hidden with it.
    QWidget *stack = page->parentWidget();
    auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
    if (tabs && qobject_cast<QStackedWidget *>(stack)) {
        const int i = tabs->indexOf(page);
        if (i >= 0)
            tabs->setTabVisible(i, visible);
    }
}

}  // namespace

void ApplyFunctionRights(QWidget *form, const QString &formClassName)
{
    const HisHostParams *p = Module().hostParams;
    if (!p || !form)
        return;
    const QList<TgtGNMKKJ> rows = RightsOfFormClass(p->paramSet, formClassName);
    for (const TgtGNMKKJ &row : rows) {
        QObject *c = findOwned(form, row.controlName);
        if (!c) {
            applyToColumn(form, row.controlName, row.visible);
            continue;
        }
        if (auto *w = qobject_cast<QWidget *>(c)) {
            w->setVisible(row.visible);
            w->setEnabled(row.enabled);
            applyToTabPage(w, row.visible);
        } else if (auto *a = qobject_cast<QAction *>(c)) {
            a->setVisible(row.visible);
            a->setEnabled(row.enabled);
        }
    }
}

void ApplyFunctionRights(QWidget *form)
{
    if (auto *f = qobject_cast<TBaseDLLForm *>(form))
        ApplyFunctionRights(form, f->FormClassName());
    else if (form)
        ApplyFunctionRights(form, QString::fromLatin1(form->metaObject()->className()).section(QLatin1String("::"), -1));
}

}  // namespace mzpy
