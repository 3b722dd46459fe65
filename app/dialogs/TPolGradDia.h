#pragma once
// "Calculation of Polarization/ reduced Spectrum".
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

class TPolGradDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TPolGradDia(QWidget* parent = nullptr);
    QComboBox* ParSpek;
    QComboBox* SenkSpek;
    QRadioButton* wGesamtspektrum;
    QRadioButton* wPolarisationsgrad;
    QCheckBox* CheckBox1;

    void CheckBox1Click();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
