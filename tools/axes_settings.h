#pragma once
// The work behind the axes dialog: display units and their list items, the conversion of the drawn x
// range between units, the bound texts, and what OK takes over. Plain data, no display.
#include <cstdint>
#include <string>
#include <utility>

#include "core/unit_codes.h"

namespace axes {

// What the axes dialog edits: the display settings and the plot's drawn x range with its keep flag.
struct AxesSettings {
    SpecXUnit DisplayXUnit = SpecXNanometer;
    SpecYKind DisplayYMode = SpecYAbsorbance;
    bool ShowXTitle = true;
    bool ShowYTitle = true;
    bool CustomXTitleOn = false;
    bool CustomYTitleOn = false;
    std::string CustomXTitle;
    std::string CustomYTitle;
    bool AlternateTickLabels = false;
    double XDrawnMin = 300.0;  // in the display x unit
    double XDrawnMax = 900.0;
    bool KeepXRangeOnce = false;

    friend bool operator==(const AxesSettings&, const AxesSettings&) = default;
};

// "Axis Type" items: 0 nm, 1 µm, 2 1/cm, 3 eV.
SpecXUnit UnitOfItem(int item);
int ItemOfUnit(SpecXUnit unit);
// y items 0..3 are transmittance, absorbance, epsilon, log(epsilon); reflectance shows as item 0.
SpecYKind YModeOfItem(int item);
int YItemOfMode(SpecYKind mode);

// "from" holds the lower bound for nm and µm, the upper for 1/cm and eV.
bool FromIsLower(SpecXUnit unit);
// "Boundaries [nm]" at activation, "Grenzen [nm]" after a type change.
std::string BoxCaption(SpecXUnit unit, bool afterTypeChange);

struct Bounds {
    double lower = 0.0;
    double upper = 0.0;
};
// The drawn range in another unit; reciprocal conversions swap the ends; a zero divisor gives 0.
Bounds ConvertBounds(Bounds b, SpecXUnit fromUnit, SpecXUnit toUnit);

// ("from", "to") texts: general number format at activation; after a type change nm and 1/cm whole
// numbers, µm and eV two decimals.
std::pair<std::string, std::string> BoundTexts(Bounds b, SpecXUnit unit, bool afterTypeChange);

// A bound edit left: the text ("." taken as the decimal separator) becomes the bound it stands for.
// Throws the conversion error; returns false when then lower > upper ("wrong boundary values!").
bool SetBoundFromText(Bounds& b, SpecXUnit unit, bool isFrom, const std::string& text);
inline constexpr const char* kWrongBoundaries = "wrong boundary values!";

// The dialog's controls at OK.
struct AxesForm {
    int xItem = 0;
    bool setBoundaries = false;
    std::string fromText;
    std::string toText;
    int yItem = 1;
    bool showXTitle = true;
    bool alternateTickLabels = false;
    bool customXTitleOn = false;
    std::string customXTitle;
    bool showYTitle = true;
    bool customYTitleOn = false;
    std::string customYTitle;
};
// OK: takes the form over into the settings. Throws the conversion error (settings unchanged) when a
// bound text is no number while "Set Boundaries" is checked.
void ApplyAxesForm(AxesSettings& s, const AxesForm& f);

}  // namespace axes
