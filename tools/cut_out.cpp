#include "tools/cut_out.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

const std::vector<std::string>& CutOutTypeTags() {
    static const std::vector<std::string> tags = {
        "ascanis_dsp", "ascii_dat",      "ascii_fak",      "avantes",     "beckman_du",
        "cary50_csv",  "ccd_flasche",    "generic_csv",    "korva_spc",   "jasco_jws",
        "jcamp_dx",    "milton_asc",     "oo_procspec",    "perkinelmer_dx", "perkinelmer_sp",
        "rruff_raman", "spectrawiz",     "usgs_ftir",      "vwr_wls",     "winspec_spe",
        "zeiss_dat"};
    return tags;
}

const char* CutOutUnitLabel(int32_t displayUnit) {
    switch (displayUnit) {
        case SpecXWavenumber: return "cm^-1";
        case SpecXElectronVolt: return "eV";
        case SpecXMicrometer: return "µm";
        default: return "nm";
    }
}

double CutOutDisplayToNm(double x, int32_t displayUnit) {
    switch (displayUnit) {
        case SpecXWavenumber: return SafeRecip(1e7, x);
        case SpecXElectronVolt: return SafeRecip(1e7, x * kWavenumberPerEv);
        case SpecXMicrometer: return x * 1000.0;
        default: return x;
    }
}

namespace {
double nmToDisplay(double nm, int32_t displayUnit) {
    switch (displayUnit) {
        case SpecXWavenumber: return SafeRecip(1e7, nm);
        case SpecXElectronVolt: return SafeRecip(kNmEv, nm);
        case SpecXMicrometer: return nm / 1000.0;
        default: return nm;
    }
}
}  // namespace

std::pair<double, double> CutOutShownLimits(const TCutOutParams& params, int32_t displayUnit) {
    const bool wavenumbers = displayUnit == 2;
    const double from = params.FromNm == -1.0 ? (wavenumbers ? 2500.0 : 350.0) : params.FromNm;
    const double to = params.ToNm == -1.0 ? (wavenumbers ? 25000.0 : 700.0) : params.ToNm;
    return {nmToDisplay(from, displayUnit), nmToDisplay(to, displayUnit)};
}

bool RunCutOut(TSpectraList& list, const TDisplayState& display, TCutOutParams& params, double from,
               double to) {
    const int32_t unit = display.DisplayXUnit;
    // Wavenumbers and energies have no wavelength at or below 0.
    if ((unit == 2 || unit == 3) && (from <= 0.0 || to <= 0.0)) {
        ui::messageBox(kCutOutPositiveText);
        return false;
    }
    params.FromNm = CutOutDisplayToNm(from, unit);
    params.ToNm = CutOutDisplayToNm(to, unit);
    const std::vector<int32_t> sources = ToolSourcesByType(list, params.ByType, params.Tag, params.Spectrum);
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    for (int32_t i : sources) {
        std::unique_ptr<TSpectrumRecord> r;
        double f = from, t = to;
        SpecCutOut(r, list[i], f, t, params.PrefixTitle, display);
        results.push_back(std::move(r));
    }
    const int32_t made = AppendToolResults(list, results, sources, params.RemoveOriginal);
    if (made < static_cast<int32_t>(sources.size())) ui::messageBox(kCutOutMissText);
    return true;
}
