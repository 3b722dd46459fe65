#include "app/quantum_yield_commands.h"

#include "app/TMainwin.h"
#include "app/dialog_command.h"
#include "app/dialogs/TEffAbsDia.h"
#include "app/dialogs/TFQDial.h"
#include "app/dialogs/TTiefFQDia.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/peaks.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "tools/quantum_yield.h"

namespace {

constexpr const char* kNoQyText = "no QY with this axis type";
constexpr const char* kNoCalculationText = "no calculation with this axis type";

// The yields are computed in nm and absorbance only.
bool unitsAllowed(const char* refusal) {
    return dialogcmd::unitsAllowed(DisplayXUnit == SpecXNanometer && DisplayYMode == SpecYAbsorbance, refusal);
}

}  // namespace

namespace qycmd {

TFQDial* FQDialog(TMainwin& w) { return w.findChild<TFQDial*>("FQDial"); }
TTiefFQDia* TiefFQDialog(TMainwin& w) { return w.findChild<TTiefFQDia*>("TiefFQDia"); }

void EffectiveAbsorbance1Click(TMainwin& w) {
    if (!w.NeedSpectra() || !unitsAllowed(kNoCalculationText)) return;
    TEffAbsDia dia(&w);
    if (RunModal(dia) != QDialog::Accepted) return;
    w.ReplotSpectra();
    const TBandpass& last = ProgramSettings.Bandpass;
    w.SetStatusText(1, QString::fromStdString(
                           EffectiveAbsorbanceReport(last.BandpassCentre, last.BandpassWidth, last.BandpassResult)));
}

void QuantumYield1Click(TMainwin& w) {
    if (!w.NeedSpectra() || !unitsAllowed(kNoQyText)) return;
    TFQDial* dia = FQDialog(w);
    if (!dia || RunModal(*dia) != QDialog::Accepted) return;
    if (dia->Result1D) {
        dia->Result1D->LineStyle = 0;
        SpectraList.AddWithDefaultColor(std::move(dia->Result1D));
        w.ReplotSpectra();
        w.SetStatusText(1, "1D-FQ displayed");
    } else if (dia->YieldComputed) {
        w.ReplotSpectra();
        w.SetStatusText(1, QString::fromStdString(QuantumYieldReport(ProgramSettings.QYSettings.QuantumYield)));
    }
}

void LowTempQuantumYield1Click(TMainwin& w) {
    if (!w.NeedSpectra() || !unitsAllowed(kNoQyText)) return;
    TTiefFQDia* dia = TiefFQDialog(w);
    if (!dia || RunModal(*dia) != QDialog::Accepted) return;
    w.ReplotSpectra();
    w.SetStatusText(1, "LT-QY was calculated");
}

}  // namespace qycmd

void ConnectQuantumYieldCommands(TMainwin& win) {
    new TFQDial(&win);
    new TTiefFQDia(&win);
    dialogcmd::connectCommands(win, {
        {"EffectiveAbsorbance1", qycmd::EffectiveAbsorbance1Click},
        {"QuantumYield1", qycmd::QuantumYield1Click},
        {"LowTempQuantumYield1", qycmd::LowTempQuantumYield1Click},
    });
}
