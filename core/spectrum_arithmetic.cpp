#include "core/spectrum_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/least_squares.h"
#include "core/record_header.h"
#include "core/smoothing.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

bool UsableGrid(const TSpectrumRecord& r) {
    return r.PointCount() >= 1 && r.StepX != 0.0 && std::isfinite(r.StepX) && std::isfinite(r.FirstX);
}

void DisplayRange(const TSpectrumRecord& r, double& lo, double& hi, const TDisplayState& display) {
    lo = SpecXValue(r, 0, display);
    hi = SpecXValue(r, r.PointCount() - 1, display);
    if (lo > hi) std::swap(lo, hi);
}

// One grid point inwards for the lower bound: +1 where display x rises with the index of a
// conventional grid (nm, µm), -1 where it falls (1/cm, eV).
int32_t InwardStep(const TDisplayState& display) {
    return (display.DisplayXUnit == SpecXNanometer || display.DisplayXUnit == SpecXMicrometer) ? 1 : -1;
}

bool SameXUnit(SpecXUnit a, SpecXUnit b) {
    auto norm = [](SpecXUnit u) { return u == SpecXRamanShift ? SpecXWavenumber : u; };
    return norm(a) == norm(b);
}

// Hands a finished record over; a single point makes no spectrum, so then there is none.
int32_t Deliver(std::unique_ptr<TSpectrumRecord>& Result, std::unique_ptr<TSpectrumRecord> r,
                int32_t minPoints = 2) {
    if (r->PointCount() < minPoints) return 0;
    Result = std::move(r);
    return Result->PointCount();
}

enum class BinaryOp { Add, Subtract, Multiply, Divide };

int32_t TwoSpectra(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                   double& from, double& to, BinaryOp op, const TDisplayState& display, int32_t minPoints = 2) {
    Result.reset();
    SortPairAscending(from, to);
    double lo = 0.0, hi = 0.0;
    if (!SpecCommonRange(A, B, lo, hi, display)) return 0;
    if (from < lo) from = lo;
    if (to > hi) to = hi;
    if (from > to) return 0;  // the requested range lies outside the common one

    auto r = std::make_unique<TSpectrumRecord>();
    static const char* const titles[] = {"Addition", "Subtraction", "Multiplication", "Division"};
    CopyRecordHeader(A, *r);
    // A result of two spectra belongs to neither file.
    r->FileName = "";
    r->Comment1 = "";
    r->Comment2 = "";
    r->SpecType = "";
    r->Title = titles[static_cast<int>(op)];
    r->PathLength = 1.0;
    r->StepX = A.StepX;

    int32_t i1 = SpecIndexOfX(A, from, display), i2 = SpecIndexOfX(A, to, display);
    SortPairAscending(i1, i2);
    // The values run from the lower index, so the grid starts there whatever the grid's direction.
    r->FirstX = A.XAt(i1);
    r->Values.reserve(static_cast<std::size_t>(i2 - i1 + 1));
    for (int32_t i = i1; i <= i2; ++i) {
        double v = SpecXValue(A, i, display);
        double ya = SpecYAtX(A, v, display), yb = SpecYAtX(B, v, display);
        double y = 0.0;
        switch (op) {
        case BinaryOp::Add: y = ya + yb; break;
        case BinaryOp::Subtract: y = ya - yb; break;
        case BinaryOp::Multiply: y = ya * yb; break;
        case BinaryOp::Divide: y = yb != 0.0 ? ya / yb : ya; break;
        }
        r->Values.push_back(SpecYToStored(*r, y, display));
    }
    return Deliver(Result, std::move(r), minPoints);
}

// (b)^p for the x / y terms: 0^p = 0 for p > 0, whole p by repeated multiplication, a non-positive
// base with any other exponent is an invalid operation.
double TermPower(double b, double p) {
    if (p == std::floor(p) && std::fabs(p) <= 1e6) return static_cast<double>(IntPowerReal(b, static_cast<int32_t>(p)));
    return static_cast<double>(PowerReal(b, p));
}

double ReadNumber(std::string text) {
    FixDecimalSeparator(text);
    return numtext::StrToFloat(text);
}

std::vector<double> DisplayValuesOf(const TSpectrumRecord& r, const TDisplayState& display) {
    std::vector<double> y(static_cast<std::size_t>(r.PointCount()));
    for (int32_t i = 0; i < r.PointCount(); ++i) y[static_cast<std::size_t>(i)] = SpecYValue(r, i, display);
    return y;
}

