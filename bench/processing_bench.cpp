// Advanced smoothing of a million points through the dialog's work, beside the core smoother it calls
// (the same arguments as bench_algos), and the three baselines on the same spectrum.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/smoothing.h"
#include "tools/adv_baseline.h"
#include "tools/adv_smoothing.h"

namespace {

constexpr int kPoints = 1000000;

std::unique_ptr<TSpectrumRecord> Million() {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = "million";
    r->XUnit = SpecXNanometer;
    r->FirstX = 200.0;
    r->StepX = 0.001;
    r->Values.resize(kPoints);
    for (int i = 0; i < kPoints; ++i)
        r->Values[i] = 0.5 + 0.4 * std::sin(i * 1e-4) + 0.01 * static_cast<double>((static_cast<long long>(i) * 7919) % 17) / 17.0;
    return r;
}

const TSpectrumRecord& Source() {
    static const std::unique_ptr<TSpectrumRecord> rec = Million();
    return *rec;
}

// The smoothing settings of one benchmark case: method, that method's size and its parameter.
TAdvSmoothParams Params(const benchmark::State& state) {
    TAdvSmoothParams p;
    TAdvSmoothSettings& s = p.Settings;
    s.Mode = static_cast<int32_t>(state.range(0));
    const auto width = static_cast<int32_t>(state.range(1));
    const auto param = static_cast<int32_t>(state.range(2));
    s.MovingAverageSize = s.SavitzkySize = s.PercentileSize = width;
    s.MovingAverageShape = s.SavitzkyOrder = s.Percentile = param;
    return p;
}

void Cases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"mode", "width", "param"})
        ->Args({0, 5, 0})
        ->Args({0, 51, 0})
        ->Args({0, 51, 1})
        ->Args({1, 5, 3})
        ->Args({1, 51, 3})
        ->Args({1, 51, 5})
        ->Args({2, 51, 50})
        ->Unit(benchmark::kMillisecond);
}

void BM_CoreSmoothSpectrumAdv(benchmark::State& state) {
    const TAdvSmoothParams p = Params(state);
    const int32_t width = p.Settings.MovingAverageSize, param = p.Settings.Percentile;
    std::unique_ptr<TSpectrumRecord> result;
    for (auto _ : state) {
        SmoothSpectrumAdv(result, Source(), p.Settings.Mode, width, param, TDisplayState{});
        benchmark::DoNotOptimize(result->Values.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_CoreSmoothSpectrumAdv)->Apply(Cases);

void BM_RunAdvSmoothing(benchmark::State& state) {
    const TAdvSmoothParams p = Params(state);
    TSpectraList list;
    list.Add(std::make_unique<TSpectrumRecord>(Source()));
    for (auto _ : state) {
        RunAdvSmoothing(list, TDisplayState{}, p);
        benchmark::DoNotOptimize(list[1].Values.data());
        list.Extract(1);  // freeing the result belongs to the cost, as the core case frees its last one
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_RunAdvSmoothing)->Apply(Cases);

void BM_BaselineValues(benchmark::State& state) {
    TAdvBaselineSettings s;
    s.Method = static_cast<int32_t>(state.range(0));
    s.AdaptiveCoarseness = static_cast<int32_t>(state.range(1));
    for (auto _ : state) {
        std::vector<double> b = BaselineValues(Source(), TDisplayState{}, s);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
// Linear, adaptive with the default coarseness (a window of 150 000 points) and the widest one,
// scattering solution.
BENCHMARK(BM_BaselineValues)
    ->ArgNames({"method", "coarseness"})
    ->Args({0, 30})
    ->Args({1, 30})
    ->Args({1, 100})
    ->Args({2, 30})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
