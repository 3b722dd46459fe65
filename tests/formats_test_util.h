#pragma once
// Shared fixtures of the open-and-save tests: a temporary folder and the regional decimal separator
// set for the duration of a test.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/open_files.h"
#include "platform/numtext.h"

namespace fmt_test {

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("vxfmt") + std::to_string(::getpid()) + "_" +
                           (info ? std::string(info->test_suite_name()) + "_" + info->name() : "x");
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string p = file(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string read(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

private:
    std::filesystem::path path_;
};

// The regional decimal separator of one test: "." unless told otherwise, restored afterwards. The
// readers and writers work on the list and display units a test gives them.
class CleanState {
public:
    explicit CleanState(char decimalSep = '.') : oldSep_(numtext::decimalSeparator()) {
        numtext::setDecimalSeparator(decimalSep);
    }
    ~CleanState() { numtext::setDecimalSeparator(oldSep_); }

private:
    char oldSep_;
};

// The settings a reader of the Open command is lent, as the program starts with them; `ProgramFolder`
// names the folder the SPC library is registered from.
struct StartSettings {
    std::string ProgramFolder;
    TAxisQueryChoice AxisQueryChoice;
    TReaderContext context{ProgramFolder, AxisQueryChoice};

    StartSettings() = default;
    explicit StartSettings(std::string programFolder) : ProgramFolder(std::move(programFolder)) {}
    StartSettings(const StartSettings&) = delete;
    StartSettings& operator=(const StartSettings&) = delete;
    operator const TReaderContext&() const { return context; }
};

// Lines joined with CR LF, each line ended (a text file as the instruments write them).
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

// The text with every "." as the given decimal separator (expected number texts written with ".").
inline std::string withSeparator(std::string s, char sep) {
    for (char& c : s)
        if (c == '.') c = sep;
    return s;
}

// The Open command's errors raised by readers, each "File: " + name + CR LF + its text, joined by CR LF
// in reading order: every failure but the unknown extensions and the files read without a spectrum;
// empty when no reader raised one.
inline std::string readerErrors(const OpenResult& r) {
    std::string text;
    for (const OpenFailure& f : r.failed) {
        if (f.unknownExtension || f.reason == "no spectrum of two or more points in it") continue;
        if (!text.empty()) text += "\r\n";
        text += "File: " + f.name + "\r\n" + f.reason;
    }
    return text;
}

}  // namespace fmt_test
