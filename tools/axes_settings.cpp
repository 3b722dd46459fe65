#include "tools/axes_settings.h"

#include <cmath>

#include "core/helpers.h"
#include "core/units.h"
#include "platform/numtext.h"

namespace axes {
namespace {

// The "Axis Type" items in their order.
constexpr SpecXUnit kItemUnits[] = {SpecXNanometer, SpecXMicrometer, SpecXWavenumber, SpecXElectronVolt};
// The y items in their order.
constexpr SpecYKind kItemModes[] = {SpecYTransmittance, SpecYAbsorbance, SpecYEpsilon, SpecYLogEpsilon};

}  // namespace

SpecXUnit UnitOfItem(int item) { return item >= 1 && item <= 3 ? kItemUnits[item] : SpecXNanometer; }

int ItemOfUnit(SpecXUnit unit) {
    for (int item = 1; item <= 3; ++item)
        if (kItemUnits[item] == unit) return item;
    return 0;
}

SpecYKind YModeOfItem(int item) { return item >= 0 && item <= 3 ? kItemModes[item] : SpecYAbsorbance; }

int YItemOfMode(SpecYKind mode) {
    for (int item = 0; item <= 3; ++item)
        if (kItemModes[item] == mode) return item;
    if (mode == SpecYReflectance) return 0;
    return 1;
}

bool FromIsLower(SpecXUnit unit) { return unit == SpecXNanometer || unit == SpecXMicrometer; }

std::string BoxCaption(SpecXUnit unit, bool afterTypeChange) {
    return std::string(afterTypeChange ? "Grenzen [" : "Boundaries [") + XUnitSymbol(unit) + "]";
}

Bounds ConvertBounds(Bounds b, SpecXUnit from, SpecXUnit to) {
    if (from == to) return b;
    const auto convert = [&](double x) { return ConvertX(x, from, to, EvRoute::FromEvViaWavenumber); };
    // Between a wavelength and a wavenumber or an energy the order of the ends turns round.
    if (FromIsLower(from) != FromIsLower(to)) return Bounds{convert(b.upper), convert(b.lower)};
    return Bounds{convert(b.lower), convert(b.upper)};
}

std::pair<std::string, std::string> BoundTexts(Bounds b, SpecXUnit unit, bool afterTypeChange) {
    auto text = [&](double v) -> std::string {
        if (!afterTypeChange) return numtext::FloatToStr(v);
        if (unit == SpecXNanometer || unit == SpecXWavenumber)
            return numtext::FloatToStrF(std::nearbyint(v), numtext::FloatFormat::Fixed, 18, 0);
        return numtext::FloatToStrF(v, numtext::FloatFormat::Fixed, 15, 2);
    };
    if (FromIsLower(unit)) return {text(b.lower), text(b.upper)};
    return {text(b.upper), text(b.lower)};
}

bool SetBoundFromText(Bounds& b, SpecXUnit unit, bool isFrom, const std::string& text) {
    double v = numtext::StrToFloat(DotsToDecimalSeparator(text));
    bool lower = isFrom == FromIsLower(unit);
    (lower ? b.lower : b.upper) = v;
    return b.lower <= b.upper;
}

void ApplyAxesForm(AxesSettings& s, const AxesForm& f) {
    const SpecXUnit unit = UnitOfItem(f.xItem);
    if (f.setBoundaries) {
        double from = numtext::StrToFloat(DotsToDecimalSeparator(f.fromText));
        double to = numtext::StrToFloat(DotsToDecimalSeparator(f.toText));
        if (FromIsLower(unit)) {
            s.XDrawnMin = from;
            s.XDrawnMax = to;
        } else {
            s.XDrawnMax = from;
            s.XDrawnMin = to;
        }
        s.KeepXRangeOnce = true;
    } else {
        s.KeepXRangeOnce = false;
    }
    s.DisplayXUnit = unit;
    s.DisplayYMode = YModeOfItem(f.yItem);
    s.ShowYTitle = f.showYTitle;
    s.ShowXTitle = f.showXTitle;
    s.AlternateTickLabels = f.alternateTickLabels;
    s.CustomXTitleOn = f.customXTitleOn;
    s.CustomXTitle = f.customXTitle;
    s.CustomYTitleOn = f.customYTitleOn;
    s.CustomYTitle = f.customYTitle;
}

}  // namespace axes
