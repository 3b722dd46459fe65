#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "formats/csv_writer.h"
#include "formats/dat_writer.h"
#include "formats/rvx.h"
#include "formats/save_dispatcher.h"
#include "formats/save_hooks.h"
#include "formats_test_util.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/fault_injection.h"
#include "tests/stopped_saves.h"

using fmt_test::CleanState;
using fmt_test::TempDir;
using fmt_test::withSeparator;

namespace {

std::unique_ptr<TSpectrumRecord> spectrum(const std::string& title, SpecXUnit xUnit, double firstX, double step,
                                          std::vector<double> values, SpecYKind yKind = SpecYAbsorbance) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->XUnit = xUnit;
    r->YKind = yKind;
    r->FirstX = firstX;
    r->StepX = step;
    r->Values = std::move(values);
    return r;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
        out.push_back(text.substr(start, p - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return out;
}

}  // namespace

class SaveText : public ::testing::TestWithParam<char> {
protected:
    CleanState state{GetParam()};
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    TDisplayState display;
    char sep() const { return GetParam(); }
    std::string num(const std::string& s) const { return withSeparator(s, sep()); }
    // A CSV row written with "," as list separator and "." as decimal mark, in the test's separators.
    std::string row(std::string s) const {
        for (char& c : s) c = c == ',' ? numtext::listSeparator() : c == '.' ? sep() : c;
        return s;
    }
};

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, SaveText, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? std::string("Point") : std::string("Comma"); });

TEST_P(SaveText, DatInNanometersMarksUncoveredRanges) {
    list.Add(spectrum("A", SpecXNanometer, 400, 1, {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0}));
    list.Add(spectrum("B", SpecXNanometer, 405, 0.5, std::vector<double>(11, 2.0)));
    TDatText dat = DatExportText(list, display, 400, 410, 1);
    ASSERT_TRUE(dat.refusal.empty()) << dat.refusal;
    auto lines = linesOf(dat.text);
    ASSERT_EQ(lines.size(), 21u);  // the smallest step, 0.5 nm, over 10 nm
    EXPECT_EQ(lines[0], "Wavelength [nm]\tWavenumbers [1/cm]\tA\tB");
    EXPECT_EQ(lines[1], num("400.000\t25000.00\t0\t-"));
    EXPECT_EQ(lines[2], num("400.500\t24968.79\t0.05\t-"));
    EXPECT_EQ(lines[11], num("405.000\t24691.36\t0.5\t2"));
    EXPECT_EQ(lines[20], num("409.500\t24420.02\t0.95\t2"));

    // Step choice 0: 1 nm; 2: the biggest step.
    EXPECT_EQ(linesOf(DatExportText(list, display, 400, 410, 0).text).size(), 11u);
    EXPECT_EQ(linesOf(DatExportText(list, display, 400, 410, 2).text).size(), 11u);
}

TEST_P(SaveText, DatInMicrometersAndElectronVolts) {
    list.Add(spectrum("T", SpecXNanometer, 500, 62.5, {1, 2, 3, 4, 5}));
    display.DisplayXUnit = SpecXMicrometer;
    auto um = linesOf(DatExportText(list, display, 0.5, 0.75, 1).text);
    ASSERT_EQ(um.size(), 5u);
    EXPECT_EQ(um[0], "Wavelength [nm]\tWavelength [\xC2\xB5m]\tWavenumbers [1/cm]\tT");
    EXPECT_EQ(um[1], num("500.000\t0.5000\t20000.00\t1"));
    EXPECT_EQ(um[2], num("562.500\t0.5625\t17777.78\t2"));

    list.Clear();
    list.Add(spectrum("E", SpecXWavenumber, 2 * 8065.5409, -0.25 * 8065.5409, {7, 6, 5}));
    display.DisplayXUnit = SpecXElectronVolt;
    auto ev = linesOf(DatExportText(list, display, 1.5, 2.0, 1).text);
    ASSERT_GE(ev.size(), 2u);
    EXPECT_EQ(ev[0], "Wavelength [nm]\tWavenumbers [1/cm]\tElectron Volts [eV]\tE");
    EXPECT_EQ(ev[1], num("619.921\t16131.08\t2.0000\t7"));
}

