#include "tools/concentration.h"

#include <cmath>
#include <vector>

#include "core/helpers.h"
#include "core/peaks.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

using numtext::FloatFormat;
using numtext::FloatToStrF;

TConcentrationTexts ConcentrationTextsOf(const TSpectrumRecord& rec) {
    TConcentrationTexts t;
    t.Ckonz = FloatToStrF(rec.Concentration, FloatFormat::General, 4, 2);
    t.Cschicht = FloatToStrF(rec.PathLength, FloatFormat::General, 3, 2);
    return t;
}

bool CalculateConcentration(TSpectraList& list, const TDisplayState& display, int32_t spectrum,
                            TConcentrationTexts& texts) {
    TSpectrumRecord* rec = list.Get(spectrum);
    if (!rec) return false;
    const double d = DialogFloat(texts.Cschicht);
    const double eps = DialogFloat(texts.Cext);
    const double lambda = DialogFloat(texts.Clamba);
    if (!(d > 0.0)) {
        ui::messageBox(kPathLengthNotPositiveText);
        return false;
    }
    rec->PathLength = d;
    if (eps == 0.0) return false;
    const double y = SpecYAtX(*rec, lambda, display);
    long double a = y;
    if (display.DisplayYMode == SpecYTransmittance) a = y > 0.0 ? -Log10Real(y) : 0.0L;
    const long double c = a / (static_cast<long double>(eps) * d);
    const double stored = static_cast<double>(c);
    if (!std::isfinite(stored)) throw vx::FloatError("Floating point overflow");
    rec->Concentration = stored;
    rec->ConcTimesPath = rec->Concentration * rec->PathLength;
    texts.Ckonz = FloatToStrF(stored, FloatFormat::General, 5, 3);
    return true;
}

std::optional<std::string> InsertPeakText(const TSpectraList& list, const TDisplayState& display, int32_t spectrum) {
    if (!ValidSpectrumIndex(list, spectrum)) return std::nullopt;
    const TSpectrumRecord& rec = list[spectrum];
    const int32_t n = rec.PointCount();
    if (n < 2) return std::nullopt;
    std::vector<int32_t> peaks;
    FindPeaksAbs(rec, 0, peaks, SpecXValue(rec, 1, display), SpecXValue(rec, n - 1, display), 10.0, display);
    if (peaks.empty()) return std::nullopt;
    std::vector<double> heights, indices;
    for (int32_t i : peaks) {
        heights.push_back(SpecYValue(rec, i, display));
        indices.push_back(i);
    }
    HeapSortDoublesWith(heights, indices);
    const double chosen = display.DisplayYMode == SpecYTransmittance ? indices.front() : indices.back();
    return FloatToStrF(SpecXValue(rec, static_cast<int32_t>(chosen), display), FloatFormat::General, 5, 2);
}
