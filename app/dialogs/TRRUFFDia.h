#pragma once
// "Choose spectrum to save as RRUFF file": one spectrum with the four header entries of an RRUFF
// file, preset from the spectrum's own RRUFF header where it has one.
#include <string>

#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class TRRUFFDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TRRUFFDia(QWidget* parent = nullptr);

    QComboBox* SpekBox;
    QLineEdit* EName;
    QLineEdit* ELocality;
    QLineEdit* ESample;
    QLineEdit* EChemistry;
    QCheckBox* CCopyValues;
    QLabel* TTextfeld;

    void PresetFields();
    void Update_Fields();
    void SaveButtonClick();
    void HelpClick();

protected:
    void FormActivate() override;
};
