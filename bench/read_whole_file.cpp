// One whole read per process, for comparing readers with a plain fread as whole processes:
//   bench_read_whole_file make-rvx|make-spc FILE [MB] writes a sample file of about 100 MB (or MB, at
//                                                     least 1, for a quick trial of the comparison)
//   bench_read_whole_file fread|rvx|spc|spclib FILE reads FILE once and exits
//   bench_read_whole_file floor-rvx|floor-spc FILE  the fread and the one pass into doubles (reader_floors.h)
//   bench_read_whole_file floor2m-rvx|floor2m-spc FILE  the same in memory advised to 2 MiB pages
// bench/spc_rvx_vs_fread.sh and bench/binary_readers_vs_floor.sh run these side by side.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "formats/format_table.h"
#include "formats/rvx.h"
#include "formats/spc_reader.h"
#include "bench_files.h"
#include "platform/byte_order.h"
#include "reader_floors.h"
#include "sample_files.h"
#include "spclib/tarnvik_api.h"

namespace fs = std::filesystem;

namespace {

// A spectrum of 10,000 points is 80 kB in an RVX file and 40 kB in an SPC file.
int makeRvx(const std::string& path, int megabytes) {
    SaveRvxFile(path, bench_samples::RvxSpectra(megabytes * 25 / 2));
    return 0;
}

int makeSpc(const std::string& path, int megabytes) {
    return bench_samples::WriteSpc(path, megabytes * 25, 10'000) ? 0 : 1;
}

int freadWhole(const std::string& path) {
    return bench_files::FreadWhole(path, static_cast<std::size_t>(fs::file_size(path))) ? 0 : 1;
}

// Every record's values of an RVX file: a 10-byte header, then per record its 864-byte image and its
// doubles (the sample's records all hold 10,000).
int floorRvx(const std::string& path, bench_floors::LargePages pages) {
    constexpr std::size_t kImage = 864, kPoints = 10'000;
    const std::size_t records = (static_cast<std::size_t>(fs::file_size(path)) - 10) / (kImage + 8 * kPoints);
    const auto lists = bench_floors::FreadIntoDoubles<8>(path, {10 + kImage, records, kPoints, kImage}, byteorder::getF64LE, pages);
    return lists.size() == records ? 0 : 1;
}

// Every subfile's values of an evenly spaced SPC file of single values: the 512-byte header (point count
// at 4, subfile count at 24), then per subfile its 32-byte header and its values.
int floorSpc(const std::string& path, bench_floors::LargePages pages) {
    uint8_t head[28] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    const bool got = f && std::fread(head, 1, sizeof head, f) == sizeof head;
    if (f) std::fclose(f);
    if (!got) return 1;
    const auto points = static_cast<std::size_t>(byteorder::getI32LE(head + 4));
    const auto subfiles = static_cast<std::size_t>(byteorder::getI32LE(head + 24));
    const auto lists = bench_floors::FreadIntoDoubles<4>(path, {512 + 32, subfiles, points, 32},
                                                         [](const uint8_t* p) { return double(byteorder::getF32LE(p)); }, pages);
    return lists.size() == subfiles && subfiles > 0 ? 0 : 1;
}

int readSpcLibrary(const std::string& path) {
    HTARNVIK h = TARNVIK_Create();
    int r = TARNVIK_OpenFile(h, path.c_str());
    int32_t subfiles = 0;
    TARNVIK_GetNumSubfiles(h, &subfiles);
    std::vector<float> y;
    for (int32_t k = 0; r == 0 && k < subfiles; ++k) {
        int32_t n = 0;
        TARNVIK_SetSubFileIndex(h, k);
        TARNVIK_GetNumPoints(h, &n);
        y.resize(std::size_t(n));
        r = TARNVIK_GetYPoints(h, y.data(), n);
    }
    TARNVIK_Destroy(h);
    return r == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool make = argc >= 2 && std::strncmp(argv[1], "make-", 5) == 0;
    const int megabytes = make && argc == 4 ? std::atoi(argv[3]) : 100;
    if (argc != 3 && !(make && argc == 4 && megabytes >= 1)) {
        std::fprintf(stderr, "usage: %s make-rvx|make-spc FILE [MB] | fread|rvx|spc|spclib|floor-rvx|floor-spc|floor2m-rvx|floor2m-spc FILE\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1], path = argv[2];
    // The program finds the library beside itself; without a registry folder given (the comparison
    // script gives one, so that the library is registered once, as on a user's machine) the
    // registration goes to a folder of this run.
    fs::path registry;
    if (!std::getenv("VAROLUX32_REGISTRY_DIR")) {
        registry = fs::temp_directory_path() / ("vxbench_reg_" + std::to_string(::getpid()));
        setenv("VAROLUX32_REGISTRY_DIR", registry.c_str(), 1);
    }
    const std::string programFolder = fs::canonical("/proc/self/exe").parent_path().string() + "/";
    int result = 2;
    if (mode == "make-rvx") result = makeRvx(path, megabytes);
    if (mode == "make-spc") result = makeSpc(path, megabytes);
    if (mode == "fread") result = freadWhole(path);
    if (mode == "spclib") result = readSpcLibrary(path);
    using bench_floors::LargePages;
    if (mode == "floor-rvx") result = floorRvx(path, LargePages::Plain);
    if (mode == "floor-spc") result = floorSpc(path, LargePages::Plain);
    if (mode == "floor2m-rvx") result = floorRvx(path, LargePages::Advised);
    if (mode == "floor2m-spc") result = floorSpc(path, LargePages::Advised);
    if (mode == "rvx" || mode == "spc") {
        // Left to the end of the process, as the program's list is.
        static TSpectraList list;
        if (mode == "rvx") LoadRvxFile(path, list);
        else LoadSpecSpc(path, list, ReadLimitOf(OpenFormat::Spc), programFolder);
        result = list.Count() > 0 ? 0 : 1;
    }
    if (!registry.empty()) fs::remove_all(registry);
    std::fflush(stdout);
    _exit(result);
}
