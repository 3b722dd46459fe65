// Smoothing and peak search on a spectrum of a million points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/peaks.h"
#include "core/smoothing.h"
#include "core/units.h"

namespace {

TSpectrumRecord& Million() {
    static TSpectrumRecord rec = [] {
        TSpectrumRecord r;
        r.XUnit = SpecXNanometer;
        r.FirstX = 200.0;
        r.StepX = 0.001;
        r.Values.resize(1000000);
        for (int i = 0; i < 1000000; ++i)
            r.Values[i] = 0.5 + 0.4 * std::sin(i * 1e-4) + 0.01 * static_cast<double>((static_cast<long long>(i) * 7919) % 17) / 17.0;
        return r;
    }();
    return rec;
}

void BM_SmoothSpectrumAdv(benchmark::State& state) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    const auto mode = static_cast<int32_t>(state.range(0));
    const auto width = static_cast<int32_t>(state.range(1));
    const auto param = static_cast<int32_t>(state.range(2));
    std::unique_ptr<TSpectrumRecord> result;
    for (auto _ : state) {
        SmoothSpectrumAdv(result, Million(), mode, width, param, display);
        benchmark::DoNotOptimize(result->Values.data());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
// Moving average (flat and triangular), local quadratic / quintic and running median, windows of 5
// and 51 points.
BENCHMARK(BM_SmoothSpectrumAdv)
    ->ArgNames({"mode", "width", "param"})
    ->Args({0, 5, 0})
    ->Args({0, 51, 0})
    ->Args({0, 51, 1})
    ->Args({1, 5, 3})
    ->Args({1, 51, 3})
    ->Args({1, 51, 6})
    ->Args({2, 51, 50})
    ->Unit(benchmark::kMillisecond);

void BM_FindPeaksAbs(benchmark::State& state) {
    const TDisplayState display{SpecXNanometer, SpecYAbsorbance};
    const auto sensitivity = static_cast<int32_t>(state.range(0));
    const auto threshold = static_cast<double>(state.range(1));
    std::vector<int32_t> peaks;
    for (auto _ : state) {
        peaks.clear();
        FindPeaksAbs(Million(), sensitivity, peaks, 200.0, 1200.0, threshold, display);
        benchmark::DoNotOptimize(peaks.data());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
// Threshold 0 makes every point a candidate; sensitivity 10 has the widest window (±315 points).
BENCHMARK(BM_FindPeaksAbs)->Args({3, 5})->Args({3, 0})->Args({10, 0})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
