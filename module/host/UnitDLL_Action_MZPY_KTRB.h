// The hidden action form: maps the host's menu action names to the
// function forms that serve them.
#pragma once

#include "uBaseDLLForm.h"

#include <QAction>
#include <functional>

namespace mzpy {

// A function form registers its menu action from its own source file.
struct MenuActionRegistration {
    MenuActionRegistration(const char *name, const char *caption, std::function<void()> handler);
};

class Tfrm_Action_MZPY_KTRB : public TBaseDLLForm {
    Q_OBJECT
public:
    Tfrm_Action_MZPY_KTRB();
    QList<QAction *> actlst;  // in the order of the action table
    QAction *findAction(const QString &name) const;
};

// Runs the action of a menu entry; unknown names are reported and the host's
// page for the entry is closed.
bool RunMenuAction(const QString &menuActionName, const QString &hint);

// Position of an action in the fixed table (for ordering registrations).
int ActionTableIndex(const QString &name);

}  // namespace mzpy
