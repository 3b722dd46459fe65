#include "tools/trans_refl.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"
#include "tools/verrech.h"

bool RunTransRefl(TSpectraList& list, const TDisplayState& display, const TTransReflParams& params) {
    if (!ValidSpectrumIndex(list, params.Sample) || !ValidSpectrumIndex(list, params.Reference) ||
        params.Sample == params.Reference) {
        ui::messageBox(kTransReflChoiceText);
        return false;
    }
    TSpectrumRecord& sample = list[params.Sample];
    TSpectrumRecord& reference = list[params.Reference];
    double from = SpecXValue(sample, 0, display), to = SpecXValue(sample, sample.PointCount() - 1, display);
    std::unique_ptr<TSpectrumRecord> r;
    SpecDivide(r, sample, reference, from, to, display);
    if (!r || r->PointCount() < 2) {
        ui::messageBox(kNoCommonRangeText);
        return false;
    }
    for (double& v : r->Values) v = v <= 1e-6 ? 6.0 : -Log10Ext(v);
    const bool reflectance = params.Mode == 1;
    r->YKind = reflectance ? SpecYReflectance : SpecYTransmittance;
    r->Title = std::string(reflectance ? "Reflectance: " : "Transmittance: ") + sample.Title.str() +
               " / " + reference.Title.str();
    r->Solvent = reference.Solvent.str();
    r->DateText = reference.DateText.str();
    r->ExcitationWl = reference.ExcitationWl;
    r->Temperature = reference.Temperature;
    r->ExposureTime = reference.ExposureTime;
    list.AddWithDefaultColor(std::move(r));
    return true;
}
