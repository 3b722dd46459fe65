#include "core/smoothing.h"

#include <algorithm>
#include <cmath>

#include "core/helpers.h"
#include "core/least_squares.h"
#include "core/record_header.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

constexpr int32_t kMaxCoefficients = 6;

// Where the display shows stored values unchanged, the smoothers read the record's own values.
bool DisplayIsStored(const TSpectrumRecord& rec, const TDisplayState& display) {
    return rec.SourceKind == SpecSourceRaw || display.DisplayYMode == SpecYAbsorbance ||
           display.DisplayYMode == SpecYIntensity;
}

struct DisplayView {
    std::vector<double> own;
    const std::vector<double>* ref = nullptr;
    const std::vector<double>& get() const { return ref != nullptr ? *ref : own; }
};

std::vector<double> DisplayValues(const TSpectrumRecord& rec, const TDisplayState& display);

DisplayView ViewOf(const TSpectrumRecord& rec, const TDisplayState& display) {
    DisplayView v;
    if (DisplayIsStored(rec, display))
        v.ref = &rec.Values;
    else
        v.own = DisplayValues(rec, display);
    return v;
}

std::vector<double> DisplayValues(const TSpectrumRecord& rec, const TDisplayState& display) {
    std::vector<double> y(static_cast<std::size_t>(rec.PointCount()));
    for (int32_t i = 0; i < rec.PointCount(); ++i) y[static_cast<std::size_t>(i)] = SpecYValue(rec, i, display);
    return y;
}

int32_t HalfWidthOf(int32_t width) { return width > 1 ? width / 2 : 0; }

// Display x is an affine function of the index when the display unit is the stored one or a scaled
// copy of it (nm and µm; 1/cm, Raman shift and eV).
bool DisplayGridIsLinear(const TSpectrumRecord& rec, const TDisplayState& display) {
    auto wavelength = [](SpecXUnit u) { return u == SpecXNanometer || u == SpecXMicrometer; };
    auto energy = [](SpecXUnit u) { return u == SpecXWavenumber || u == SpecXRamanShift || u == SpecXElectronVolt; };
    const SpecXUnit d = display.DisplayXUnit;
    if (wavelength(rec.XUnit)) return wavelength(d);
    if (rec.XUnit == SpecXWavenumber || rec.XUnit == SpecXRamanShift) return energy(d);
    return false;
}

// Least-squares polynomial with m coefficients through the window lo..hi, evaluated at x(i). The fit
// runs in x relative to x(i), scaled to -1..1: the same polynomial as in raw x, but without the
// cancellation that powers of raw wavelengths (500^10) would bring into the normal equations.
double PolyFitAt(const TSpectrumRecord& rec, const std::vector<double>& y, int32_t i, SmoothingWindow w,
                 int32_t m, const TDisplayState& display) {
    const int32_t count = w.hi - w.lo + 1;
    if (count < m) return y[static_cast<std::size_t>(i)];
    const double xi = SpecXValue(rec, i, display);
    std::vector<double> t(static_cast<std::size_t>(count)), v(static_cast<std::size_t>(count));
    double scale = 0.0;
    for (int32_t k = 0; k < count; ++k) {
        t[k] = SpecXValue(rec, w.lo + k, display) - xi;
        v[k] = y[static_cast<std::size_t>(w.lo + k)];
        scale = std::max(scale, std::fabs(t[k]));
    }
    if (!(scale > 0.0) || !std::isfinite(scale)) return y[static_cast<std::size_t>(i)];
    for (double& tk : t) tk /= scale;
    if (m > 1) {
        // Fewer distinct abscissae than coefficients leave the fit undetermined.
        std::vector<double> sorted(t);
        std::sort(sorted.begin(), sorted.end());
        if (std::unique(sorted.begin(), sorted.end()) - sorted.begin() < m) return y[static_cast<std::size_t>(i)];
    }
    std::vector<double> c = FitPolynomial(t, v, m);
    return c[0];
}

