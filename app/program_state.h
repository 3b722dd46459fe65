#pragma once
// The program's own state, held once, here: the spectra list the main window shows, the plot's display
// units and axis-title switches, the Gauss band-group block and the program's settings. The readers,
// writers, tools and the routines of core take the list, a TDisplayState and the settings group they
// use as parameters; only app/ passes these in.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/gauss_params.h"
#include "core/peaks.h"
#include "core/program_settings.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/spectrum_record.h"
#include "core/units.h"
#include "formats/reader_context.h"
#include "tools/options_store.h"

#ifdef VX_NO_PROGRAM_STATE
#error "core/, formats/, tools/ and the plot controls work on the list and display units they are given"
#endif

// Every loaded spectrum: list item n is curve n+1 of the plot and item n of every spectrum combo box.
extern TSpectraList SpectraList;

// The plot's display units: x nm, 1/cm, eV or µm; y transmittance, absorbance, molar absorption
// coefficient or its logarithm (intensity and reflectance as stored kinds).
extern SpecXUnit DisplayXUnit;
extern SpecYKind DisplayYMode;

// The axis-title switches of the options.
extern uint8_t ShowXTitle;
extern uint8_t CustomXTitleOn;
extern std::string CustomXTitle;
extern uint8_t ShowYTitle;
extern uint8_t CustomYTitleOn;
extern std::string CustomYTitle;

// The program's one Gauss block (starts as the defaults).
extern TGaussModelParams GaussModelParams;

// The settings the program keeps for the whole run, each group under its own name.
struct TProgramSettings {
    // Working folders, each ending with "/" once set.
    std::string ProgramFolder;
    std::string OpenFolder;
    std::string SaveFolder;
    std::string LampFolder;
    std::string CorrectionFolder;

    // "Stepwidth of X Axis Values" of the options (0, 1 or 2), read by the text writers.
    int32_t AsciiXStepChoice = 1;
    // Set only while the Open command creates the curves of one own-format file, so that the new curves
    // take colour, pen style and width from their records.
    uint8_t CurveAppearanceRestore = 0;

    TGnuplotSettings GnuplotSettings;
    TMultiSave MultiSaveSettings;
    TPeakLabelSettings PeakLabelSettings;

    // The parameter groups of the processing dialogs.
    TExcitationSpectraSettings ExcitationSpectraSettings;
    TCutOutSettings CutOutSettings;
    TSpikeSettings SpikeSettings;
    TYConstSettings YConstSettings;
    TDerivativeSettings DerivativeSettings;
    TRamanShiftSettings RamanShiftSettings;
    TScatterDialogSettings ScatterDialogSettings;
    TAdvSmoothSettings AdvSmoothSettings;
    TAdvBaselineSettings AdvBaselineSettings;
    TFilmThicknessSettings FilmThicknessSettings;
    TQYSettings QYSettings;
    TLTQYSettings LTQYSettings;

    // Kept from the start of the run, not preset by the main window.
    TBandpass Bandpass;  // the last band-pass any tool applied
    TAxisQueryChoice AxisQueryChoice;  // what the axis query of headerless text files showed last
    // The instance switch: 1 lets several instances run side by side. Starts at 1; the options set it.
    uint8_t InstanceSwitch = 1;
    // The numbers of the options as last applied.
    options::OptionNumbers AppliedOptionNumbers;
};
extern TProgramSettings ProgramSettings;

// Presets the main window's settings (all but the last group above) to their start values;
// `programFolder` ends with "/". OpenFolder is cleared (the options or the first Open set it).
void SetDefaultSettings(const std::string& programFolder);

// The program's display units as a value, and back.
inline TDisplayState CurrentDisplayState() { return {DisplayXUnit, DisplayYMode}; }
void SetDisplayState(const TDisplayState& display);

// The start of the display state: nm, absorbance, both axis titles on, no own titles.
void SetDefaultDisplay();

// The point accessors of core/units.h in the program's display units.
inline double SpecXValue(const TSpectrumRecord& rec, int32_t i) { return SpecXValue(rec, i, CurrentDisplayState()); }
inline int32_t SpecIndexOfX(const TSpectrumRecord& rec, double x) {
    return SpecIndexOfX(rec, x, CurrentDisplayState());
}
inline double SpecYValue(const TSpectrumRecord& rec, int32_t i) { return SpecYValue(rec, i, CurrentDisplayState()); }
inline double SpecYToStored(TSpectrumRecord& rec, double y) { return SpecYToStored(rec, y, CurrentDisplayState()); }
inline double SpecYAtX(TSpectrumRecord& rec, double x) { return SpecYAtX(rec, x, CurrentDisplayState()); }
