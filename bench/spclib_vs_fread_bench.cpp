// SPC files of 100 MB read by the program (open through the library, every subfile into a record of
// doubles) and by the library alone, each against a plain fread of the same file in the same run.
// Run: build/bin/bench_spclib_vs_fread  (or bench/spc_rvx_vs_fread.sh for the figures and ratios)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "formats/format_table.h"
#include "formats/spc_reader.h"
#include "bench_files.h"
#include "sample_files.h"
#include "spclib/tarnvik_api.h"

namespace fs = std::filesystem;
using namespace bench_files;

namespace {

struct Shape {
    const char* name;
    int subfiles;
    int points;
};
// 2,500 subfiles of 10,000 points, and one subfile of 25,000,000 points: 100 MB of values each.
constexpr Shape kShapes[] = {{"subfiles", 2500, 10000}, {"single", 1, 25'000'000}};

// The program finds the library beside itself: the benchmark is built beside it.
const std::string& ProgramFolderOfRun() {
    static const std::string folder = fs::canonical("/proc/self/exe").parent_path().string() + "/";
    return folder;
}

const std::string& sampleFile(int shape) {
    static std::string paths[2];
    std::string& p = paths[shape];
    if (p.empty()) {
        const Shape& s = kShapes[shape];
        p = (RunFolder() / (std::string(s.name) + ".spc")).string();
        if (!bench_samples::WriteSpc(p, s.subfiles, s.points)) std::abort();
    }
    return p;
}

// What any program that wants the bytes does: one buffer, one fread.
void freadWhole(const std::string& path) {
    std::unique_ptr<char[]> buf = FreadWhole(path, static_cast<std::size_t>(FileBytes(path)));
    benchmark::DoNotOptimize(buf.get());
    if (!buf) std::abort();
}

void BM_Fread(benchmark::State& state) {
    const std::string& file = sampleFile(int(state.range(0)));
    for (auto _ : state) freadWhole(file);
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
    state.SetLabel(kShapes[state.range(0)].name);
}
BENCHMARK(BM_Fread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's Open of an SPC file: every subfile becomes a record.
void BM_LoadSpecSpc(benchmark::State& state) {
    const std::string& file = sampleFile(int(state.range(0)));
    for (auto _ : state) {
        TSpectraList list;
        LoadSpecSpc(file, list, ReadLimitOf(OpenFormat::Spc), ProgramFolderOfRun());
        if (list.Count() != kShapes[state.range(0)].subfiles) state.SkipWithError("not every subfile read");
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
    state.SetLabel(kShapes[state.range(0)].name);
}
BENCHMARK(BM_LoadSpecSpc)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The library alone: open, then the Y values of every subfile.
void BM_LibraryOpenRead(benchmark::State& state) {
    const Shape& s = kShapes[state.range(0)];
    const std::string& file = sampleFile(int(state.range(0)));
    std::vector<float> y(static_cast<std::size_t>(s.points));
    HTARNVIK h = TARNVIK_Create();
    for (auto _ : state) {
        if (TARNVIK_OpenFile(h, file.c_str()) != 0) state.SkipWithError("open failed");
        for (int k = 0; k < s.subfiles; ++k) {
            TARNVIK_SetSubFileIndex(h, k);
            TARNVIK_GetYPoints(h, y.data(), s.points);
        }
        benchmark::DoNotOptimize(y.data());
    }
    TARNVIK_Destroy(h);
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
    state.SetLabel(s.name);
}
BENCHMARK(BM_LibraryOpenRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The program finds the library beside itself and registers it in a registry of its own.
    setenv("VAROLUX32_REGISTRY_DIR", (RunFolder() / "registry").c_str(), 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