TEST_P(SaveText, DatInWavenumbersWritesEachDistinctLineOnce) {
    display.DisplayXUnit = SpecXWavenumber;
    list.Add(spectrum("W", SpecXWavenumber, 2000, -0.0001, std::vector<double>(11, 1.0)));
    TDatText dat = DatExportText(list, display, 1999.999, 2000, 1);
    auto lines = linesOf(dat.text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_LT(lines.size(), 10u);  // finer than the line texts' resolution
    EXPECT_EQ(lines[1], num("5000.000\t2000.00\t1"));
    for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_NE(lines[i], lines[i - 1]);
}

TEST_P(SaveText, DatOfRisingWavenumbersShownInNanometersWritesValues) {
    list.Add(spectrum("R", SpecXWavenumber, 10000, 1000, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    auto lines = linesOf(DatExportText(list, display, 500, 1000, 1).text);
    ASSERT_EQ(lines.size(), 11u);  // mean step 50 nm over 500 nm
    EXPECT_EQ(lines[1], num("500.000\t20000.00\t10"));
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].find('-'), std::string::npos) << lines[i];
}

TEST_P(SaveText, DatWithoutLinesIsRefusedAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.write("old.dat", "old content");
    list.Add(spectrum("A", SpecXNanometer, 400, 1, {1, 2, 3}));
    EXPECT_FALSE(SaveDatFile(path, list, display, 400, 400, 1));
    EXPECT_FALSE(SaveDatFile(path, list, display, 410, 400, 1));
    EXPECT_EQ(TempDir::read(path), "old content");
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_NE(ui->messages[0].find("DAT"), std::string::npos);

    // A step so fine that the range would need billions of lines.
    list.Add(spectrum("fine", SpecXNanometer, 400, 1e-12, {1, 2}));
    EXPECT_FALSE(SaveDatFile(path, list, display, 400, 410, 1));
    EXPECT_EQ(TempDir::read(path), "old content");

    EXPECT_TRUE(SaveDatFile(path, list, display, 400, 402, 0));
    EXPECT_EQ(linesOf(TempDir::read(path)).size(), 3u);
}

TEST_P(SaveText, CsvWithSharedGridHasOneXColumn) {
    list.Add(spectrum("A", SpecXNanometer, 400, 1, {0.1, 0.2, 0.3}));
    list.Add(spectrum("B", SpecXNanometer, 400, 1, {0, 1, 2}, SpecYTransmittance));
    TCsvText csv = CsvExportText(list);
    ASSERT_TRUE(csv.refusal.empty());
    auto rows = linesOf(csv.text);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], row(",A,B,"));
    EXPECT_EQ(rows[1], row("Wavelength [nm],Absorbance,transmittance,"));
    EXPECT_EQ(rows[2], row("400.000,0.1,1,"));
    EXPECT_EQ(rows[3], row("401.000,0.2,0.1,"));
    EXPECT_EQ(rows[4], row("402.000,0.3,0.01,"));
}

TEST_P(SaveText, CsvWithDifferentGridsHasColumnPairs) {
    list.Add(spectrum("A", SpecXNanometer, 400, 1, {0.1, 0.2, 0.3}));
    list.Add(spectrum("B", SpecXNanometer, 500, 2, {1, 2}));
    auto rows = linesOf(CsvExportText(list).text);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], row(",A,,B,"));
    EXPECT_EQ(rows[1], row("Wavelength [nm],Absorbance,Wavelength [nm],absorbance,"));
    EXPECT_EQ(rows[2], row("400.000,0.1,500.000,1,"));
    EXPECT_EQ(rows[3], row("401.000,0.2,502.000,2,"));
    EXPECT_EQ(rows[4], row("402.000,0.3,,,"));
}

