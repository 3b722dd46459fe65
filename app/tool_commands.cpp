#include "app/tool_commands.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>

#include <functional>
#include <vector>

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/TAboutBox.h"
#include "app/dialogs/TAbleitDia.h"
#include "app/dialogs/TAusDia1.h"
#include "app/dialogs/TEEMDia.h"
#include "app/dialogs/TAuswDia.h"
#include "app/dialogs/TInfWin.h"
#include "app/dialogs/TLizenzInfoDia.h"
#include "app/dialogs/TLoeschdia.h"
#include "app/dialogs/TMittelDia.h"
#include "app/dialogs/TPeakDia.h"
#include "app/dialogs/TRamanShiftDia.h"
#include "app/dialogs/TSimpleDia.h"
#include "app/dialogs/TSimpleXDia.h"
#include "app/dialogs/TSpikeDia.h"
#include "app/dialogs/TTransReflDia.h"
#include "app/dialogs/TVerrechDia.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "app/spectroscope_view.h"
#include "core/spectra_list.h"
#include "core/tone_player.h"
#include "core/units.h"
#include "core/wavelength_colours.h"
#include "platform/ui.h"
#include "tools/range_commands.h"
#include "tools/remove_spectra.h"

namespace {

using dialogcmd::connectCommand;
using dialogcmd::dialogCommand;

int waitsRunning = 0;

// Keys such as Backspace and Del belong to an edit field that has the focus.
bool editHasFocus() {
    QWidget* f = QApplication::focusWidget();
    return f && (qobject_cast<QLineEdit*>(f) || qobject_cast<QAbstractSpinBox*>(f) ||
                 qobject_cast<QTextEdit*>(f) || qobject_cast<QPlainTextEdit*>(f));
}

// Commands that would remove spectra, load new ones or start a second wait are off while a wait
// runs; their former state comes back afterwards.
class WaitGuard {
public:
    explicit WaitGuard(TCommandHost& w) {
        ++waitsRunning;
        for (const char* name : {"ffnen1", "PasteDatafromClipboard1", "Allelschen2", "SelectforRemoval1",
                                 "Letztesllschen1", "Grundlinienkorrektur1", "Oszilatorstrke1",
                                 "Werteleser1", "Loadspectrumimage1"}) {
            if (QAction* a = w.Action(name)) {
                actions_.push_back({a, a->isEnabled()});
                a->setEnabled(false);
            }
        }
    }
    ~WaitGuard() {
        --waitsRunning;
        for (auto& [a, on] : actions_)
            if (a) a->setEnabled(on);
    }

private:
    std::vector<std::pair<QPointer<QAction>, bool>> actions_;
};

std::function<bool()> windowAlive(TCommandHost& w) {
    QPointer<QWidget> p(w.Window());
    return [p] { return !p.isNull() && !ShellClosing(); };
}

// Without spectra the y axis goes back to absorbance.
void showAbsorbance(TCommandHost& w) {
    TDisplayState d = w.Display();
    d.DisplayYMode = SpecYAbsorbance;
    w.SetDisplay(d);
}

// After a removal the curves of the records left stand: the count, the titles and a paint at once.
void replotAfterRemoval(TCommandHost& w) {
    TReplotSteps steps;
    steps.Curves = TReplotSteps::TCurves::CountOnly;
    steps.NewLayout = false;
    steps.AxisTitles = true;
    steps.RepaintNow = true;
    w.ReplotSpectra(steps);
}

}  // namespace

namespace toolcmd {

bool WaitRunning() { return waitsRunning > 0; }

void Allelschen2Click(TCommandHost& w) {
    // With nothing loaded the question stands only while Yes would still reset what the plot shows: a
    // second y axis left by a removed ratio spectrum, another y mode, the spectroscope view.
    const QAction* view = w.Action("ShowSpectroscopeView");
    const bool shownState =
        w.XYPlot()->ZweiteYAchse || w.Display().DisplayYMode != SpecYAbsorbance || (view && view->isChecked());
    if (!shownState && !w.NeedSpectra()) return;
    if (ui::messageBox(" all spectra will be removed from display", "Varolux32", ui::Buttons::YesNo,
                       ui::Icon::Question) != ui::Answer::Yes)
        return;
    SpectroscopeViewOff(w);
    RemoveAllSpectra(w.Spectra());
    w.XYPlot()->ZweiteYAchse = false;
    showAbsorbance(w);
    replotAfterRemoval(w);
}

void Letztesllschen1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !RemoveLastSpectrum(w.Spectra())) return;
    w.XYPlot()->ZweiteYAchse = AnySecondAxisSpectrum(w.Spectra());
    if (w.Spectra().Empty()) {
        showAbsorbance(w);
        SpectroscopeViewOff(w);
    }
    replotAfterRemoval(w);
}

