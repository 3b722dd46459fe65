#pragma once
// Cutting an x range out of one spectrum or of all spectra of one type.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TCutOutParams {
    double FromNm = -1.0;  // -1: not set
    double ToNm = -1.0;
    bool PrefixTitle = false;
    bool RemoveOriginal = true;
    int32_t Spectrum = 0;
    bool ByType = false;
    std::string Tag;
};

inline constexpr const char* kCutOutPositiveText =
    "The limits must be greater than 0 for this x axis type!";

const std::vector<std::string>& CutOutTypeTags();
// "nm", "cm^-1", "eV" or "µm".
const char* CutOutUnitLabel(SpecXUnit displayUnit);
// A limit as typed in display units, in nm (energies through their wavenumber), and back.
double CutOutDisplayToNm(double x, SpecXUnit displayUnit);
// The limits shown at activation, in display units (defaults when not set).
std::pair<double, double> CutOutShownLimits(const TCutOutParams& params, SpecXUnit displayUnit);

// from, to in display units. Keeps them in params (in nm) and appends the cut-out parts; false (and a
// message) when refused.
bool RunCutOut(TSpectraList& list, const TDisplayState& display, TCutOutParams& params, double from,
               double to);

inline constexpr const char* kCutOutMissText =
    "The range holds fewer than two points of the spectrum: nothing was cut out!";