TEST_P(SaveText, CsvClockTimesShareOneTitleRow) {
    auto timed = spectrum("A", SpecXNanometer, 400, 1, {1, 2});
    timed->SourceKind = 18;
    timed->DateText = "2024-01-02 13:45:07";
    list.Add(std::move(timed));
    list.Add(spectrum("B", SpecXNanometer, 400, 1, {3, 4}));
    auto rows = linesOf(CsvExportText(list).text);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], row(",A,B,"));
    EXPECT_EQ(rows[1], row("Time,13:45:07,,"));
    EXPECT_EQ(rows[2], row("Wavelength [nm],Absorbance,absorbance,"));
    EXPECT_EQ(rows[3], row("400.000,1,3,"));

    // The clock time of a later spectrum with its own x column sits above its y column.
    list.Clear();
    list.Add(spectrum("A", SpecXNanometer, 400, 1, {1, 2}));
    auto later = spectrum("B", SpecXNanometer, 500, 1, {3, 4});
    later->SourceKind = 18;
    later->DateText = "09:00:00";
    list.Add(std::move(later));
    rows = linesOf(CsvExportText(list).text);
    EXPECT_EQ(rows[1], row(",,,09:00:00,"));
    EXPECT_EQ(rows[3], row("400.000,1,500.000,3,"));
}

TEST_P(SaveText, CsvValuesInEachSpectrumsOwnKind) {
    struct Case {
        SpecXUnit xUnit;
        SpecYKind yKind;
        int32_t source;
        double conc, stored;
        std::string xTitle, yTitle, y;
    } cases[] = {
        {SpecXNanometer, SpecYTransmittance, 0, 0, 1, "Wavelength [nm]", "Transmittance", "0.1"},
        {SpecXWavenumber, SpecYReflectance, 0, 0, 2, "Wavenumbers [1/cm]", "Reflectance", "0.01"},
        {SpecXRamanShift, SpecYIntensity, 0, 0, 1234.5, "Raman shift [1/cm]", "Intensity", "1234.5"},
        {SpecXMicrometer, SpecYEpsilon, 0, 1e-3, 1e-3, "Micrometers", "Epsilon", "1"},
        {SpecXElectronVolt, SpecYLogEpsilon, 0, 1e-3, 0.1, "", "log(Epsilon)", "2"},
        {SpecXNanometer, SpecYTransmittance, 7, 0, 0.5, "Wavelength [nm]", "Transmittance", "0.5"},
        {SpecXNanometer, SpecYAbsorbance, 0, 0, 0.123456789, "Wavelength [nm]", "Absorbance", "0.12346"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.yTitle + " " + c.xTitle);
        list.Clear();
        auto r = spectrum("S", c.xUnit, 1.5, 1, {c.stored, c.stored}, c.yKind);
        r->SourceKind = c.source;
        r->Concentration = c.conc;
        list.Add(std::move(r));
        TCsvText csv = CsvExportText(list);
        ASSERT_TRUE(csv.refusal.empty()) << csv.refusal;
        auto rows = linesOf(csv.text);
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[1], row(c.xTitle + "," + c.yTitle + ","));
        EXPECT_EQ(rows[2], row("1.500," + c.y + ","));
    }
}

TEST_P(SaveText, CsvWritesUnconvertibleSpectraAsShownAndNamesThem) {
    TempDir dir;
    const std::string path = dir.write("old.csv", "old");
    list.Add(spectrum("ok", SpecXNanometer, 400, 1, {1, 2}));
    list.Add(spectrum("no conc", SpecXNanometer, 400, 1, {1, 2}, SpecYEpsilon));
    auto logEps = spectrum("zero", SpecXNanometer, 400, 1, {1, 0}, SpecYLogEpsilon);
    logEps->Concentration = 1e-5;
    list.Add(std::move(logEps));
    ASSERT_TRUE(SaveCsvFile(path, list));
    const auto rows = linesOf(cp1252::toUtf8(TempDir::read(path)));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], row("Wavelength [nm],Absorbance,epsilon,log(epsilon),"));
    EXPECT_EQ(rows[2], row("400.000,1,0,5,"));  // log10(1 / 1e-5); no c*d gives 0
    EXPECT_EQ(rows[3], row("401.000,2,0,0,"));
    ASSERT_EQ(ui->messages.size(), 1u);
    const std::string& m = ui->messages[0];
    EXPECT_NE(m.find("\"no conc\""), std::string::npos) << m;
    EXPECT_NE(m.find("\"zero\""), std::string::npos) << m;
    EXPECT_EQ(m.find("\"ok\""), std::string::npos) << m;

    // Convertible spectra keep the plain rule: log10 of an epsilon below 1 is negative, not 0.
    list.Clear();
    ui->messages.clear();
    auto small = spectrum("small", SpecXNanometer, 400, 1, {0.5, 2}, SpecYLogEpsilon);
    small->Concentration = 1;
    list.Add(std::move(small));
    ASSERT_TRUE(SaveCsvFile(path, list));
    EXPECT_EQ(linesOf(TempDir::read(path))[2], row("400.000,-0.30103,"));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_P(SaveText, CsvNamesLoseTheSeparatorAndAreWrittenInWindows1252) {
    TempDir dir;
    const std::string path = dir.file("n.csv");
    list.Add(spectrum(std::string("a") + numtext::listSeparator() + "b \xC2\xB5", SpecXNanometer, 400, 1, {1, 2}));
    ASSERT_TRUE(SaveCsvFile(path, list));
    EXPECT_EQ(linesOf(TempDir::read(path))[0], row(",a b \xB5,"));
}

