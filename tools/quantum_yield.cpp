#include "tools/quantum_yield.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/peaks.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

// 10^e as exp(e·ln 10) in extended precision; a power beyond the double range is the overflow the
// arithmetic would raise.
long double Pow10Checked(long double e) {
    const long double v = std::exp(e * std::log(10.0L));
    if (!std::isfinite(static_cast<double>(v))) throw vx::FloatError("Floating point overflow");
    return v;
}

long double Div(long double a, long double b) { return b == 0.0L ? 0.0L : a / b; }

double Integral(TSpectraList& list, int32_t index, double from, double to, const TDisplayState& display) {
    return SpecRangeSum(list[index], from, to, nullptr, display);
}

double LampAt(TSpectrumRecord* lamp, double nm, const TDisplayState& display) {
    return lamp ? SpecYAtX(*lamp, nm, display) : 1.0;
}

// One side of the special calculation: n² · I / f(A), 0 without absorbance or power, then divided by
// power times exposure time.
long double SpecialSide(double n, double integral, double absorbance, double power, double exposure,
                        const TQYSettings& p, bool zeroWithoutLight) {
    long double v = 0.0L;
    if (!(zeroWithoutLight && (absorbance == 0.0 || power <= 0.0)))
        v = static_cast<long double>(n) * n *
            Div(integral, AbsorbedFraction(absorbance, p.DetectionPath, p.InnerFilter));
    return Div(v, static_cast<long double>(power) * exposure);
}

}  // namespace

double AbsorbedFraction(double A, double detectionPath, double innerFilter) {
    const long double a = A;
    const long double f = (1.0L - Pow10Checked(-a * detectionPath)) * Pow10Checked(-a * innerFilter);
    if (!std::isfinite(static_cast<double>(f))) throw vx::FloatError("Floating point overflow");
    return static_cast<double>(f);
}

TQYOutcome QuantumYieldNormal(TSpectraList& list, const TDisplayState& display, const TQYSettings& p) {
    TQYOutcome o;
    const double is = Integral(list, p.SampleFlIndex, p.SampleFrom, p.SampleTo, display);
    const double ir = Integral(list, p.RefFlIndex, p.RefFrom, p.RefTo, display);
    const long double s =
        Div(static_cast<long double>(p.SampleN) * p.SampleN *
                Div(is, AbsorbedFraction(p.SampleAbsorbance, p.DetectionPath, p.InnerFilter)),
            static_cast<long double>(p.SamplePower) * p.SampleSlit);
    const long double r = Div(static_cast<long double>(p.RefN) * p.RefN *
                                  Div(ir, AbsorbedFraction(p.RefAbsorbance, p.DetectionPath, p.InnerFilter)),
                              static_cast<long double>(p.RefPower) * p.RefSlit);
    o.Computed = true;
    o.SampleValue = static_cast<double>(s);
    o.RefValue = static_cast<double>(r);
    o.SampleAbsorbance = p.SampleAbsorbance;
    o.RefAbsorbance = p.RefAbsorbance;
    o.SamplePower = p.SamplePower;
    o.RefPower = p.RefPower;
    o.Yield = static_cast<double>(Div(s, r) * p.RefYield);
    return o;
}

TQYOutcome QuantumYieldSpecial(TSpectraList& list, const TDisplayState& display, const TQYSettings& p,
                               TSpectrumRecord* lamp) {
    TQYOutcome o;
    // Without a lamp curve both sides are excited with the same (unknown) power only at the same
    // wavelength.
    if (!lamp && p.SampleExcitation != p.RefExcitation) {
        ui::messageBox(kNoLampCurveText);
        return o;
    }
    o.SampleAbsorbance = BandpassApply(list[p.SampleAbsIndex], p.BandWidth, p.SampleExcitation, display);
    o.RefAbsorbance = BandpassApply(list[p.RefAbsIndex], p.BandWidth, p.RefExcitation, display);
    o.SamplePower = LampAt(lamp, p.SampleExcitation, display);
    o.RefPower = LampAt(lamp, p.RefExcitation, display);
    const double is = Integral(list, p.SampleFlIndex, p.SampleFrom, p.SampleTo, display);
    const double ir = Integral(list, p.RefFlIndex, p.RefFrom, p.RefTo, display);
    const long double s = SpecialSide(p.SampleN, is, o.SampleAbsorbance, o.SamplePower, p.SampleExposure, p, true);
    const long double r = SpecialSide(p.RefN, ir, o.RefAbsorbance, o.RefPower, p.RefExposure, p, false);
    o.Computed = true;
    o.SampleValue = static_cast<double>(s);
    o.RefValue = static_cast<double>(r);
    o.Yield = static_cast<double>(Div(s, r) * p.RefYield);
    return o;
}