// Stores display values into r and reads them back as the next pass sees them.
std::vector<double> StoreAndReread(TSpectrumRecord& r, const std::vector<double>& y,
                                   const TDisplayState& display) {
    r.Values.resize(y.size());
    for (std::size_t i = 0; i < y.size(); ++i) r.Values[i] = SpecYToStored(r, y[i], display);
    return DisplayValuesOf(r, display);
}

}  // namespace

bool SpecCommonRange(const TSpectrumRecord& A, const TSpectrumRecord& B, double& lo, double& hi,
                     const TDisplayState& display) {
    if (!UsableGrid(A) || !UsableGrid(B)) return false;
    double aLo, aHi, bLo, bHi;
    DisplayRange(A, aLo, aHi, display);
    DisplayRange(B, bLo, bHi, display);
    if (std::max(aLo, bLo) > std::min(aHi, bHi)) return false;
    const int32_t d = InwardStep(display);
    const double sa = A.StepX, sb = B.StepX;
    double l, h;
    if (aLo > bLo)
        l = sa >= sb ? aLo : SpecXValue(B, SpecIndexOfX(B, aLo, display) + d, display);
    else
        l = sb >= sa ? bLo : SpecXValue(A, SpecIndexOfX(A, bLo, display) + d, display);
    if (aHi > bHi)
        h = sa > sb ? SpecXValue(A, SpecIndexOfX(A, bHi, display) - d, display) : bHi;
    else
        h = sa >= sb ? aHi : SpecXValue(B, SpecIndexOfX(B, aHi, display) - d, display);
    if (!(l <= h)) return false;  // the moved bounds crossed: less than one common grid step
    lo = l;
    hi = h;
    return true;
}

int32_t SpecAdd(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B, double& from,
                double& to, const TDisplayState& display) {
    return TwoSpectra(Result, A, B, from, to, BinaryOp::Add, display);
}
int32_t SpecSubtract(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                     double& from, double& to, const TDisplayState& display) {
    return TwoSpectra(Result, A, B, from, to, BinaryOp::Subtract, display);
}
int32_t SpecMultiply(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                     double& from, double& to, const TDisplayState& display) {
    return TwoSpectra(Result, A, B, from, to, BinaryOp::Multiply, display);
}
int32_t SpecDivide(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                   double& from, double& to, const TDisplayState& display) {
    return TwoSpectra(Result, A, B, from, to, BinaryOp::Divide, display);
}
int32_t SpecMultiplyPartial(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& A, TSpectrumRecord& B,
                            double& from, double& to, const TDisplayState& display) {
    return TwoSpectra(Result, A, B, from, to, BinaryOp::Multiply, display, 1);
}

int32_t SpecCorrect(std::unique_ptr<TSpectrumRecord>& Result, TSpectrumRecord& Curve, TSpectrumRecord& Spectrum,
                    double& from, double& to, const TDisplayState& display) {
    Result.reset();
    if (!SameXUnit(Curve.XUnit, Spectrum.XUnit))
        throw vx::Error("The correction curve and the spectrum have different x units.");
    SortPairAscending(from, to);
    double lo = 0.0, hi = 0.0;
    if (!SpecCommonRange(Curve, Spectrum, lo, hi, display)) return 0;
    if (from < lo) from = lo;
    if (to > hi) to = hi;
    if (from > to) return 0;

    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(Spectrum, *r);
    r->Title = Spectrum.Title + std::string(" corrected");
    r->PathLength = 1.0;
    r->StepX = Curve.StepX;

    int32_t i1 = SpecIndexOfX(Curve, from, display), i2 = SpecIndexOfX(Curve, to, display);
    SortPairAscending(i1, i2);
    r->FirstX = Curve.XAt(i1);
    for (int32_t i = i1; i <= i2; ++i) {
        double v = SpecXValue(Curve, i, display);
        double s = SpecYAtX(Spectrum, v, display), c = SpecYAtX(Curve, v, display);
        double y = (s != 0.0 && c != 0.0) ? s / c : 0.0;
        r->Values.push_back(SpecYToStored(*r, y, display));
    }
    return Deliver(Result, std::move(r));
}