double MeanOf(const std::vector<double>& y, SmoothingWindow w) {
    long double s = 0.0L;
    for (int32_t k = w.lo; k <= w.hi; ++k) s += y[static_cast<std::size_t>(k)];
    return static_cast<double>(s / (w.hi - w.lo + 1));
}

double TriangularOf(const std::vector<double>& y, SmoothingWindow w, int32_t h) {
    // Weights k = -h..h applied in window order; a window shorter than 2h+1 (short spectra) uses the
    // weights its points reach.
    long double s = 0.0L, sw = 0.0L;
    for (int32_t k = -h; k <= h; ++k) {
        int32_t idx = w.lo + k + h;
        if (idx > w.hi) break;
        long double wt = 1.0L - static_cast<long double>(std::abs(k)) / (h + 1);
        s += wt * y[static_cast<std::size_t>(idx)];
        sw += wt;
    }
    return sw > 0.0L ? static_cast<double>(s / sw) : 0.0;
}

// Percentile of a window by the rank rule of Percentile, finding only the one or two order
// statistics it needs (linear time per window instead of a full sort).
double PercentileOf(const std::vector<double>& y, SmoothingWindow w, int32_t p) {
    thread_local std::vector<double> v;  // one scratch buffer for all windows of a pass
    v.assign(y.begin() + w.lo, y.begin() + w.hi + 1);
    const int32_t count = static_cast<int32_t>(v.size());
    if (count == 0) return 0.0;
    const double e = count * std::clamp(static_cast<double>(p), 0.0, 100.0) / 100.0;
    const int32_t k = static_cast<int32_t>(std::floor(e));
    auto nth = [&](int32_t idx) {
        std::nth_element(v.begin(), v.begin() + idx, v.end());
        return v[static_cast<std::size_t>(idx)];
    };
    if (e == k) return nth(k == 0 ? 0 : k - 1);
    if (k == 0) return nth(0);
    if (count >= k + 1) {
        const double upper = nth(k);
        const double lower = *std::max_element(v.begin(), v.begin() + k);
        return (lower + upper) / 2.0;
    }
    return nth(std::min(k, count - 1));
}

void CheckMode(int32_t Mode, int32_t Param) {
    if (Mode == SmoothModePolynomial && (Param < 1 || Param > kMaxCoefficients))
        throw vx::Error("Smoothing: the local polynomial needs 1 to 6 coefficients (got " +
                        std::to_string(Param) + ").");
    if (Mode != SmoothModeAverage && Mode != SmoothModePolynomial && Mode != SmoothModePercentile)
        throw vx::Error("Smoothing: unknown method " + std::to_string(Mode) + ".");
}

double SmoothOne(const TSpectrumRecord& rec, const std::vector<double>& y, int32_t i, int32_t Mode,
                 int32_t h, int32_t Param, const TDisplayState& display) {
    SmoothingWindow w = SmoothingWindowOf(i, h, rec.PointCount());
    switch (Mode) {
    case SmoothModeAverage:
        if (Param == 0) return MeanOf(y, w);
        if (Param == 1) return TriangularOf(y, w, h);
        return 0.0;
    case SmoothModePolynomial: return PolyFitAt(rec, y, i, w, Param, display);
    default: return PercentileOf(y, w, Param);
    }
}

