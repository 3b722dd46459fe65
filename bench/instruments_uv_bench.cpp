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
#include "text_reader_loop.h"

using namespace bench_files;
using namespace byteorder;

namespace {

constexpr int kValues = 25'000'000;  // 100 MB of 4-byte values

enum BinaryKind { kOldSp, kBlockSp, kScn, kProcSpec };
const char* const kBinaryNames[] = {"old.sp", "blocks.sp", "scan.scn", "large.procspec"};

std::string oldSp() {
    std::string b(512 + std::size_t{4} * kValues, '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    putI32LE(d + 10, kValues);
    putI32LE(d + 14, 20000 + (kValues - 1));
    putI32LE(d + 18, 20000);
    putI16LE(d + 22, 1);
    d[25] = 1;
    putI32LE(d + 28, 100000);
    putU16LE(d + 80, 502);
    std::memcpy(d + 150, "NM", 2);
    for (int i = 0; i < kValues; ++i) putI32LE(d + 512 + 4 * std::size_t(i), i % 150000);
    return b;
}

std::string blockSp() {
    const int n = kValues / 2;  // doubles
    std::string b = "PEPE" + std::string(40, ' ');
    auto block = [&](uint16_t tag, std::size_t len) {
        const std::size_t at = b.size();
        b.resize(at + 6 + len, '\0');
        auto* d = reinterpret_cast<uint8_t*>(b.data() + at);
        putU16LE(d, tag);
        putI32LE(d + 2, static_cast<int32_t>(len));
        return d + 6;
    };
    uint8_t* p = block(0x8B72, 18);
    putF64LE(p + 2, 4000);
    putF64LE(p + 10, 4000 - 0.0002 * (n - 1));
    putF64LE(block(0x8B74, 10) + 2, 0.0002);
    putI32LE(block(0x8B75, 6) + 2, n);
    std::memcpy(block(0x8B77, 8) + 4, "CM-1", 4);
    std::memcpy(block(0x8B78, 5) + 4, "A", 1);
    p = block(0x8B7C, 6 + std::size_t{8} * n) + 6;
    for (int i = 0; i < n; ++i) putF64LE(p + 8 * std::size_t(i), 0.5 + 1e-7 * i);
    return b;
}

// Single-precision x cannot say exactly where a scan of 25 million points ends: a few values more than
// the range asks for stand behind the others.
std::string scan() {
    std::string b(59 + std::size_t{4} * (kValues + 16), '\0');
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    std::memcpy(d, "S_SCAN", 6);
    putF32BE(d + 38, 190.0f);
    putF32BE(d + 42, 190.0f + 0.5f * (kValues - 1));
    putF32BE(d + 51, 0.5f);
    for (int i = 0; i < kValues; ++i) putF32BE(d + 59 + 4 * std::size_t(i), 0.001f * float(i % 3000));
    return b;
}

const std::string& binaryPath(int kind) {
    return RunFileOnce(kBinaryNames[kind], [kind] {
        switch (kind) {
        case kOldSp: return oldSp();
        case kBlockSp: return blockSp();
        case kScn: return scan();
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
    const auto size = static_cast<std::size_t>(FileBytes(file));
    for (auto _ : state) {
        std::unique_ptr<char[]> buf = FreadWhole(file, size);
        if (!buf) {
            state.SkipWithError("short read");
            break;
        }
        const auto* p = reinterpret_cast<const int32_t*>(buf.get() + 512);
        std::vector<double> values(p, p + kValues);
        benchmark::DoNotOptimize(values.data());
        state.PauseTiming();
        buf.reset();
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
        case kAscii: LoadSpecAscii(r, path, false, ReadLimitOf(OpenFormat::Fak)); break;
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