class SaveDispatch : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList list;
    TDisplayState display;
    bool save(const std::string& name, const TSaveOptions& options = {}) {
        return SaveSpectraFile(name, list, display, options);
    }
    void SetUp() override {
        list.Add(spectrum("A", SpecXNanometer, 400, 1, {1, 2, 3}));
        SaveHooks() = {};
    }
    void TearDown() override { SaveHooks() = {}; }
};

TEST_F(SaveDispatch, ExtensionCodes) {
    struct Case {
        const char* name;
        int code;
    } cases[] = {{"a.rvx", 1}, {"/p/A.DaT", 2}, {"x.CSV", 3}, {"x.bmp", 4}, {"x.gif", 5}, {"x.WMF", 6},
                 {"x.tif", 7}, {"x.png", 8},   {"x.spc", 9},  {"x.Dx", 10},  {"x.jdx", 0}, {"x.tiff", 0},
                 {"noext", 0}, {"dir.rvx/file", 0}};
    for (const auto& c : cases) EXPECT_EQ(static_cast<int>(SaveFormatOf(c.name)), c.code) << c.name;
}

TEST_F(SaveDispatch, WritersByExtension) {
    const std::string rvx = dir.write("s.RVX", "previous");
    EXPECT_TRUE(save(rvx));
    EXPECT_EQ(TempDir::read(rvx), RvxFileImage(list));

    TSaveOptions options;
    options.XDrawnMin = 400;
    options.XDrawnMax = 402;
    const std::string dat = dir.file("s.dat");
    EXPECT_TRUE(save(dat, options));
    EXPECT_EQ(linesOf(TempDir::read(dat)).size(), 3u);

    const std::string csv = dir.file("s.csv");
    EXPECT_TRUE(save(csv));
    EXPECT_EQ(TempDir::read(csv), CsvExportText(list).text);

    EXPECT_FALSE(save(dir.file("s.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("s.txt")));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(SaveDispatch, PlotFormatsReportUnavailableUntilTheHookIsSet) {
    for (const char* name : {"p.png", "p.bmp"}) EXPECT_FALSE(save(dir.file(name)));
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[0], "Saving *.png files is not available in this version.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.png")));

    std::vector<std::pair<std::string, SaveFormat>> calls;
    SaveHooks().saveImage = [&](const std::string& n, SaveFormat format) {
        calls.emplace_back(n, format);
        return format != SaveFormat::Gif;  // a plot that could not be written
    };
    EXPECT_TRUE(save("/x/plot.WMF"));
    EXPECT_TRUE(save("/x/plot.tif"));
    EXPECT_FALSE(save("/x/plot.gif"));
    EXPECT_EQ(calls, (std::vector<std::pair<std::string, SaveFormat>>{{"/x/plot.WMF", SaveFormat::Wmf},
                                                                       {"/x/plot.tif", SaveFormat::Tif},
                                                                       {"/x/plot.gif", SaveFormat::Gif}}));
    // The spectra's formats never reach the plot.
    EXPECT_TRUE(save(dir.file("one.dx")));
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(ui->messages.size(), 2u);
}

