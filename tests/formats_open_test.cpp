#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "formats/format_table.h"
#include "formats/open_files.h"
#include "formats/rvx.h"
#include "formats_test_util.h"
#include "platform/ui.h"
#include "tests/fault_injection.h"

using fmt_test::CleanState;
using fmt_test::TempDir;

namespace {

std::string fakText(const std::string& label, int lines = 11, double y = 0.5) {
    std::string s = label.empty() ? "" : label + "\r\n";
    for (int i = 0; i < lines; ++i) s += std::to_string(400 + i) + "\t" + numtext::FloatToStr(y, '.') + "\r\n";
    return s;
}

std::unique_ptr<TSpectrumRecord> record(const std::string& title, int32_t xUnit, int32_t yKind, uint32_t color) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->XUnit = xUnit;
    r->YKind = yKind;
    r->FirstX = 500;
    r->StepX = xUnit == SpecXNanometer ? 1 : -1;
    r->Values = {0.1, 0.2, 0.3};
    r->Color = color;
    r->LineStyle = 1;
    return r;
}

std::string rvxImage(std::initializer_list<std::pair<int32_t, int32_t>> units) {
    TSpectraList l;
    int i = 0;
    for (auto [x, y] : units) l.Add(record("r" + std::to_string(i++), x, y, 0x123456));
    return RvxFileImage(l);
}

void setFileYear2000(const std::string& path) {
    utimbuf t{946684800, 946684800};
    ASSERT_EQ(::utime(path.c_str(), &t), 0);
}

}  // namespace

class OpenFiles : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList list;
    TDisplayState display;
    std::string folder() const { return dir.file(""); }
    OpenResult open(std::vector<std::string> names, const std::function<void(int, int)>& progress = {}) {
        return OpenSpectrumFiles(std::move(names), list, display, progress);
    }
};

TEST_F(OpenFiles, NamesAreReadInCaseInsensitiveOrderWithDefaultColours) {
    const std::string b = dir.write("b.fak", fakText("Wavenumbers\tTransmittance"));
    const std::string a = dir.write("A.fak", fakText("Wavelength\tAbsorbance"));
    std::vector<std::pair<int, int>> progress;
    OpenResult r = open({b, a}, [&](int i, int n) { progress.emplace_back(i, n); });
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.filesRead, 2);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title, "A");
    EXPECT_EQ(list[1].Title, "b");
    EXPECT_EQ(list[0].Color, CurveColor(1));
    EXPECT_EQ(list[1].Color, CurveColor(2));
    EXPECT_EQ(list[0].LineStyle, 0);
    EXPECT_EQ(display.DisplayXUnit, SpecXWavenumber);  // from the last record, b
    EXPECT_EQ(display.DisplayYMode, SpecYTransmittance);
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(r.openFolder, folder());
    EXPECT_TRUE(r.rvxFiles.empty());
    EXPECT_FALSE(r.restoreAppearance);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(OpenFiles, NameListRules) {
    const std::string upper = dir.write("S.fak", fakText("nm\tAbsorbance"));
    const std::string lower = dir.write("s.fak", fakText("nm\tAbsorbance"));
    const std::string semi = dir.write("x; y.FAK", fakText("nm\tAbsorbance"));
    const std::string text = dir.write("notes.txt", "nothing");
    OpenResult r = open({semi, lower, upper, lower, text});
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.filesRead, 3);  // the duplicate once, the text file skipped silently
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title, "S");  // case-sensitive tie-break
    EXPECT_EQ(list[1].Title, "s");
    EXPECT_EQ(list[2].Title, "x; y");
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(OpenFiles, ReaderErrorStopsTheRunButUnitsFollowTheList) {
    const std::string a = dir.write("a.fak", fakText("Wavenumbers\tAbsorbance"));
    const std::string b = dir.write("b.fak", fakText("nm\tAbsorbance", 9));
    const std::string c = dir.write("c.fak", fakText("nm\tAbsorbance"));
    display.DisplayXUnit = SpecXNanometer;
    OpenResult r = open({c, b, a});
    EXPECT_EQ(r.filesRead, 1);
    EXPECT_EQ(list.Count(), 1);  // c is not read after b failed
    EXPECT_EQ(r.error, "File: " + b + "\r\nList index out of bounds (10)");
    EXPECT_EQ(display.DisplayXUnit, SpecXWavenumber);
    EXPECT_EQ(r.openFolder, folder());
}

