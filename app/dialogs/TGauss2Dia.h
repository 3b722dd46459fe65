#pragma once
// "Gauss type groups of curves": edits the Gauss band-group parameter block and carries the switches
// of the fit. Created once at start-up; it keeps its own copy of the block while it is shown.
#include <array>

#include "app/dialogs/tool_dialog.h"
#include "core/gauss_params.h"
#include "tools/gauss_fit.h"

class QCheckBox;
class QLineEdit;
class QTabWidget;

class TGauss2Dia : public TToolDialog {
    Q_OBJECT
public:
    explicit TGauss2Dia(QWidget* parent = nullptr);

    // The dialog's own block: shown on activation, read back on OK.
    TGaussModelParams Params;
    // "connect amplitudes" of groups 1 to 5 as read on OK.
    std::array<bool, kGaussDialogGroups> ConnectSwitches{};

    QTabWidget* TabbedNotebook1;
    QLineEdit* Kvon;
    QLineEdit* Kbis;
    QLineEdit* KAnz;
    QCheckBox* Kiterate;
    QCheckBox* KNurAmp;
    // Groups 1 to 5 (K1Anz .. K5Anz and so on; the amplitude edits K1A1 .. K5A6).
    std::array<QLineEdit*, kGaussDialogGroups> KnAnz{}, KnPos{}, KnHalb{}, KnVib{};
    std::array<std::array<QLineEdit*, 6>, kGaussDialogGroups> KnA{};
    std::array<QCheckBox*, kGaussDialogGroups> KnAktiv{}, LinkAmp{};

    // The defaults into the program's block.
    void SetDefaultParams();
    // The block into the edits.
    void WriteParams();
    // The edits into the block; a value that is no number or a block that cannot be used raises
    // vx::Error and leaves the block as it was.
    void ReadParams();
    // The fit's switches from the boxes.
    TGaussFitSwitches FitSwitches() const;

protected:
    void FormActivate() override;
    bool FormCloseOk() override;
};
