// Paint and export speed of the XY plot (run by hand: build/bin/bench_plot).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/plot/Xygraph.h"
#include "app/plot/image_writers.h"
#include "core/spectra_list.h"

namespace {

std::unique_ptr<TXYPlot> MakePlot(int curves, int points) {
    auto plot = std::make_unique<TXYPlot>();
    plot->resize(1600, 900);
    plot->DrawAsLines = true;
    plot->GridOn = true;
    plot->Legende = true;
    plot->XAchsenTextAn = true;
    plot->Y1AchsenTextAn = true;
    plot->XachsenText = "Wavelength [nm]";
    plot->Y1achsenText = "Absorbance";
    plot->ZweiteYAchse = false;
    plot->SetKurvenAnzahl(curves);
    for (int n = 1; n <= curves; ++n) {
        plot->ReserveCurvePoints(n, points);
        double y = 0.5;
        for (int i = 0; i < points; ++i) {
            // In 64 bits: i * 7919 leaves the int range beyond 271,181 points.
            y += 0.01 * std::sin(i * 0.013 + n) + 0.002 * static_cast<double>((int64_t{i} * 7919 + n) % 13 - 6);
            plot->SetCurvePoint(n, 1, 200.0 + 800.0 * i / (points - 1), i);
            plot->SetCurvePoint(n, 2, y + 0.01 * n, i);
        }
    }
    plot->RenderToImage();  // first layout
    return plot;
}

void BM_Paint100x10k(benchmark::State& state) {
    auto plot = MakePlot(100, 10000);
    for (auto _ : state) benchmark::DoNotOptimize(plot->RenderToImage());
    state.SetItemsProcessed(state.iterations() * 100 * 10000);
}
BENCHMARK(BM_Paint100x10k)->Unit(benchmark::kMillisecond);

void BM_Paint10x1M(benchmark::State& state) {
    auto plot = MakePlot(10, 1000000);
    for (auto _ : state) benchmark::DoNotOptimize(plot->RenderToImage());
    state.SetItemsProcessed(state.iterations() * 10 * 1000000);
}
BENCHMARK(BM_Paint10x1M)->Unit(benchmark::kMillisecond);

// Filling the curves point by point as the re-plot does, then the paint with a new layout.
void BM_FillAndPaint100x10k(benchmark::State& state) {
    auto plot = MakePlot(100, 10000);
    for (auto _ : state) {
        for (int n = 1; n <= 100; ++n) {
            plot->ResetCurve(n);
            for (int i = 0; i < 10000; ++i) {
                plot->SetCurvePoint(n, 1, 200.0 + 0.08 * i, i);
                plot->SetCurvePoint(n, 2, 0.001 * (i % 1000) + n, i);
            }
        }
        plot->Dirty = true;
        benchmark::DoNotOptimize(plot->RenderToImage());
    }
    state.SetItemsProcessed(state.iterations() * 100 * 10000);
}
BENCHMARK(BM_FillAndPaint100x10k)->Unit(benchmark::kMillisecond);

void BM_PngEncode1600x900(benchmark::State& state) {
    auto plot = MakePlot(10, 2000);
    const QImage img = plot->RenderToImage();
    for (auto _ : state) benchmark::DoNotOptimize(plotimage::EncodePng(img));
}
BENCHMARK(BM_PngEncode1600x900)->Unit(benchmark::kMillisecond);

void BM_SavePng(benchmark::State& state) {
    auto plot = MakePlot(10, 2000);
    const QString file = QDir::temp().filePath("vx_bench_plot.png");
    for (auto _ : state) plot->SavePng(file);
    QFile::remove(file);
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