TEST_F(OpenFiles, OwnFormatFilesAndAppearance) {
    const std::string one = dir.write("one.rvx", rvxImage({{SpecXNanometer, SpecYAbsorbance}, {SpecXRamanShift, SpecYReflectance}}));
    OpenResult r = open({one});
    EXPECT_EQ(r.rvxFiles, std::vector<std::string>{one});
    EXPECT_TRUE(r.restoreAppearance);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Color, 0x123456u);  // records keep their own colour and style
    EXPECT_EQ(list[0].LineStyle, 1);
    EXPECT_EQ(display.DisplayXUnit, SpecXWavenumber);
    EXPECT_EQ(display.DisplayYMode, SpecYTransmittance);

    // Into a list that already holds spectra: no restore.
    r = open({one});
    EXPECT_FALSE(r.restoreAppearance);

    // Two files at once, or an old file: no restore.
    list.Clear();
    const std::string two = dir.write("two.rvx", rvxImage({{SpecXNanometer, SpecYIntensity}}));
    r = open({one, two});
    EXPECT_EQ(r.rvxFiles, (std::vector<std::string>{one, two}));
    EXPECT_FALSE(r.restoreAppearance);
    list.Clear();
    setFileYear2000(two);
    r = open({two});
    EXPECT_FALSE(r.restoreAppearance);
    EXPECT_EQ(r.rvxFiles.size(), 1u);
}

TEST_F(OpenFiles, TruncatedOwnFormatFileKeepsItsCompleteSpectra) {
    std::string image = rvxImage({{SpecXNanometer, SpecYAbsorbance}, {SpecXNanometer, SpecYAbsorbance}});
    image.resize(image.size() - 4);
    const std::string bad = dir.write("bad.rvx", image);
    const std::string later = dir.write("later.fak", fakText("nm\tAbsorbance"));
    OpenResult r = open({bad, later});
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].PointCount(), 3);
    EXPECT_EQ(r.error, "File: " + bad + "\r\nStream read error");
    EXPECT_TRUE(r.rvxFiles.empty());
}

// Bytes that no reader takes for a spectrum: the same every run.
std::string junkBytes(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>((i * 37 + 11) & 0xFF);
    return s;
}

// A file that gives no spectrum is named (unknown extension, nothing in it, bytes of no format), and an
// own-format file that gave nothing never counts as opened for the recent files.
TEST_F(OpenFiles, FilesWithoutSpectrumAreListedAndNeverRecent) {
    const std::string empty = dir.write("a_empty.dx", "");
    const std::string junk = dir.write("b_junk.dat", junkBytes(3000));
    const std::string none = dir.write("b_none.rvx", RvxFileImage(TSpectraList()));
    const std::string good = dir.write("c_good.fak", fakText("nm\tAbsorbance"));
    const std::string notes = dir.write("d_notes.txt", "nothing");
    const std::string noExt = dir.write("e_noext", "nothing");
    const std::string own = dir.write("f_own.rvx", rvxImage({{SpecXNanometer, SpecYAbsorbance}}));
    OpenResult r = open({own, noExt, notes, good, none, junk, empty});
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.noSpectrum, (std::vector<std::string>{empty, junk, none, notes, noExt}));
    EXPECT_EQ(r.rvxFiles, std::vector<std::string>{own});
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(ui->messages.empty());  // the command shows the one message
    EXPECT_EQ(NoSpectrumMessage(r.noSpectrum),
              "No spectrum could be read from:\r\n" + empty + "\r\n" + junk + "\r\n" + none + "\r\n" + notes +
                  "\r\n" + noExt);
}

