// The program's SPC side: binding with self-registration and its messages, the reader's two routes,
// and spectra saved as SPC reading back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/open_files.h"
#include "formats/format_table.h"
#include "formats/save_dispatcher.h"
#include "formats/spc_binding.h"
#include "formats/spc_reader.h"
#include "formats/spc_writer.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/fault_injection.h"
#include "tests/spclib_fixture.h"

namespace fs = std::filesystem;

namespace {

const std::string kRegistered = "OK! DLL registrated. \r\nreading / saving of *.spc will work from now on";
// The Open command's limit of SPC files, as it hands it to the reader.
const std::uint64_t kSpcLimit = ReadLimitOf(OpenFormat::Spc);

class SpcProgram : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vxspcp" + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "prog");
        setenv("VAROLUX32_REGISTRY_DIR", (dir_ / "reg").c_str(), 1);
        programFolder_ = (dir_ / "prog").string() + "/";
    }
    void TearDown() override {
        fs::remove_all(dir_);
        unsetenv("VAROLUX32_REGISTRY_DIR");
    }
    void PutLibraryBeside() { fs::copy_file(VX_SPCLIB_PATH, programFolder_ + kTarnvikLibraryFile); }
    void RegisterQuietly() {
        PutLibraryBeside();
        ui::ScopedScriptedBackend quiet;
        ASSERT_TRUE(RegisterTarnvikServer(programFolder_));
    }
    std::string Write(const std::string& name, const SpcBytes& s) {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(s.b.data()), std::streamsize(s.b.size()));
        return path;
    }

    fs::path dir_;
    std::string programFolder_;  // the program's folder the library is registered from
};

// An evenly spaced 'K' file with float values.
SpcBytes EvenSpc(double first, double last, const std::vector<std::vector<float>>& subfiles, int xType, int yType,
                 const std::string& comment = "", int tech = 0) {
    const auto n = static_cast<uint32_t>(subfiles.front().size());
    SpcBytes s = NewFormHeader('K', subfiles.size() > 1 ? 0x04 : 0, n, first, last, uint32_t(subfiles.size()));
    s.u8(2, static_cast<uint8_t>(tech));
    s.u8(28, static_cast<uint8_t>(xType));
    s.u8(29, static_cast<uint8_t>(yType));
    s.text(88, comment);
    for (std::size_t k = 0; k < subfiles.size(); ++k) {
        AddSubHeader(s, uint16_t(k), 0, 0);
        AppendFloats(s, subfiles[k]);
    }
    return s;
}

// The variant parsed by the program: first and last wavelength at 10 and 14, a count word and the
// values after a short run of implausible numbers.
SpcBytes OwnVariant(float a, float b, uint16_t mode, uint16_t count, const std::vector<float>& values) {
    SpcBytes s(116);
    s.u16(2, mode);
    s.f32(10, a);
    s.f32(14, b);
    s.text(100, "12.03.2019");
    s.u16(116, 0);
    s.u16(118, count);
    for (std::size_t i = 0; i < values.size(); ++i) s.f32(120 + 4 * i, values[i]);
    return s;
}

}  // namespace

TEST_F(SpcProgram, FirstReadRegistersTheLibraryBesideTheProgram) {
    PutLibraryBeside();
    std::string file = Write("a.spc", EvenSpc(400, 700, {{0.1f, 0.2f, 0.3f, 0.4f}}, 3, 2, "sample"));
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    LoadSpecSpc(file, list, kSpcLimit, programFolder_);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"Call to DllRegisterServer was successful!", kRegistered}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), "sample");
    EXPECT_EQ(list[0].SpecType.str(), "korva_spc");

    // Registered now: no message at all.
    ui->messages.clear();
    LoadSpecSpc(file, list, kSpcLimit, programFolder_);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(list.Count(), 2);
}

