#pragma once
// "Cut off a Part of the Spectrum".
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class TAusDia1 : public TToolDialog {
    Q_OBJECT
public:
    explicit TAusDia1(QWidget* parent = nullptr);
    QComboBox* Spekbox;
    QLineEdit* Evon;
    QLineEdit* Ebis;
    QLabel* EinheitVon;
    QLabel* EinheitBis;
    QCheckBox* ausschn_zusatz;
    QCheckBox* orig_loesch;
    QCheckBox* CheckBox1;
    QComboBox* ComboBox1;

    void CheckBox1Click();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
