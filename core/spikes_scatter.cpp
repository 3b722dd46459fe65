#include "core/spikes_scatter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/least_squares.h"
#include "core/noise.h"
#include "core/record_header.h"
#include "core/units.h"
#include "platform/errors.h"

namespace {

std::vector<double> DisplayValues(const TSpectrumRecord& r, const TDisplayState& display) {
    std::vector<double> y(static_cast<std::size_t>(r.PointCount()));
    for (int32_t i = 0; i < r.PointCount(); ++i) y[static_cast<std::size_t>(i)] = SpecYValue(r, i, display);
    return y;
}

std::unique_ptr<TSpectrumRecord> CleanedHeader(const TSpectrumRecord& src) {
    auto r = std::make_unique<TSpectrumRecord>();
    CopyRecordHeader(src, *r);
    r->FirstX = src.FirstX;
    r->StepX = src.StepX;
    r->Title = src.Title.str();
    r->PathLength = 1.0;
    return r;
}

void RemoveSpikes(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, uint8_t NameFlag,
                  double SpikeLimitFactor, bool backward, const TDisplayState& display) {
    Result.reset();
    if (Source.StepX == 0.0 || !std::isfinite(Source.StepX))
        throw vx::Error("Spikes can only be removed from a spectrum with an x step other than 0.");
    const int32_t n = Source.PointCount();
    const std::vector<double> y = DisplayValues(Source, display);
    std::vector<double> d(static_cast<std::size_t>(std::max(n - 1, 0)));
    for (int32_t i = 0; i + 1 < n; ++i) d[i] = (y[i + 1] - y[i]) / Source.StepX;

    const std::vector<int32_t> P = SpikePointsToReplace(DetectSpikeSlopes(d, SpikeLimitFactor, backward));

    auto r = CleanedHeader(Source);
    if (NameFlag != 0) r->Title = Source.Title + std::string(" Spikes removed");
    std::vector<double> out(y);
    std::size_t p = 0;
    for (int32_t i = 0; i + 1 < n; ++i) {
        while (p < P.size() && P[p] < i) ++p;
        if (p >= P.size() || P[p] != i) continue;  // out[i] keeps y(i)
        std::size_t e = p;
        while (e + 1 < P.size() && P[e + 1] == P[e] + 1) ++e;
        std::size_t b = p;
        while (b > 0 && P[b - 1] == P[b] - 1) --b;
        const int32_t right = std::clamp(P[e] + 1, 0, n - 1);
        const int32_t k = std::clamp(P[b] - 2, 0, n - 1);
        double sd = 0.0;
        if (k > 6) {
            std::array<double, 5> v{};
            for (int32_t j = 0; j < 5; ++j) v[j] = out[k - 4 + j];
            const double first = v[0], slope = (v[4] - v[0]) / 4.0;
            for (int32_t j = 0; j < 5; ++j) v[j] -= first + j * slope;
            sd = MeanAndStdDev(v).sd;
        }
        const double mean = right != k ? (y[right] - y[k]) * (i - k) / (right - k) : 0.0;
        out[i] = y[k] + GaussRandom(mean, sd);
        ++p;
    }
    r->Values.resize(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) r->Values[i] = SpecYToStored(*r, out[i], display);
    Result = std::move(r);
}

struct Band {
    bool on;
    double centre;  // nm
};

}  // namespace

std::vector<int32_t> DetectSpikeSlopes(const std::vector<double>& d, double factor, bool backward) {
    const int32_t m = static_cast<int32_t>(d.size());  // slopes 0..n-2
    std::vector<int32_t> S;
    std::vector<char> flagged(d.size(), 0);
    MeanAndSd stats;
    std::array<double, 10> window{};
    auto test = [&](int32_t u, int32_t first) {
        for (int32_t j = 0; j < 10; ++j) {
            const int32_t idx = first + j;
            window[j] = flagged[idx] ? GaussRandom(stats.mean, stats.sd) : d[idx];
        }
        stats = MeanAndStdDev(window);
        if (std::fabs(d[u]) > std::fabs(stats.mean) + stats.sd * factor) {
            S.push_back(u);
            flagged[u] = 1;
        }
    };
    if (!backward) {
        for (int32_t u = 10; u <= m - 1; ++u) test(u, u - 10);
    } else {
        for (int32_t u = m - 11; u >= 1; --u) test(u, u + 1);
        std::reverse(S.begin(), S.end());
    }
    return S;
}

std::vector<int32_t> SpikePointsToReplace(const std::vector<int32_t>& S) {
    std::vector<int32_t> P;
    int32_t j = 0;
    const int32_t count = static_cast<int32_t>(S.size());
    for (int32_t i = 0; i < count; ++i) {
        const int32_t g = i + 1 < count ? S[i + 1] - S[i] : 5;
        if (g < 4) {
            ++j;
            continue;
        }
        if (j == 0) {
            P.push_back(S[i] + 1);
            P.push_back(S[i] + 2);
        } else if (j <= 6) {
            for (int32_t k = i - j + 1; k <= i; ++k) {
                const int32_t gap = S[k] - S[k - 1];
                if (gap == 1) {
                    P.push_back(S[k]);
                } else if (gap == 2) {
                    P.push_back(S[k - 1] + 1);
                    P.push_back(S[k]);
                } else if (gap == 3) {
                    P.push_back(S[k - 1] + 1);
                    P.push_back(S[k]);
                    P.push_back(S[k] + 1);
                }
            }
        }
        j = 0;
    }
    // Runs whose pairs name the same point twice must not stop the repair of later points.
    std::sort(P.begin(), P.end());
    P.erase(std::unique(P.begin(), P.end()), P.end());
    return P;
}

