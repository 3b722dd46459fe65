#include "tools/spectrum_properties.h"

#include <algorithm>

#include "core/helpers.h"
#include "platform/numtext.h"

namespace properties {
namespace {

double optionalNumber(const std::string& text) {
    auto v = numtext::TryStrToFloat(DotsToDecimalSeparator(text));
    return v ? *v : -1.0;
}

}  // namespace

PropertyTexts TextsOfRecord(const TSpectrumRecord& rec) {
    PropertyTexts t;
    t.concentration = ConcentrationText(rec.Concentration);
    t.pathLength = numtext::FloatToStr(rec.PathLength);
    if (rec.Temperature > 0) t.temperature = numtext::FloatToStr(rec.Temperature);
    if (rec.ExcitationWl > 1e-6) t.excitation = numtext::FloatToStr(rec.ExcitationWl);
    t.legend = rec.Title.str();
    return t;
}

void StoreTexts(TSpectrumRecord& rec, const PropertyTexts& t) {
    const double conc = numtext::StrToFloat(DotsToDecimalSeparator(t.concentration));
    const double path = numtext::StrToFloat(DotsToDecimalSeparator(t.pathLength));
    rec.Concentration = conc;
    rec.PathLength = path;
    rec.Title = t.legend;
    rec.Temperature = optionalNumber(t.temperature);
    rec.ExcitationWl = optionalNumber(t.excitation);
}

int LineTypeItem(const TSpectrumRecord& rec) { return std::clamp<int>(rec.LineStyle, 0, 2); }
int LineWidthItem(const TSpectrumRecord& rec) { return std::clamp(rec.LineWidth - 1, 0, 6); }

std::optional<double> ConcentrationFromWeighing(double mw, double mg, double ml) {
    if (!(mw > 0 && mg > 0 && ml > 0)) return std::nullopt;
    return (mg / 1000.0) / mw / (ml / 1000.0);
}

std::optional<double> ConcentrationFromTexts(const std::string& mw, const std::string& mg,
                                             const std::string& ml) {
    return ConcentrationFromWeighing(numtext::StrToFloat(DotsToDecimalSeparator(mw)),
                                     numtext::StrToFloat(DotsToDecimalSeparator(mg)),
                                     numtext::StrToFloat(DotsToDecimalSeparator(ml)));
}

std::string ConcentrationText(double c) {
    return numtext::FloatToStrF(c, numtext::FloatFormat::General, 4, 0);
}

void ResetDefaultLines(TSpectraList& list) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        auto& r = list[i];
        r.LineStyle = 0;
        r.LineWidth = 1;
        r.Color = CurveColor(i + 1);
    }
}

}  // namespace properties
