#pragma once
// What the read benchmarks share: a folder for the files of one run, the plain fread every reader is
// measured against, and the two-column text of 1,000,000 lines the text readers are compared with.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace bench_files {

// The folder of this run, removed at exit.
inline const std::filesystem::path& RunFolder() {
    struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("vxbench_" + std::to_string(::getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() { std::filesystem::remove_all(path); }
    };
    static const Folder folder;
    return folder.path;
}

// Writes `bytes` as the run's file `name`; its path.
inline std::string WriteRunFile(const std::string& name, const std::string& bytes) {
    const std::string p = (RunFolder() / name).string();
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

// The run's file `name`, written by `make()` the first time it is asked for; its path.
template <class Make>
const std::string& RunFileOnce(const std::string& name, Make make) {
    static std::map<std::string, std::string> paths;
    std::string& p = paths[name];
    if (p.empty()) p = WriteRunFile(name, make());
    return p;
}

inline int64_t FileBytes(const std::string& path) { return static_cast<int64_t>(std::filesystem::file_size(path)); }

// What any program that wants the bytes does: one buffer, one fread. Null when the file was not read whole.
inline std::unique_ptr<char[]> FreadWhole(const std::string& path, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    std::unique_ptr<char[]> buf(new char[size]);
    const std::size_t got = std::fread(buf.get(), 1, size, f);
    std::fclose(f);
    return got == size ? std::move(buf) : nullptr;
}

// The curve every benchmark text file holds, line i: x from 200 nm in steps of 0.0007, y a slow sine.
inline double LineX(int i) { return 200.0 + i * 0.0007; }
inline double LineY(int i) { return 0.5 + 0.4 * std::sin(i * 1e-4); }

// `lines` lines "x<TAB>y" with CR LF (1,000,000 take about 23 MB): the two-column reader's file.
inline std::string TwoColumnText(int lines) {
    std::string s;
    s.reserve(static_cast<std::size_t>(lines) * 24);
    char line[64];
    for (int i = 0; i < lines; ++i)
        s.append(line, static_cast<std::size_t>(std::snprintf(line, sizeof line, "%.4f\t%.6f\r\n", LineX(i), LineY(i))));
    return s;
}

}  // namespace bench_files