// Hat weights of the polynomial fit on 2h+1 evenly spaced points: value at window position p =
// sum over k of W[p][k] * y[lo + k]. Exact for polynomials of the fitted order.
std::vector<double> PolynomialWeights(int32_t h, int32_t m) {
    const int32_t len = 2 * h + 1;
    auto tOf = [h](int32_t k) { return static_cast<long double>(k - h) / h; };
    NrMatrix ata(m, m), dummy(m, 1);
    for (int32_t k = 0; k < len; ++k) {
        long double t = tOf(k);
        std::vector<long double> pw(static_cast<std::size_t>(2 * m), 1.0L);
        for (int32_t j = 1; j < 2 * m; ++j) pw[j] = pw[j - 1] * t;
        for (int32_t a = 1; a <= m; ++a)
            for (int32_t b = 1; b <= m; ++b) ata(a, b) += pw[a + b - 2];
    }
    GAUSSJ(ata, m, dummy, 1);  // ata becomes its inverse
    std::vector<double> W(static_cast<std::size_t>(len) * len);
    std::vector<long double> pp(static_cast<std::size_t>(m)), pk(static_cast<std::size_t>(m));
    for (int32_t p = 0; p < len; ++p) {
        long double tp = tOf(p);
        pp[0] = 1.0L;
        for (int32_t j = 1; j < m; ++j) pp[j] = pp[j - 1] * tp;
        // g = (A^T A)^-1 · a(t_p)
        std::vector<long double> g(static_cast<std::size_t>(m), 0.0L);
        for (int32_t a = 0; a < m; ++a)
            for (int32_t b = 0; b < m; ++b) g[a] += ata(a + 1, b + 1) * pp[b];
        for (int32_t k = 0; k < len; ++k) {
            long double tk = tOf(k), s = 0.0L, pw = 1.0L;
            for (int32_t a = 0; a < m; ++a) {
                s += g[a] * pw;
                pw *= tk;
            }
            W[static_cast<std::size_t>(p) * len + k] = static_cast<double>(s);
        }
    }
    return W;
}

void SmoothPolynomialLinearGrid(const std::vector<double>& y, int32_t h, int32_t m, std::vector<double>& out) {
    const int32_t n = static_cast<int32_t>(y.size());
    const int32_t len = 2 * h + 1;
    const std::vector<double> W = PolynomialWeights(h, m);
    const double* centre = W.data() + static_cast<std::size_t>(h) * len;
    for (int32_t i = h; i <= n - 1 - h; ++i) {
        const double* yy = y.data() + (i - h);
        // Four partial sums let the compiler keep several multiply-adds in flight.
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
        int32_t k = 0;
        for (; k + 3 < len; k += 4) {
            s0 += centre[k] * yy[k];
            s1 += centre[k + 1] * yy[k + 1];
            s2 += centre[k + 2] * yy[k + 2];
            s3 += centre[k + 3] * yy[k + 3];
        }
        for (; k < len; ++k) s0 += centre[k] * yy[k];
        out[i] = (s0 + s1) + (s2 + s3);
    }
    auto edge = [&](int32_t i, int32_t lo) {
        const double* wp = W.data() + static_cast<std::size_t>(i - lo) * len;
        double s = 0.0;
        for (int32_t k = 0; k < len; ++k) s += wp[k] * y[static_cast<std::size_t>(lo + k)];
        out[i] = s;
    };
    for (int32_t i = 0; i < h; ++i) edge(i, 0);
    for (int32_t i = n - h; i < n; ++i) edge(i, n - len);
}

// Window means of full windows centred at h..n-1-h by a sliding sum, re-summed now and then so that
// rounding does not drift along a long spectrum. Edge points take the value of the nearest full
// window, which is their window.
void SmoothMeanLinear(const std::vector<double>& y, int32_t h, std::vector<double>& out) {
    const int32_t n = static_cast<int32_t>(y.size());
    const int32_t len = 2 * h + 1;
    long double s = 0.0L;
    for (int32_t c = h; c <= n - 1 - h; ++c) {
        if ((c - h) % 4096 == 0) {
            s = 0.0L;
            for (int32_t k = c - h; k <= c + h; ++k) s += y[static_cast<std::size_t>(k)];
        } else {
            s += static_cast<long double>(y[static_cast<std::size_t>(c + h)]) - y[static_cast<std::size_t>(c - h - 1)];
        }
        out[c] = static_cast<double>(s / len);
    }
    for (int32_t i = 0; i < h; ++i) out[i] = out[h];
    for (int32_t i = n - h; i < n; ++i) out[i] = out[n - 1 - h];
}

