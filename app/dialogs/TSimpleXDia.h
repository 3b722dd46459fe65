#pragma once
// "Constant Arithmetics X-Axis".
#include "app/dialogs/tool_dialog.h"

class QComboBox;
class QLineEdit;

class TSimpleXDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSimpleXDia(QWidget* parent = nullptr);
    QComboBox* Spekbox;
    QComboBox* OpBox;
    QLineEdit* EKonst;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
