// Awkward records through every routine: each either refuses with a vx::Error or builds a record whose
// values are all finite; nothing crashes or reads outside the values.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/noise.h"
#include "core/peaks.h"
#include "core/smoothing.h"
#include "core/spectrum_arithmetic.h"
#include "core/spikes_scatter.h"
#include "core/tone_player.h"
#include "core/wavelength_colours.h"
#include "platform/errors.h"
#include "core_algos_fixtures.h"

namespace {

std::vector<TSpectrumRecord> AwkwardRecords() {
    std::vector<TSpectrumRecord> out;
    const double steps[] = {1.0, -2.0, 0.0, 1e-9, 250.0};
    const int32_t counts[] = {0, 1, 2, 3, 12, 40};
    const SpecXUnit units[] = {SpecXNanometer, SpecXWavenumber, SpecXMicrometer, SpecXRamanShift};
    for (double step : steps)
        for (int32_t n : counts)
            for (SpecXUnit unit : units) {
                std::vector<double> v(static_cast<std::size_t>(n));
                for (int32_t i = 0; i < n; ++i) v[i] = (i % 5 == 2) ? 9.0 : 0.3 * std::sin(i) - (i % 7 == 3 ? 2 : 0);
                const double first = unit == SpecXMicrometer ? 0.4 : (unit == SpecXNanometer ? 400 : 4000);
                TSpectrumRecord r = MakeRecord(unit, first, step, v);
                r.ExcitationWl = 395;
                out.push_back(r);
            }
    return out;
}

void ExpectSound(const std::unique_ptr<TSpectrumRecord>& r, const char* what) {
    if (!r) return;
    for (double v : r->Values) ASSERT_TRUE(std::isfinite(v)) << what;
    ASSERT_TRUE(std::isfinite(r->FirstX)) << what;
    ASSERT_TRUE(std::isfinite(r->StepX)) << what;
}

template <class F>
void Guarded(F f) {
    try {
        f();
    } catch (const vx::Error&) {
    }
}

}  // namespace

class Robustness : public testing::TestWithParam<SpecYKind> {};

TEST_P(Robustness, EveryRoutineRefusesOrBuildsFiniteRecords) {
    const TDisplayState display{SpecXNanometer, GetParam()};
    SeedNoise(1);
    std::vector<TSpectrumRecord> recs = AwkwardRecords();
    std::unique_ptr<TSpectrumRecord> r;
    for (std::size_t k = 0; k < recs.size(); ++k) {
        TSpectrumRecord& a = recs[k];
        TSpectrumRecord& b = recs[(k * 7 + 3) % recs.size()];
        double from = 380, to = 4200;
        Guarded([&] { SpecAdd(r, a, b, from, to, display); });
        ExpectSound(r, "add");
        Guarded([&] { SpecDivide(r, a, b, from, to, display); });
        ExpectSound(r, "divide");
        Guarded([&] { SpecCorrect(r, b, a, from, to, display); });
        ExpectSound(r, "correct");
        Guarded([&] { SpecCutOut(r, a, from, to, false, display); });
        ExpectSound(r, "cut out");
        for (const char* term : {"2", "x", "y", "x2", "y0.5", "y-2"}) {
            Guarded([&] { SpecConstArith(r, a, term, 1, ConstOpDivide, "/", display); });
            ExpectSound(r, term);
        }
        for (int32_t order : {1, 3})
            for (bool smooth : {false, true}) {
                Guarded([&] { SpecDerivative(r, a, order, smooth, display); });
                ExpectSound(r, "derivative");
            }
        Guarded([&] { SpecRamanShift(r, a, 150, 785, display); });
        ExpectSound(r, "raman");
        Guarded([&] { SpecRemoveSpikes(r, a, 1, kDefaultSpikeLimitFactor, display); });
        ExpectSound(r, "spikes");
        Guarded([&] { SpecRemoveSpikesBackward(r, a, 1, kDefaultSpikeLimitFactor, display); });
        ExpectSound(r, "spikes backward");
        TScatterRemovalSettings s;
        s.Rayleigh1 = s.Rayleigh2 = s.Raman = true;
        for (int32_t fill : {0, 1, 2}) {
            s.FillMode = fill;
            Guarded([&] { SpecRemoveScatter(r, a, 5, 4, s, display); });
            ExpectSound(r, "scatter");
            if (r) {
                EXPECT_EQ(r->PointCount(), a.PointCount());
            }
        }
        for (auto [mode, width, param] : {std::tuple{0, 5, 0}, std::tuple{0, 51, 1}, std::tuple{1, 11, 6},
                                          std::tuple{1, 3, 2}, std::tuple{2, 7, 50}, std::tuple{2, 0, 100}}) {
            Guarded([&, mode = mode, width = width, param = param] {
                SmoothSpectrumAdv(r, a, mode, width, param, display);
            });
            ExpectSound(r, "smooth");
        }
        std::vector<int32_t> peaks;
        Guarded([&] { FindPeaksAbs(a, 3, peaks, 0, 1e5, 5, display); });
        Guarded([&] { FindPeaksTrans(a, peaks, 0, 1e5, 5, display); });
        for (int32_t p : peaks) {
            EXPECT_GE(p, 0);
            EXPECT_LT(p, a.PointCount());
            EXPECT_TRUE(std::isfinite(SpecHalfWidthAbs(a, p, display)));
        }
        EXPECT_TRUE(std::isfinite(SpecHalfWidthTrans(a, 0, display)));
        EXPECT_TRUE(std::isfinite(SpecRangeMean(a, 300, 5000, nullptr, display)));
        TBandpass last;
        Guarded([&] { EXPECT_TRUE(std::isfinite(BandpassApply(a, 4, 420, last, display))); });
        TSpectrumRecord copy = a;
        NormalizeSpectrum(copy, 0, 1e5, display);
        SubtractRangeMean(copy, 0, 1e5, display);
        for (double v : copy.Values) EXPECT_TRUE(std::isfinite(v));
        TonePlan plan = PlanSpectrumPlayback(a, 0, 1e5, display);
        for (const Tone& t : plan.Tones) EXPECT_NO_THROW(CheckTone(t.Freq, t.MSecs));
        (void)WavelengthToRgb(&a, false, 550, display);
    }
}

INSTANTIATE_TEST_SUITE_P(DisplayModes, Robustness,
                         testing::Values(SpecYTransmittance, SpecYAbsorbance, SpecYEpsilon, SpecYLogEpsilon,
                                         SpecYIntensity));
