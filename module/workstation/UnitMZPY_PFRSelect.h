// Dispenser change before dispensing ("调剂人选择").
#pragma once

#include "host/uBaseDLLForm.h"

#include <memory>

class QComboBox;
class QPushButton;

namespace mzpy {

class TfrmMZPY_PFRSelect : public TBaseDLLForm {
    Q_OBJECT
public:
    struct Input {
        QString currentName, queueNumber, registration, patientId, issuingWindow, dispensingWindow;
    };
    TfrmMZPY_PFRSelect(const Input &input, std::shared_ptr<bool> saved);
    void FormCreate() override;
    // True when a new dispenser was saved.
    static bool Execute(const Input &input);

    QComboBox *cmbTJR;
    QPushButton *btnOK;
    void okClicked();

private:
    Input m_in;
    std::shared_ptr<bool> m_saved;
};

}  // namespace mzpy
