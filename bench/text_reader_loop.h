#pragma once
// The loop of the text-reader benchmarks, shared by the benchmark programs of the reader families.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_files.h"

namespace bench_files {

// One text reader over one file per iteration: `read(record, path)` into a fresh record, which must get
// at least `minPoints` points. Bytes per second and the file's name are reported.
template <class Record, class Read>
void ReadTextFileLoop(benchmark::State& state, const std::string& path, const char* name, int minPoints, Read read) {
    for (auto _ : state) {
        Record r;
        read(r, path);
        if (r.PointCount() < minPoints) state.SkipWithError("not every line read");
        benchmark::DoNotOptimize(r.Values.data());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(path));
    state.SetLabel(name);
}

}  // namespace bench_files
