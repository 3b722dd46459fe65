#include "tools/adv_baseline.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>

#include "core/helpers.h"
#include "core/record_header.h"
#include "core/smoothing.h"
#include "core/spectrum_arithmetic.h"
#include "core/units.h"
#include "platform/errors.h"
#include "tools/dialog_support.h"

namespace {

int32_t HalfWidthOfWindow(int32_t width) { return width > 1 ? width / 2 : 0; }

// Running minimum of y over the smoothing windows of half width h (the percentile 0 of the
// percentile smoother), in linear time: the windows only move forward, so a queue of candidate
// indices with rising values holds each window's minimum at its front.
std::vector<double> RunningMinimum(const std::vector<double>& y, int32_t h) {
    const int32_t n = static_cast<int32_t>(y.size());
    std::vector<double> out(y.size());
    std::deque<int32_t> q;
    int32_t next = 0, lastLo = 0, lastHi = -1;
    for (int32_t j = 0; j < n; ++j) {
        const SmoothingWindow w = SmoothingWindowOf(j, h, n);
        if (w.lo < lastLo || w.hi < lastHi) {  // a window that moved back: read it whole
            out[j] = *std::min_element(y.begin() + w.lo, y.begin() + w.hi + 1);
            continue;
        }
        for (; next <= w.hi; ++next) {
            while (!q.empty() && y[q.back()] >= y[next]) q.pop_back();
            q.push_back(next);
        }
        while (q.front() < w.lo) q.pop_front();
        out[j] = y[q.front()];
        lastLo = w.lo;
        lastHi = w.hi;
    }
    return out;
}

// The moving average of half width h applied in place in index order: the mean at j reads the values
// already smoothed before j. A running sum of the window as it stands, in extended precision and
// re-summed after as many steps as the window is long (at least 4096), so that rounding does not
// drift and the re-sums cost no more than the pass.
void RunningMeanInPlace(std::vector<double>& v, int32_t h) {
    const int32_t n = static_cast<int32_t>(v.size());
    const int32_t resumAfter = std::max(4096, 2 * h + 1);
    long double sum = 0.0L;
    int32_t lo = 0, hi = -1, sinceSum = 0;
    for (int32_t j = 0; j < n; ++j) {
        const SmoothingWindow w = SmoothingWindowOf(j, h, n);
        if (w.lo < lo || w.hi < hi || w.lo > hi || ++sinceSum >= resumAfter) {
            sum = 0.0L;
            for (int32_t k = w.lo; k <= w.hi; ++k) sum += v[k];
            lo = w.lo;
            hi = w.hi;
            sinceSum = 0;
        } else {
            while (hi < w.hi) sum += v[++hi];
            while (lo < w.lo) sum -= v[lo++];
        }
        const double mean = static_cast<double>(sum / (hi - lo + 1));
        if (j >= lo && j <= hi) sum += static_cast<long double>(mean) - v[j];
        v[j] = mean;
    }
}

void CheckFinite(const std::vector<double>& v) {
    for (double x : v)
        if (!std::isfinite(x)) throw vx::FloatError("Floating point overflow");
}

}  // namespace

TBaselineAnchors BaselineAnchors(const std::vector<double>& y) {
    TBaselineAnchors a;
    const int32_t n = static_cast<int32_t>(y.size());
    if (n == 0) return a;
    auto lowest = [&](int32_t from, int32_t to) {
        int32_t best = from;
        for (int32_t i = from + 1; i <= to; ++i)
            if (y[i] < y[best]) best = i;
        return best;
    };
    a.Min = lowest(0, n - 1);
    a.YMin = y[a.Min];
    a.YMax = *std::max_element(y.begin(), y.end());
    a.Left = lowest(0, std::min(n / 5, n - 1));
    a.Right = lowest(4 * (n / 5), n - 1);
    if (a.Left < a.Min && a.Min < a.Right) {
        if (a.Min - a.Left >= a.Right - a.Min) a.Right = a.Min;
        else a.Left = a.Min;
    }
    a.YLeft = y[a.Left];
    a.YRight = y[a.Right];
    return a;
}

