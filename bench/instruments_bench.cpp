// The instrument readers on large files: an SPE file of 100 MB of 16-bit frames against a plain fread
// of the same file in the same run, and against the fread followed by the conversion into doubles;
// the text readers on files of 1,000,000 data lines against the two-column reader.
// Run: build/bin/bench_instruments
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "formats/ascii_reader.h"
#include "formats/avasoft_reader.h"
#include "formats/format_table.h"
#include "formats/rruff_wls_dsp_ggg_readers.h"
#include "formats/spe_reader.h"
#include "platform/byte_order.h"

#include "bench_files.h"
#include "instrument_samples.h"
#include "reader_floors.h"
#include "text_reader_loop.h"

using namespace bench_files;

namespace {

using instrument_samples::kSpeFrames;
using instrument_samples::kSpeStripes;

const std::string& speFile() {
    static const std::string path = WriteRunFile("frames.spe", instrument_samples::SpeFrames());
    return path;
}

void BM_Fread(benchmark::State& state) {
    const std::string& file = speFile();
    const auto size = static_cast<std::size_t>(FileBytes(file));
    for (auto _ : state) {
        std::unique_ptr<char[]> buf = FreadWhole(file, size);
        if (!buf) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buf.get());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
}
BENCHMARK(BM_Fread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Open command's read: every frame and stripe into a record of doubles.
void BM_LoadSpecWinSpecSpe(benchmark::State& state) {
    const std::string& file = speFile();
    for (auto _ : state) {
        TSpectraList list;
        LoadSpecWinSpecSpe(file, list, ReadLimitOf(OpenFormat::WinSpecSpe));
        if (list.Count() != kSpeFrames * kSpeStripes) state.SkipWithError("not every stripe read");
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
}
BENCHMARK(BM_LoadSpecWinSpecSpe)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Text readers: 1,000,000 data lines each, against the two-column reader on as many lines.

constexpr int kLines = 1'000'000;

enum TextKind { kAscii, kAvaSoft, kRruff, kWls, kDsp, kGgg };
const char* const kTextNames[] = {"ascii.fak", "avasoft.tit", "mineral.rruff", "export.wls", "scan.dsp", "lowtemp.ggg"};

std::string textFile(int kind) {
    if (kind == kAscii) return TwoColumnText(kLines) + "end\r\n";
    std::string s;
    s.reserve(40'000'000);
    char line[96];
    auto header = [&](int n) {
        for (int i = 0; i < n; ++i) s += "\r\n";
    };
    switch (kind) {
    case kAvaSoft: s += "Sample\r\nIntegration time: 10 ms\r\n\r\n\r\n\r\n\r\nWave ;Sample\r\n"; break;
    case kRruff: s += "##NAMES=Quartz\r\n##RRUFFID=R040031\r\n"; break;
    case kWls: s += "\"UV\"\r\n"; header(9); break;
    case kDsp:
        s += "SINACSA\r\nSCAN\r\n\r\nscan\r\nnm\r\n200\r\n\r\n0.0007\r\n";
        header(34);
        s += "#DATA\r\n";
        break;
    case kGgg: s += "<typ> ccdex\r\n<aufloesung> 0.0007\r\n# Begin data\r\n"; break;
    default: break;
    }
    for (int i = 0; i < kLines; ++i) {
        const double x = LineX(i), y = LineY(i);
        int n = 0;
        switch (kind) {
        case kAvaSoft: n = std::snprintf(line, sizeof line, "%.4f;%.6f\r\n", x, y); break;
        case kRruff: n = std::snprintf(line, sizeof line, "%.4f, %.6f\r\n", x, y); break;
        case kWls: n = std::snprintf(line, sizeof line, "\"%d\",\"%.4f\",\"%.6f\"\r\n", i + 1, x, y); break;
        case kDsp: n = std::snprintf(line, sizeof line, "%.4f\t%.6f\r\n", x, y); break;
        case kGgg: n = std::snprintf(line, sizeof line, "%.4f %.6f\r\n", x, y); break;
        }
        s.append(line, static_cast<std::size_t>(n));
    }
    // The two-column, RRUFF and WLS readers stop at their end lines; DSP and GGG read to the file end.
    if (kind == kWls) s += "\"END\"\r\n";
    if (kind == kRruff) s += "##END=\r\n";
    if (kind == kAvaSoft) s += "end\r\n";
    return s;
}

const std::string& textPath(int kind) {
    return RunFileOnce(kTextNames[kind], [kind] { return textFile(kind); });
}

void BM_TextReader(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    ReadTextFileLoop<TSpectrumRecord>(state, textPath(kind), kTextNames[kind], kLines - 1,
                                      [kind](TSpectrumRecord& r, const std::string& path) {
        switch (kind) {
        case kAscii: LoadSpecAscii(r, path, nullptr, ReadLimitOf(OpenFormat::Fak)); break;
        case kAvaSoft: LoadSpecAvaSoft(r, path, ReadLimitOf(OpenFormat::AvaSoft)); break;
        case kRruff: LoadSpecRruff(r, path, ReadLimitOf(OpenFormat::Rruff)); break;
        case kWls: LoadSpecVwrWls(r, path, ReadLimitOf(OpenFormat::VwrWls)); break;
        case kDsp: LoadSpecAscanisDsp(r, path, ReadLimitOf(OpenFormat::AscanisDsp)); break;
        default: LoadGggFile(r, path, ReadLimitOf(OpenFormat::Ggg)); break;
        }
    });
}
BENCHMARK(BM_TextReader)->DenseRange(kAscii, kGgg)->Unit(benchmark::kMillisecond)->UseRealTime();

// The least any reader of this file into records of doubles does (reader_floors.h): the fread above,
// then one vector of doubles per stripe filled from it. The records hold four times the file's bytes,
// in memory the system hands over zeroed, so this and not the fread alone bounds the reader.
void BM_FreadIntoDoubles(benchmark::State& state) {
    const std::string& file = speFile();
    for (auto _ : state) {
        const bench_floors::Lists stripes = bench_floors::FreadIntoDoubles<2>(
            file, instrument_samples::SpeRuns(), [](const uint8_t* p) { return double(byteorder::getU16LE(p)); });
        if (stripes.empty()) {
            state.SkipWithError("short read");
            break;
        }
        benchmark::DoNotOptimize(stripes.data());
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
}
BENCHMARK(BM_FreadIntoDoubles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
