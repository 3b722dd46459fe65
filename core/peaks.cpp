#include "core/peaks.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>

#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/errors.h"

namespace {

// The given display units with the y mode the search works in.
TDisplayState WithYMode(TDisplayState display, SpecYKind mode) {
    display.DisplayYMode = mode;
    return display;
}

// Display values over [lo, hi] of the record, read once.
struct ValueSpan {
    int32_t lo = 0;
    std::vector<double> v;
    double at(int32_t i) const { return v[static_cast<std::size_t>(i - lo)]; }
};

ValueSpan ReadSpan(const TSpectrumRecord& rec, int32_t lo, int32_t hi, const TDisplayState& display) {
    ValueSpan s;
    s.lo = lo;
    s.v.resize(static_cast<std::size_t>(std::max(hi - lo + 1, 0)));
    for (int32_t i = lo; i <= hi; ++i) s.v[static_cast<std::size_t>(i - lo)] = SpecYValue(rec, i, display);
    return s;
}

// Peak walk shared by both searches. The window maximum and minimum over [i-w, i+w] come from
// monotonic queues, so the walk stays linear however wide the window is.
void PeakWalk(const TSpectrumRecord& rec, std::vector<int32_t>& Peaks, double from, double to,
              double ThresholdPercent, int32_t w, double outside, bool prominence,
              const TDisplayState& display) {
    const int32_t n = rec.PointCount();
    if (n < 1) return;
    int32_t i1 = SpecIndexOfX(rec, from, display), i2 = SpecIndexOfX(rec, to, display);
    if (i1 > i2) std::swap(i1, i2);
    const ValueSpan y = ReadSpan(rec, std::max(i1 - w, 0), std::min(i2 + w, n - 1), display);
    double max = 0.0;
    for (int32_t i = i1; i <= i2; ++i) max = std::max(max, y.at(i));
    double min = max;
    for (int32_t i = i1; i <= i2; ++i) min = std::min(min, y.at(i));
    if (!(max > min)) return;  // flat: nothing stands out
    const double threshold = min + (max - min) * ThresholdPercent / 100.0;
    const double wq = w / 1500.0;

    std::deque<int32_t> qmax, qmin;
    int32_t added = std::max(i1 - w, 0) - 1;  // highest index pushed so far
    auto windowExtremes = [&](int32_t i, double& wmax, double& wmin) {
        const int32_t lo = i - w, hi = i + w;
        while (added < std::min(hi, n - 1)) {
            ++added;
            const double v = y.at(added);
            while (!qmax.empty() && y.at(qmax.back()) <= v) qmax.pop_back();
            qmax.push_back(added);
            while (!qmin.empty() && y.at(qmin.back()) >= v) qmin.pop_back();
            qmin.push_back(added);
        }
        while (!qmax.empty() && qmax.front() < lo) qmax.pop_front();
        while (!qmin.empty() && qmin.front() < lo) qmin.pop_front();
        wmax = qmax.empty() ? outside : y.at(qmax.front());
        wmin = qmin.empty() ? outside : y.at(qmin.front());
        if (lo < 0 || hi > n - 1) {
            wmax = std::max(wmax, outside);
            wmin = std::min(wmin, outside);
        }
    };

    int32_t i = i1;
    while (i < i2) {
        const double yi = y.at(i);
        if (yi < threshold) {
            ++i;
            continue;
        }
        double wmax, wmin;
        windowExtremes(i, wmax, wmin);
        bool peak = !(wmax > yi);
        if (peak && prominence) {
            const double m = std::min(wmin, yi);
            peak = (1.0 + wq) * m < yi && (yi - m) / (max - min) > wq;
        }
        if (peak) {
            Peaks.push_back(i);
            i += w;
        } else {
            ++i;
        }
    }
}

double HalfWidth(const TSpectrumRecord& rec, int32_t s, const TDisplayState& display) {
    const int32_t n = rec.PointCount();
    if (s < 0 || s >= n || n < 2) return 0.0;
    auto y = [&](int32_t i) { return SpecYValue(rec, i, display); };
    auto x = [&](int32_t i) { return SpecXValue(rec, i, display); };
    auto isLocalMin = [&](double c, int32_t lo, int32_t hi) {
        for (int32_t j = lo; j <= hi; ++j)
            if (c > y(j)) return false;
        return true;
    };
    const double h = y(s) / 2.0;

    int32_t i = s;
    double c = 0.0, b = 0.0;
    bool stop = false;
    do {
        c = y(i);
        b = y(i + 1);
        if (c > b) {
            ++i;
            stop = b < h || i + 1 >= n;
        } else {
            stop = isLocalMin(c, i - 9, i + 11);
            ++i;
            if (i + 1 >= n) stop = true;  // nothing left to the right
        }
    } while (!stop);
    if (b == c) return 0.0;  // a flat stretch never crosses the half height
    const double xR = LinInterpolInverse(h, x(i), b, x(i - 1), c);

    int32_t g = s;
    do {
        c = y(g);
        b = y(g - 1);
        if (c > b) {
            stop = b < h || g <= 1;
        } else {
            stop = isLocalMin(c, g - 11, g + 9) || g <= 1;
        }
        --g;
    } while (!stop);
    if (b == c) return 0.0;
    const double xL = LinInterpolInverse(h, x(g + 1), c, x(g), b);
    const double xs = x(s);
    return std::fabs(xs - xL) + std::fabs(xs - xR);
}

}  // namespace

