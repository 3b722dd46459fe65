// One whole read per process of the JWS and ProcSpec readers, for comparing them with a plain fread of
// the same file as whole processes:
//   bench_instruments_read_whole_file make-jws|make-jws4096|make-jws-flat|make-procspec FILE
//       writes a sample file of about 100 MB
//   bench_instruments_read_whole_file fread|jws|procspec FILE
//       reads FILE once and exits
// bench/instrument_readers_vs_fread.sh runs these side by side.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/spectrum_record.h"
#include "formats/format_table.h"
#include "formats/jws_reader.h"
#include "formats/procspectrum_archive.h"

#include "bench_files.h"
#include "instrument_samples.h"

namespace {

int write(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return f.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: %s make-jws|make-jws4096|make-jws-flat|make-procspec FILE | fread|jws|procspec FILE\n",
                     argv[0]);
        return 2;
    }
    const std::string mode = argv[1], path = argv[2];
    int result = 2;
    if (mode == "make-jws") result = write(path, instrument_samples::JwsCompound());
    if (mode == "make-jws4096") result = write(path, instrument_samples::JwsCompound(25'000'000, 4096));
    if (mode == "make-jws-flat") result = write(path, instrument_samples::JwsFlat());
    if (mode == "make-procspec") result = write(path, instrument_samples::ProcSpecArchive());
    if (mode == "fread")
        result = bench_files::FreadWhole(path, static_cast<std::size_t>(std::filesystem::file_size(path))) ? 0 : 1;
    if (mode == "jws" || mode == "procspec") {
        // Left to the end of the process, as the program's list keeps its records.
        static TSpectrumRecord r;
        if (mode == "jws") LoadJwsFile(r, path, ReadLimitOf(OpenFormat::Jws));
        else LoadSpecProcSpec(r, path);
        result = r.PointCount() > 1'000'000 ? 0 : 1;
    }
    std::fflush(stdout);
    _exit(result);
}
