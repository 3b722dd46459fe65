// Reading a large two-column text file and writing / reading many own-format spectra; the own-format
// file read is measured against a plain fread of the same file in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "core/spectra_list.h"
#include "formats/ascii_reader.h"
#include "formats/format_table.h"
#include "formats/rvx.h"
#include "platform/numtext.h"
#include "bench_files.h"
#include "sample_files.h"

namespace {

// 1,000,000 lines of "x<TAB>y" with CR LF, about 23 MB.
const std::string& asciiText() {
    static const std::string text = bench_files::TwoColumnText(1'000'000);
    return text;
}

std::string tempPath(const char* name) { return (bench_files::RunFolder() / name).string(); }

void BM_AsciiReadMemory(benchmark::State& state) {
    const std::string& text = asciiText();
    for (auto _ : state) {
        TSpectrumRecord r;
        ReadSpecAsciiBytes(r, text, false, "bench.fak", nullptr);
        benchmark::DoNotOptimize(r.Values.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AsciiReadMemory)->Unit(benchmark::kMillisecond);

void BM_AsciiReadFile(benchmark::State& state) {
    const std::string path = tempPath("vxbench_ascii.fak");
    std::ofstream(path, std::ios::binary) << asciiText();
    for (auto _ : state) {
        TSpectrumRecord r;
        LoadSpecAscii(r, path, nullptr, ReadLimitOf(OpenFormat::Fak));
        benchmark::DoNotOptimize(r.Values.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * asciiText().size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_AsciiReadFile)->Unit(benchmark::kMillisecond);

// 1,250 spectra of 10,000 points: a file of 101 MB.
const TSpectraList& manySpectra() {
    static const TSpectraList list = bench_samples::RvxSpectra();
    return list;
}

void BM_RvxImage(benchmark::State& state) {
    const TSpectraList& list = manySpectra();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string image = RvxFileImage(list);
        bytes = image.size();
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_RvxImage)->Unit(benchmark::kMillisecond);

void BM_RvxParse(benchmark::State& state) {
    const std::string image = RvxFileImage(manySpectra());
    for (auto _ : state) {
        TSpectraList list;
        LoadRvxBytes(image, 0.0, list);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_RvxParse)->Unit(benchmark::kMillisecond);

void BM_RvxWriteFile(benchmark::State& state) {
    const std::string path = tempPath("vxbench_w.rvx");
    const TSpectraList& list = manySpectra();
    std::size_t bytes = 0;
    for (auto _ : state) {
        SaveRvxFile(path, list);
        bytes = std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    std::filesystem::remove(path);
}
BENCHMARK(BM_RvxWriteFile)->Unit(benchmark::kMillisecond);

// The saved file, read back by the reader and, in the same run, by a plain fread of the whole file.
struct RvxSample {
    std::string path = tempPath("vxbench_r.rvx");
    std::size_t bytes = 0;
    RvxSample() {
        SaveRvxFile(path, manySpectra());
        bytes = static_cast<std::size_t>(std::filesystem::file_size(path));
    }
    ~RvxSample() { std::filesystem::remove(path); }
};
const RvxSample& rvxSample() {
    static const RvxSample sample;
    return sample;
}

void BM_RvxReadFile(benchmark::State& state) {
    const RvxSample& file = rvxSample();
    for (auto _ : state) {
        TSpectraList list;
        LoadRvxFile(file.path, list);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes));
}
BENCHMARK(BM_RvxReadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RvxFread(benchmark::State& state) {
    const RvxSample& file = rvxSample();
    for (auto _ : state) {
        std::unique_ptr<char[]> buf = bench_files::FreadWhole(file.path, file.bytes);
        benchmark::DoNotOptimize(buf.get());
        if (!buf) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes));
}
BENCHMARK(BM_RvxFread)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
