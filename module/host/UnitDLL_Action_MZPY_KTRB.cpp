#include "UnitDLL_Action_MZPY_KTRB.h"

#include "HostMessages.h"
#include "ModuleState.h"
#include "common/Prompts.h"

#include <algorithm>

namespace mzpy {

namespace {
struct Registered {
    QString name;
    QString caption;
    std::function<void()> handler;
};
std::vector<Registered> &registry()
{
    static std::vector<Registered> r;
    return r;
}
const char *const kActionTable[] = {"ACT_PY_PYDY00", "ACT_PY_MZPYXT", "ACT_PY_CKSZ00", "ACT_PY_CKRYWH",
                                    "ACT_PY_DYJSZ0", "ACT_PY_ZYDJDJ", "ACT_PY_JSJYDY", "ACT_PY_CAZSBD"};
}  // namespace

int ActionTableIndex(const QString &name)
{
    for (int i = 0; i < 8; ++i)
        if (name.compare(QLatin1String(kActionTable[i]), Qt::CaseInsensitive) == 0)
            return i;
    return 8;
}

MenuActionRegistration::MenuActionRegistration(const char *name, const char *caption, std::function<void()> handler)
{
    registry().push_back({QString::fromUtf8(name), QString::fromUtf8(caption), std::move(handler)});
}

Tfrm_Action_MZPY_KTRB::Tfrm_Action_MZPY_KTRB()
{
    setObjectName(QStringLiteral("frm_Action_MZPY_KTRB"));
    std::vector<Registered> regs = registry();
    std::stable_sort(regs.begin(), regs.end(), [](const Registered &a, const Registered &b) {
        return ActionTableIndex(a.name) < ActionTableIndex(b.name);
    });
    for (const Registered &r : regs) {
        auto *action = new QAction(r.caption, this);
        action->setObjectName(r.name);
        auto handler = r.handler;
        connect(action, &QAction::triggered, this, [handler] { handler(); });
        actlst.append(action);
    }
}

QAction *Tfrm_Action_MZPY_KTRB::findAction(const QString &name) const
{
    for (QAction *a : actlst)
        if (a->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return a;
    return nullptr;
}

bool RunMenuAction(const QString &menuActionName, const QString &hint)
{
    Tfrm_Action_MZPY_KTRB *form = Module().actionForm;
    if (QAction *action = form ? form->findAction(menuActionName) : nullptr) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
        // The action's form reports its own errors; an abandoned command ends quietly.
        RunGuarded([action] { action->trigger(); });
        return true;
    }
    ShowInfo(ModuleFileName() + QStringLiteral("找不到菜单") + QStringLiteral("对应的功能模块"));
    SendHostMessage(MsgCloseActivePageEx(menuActionName));
    return false;
}

}  // namespace mzpy
