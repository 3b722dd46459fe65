#include "tools/quantum_yield.h"

#include <algorithm>
#include <cmath>
#include <optional>
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

// The captions of the fields a sheet takes a side's values from.
struct SheetFields {
    const char* absorbance;  // the typed absorbance, or the absorption spectrum through the band
    const char* power;       // the typed excitation power, or the lamp curve
    const char* time;        // slit factor or exposure time
    bool fromCurves;         // absorbance and power read from curves at the excitation wavelength
};
constexpr SheetFields kTypedFields{"Absorbance", "Excitation Power", "Slit Factor", false};
constexpr SheetFields kCurveFields{"Absorption Spectrum", "Lamp Spectrum", "Exposure Time", true};
constexpr const char* kIndexCaption = "Refraction Index";
constexpr const char* kFluorescenceCaption = "Fluorescence Spectrum";
constexpr const char* kRefYieldCaption = "QY of Reference";

// The values of one side of a yield as its fields gave them.
struct Side {
    bool sample = true;
    double n = 0.0, integral = 0.0, absorbance = 0.0, power = 0.0, time = 0.0;
    double excitation = 0.0;  // nm, where the curves were read
};

// One side of a yield: n² · I / f(A), 0 without absorbance or power when `zeroWithoutLight`, then
// divided by power times slit factor or exposure time.
long double SideValue(const Side& s, const TQYSettings& p, bool zeroWithoutLight) {
    long double v = 0.0L;
    if (!(zeroWithoutLight && (s.absorbance == 0.0 || s.power <= 0.0)))
        v = static_cast<long double>(s.n) * s.n *
            Div(s.integral, AbsorbedFraction(s.absorbance, p.DetectionPath, p.InnerFilter));
    return Div(v, static_cast<long double>(s.power) * s.time);
}

std::string Owned(const Side& s, const char* caption) {
    return std::string(s.sample ? "sample's " : "reference's ") + caption;
}

std::string Refusal(const std::string& field, const std::string& what) {
    return "The " + field + " " + what + ": no quantum yield calculated!";
}

std::string AtExcitation(const Side& s) { return " at " + numtext::FloatToStr(s.excitation) + " nm"; }

// A side no yield can come from: a negative absorbance, or a value that is no finite number (a curve
// holding inf or NaN; a typed text cannot be one).
std::string InputProblem(const Side& s, const SheetFields& f) {
    const char* notFinite = "is not a finite number";
    if (!std::isfinite(s.absorbance) || s.absorbance < 0.0) {
        const bool negative = std::isfinite(s.absorbance);
        if (!f.fromCurves) return Refusal(Owned(s, f.absorbance), negative ? "is negative" : notFinite);
        const std::string what =
            negative ? "gives a negative absorbance" : "gives an absorbance that is not a finite number";
        return Refusal(Owned(s, f.absorbance), what + AtExcitation(s));
    }
    if (!std::isfinite(s.integral)) {
        // A series has many fluorescence spectra: the wavelength tells which one.
        std::string field = Owned(s, kFluorescenceCaption);
        if (f.fromCurves) field += " excited" + AtExcitation(s);
        return Refusal(field, "gives an intensity that is not a finite number");
    }
    if (!std::isfinite(s.power)) {
        if (!f.fromCurves) return Refusal(Owned(s, f.power), notFinite);
        return Refusal(f.power, "gives an intensity that is not a finite number" + AtExcitation(s));
    }
    if (!std::isfinite(s.n)) return Refusal(Owned(s, kIndexCaption), notFinite);
    if (!std::isfinite(s.time)) return Refusal(Owned(s, f.time), notFinite);
    return {};
}

