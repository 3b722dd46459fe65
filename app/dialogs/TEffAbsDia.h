#pragma once
// "Effective Absorbance": the absorbance of one spectrum seen through a triangular excitation band,
// kept as the sample or reference absorbance of the quantum-yield settings.
#include "app/dialogs/tool_dialog.h"

class QRadioButton;

class TEffAbsDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TEffAbsDia(QWidget* parent = nullptr);
    QComboBox* FAbsSpektrum;
    QLineEdit* FLMax;
    QLineEdit* FBandBreite;
    QRadioButton* Fprob;
    QRadioButton* Fref;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
