// Opening an SPC file of 1,000 subfiles x 10,000 points and reading every point; saving the same.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "spclib/tarnvik_api.h"

namespace {

constexpr int kSubfiles = 1000;
constexpr int kPoints = 10000;

const std::string& SampleFile() {
    static const std::string path = [] {
        std::string p = "/tmp/spclib_bench_" + std::to_string(::getpid()) + ".spc";
        HTARNVIK h = TARNVIK_Create();
        TARNVIK_CreateSpc(h, 0);
        TARNVIK_SetFirstPoint(h, 400);
        TARNVIK_SetLastPoint(h, 800);
        std::vector<float> y(kPoints);
        for (int k = 0; k < kSubfiles; ++k) {
            for (int i = 0; i < kPoints; ++i) y[i] = float(k) + float(i) * 1e-4f;
            TARNVIK_AddSubFile(h, y.data(), nullptr, kPoints, float(k), float(k));
        }
        TARNVIK_SaveFile(h, p.c_str(), -1);
        TARNVIK_Destroy(h);
        std::atexit([] { std::remove(SampleFile().c_str()); });
        return p;
    }();
    return path;
}

void BM_OpenAndReadAllPoints(benchmark::State& state) {
    const std::string& file = SampleFile();
    std::vector<float> y(kPoints);
    HTARNVIK h = TARNVIK_Create();
    for (auto _ : state) {
        if (TARNVIK_OpenFile(h, file.c_str()) != 0) state.SkipWithError("open failed");
        for (int k = 0; k < kSubfiles; ++k) {
            TARNVIK_SetSubFileIndex(h, k);
            TARNVIK_GetYPoints(h, y.data(), kPoints);
        }
        benchmark::DoNotOptimize(y.data());
    }
    TARNVIK_Destroy(h);
    state.SetBytesProcessed(state.iterations() * int64_t(kSubfiles) * (kPoints * 4 + 32));
}
BENCHMARK(BM_OpenAndReadAllPoints)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Save(benchmark::State& state) {
    const std::string& file = SampleFile();
    HTARNVIK h = TARNVIK_Create();
    TARNVIK_OpenFile(h, file.c_str());
    std::string out = file + ".out";
    for (auto _ : state) {
        if (TARNVIK_SaveFile(h, out.c_str(), -1) <= 0) state.SkipWithError("save failed");
    }
    TARNVIK_Destroy(h);
    std::remove(out.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(kSubfiles) * (kPoints * 4 + 32));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
