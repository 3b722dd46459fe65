// One whole read per process of the instrument readers, for comparing them with a plain fread and with
// their floor (bench/reader_floors.h) of the same file as whole processes:
//   bench_instruments_read_whole_file make-FORMAT FILE       writes a sample file of about 100 MB
//   bench_instruments_read_whole_file fread FILE             reads FILE once and exits
//   bench_instruments_read_whole_file floor-FORMAT FILE      the fread and the one pass into doubles
//   bench_instruments_read_whole_file floor2m-FORMAT FILE    the same in memory advised to 2 MiB pages
//   bench_instruments_read_whole_file FORMAT FILE            the reader the Open command calls, into a record
// FORMAT: jws (compound, 512-byte sectors), jws4096, jws-flat, procspec, sp-old, sp-block, scn, spe.
// bench/binary_readers_vs_floor.sh runs these side by side.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "core/spectra_list.h"
#include "formats/beckman_scn.h"
#include "formats/format_table.h"
#include "formats/jws_reader.h"
#include "formats/perkinelmer_sp.h"
#include "formats/procspectrum_archive.h"
#include "formats/spe_reader.h"
#include "platform/byte_order.h"

#include "bench_files.h"
#include "instrument_samples.h"
#include "reader_floors.h"

namespace {

using namespace instrument_samples;
using bench_floors::FreadIntoDoubles;
using bench_floors::Runs;

using bench_floors::LargePages;

struct Format {
    std::function<std::string()> make;
    // True when every value was converted.
    std::function<bool(const std::string& path, LargePages pages)> floor;
    std::function<bool(const std::string& path)> read;  // true when the reader read the file
};

std::size_t fileBytes(const std::string& path) { return static_cast<std::size_t>(std::filesystem::file_size(path)); }

double f32le(const uint8_t* p) { return byteorder::getF32LE(p); }

// A single-record reader as the Open command calls it, the record kept to the end of the process, as
// the program's list keeps its records.
bool readRecord(OpenFormat format, const std::string& path) {
    static TSpectrumRecord r;
    static const std::string programFolder;
    static TAxisQueryChoice axisQuery;
    const FormatEntry& row = *FormatEntryOf(format);
    row.fresh(r, path, row.maxBytes, TReaderContext{programFolder, axisQuery});
    return r.PointCount() > 1'000'000;
}

const std::map<std::string, Format>& formats() {
    static const std::map<std::string, Format> table = {
        {"jws", {[] { return JwsCompound(); },
                 [](const std::string& p, LargePages lp) { return !FreadIntoDoubles<4>(p, JwsCompoundRuns(fileBytes(p)), f32le, lp).empty(); },
                 [](const std::string& p) { return readRecord(OpenFormat::Jws, p); }}},
        {"jws4096", {[] { return JwsCompound(25'000'000, 4096); },
                     [](const std::string& p, LargePages lp) {
                         return !FreadIntoDoubles<4>(p, JwsCompoundRuns(fileBytes(p), 25'000'000, 4096), f32le, lp).empty();
                     },
                     [](const std::string& p) { return readRecord(OpenFormat::Jws, p); }}},
        {"jws-flat", {[] { return JwsFlat(); },
                      [](const std::string& p, LargePages lp) { return !FreadIntoDoubles<4>(p, JwsFlatRuns(), f32le, lp).empty(); },
                      [](const std::string& p) { return readRecord(OpenFormat::Jws, p); }}},
        {"procspec", {[] { return ProcSpecArchive(); },
                      [](const std::string& p, LargePages lp) { return bench_floors::FreadUnzipIntoDoubles(p, "ps_1.xml", lp).size() == 2; },
                      [](const std::string& p) { return readRecord(OpenFormat::ProcSpec, p); }}},
        {"sp-old", {[] { return OldSp(); },
                    [](const std::string& p, LargePages lp) {
                        return !FreadIntoDoubles<4>(p, OldSpRuns(), [](const uint8_t* q) { return double(byteorder::getI32LE(q)); }, lp).empty();
                    },
                    [](const std::string& p) { return readRecord(OpenFormat::PerkinElmerSp, p); }}},
        {"sp-block", {[] { return BlockSp(); },
                      [](const std::string& p, LargePages lp) {
                          return !FreadIntoDoubles<8>(p, BlockSpRuns(fileBytes(p)), byteorder::getF64LE, lp).empty();
                      },
                      [](const std::string& p) { return readRecord(OpenFormat::PerkinElmerSp, p); }}},
        {"scn", {[] { return Scan(); },
                 [](const std::string& p, LargePages lp) {
                     return !FreadIntoDoubles<4>(p, ScanRuns(), [](const uint8_t* q) { return double(byteorder::getF32BE(q)); }, lp).empty();
                 },
                 [](const std::string& p) { return readRecord(OpenFormat::BeckmanScn, p); }}},
        {"spe", {[] { return SpeFrames(); },
                 [](const std::string& p, LargePages lp) {
                     return !FreadIntoDoubles<2>(p, SpeRuns(), [](const uint8_t* q) { return double(byteorder::getU16LE(q)); }, lp).empty();
                 },
                 [](const std::string& p) {
                     static TSpectraList list;
                     LoadSpecWinSpecSpe(p, list, ReadLimitOf(OpenFormat::WinSpecSpe));
                     return list.Count() == kSpeFrames * kSpeStripes;
                 }}},
    };
    return table;
}

int write(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return f.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "", path = argc == 3 ? argv[2] : "";
    int result = 2;
    auto startsWith = [&](const char* prefix) { return mode.rfind(prefix, 0) == 0; };
    const std::string name = startsWith("make-")      ? mode.substr(5)
                             : startsWith("floor-")   ? mode.substr(6)
                             : startsWith("floor2m-") ? mode.substr(8)
                                                      : mode;
    const auto it = formats().find(name);
    if (mode == "fread") {
        result = bench_files::FreadWhole(path, fileBytes(path)) ? 0 : 1;
    } else if (it != formats().end()) {
        const Format& f = it->second;
        if (startsWith("make-")) result = write(path, f.make());
        else if (startsWith("floor-")) result = f.floor(path, LargePages::Plain) ? 0 : 1;
        else if (startsWith("floor2m-")) result = f.floor(path, LargePages::Advised) ? 0 : 1;
        else result = f.read(path) ? 0 : 1;
    }
    if (result == 2) {
        std::fprintf(stderr, "usage: %s make-FORMAT|floor-FORMAT|floor2m-FORMAT|FORMAT FILE | fread FILE\n  FORMAT:", argv[0]);
        for (const auto& [n, f] : formats()) std::fprintf(stderr, " %s", n.c_str());
        std::fprintf(stderr, "\n");
    }
    std::fflush(stdout);
    _exit(result);
}
