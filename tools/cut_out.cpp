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

const char* CutOutUnitLabel(SpecXUnit displayUnit) { return XUnitPowerSymbol(displayUnit); }

// The limits are kept in nm as the axes dialog converts its range.
double CutOutDisplayToNm(double x, SpecXUnit displayUnit) {
    return ConvertX(x, displayUnit, SpecXNanometer, EvRoute::FromEvViaWavenumber);
}

namespace {
double nmToDisplay(double nm, SpecXUnit displayUnit) {
    return ConvertX(nm, SpecXNanometer, displayUnit, EvRoute::FromEvViaWavenumber);
}
}  // namespace

std::pair<double, double> CutOutShownLimits(const TCutOutParams& params, SpecXUnit displayUnit) {
    const bool wavenumbers = displayUnit == SpecXWavenumber;
    const double from = params.FromNm == -1.0 ? (wavenumbers ? 2500.0 : 350.0) : params.FromNm;
    const double to = params.ToNm == -1.0 ? (wavenumbers ? 25000.0 : 700.0) : params.ToNm;
    return {nmToDisplay(from, displayUnit), nmToDisplay(to, displayUnit)};
}

bool RunCutOut(TSpectraList& list, const TDisplayState& display, TCutOutParams& params, double from,
               double to) {
    const SpecXUnit unit = display.DisplayXUnit;
    // Wavenumbers and energies have no wavelength at or below 0.
    if ((unit == SpecXWavenumber || unit == SpecXElectronVolt) && (from <= 0.0 || to <= 0.0)) {
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