// Triangular weights (h+1-|k|)/(h+1)^2 are two boxes of h+1 points in a row: the weighted sum T(c)
// moves by the box sum ahead minus the box sum behind, both kept as sliding sums.
void SmoothTriangularLinear(const std::vector<double>& y, int32_t h, std::vector<double>& out) {
    const int32_t n = static_cast<int32_t>(y.size());
    const long double norm = static_cast<long double>(h + 1) * (h + 1);
    long double T = 0.0L, lead = 0.0L, trail = 0.0L;  // T(c), B(c) = y[c..c+h], B(c-h) = y[c-h..c]
    for (int32_t c = h; c <= n - 1 - h; ++c) {
        if ((c - h) % 4096 == 0) {
            T = lead = trail = 0.0L;
            for (int32_t k = -h; k <= h; ++k) T += static_cast<long double>(h + 1 - std::abs(k)) * y[c + k];
            for (int32_t k = 0; k <= h; ++k) {
                lead += y[c + k];
                trail += y[c - h + k];
            }
        } else {
            lead += static_cast<long double>(y[c + h]) - y[c - 1];
            T += lead - trail;
            trail += static_cast<long double>(y[c]) - y[c - 1 - h];
        }
        out[c] = static_cast<double>(T / norm);
    }
    for (int32_t i = 0; i < h; ++i) out[i] = out[h];
    for (int32_t i = n - h; i < n; ++i) out[i] = out[n - 1 - h];
}

// Header copy shared by the smoothers.
std::unique_ptr<TSpectrumRecord> SmoothedHeader(const TSpectrumRecord& src) {
    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(src, *r);
    r->Title = src.Title + std::string("\t smoothed");
    r->ConcTimesPath = src.ConcTimesPath;
    r->PathLength = src.PathLength;
    r->FirstX = src.FirstX;
    r->StepX = src.StepX;
    r->Color = src.Color;
    return r;
}


}  // namespace

SmoothingWindow SmoothingWindowOf(int32_t i, int32_t h, int32_t n) {
    SmoothingWindow w{i - h, i + h};
    if (w.lo < 0) {
        w.lo = 0;
        w.hi = 2 * h;
    }
    if (w.hi > n - 1) {
        w.lo -= w.hi - (n - 1);
        w.hi = n - 1;
        if (w.lo < 1) w.lo = 1;
    }
    if (w.lo > w.hi) w.lo = w.hi;  // one- or two-point records
    if (w.lo < 0) w.lo = 0;
    return w;
}

int32_t SmoothPolyHalfWidth(const TSpectrumRecord& rec) {
    if (rec.StepX == 0.0 || !std::isfinite(rec.StepX)) return 15;
    double h = std::nearbyint(5.0 / std::fabs(rec.StepX));
    return static_cast<int32_t>(std::clamp(h, 3.0, 15.0));
}

double SmoothPointPoly(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display) {
    if (i < 0 || i >= rec.PointCount()) return SpecYValue(rec, i, display);
    const DisplayView y = ViewOf(rec, display);
    return PolyFitAt(rec, y.get(), i, SmoothingWindowOf(i, SmoothPolyHalfWidth(rec), rec.PointCount()), 3,
                     display);
}

double SmoothPoint(const TSpectrumRecord& rec, int32_t i, int32_t Mode, int32_t Width, int32_t Param,
                   const TDisplayState& display) {
    CheckMode(Mode, Param);
    if (i < 0 || i >= rec.PointCount()) return SpecYValue(rec, i, display);
    const DisplayView y = ViewOf(rec, display);
    return SmoothOne(rec, y.get(), i, Mode, HalfWidthOf(Width), Param, display);
}