int32_t PeakWindowHalfWidth(int32_t s) {
    if (s < 1 || s > 10) return 10;
    return static_cast<int32_t>(std::nearbyint(s * (s - 2.5) * 4.0 + 15.0));
}

void FindPeaksAbs(const TSpectrumRecord& rec, int32_t Sensitivity, std::vector<int32_t>& Peaks, double from,
                  double to, double ThresholdPercent, const TDisplayState& display) {
    if (rec.SourceKind == SpecSourceRaw) return;
    PeakWalk(rec, Peaks, from, to, ThresholdPercent, PeakWindowHalfWidth(Sensitivity), 0.0, true,
             WithYMode(display, SpecYAbsorbance));
}

void FindPeaksTrans(const TSpectrumRecord& rec, std::vector<int32_t>& Peaks, double from, double to,
                    double ThresholdPercent, const TDisplayState& display) {
    if (rec.SourceKind == SpecSourceRaw) return;
    PeakWalk(rec, Peaks, from, to, ThresholdPercent, 10, 1.0, false, WithYMode(display, SpecYTransmittance));
}

double SpecHalfWidthAbs(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display) {
    return HalfWidth(rec, i, WithYMode(display, SpecYAbsorbance));
}

double SpecHalfWidthTrans(const TSpectrumRecord& rec, int32_t i, const TDisplayState& display) {
    return HalfWidth(rec, i, WithYMode(display, SpecYTransmittance));
}

void NormalizeSpectrum(TSpectrumRecord& rec, double xMin, double xMax, const TDisplayState& display) {
    if (rec.SourceKind == SpecSourceRaw || rec.PointCount() < 1) return;
    int32_t i1 = SpecIndexOfX(rec, xMin, display), i2 = SpecIndexOfX(rec, xMax, display);
    if (i1 > i2) std::swap(i1, i2);
    if (i1 == i2) return;
    double M = 0.0;
    for (int32_t i = i1; i <= i2; ++i) M = std::max(M, SpecYValue(rec, i, display));
    if (M == 0.0) {
        double big = 0.0;
        for (int32_t i = i1; i <= i2; ++i) {
            const double v = SpecYValue(rec, i, display);
            if (std::fabs(v) > std::fabs(big)) big = v;
        }
        M = -big;
    }
    if (M == 0.0) return;
    std::vector<double> y(rec.Values.size());
    for (int32_t i = 0; i < rec.PointCount(); ++i) y[i] = SpecYValue(rec, i, display) / M;
    for (int32_t i = 0; i < rec.PointCount(); ++i) rec.Values[i] = SpecYToStored(rec, y[i], display);
}

