#include "app/fluor_commands.h"

#include <QCheckBox>

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/TErregSpekDia.h"
#include "app/dialogs/TKorrDia.h"
#include "app/dialogs/TMatrixDia.h"
#include "app/dialogs/TPolGradDia.h"
#include "app/dialogs/TRemoveStrayDia.h"
#include "app/dialogs/TSchichtdickeDia.h"
#include "app/dialogs/TSetExWlDia.h"
#include "app/dialogs/TSubtractEEMDia.h"
#include "app/plot/Xygraph.h"
#include "core/spectra_list.h"
#include "tools/excitation_series.h"

using dialogcmd::dialogCommand;

namespace {

// The excitation series commands need an excitation wavelength on every spectrum.
bool allExcited(const TSpectraList& list) {
    if (list.Empty()) return false;
    for (const auto& r : list)
        if (!(r->ExcitationWl > 0.0)) return false;
    return true;
}

}  // namespace

namespace fluorcmd {

TSchichtdickeDia* FilmDialog(TCommandHost& w) { return w.Window()->findChild<TSchichtdickeDia*>("SchichtdickeDia"); }

void EmissionSensitivityCorrection1Click(TCommandHost& w) { dialogCommand<TKorrDia>(w, " Spectra"); }

void ExcitationWavelengthAssignment1Click(TCommandHost& w) { dialogCommand<TSetExWlDia>(w, "  Spektren"); }

void RemoveScatter1Click(TCommandHost& w) { dialogCommand<TRemoveStrayDia>(w, "  Spectra", true); }

void SubtractBlankEEM1Click(TCommandHost& w) { dialogCommand<TSubtractEEMDia>(w, "  Spektren"); }

void DegreeofPolarisation1Click(TCommandHost& w) { dialogCommand<TPolGradDia>(w, " Spectra"); }

void CorrectionofExcitationIntensity1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !allExcited(w.Spectra())) return;
    TMatrixDia dia(w.Window());
    if (RunModal(dia) != QDialog::Accepted) return;
    if (dia.Results.empty()) {
        w.SetStatusText(1, "failed");
        return;
    }
    ReplaceByCorrected(w.Spectra(), dia.Results);
    w.StandardReplot(" Spectra");
    w.SetStatusText(1, kIntensityCorrectedText);
}

void CalculateExcitationSpectra1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !allExcited(w.Spectra())) return;
    TErregSpekDia dia(w.Window());
    if (RunModal(dia) != QDialog::Accepted) return;
    if (dia.Results.empty()) {
        w.SetStatusText(1, "failed");
        return;
    }
    const std::string status =
        StoreExcitationSpectra(w.Spectra(), dia.Results, dia.FluospekLoeschBox->isChecked());
    w.StandardReplot(" Spectra");
    w.SetStatusText(1, QString::fromStdString(status));
}

void FilmThickness1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    TSchichtdickeDia* dia = FilmDialog(w);
    if (!dia) return;
    TXYPlot* plot = w.XYPlot();
    dia->PlotRange = [plot] { return std::pair<double, double>(plot->MinXValue, plot->MaxXValue); };
    RunModal(*dia);
}

}  // namespace fluorcmd

void ConnectFluorCommands(TCommandHost& win) {
    new TSchichtdickeDia(win.Window());
    dialogcmd::connectCommands(win, {
        {"EmissionSensitivityCorrection1", fluorcmd::EmissionSensitivityCorrection1Click},
        {"ExcitationWavelengthAssignment1", fluorcmd::ExcitationWavelengthAssignment1Click},
        {"CorrectionofExcitationIntensity1", fluorcmd::CorrectionofExcitationIntensity1Click},
        {"RemoveScatter1", fluorcmd::RemoveScatter1Click},
        {"SubtractBlankEEM1", fluorcmd::SubtractBlankEEM1Click},
        {"CalculateExcitationSpectra1", fluorcmd::CalculateExcitationSpectra1Click},
        {"FilmThickness1", fluorcmd::FilmThickness1Click},
        {"DegreeofPolarisation1", fluorcmd::DegreeofPolarisation1Click},
    });
}