namespace {
RangeWaitResult waitForRange(TCommandHost& w, const std::function<void()>& eachPass) {
    TXYPlot& plot = *w.XYPlot();
    plot.ZoomOnDrag = false;
    plot.SelectionDone = false;
    QPointer<TXYPlot> p(&plot);
    QPointer<QWidget> pw(w.Window());
    TCommandHost* host = &w;
    RangeWaitHooks hooks;
    hooks.selectionDone = [p] { return p && p->SelectionDone; };
    hooks.abortRequested = [pw, host] { return pw && host->AbortRequested != 0; };
    hooks.clearAbort = [pw, host] {
        if (pw) host->AbortRequested = 0;
    };
    auto alive = windowAlive(w);
    hooks.windowOpen = [alive, p] { return alive() && p; };
    hooks.eachPass = eachPass;
    return WaitForRange(hooks);
}
}  // namespace

void Grundlinienkorrektur1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    WaitGuard guard(w);
    w.AbortRequested = 0;
    const RangeWaitResult r = waitForRange(w, [&w] { w.SetStatusText(1, "Baseline Correction"); });
    if (r == RangeWaitResult::Closed) return;
    TXYPlot& plot = *w.XYPlot();
    if (r == RangeWaitResult::Selected) {
        BaselineCorrectAll(w.Spectra(), w.Display(), plot.SelectedRange.XFrom, plot.SelectedRange.XTo,
                           [&w](int32_t i, int32_t n) {
                               w.SetStatusText(1, QString("spectrum %1of%2").arg(i).arg(n));
                               w.PlotSpectrumCurve(i - 1);
                           });
        w.PlotSpectrumCurves();
    }
    w.SetStatusText(1, " ");
    plot.ZoomOnDrag = true;
    plot.Dirty = true;
    plot.Repaint();
}

void Oszilatorstrke1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    if (!dialogcmd::unitsAllowed(RangeCommandUnitAllowed(w.Display()), kRangeUnitRefusedText)) return;
    WaitGuard guard(w);
    w.AbortRequested = 0;
    const RangeWaitResult r = waitForRange(w, {});
    if (r == RangeWaitResult::Closed) return;
    TXYPlot& plot = *w.XYPlot();
    if (r == RangeWaitResult::Selected) {
        const double from = plot.SelectedRange.XFrom, to = plot.SelectedRange.XTo;
        TSpectraList& list = w.Spectra();
        for (int32_t i = 0; i < list.Count(); ++i) {
            if (ui::messageBox(IntegrationMessage(w.Display(), list[i], from, to), "Information",
                               ui::Buttons::OkCancel, ui::Icon::Information) == ui::Answer::Cancel)
                break;
        }
    }
    plot.ZoomOnDrag = true;
}

void Werteleser1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    const int k = TAuswDia::Choose(w.Window(), "Select Spectrum!");
    const TSpectrumRecord* rec = w.Spectra().Get(k);
    if (!rec) return;
    // Created on first use and kept with the main window.
    auto* inf = w.Window()->findChild<TInfWin*>("InfWin");
    if (!inf) inf = new TInfWin(w.Window());
    inf->setWindowTitle("Spectrum Values");
    inf->OKButton->show();
    inf->show();
    WaitGuard guard(w);
    QPointer<TInfWin> pi(inf);
    QPointer<TXYPlot> pp(w.XYPlot());
    auto alive = windowAlive(w);
    ReadoutHooks hooks;
    hooks.display = [host = &w] { return host->Display(); };
    hooks.curveCount = [pp] { return pp ? pp->KurvenAnzahl() : 0; };
    hooks.cursorX = [pp] { return pp ? pp->CursorDataPosition.X : 0.0; };
    hooks.stopPressed = [pi] { return !pi || pi->AbortFlag() || !pi->isVisible(); };
    hooks.windowOpen = [alive, pi] { return alive() && pi; };
    hooks.show = [pi](const std::string& caption, const std::string& text) {
        if (!pi) return;
        pi->setWindowTitle(QString::fromStdString(caption));
        pi->SetText(QString::fromStdString(text));
    };
    RunReadoutLoop(w.Spectra(), rec, hooks);
    if (pi) pi->hide();
}

void Schwerpunkt1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    const TDisplayState display = w.Display();
    if (!dialogcmd::unitsAllowed(RangeCommandUnitAllowed(display), kRangeUnitRefusedText)) return;
    const int k = TAuswDia::Choose(w.Window(), "Choose Spectrum for Center of Gravity Calculation!");
    TSpectrumRecord* rec = w.Spectra().Get(k);
    if (!rec) return;
    TXYPlot& plot = *w.XYPlot();
    w.SetStatusText(1, QString::fromStdString(CenterOfGravityText(
                           display, CenterOfGravity(display, *rec, plot.MinXValue, plot.MaxXValue))));
}

