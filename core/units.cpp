#include "core/units.h"

#include <algorithm>
#include <cmath>

namespace {

// The four rows of the conversion: Raman shifts convert as wavenumbers, any other code as nm.
enum Row { kNm, kUm, kWavenumber, kEv };
Row rowOf(SpecXUnit unit) {
    switch (unit) {
    case SpecXWavenumber:
    case SpecXRamanShift: return kWavenumber;
    case SpecXElectronVolt: return kEv;
    case SpecXMicrometer: return kUm;
    default: return kNm;
    }
}

// One step from a row to another: x, x·k, x/k or k/x (0 for x = 0).
struct Step {
    enum { Same, Times, Over, Recip } op;
    double k;
    double operator()(double x) const {
        switch (op) {
        case Times: return x * k;
        case Over: return x / k;
        case Recip: return SafeRecip(k, x);
        default: return x;
        }
    }
};

// The one table, [from][to].
constexpr Step kSteps[4][4] = {
    /* nm   */ {{Step::Same, 0}, {Step::Over, 1000.0}, {Step::Recip, 1e7}, {Step::Recip, kNmEv}},
    /* µm   */ {{Step::Times, 1000.0}, {Step::Same, 0}, {Step::Recip, 10000.0}, {Step::Recip, kUmEv}},
    /* 1/cm */ {{Step::Recip, 1e7}, {Step::Recip, 10000.0}, {Step::Same, 0}, {Step::Over, kWavenumberPerEv}},
    /* eV   */ {{Step::Recip, kNmEv}, {Step::Recip, kUmEv}, {Step::Times, kWavenumberPerEv}, {Step::Same, 0}},
};

// The one label table of the display x units.
struct NameRow {
    SpecXUnit unit;
    const char* symbol;
    const char* powerSymbol;
};
constexpr NameRow kNames[] = {
    {SpecXNanometer, "nm", "nm"},
    {SpecXWavenumber, "1/cm", "cm^-1"},
    {SpecXElectronVolt, "eV", "eV"},
    {SpecXMicrometer, "\xC2\xB5m", "\xC2\xB5m"},
};

const NameRow& nameOf(SpecXUnit display) {
    for (const NameRow& r : kNames)
        if (r.unit == display) return r;
    return kNames[0];
}

}  // namespace

double Pow10Ext(double x) { return static_cast<double>(std::exp(static_cast<long double>(x) * std::log(10.0L))); }
double Log10Ext(double x) { return static_cast<double>(std::log(static_cast<long double>(x)) / std::log(10.0L)); }

double ConvertX(double x, SpecXUnit from, SpecXUnit to, EvRoute route) {
    const Row f = rowOf(from), t = rowOf(to);
    if (f == t) return x;  // the common case, kept cheap for the point accessors
    // Between eV and a wavelength (rows nm and µm) the route may pass through 1/cm.
    const bool viaWavenumber = (route == EvRoute::ToEvViaWavenumber && t == kEv && f <= kUm) ||
                               (route == EvRoute::FromEvViaWavenumber && f == kEv && t <= kUm);
    if (viaWavenumber) return kSteps[kWavenumber][t](kSteps[f][kWavenumber](x));
    return kSteps[f][t](x);
}

const char* XUnitSymbol(SpecXUnit display) { return nameOf(display).symbol; }
const char* XUnitPowerSymbol(SpecXUnit display) { return nameOf(display).powerSymbol; }

double SpecXValue(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display) {
    double v = i * rec.StepX + rec.FirstX;
    return XStoredToDisplay(v, rec.XUnit, display.DisplayXUnit);
}

int32_t SpecIndexOfX(const TSpectrumRecord& rec, double x, const TDisplayState& display) {
    int32_t n = rec.PointCount();
    if (n <= 0 || rec.StepX == 0.0) return 0;
    double u = XDisplayToStored(x, display.DisplayXUnit, rec.XUnit);
    double b = std::nearbyint((u - rec.FirstX) / rec.StepX);
    if (!(b >= 0.0)) return 0;  // also NaN
    if (b >= n) return n - 1;
    return static_cast<int32_t>(b);
}