// The Open command and the save dispatcher register the library from the folder they are given.
TEST_F(SpcProgram, OpenAndSaveRegisterFromTheProgramFolderTheyAreGiven) {
    PutLibraryBeside();
    const std::string file = Write("a.spc", EvenSpc(400, 700, {{0.1f, 0.2f}}, 3, 2, "sample"));
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    TDisplayState display;
    TAxisQueryChoice axisQuery;
    const OpenResult r = OpenSpectrumFiles({file}, list, display, TReaderContext{programFolder_, axisQuery});
    EXPECT_TRUE(r.failed.empty());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"Call to DllRegisterServer was successful!", kRegistered}));

    ui->messages.clear();
    setenv("VAROLUX32_REGISTRY_DIR", (dir_ / "reg2").c_str(), 1);  // a store where the class is not registered
    TSaveOptions options;
    options.ProgramFolder = programFolder_;
    EXPECT_TRUE(SaveSpectraFile((dir_ / "b.spc").string(), list, display, options));
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"Call to DllRegisterServer was successful!",
                                                      "OK! DLL registrated\r\nreading / saving of *.spc will work "
                                                      "from now on"}));
    EXPECT_TRUE(fs::exists(dir_ / "b.spc"));
}

// Within an Open that gathers its readers' messages for one summary, the registration still shows its
// two boxes when it happens.
TEST_F(SpcProgram, RegistrationBoxesAreShownAlsoWhileReadersMessagesAreGathered) {
    PutLibraryBeside();
    std::string file = Write("b.spc", EvenSpc(400, 700, {{0.1f, 0.2f, 0.3f, 0.4f}}, 3, 2, "sample"));
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    ui::MessageCollector gathered;
    LoadSpecSpc(file, list, kSpcLimit, programFolder_);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{"Call to DllRegisterServer was successful!", kRegistered}));
    EXPECT_TRUE(gathered.Messages().empty());
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(SpcProgram, MissingLibraryGivesThreeMessagesAndFailsCleanly) {
    std::string file = Write("a.spc", EvenSpc(400, 700, {{0.1f, 0.2f}}, 3, 2));
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    try {
        LoadSpecSpc(file, list, kSpcLimit, programFolder_);
        FAIL() << "no error";
    } catch (const vx::Error& e) {
        ui->messages.push_back(e.what());
    }
    EXPECT_EQ(ui->messages,
              (std::vector<std::string>{"the necessary file \"gtarnviklib.so\"\r\nis not in Varolux32 folder",
                                        "Registration NOT successful", "Class not registered"}));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SpcProgram, UnloadableLibraryRaisesItsError) {
    std::ofstream(programFolder_ + kTarnvikLibraryFile) << "not a library";
    ui::ScopedScriptedBackend ui;
    try {
        RegisterTarnvikServer(programFolder_);
        FAIL() << "no error";
    } catch (const vx::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Failed to load \"" + programFolder_ + "gtarnviklib.so\"");
    }
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(SpcProgram, OwnVariantIsParsedHereAfterTheProbe) {
    PutLibraryBeside();
    std::vector<float> v;
    for (int i = 1; i <= 12; ++i) v.push_back(0.1f * float(i));
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    LoadSpecSpc(Write("s.spc", OwnVariant(700, 400, 2, 12, v)), list, kSpcLimit, programFolder_);
    EXPECT_EQ(ui->messages.size(), 2u);  // the probe registered the library first
    ASSERT_EQ(list.Count(), 1);
    const TSpectrumRecord& r = list[0];
    EXPECT_EQ(r.SpecType.str(), "shimadzu_spc");
    EXPECT_EQ(r.Title.str(), "s.spc");
    EXPECT_EQ(r.DateText.str(), "12.03.2019");
    EXPECT_EQ(r.SourceKind, 46);
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    EXPECT_DOUBLE_EQ(r.StepX, 300.0 / 11);
    EXPECT_FLOAT_EQ(float(r.Values.front()), 1.2f);  // reversed: point 0 belongs to 400 nm
    EXPECT_FLOAT_EQ(float(r.Values.back()), 0.1f);

    // A count beyond the values present: only the values read count.
    LoadSpecSpc(Write("t.spc", OwnVariant(400, 700, 1, 500, v)), list, kSpcLimit, programFolder_);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1].PointCount(), 12);
    EXPECT_EQ(list[1].YKind, SpecYTransmittance);
    EXPECT_NEAR(list[1].Values[9], 0.0, 1e-6);  // 1.0 as a fraction: M <= 1.3
    EXPECT_NEAR(list[1].Values[0], 1.0, 1e-6);

    // One value, or a count of 1: no record.
    LoadSpecSpc(Write("u.spc", OwnVariant(400, 700, 2, 1, v)), list, kSpcLimit, programFolder_);
    EXPECT_EQ(list.Count(), 2);

    // Edges of the test: exactly 100 or 5000 go through the library.
    SpcBytes edge = OwnVariant(100, 700, 2, 12, v);
    EXPECT_THROW(LoadSpecSpc(Write("e.spc", edge), list, kSpcLimit, programFolder_), vx::Error);  // no SPC file for the library
}