// A save killed while it writes leaves the old file and nothing beside it, where the file system has
// unnamed files and where it has not (the next save removes what the killed one left).
TEST_F(SaveDispatch, KilledSavesLeaveTheOldFileAndNoTemporary) {
    namespace fs = std::filesystem;
    list.Add(spectrum("B", SpecXNanometer, 400, 1, std::vector<double>(10'000, 0.5)));
    const fs::path folder = dir.file("killed");
    TSaveOptions o;  // the DAT file's range
    o.XDrawnMin = 400;
    o.XDrawnMax = 10'400;
    for (bool named : {false, true}) {
        std::optional<stopped::NamedTemporaries> asWithoutUnnamedFiles;
        if (named) asWithoutUnnamedFiles.emplace();
        for (const char* ext : {"rvx", "dat", "csv"}) {
            SCOPED_TRACE(std::string(ext) + (named ? " named" : " unnamed"));
            fs::remove_all(folder);
            fs::create_directories(folder);
            const fs::path target = folder / (std::string("s.") + ext);
            std::ofstream(target) << "old";
            const int code = fault::inChild([&] {
                stopped::killAtStep(1);
                return save(target.string(), o) ? 0 : 1;
            });
            EXPECT_EQ(code, 128 + SIGKILL);
            EXPECT_EQ(TempDir::read(target.string()), "old");
            const auto count = [&] { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); };
            EXPECT_EQ(count(), named ? 2 : 1);
            ASSERT_TRUE(save(target.string(), o));
            EXPECT_NE(TempDir::read(target.string()), "old");
            EXPECT_EQ(count(), 1);
        }
    }
}

TEST_F(SaveDispatch, UnwritableTargetRaisesAndLeavesNothing) {
    EXPECT_THROW(save(dir.file("no/such/folder/s.rvx")), vx::FileError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

// Every writer saves through one safe path: a planted link at a temporary name redirects nothing, a
// link that is the target is written through, the permission bits stay, and a save stopped by a full
// disk leaves the old file and no temporary one.
TEST_F(SaveDispatch, EveryWriterSavesSafely) {
    namespace fs = std::filesystem;
    struct Writer {
        const char* ext;
        std::function<void(const std::string&)> save;
    } writers[] = {
        {"rvx", [this](const std::string& p) { ASSERT_TRUE(save(p)); }},
        {"dat", [this](const std::string& p) {
             TSaveOptions o;
             o.XDrawnMin = 400;
             o.XDrawnMax = 402;
             ASSERT_TRUE(save(p, o));
         }},
        {"csv", [this](const std::string& p) { ASSERT_TRUE(save(p)); }},
        {"dx", [this](const std::string& p) { ASSERT_TRUE(save(p)); }},
    };
    const fs::path root = dir.file("safety");
    for (const auto& w : writers) {
        SCOPED_TRACE(w.ext);
        fs::remove_all(root);
        fs::create_directories(root / "real");
        const fs::path real = root / "real" / (std::string("x.") + w.ext);
        const fs::path link = root / (std::string("link.") + w.ext);
        const fs::path victim = root / "victim";
        std::ofstream(real) << "old";
        std::ofstream(victim) << "precious";
        fs::permissions(real, fs::perms(0640));
        fs::create_symlink(real, link);
        const std::string pid = std::to_string(::getpid());
        fs::create_symlink(victim, link.string() + ".vxtmp" + pid);
        fs::create_symlink(victim, real.string() + ".vxtmp" + pid);

        w.save(link.string());
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_NE(TempDir::read(real.string()), "old");
        EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0640));
        EXPECT_EQ(TempDir::read(victim.string()), "precious");
        EXPECT_EQ(std::distance(fs::directory_iterator(root / "real"), fs::directory_iterator()), 2);

        // A full disk: the file size limit of a child process stops the save part-way.
        const std::string before = TempDir::read(real.string());
        const int code = fault::inChild([&] {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit lim{16, 16};
            ::setrlimit(RLIMIT_FSIZE, &lim);
            try {
                w.save(real.string());
            } catch (const vx::FileError& e) {
                return std::string(e.what()).find("File too large") != std::string::npos ? 0 : 2;
            }
            return 1;
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(TempDir::read(real.string()), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(root / "real"), fs::directory_iterator()), 2);
    }
}
