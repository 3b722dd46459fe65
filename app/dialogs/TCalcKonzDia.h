#pragma once
// "Calculation of Concentration": Beer-Lambert from the absorbance at a chosen wavelength; the
// concentration and path length are stored in the spectrum at once.
#include "app/dialogs/tool_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class TCalcKonzDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TCalcKonzDia(QWidget* parent = nullptr);

    QComboBox* Cs1;
    QLineEdit* Cext;
    QLineEdit* Clamba;
    QLineEdit* Cschicht;
    QLineEdit* Ckonz;
    QPushButton* BRechenen;
    QPushButton* BPeak;

    void ShowSpecValues();
    void BRechenenClick();
    void BPeakClick();

protected:
    void FormActivate() override;
};
