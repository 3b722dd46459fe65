#pragma once
// What a menu command needs of the window it runs in: the status bar, the progress bar, the re-plot,
// the spectra list and display units it works on, the plot and the menu entries. The main window
// implements it; a test runs a command against a small host of its own, without the main window. The
// dialogs and file dialogs a command shows go through the program's one modal runner (RunModal) and
// one file-dialog runner (RunFileDialog), with Window() as their parent.
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

#include "core/display_state.h"

class QAction;
class QWidget;
class TSpectraList;
class TXYPlot;

// What panel 1 says when a command that needs spectra finds none.
inline constexpr const char* kNoSpectrumLoadedText = "No spectrum loaded";
// Copy Plot to Clipboard without a curve.
inline constexpr const char* kEmptyPlotCopiedText = "No spectrum loaded: the empty plot was copied";

// The steps of the one re-plot after the spectra list (or what it is shown in) changed. The defaults
// are the standard re-plot of a command; a command switches on what it adds.
struct TReplotSteps {
    enum class TCurves {
        All,        // every record into its curve: colour, pen style and width, points (records changed)
        CountOnly,  // only the curve count follows the list (records left its end, the rest stands)
        None,       // the curves stay (nothing was read)
    };
    TCurves Curves = TCurves::All;
    const char* CountWord = " Spectra";  // follows the curve count in status panel 0
    bool NewLayout = true;               // the plot's Dirty flag
    bool Progress = false;               // "calculating spectra" in panel 1 while the curves are made
    bool SpectroscopeList = false;       // refill the spectroscope view's list of spectra
    bool AxisTitles = false;             // UpdateAxisTitles after the curves
    bool Autoscale = false;              // the plot's Autoscaling on
    bool RepaintNow = false;             // paint at once instead of at the next event
};

class TCommandHost {
public:
    virtual ~TCommandHost() = default;

    // The window the commands run in: the parent of the dialogs they show and the owner of those that
    // live as long as it.
    virtual QWidget* Window() = 0;
    // The plot the spectra are shown in.
    virtual TXYPlot* XYPlot() const = 0;
    // A menu or tool-bar entry by its object name (nullptr when absent).
    virtual QAction* Action(const std::string& objectName) const = 0;
    // Status bar panel 0 "number of spectra", 1 "Infos", 2 "screen readings".
    virtual QString StatusText(int panel) const = 0;
    // A text the panel has to shorten brings its whole wording as the panel's tool tip; every new text
    // replaces the tip.
    virtual void SetStatusText(int panel, const QString& text, const QString& toolTip = QString()) = 0;
    // The progress bar: shown up to `maximum` at `value`; a negative value hides it.
    virtual void ShowProgress(int value, int maximum) = 0;
    // The spectra the commands work on, and the display units they are shown in.
    virtual TSpectraList& Spectra() = 0;
    virtual TDisplayState Display() const = 0;
    virtual void SetDisplay(const TDisplayState& display) = 0;
    // The one path from "the list changed" to the plot, with the steps a command needs.
    virtual void ReplotSpectra(const TReplotSteps& steps = {}) = 0;
    // The window's colour (0x00BBGGRR), which the plot takes as its background.
    virtual void SetWindowColor(uint32_t color) = 0;

    // Set when the user presses Escape; the range waits give up on it.
    uint8_t AbortRequested = 0;

    // ----- built on the above
    // Whether the plot shows any curve.
    bool HasCurves() const;
    // The same for a command that needs spectra: without a curve panel 1 says kNoSpectrumLoadedText
    // and the command ends.
    bool NeedSpectra();
    // Runs a command guarded, from an empty panel 1: a text that the last command left there does not
    // stay through this one.
    void RunCommand(const std::function<void()>& command);
    // The standard re-plot of a command; `countWord` follows the count in panel 0.
    void StandardReplot(const char* countWord = " Spectra");
    // Every curve again with "  Spektren" in panel 0 and no new layout.
    void ReplotAllSpectra();
    // Axis titles and x directions from the list; when the Raman override changes the x unit, the
    // curves follow it at once.
    void UpdateAxisTitles();
    void PlotSpectrumCurve(int index0);  // list index; curve index0 + 1
    // Every curve that has a record computed again from it (points, axis, legend name); the curve
    // count, colours and status texts stay.
    void PlotSpectrumCurves();
};
