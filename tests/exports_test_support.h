#pragma once
// Fixtures of the export tests: a temporary folder that also serves as the program's folder (with the
// SPC library registered from it when a test needs the library), and spectra built from values.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "formats/spc_binding.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace exptest {

namespace fs = std::filesystem;

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("vxexp" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "prog");
        fs::create_directories(dir_ / "out");
        setenv("VAROLUX32_REGISTRY_DIR", (dir_ / "reg").c_str(), 1);
        savedSep_ = numtext::decimalSeparator();
    }
    void TearDown() override {
        numtext::setDecimalSeparator(savedSep_);
        unsetenv("VAROLUX32_REGISTRY_DIR");
        fs::remove_all(dir_);
    }
#ifdef VX_SPCLIB_PATH
    // The SPC library beside the "program", registered without its messages.
    void RegisterSpcLibrary() {
        fs::copy_file(VX_SPCLIB_PATH, programFolder() + kTarnvikLibraryFile);
        ui::ScopedScriptedBackend quiet;
        ASSERT_TRUE(RegisterTarnvikServer(programFolder()));
    }
#endif
    // The "program's" folder, ending with "/".
    std::string programFolder() const { return (dir_ / "prog").string() + "/"; }
    std::string out() const { return (dir_ / "out").string() + "/"; }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    static void write(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }

    fs::path dir_;

private:
    char savedSep_ = '.';
};

// The lines of a CR LF text, each without its line end.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
        out.push_back(text.substr(start, p - start));
    return out;
}

// A spectrum of n points on first + i * step with smooth values of its own (seed).
inline std::unique_ptr<TSpectrumRecord> spectrum(const std::string& title, double first, double step, int n,
                                                 double seed = 1.0, SpecXUnit xUnit = SpecXNanometer,
                                                 SpecYKind yKind = SpecYAbsorbance) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->FirstX = first;
    r->StepX = step;
    r->XUnit = xUnit;
    r->YKind = yKind;
    r->SourceKind = 11;
    r->DateText = "2024-03-05 10:20:30";
    for (int i = 0; i < n; ++i) r->Values.push_back(0.05 + 0.5 * seed * (1.0 + std::sin(0.1 * i + seed)));
    return r;
}

}  // namespace exptest