std::vector<double> BaselineValues(const TSpectrumRecord& S, const TDisplayState& display,
                                   const TAdvBaselineSettings& settings) {
    const int32_t n = S.PointCount();
    if (n < 3) return {};
    TDisplayState units = display;
    units.DisplayYMode = SpecYAbsorbance;
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) y[i] = SpecYValue(S, i, units);
    const TBaselineAnchors a = BaselineAnchors(y);
    const long double span = static_cast<long double>(a.YMax) - a.YMin;
    std::vector<double> b(static_cast<std::size_t>(n));

    switch (settings.Method) {
    case BaselineAdaptive: {
        const int32_t w = static_cast<int32_t>(std::nearbyint(settings.AdaptiveCoarseness / 200.0 * n));
        const int32_t h = HalfWidthOfWindow(w);
        const double shift = static_cast<double>(span * (settings.AdaptiveOffset / 100.0L) * 0.1L);
        b = RunningMinimum(y, h);
        for (double& v : b) v += shift;
        RunningMeanInPlace(b, h);
        break;
    }
    case BaselineScattering: {
        const int32_t p = settings.ScatteringPower;
        std::vector<long double> curve(static_cast<std::size_t>(n));
        for (int32_t j = 0; j < n; ++j)
            curve[j] = SafeDivide(IntPowerReal(SpecXValue(S, j, units) / 1000.0L, p), 1.0L);
        const long double s = SafeDivide(curve[a.Left] - curve[a.Right],
                                         static_cast<long double>(a.YLeft) - a.YRight);
        const long double o = curve[a.Right] * s - a.YRight;
        const long double shift = span * (settings.ScatteringOffset / 100.0L) * 0.05L;
        const long double stretch = settings.ScatteringSpread / 100.0L + 1.0L;
        for (int32_t j = 0; j < n; ++j) b[j] = static_cast<double>((curve[j] * s - o + shift) * stretch);
        break;
    }
    default: {
        const long double tilt = 2.0L * settings.LinearSlope / 100.0L;
        const long double yl = a.YLeft + a.YLeft * tilt, yr = a.YRight - a.YRight * tilt;
        const long double shift = span * (settings.LinearOffset / 100.0L) * 0.5L;
        const long double slope = SafeDivide(static_cast<long double>(a.Right) - a.Left, yr - yl);
        for (int32_t j = 0; j < n; ++j) b[j] = static_cast<double>(yl + slope * (j - a.Left) + shift);
        break;
    }
    }
    CheckFinite(b);
    return b;
}

TSpectrumRecord* TBaselinePreview::Baseline() const {
    const int32_t i = Index();
    return i < 0 ? nullptr : &list_[i];
}

int32_t TBaselinePreview::Index() const { return b_ ? list_.IndexOf(b_) : -1; }

void TBaselinePreview::Remove() {
    const int32_t i = Index();
    if (i >= 0) DeleteSpectrum(list_, i);
    b_ = nullptr;
}

int32_t TBaselinePreview::ShowBaseline(const TDisplayState& display, const TAdvBaselineParams& params) {
    TSpectrumRecord* S = list_.Get(params.Spectrum);
    if (!S || S == b_ || S->PointCount() < 3) return -1;
    std::vector<double> values = BaselineValues(*S, display, params.Settings);
    TSpectrumRecord* B = Baseline();
    if (!B) {
        auto rec = std::make_unique<TSpectrumRecord>();
        B = rec.get();
        list_.Add(std::move(rec));
        b_ = B;
    }
    // The header always describes the spectrum the baseline is made for.
    CopyRecordHeader(*S, *B);
    B->Title = "Baseline for: " + S->Title;
    B->PathLength = S->PathLength;
    B->ConcTimesPath = S->Concentration * S->PathLength;
    B->FirstX = S->FirstX;
    B->StepX = S->StepX;
    B->LineWidth = S->LineWidth + 1;
    B->Color = CurveColor(2);
    B->Values = std::move(values);
    return Index();
}

int32_t ApplyAdvBaseline(TSpectraList& list, const TDisplayState& display, const TAdvBaselineParams& params,
                         TBaselinePreview& preview) {
    if (preview.ShowBaseline(display, params) < 0) {
        preview.Remove();
        return 0;
    }
    TSpectrumRecord& B = *preview.Baseline();
    TDisplayState units = display;
    units.DisplayYMode = SpecYAbsorbance;
    const TAdvBaselineSettings& s = params.Settings;
    std::vector<int32_t> sources;
    if (s.AllSpectra) {
        for (int32_t i = 0; i < list.Count(); ++i)
            if (&list[i] != &B) sources.push_back(i);
    } else {
        sources.push_back(params.Spectrum);
    }
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    results.reserve(sources.size());
    for (int32_t i : sources) {
        TSpectrumRecord& S = list[i];
        std::unique_ptr<TSpectrumRecord> r;
        if (S.PointCount() >= 2) {
            double from = SpecXValue(S, 0, units), to = SpecXValue(S, S.PointCount() - 1, units);
            SpecSubtract(r, S, B, from, to, units);
        }
        if (r) r->Title = s.KeepLegend ? S.Title.str() : S.Title + " (baseline corrected)";
        results.push_back(std::move(r));
    }
    const int32_t made = AppendToolResults(list, results, sources, s.RemoveOriginal);
    if (s.CreateBaselineSpectrum) preview.Keep();
    else preview.Remove();
    return made;
}
