// Batch export of 1,000 spectra x 1,000 points: one CSV file per spectrum, and one SPC multi-file of
// 1,000 subfiles written through the SPC library. The files go to a temporary folder on the disk
// that holds the system's temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/program_settings.h"
#include "formats/multi_export.h"
#include "formats/spc_binding.h"
#include "platform/ui.h"
#include "tools/batch_export.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSpectra = 1000;
constexpr int kPoints = 1000;

TSpectraList spectra() {
    TSpectraList list;
    for (int s = 0; s < kSpectra; ++s) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->Title = "spectrum " + std::to_string(s);
        r->FileName = "/data/run/s" + std::to_string(s) + ".rvx";
        r->FirstX = 300.0;
        r->StepX = 0.5;
        r->ExcitationWl = 250 + s;
        for (int i = 0; i < kPoints; ++i) r->Values.push_back(0.2 + 0.5 * std::sin(0.01 * i + 0.001 * s));
        list.Add(std::move(r));
    }
    return list;
}

struct Folder {
    fs::path path = fs::temp_directory_path() / ("vx_bench_exports_" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path / "out"); }
    ~Folder() { fs::remove_all(path); }
    // A fresh folder for each pass, as a user exports into: files removed just before would make
    // the file system look through them while it creates the new ones.
    std::string fresh() {
        const fs::path p = path / ("pass" + std::to_string(++passes));
        fs::create_directories(p);
        return p.string();
    }
    int passes = 0;
};

void BM_BatchCsvSingleFiles(benchmark::State& state) {
    const TSpectraList list = spectra();
    Folder f;
    TMultiSave s;
    s.FileType = 2;
    s.Output = 0;
    s.Location = 1;
    s.Numbering = true;
    s.BaseName = "run";
    for (auto _ : state) {
        state.PauseTiming();
        const std::string folder = f.fresh();
        state.ResumeTiming();
        const auto r = SaveSpectraBatch(list, s, folder, "");
        benchmark::DoNotOptimize(r.Files.data());
    }
    state.SetItemsProcessed(state.iterations() * kSpectra);
}
BENCHMARK(BM_BatchCsvSingleFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BatchSpcMultiFile(benchmark::State& state) {
    const TSpectraList list = spectra();
    Folder f;
    setenv("VAROLUX32_REGISTRY_DIR", (f.path / "reg").c_str(), 1);
    const std::string programFolder = f.path.string() + "/";
    fs::copy_file(VX_SPCLIB_PATH, programFolder + kTarnvikLibraryFile);
    ui::ScopedScriptedBackend quiet;
    if (!RegisterTarnvikServer(programFolder)) {
        state.SkipWithError("the SPC library did not register");
        return;
    }
    const std::string file = (f.path / "out" / "multi.spc").string();
    for (auto _ : state) benchmark::DoNotOptimize(SaveSpectraMulti(list, file, 1, -1, programFolder));
    state.SetItemsProcessed(state.iterations() * kSpectra);
    state.counters["bytes"] = static_cast<double>(fs::file_size(file));
}
BENCHMARK(BM_BatchSpcMultiFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
