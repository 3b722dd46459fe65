// The instrument readers on large files: an SPE file of 100 MB of 16-bit frames against a plain fread
// of the same file in the same run, and against the fread followed by the conversion into doubles.
// Run: build/bin/bench_instruments
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "formats/spe_reader.h"
#include "platform/byte_order.h"

namespace fs = std::filesystem;

namespace {

// A folder of this run, removed at exit.
struct BenchDir {
    fs::path path = fs::temp_directory_path() / ("vxbench_instruments_" + std::to_string(::getpid()));
    BenchDir() { fs::create_directories(path); }
    ~BenchDir() { fs::remove_all(path); }
};

const fs::path& benchDir() {
    static const BenchDir dir;
    return dir.path;
}

// 373 frames of 100 stripes of 1340 pixels, 16-bit, on a linear wavelength calibration: 100 MB.
constexpr int kPixels = 1340, kStripes = 100, kFrames = 373;

const std::string& speFile() {
    static const std::string path = [] {
        const std::string p = (benchDir() / "frames.spe").string();
        std::string b(4100 + std::size_t{2} * kPixels * kStripes * kFrames, '\0');
        auto* d = reinterpret_cast<uint8_t*>(b.data());
        using namespace byteorder;
        putF32LE(d + 10, 0.25f);
        putU16LE(d + 42, kPixels);
        putI16LE(d + 108, 3);
        putU16LE(d + 656, kStripes);
        putU32LE(d + 1446, kFrames);
        putU16LE(d + 1512, 1);
        putU16LE(d + 1516, 1);
        putU32LE(d + 2996, 0x01234567);
        std::memcpy(d + 3018, "Wavelength", 10);
        d[3101] = 1;
        putF64LE(d + 3263, 500);
        putF64LE(d + 3271, 0.05);
        for (std::size_t i = 4100; i + 1 < b.size(); i += 2) putU16LE(d + i, static_cast<uint16_t>(i * 7));
        std::ofstream(p, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
        return p;
    }();
    return path;
}

int64_t fileBytes(const std::string& path) { return static_cast<int64_t>(fs::file_size(path)); }

void BM_Fread(benchmark::State& state) {
    const std::string& file = speFile();
    const auto size = static_cast<std::size_t>(fileBytes(file));
    for (auto _ : state) {
        std::FILE* f = std::fopen(file.c_str(), "rb");
        std::unique_ptr<char[]> buf(new char[size]);
        const std::size_t got = std::fread(buf.get(), 1, size, f);
        std::fclose(f);
        benchmark::DoNotOptimize(buf.get());
        if (got != size) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(file));
}
BENCHMARK(BM_Fread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Open command's read: every frame and stripe into a record of doubles.
void BM_LoadSpecWinSpecSpe(benchmark::State& state) {
    const std::string& file = speFile();
    for (auto _ : state) {
        TSpectraList list;
        LoadSpecWinSpecSpe(file, list);
        if (list.Count() != kFrames * kStripes) state.SkipWithError("not every stripe read");
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(file));
}
BENCHMARK(BM_LoadSpecWinSpecSpe)->Unit(benchmark::kMillisecond)->UseRealTime();

// The least any reader of this file into records of doubles does: the fread above, then one vector of
// doubles per stripe filled from it. The records hold four times the file's bytes, in memory the
// system hands over zeroed, so this and not the fread alone bounds the reader.
void BM_FreadIntoDoubles(benchmark::State& state) {
    const std::string& file = speFile();
    const auto size = static_cast<std::size_t>(fileBytes(file));
    for (auto _ : state) {
        std::FILE* f = std::fopen(file.c_str(), "rb");
        std::unique_ptr<char[]> buf(new char[size]);
        const std::size_t got = std::fread(buf.get(), 1, size, f);
        std::fclose(f);
        if (got != size) state.SkipWithError("short read");
        std::vector<std::vector<double>> stripes(std::size_t{kFrames} * kStripes);
        const auto* p = reinterpret_cast<const uint16_t*>(buf.get() + 4100);
        for (auto& v : stripes) {
            v.assign(p, p + kPixels);
            p += kPixels;
        }
        benchmark::DoNotOptimize(stripes.data());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(file));
}
BENCHMARK(BM_FreadIntoDoubles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
