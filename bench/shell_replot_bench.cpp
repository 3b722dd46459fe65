// Re-plot of 100 spectra x 10,000 points into the plot, and the paint of the result to a 1600x900 image.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bin/bench_shell
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>

#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/replot.h"
#include "core/spectra_list.h"
#include "core/units.h"

namespace {

constexpr int kSpectra = 100;
constexpr int kPoints = 10000;

void FillList() {
    SpectraList.Clear();
    for (int s = 0; s < kSpectra; ++s) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->FirstX = 200;
        r->StepX = 0.08;
        r->Values.resize(kPoints);
        for (int i = 0; i < kPoints; ++i) r->Values[i] = 0.5 + 0.4 * std::sin(i * 0.001 * (s + 1));
        SpectraList.AddWithDefaultColor(std::move(r));
    }
}

void ReplotOnly(benchmark::State& state) {
    FillList();
    DisplayXUnit = static_cast<uint8_t>(state.range(0));
    DisplayYMode = 2;
    TXYPlot plot;
    plot.resize(1600, 900);
    for (auto _ : state) {
        ReplotCurves(plot, SpectraList);
        benchmark::DoNotOptimize(plot.Curve(kSpectra).Points.data());
    }
    state.counters["points/s"] =
        benchmark::Counter(double(kSpectra) * kPoints * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(ReplotOnly)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void ReplotAndPaint(benchmark::State& state) {
    FillList();
    DisplayXUnit = 1;
    DisplayYMode = 2;
    TXYPlot plot;
    plot.resize(1600, 900);
    plot.DrawAsLines = true;
    plot.Legende = true;
    QImage img(1600, 900, QImage::Format_RGB32);
    for (auto _ : state) {
        ReplotCurves(plot, SpectraList);
        plot.Dirty = true;
        plot.UpdateLayout();
        img.fill(Qt::white);
        QPainter p(&img);
        plot.Render(p, 1.0);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["points/s"] =
        benchmark::Counter(double(kSpectra) * kPoints * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(ReplotAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