double SpecRangeSum(TSpectrumRecord& rec, double from, double to, bool* defined, const TDisplayState& display) {
    if (defined) *defined = rec.SourceKind != SpecSourceRaw;
    if (rec.SourceKind == SpecSourceRaw) return 0.0;
    double a = std::nearbyint(from), b = std::nearbyint(to);
    // Terms outside the spectrum are 0: the walk need not leave it (a huge range stays quick).
    if (rec.PointCount() > 0 && rec.StepX != 0.0) {
        double lo = SpecXValue(rec, 0, display), hi = SpecXValue(rec, rec.PointCount() - 1, display);
        if (lo > hi) std::swap(lo, hi);
        if (std::isfinite(lo) && std::isfinite(hi)) {
            a = std::max(a, std::floor(lo) - 1.0);
            b = std::min(b, std::ceil(hi) + 1.0);
        }
    }
    long double sum = 0.0L;
    for (double x = a; x <= b; x += 1.0) sum += SpecYAtX(rec, x, display);
    return static_cast<double>(sum);
}

double SpecRangeMean(TSpectrumRecord& rec, double from, double to, bool* defined, const TDisplayState& display) {
    bool ok = false;
    const double sum = SpecRangeSum(rec, from, to, &ok, display);
    const double terms = std::nearbyint(to) - std::nearbyint(from) + 1.0;
    ok = ok && terms >= 1.0;
    if (defined) *defined = ok;
    return ok ? sum / terms : 0.0;
}

void SubtractRangeMean(TSpectrumRecord& rec, double from, double to, const TDisplayState& display) {
    if (rec.SourceKind == SpecSourceRaw || rec.PointCount() < 1) return;
    int32_t i1 = SpecIndexOfX(rec, from, display), i2 = SpecIndexOfX(rec, to, display);
    if (i1 > i2) std::swap(i1, i2);
    long double sum = 0.0L;
    for (int32_t i = i1; i <= i2; ++i) sum += rec.Values[i];
    const double mean = static_cast<double>(sum / (i2 - i1 + 1));
    for (double& v : rec.Values) v -= mean;
}

double BandpassApply(TSpectrumRecord& rec, int32_t a, double Centre, TBandpass& last, const TDisplayState& display) {
    if (a < 1 || a > 1000)
        throw vx::Error(kBandpassWidthRefused);
    // A centre that is no wavelength (a corrupt excitation wavelength) meets no spectrum; its grid could
    // not even be walked.
    if (!std::isfinite(Centre) || std::abs(Centre) > 1e9) {
        last = {a, Centre, 0.0};
        return 0.0;
    }
    // The triangle lives in nm whatever the spectrum's unit: its grid is built from the centre in nm.
    TSpectrumRecord band;
    band.FileName = "bandpass";
    band.Title = "bandpass";
    band.Concentration = 0.0;
    band.PathLength = 1.0;
    band.XUnit = SpecXNanometer;
    band.YKind = rec.YKind;
    band.FirstX = Centre - a;
    band.StepX = 0.25;
    band.Values.resize(static_cast<std::size_t>(8 * a + 1));
    for (int32_t i = 0; i <= 8 * a; ++i)
        band.Values[i] = i <= 4 * a ? static_cast<double>(i) / a : static_cast<double>(8 * a - i) / a;
    const double lo = Centre - a, hi = Centre + a;
    const double norm = SpecRangeSum(band, lo, hi, nullptr, display);
    if (norm != 0.0)
        for (double& v : band.Values) v /= norm;

    std::unique_ptr<TSpectrumRecord> product;
    double from = lo, to = hi;
    double result = 0.0;
    if (SpecMultiplyPartial(product, band, rec, from, to, display) > 0)
        result = SpecRangeSum(*product, lo, hi, nullptr, display);
    last = {a, Centre, result};
    return result;
}
