// Function rights: the host decides per user which controls of each form
// may be seen or used; applied by component name when a form is created.
#pragma once

#include <QList>
#include <QString>

class QWidget;
struct HisHostParamSet;

namespace mzpy {

struct TgtGNMKKJ {
    QString formClassName;
    QString controlName;
    QString texts[4];
    bool visible = true;
    bool enabled = true;
};

// Rows of the rights table for a form class (letter case ignored), in table order.
QList<TgtGNMKKJ> RightsOfFormClass(const HisHostParamSet *set, const QString &formClassName);
// Applies the rows of the form's class to its components.
void ApplyFunctionRights(QWidget *form);
// Same with an explicit class name (frames, tests).
void ApplyFunctionRights(QWidget *form, const QString &formClassName);

}  // namespace mzpy
