// Re-plot of N spectra x 10,000 points into the plot, and the paint of the result to a 1600x900 image.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bin/bench_shell
// The cases scale the spectra count (10, 100, 300, 1000): the time per spectrum should stay flat.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/replot.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/fault_in.h"

namespace {

constexpr int kPoints = 10000;

void FillList(int spectra) {
    if (SpectraList.Count() == spectra) return;
    SpectraList.Clear();
    for (int s = 0; s < spectra; ++s) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->FirstX = 200;
        r->StepX = 0.08;
        r->Values.resize(kPoints);
        for (int i = 0; i < kPoints; ++i) r->Values[i] = 0.5 + 0.4 * std::sin(i * 0.001 * (s % 100 + 1));
        SpectraList.AddWithDefaultColor(std::move(r));
    }
}

void Counters(benchmark::State& state, int spectra) {
    state.counters["points/s"] =
        benchmark::Counter(double(spectra) * kPoints * state.iterations(), benchmark::Counter::kIsRate);
    // Seconds per spectrum (printed with an SI prefix: 490u is 0.49 ms).
    state.counters["s/spectrum"] = benchmark::Counter(
        double(spectra), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Paint(TXYPlot& plot, QImage& img) {
    plot.Dirty = true;
    plot.UpdateLayout();
    img.fill(Qt::white);
    QPainter p(&img);
    plot.Render(p, 1.0);
    p.end();
    benchmark::DoNotOptimize(img.constBits());
}

// The curves of a standing plot refilled: the re-plot after a command changed the records.
void ReplotOnly(benchmark::State& state) {
    const int spectra = static_cast<int>(state.range(1));
    FillList(spectra);
    DisplayXUnit = *XUnitOfCode(state.range(0));
    DisplayYMode = SpecYAbsorbance;
    TXYPlot plot;
    plot.resize(1600, 900);
    ReplotCurves(plot, SpectraList);  // the curves stand before the timing starts
    for (auto _ : state) {
        ReplotCurves(plot, SpectraList);
        benchmark::DoNotOptimize(plot.Curve(spectra).Points.data());
    }
    Counters(state, spectra);
}
BENCHMARK(ReplotOnly)->Args({1, 100})->Args({2, 100})->Args({1, 1000})->Unit(benchmark::kMillisecond);

void ReplotAndPaint(benchmark::State& state) {
    const int spectra = static_cast<int>(state.range(0));
    FillList(spectra);
    DisplayXUnit = SpecXNanometer;
    DisplayYMode = SpecYAbsorbance;
    TXYPlot plot;
    plot.resize(1600, 900);
    plot.DrawAsLines = true;
    plot.Legende = true;
    QImage img(1600, 900, QImage::Format_RGB32);
    ReplotCurves(plot, SpectraList);  // the curves stand before the timing starts
    for (auto _ : state) {
        ReplotCurves(plot, SpectraList);
        Paint(plot, img);
    }
    Counters(state, spectra);
}
BENCHMARK(ReplotAndPaint)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

// The first re-plot after the spectra were read: every curve is new and grows from its one point.
void FirstReplotAndPaint(benchmark::State& state) {
    const int spectra = static_cast<int>(state.range(0));
    FillList(spectra);
    DisplayXUnit = SpecXNanometer;
    DisplayYMode = SpecYAbsorbance;
    QImage img(1600, 900, QImage::Format_RGB32);
    for (auto _ : state) {
        auto plot = std::make_unique<TXYPlot>();
        plot->resize(1600, 900);
        plot->DrawAsLines = true;
        plot->Legende = true;
        ReplotCurves(*plot, SpectraList);
        Paint(*plot, img);
        state.PauseTiming();
        plot.reset();
        state.ResumeTiming();
    }
    Counters(state, spectra);
}
BENCHMARK(FirstReplotAndPaint)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

// The yardstick for the case above: the room of N new curves taken as the plot takes it, faulted in and
// written, and nothing else. Fresh 4 KiB pages cost far more on some machines than on others.
void NewCurveMemoryOnly(benchmark::State& state) {
    const int spectra = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<TCurvePoints> curves(static_cast<std::size_t>(spectra));
        for (auto& c : curves) {
            c.reserve(kPoints);
            vxmem::FaultIn(c.data(), kPoints * sizeof(TPlotPoint));
            for (int i = 0; i < kPoints; ++i) c.push_back(TPlotPoint{double(i), 1.0});
        }
        benchmark::DoNotOptimize(curves.back().data());
        state.PauseTiming();
        curves.clear();
        state.ResumeTiming();
    }
    Counters(state, spectra);
}
BENCHMARK(NewCurveMemoryOnly)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
