// Speed of the colour map (run by hand: build/bin/bench_pcolor): a 500 x 500 EEM-like grid in a
// 1200 x 900 control, flat and interpolated with 10 contour lines, each time with new data (the
// picture is rebuilt); mouse moves over the map (which rebuild nothing); and, in the same run,
// matplotlib's pcolormesh and contour of the same grid drawn to PNG (Debian's python3-matplotlib).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/plot/Pcolor.h"
#include "app/plot/image_writers.h"

namespace {

constexpr int kN = 500;

// Three fluorescence peaks, the first- and second-order scatter lines and the water Raman line.
double EEMValue(double ex, double em) {
    double v = 800 * std::exp(-std::pow((ex - 275) / 15, 2) - std::pow((em - 340) / 25, 2)) +
               1000 * std::exp(-std::pow((ex - 340) / 30, 2) - std::pow((em - 440) / 45, 2)) +
               600 * std::exp(-std::pow((ex - 250) / 12, 2) - std::pow((em - 450) / 50, 2));
    v += 3000 * std::exp(-std::pow((em - ex) / 4, 2)) + 900 * std::exp(-std::pow((em - 2 * ex) / 6, 2));
    v += 150 * std::exp(-std::pow((em - 1e7 / (1e7 / ex - 3400)) / 5, 2));
    return v;
}

// [column][row]: excitation 240..450 along x, emission 250..600 along y.
TPColorMatrix Grid(double scale) {
    TPColorMatrix m(kN, std::vector<double>(kN));
    for (int c = 0; c < kN; ++c)
        for (int r = 0; r < kN; ++r)
            m[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] =
                scale * EEMValue(240 + 210.0 * c / (kN - 1), 250 + 350.0 * r / (kN - 1));
    return m;
}

std::unique_ptr<TPColor> Map(TDrawTypes type) {
    auto m = std::make_unique<TPColor>();
    m->resize(1200, 900);
    m->SetDrawFacet(false);
    m->SetTypeImage(type);
    m->SetContourLines(10);
    m->Title.SetText("Excitation-emission matrix");
    m->Axes.SetTitles("excitation wavelength / nm", "emission wavelength / nm");
    m->SetData(Grid(1.0), 240, 450, 250, 600);
    m->RenderToImage();
    return m;
}

// New data each time, as a logarithm switch or a new grid brings: range scan, rebuild, the picture.
void Render(benchmark::State& state, TDrawTypes type, bool png) {
    auto m = Map(type);
    const TPColorMatrix a = Grid(1.0), b = Grid(1.5);
    bool flip = false;
    for (auto _ : state) {
        m->UpdateData(flip ? a : b);
        flip = !flip;
        QImage img = m->RenderToImage();
        if (png) benchmark::DoNotOptimize(plotimage::EncodePng(img));
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["rebuilds"] = m->ImageRebuilds();
}

void BM_PColorFlat(benchmark::State& state) { Render(state, dtFlat, false); }
void BM_PColorInterpContour10(benchmark::State& state) { Render(state, dtInterpContour, false); }
void BM_PColorInterpContour10Png(benchmark::State& state) { Render(state, dtInterpContour, true); }
BENCHMARK(BM_PColorFlat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PColorInterpContour10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PColorInterpContour10Png)->Unit(benchmark::kMillisecond);

// The read-out's path: a move marks the bar, the picture stays (rebuilds must stay 0 here).
void BM_PColorMouseMove(benchmark::State& state) {
    auto m = Map(dtInterpContour);
    m->show();
    QApplication::processEvents();
    const int before = m->ImageRebuilds();
    int x = 100;
    for (auto _ : state) {
        x = x == 100 ? 700 : 100;
        QMouseEvent e(QEvent::MouseMove, QPointF(x, 400), m->mapToGlobal(QPointF(x, 400)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m.get(), &e);
        m->repaint();  // the paint of the move, at once
    }
    state.counters["rebuilds"] = m->ImageRebuilds() - before;
}
BENCHMARK(BM_PColorMouseMove)->Unit(benchmark::kMicrosecond);

// matplotlib on the same grid, one process per run; the script times its drawings itself, so the
// interpreter's start and imports are not counted.
void Matplotlib(benchmark::State& state, const char* mode) {
    const char* python = "/usr/bin/python3";
    const std::string script = std::string(VX_BENCH_DIR) + "/pcolor_matplotlib.py";
    if (::access(python, X_OK) != 0 ||
        std::system("/usr/bin/python3 -c 'import matplotlib, numpy' >/dev/null 2>&1") != 0) {
        state.SkipWithError("matplotlib is not installed (apt install python3-matplotlib)");
        return;
    }
    const auto dir = std::filesystem::temp_directory_path() / ("vx_pcolor_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto data = dir / "grid.f64";
    {
        const TPColorMatrix g = Grid(1.0);
        std::ofstream out(data, std::ios::binary);
        for (int r = 0; r < kN; ++r)
            for (int c = 0; c < kN; ++c)
                out.write(reinterpret_cast<const char*>(&g[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)]),
                          sizeof(double));
    }
    const std::string cmd = std::string(python) + " " + script + " " + data.string() + " " + std::to_string(kN) +
                            " " + std::to_string(kN) + " " + mode + " 5";
    for (auto _ : state) {
        FILE* p = ::popen(cmd.c_str(), "r");
        double seconds = -1;
        if (!p || std::fscanf(p, "%lf", &seconds) != 1 || ::pclose(p) != 0 || seconds <= 0) {
            state.SkipWithError("the matplotlib script failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    std::filesystem::remove_all(dir);
}

void BM_MatplotlibFlat(benchmark::State& state) { Matplotlib(state, "flat"); }
void BM_MatplotlibGouraudContour10(benchmark::State& state) { Matplotlib(state, "contour"); }
BENCHMARK(BM_MatplotlibFlat)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatplotlibGouraudContour10)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