// A file with the variant's header but far larger than its one block of values can be is refused before
// it is read (a sparse file: nothing of it is held).
TEST_F(SpcProgram, OwnVariantAboveItsLimitIsRefusedUnread) {
    RegisterQuietly();
    std::vector<float> v(12, 0.5f);
    const std::string file = Write("big.spc", OwnVariant(700, 400, 2, 12, v));
    std::filesystem::resize_file(file, (std::uintmax_t{16} << 20) + 1);
    TSpectraList list;
    try {
        LoadSpecSpc(file, list, kSpcLimit, programFolder_);
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("is too large to be a SPC file"), std::string::npos) << e.what();
    }
    EXPECT_EQ(list.Count(), 0);

    // At the limit the block is read as before.
    std::filesystem::resize_file(file, std::uintmax_t{16} << 20);
    LoadSpecSpc(file, list, kSpcLimit, programFolder_);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].PointCount(), 12);
}

TEST_F(SpcProgram, ShortOrMissingFilesRaiseTheirErrors) {
    RegisterQuietly();
    TSpectraList list;
    SpcBytes tiny(50);
    EXPECT_THROW(LoadSpecSpc(Write("tiny.spc", tiny), list, kSpcLimit, programFolder_), vx::Error);
    try {
        LoadSpecSpc((dir_ / "none.spc").string(), list, kSpcLimit, programFolder_);
        FAIL();
    } catch (const vx::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + (dir_ / "none.spc").string() + ". No such file or directory");
    }
    // A pipe is refused at once, not waited on.
    const std::string pipe = (dir_ / "pipe.spc").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(fault::inChildWithin(10, [&] {
                  try {
                      LoadSpecSpc(pipe, list, kSpcLimit, programFolder_);
                  } catch (const vx::Error& e) {
                      return std::string(e.what()) == "Cannot open file " + pipe + ". Is a named pipe" ? 0 : 1;
                  }
                  return 2;
              }),
              0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SpcProgram, SubfilesTitlesUnitsAndKinds) {
    RegisterQuietly();
    TSpectraList list;
    LoadSpecSpc(Write("m.spc", EvenSpc(400, 700, {{1, 2}, {3, 4}, {5, 6}}, 3, 2, "same")), list, kSpcLimit, programFolder_);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[2].Title.str(), "same, subfile 3");

    LoadSpecSpc(Write("em.spc", EvenSpc(400, 700, {{1, 2}}, 3, 2, "an emission ACQUISITION")), list, kSpcLimit, programFolder_);
    EXPECT_EQ(list[3].Title.str(), "em.spc");

    // Wavenumbers stored ascending: point 0 at the last, negative step, values reversed.
    LoadSpecSpc(Write("w.spc", EvenSpc(1000, 2000, {{1, 2, 3}}, 1, 2)), list, kSpcLimit, programFolder_);
    const TSpectrumRecord& w = list[4];
    EXPECT_EQ(w.XUnit, SpecXWavenumber);
    EXPECT_DOUBLE_EQ(w.FirstX, 2000);
    EXPECT_DOUBLE_EQ(w.StepX, -500);
    EXPECT_EQ(w.Values, (std::vector<double>{3, 2, 1}));

    // Percent transmittance: -log10(v/100), and 0 becomes 6.
    LoadSpecSpc(Write("t.spc", EvenSpc(400, 500, {{95, 10, 0}}, 3, 128)), list, kSpcLimit, programFolder_);
    const TSpectrumRecord& t = list[5];
    EXPECT_EQ(t.YKind, SpecYTransmittance);
    EXPECT_NEAR(t.Values[0], -std::log10(0.95), 1e-6);
    EXPECT_DOUBLE_EQ(t.Values[2], 6.0);

    // Micrometres stay micrometres; Raman shift keeps its comment; fluorescence is intensity.
    LoadSpecSpc(Write("um.spc", EvenSpc(0.5, 0.7, {{1, 2, 3}}, 2, 4)), list, kSpcLimit, programFolder_);
    EXPECT_EQ(list[6].XUnit, SpecXMicrometer);
    EXPECT_NEAR(list[6].FirstX, 0.5, 1e-9);
    EXPECT_NEAR(list[6].StepX, 0.1, 1e-7);
    LoadSpecSpc(Write("r.spc", EvenSpc(100, 300, {{1, 2, 3}}, 13, 2, "", 12)), list, kSpcLimit, programFolder_);
    EXPECT_EQ(list[7].XUnit, SpecXRamanShift);
    EXPECT_EQ(list[7].Comment2.str(), "Raman Shift [1/cm]");
    EXPECT_EQ(list[7].YKind, SpecYIntensity);

    // Molar absorption: zeros become 1000 before scaling so that the largest reads -log10(0.05).
    LoadSpecSpc(Write("e.spc", EvenSpc(400, 500, {{2, 4, 0}}, 3, 23)), list, kSpcLimit, programFolder_);
    const TSpectrumRecord& e = list[8];
    EXPECT_EQ(e.YKind, SpecYEpsilon);
    const double product = -std::log10(0.05) / 4;
    EXPECT_NEAR(e.Concentration, product, 1e-12);
    EXPECT_NEAR(e.Values[1], -std::log10(0.05), 1e-12);
    EXPECT_NEAR(e.Values[2], 1000 * product, 1e-9);

    // A subfile of one point makes no record.
    LoadSpecSpc(Write("one.spc", EvenSpc(400, 400, {{1}}, 3, 2)), list, kSpcLimit, programFolder_);
    EXPECT_EQ(list.Count(), 9);

    // Electron volts are stored as wavenumbers, falling.
    LoadSpecSpc(Write("ev.spc", EvenSpc(1, 2, {{1, 2, 3}}, 14, 2)), list, kSpcLimit, programFolder_);
    ASSERT_EQ(list.Count(), 10);
    EXPECT_EQ(list[9].XUnit, SpecXWavenumber);
    EXPECT_NEAR(list[9].FirstX, 2 * 8065.5409, 1e-9);
    EXPECT_NEAR(list[9].StepX, -8065.5409 / 2, 1e-9);
    EXPECT_EQ(list[9].Values, (std::vector<double>{3, 2, 1}));
}