void SpecRemoveSpikes(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, uint8_t NameFlag,
                      double SpikeLimitFactor, const TDisplayState& display) {
    RemoveSpikes(Result, Source, NameFlag, SpikeLimitFactor, false, display);
}

void SpecRemoveSpikesBackward(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source,
                              uint8_t NameFlag, double SpikeLimitFactor, const TDisplayState& display) {
    RemoveSpikes(Result, Source, NameFlag, SpikeLimitFactor, true, display);
}

void SpecRemoveScatter(std::unique_ptr<TSpectrumRecord>& Result, const TSpectrumRecord& Source, int32_t q,
                       int32_t m, const TScatterRemovalSettings& settings, const TDisplayState& display) {
    Result.reset();
    const int32_t n = Source.PointCount();
    const std::vector<double> y = DisplayValues(Source, display);
    std::vector<double> out(y);
    auto r = CleanedHeader(Source);

    const double e = Source.ExcitationWl;
    const double W = settings.HalfWidth;
    std::vector<Band> bands;
    if (e > 0.0 && std::isfinite(e) && n >= 2 && Source.StepX != 0.0) {
        bands.push_back({settings.Rayleigh1, e});
        const double ramanWn = 1e7 / e - settings.RamanShift;
        if (ramanWn > 0.0) bands.push_back({settings.Raman, 1e7 / ramanWn});
        bands.push_back({settings.Rayleigh2, 2.0 * e});
    }
    double xLo = SpecXValue(Source, 0, display), xHi = SpecXValue(Source, n - 1, display);
    if (xLo > xHi) std::swap(xLo, xHi);

    for (const Band& band : bands) {
        if (!band.on) continue;
        double bLo = XStoredToDisplay(band.centre - W, SpecXNanometer, display.DisplayXUnit);
        double bHi = XStoredToDisplay(band.centre + W, SpecXNanometer, display.DisplayXUnit);
        if (bLo > bHi) std::swap(bLo, bHi);
        if (bHi < xLo || bLo > xHi) continue;  // the band misses the spectrum
        int32_t start = SpecIndexOfX(Source, std::max(bLo, xLo), display);
        int32_t end = SpecIndexOfX(Source, std::min(bHi, xHi), display);
        if (start > end) std::swap(start, end);

        // A band that reaches past an end of the spectrum has no flank on that side, and its point
        // there lies inside the band, on the scatter: the fill then takes its level from the other
        // side alone.
        const bool leftFlank = start > 0;
        const bool rightFlank = end < n - 1;

        // Flanks: up to q points either side, inside the record.
        std::vector<double> fx, fy, left, right;
        if (leftFlank)
            for (int32_t i = std::max(start - q, 0); i <= start - 1; ++i) left.push_back(i);
        if (rightFlank)
            for (int32_t i = end; i <= std::min(end + q - 1, n - 1); ++i) right.push_back(i);
        for (double i : left) fx.push_back(SpecXValue(Source, static_cast<int32_t>(i), display));
        for (double i : right) fx.push_back(SpecXValue(Source, static_cast<int32_t>(i), display));
        for (double i : left) fy.push_back(y[static_cast<std::size_t>(i)]);
        for (double i : right) fy.push_back(y[static_cast<std::size_t>(i)]);
        int32_t coeffs = std::clamp(m, 1, 6);
        if (static_cast<int32_t>(fx.size()) < coeffs) coeffs = std::min<int32_t>(2, static_cast<int32_t>(fx.size()));
        // One flank says nothing about where the curve goes across the band: its level is the fill.
        if (leftFlank != rightFlank) coeffs = std::min<int32_t>(coeffs, 1);
        // The polynomial runs in x relative to the flanks' middle, to keep the normal equations sound.
        const double xc = fx.empty() ? 0.0 : (fx.front() + fx.back()) / 2.0;
        for (double& v : fx) v -= xc;
        std::vector<double> poly;
        if (coeffs >= 1) poly = FitPolynomial(fx, fy, coeffs);

        auto diffSd = [&](const std::vector<double>& idx) {
            std::vector<double> diffs;
            for (std::size_t k = 1; k < idx.size(); ++k)
                diffs.push_back(y[static_cast<std::size_t>(idx[k])] - y[static_cast<std::size_t>(idx[k - 1])]);
            return MeanAndStdDev(diffs).sd;
        };
        double noise = (diffSd(left) + diffSd(right)) / 2.0;
        if (leftFlank != rightFlank) noise = leftFlank ? diffSd(left) : diffSd(right);
        // The straight line runs between the band's edge points; an edge beyond the spectrum is
        // replaced by the one inside.
        double yStart = y[static_cast<std::size_t>(start)], yEnd = y[static_cast<std::size_t>(end)];
        if (!leftFlank && rightFlank) yStart = yEnd;
        if (leftFlank && !rightFlank) yEnd = yStart;

        for (int32_t i = start; i <= end; ++i) {
            double v = 0.0;
            switch (settings.FillMode) {
            case ScatterFillZeros: v = 0.0; break;
            case ScatterFillLine: v = LinInterpol(i, start, yStart, end, yEnd); break;
            default:
                v = GaussRandom(EvalPolynomial(poly, SpecXValue(Source, i, display) - xc), noise * 0.5);
                break;
            }
            out[i] = v;
        }
    }
    r->Values.resize(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) r->Values[i] = SpecYToStored(*r, out[i], display);
    Result = std::move(r);
}
