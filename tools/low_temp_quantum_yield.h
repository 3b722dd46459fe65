#pragma once
// Fluorescence quantum yields of a sample measured at several temperatures (TTiefFQDia): each
// fluorescence spectrum is paired with the absorption spectrum of its temperature from a temperature
// series, the solvent's n² and log(eta) come from temperature curves, and the results are rows of a
// tab-separated table.
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/peaks.h"
#include "core/quantum_yield_settings.h"
#include "core/spectra_list.h"
#include "core/spectrum_record.h"
#include "tools/aux_curve.h"

// Fluorescence spectra are those whose type tag occurs in this text.
inline constexpr const char* kLTFluorescenceTags = "ccdfx ccdfy ccdfg fx fy fg";
bool IsLTFluorescenceSpectrum(const TSpectrumRecord& rec);

inline constexpr const char* kNotFluorescenceText = "selected spectrum is not a fluorescence spectrum!";
inline constexpr const char* kNoPartnerText = "no absorption spectrum with this temperature";
inline constexpr const char* kNoRefractionCurveText = "Refraction index curve not found!\r\nn^2 set to 2,1";
inline constexpr const char* kNoAbsorbanceAtExcitationText =
    "At least one of the selected absorption spectra\r\nhas no absorbance at the excitation wavelength!";
inline constexpr double kDefaultNSquared = 2.1;

// How one Start! runs: with the low-temperature reference value and geometry ("Low Temp.") or the
// room-temperature ones, and over every fluorescence spectrum of the list ("automat.") or the chosen one.
struct TLTQYSwitches {
    bool LowTemp = false;
    bool Automatic = false;
};

// The solvent's curves over the temperature in K (absent ones are null): n² and log(eta).
struct TSolventCurves {
    TSpectrumRecord* Refraction = nullptr;
    TSpectrumRecord* Viscosity = nullptr;
};

// What one Start! adds: lines for the table (headers and rows) and, on the manual tab, the result label.
struct TLTQYRun {
    std::vector<std::string> Lines;
    std::string Label;  // "" when no row was made
    int32_t Rows = 0;
};

// Runs the calculation with the values of `p` (the temperature series runs from p.SeriesRTIndex to
// p.SeriesLowIndex; the manual tab's spectrum is p.FluorescenceIndex). `memoEmpty` tells whether the table holds text already; `headerIndex` is the
// sample spectrum whose header was written last (-1 none) and is updated. Messages go to the user;
// every band-pass applied is recorded in `lastBandpass`.
TLTQYRun RunLowTempQY(TSpectraList& list, const TDisplayState& display, const TLTQYSettings& p,
                      const TLTQYSwitches& run, const TSolventCurves& curves, bool memoEmpty,
                      int32_t& headerIndex, TBandpass& lastBandpass);

// The solvents of the shipped tables: combo item, refraction-index file and viscosity file.
struct TSolventFiles {
    const char* Item;
    const char* Name;  // as the messages name it
    const char* RefractionFile;
    const char* ViscosityFile;
};
inline constexpr TSolventFiles kSolvents[] = {
    {"EtOH ", "EtOH", "etoh.fak", "etoh_log_eta.fak"},
    {"2-Me-THF", "2-Me-THF", "2methf.fak", "2methf_log_eta.fak"},
};

// Loads the curves of solvent `index` after freeing the old ones: the shipped tables beside the
// program for 0 and 1; for a higher index only a refraction-index table, `userTable` when given, else
// `itemText` + ".fak" beside the program. A missing or unreadable file is said in a message and leaves
// that curve absent.
void LoadSolventCurves(int32_t index, const std::string& itemText, const std::string& userTable,
                       const std::string& programFolder, TAuxCurve& refraction, TAuxCurve& viscosity);

// Writes the table lines (CR LF) as Windows-1252 text; the name gets the extension ".txt". Returns the
// name written; raises the file error when it cannot be written (an old file then stays).
std::string SaveLowTempQYTable(const std::string& name, const std::vector<std::string>& lines);