void Abspielen1Click(TCommandHost& w) {
    if (!w.NeedSpectra()) return;
    const int k = TAuswDia::Choose(w.Window(), "Choose Spectrum for Playing!");
    const TSpectrumRecord* rec = w.Spectra().Get(k);
    if (!rec) return;
    TBusyCursor busy;
    TXYPlot& plot = *w.XYPlot();
    const TonePlan plan = PlanSpectrumPlayback(*rec, plot.MinXValue, plot.MaxXValue, w.Display());
    if (plan.StartText.empty()) return;
    // The tone player shows its start text in the second panel itself, once a sound device has opened.
    const bool sounded = PlaySpectrum(*rec, plot.MinXValue, plot.MaxXValue, w.Display());
    w.SetStatusText(1, sounded ? "Task accomplished!" : kNoSoundDeviceText);
}

}  // namespace toolcmd

void ConnectToolCommands(TCommandHost& win) {
    TCommandHost* w = &win;
    const char* ops[4] = {"Addition1", "Subtraction1", "Multiplication1", "Division1"};
    for (int code = 0; code < 4; ++code)
        connectCommand(win, ops[code], [w, code] {
            dialogCommand<TVerrechDia>(*w, " Spectra", false, [code](TVerrechDia& d) { d.SetOperation(code); });
        });
    connectCommand(win, "SpectraAveraging1", [w] { dialogCommand<TMittelDia>(*w); });
    connectCommand(win, "YConstants1", [w] { dialogCommand<TSimpleDia>(*w); });
    connectCommand(win, "XConstants1", [w] { dialogCommand<TSimpleXDia>(*w); });
    connectCommand(win, "Derivative1", [w] { dialogCommand<TAbleitDia>(*w, "  Spectra"); });
    connectCommand(win, "TransmittanceReflectance1", [w] { dialogCommand<TTransReflDia>(*w, "  Spektren"); });
    connectCommand(win, "RamanShift1", [w] { dialogCommand<TRamanShiftDia>(*w, "  Spectra", true); });
    connectCommand(win, "CutoffSpectrumPart1", [w] { dialogCommand<TAusDia1>(*w); });
    connectCommand(win, "SpikeRemoval1", [w] { dialogCommand<TSpikeDia>(*w, "  Spectra"); });
    connectCommand(win, "PeaksFWHM1", [w] {
        if (!w->NeedSpectra()) return;
        TPeakDia dia(w->Window());
        dia.SetVisibleRange(w->XYPlot()->MinXValue, w->XYPlot()->MaxXValue);
        RunModal(dia);
    });
    // The colour map of the loaded spectra; it changes none of them, so no re-plot follows.
    connectCommand(win, "ShowEEM1", [w] {
        if (!w->NeedSpectra()) return;
        TEEMDia dia(w->Window(), w->XYPlot()->MinXValue, w->XYPlot()->MaxXValue);
        RunModal(dia);
    });
    connectCommand(win, "SelectforRemoval1", [w] {
        if (editHasFocus()) return;
        dialogCommand<TLoeschdia>(*w, " Spectra", true);
    });
    connectCommand(win, "Allelschen2", [w] {
        if (!editHasFocus()) toolcmd::Allelschen2Click(*w);
    });
    connectCommand(win, "Letztesllschen1", [w] {
        if (!editHasFocus()) toolcmd::Letztesllschen1Click(*w);
    });
    connectCommand(win, "Grundlinienkorrektur1", [w] { toolcmd::Grundlinienkorrektur1Click(*w); });
    connectCommand(win, "Oszilatorstrke1", [w] { toolcmd::Oszilatorstrke1Click(*w); });
    connectCommand(win, "Werteleser1", [w] { toolcmd::Werteleser1Click(*w); });
    connectCommand(win, "Schwerpunkt1", [w] { toolcmd::Schwerpunkt1Click(*w); });
    connectCommand(win, "Abspielen1", [w] { toolcmd::Abspielen1Click(*w); });
    connectCommand(win, "About1", [w] {
        TAboutBox box(w->Window(), {.WavelengthColor = [](double nm) { return WavelengthToColor(nm); },
                          .Tone = [](int hz, int ms) { PlayTone(static_cast<uint16_t>(hz), ms); }});
        RunModal(box);
    });
    connectCommand(win, "LicenceAgreement1", [w] {
        TLizenzInfoDia dia(w->Window());
        RunModal(dia);
    });
}
