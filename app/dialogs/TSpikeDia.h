#pragma once
// "Remove Spikes".
#include <functional>

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

    // The main window's progress bar: shown with a maximum, set to a value, hidden (-1).
    static std::function<void(int value, int maximum)> Progress;
    // The main window's second status panel.
    static std::function<void(const QString&)> Status;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
