#pragma once
// "Remove Spikes". With all spectra treated, the progress and a status text go through the ui layer.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;

class TSpikeDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TSpikeDia(QWidget* parent = nullptr);
    QComboBox* Spekbox;
    QCheckBox* OriginalLoeschen;
    QCheckBox* AlleKorrigieren;
    QCheckBox* EntspikenUmgedreht;
    QCheckBox* Legende_ander;

    void AlleKorrigierenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
