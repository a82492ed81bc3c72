// Number of herbal doses to decoct ("中药代煎剂数").
#pragma once

#include "host/uBaseDLLForm.h"

#include <memory>

class QPushButton;
class QSpinBox;

namespace mzpy {

class TfrmPY_ZYDJS : public TBaseDLLForm {
    Q_OBJECT
public:
    TfrmPY_ZYDJS(int doses, std::shared_ptr<int> answer);
    // The chosen number, or -1 when cancelled.
    static int Execute(int doses);

    QSpinBox *edtJS;
    QPushButton *btnOK;
    QPushButton *btnCancel;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::shared_ptr<int> m_answer;
    bool m_done = false;
};

}  // namespace mzpy