int32_t SpecCutOut(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Spectrum, double& from,
                   double& to, bool PrefixTitle, const TDisplayState& display) {
    Result.reset();
    if (Spectrum.XUnit != SpecXNanometer && Spectrum.XUnit != SpecXMicrometer &&
        Spectrum.XUnit != SpecXWavenumber && Spectrum.XUnit != SpecXRamanShift)
        throw vx::Error("A part can only be cut out of spectra in nm, µm or 1/cm.");
    SortPairAscending(from, to);
    if (!UsableGrid(Spectrum)) return 0;
    double lo, hi;
    DisplayRange(Spectrum, lo, hi, display);
    if (to < lo || from > hi) return 0;

    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(Spectrum, *r);
    r->PathLength = Spectrum.PathLength;
    r->StepX = Spectrum.StepX;
    r->Title = PrefixTitle ? "\tPart of: " + Spectrum.Title : Spectrum.Title.str();

    int32_t i1 = SpecIndexOfX(Spectrum, from, display), i2 = SpecIndexOfX(Spectrum, to, display);
    SortPairAscending(i1, i2);
    r->FirstX = Spectrum.XAt(i1);
    r->Values.assign(Spectrum.Values.begin() + i1, Spectrum.Values.begin() + i2 + 1);
    return Deliver(Result, std::move(r));
}

void SpecConstArith(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source,
                    const std::string& Term, uint8_t NameFlag, int32_t Op, const std::string& OpText,
                    const TDisplayState& display) {
    Result.reset();
    if (Op < ConstOpAdd || Op > ConstOpDivide) throw vx::Error("Unknown calculation type " + std::to_string(Op) + ".");
    const bool hasX = Term.find('x') != std::string::npos;
    const bool hasY = Term.find('y') != std::string::npos;
    if (hasX && hasY) throw vx::Error("The term \"" + Term + "\" may contain x or y, but not both.");

    double c = 0.0, p = 1.0;
    const bool plain = Term == "x" || Term == "y";
    if (!hasX && !hasY)
        c = ReadNumber(Term);
    else if (!plain)
        p = ReadNumber(Term.substr(1));

    // All values first: a failing power leaves no half-made record behind.
    const int32_t n = Source.PointCount();
    std::vector<double> out(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const double y = SpecYValue(Source, i, display);
        double t = c;
        if (hasX || hasY) {
            if (Term == "y")
                t = y;
            else if (Term == "x")
                t = SpecXValue(Source, i, display) / 1000.0;
            else
                t = TermPower((hasX ? SpecXValue(Source, i, display) : y) / 1000.0, p);
        }
        double v = 0.0;
        switch (Op) {
        case ConstOpAdd: v = y + t; break;
        case ConstOpSubtract: v = y - t; break;
        case ConstOpMultiply: v = y * t; break;
        default: v = t != 0.0 ? y / t : 0.0; break;
        }
        out[static_cast<std::size_t>(i)] = v;
    }

    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(Source, *r);
    r->PathLength = 1.0;
    r->FirstX = Source.FirstX;
    r->StepX = Source.StepX;
    r->Title = NameFlag == 1 ? Source.Title + (" " + OpText + " " + Term) : Source.Title.str();
    r->Values.resize(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) r->Values[i] = SpecYToStored(*r, out[i], display);
    Result = std::move(r);
}