// The field that takes a yield beyond the number range. The yield is a product of ratios of the
// sample's values to the reference's (and the reference yield); the one farthest from 1 is named, on
// the side whose value lies farther from 1.
std::string OverflowProblem(const Side& s, const Side& r, const TQYSettings& p, const SheetFields& f) {
    struct Ratio {
        const char* caption;
        long double num, den;
        bool numIsSample;
    };
    const Ratio ratios[] = {
        {kRefYieldCaption, p.RefYield, 1.0L, false},
        {kIndexCaption, static_cast<long double>(s.n) * s.n, static_cast<long double>(r.n) * r.n, true},
        {kFluorescenceCaption, s.integral, r.integral, true},
        {f.absorbance, AbsorbedFraction(r.absorbance, p.DetectionPath, p.InnerFilter),
         AbsorbedFraction(s.absorbance, p.DetectionPath, p.InnerFilter), false},
        {f.power, r.power, s.power, false},
        {f.time, r.time, s.time, false},
    };
    auto magnitude = [](long double v) { return std::fabs(std::log(std::fabs(v))); };
    const Ratio* worst = &ratios[0];
    long double most = -1.0L;
    for (const Ratio& q : ratios) {
        const long double m = std::fabs(std::log(std::fabs(q.num)) - std::log(std::fabs(q.den)));
        if (m > most) {
            most = m;
            worst = &q;
        }
    }
    const bool numSide = magnitude(worst->num) >= magnitude(worst->den);
    const Side& side = (numSide == worst->numIsSample) ? s : r;
    const char* what = "makes the quantum yield infinite";
    if (worst->caption == kRefYieldCaption) return Refusal(kRefYieldCaption, what);
    if (f.fromCurves && worst->caption == f.power)
        return Refusal(f.power, std::string(what) + " with its intensity" + AtExcitation(side));
    return Refusal(Owned(side, worst->caption), what);
}

struct SideValues {
    long double sample = 0.0L, reference = 0.0L, yield = 0.0L;
};

// The yield of sample side s against reference side r, or, after a message that names the field to
// blame, nothing.
std::optional<SideValues> CheckedYield(const Side& s, const Side& r, const TQYSettings& p, const SheetFields& f,
                                       bool zeroWithoutLight) {
    std::string problem = InputProblem(s, f);
    if (problem.empty()) problem = InputProblem(r, f);
    if (problem.empty()) {
        SideValues v;
        v.sample = SideValue(s, p, zeroWithoutLight);
        v.reference = SideValue(r, p, false);
        v.yield = Div(v.sample, v.reference) * p.RefYield;
        // In extended precision the product of finite values stays finite; only the result may not fit.
        if (std::isfinite(static_cast<double>(v.yield))) return v;
        problem = OverflowProblem(s, r, p, f);
    }
    ui::messageBox(problem);
    return std::nullopt;
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
    Side s{true, p.SampleN, Integral(list, p.SampleFlIndex, p.SampleFrom, p.SampleTo, display), p.SampleAbsorbance,
           p.SamplePower, p.SampleSlit};
    Side r{false, p.RefN, Integral(list, p.RefFlIndex, p.RefFrom, p.RefTo, display), p.RefAbsorbance, p.RefPower,
           p.RefSlit};
    const std::optional<SideValues> v = CheckedYield(s, r, p, kTypedFields, false);
    if (!v) return o;
    o.Computed = true;
    o.SampleValue = static_cast<double>(v->sample);
    o.RefValue = static_cast<double>(v->reference);
    o.SampleAbsorbance = p.SampleAbsorbance;
    o.RefAbsorbance = p.RefAbsorbance;
    o.SamplePower = p.SamplePower;
    o.RefPower = p.RefPower;
    o.Yield = static_cast<double>(v->yield);
    return o;
}

TQYOutcome QuantumYieldSpecial(TSpectraList& list, const TDisplayState& display, const TQYSettings& p,
                               TSpectrumRecord* lamp, TBandpass& lastBandpass) {
    TQYOutcome o;
    // Without a lamp curve both sides are excited with the same (unknown) power only at the same
    // wavelength.
    if (!lamp && p.SampleExcitation != p.RefExcitation) {
        ui::messageBox(kNoLampCurveText);
        return o;
    }
    Side s{true, p.SampleN, 0.0, 0.0, 0.0, p.SampleExposure, p.SampleExcitation};
    Side r{false, p.RefN, 0.0, 0.0, 0.0, p.RefExposure, p.RefExcitation};
    s.absorbance = BandpassApply(list[p.SampleAbsIndex], p.BandWidth, p.SampleExcitation, lastBandpass, display);
    r.absorbance = BandpassApply(list[p.RefAbsIndex], p.BandWidth, p.RefExcitation, lastBandpass, display);
    s.power = LampAt(lamp, p.SampleExcitation, display);
    r.power = LampAt(lamp, p.RefExcitation, display);
    s.integral = Integral(list, p.SampleFlIndex, p.SampleFrom, p.SampleTo, display);
    r.integral = Integral(list, p.RefFlIndex, p.RefFrom, p.RefTo, display);
    const std::optional<SideValues> v = CheckedYield(s, r, p, kCurveFields, true);
    if (!v) return o;
    o.Computed = true;
    o.SampleAbsorbance = s.absorbance;
    o.RefAbsorbance = r.absorbance;
    o.SamplePower = s.power;
    o.RefPower = r.power;
    o.SampleValue = static_cast<double>(v->sample);
    o.RefValue = static_cast<double>(v->reference);
    o.Yield = static_cast<double>(v->yield);
    return o;
}

