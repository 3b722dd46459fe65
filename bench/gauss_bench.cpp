// The Gauss band-group fit: one group of three bands fitted to 10,001 points through all seven
// stages, beside the same Levenberg-Marquardt fit run by the independent peak-fitting program
// cfityk (Debian package fityk) as a whole process on the same data and start values, when it is
// installed.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/units.h"
#include "tools/gauss_fit.h"
#include "tools/gauss_model.h"

extern char** environ;

namespace {

constexpr int kPoints = 10001;
constexpr double kFirst = 13000.0, kStep = 0.8;

TGaussModelParams blockWith(double position, double width, double spacing, double a0, double a1, double a2) {
    TGaussModelParams b = GaussDefaultParams();
    b.RangeFrom = kFirst;
    b.RangeTo = kFirst + (kPoints - 1) * kStep;
    TGaussGroup& g = b.Groups[0];
    g.BandCount = 3;
    g.Position = position;
    g.Width = width;
    g.Spacing = spacing;
    g.Amplitudes[0] = a0;
    g.Amplitudes[1] = a1;
    g.Amplitudes[2] = a2;
    return b;
}

const TGaussModelParams kStart = blockWith(15150.0, 1400.0, 1950.0, 0.7, 0.45, 0.35);

// The measured spectrum: the true bands plus a small fixed noise, in 1/cm.
const TSpectrumRecord& Spectrum() {
    static const TSpectrumRecord rec = [] {
        const TGaussModelParams truth = blockWith(15000.0, 1500.0, 2000.0, 0.8, 0.5, 0.3);
        TSpectrumRecord r;
        r.XUnit = SpecXWavenumber;
        r.FirstX = kFirst;
        r.StepX = kStep;
        r.Values.resize(kPoints);
        for (int i = 0; i < kPoints; ++i)
            r.Values[static_cast<std::size_t>(i)] =
                GaussBandSum(truth, r.XAt(i)) + 0.002 * (static_cast<double>((i * 7919L) % 101) / 50.0 - 1.0);
        return r;
    }();
    return rec;
}

void BM_GaussFitIterate(benchmark::State& state) {
    const TDisplayState display{SpecXWavenumber, SpecYAbsorbance};
    TGaussModelParams b;
    for (auto _ : state) {
        b = kStart;
        auto reports = GaussFitIterate(Spectrum(), b, TGaussFitSwitches{}, display);
        benchmark::DoNotOptimize(reports.data());
    }
    state.counters["position"] = b.Groups[0].Position;
    state.counters["width"] = b.Groups[0].Width;
    state.counters["spacing"] = b.Groups[0].Spacing;
}
BENCHMARK(BM_GaussFitIterate)->Unit(benchmark::kMillisecond);

// The same data and start values for cfityk; Gaussian(height, center, hwhm) there is
// height * exp(-ln 2 ((x - center) / hwhm)^2), so hwhm = width * sqrt(ln 2).
std::string WritePeerFiles() {
    const auto dir = std::filesystem::temp_directory_path() / ("vx_gauss_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string data = (dir / "spectrum.xy").string(), script = (dir / "fit.fit").string();
    {
        std::ofstream f(data);
        f.precision(17);
        const TSpectrumRecord& r = Spectrum();
        for (int i = 0; i < kPoints; ++i) f << r.XAt(i) << ' ' << r.Values[static_cast<std::size_t>(i)] << '\n';
    }
    const TGaussGroup& g = kStart.Groups[0];
    std::ofstream s(script);
    s.precision(17);
    s << "@0 < '" << data << "'\n"
      << "set fitting_method = levenberg_marquardt\n"
      << "$p = ~" << g.Position << "\n$w = ~" << g.Width << "\n$s = ~" << g.Spacing << "\n";
    for (int k = 0; k < 3; ++k)
        s << "%g" << k << " = Gaussian(~" << g.Amplitudes[static_cast<std::size_t>(k)] << ", $p+" << k
          << "*$s, $w*" << std::sqrt(std::log(2.0)) << ")\n";
    s << "F = %g0 + %g1 + %g2\nfit\ninfo $p\ninfo $w\ninfo $s\n";
    return script;
}

void BM_FitykWholeProcess(benchmark::State& state) {
    const char* peer = "/usr/bin/cfityk";
    if (::access(peer, X_OK) != 0) {
        state.SkipWithError("cfityk is not installed (apt install fityk)");
        return;
    }
    const std::string script = WritePeerFiles();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string a0 = peer, a1 = "-n", a2 = "-q", a3 = "-I";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), const_cast<char*>(script.c_str()), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, peer, &actions, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("cfityk failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    std::filesystem::remove_all(std::filesystem::path(script).parent_path());
}
BENCHMARK(BM_FitykWholeProcess)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