// The reader error still ends the run: files before it that gave nothing are named, later ones are
// not read at all.
TEST_F(OpenFiles, ReaderErrorEndsTheRunAfterFilesWithoutSpectrum) {
    const std::string empty = dir.write("a_empty.dx", "");
    const std::string good = dir.write("b_good.fak", fakText("nm\tAbsorbance"));
    const std::string bad = dir.write("c_bad.fak", fakText("nm\tAbsorbance", 9));
    const std::string notes = dir.write("d_notes.txt", "nothing");
    OpenResult r = open({notes, bad, good, empty});
    EXPECT_EQ(r.noSpectrum, std::vector<std::string>{empty});
    EXPECT_NE(r.error.find(bad), std::string::npos) << r.error;
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(OpenFiles, NothingToRead) {
    OpenResult r = open({});
    EXPECT_EQ(r.filesRead, 0);
    EXPECT_TRUE(r.openFolder.empty());
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(display.DisplayXUnit, SpecXNanometer);
}

TEST_F(OpenFiles, DisplayUnitsFromTheLastRecord) {
    struct Case {
        int32_t xUnit, yKind;
        uint8_t displayX, displayY;
    } cases[] = {
        {SpecXNanometer, SpecYTransmittance, 1, 1}, {SpecXWavenumber, SpecYAbsorbance, 2, 2},
        {SpecXElectronVolt, SpecYEpsilon, 3, 3},   {SpecXMicrometer, SpecYLogEpsilon, 4, 4},
        {SpecXRamanShift, SpecYReflectance, 2, 1}, {SpecXNanometer, SpecYIntensity, 1, 3},
    };
    for (const auto& c : cases) {
        list.Clear();
        list.Add(record("r", c.xUnit, c.yKind, 0));
        const TDisplayState shown = DisplayUnitsFromLastRecord(list, TDisplayState{4, 3});
        EXPECT_EQ(shown.DisplayXUnit, c.displayX) << c.xUnit;
        EXPECT_EQ(shown.DisplayYMode, c.displayY) << c.yKind;
    }
    list.Clear();
    const TDisplayState kept = DisplayUnitsFromLastRecord(list, TDisplayState{4, 3});
    EXPECT_EQ(kept.DisplayXUnit, 4);
    EXPECT_EQ(kept.DisplayYMode, 3);
}

TEST_F(OpenFiles, ExistingFilesDropsMissingNames) {
    const std::string a = dir.write("a.fak", "x");
    std::filesystem::create_directories(dir.file("folder.fak"));
    EXPECT_EQ(ExistingFiles({dir.file("missing.fak"), a, dir.file("folder.fak"), "", a}),
              (std::vector<std::string>{a, a}));
}

// A named pipe (or a folder) under a spectrum file's name held the Open command for ever. Every reader of
// the table refuses it at once, and the error names the reason after "Cannot open file".
TEST_F(OpenFiles, EveryReaderRefusesPipesAndFoldersWithTheReason) {
    // The SPC reader binds the SPC library before it opens the file: its refusal is tested with the
    // library registered (formats_spc_test).
    std::vector<std::string> names;
    for (const FormatEntry& row : FormatTable())
        if (row.HasReader())
            for (const std::string& ext : row.extensions)
                if (ext != "SPC") names.push_back(ext);
    ASSERT_GT(names.size(), 20u);
    for (const std::string& ext : names) {
        SCOPED_TRACE(ext);
        const std::string pipe = dir.file("pipe." + ext), folder = dir.file("folder." + ext);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        std::filesystem::create_directories(folder);
        const int code = fault::inChildWithin(10, [&] {
            ui::ScopedScriptedBackend quiet;
            for (const auto& [path, reason] : {std::pair{pipe, "Is a named pipe"}, std::pair{folder, "Is a directory"}}) {
                const OpenResult r = open({path});
                if (r.error.find("Cannot open file") == std::string::npos || r.error.find(path) == std::string::npos ||
                    r.error.find(reason) == std::string::npos) {
                    std::fprintf(stderr, "%s: %s\n", path.c_str(), r.error.c_str());
                    return 1;
                }
            }
            return list.Count() == 0 ? 0 : 2;
        });
        EXPECT_EQ(code, 0);
    }
}
