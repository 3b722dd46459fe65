// The UV/Vis instrument readers on large files: PerkinElmer SP (old binary header and block layout),
// DU scans and a ProcSpec archive of about 100 MB each against a plain fread of the same file in the
// same run; the ASC, SPK, PRN and SpectraWiz readers and the PerkinElmer text layouts (the "PE " ASCII
// variant and the headerless fluorescence text) on 1,000,000 data lines against the two-column reader on
// as many lines.
// Run: build/bin/bench_instruments_uv
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "formats/asc_reader.h"
#include "formats/ascii_reader.h"
#include "formats/beckman_scn.h"
#include "formats/format_table.h"
#include "formats/perkinelmer_sp.h"
#include "formats/prn_reader.h"
#include "formats/procspectrum_archive.h"
#include "formats/spectrawiz.h"
#include "formats/spk_reader.h"
#include "platform/byte_order.h"

#include "bench_files.h"
#include "instrument_samples.h"
#include "reader_floors.h"
#include "text_reader_loop.h"

using namespace bench_files;
using namespace byteorder;

namespace {

enum BinaryKind { kOldSp, kBlockSp, kScn, kProcSpec };
const char* const kBinaryNames[] = {"old.sp", "blocks.sp", "scan.scn", "large.procspec"};

const std::string& binaryPath(int kind) {
    return RunFileOnce(kBinaryNames[kind], [kind] {
        switch (kind) {
        case kOldSp: return instrument_samples::OldSp();
        case kBlockSp: return instrument_samples::BlockSp();
        case kScn: return instrument_samples::Scan();
        default: return instrument_samples::ProcSpecArchive();
        }
    });
}

void BM_Fread(benchmark::State& state) {
    const std::string& file = binaryPath(int(state.range(0)));
    const auto size = static_cast<std::size_t>(FileBytes(file));
    for (auto _ : state) {
        std::unique_ptr<char[]> buf = FreadWhole(file, size);
        if (!buf) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buf.get());
        // Giving the memory back is not reading: neither side counts it.
        state.PauseTiming();
        buf.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
    state.SetLabel(kBinaryNames[state.range(0)]);
}
BENCHMARK(BM_Fread)->DenseRange(kOldSp, kProcSpec)->Unit(benchmark::kMillisecond)->UseRealTime();

// The least any reader of 4-byte values into a record does: the fread above, then the values as doubles
// in a vector. The doubles take twice the file's bytes in fresh memory, so this, not the fread alone,
// bounds the readers of the old SP layout and of scans.
void BM_FreadIntoDoubles(benchmark::State& state) {
    const std::string& file = binaryPath(int(state.range(0)));
    for (auto _ : state) {
        bench_floors::Lists values = bench_floors::FreadIntoDoubles<4>(
            file, instrument_samples::OldSpRuns(), [](const uint8_t* p) { return double(getI32LE(p)); });
        if (values.empty()) {
            state.SkipWithError("short read");
            break;
        }
        benchmark::DoNotOptimize(values.data());
        state.PauseTiming();
        values = {};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
    state.SetLabel(kBinaryNames[state.range(0)]);
}
BENCHMARK(BM_FreadIntoDoubles)->Arg(kOldSp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BinaryReader(benchmark::State& state) {
    const int kind = int(state.range(0));
    const std::string& file = binaryPath(kind);
    for (auto _ : state) {
        TSpectrumRecord r;
        switch (kind) {
        case kOldSp:
        case kBlockSp: LoadSpecPerkinElmer(r, file, ReadLimitOf(OpenFormat::PerkinElmerSp)); break;
        case kScn: LoadSpecBeckmanScn(r, file, ReadLimitOf(OpenFormat::BeckmanScn)); break;
        default: LoadSpecProcSpec(r, file); break;
        }
        if (r.PointCount() < 1'000'000) state.SkipWithError("not every value read");
        benchmark::DoNotOptimize(r.Values.data());
        state.PauseTiming();
        r = TSpectrumRecord();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(file));
    state.SetLabel(kBinaryNames[kind]);
}
BENCHMARK(BM_BinaryReader)->DenseRange(kOldSp, kProcSpec)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Text readers: 1,000,000 data lines each, against the two-column reader on as many lines.

constexpr int kLines = 1'000'000;

enum TextKind { kAscii, kAsc, kSpk, kPrn, kSpectraWiz, kPeAscii, kPeHeaderless };
const char* const kTextNames[] = {"ascii.fak", "milton.asc", "xdap.spk", "ccd.prn",
                                  "wiz.trm",   "pe_uv.sp",   "pe_fl.sp"};
constexpr int kTextKinds = 7;

std::string textFile(int kind) {
    if (kind == kAscii) return TwoColumnText(kLines) + "end\r\n";
    std::string s;
    s.reserve(40'000'000);
    switch (kind) {
    case kAsc:
        s += "MR.ASC   Sample ID: bench\r\nc\r\nDate and time:      01-Jan-2000\r\n";
        for (int i = 3; i < 12; ++i) s += "h\r\n";
        break;
    case kSpk: s += "9\r\nt\r\nd\r\nc\r\n5\r\n6\r\n7\r\nbench\r\n1\r\n0\r\n"; break;
    case kSpectraWiz: s += "\"bench\r\n  A\r\n"; break;
    case kPeAscii:
        s += "PE UV       SUBTECH     SPECTRUM    ASCII       PEDS\r\n\r\n\r\n01/01/00\r\n12:00:00\r\n\r\n\r\n\r\n"
             "bench\r\n#GR\r\nNM\r\nA\r\n#DATA\r\n";
        break;
    case kPeHeaderless: {
        char head[160];
        s.append(head, static_cast<std::size_t>(std::snprintf(head, sizeof head,
                                                              "%d\r\n\r\n\r\n\r\n\r\n\r\n\r\n%.4f\r\n%.4f\r\n350\r\n\r\n\r\nEM\r\n\r\n",
                                                              kLines, LineX(0), LineX(kLines - 1))));
        break;
    }
    default: break;
    }
    char line[96];
    const char* const format = kind == kPeAscii ? "%.4f\t%.6f\r\n" : "%.4f %.6f\r\n";
    for (int i = 0; i < kLines; ++i)
        s.append(line, static_cast<std::size_t>(std::snprintf(line, sizeof line, format, LineX(i), LineY(i))));
    if (kind == kSpectraWiz || kind == kAsc || kind >= kPeAscii) s += "end\r\n";
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
        case kAsc: LoadAscFile(r, path, ReadLimitOf(OpenFormat::Asc)); break;
        case kSpk: LoadSpecSpk(r, path, ReadLimitOf(OpenFormat::Spk)); break;
        case kPrn: LoadSpecPrn(r, path, ReadLimitOf(OpenFormat::Prn)); break;
        case kSpectraWiz: LoadSpecSpectraWiz(r, path, ReadLimitOf(OpenFormat::SpectraWiz)); break;
        default: LoadSpecPerkinElmer(r, path, ReadLimitOf(OpenFormat::PerkinElmerSp)); break;
        }
    });
}
BENCHMARK(BM_TextReader)->DenseRange(kAscii, kPeHeaderless)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