void SpecDerivative(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, int32_t Order,
                    bool Smooth, const TDisplayState& display) {
    Result.reset();
    if (Source.StepX == 0.0 || !std::isfinite(Source.StepX))
        throw vx::Error("A derivative needs a spectrum with an x step other than 0.");
    if (Order < 1) throw vx::Error("The order of derivation must be 1 or more.");
    const int32_t n = Source.PointCount();
    // Values left after all passes: n-1 (n-2 smoothed) for the first order, two fewer for each further.
    const int32_t left = n - (Smooth ? 2 : 1) - 2 * (Order - 1);
    if (left < 2) throw vx::Error("The spectrum has too few points for a derivative of this order.");

    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(Source, *r);
    r->Comment2 = "";  // the derivative keeps the first comment only
    r->Title = Source.Title + (" " + std::to_string(Order) + ". derivative");
    r->FirstX = Source.FirstX;
    r->StepX = Source.StepX;
    r->DateText = DateTimeToText(NowDateTime());
    r->PathLength = 1.0;

    const double step = Source.StepX;
    std::vector<double> y;
    if (!Smooth) {
        std::vector<double> ys = DisplayValuesOf(Source, display);
        y.resize(static_cast<std::size_t>(n - 1));
        for (int32_t i = 0; i + 1 < n; ++i) y[i] = (ys[i + 1] - ys[i]) / step;
    } else {
        y = StoreAndReread(*r, SmoothPolyValues(Source, display), display);
        for (int32_t i = 0; i + 2 < n; ++i) y[i] = (y[i + 1] - y[i]) / step;
        y.resize(static_cast<std::size_t>(n - 2));
    }
    y = StoreAndReread(*r, y, display);
    for (int32_t order = 2; order <= Order; ++order) {
        const int32_t m = static_cast<int32_t>(y.size());
        if (Smooth) {
            // In place and in increasing index, as the passes have always worked: each window sees
            // the points before it already smoothed.
            const int32_t h = SmoothPolyHalfWidth(*r);
            for (int32_t i = 0; i + 2 < m; ++i) {
                SmoothingWindow w = SmoothingWindowOf(i, h, m);
                std::vector<double> xs, vs;
                for (int32_t k = w.lo; k <= w.hi; ++k) {
                    xs.push_back(SpecXValue(*r, k, display) - SpecXValue(*r, i, display));
                    vs.push_back(y[k]);
                }
                double scale = 0.0;
                for (double xv : xs) scale = std::max(scale, std::fabs(xv));
                if (static_cast<int32_t>(xs.size()) >= 3 && scale > 0.0) {
                    for (double& xv : xs) xv /= scale;
                    y[i] = FitPolynomial(xs, vs, 3)[0];
                }
                r->Values[i] = SpecYToStored(*r, y[i], display);
                y[i] = SpecYValue(*r, i, display);
            }
        }
        for (int32_t i = 0; i + 2 < m; ++i) y[i] = (y[i + 1] - y[i]) / step;
        y.resize(static_cast<std::size_t>(m - 2));
        y = StoreAndReread(*r, y, display);
    }
    Result = std::move(r);
}

void SpecRamanShift(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, int32_t CutOff,
                    double LaserNm, const TDisplayState& display) {
    Result.reset();
    if (!(LaserNm > 0.0) || !std::isfinite(LaserNm))
        throw vx::Error("The laser wavelength must be greater than 0 nm.");
    std::vector<double> s, v;
    const double laser = 1e7 / LaserNm;
    for (int32_t i = 0; i < Source.PointCount(); ++i) {
        const double x = SpecXValue(Source, i, display);
        if (!(x > 0.0)) continue;  // no wavelength, no shift
        const double shift = laser - 1e7 / x;
        if (shift <= CutOff) continue;
        s.push_back(shift);
        v.push_back(SpecYValue(Source, i, display));
    }
    const int32_t m = static_cast<int32_t>(s.size());
    if (m < 2 || s.front() == s.back())
        throw vx::Error("Too few points beyond the cut-off for a Raman spectrum.");
    if (s.front() > s.back()) {
        std::reverse(s.begin(), s.end());
        std::reverse(v.begin(), v.end());
    }

    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(Source, *r);
    r->Title = Source.Title.str();
    r->DateText = DateTimeToText(NowDateTime());
    r->XUnit = SpecXRamanShift;
    r->PathLength = 1.0;

    const double first = s.front();
    const double step = (s.back() - first) / (m - 1);
    std::vector<double> out(static_cast<std::size_t>(m));
    int32_t k = 0;  // pair interval [k, k+1] of the current grid x; both run upwards
    for (int32_t j = 0; j < m; ++j) {
        const double xj = j == m - 1 ? s.back() : first + j * step;
        while (k < m - 2 && s[k + 1] < xj - 1e-10) ++k;
        if (std::fabs(xj - s[k]) <= 1e-10)
            out[j] = v[k];
        else if (std::fabs(xj - s[k + 1]) <= 1e-10)
            out[j] = v[k + 1];
        else
            out[j] = LinInterpol(xj, s[k], v[k], s[k + 1], v[k + 1]);
    }
    // Wavenumber grids run downwards.
    r->FirstX = first + (m - 1) * step;
    r->StepX = -step;
    std::reverse(out.begin(), out.end());
    r->Values = std::move(out);
    Result = std::move(r);
}
