#include "app/gauss_commands.h"

#include <QAction>
#include <QCheckBox>
#include <QPointer>

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/TGauss2Dia.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/gauss_params_file.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tools/gauss_fit.h"
#include "tools/gauss_model.h"

namespace {

constexpr const char* kAxisRefused = "Gaussfit not possible with this axis type";
constexpr const char* kFilter = "Gauss spectra (*.gss)|*.gss";

std::function<void()>& stepObserver() {
    static std::function<void()> observer;
    return observer;
}

bool unitsAllowed(const TCommandHost& w) {
    const TDisplayState d = w.Display();
    return dialogcmd::unitsAllowed(d.DisplayXUnit == SpecXWavenumber && d.DisplayYMode == SpecYAbsorbance,
                                   kAxisRefused);
}

std::string fileDialog(TCommandHost& w, bool save) {
    // The overwrite question comes after the extension is forced.
    return ChooseFile(w.Window(), {.Mode = save ? TFileDialogSpec::TMode::Save : TFileDialogSpec::TMode::OpenOne,
                           .ObjectName = save ? "SaveGauss" : "OpenGauss",
                           .Title = save ? "Save Gauss spectra" : "Open Gauss spectra",
                           .Start = QString::fromStdString(ProgramSettings.OpenFolder),
                           .Filters = QtNameFilters(kFilter)});
}

// The model spectrum and one spectrum per group, from the program's block.
void addModelSpectra(TCommandHost& w) {
    const TDisplayState display = w.Display();
    auto rec = GaussModelSpectrum(GaussModelParams, display);
    if (rec->IsComplete()) {
        rec->LineStyle = 0;
        w.Spectra().AddWithDefaultColor(std::move(rec));
    } else {
        ui::messageBox("The fit range gives fewer than two points: no Gauss spectrum was added");
    }
    GaussListParams(w.Spectra(), GaussModelParams, display);
}

// The fit of the program's block to spectrum 0, with the preview curve after the spectra's curves.
// The user's input waits while it runs; closing the program ends it.
void runFit(TCommandHost& w, const TGaussFitSwitches& switches) {
    TXYPlot& plot = *w.XYPlot();
    QPointer<TXYPlot> alive(&plot);
    int curve = 0;
    TGaussFitHooks hooks;
    hooks.addPreview = [&] {
        plot.AddCurve();
        curve = plot.KurvenAnzahl();
    };
    hooks.removePreview = [&] {
        if (alive && curve >= 1 && curve <= alive->KurvenAnzahl()) alive->DeleteCurve(curve);
        if (alive) alive->Repaint();
    };
    hooks.stageLegend = [&](const std::string& legend) { plot.SetCurveName(curve, QString::fromStdString(legend)); };
    hooks.preview = [&](const TGaussModelParams& block) { GaussModelPreview(plot, curve, block); };
    TUserInputBlock* inputBlock = nullptr;
    hooks.processMessages = [&] {
        inputBlock->ProcessEvents();
        if (ShellClosing() || !alive) throw vx::Cancelled();
        if (stepObserver()) stepObserver()();
    };
    std::string refused;
    {
        TUserInputBlock block;
        inputBlock = &block;
        TBusyCursor busy;
        try {
            GaussFitIterate(w.Spectra()[0], GaussModelParams, switches, w.Display(), hooks);
        } catch (const vx::Cancelled&) {
            throw;
        } catch (const vx::Error& e) {
            refused = e.what();
        }
    }
    // A fit that cannot start (no data in the range) leaves the block as it was; the model of the
    // start values is shown all the same.
    if (!refused.empty()) ShowErrorBox(refused);
}

void replotWithModel(TCommandHost& w) {
    TReplotSteps steps;
    steps.CountWord = "  Spektren";
    w.ReplotSpectra(steps);
}

}  // namespace

void GaussModelPreview(TXYPlot& plot, int n, const TGaussModelParams& block) {
    const auto pts = GaussPreviewPoints(block);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        plot.SetCurvePoint(n, 1, pts[i].x, static_cast<int>(i));
        plot.SetCurvePoint(n, 2, pts[i].y, static_cast<int>(i));
    }
    plot.Repaint();
}

namespace gausscmd {

TGauss2Dia* Dialog(TCommandHost& w) { return w.Window()->findChild<TGauss2Dia*>("Gauss2Dia"); }

void SetFitStepObserver(std::function<void()> observer) { stepObserver() = std::move(observer); }

void GaussManually1Click(TCommandHost& w) {
    if (!w.NeedSpectra() || !unitsAllowed(w)) return;
    bool measured = false;
    for (const auto& rec : w.Spectra()) measured = measured || rec->SourceKind != SpecSourceGaussModel;
    if (!measured) return;
    TGauss2Dia* dia = Dialog(w);
    if (!dia) return;
    dia->Params = GaussModelParams;
    if (RunModal(*dia) != QDialog::Accepted) return;
    DeleteGaussSpectra(w.Spectra());
    GaussModelParams = dia->Params;
    if (dia->Kiterate->isChecked()) {
        // The curves follow the list first, so that no curve of a removed model stays beside the
        // preview.
        replotWithModel(w);
        runFit(w, dia->FitSwitches());
    }
    addModelSpectra(w);
    replotWithModel(w);
}

void GaussOpen1Click(TCommandHost& w) {
    // A parameter file needs no spectrum: its model is built and listed on its own.
    if (!unitsAllowed(w)) return;
    const std::string name = fileDialog(w, false);
    bool loaded = false;
    if (!name.empty()) {
        try {
            loaded = LoadGaussParams(name, GaussModelParams);
        } catch (const vx::Error& e) {
            ShowErrorBox(e.what());
        }
    }
    if (loaded) {
        DeleteGaussSpectra(w.Spectra());
        addModelSpectra(w);
        replotWithModel(w);
    }
    w.XYPlot()->Dirty = true;
    w.XYPlot()->Repaint();
}

void GaussSave1Click(TCommandHost& w) {
    std::string name = fileDialog(w, true);
    if (name.empty()) return;
    name = ChangeFileExt(name, ".gss");
    if (!ConfirmReplaceFile(name)) return;
    SaveGaussParams(name, GaussModelParams);
}

}  // namespace gausscmd

void ConnectGaussCommands(TCommandHost& win) {
    new TGauss2Dia(win.Window());
    dialogcmd::connectCommands(win, {
        {"GaussManually1", gausscmd::GaussManually1Click},
        {"GaussOpen1", gausscmd::GaussOpen1Click},
        {"GaussSave1", gausscmd::GaussSave1Click},
    });
}
