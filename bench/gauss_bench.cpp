// The Gauss band-group fit: one group of three overlapping bands with noise, fitted through all seven
// stages at 10,001 and 100,001 points, beside the Levenberg-Marquardt fit of the independent
// peak-fitting program cfityk (Debian package fityk) on the same data and start values, when it is
// installed. Both report the CPU time of the fit alone as their time: ours around the call, cfityk's
// from its own Lua clock around its "fit" command (loading the data and starting the process are not
// counted). bench/gauss_compare.sh runs both in turn and gives the ratio.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "core/units.h"
#include "tools/gauss_fit.h"
#include "tools/gauss_model.h"

extern char** environ;

namespace {

constexpr double kFirst = 13000.0, kLast = 21000.0;

TGaussModelParams blockWith(double position, double width, double spacing, double a0, double a1, double a2) {
    TGaussModelParams b = GaussDefaultParams();
    b.RangeFrom = kFirst;
    b.RangeTo = kLast;
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

// The measured spectrum of `points` points over the range: the true bands plus a small fixed noise,
// in 1/cm.
const TSpectrumRecord& Spectrum(int points) {
    static std::map<int, TSpectrumRecord> made;
    auto [it, fresh] = made.try_emplace(points);
    TSpectrumRecord& r = it->second;
    if (fresh) {
        const TGaussModelParams truth = blockWith(15000.0, 1500.0, 2000.0, 0.8, 0.5, 0.3);
        r.XUnit = SpecXWavenumber;
        r.FirstX = kFirst;
        r.StepX = (kLast - kFirst) / (points - 1);
        r.Values.resize(static_cast<std::size_t>(points));
        for (int i = 0; i < points; ++i)
            r.Values[static_cast<std::size_t>(i)] =
                GaussBandSum(truth, r.XAt(i)) + 0.002 * (static_cast<double>((i * 7919L) % 101) / 50.0 - 1.0);
    }
    return r;
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void BM_GaussFitIterate(benchmark::State& state) {
    const TDisplayState display{SpecXWavenumber, SpecYAbsorbance};
    const TSpectrumRecord& spectrum = Spectrum(static_cast<int>(state.range(0)));
    TGaussModelParams b;
    for (auto _ : state) {
        b = kStart;
        const double t0 = processCpuSeconds();
        auto reports = GaussFitIterate(spectrum, b, TGaussFitSwitches{}, display);
        state.SetIterationTime(processCpuSeconds() - t0);
        benchmark::DoNotOptimize(reports.data());
    }
    state.counters["position"] = b.Groups[0].Position;
    state.counters["width"] = b.Groups[0].Width;
    state.counters["spacing"] = b.Groups[0].Spacing;
}
BENCHMARK(BM_GaussFitIterate)->Arg(10001)->Arg(100001)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same data and start values for cfityk; Gaussian(height, center, hwhm) there is
// height * exp(-ln 2 ((x - center) / hwhm)^2), so hwhm = width * sqrt(ln 2).
struct PeerFiles {
    std::filesystem::path dir;
    std::string script, output;
    explicit PeerFiles(int points) {
        dir = std::filesystem::temp_directory_path() / ("vx_gauss_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string data = (dir / "spectrum.xy").string();
        script = (dir / "fit.fit").string();
        output = (dir / "out.txt").string();
        std::ofstream f(data);
        f.precision(17);
        const TSpectrumRecord& r = Spectrum(points);
        for (int i = 0; i < points; ++i) f << r.XAt(i) << ' ' << r.Values[static_cast<std::size_t>(i)] << '\n';
        const TGaussGroup& g = kStart.Groups[0];
        std::ofstream s(script);
        s.precision(17);
        // Every point weighs the same, as in our fit (cfityk's default weighs by sqrt(y)).
        s << "set default_sigma = one\n"
          << "@0 < '" << data << "'\n"
          << "set fitting_method = levenberg_marquardt\n"
          << "$p = ~" << g.Position << "\n$w = ~" << g.Width << "\n$s = ~" << g.Spacing << "\n";
        for (int k = 0; k < 3; ++k)
            s << "%g" << k << " = Gaussian(~" << g.Amplitudes[static_cast<std::size_t>(k)] << ", $p+" << k
              << "*$s, $w*" << std::sqrt(std::log(2.0)) << ")\n";
        s << "F = %g0 + %g1 + %g2\n"
          << "lua vx_t0 = os.clock()\nfit\nlua print(string.format('vx_fit_cpu %.9f', os.clock() - vx_t0))\n"
          << "info $p\ninfo $w\ninfo $s\n";
    }
    ~PeerFiles() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// The number after the last `key` in the text ("vx_fit_cpu 0.012", "$p = ~15000.1 = 15000"; cfityk
// echoes the commands, so the first is the command's), NaN without it.
double numberAfter(const std::string& text, const std::string& key) {
    const auto at = text.rfind(key);
    if (at == std::string::npos) return std::nan("");
    std::istringstream in(text.substr(at + key.size()));
    double v = 0.0;
    return in >> v ? v : std::nan("");
}

void BM_CfitykFit(benchmark::State& state) {
    const char* peer = "/usr/bin/cfityk";
    if (::access(peer, X_OK) != 0) {
        state.SkipWithError("cfityk is not installed (bench/install-peers)");
        return;
    }
    const PeerFiles files(static_cast<int>(state.range(0)));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, files.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string a0 = peer, a1 = "-n", a2 = "-q", a3 = "-I", a4 = files.script;
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), nullptr};
    std::string out;
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, peer, &actions, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("cfityk failed");
            break;
        }
        std::ifstream f(files.output);
        out.assign(std::istreambuf_iterator<char>(f), {});
        const double cpu = numberAfter(out, "vx_fit_cpu ");
        if (!(cpu >= 0.0)) {
            state.SkipWithError("cfityk gave no fit time");
            break;
        }
        state.SetIterationTime(cpu);
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["position"] = numberAfter(out, "$p = ~");
    state.counters["width"] = numberAfter(out, "$w = ~");
    state.counters["spacing"] = numberAfter(out, "$s = ~");
}
BENCHMARK(BM_CfitykFit)->Arg(10001)->Arg(100001)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
