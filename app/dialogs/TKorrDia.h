#pragma once
// "Correction of emission/detector sensitivity": spectra divided by a correction curve.
#include "app/dialogs/tool_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class TKorrDia : public TToolDialog {
    Q_OBJECT
public:
    explicit TKorrDia(QWidget* parent = nullptr);
    QComboBox* OriginalSpektren;
    QCheckBox* OriginalLoeschen;
    QCheckBox* AlleKorrigieren;
    QPushButton* LoadButton;
    QLabel* LoadMessage;
    // Whether the last OK corrected anything.
    bool Corrected = false;

    void KorrLaden();
    void AlleKorrigierenClick();

protected:
    void FormActivate() override;
    bool FormCloseOk() override;

private:
    void showCurve();
};
