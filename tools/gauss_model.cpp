#include "tools/gauss_model.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/date_time.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "tools/gauss_fit_pass.h"

using numtext::FloatFormat;
using numtext::FloatToStrF;

double GaussGroupSum(const TGaussGroup& gr, double X, double cut) {
    if (gr.Width == 0.0) return 0.0;
    const int32_t n = std::clamp(gr.BandCount, 0, kGaussMaxBands);
    // The terms as the fit computes them, so that the fit reproduces a spectrum of the model exactly.
    const double invWidth = 1.0 / gr.Width;
    double sum = 0.0;
    for (int32_t k = 0; k < n; ++k) {
        const double t = (X - (gr.Position + k * gr.Spacing)) * invWidth;
        const double t2 = t * t;
        if (t2 < cut) sum += gr.Amplitudes[static_cast<std::size_t>(k)] * GaussBandExp(-t2);
    }
    return sum;
}

double GaussBandSum(const TGaussModelParams& block, double X, double cut) {
    const int32_t groups = std::clamp(block.GroupCount, 0, kGaussMaxGroups);
    double sum = 0.0;
    for (int32_t g = 0; g < groups; ++g) sum += GaussGroupSum(block.Groups[static_cast<std::size_t>(g)], X, cut);
    return sum;
}

namespace {

// The wavenumber of a display x (x taken as nm unless the display shows 1/cm).
double wavenumberOf(double x, const TDisplayState& display) {
    const SpecXUnit shown = display.DisplayXUnit == SpecXWavenumber ? SpecXWavenumber : SpecXNanometer;
    return ConvertX(x, shown, SpecXWavenumber, EvRoute::Direct);
}

// A fresh record of the model's kind on the grid of the range: 1-nm steps from the short-wavelength
// end (the range values taken as nm when the display shows nm).
std::unique_ptr<TSpectrumRecord> modelRecord(const TGaussModelParams& block, const TDisplayState& display,
                                             int32_t& count) {
    double lo = std::fmin(block.RangeFrom, block.RangeTo), hi = std::fmax(block.RangeFrom, block.RangeTo);
    double first, end;
    if (display.DisplayXUnit == SpecXNanometer) {
        first = lo;
        end = hi;
    } else {
        if (!(lo > 0.0)) throw vx::Error("Fit range: both ends must be greater than 0 and different");
        first = ConvertX(hi, SpecXNanometer, SpecXWavenumber, EvRoute::Direct);
        end = ConvertX(lo, SpecXNanometer, SpecXWavenumber, EvRoute::Direct);
    }
    const double n = std::nearbyint(end - first);
    if (!std::isfinite(first) || !(n <= kGaussMaxModelPoints))
        throw vx::Error("Fit range too wide: the model spectrum would have more than 1000000 points");
    count = static_cast<int32_t>(std::max(0.0, n));

    auto rec = std::make_unique<TSpectrumRecord>();
    rec->SourceKind = SpecSourceGaussModel;
    rec->DateText = DateTimeToText(NowDateTime());
    rec->Concentration = 0.0;
    rec->PathLength = 1.0;
    rec->ExcitationWl = rec->Temperature = rec->ExposureTime = -1.0;
    rec->LineWidth = 1;
    rec->LineStyle = 0;
    rec->XUnit = SpecXNanometer;
    rec->YKind = SpecYAbsorbance;
    rec->FirstX = first;
    rec->StepX = 1.0;
    return rec;
}

template <typename Fn>
void fillValues(TSpectrumRecord& rec, int32_t count, const TDisplayState& display, Fn value) {
    rec.Values.resize(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        rec.Values[static_cast<std::size_t>(i)] = SpecYToStored(rec, value(SpecXValue(rec, i, display)), display);
}

std::string groupTitle(const TGaussGroup& gr) {
    std::string t = "Gauss Pos:" + FloatToStrF(gr.Position, FloatFormat::General, 6, 0) +
                    " Width:" + FloatToStrF(gr.Width, FloatFormat::General, 5, 0);
    const int32_t n = std::clamp(gr.BandCount, 0, kGaussMaxBands);
    for (int32_t k = 0; k < n; ++k)
        t += " Amp[" + std::to_string(k) + "]:" +
             FloatToStrF(gr.Amplitudes[static_cast<std::size_t>(k)], FloatFormat::General, 4, 0);
    return t;
}

}  // namespace

double GaussModelValue(const TGaussModelParams& block, double x, const TDisplayState& display) {
    return GaussBandSum(block, wavenumberOf(x, display));
}

std::unique_ptr<TSpectrumRecord> GaussModelSpectrum(const TGaussModelParams& block,
                                                    const TDisplayState& display) {
    int32_t count = 0;
    auto rec = modelRecord(block, display, count);
    rec->Title = "Gauss Spektrum";
    fillValues(*rec, count, display, [&](double x) { return GaussModelValue(block, x, display); });
    return rec;
}

int32_t GaussListParams(TSpectraList& list, const TGaussModelParams& block, const TDisplayState& display) {
    const int32_t groups = std::clamp(block.GroupCount, 0, kGaussMaxGroups);
    int32_t added = 0;
    for (int32_t g = 0; g < groups; ++g) {
        const TGaussGroup& gr = block.Groups[static_cast<std::size_t>(g)];
        int32_t count = 0;
        auto rec = modelRecord(block, display, count);
        rec->Title = groupTitle(gr);
        fillValues(*rec, count, display,
                   [&](double x) { return GaussGroupSum(gr, wavenumberOf(x, display), kGaussGroupCut); });
        if (!rec->IsComplete()) continue;
        list.AddWithDefaultColor(std::move(rec));
        ++added;
    }
    return added;
}

int32_t DeleteGaussSpectra(TSpectraList& list) {
    int32_t removed = 0;
    for (int32_t i = list.Count() - 1; i >= 0; --i) {
        if (list[i].SourceKind != SpecSourceGaussModel) continue;
        list.Extract(i);
        ++removed;
    }
    return removed;
}

std::vector<TGaussPreviewPoint> GaussPreviewPoints(const TGaussModelParams& block) {
    const double from = std::fmin(block.RangeFrom, block.RangeTo), to = std::fmax(block.RangeFrom, block.RangeTo);
    const double step = (to - from) / (kGaussPreviewPoints - 1);
    std::vector<TGaussPreviewPoint> pts(kGaussPreviewPoints);
    for (int32_t i = 0; i < kGaussPreviewPoints; ++i) {
        const double x = from + i * step;
        pts[static_cast<std::size_t>(i)] = {x, GaussBandSum(block, x)};
    }
    return pts;
}

std::string GaussDialogParamsProblem(const TGaussModelParams& block) {
    if (block.GroupCount < 1 || block.GroupCount > kGaussDialogGroups)
        return "Number of groups of curves must be 1 to 5 (is " + std::to_string(block.GroupCount) + ")";
    return GaussParamsProblem(block);
}