TEST_F(SpcProgram, XYFilesAreResampledOntoTheGrid) {
    RegisterQuietly();
    SpcBytes s = NewFormHeader('K', 0x80, 3, 0, 0, 1);
    s.u8(28, 3);
    s.u8(29, 2);
    AppendFloats(s, {600, 500, 400});  // descending X
    AddSubHeader(s, 0, 0, 0);
    AppendFloats(s, {3, 2, 1});
    TSpectraList list;
    LoadSpecSpc(Write("xy.spc", s), list, kSpcLimit, programFolder_);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 400);
    EXPECT_DOUBLE_EQ(list[0].StepX, 100);
    EXPECT_EQ(list[0].Values, (std::vector<double>{1, 2, 3}));
}

TEST_F(SpcProgram, SavedSpectraReadBackIntoTheSameValues) {
    PutLibraryBeside();
    ui::ScopedScriptedBackend ui;
    struct Case {
        SpecXUnit xUnit;
        SpecYKind yKind;
        double first, step;
    } cases[] = {{SpecXNanometer, SpecYAbsorbance, 400, 0.5}, {SpecXWavenumber, SpecYIntensity, 4000, -2},
                 {SpecXNanometer, SpecYTransmittance, 300, 1}};
    bool firstSave = true;
    for (const Case& c : cases) {
        TSpectrumRecord rec;
        rec.FileName = "/data/orig.rvx";
        rec.Title = "my spectrum";
        rec.XUnit = c.xUnit;
        rec.YKind = c.yKind;
        rec.FirstX = c.first;
        rec.StepX = c.step;
        rec.Values = {0.25, 0.5, 1.0, 0.125};
        std::string file = (dir_ / "out.spc").string();
        SaveSpectrumSpc(rec, file, programFolder_);
        if (firstSave) {
            EXPECT_EQ(ui->messages.back(), "OK! DLL registrated\r\nreading / saving of *.spc will work from now on");
            firstSave = false;
        }
        TSpectraList list;
        LoadSpecSpc(file, list, kSpcLimit, programFolder_);
        ASSERT_EQ(list.Count(), 1);
        const TSpectrumRecord& r = list[0];
        EXPECT_EQ(r.Title.str(), "my spectrum");
        EXPECT_EQ(r.XUnit, c.xUnit);
        EXPECT_EQ(r.YKind, c.yKind);
        EXPECT_DOUBLE_EQ(r.FirstX, c.first);
        EXPECT_DOUBLE_EQ(r.StepX, c.step);
        ASSERT_EQ(r.PointCount(), 4);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(r.Values[i], rec.Values[i], 1e-6) << i;
        EXPECT_EQ(r.DateText.str().size(), 19u);
    }
}

