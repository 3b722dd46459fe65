#include "core/units.h"

#include <algorithm>
#include <cmath>

namespace {

// A unit as one of the four conversion rows: Raman shifts convert as wavenumbers, unknown codes as nm.
int32_t rowOf(int32_t unit) {
    switch (unit) {
    case SpecXWavenumber:
    case SpecXRamanShift: return SpecXWavenumber;
    case SpecXElectronVolt: return SpecXElectronVolt;
    case SpecXMicrometer: return SpecXMicrometer;
    default: return SpecXNanometer;
    }
}

}  // namespace

double Pow10Ext(double x) { return static_cast<double>(std::exp(static_cast<long double>(x) * std::log(10.0L))); }
double Log10Ext(double x) { return static_cast<double>(std::log(static_cast<long double>(x)) / std::log(10.0L)); }

double XStoredToDisplay(double v, int32_t stored, int32_t display) {
    int32_t d = rowOf(display);
    switch (rowOf(stored)) {
    case SpecXNanometer:
        switch (d) {
        case SpecXNanometer: return v;
        case SpecXWavenumber: return SafeRecip(1e7, v);
        case SpecXElectronVolt: return SafeRecip(1e7, v) / kWavenumberPerEv;
        default: return v / 1000.0;
        }
    case SpecXMicrometer:
        switch (d) {
        case SpecXNanometer: return v * 1000.0;
        case SpecXWavenumber: return SafeRecip(10000.0, v);
        case SpecXElectronVolt: return SafeRecip(10000.0, v) / kWavenumberPerEv;
        default: return v;
        }
    case SpecXWavenumber:
        switch (d) {
        case SpecXNanometer: return SafeRecip(1e7, v);
        case SpecXWavenumber: return v;
        case SpecXElectronVolt: return v / kWavenumberPerEv;
        default: return SafeRecip(10000.0, v);
        }
    default:  // eV
        switch (d) {
        case SpecXNanometer: return SafeRecip(kNmEv, v);
        case SpecXWavenumber: return v * kWavenumberPerEv;
        case SpecXElectronVolt: return v;
        default: return SafeRecip(kUmEv, v);
        }
    }
}

double XDisplayToStored(double x, int32_t display, int32_t stored) {
    int32_t d = rowOf(display);
    switch (rowOf(stored)) {
    case SpecXNanometer:
        switch (d) {
        case SpecXNanometer: return x;
        case SpecXWavenumber: return SafeRecip(1e7, x);
        case SpecXElectronVolt: return SafeRecip(kNmEv, x);
        default: return x * 1000.0;
        }
    case SpecXMicrometer:
        switch (d) {
        case SpecXNanometer: return x / 1000.0;
        case SpecXWavenumber: return SafeRecip(10000.0, x);
        case SpecXElectronVolt: return SafeRecip(kUmEv, x);
        default: return x;
        }
    case SpecXWavenumber:
        switch (d) {
        case SpecXNanometer: return SafeRecip(1e7, x);
        case SpecXWavenumber: return x;
        case SpecXElectronVolt: return x * kWavenumberPerEv;
        default: return SafeRecip(10000.0, x);
        }
    default:
        switch (d) {
        case SpecXNanometer: return SafeRecip(kNmEv, x);
        case SpecXWavenumber: return x / kWavenumberPerEv;
        case SpecXElectronVolt: return x;
        default: return SafeRecip(kUmEv, x);
        }
    }
}

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

double StoredToDisplayY(const TSpectrumRecord& rec, double a, int32_t mode) {
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
    const int32_t mode = display.DisplayYMode;
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
