#include "tools/axes_settings.h"

#include <cmath>

#include "core/helpers.h"
#include "core/units.h"
#include "platform/numtext.h"

namespace axes {
namespace {

double guardedRecip(double numerator, double x) { return x == 0.0 ? 0.0 : numerator / x; }

const char* unitText(int32_t unit) {
    switch (unit) {
    case 2: return "1/cm";
    case 3: return "eV";
    case 4: return "\xC2\xB5m";
    default: return "nm";
    }
}

}  // namespace

int32_t UnitOfItem(int item) {
    switch (item) {
    case 1: return 4;
    case 2: return 2;
    case 3: return 3;
    default: return 1;
    }
}

int ItemOfUnit(int32_t unit) {
    switch (unit) {
    case 4: return 1;
    case 2: return 2;
    case 3: return 3;
    default: return 0;
    }
}

int32_t YModeOfItem(int item) { return item >= 0 && item <= 3 ? item + 1 : 2; }

int YItemOfMode(int32_t mode) {
    if (mode >= 1 && mode <= 4) return mode - 1;
    if (mode == 6) return 0;
    return 1;
}

bool FromIsLower(int32_t unit) { return unit == 1 || unit == 4; }

std::string BoxCaption(int32_t unit, bool afterTypeChange) {
    return std::string(afterTypeChange ? "Grenzen [" : "Boundaries [") + unitText(unit) + "]";
}

Bounds ConvertBounds(Bounds b, int32_t from, int32_t to) {
    if (from == to) return b;
    // f converts one value; reciprocal conversions swap the ends.
    auto reciprocal = [&](double numerator) {
        return Bounds{guardedRecip(numerator, b.upper), guardedRecip(numerator, b.lower)};
    };
    auto scaled = [&](double factor) { return Bounds{b.lower * factor, b.upper * factor}; };
    auto fromEv = [&](double numerator) {
        return Bounds{guardedRecip(numerator, b.upper * kWavenumberPerEv),
                      guardedRecip(numerator, b.lower * kWavenumberPerEv)};
    };
    switch (to) {
    case 1:
        if (from == 4) return scaled(1000.0);
        if (from == 2) return reciprocal(1e7);
        if (from == 3) return fromEv(1e7);
        break;
    case 4:
        if (from == 1) return Bounds{b.lower / 1000.0, b.upper / 1000.0};
        if (from == 2) return reciprocal(10000.0);
        if (from == 3) return fromEv(10000.0);
        break;
    case 2:
        if (from == 1) return reciprocal(1e7);
        if (from == 4) return reciprocal(10000.0);
        if (from == 3) return scaled(kWavenumberPerEv);
        break;
    case 3:
        if (from == 1) return reciprocal(kNmEv);
        if (from == 4) return reciprocal(kUmEv);
        if (from == 2) return Bounds{b.lower / kWavenumberPerEv, b.upper / kWavenumberPerEv};
        break;
    }
    return b;
}

std::pair<std::string, std::string> BoundTexts(Bounds b, int32_t unit, bool afterTypeChange) {
    auto text = [&](double v) -> std::string {
        if (!afterTypeChange) return numtext::FloatToStr(v);
        if (unit == 1 || unit == 2) return numtext::FloatToStrF(std::nearbyint(v), numtext::FloatFormat::Fixed, 18, 0);
        return numtext::FloatToStrF(v, numtext::FloatFormat::Fixed, 15, 2);
    };
    if (FromIsLower(unit)) return {text(b.lower), text(b.upper)};
    return {text(b.upper), text(b.lower)};
}

bool SetBoundFromText(Bounds& b, int32_t unit, bool isFrom, const std::string& text) {
    double v = numtext::StrToFloat(DotsToDecimalSeparator(text));
    bool lower = isFrom == FromIsLower(unit);
    (lower ? b.lower : b.upper) = v;
    return b.lower <= b.upper;
}

void ApplyAxesForm(AxesSettings& s, const AxesForm& f) {
    int32_t unit = UnitOfItem(f.xItem);
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
    s.DisplayXUnit = static_cast<uint8_t>(unit);
    s.DisplayYMode = static_cast<uint8_t>(YModeOfItem(f.yItem));
    s.ShowYTitle = f.showYTitle;
    s.ShowXTitle = f.showXTitle;
    s.AlternateTickLabels = f.alternateTickLabels;
    s.CustomXTitleOn = f.customXTitleOn;
    s.CustomXTitle = f.customXTitle;
    s.CustomYTitleOn = f.customYTitleOn;
    s.CustomYTitle = f.customYTitle;
}

}  // namespace axes