namespace {

// The wavelengths of a series lie on the record's grid: first + k · step within this much. Typed
// wavelengths carry a decimal or two and may have been kept as 4-byte floats; a spectrum left out of
// a series moves its neighbours by a whole step.
constexpr double kSeriesWavelengthTolerance = 0.05;  // nm

// Why the excitation wavelengths cannot be the x grid of the result, or "" when they can.
std::string SeriesGridProblem(const std::vector<double>& wavelengths) {
    const double step = wavelengths[1] - wavelengths[0];
    if (step == 0.0 || !std::isfinite(step) || !std::isfinite(wavelengths[0])) return kSeriesNoStepText;
    for (std::size_t k = 2; k < wavelengths.size(); ++k) {
        const double due = wavelengths[0] + static_cast<double>(k) * step;
        if (!(std::fabs(wavelengths[k] - due) <= kSeriesWavelengthTolerance))
            return "The excitation wavelengths of the series are not equally spaced (" +
                   numtext::FloatToStr(wavelengths[k]) + " nm where the step of " + numtext::FloatToStr(step) +
                   " nm gives " + numtext::FloatToStr(due) + " nm): no 1D-QY calculated!";
    }
    return {};
}

}  // namespace

TQY1DResult QuantumYield1D(TSpectraList& list, const TDisplayState& display, const TQYSettings& p,
                           TSpectrumRecord* lamp, const TQY1DParams& series, TBandpass& lastBandpass) {
    TQY1DResult result;
    if (!lamp) ui::messageBox(kNoLampCurveText);
    if (series.First >= series.Last) ui::messageBox(kWrongSeriesText);
    if (!lamp || series.First >= series.Last) return result;

    TQYOutcome& ref = result.Reference;
    Side r{false, p.RefN, 0.0, 0.0, 0.0, p.RefExposure, p.RefExcitation};
    r.absorbance = ref.RefAbsorbance =
        BandpassApply(list[p.RefAbsIndex], p.BandWidth, p.RefExcitation, lastBandpass, display);
    r.power = ref.RefPower = LampAt(lamp, p.RefExcitation, display);
    r.integral = Integral(list, p.RefFlIndex, p.RefFrom, p.RefTo, display);

    TSpectrumRecord& sampleAbs = list[p.SampleAbsIndex];
    auto sampleAbsorbanceAt = [&](int32_t k) {
        return BandpassApply(sampleAbs, p.BandWidth, list[k].ExcitationWl, lastBandpass, display);
    };
    int32_t first = series.First;
    while (first <= series.Last && sampleAbsorbanceAt(first) == 0.0) ++first;

    std::vector<double> wavelengths;
    for (int32_t k = first; k <= series.Last; ++k) wavelengths.push_back(list[k].ExcitationWl);
    if (wavelengths.size() < 2) {
        ui::messageBox(kSeriesTooShortText);
        return result;
    }
    if (const std::string problem = SeriesGridProblem(wavelengths); !problem.empty()) {
        ui::messageBox(problem);
        return result;
    }

    std::vector<double> values;
    values.reserve(wavelengths.size());
    for (int32_t k = first; k <= series.Last; ++k) {
        const double lambda = list[k].ExcitationWl;
        Side s{true, p.SampleN, 0.0, 0.0, 0.0, p.SampleExposure, lambda};
        s.absorbance = sampleAbsorbanceAt(k);
        s.power = LampAt(lamp, lambda, display);
        s.integral = Integral(list, k, p.SampleFrom, p.SampleTo, display);
        const std::optional<SideValues> v = CheckedYield(s, r, p, kCurveFields, true);
        if (!v) return result;
        ref.RefValue = static_cast<double>(v->reference);
        values.push_back(static_cast<double>(v->yield));
    }
    double firstX = wavelengths[0];
    double step = wavelengths[1] - wavelengths[0];
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

double EffectiveAbsorbance(TSpectraList& list, const TDisplayState& display, const TEffAbsParams& p,
                           TBandpass& lastBandpass) {
    return BandpassApply(list[p.Spectrum], p.Width, p.Centre, lastBandpass, display);
}

std::string EffectiveAbsorbanceReport(double centre, int32_t width, double result) {
    return "effect. abs. at " + numtext::FloatToStr(centre) + "nm" + " is " +
           numtext::FloatToStrF(result, numtext::FloatFormat::General, 5, 3) + " (bandpass " +
           numtext::IntToStr(width) + "nm)";
}
