#pragma once
// "derivative of spectrum/ spectra".
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;

class TAbleitDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TAbleitDia(QWidget* parent = nullptr);
    QComboBox* Spekbox;
    QComboBox* AblOrdnung;
    QCheckBox* glaetten;
    QCheckBox* AlleAbleiten;
    QCheckBox* OrgLoeschen;

    void AlleAbleitenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
