#pragma once
// "Constant Arithmetics Y-Axis".
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class TRadioGroup;

class TSimpleDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSimpleDia(QWidget* parent = nullptr);
    QComboBox* Spekbox;
    TRadioGroup* Rechenart;
    QLineEdit* EKonst;
    QCheckBox* konst_zusatz;
    QCheckBox* orig_loesch;
    QCheckBox* CheckBox1;
    QComboBox* ComboBox1;

    void CheckBox1Click();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
