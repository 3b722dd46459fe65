#pragma once
// "create Raman spectrum...".
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class TRamanShiftDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TRamanShiftDia(QWidget* parent = nullptr);
    QComboBox* Spekbox;
    QLineEdit* ELaserWL;
    QLineEdit* ECutOff;
    QCheckBox* AlleRechnen;
    QCheckBox* OrgLoeschen;

    void AlleRechnenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
