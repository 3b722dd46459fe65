// The settings store with a large file (50 MB of values): the first read parses it, later reads come
// from memory; a write replaces the file once, and a batch of writes once in all.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry.h"

namespace {

namespace fs = std::filesystem;
using registry::Hive;

const std::string kKey = "SOFTWARE\\Brightmoor\\Varolux32\\Dateien";

// A store of about 50 MB: 500,000 values of 100 characters under 1,000 keys.
const fs::path& bigStore() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("vxsettingsbench" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::ofstream out(d / "current-user.reg", std::ios::binary);
        out << "; varolux32 settings store\n";
        const std::string filler(100, 'x');
        for (int k = 0; k < 1000; ++k) {
            out << "[SOFTWARE\\Filler\\K" << k << "]\n";
            for (int v = 0; v < 500; ++v) out << "\"V" << v << "\"=\"" << filler << "\"\n";
        }
        out << "[" << kKey << "]\n\"MRU0\"=\"/data/a.rvx\"\n";
        setenv("VAROLUX32_REGISTRY_DIR", d.c_str(), 1);
        std::atexit([] { fs::remove_all(fs::temp_directory_path() / ("vxsettingsbench" + std::to_string(::getpid()))); });
        return d;
    }();
    return dir;
}

void BM_FirstReadParsesTheStore(benchmark::State& state) {
    const fs::path& dir = bigStore();
    for (auto _ : state) {
        // Touching the file makes the next read parse it again.
        state.PauseTiming();
        fs::last_write_time(dir / "current-user.reg", fs::file_time_type::clock::now());
        state.ResumeTiming();
        benchmark::DoNotOptimize(registry::readString(Hive::CurrentUser, kKey, "MRU0"));
    }
}
BENCHMARK(BM_FirstReadParsesTheStore)->Unit(benchmark::kMillisecond);

void BM_ReadFromMemory(benchmark::State& state) {
    bigStore();
    registry::readString(Hive::CurrentUser, kKey, "MRU0");
    for (auto _ : state) benchmark::DoNotOptimize(registry::readString(Hive::CurrentUser, kKey, "MRU0"));
}
BENCHMARK(BM_ReadFromMemory)->Unit(benchmark::kMicrosecond);

void BM_RecentFilesSavedAsOneBatch(benchmark::State& state) {
    bigStore();
    for (auto _ : state) {
        registry::WriteBatch batch(Hive::CurrentUser);
        for (int i = 0; i < 10; ++i)
            registry::writeString(Hive::CurrentUser, kKey, "MRU" + std::to_string(i), "/data/file.rvx");
        benchmark::DoNotOptimize(batch.commit());
    }
}
BENCHMARK(BM_RecentFilesSavedAsOneBatch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
