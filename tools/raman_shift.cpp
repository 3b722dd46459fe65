#include "tools/raman_shift.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

void ReadRamanInputs(TRamanParams& params, const std::string& cutOffText, std::string& laserText) {
    std::string cut = cutOffText;
    const double c = DialogFloat(cut);
    if (!std::isfinite(c) || std::fabs(c) > 1e9) throw vx::FloatError("Floating point overflow");
    params.CutOff = std::max<int32_t>(10, static_cast<int32_t>(std::fabs(std::nearbyint(c))));
    std::replace(laserText.begin(), laserText.end(), ',', '.');
    params.LaserNm = DialogFloat(laserText);
}

bool RamanQualifies(const TSpectraList& list, int32_t index) {
    if (!ValidSpectrumIndex(list, index)) return false;
    const TSpectrumRecord* r = &list[index];
    return r && r->PointCount() >= 3 && r->XUnit == SpecXNanometer &&
           (r->YKind == SpecYAbsorbance || r->YKind == SpecYIntensity);
}

int32_t RunRamanShift(TSpectraList& list, const TDisplayState& display, const TRamanParams& params) {
    std::vector<int32_t> sources;
    bool refused = false;
    if (params.AllSpectra) {
        for (int32_t i = 0; i < list.Count(); ++i) {
            if (RamanQualifies(list, i)) sources.push_back(i);
            else refused = true;
        }
    } else if (ValidSpectrumIndex(list, params.Spectrum)) {
        if (RamanQualifies(list, params.Spectrum)) sources.push_back(params.Spectrum);
        else refused = true;
    }
    if (refused) ui::messageBox(kRamanOnlyText);
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    std::optional<std::string> failure;
    // The conversion reads the source's x as wavelengths.
    TDisplayState nm = display;
    nm.DisplayXUnit = SpecXNanometer;
    for (int32_t i : sources) {
        std::unique_ptr<TSpectrumRecord> r;
        try {
            SpecRamanShift(r, list[i], params.CutOff, params.LaserNm, nm);
        } catch (const vx::Error& e) {
            // A laser wavelength of 0 or a cut-off beyond the spectrum: no record, one message.
            if (!failure) failure = e.what();
        }
        results.push_back(std::move(r));
    }
    if (failure) ui::messageBox(*failure);
    return AppendToolResults(list, results, sources, params.RemoveOriginal);
}
