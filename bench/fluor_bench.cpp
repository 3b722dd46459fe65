// The fluorescence tools over an EEM of 200 emission spectra of 1,000 points each: scatter removal of
// all three bands, the excitation spectra cut from it, the EEM display's grid, the excitation intensity
// correction and the blank subtraction.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/spectra_list.h"
#include "tools/blank_eem.h"
#include "tools/eem_display.h"
#include "tools/excitation_series.h"
#include "tools/scatter_removal.h"

namespace {

constexpr int kSpectra = 200;
constexpr int kPoints = 1000;

// Emission 250..749.5 nm in 0.5 nm steps, excitation 250, 251, ... nm: a band at 450 nm on a Rayleigh
// line at the excitation wavelength.
void fillEEM(TSpectraList& list, double scale = 1.0) {
    list.Clear();
    for (int k = 0; k < kSpectra; ++k) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->FirstX = 250.0;
        r->StepX = 0.5;
        r->ExcitationWl = 250.0 + k;
        r->YKind = SpecYIntensity;
        r->Values.resize(kPoints);
        for (int i = 0; i < kPoints; ++i) {
            const double x = r->XAt(i);
            r->Values[static_cast<std::size_t>(i)] =
                scale * (std::exp(-std::pow((x - 450) / 40, 2)) + 3 * std::exp(-std::pow((x - r->ExcitationWl) / 2, 2)));
        }
        list.Add(std::move(r));
    }
}

void BM_ScatterRemovalEEM(benchmark::State& state) {
    TSpectraList source;
    fillEEM(source);
    TScatterParams p;
    p.Rayleigh1 = p.Rayleigh2 = p.Raman = true;
    p.FillMode = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        TSpectraList list;
        for (const auto& r : source) list.Add(std::make_unique<TSpectrumRecord>(*r));
        state.ResumeTiming();
        benchmark::DoNotOptimize(RunScatterRemoval(list, TDisplayState{}, p));
    }
    state.SetItemsProcessed(state.iterations() * kSpectra * kPoints);
}
BENCHMARK(BM_ScatterRemovalEEM)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ExcitationSpectraEEM(benchmark::State& state) {
    TSpectraList list;
    fillEEM(list);
    // Every emission grid point a detection wavelength: 1,000 excitation spectra of 200 points.
    const TExcitationSpectraParams p{250, 749, 1};
    for (auto _ : state) {
        auto spectra = CalculateExcitationSpectra(list, TDisplayState{}, p);
        benchmark::DoNotOptimize(spectra.data());
    }
    state.SetItemsProcessed(state.iterations() * kSpectra * 500);
}
BENCHMARK(BM_ExcitationSpectraEEM)->Unit(benchmark::kMillisecond);

// The EEM display's grid over the whole emission range: 200 spectra x 500 whole nanometres.
void BM_EEMGridEEM(benchmark::State& state) {
    TSpectraList list;
    fillEEM(list);
    for (auto _ : state) {
        TEEMGrid grid;
        benchmark::DoNotOptimize(BuildEEMGrid(list, TDisplayState{}, 250.0, 749.5, grid));
        benchmark::DoNotOptimize(grid.Data.data());
    }
    state.SetItemsProcessed(state.iterations() * kSpectra * 500);
}
BENCHMARK(BM_EEMGridEEM)->Unit(benchmark::kMillisecond);

void BM_ExcitationIntensityEEM(benchmark::State& state) {
    TSpectraList list;
    fillEEM(list);
    TSpectrumRecord lamp;
    lamp.FirstX = 200;
    lamp.StepX = 1;
    lamp.YKind = SpecYIntensity;
    lamp.Values.assign(400, 2.0);
    for (auto _ : state) {
        auto out = CorrectExcitationIntensity(list, TDisplayState{}, &lamp, 0, kSpectra - 1);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kSpectra * kPoints);
}
BENCHMARK(BM_ExcitationIntensityEEM)->Unit(benchmark::kMillisecond);

void BM_BlankSubtractionEEM(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TSpectraList list, blank;
        fillEEM(list, 2.0);
        fillEEM(blank);
        for (auto& r : blank) list.Add(std::make_unique<TSpectrumRecord>(*r));
        state.ResumeTiming();
        benchmark::DoNotOptimize(SubtractBlankEEM(list, kSpectra, true));
    }
    state.SetItemsProcessed(state.iterations() * kSpectra * kPoints);
}
BENCHMARK(BM_BlankSubtractionEEM)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