TQY1DResult QuantumYield1D(TSpectraList& list, const TDisplayState& display, const TQYSettings& p,
                           TSpectrumRecord* lamp, const TQY1DParams& series) {
    TQY1DResult result;
    if (!lamp) ui::messageBox(kNoLampCurveText);
    if (series.First >= series.Last) ui::messageBox(kWrongSeriesText);
    if (!lamp || series.First >= series.Last) return result;

    TQYOutcome& ref = result.Reference;
    ref.RefAbsorbance = BandpassApply(list[p.RefAbsIndex], p.BandWidth, p.RefExcitation, display);
    ref.RefPower = LampAt(lamp, p.RefExcitation, display);
    const double ir = Integral(list, p.RefFlIndex, p.RefFrom, p.RefTo, display);
    const long double r = SpecialSide(p.RefN, ir, ref.RefAbsorbance, ref.RefPower, p.RefExposure, p, false);
    ref.RefValue = static_cast<double>(r);

    TSpectrumRecord& sampleAbs = list[p.SampleAbsIndex];
    auto sampleAbsorbanceAt = [&](int32_t k) {
        return BandpassApply(sampleAbs, p.BandWidth, list[k].ExcitationWl, display);
    };
    int32_t first = series.First;
    while (first <= series.Last && sampleAbsorbanceAt(first) == 0.0) ++first;

    std::vector<double> values;
    std::vector<double> wavelengths;
    for (int32_t k = first; k <= series.Last; ++k) {
        const double lambda = list[k].ExcitationWl;
        const double as = sampleAbsorbanceAt(k);
        const double ps = LampAt(lamp, lambda, display);
        const double is = Integral(list, k, p.SampleFrom, p.SampleTo, display);
        const long double s = SpecialSide(p.SampleN, is, as, ps, p.SampleExposure, p, true);
        values.push_back(static_cast<double>(Div(s, r) * p.RefYield));
        wavelengths.push_back(lambda);
    }
    if (values.size() < 2) {
        ui::messageBox(kSeriesTooShortText);
        return result;
    }
    double firstX = wavelengths[0];
    double step = wavelengths[1] - wavelengths[0];
    if (step == 0.0 || !std::isfinite(step) || !std::isfinite(firstX)) {
        ui::messageBox(kSeriesNoStepText);
        return result;
    }
    // A series measured towards shorter wavelengths still gives a spectrum with rising x.
    if (step < 0.0) {
        std::reverse(values.begin(), values.end());
        firstX += (static_cast<double>(values.size()) - 1.0) * step;
        step = -step;
    }

    auto rec = std::make_unique<TSpectrumRecord>();
    const std::string q = "\"";
    rec->Title = "QY of " + q + sampleAbs.Title.str() + q + "; Ref.: " + q + list[p.RefAbsIndex].Title.str() + q +
                 " excited at " + series.RefExcitationText + "nm";
    rec->Comment2 = "exc. wavelength of ref.: " + series.RefExcitationText + "nm";
    rec->SourceKind = SpecSourceQySeries;
    rec->DateText = DateTimeToText(NowDateTime());
    rec->Concentration = 0.0;
    rec->PathLength = 1.0;
    const auto refText = numtext::TryStrToFloat(series.RefExcitationText);
    rec->ExcitationWl = refText ? *refText : -1.0;
    rec->Temperature = -1.0;
    rec->ExposureTime = -1.0;
    rec->LineWidth = 1;
    rec->XUnit = SpecXNanometer;
    rec->YKind = SpecYAbsorbance;
    rec->FirstX = firstX;
    rec->StepX = step;
    rec->Values.reserve(values.size());
    for (double v : values) rec->Values.push_back(SpecYToStored(*rec, v, display));
    result.Spectrum = std::move(rec);
    return result;
}

std::string QuantumYieldReport(double yield) {
    return "fluorescence quantum yield: " + numtext::FloatToStrF(yield * 100.0, numtext::FloatFormat::General, 5, 3) +
           "%";
}

int32_t RoundedBandWidth(double value) {
    const double w = std::nearbyint(value);
    if (!(w >= 1.0 && w <= 1000.0)) throw vx::Error(kBandpassWidthRefused);
    return static_cast<int32_t>(w);
}

double EffectiveAbsorbance(TSpectraList& list, const TDisplayState& display, const TEffAbsParams& p) {
    return BandpassApply(list[p.Spectrum], p.Width, p.Centre, display);
}

std::string EffectiveAbsorbanceReport(double centre, int32_t width, double result) {
    return "effect. abs. at " + numtext::FloatToStr(centre) + "nm" + " is " +
           numtext::FloatToStrF(result, numtext::FloatFormat::General, 5, 3) + " (bandpass " +
           numtext::IntToStr(width) + "nm)";
}