// Past the file-size limit, in a program that keeps the signal's default, the library's store of the
// values fails without ending the program, and the save is told failed naming its file. The old file
// stays.
TEST_F(SpcProgram, SaveBeyondTheFileSizeLimitNamesItsFile) {
    RegisterQuietly();
    const std::string file = (dir_ / "big.spc").string();
    std::ofstream(file) << "old";
    const int code = fault::inChild([&] {
        ::signal(SIGXFSZ, SIG_DFL);
        TSpectrumRecord rec;
        rec.XUnit = SpecXNanometer;
        rec.YKind = SpecYAbsorbance;
        rec.FirstX = 200;
        rec.StepX = 0.01;
        rec.Values.assign(100'000, 0.5);
        rlimit lim{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        try {
            SaveSpectrumSpc(rec, file, programFolder_);
        } catch (const vx::FileError& e) {
            return std::string(e.what()) == "Cannot write file \"" + file + "\". File too large" ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(code, 0);
    std::ifstream in(file);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "old");
}

// Every stored x unit and y kind saved as SPC reads back as the same spectrum: the same points in
// nm and the same values in the spectrum's own kind. Electron volts come back as wavenumbers and
// log-epsilon as epsilon, the file's own types for them.
TEST_F(SpcProgram, EveryUnitAndKindRoundTrips) {
    RegisterQuietly();
    struct Unit {
        SpecXUnit code;
        double first, step;
        SpecXUnit readsBackAs;
    } units[] = {{SpecXNanometer, 400, 0.5, SpecXNanometer},
                 {SpecXWavenumber, 4000, -2, SpecXWavenumber},
                 {SpecXElectronVolt, 1.5, 0.25, SpecXWavenumber},
                 {SpecXMicrometer, 0.4, 0.0005, SpecXMicrometer},
                 {SpecXRamanShift, 3000, -2, SpecXRamanShift}};
    auto ownMode = [](SpecYKind kind) { return kind == SpecYIntensity ? SpecYAbsorbance : kind; };
    auto pointsInNm = [&](const TSpectrumRecord& r) {
        std::vector<std::pair<double, double>> pts;
        for (int32_t i = 0; i < r.PointCount(); ++i)
            pts.emplace_back(XStoredToDisplay(r.FirstX + i * r.StepX, r.XUnit, SpecXNanometer), 0.0);
        return pts;
    };
    for (const Unit& u : units) {
        for (int32_t k = CodeOf(SpecYTransmittance); k <= CodeOf(SpecYReflectance); ++k) {
            const SpecYKind kind = *YKindOfCode(k);
            SCOPED_TRACE("unit " + std::to_string(CodeOf(u.code)) + " kind " + std::to_string(k));
            TSpectrumRecord rec;
            rec.Title = "round trip";
            rec.XUnit = u.code;
            rec.YKind = kind;
            rec.FirstX = u.first;
            rec.StepX = u.step;
            rec.Concentration = 1e-3;
            rec.PathLength = 1.0;
            rec.Values = {0.25, 0.5, 1.0, 0.125};
            std::string file = (dir_ / "rt.spc").string();
            SaveSpectrumSpc(rec, file, programFolder_);
            TSpectraList list;
            LoadSpecSpc(file, list, kSpcLimit, programFolder_);
            ASSERT_EQ(list.Count(), 1);
            const TSpectrumRecord& back = list[0];
            EXPECT_EQ(back.XUnit, u.readsBackAs);
            EXPECT_EQ(back.YKind, kind == SpecYLogEpsilon ? SpecYEpsilon : kind);
            ASSERT_EQ(back.PointCount(), 4);

            // Pair the points by their wavelength: a unit stored the other way round comes back reversed.
            auto orig = pointsInNm(rec), got = pointsInNm(back);
            const SpecYKind mode = ownMode(kind);
            for (int32_t i = 0; i < 4; ++i) {
                orig[std::size_t(i)].second = StoredToDisplayY(rec, rec.Values[std::size_t(i)], mode);
                got[std::size_t(i)].second = StoredToDisplayY(back, back.Values[std::size_t(i)], mode);
            }
            std::sort(orig.begin(), orig.end());
            std::sort(got.begin(), got.end());
            for (std::size_t i = 0; i < 4; ++i) {
                EXPECT_NEAR(got[i].first, orig[i].first, 1e-9 * std::fabs(orig[i].first)) << i;
                EXPECT_NEAR(got[i].second, orig[i].second, 1e-6 * std::fabs(orig[i].second)) << i;
            }
        }
    }
}

// The save command's SPC case: the only spectrum is saved without a question; of several the user
// chooses one, and a cancelled choice writes nothing.
TEST_F(SpcProgram, SaveChoosesAmongSeveralSpectra) {
    RegisterQuietly();
    TSpectraList spectra;
    const TDisplayState display;
    TSaveOptions options;
    options.ProgramFolder = programFolder_;
    auto add = [&](const char* title) {
        auto rec = std::make_unique<TSpectrumRecord>();
        rec->Title = title;
        rec->FirstX = 400;
        rec->StepX = 1;
        rec->Values = {1, 2, 3};
        spectra.Add(std::move(rec));
    };
    ui::ScopedScriptedBackend ui;
    const std::string file = (dir_ / "c.spc").string();
    add("first");
    ASSERT_TRUE(SaveSpectraFile(file, spectra, display, options));
    EXPECT_TRUE(ui->asked.empty());
    TSpectraList back;
    LoadSpecSpc(file, back, kSpcLimit, programFolder_);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back[0].Title.str(), "first");
    fs::remove(file);

    add("second");
    ui->onAsk = [](ui::Query&) { return false; };
    EXPECT_FALSE(SaveSpectraFile(file, spectra, display, options));
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(ui->asked.size(), 1u);
    EXPECT_EQ(ui->asked[0].dialog, "TAuswDia");
    EXPECT_EQ(ui->asked[0].caption, "Choose spectrum");
    EXPECT_EQ(ui->asked[0].items, (std::vector<std::string>{"first", "second"}));
    ui->onAsk = [](ui::Query& q) {
        q.fields["SpekBox"] = "1";
        return true;
    };
    EXPECT_TRUE(SaveSpectraFile(file, spectra, display, options));
    back.Clear();
    LoadSpecSpc(file, back, kSpcLimit, programFolder_);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back[0].Title.str(), "second");
}
