#pragma once
// "Assign Excitation Wavelengths": equidistant excitation wavelengths for a range of spectra.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class TSetExWlDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSetExWlDia(QWidget* parent = nullptr);
    QComboBox* SpekbereichAnfang;
    QComboBox* SpekbereichEnde;
    QLineEdit* EExWlAnfang;
    QLabel* LExWlEnd;
    QLineEdit* EStepWidth;
    QCheckBox* CheckBox1;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    void startOrStepEdited();
    void firstChanged();
    void lastChanged();
    bool filling_ = false;
    int32_t step_ = 0;
};
