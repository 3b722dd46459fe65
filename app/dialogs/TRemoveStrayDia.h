#pragma once
// "Remove scatter peaks from fluorescence": Rayleigh lines and the solvent's Raman band.
#include "app/dialogs/tool_dialog.h"
#include "tools/raman_bands.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class TRadioGroup;

class TRemoveStrayDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TRemoveStrayDia(QWidget* parent = nullptr);
    QComboBox* SpekBox;
    QCheckBox* AlleRechnen;
    QCheckBox* OrgLoeschen;
    QCheckBox* CRayleigh1;
    QCheckBox* CRayleigh2;
    QCheckBox* CRaman;
    QComboBox* CRamanSolvent;
    TRadioGroup* RInterp_type;
    QLineEdit* ERayleigh1;

    void AlleRechnenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    TRamanBandTable bands_;
};
