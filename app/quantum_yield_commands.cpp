#include "app/quantum_yield_commands.h"

#include "app/command_host.h"
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
bool unitsAllowed(const TCommandHost& w, const char* refusal) {
    const TDisplayState d = w.Display();
    return dialogcmd::unitsAllowed(d.DisplayXUnit == SpecXNanometer && d.DisplayYMode == SpecYAbsorbance, refusal);
}

}  // namespace

namespace qycmd {

TFQDial* FQDialog(TCommandHost& w) { return w.Window()->findChild<TFQDial*>("FQDial"); }
TTiefFQDia* TiefFQDialog(TCommandHost& w) { return w.Window()->findChild<TTiefFQDia*>("TiefFQDia"); }

void EffectiveAbsorbance1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !unitsAllowed(w, kNoCalculationText)) return;
    TEffAbsDia dia(w.Window());
    if (RunModal(dia) != QDialog::Accepted) return;
    w.ReplotSpectra();
    const TBandpass& last = ProgramSettings.Bandpass;
    w.SetStatusText(1, QString::fromStdString(
                           EffectiveAbsorbanceReport(last.BandpassCentre, last.BandpassWidth, last.BandpassResult)));
}

void QuantumYield1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !unitsAllowed(w, kNoQyText)) return;
    TFQDial* dia = FQDialog(w);
    if (!dia || RunModal(*dia) != QDialog::Accepted) return;
    if (dia->Result1D) {
        dia->Result1D->LineStyle = 0;
        w.Spectra().AddWithDefaultColor(std::move(dia->Result1D));
        w.ReplotSpectra();
        w.SetStatusText(1, "1D-FQ displayed");
    } else if (dia->YieldComputed) {
        w.ReplotSpectra();
        w.SetStatusText(1, QString::fromStdString(QuantumYieldReport(ProgramSettings.QYSettings.QuantumYield)));
    }
}

void LowTempQuantumYield1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !unitsAllowed(w, kNoQyText)) return;
    TTiefFQDia* dia = TiefFQDialog(w);
    if (!dia || RunModal(*dia) != QDialog::Accepted) return;
    w.ReplotSpectra();
    w.SetStatusText(1, "LT-QY was calculated");
}

}  // namespace qycmd

void ConnectQuantumYieldCommands(TCommandHost& win) {
    new TFQDial(win.Window());
    new TTiefFQDia(win.Window());
    dialogcmd::connectCommands(win, {
        {"EffectiveAbsorbance1", qycmd::EffectiveAbsorbance1Click},
        {"QuantumYield1", qycmd::QuantumYield1Click},
        {"LowTempQuantumYield1", qycmd::LowTempQuantumYield1Click},
    });
}