namespace {

// Smoothed display values of every point into out (sized like the record, not the input).
void SmoothInto(const TSpectrumRecord& rec, const std::vector<double>& y, int32_t Mode, int32_t Width,
                int32_t Param, std::vector<double>& out, const TDisplayState& display) {
    const int32_t n = rec.PointCount();
    const int32_t h = HalfWidthOf(Width);
    // The linear-time paths need full windows everywhere; shorter records take the direct way.
    const bool full = n >= 2 * h + 2 && h >= 1;
    if (full && Mode == SmoothModeAverage && Param == 0) {
        SmoothMeanLinear(y, h, out);
    } else if (full && Mode == SmoothModeAverage && Param == 1) {
        SmoothTriangularLinear(y, h, out);
    } else if (full && Mode == SmoothModePolynomial && DisplayGridIsLinear(rec, display) && rec.StepX != 0.0 &&
               2 * h + 1 >= Param) {
        SmoothPolynomialLinearGrid(y, h, Param, out);
    } else {
        for (int32_t i = 0; i < n; ++i) out[i] = SmoothOne(rec, y, i, Mode, h, Param, display);
    }
}

void SmoothPolyInto(const TSpectrumRecord& rec, const std::vector<double>& y, std::vector<double>& out,
                    const TDisplayState& display) {
    const int32_t n = rec.PointCount();
    const int32_t h = SmoothPolyHalfWidth(rec);
    if (n >= 2 * h + 2 && DisplayGridIsLinear(rec, display) && rec.StepX != 0.0 && std::isfinite(rec.StepX)) {
        SmoothPolynomialLinearGrid(y, h, 3, out);
    } else {
        for (int32_t i = 0; i < n; ++i) out[i] = PolyFitAt(rec, y, i, SmoothingWindowOf(i, h, n), 3, display);
    }
}

// Display values in r.Values become stored values.
void StoreInPlace(TSpectrumRecord& r, const TDisplayState& display) {
    r.ConcTimesPath = r.Concentration * r.PathLength;
    if (DisplayIsStored(r, display)) return;
    for (double& v : r.Values) v = SpecYToStored(r, v, display);
}

}  // namespace

std::vector<double> SmoothValues(const TSpectrumRecord& rec, int32_t Mode, int32_t Width, int32_t Param,
                                 const TDisplayState& display) {
    CheckMode(Mode, Param);
    const DisplayView y = ViewOf(rec, display);
    std::vector<double> out(static_cast<std::size_t>(rec.PointCount()));
    SmoothInto(rec, y.get(), Mode, Width, Param, out, display);
    return out;
}

std::vector<double> SmoothPolyValues(const TSpectrumRecord& rec, const TDisplayState& display) {
    const DisplayView y = ViewOf(rec, display);
    std::vector<double> out(static_cast<std::size_t>(rec.PointCount()));
    SmoothPolyInto(rec, y.get(), out, display);
    return out;
}

void SmoothSpectrumAdv(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source,
                       int32_t Mode, int32_t Width, int32_t Param, const TDisplayState& display) {
    Result.reset();
    CheckMode(Mode, Param);
    const DisplayView y = ViewOf(Source, display);
    auto r = SmoothedHeader(Source);
    r->Values.resize(Source.Values.size());
    SmoothInto(Source, y.get(), Mode, Width, Param, r->Values, display);
    StoreInPlace(*r, display);
    Result = std::move(r);
}

void SmoothAllSpectra(TSpectraList& list, const TDisplayState& display, const ProgressReport& progress) {
    const int32_t count = list.Count();
    if (progress.Begin) progress.Begin(1000);
    for (int32_t k = 0; k < count; ++k) {
        ui::setStatus(1, "smoothing spectra: ");
        const TSpectrumRecord& src = list[k];
        const DisplayView y = ViewOf(src, display);
        auto r = SmoothedHeader(src);
        r->Values.resize(src.Values.size());
        SmoothPolyInto(src, y.get(), r->Values, display);
        StoreInPlace(*r, display);
        list.AddWithDefaultColor(std::move(r));
        if (progress.Step) progress.Step(1000.0 / count);
    }
    DelayWithMessages(100);
    if (progress.End) progress.End();
}