double StoredToDisplayY(const TSpectrumRecord& rec, double a, SpecYKind mode) {
    if (rec.SourceKind == SpecSourceRaw) return a;
    double cd = rec.Concentration * rec.PathLength;
    switch (mode) {
    case SpecYTransmittance:
    case SpecYReflectance: return Pow10Ext(-a);
    case SpecYEpsilon: return cd == 0.0 ? 0.0 : a / cd;
    case SpecYLogEpsilon: {
        if (cd == 0.0) return 0.0;
        double e = a / cd;
        return e > 1.0 ? Log10Ext(e) : 0.0;
    }
    default: return a;
    }
}

double SpecYValue(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display) {
    const SpecYKind mode = display.DisplayYMode;
    if (i < 0 || i >= rec.PointCount())
        return (mode == SpecYTransmittance || mode == SpecYReflectance) ? 1.0 : 0.0;
    return StoredToDisplayY(rec, rec.Values[static_cast<std::size_t>(i)], mode);
}

double SpecYToStored(TSpectrumRecord& rec, double y, const TDisplayState& display) {
    rec.ConcTimesPath = rec.Concentration * rec.PathLength;
    if (rec.SourceKind == SpecSourceRaw) return y;
    double cd = rec.ConcTimesPath;
    switch (display.DisplayYMode) {
    case SpecYTransmittance:
    case SpecYReflectance: return y > 0.0 ? -Log10Ext(y) : 6.0;
    case SpecYEpsilon: return cd == 0.0 ? 0.0 : y * cd;
    case SpecYLogEpsilon: return cd == 0.0 ? 0.0 : Pow10Ext(y) * cd;
    default: return y;
    }
}

double LinInterpol(double x, double x1, double y1, double x2, double y2) {
    if (x1 == x2) return y1;
    double s = (y2 - y1) / (x2 - x1);
    return y2 + s * (x - x2);
}

double LinInterpolInverse(double y, double x1, double y1, double x2, double y2) {
    if (x1 == x2) return x2;
    double s = (y2 - y1) / (x2 - x1);
    if (s == 0.0) return x2;
    return (y - (y2 - x2 * s)) / s;
}

double SpecYAtX(TSpectrumRecord& rec, double x, const TDisplayState& display) {
    rec.ConcTimesPath = rec.Concentration * rec.PathLength;
    int32_t n = rec.PointCount();
    if (n <= 0) return 0.0;
    double u = XDisplayToStored(x, display.DisplayXUnit, rec.XUnit);
    double b;
    if (rec.StepX == 0.0) {
        // A zero step has only point 0, at FirstX.
        if (u != rec.FirstX) return 0.0;
        b = 0.0;
    } else {
        b = (u - rec.FirstX) / rec.StepX;
    }
    if (!(b > -0.5 && b < n - 0.5)) return 0.0;
    double stored;
    if (b == std::floor(b)) {
        stored = rec.Values[static_cast<std::size_t>(b < 0 ? 0 : b)];
    } else {
        double cb = std::ceil(b), fb = std::floor(b);
        int32_t iU = static_cast<int32_t>(std::min(cb, static_cast<double>(n - 1)));
        int32_t iL = b >= 1.0 ? static_cast<int32_t>(fb) : 0;
        double xU = cb * rec.StepX + rec.FirstX;
        double xL = fb * rec.StepX + rec.FirstX;
        double xb = b * rec.StepX + rec.FirstX;
        double yU = rec.Values[static_cast<std::size_t>(iU)];
        double yL = rec.Values[static_cast<std::size_t>(iL)];
        if (yU > 0.0 && yU <= 1e-4 && yL > 0.0)
            stored = Pow10Ext(LinInterpol(xb, xL, Log10Ext(yL), xU, Log10Ext(yU)));
        else
            stored = LinInterpol(xb, xL, yL, xU, yU);
    }
    return StoredToDisplayY(rec, stored, display.DisplayYMode);
}
