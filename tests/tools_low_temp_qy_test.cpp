// Low-temperature quantum yields on flat spectra and straight solvent curves, where every row is known
// in closed form; the shipped solvent tables against their published room-temperature values.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tests/tools_test_support.h"
#include "tools/low_temp_quantum_yield.h"
#include "tools/quantum_yield.h"

using namespace tooltest;

namespace {

const TDisplayState kNmAbs{SpecXNanometer, SpecYAbsorbance};

std::string G(double v, int precision) {
    return numtext::FloatToStrF(v, numtext::FloatFormat::General, precision, 3);
}

TSpectrumRecord& flatAt(TSpectraList& list, const std::string& title, double value, double kelvin,
                        const std::string& tag = "") {
    TSpectrumRecord& r = addRecord(list, title, 300, 1, std::vector<double>(601, value));
    r.Temperature = kelvin;
    r.SpecType = tag;
    return r;
}

// The series 295 / 200 / 77 K absorbing 0.4 / 0.5 / 0.6, the sample's room-temperature absorption
// 0.2, and two fluorescence spectra excited at 450 nm: 1.0 at 200 K and 2.0 at 77 K.
struct Scene {
    TSpectraList list;
    TLTQYSettings p;
    TLTQYSwitches sw;
    // n² = 2.3 - 0.001 T from 77 to 300 K.
    std::unique_ptr<TSpectrumRecord> n2 = makeRecord("n2", 77, 1, ramp(224, 2.3 - 0.077, -0.001));
    TSolventCurves curves{n2.get(), nullptr};
    int32_t header = -1;
    TBandpass band;

    Scene() {
        flatAt(list, "RT", 0.4, 295);
        flatAt(list, "200K", 0.5, 200);
        flatAt(list, "77K", 0.6, 77);
        flatAt(list, "sample RT", 0.2, 295).FileName = "/data/s.rvx";
        flatAt(list, "F200", 1.0, 200, "ccdfx").ExcitationWl = 450;
        flatAt(list, "F77", 2.0, 77, "fy").ExcitationWl = 450;
        p.SeriesRTIndex = 0;
        p.SeriesLowIndex = 2;
        p.SampleRTIndex = 3;
        p.FluorescenceIndex = 4;
    }
    // The row of the 200 K spectrum, room-temperature geometry: A = 0.5 · 0.2 / 0.4.
    double qy200() const { return 291.0 * 2.1 * 1000.0 / (AbsorbedFraction(0.25, 0.015, 0.4925) * 1.97e8); }
    double qy77() const { return 582.0 * 2.223 * 1000.0 / (AbsorbedFraction(0.3, 0.015, 0.1425) * 2.6e8); }
};

struct LowTemp : ::testing::Test, Scene {
    ui::ScopedScriptedBackend ui_;
};

const char* kColumns = "T [K]\tQY [%]\t wavelength\teff. abs.\tn^2";

}  // namespace

TEST_F(LowTemp, ManualRowHeaderAndLabel) {
    TLTQYRun r = RunLowTempQY(list, kNmAbs, p, sw, curves, true, header, band);
    const std::vector<std::string> lines = {"LT-QY for abs. spectrum: sample RT\tFilename:/data/s.rvx", kColumns,
                                            "200\t" + G(qy200() * 100, 4) + "\t450\t0.25\t2.1"};
    EXPECT_EQ(r.Lines, lines);
    EXPECT_EQ(r.Label, "LT-QY\ttemp.\t Well.\teff. abs.\tn^2\r\n" + G(qy200() * 100, 4) + "%\t200\t450\t0.25\t2.1");
    EXPECT_EQ(header, 3);
    EXPECT_TRUE(ui_->messages.empty());
    // Again without clearing the table: the row goes under the same header.
    r = RunLowTempQY(list, kNmAbs, p, sw, curves, false, header, band);
    EXPECT_EQ(r.Lines, std::vector<std::string>{lines[2]});
    // Another sample spectrum: an empty line and its own header.
    p.SampleRTIndex = 0;
    r = RunLowTempQY(list, kNmAbs, p, sw, curves, false, header, band);
    ASSERT_EQ(r.Lines.size(), 4u);
    EXPECT_EQ(r.Lines[0], "");
    EXPECT_EQ(r.Lines[1], "LT-QY for abs. spectrum: RT\tFilename:");
}

TEST_F(LowTemp, LowTemperatureGeometryAndReference) {
    p.FluorescenceIndex = 5;
    sw.LowTemp = true;
    TLTQYRun r = RunLowTempQY(list, kNmAbs, p, sw, curves, true, header, band);
    ASSERT_EQ(r.Rows, 1);
    EXPECT_EQ(r.Lines.back(), "77\t" + G(qy77() * 100, 4) + "\t450\t0.3\t2.223");
}

TEST_F(LowTemp, AutomaticRunOverEveryFluorescenceSpectrum) {
    flatAt(list, "F150", 1.0, 150, "ccdfg").ExcitationWl = 450;
    sw.Automatic = true;
    p.FluorescenceIndex = 0;  // not used
    TLTQYRun r = RunLowTempQY(list, kNmAbs, p, sw, curves, false, header, band);
    const std::vector<std::string> lines = {"", "\"LT-QY (autom.) for abs. spectrum: sample RT\tFilename:/data/s.rvx",
                                            kColumns, "200\t" + G(qy200() * 100, 4) + "\t450\t0.25\t2.1",
                                            "77\t" + G(582.0 * 2.223 * 1000.0 /
                                                           (AbsorbedFraction(0.3, 0.015, 0.4925) * 1.97e8) * 100,
                                                       4) +
                                                "\t450\t0.3\t2.223"};
    EXPECT_EQ(r.Lines, lines);
    EXPECT_EQ(r.Label, "");
    EXPECT_EQ(ui_->messages, std::vector<std::string>{"for this temperature (150K) there is no absorbance spectrum"});
}

TEST_F(LowTemp, TheLaterSeriesSpectrumOfATemperatureIsThePartner) {
    list.Insert(2, makeRecord("200K again", 300, 1, std::vector<double>(601, 0.7)));
    list[2].Temperature = 200;
    p.SeriesLowIndex = 3;
    p.SampleRTIndex = 4;
    p.FluorescenceIndex = 5;
    TLTQYRun r = RunLowTempQY(list, kNmAbs, p, sw, curves, true, header, band);
    EXPECT_EQ(r.Lines.back(), "200\t" +
                                  G(291.0 * 2.1 * 1000.0 / (AbsorbedFraction(0.35, 0.015, 0.4925) * 1.97e8) * 100, 4) +
                                  "\t450\t0.35\t2.1");
}

TEST(LowTempWarnings, WithAndWithoutRow) {
    struct Case {
        const char* what;
        std::function<void(Scene&)> change;
        bool row;
        std::string message;
    } cases[] = {
        {"no refraction curve", [](Scene& t) { t.curves.Refraction = nullptr; }, true, kNoRefractionCurveText},
        {"no excitation wavelength", [](Scene& t) { t.list[4].ExcitationWl = -1; }, true,
         kNoAbsorbanceAtExcitationText},
        {"temperature beyond the curve",
         [](Scene& t) {
             t.list[4].Temperature = 50;
             t.list[1].Temperature = 50;
         },
         false, "Refraction index curve does not reach 50K!\r\nno QY for this temperature"},
        {"no partner", [](Scene& t) { t.list[4].Temperature = 150; }, false, kNoPartnerText},
        {"series spectrum without temperature", [](Scene& t) { t.list[1].Temperature = -1; }, false,
         "absorption spectrum:\r\n\" 200K \"\r\nwithout temperature!"},
        {"sample without temperature", [](Scene& t) { t.list[3].Temperature = -1; }, false,
         "absorption spectrum:\r\n\" sample RT \"\r\nwithout temperature!"},
        {"not a fluorescence spectrum", [](Scene& t) { t.p.FluorescenceIndex = 0; }, false, kNotFluorescenceText},
    };
    for (const Case& c : cases) {
        Scene t;
        ui::ScopedScriptedBackend shown;
        c.change(t);
        TLTQYRun r = RunLowTempQY(t.list, kNmAbs, t.p, t.sw, t.curves, true, t.header, t.band);
        EXPECT_EQ(r.Rows, c.row ? 1 : 0) << c.what;
        EXPECT_EQ(shown->messages, std::vector<std::string>{c.message}) << c.what;
        if (c.row) {
            EXPECT_EQ(t.header, 3) << c.what;
        } else {
            EXPECT_TRUE(r.Lines.empty()) << c.what;
            EXPECT_EQ(t.header, -1) << c.what;
        }
    }
}

TEST_F(LowTemp, BandWidthsOutsideOneToThousandAreRefusedBeforeAnyRow) {
    sw.Automatic = true;
    for (int32_t w : {0, -6, 1001}) {
        p.BandWidth = w;
        EXPECT_THROW(RunLowTempQY(list, kNmAbs, p, sw, curves, true, header, band), vx::Error) << w;
        EXPECT_EQ(header, -1) << w;
    }
}

TEST_F(LowTemp, ViscosityColumn) {
    auto eta = makeRecord("eta", 100, 1, ramp(201, 2.0, 0.01));  // 1 + 0.01 T
    curves.Viscosity = eta.get();
    sw.Automatic = true;
    TLTQYRun r = RunLowTempQY(list, kNmAbs, p, sw, curves, true, header, band);
    ASSERT_EQ(r.Lines.size(), 4u);
    EXPECT_EQ(r.Lines[1], std::string(kColumns) + "\tlog(eta)\t");
    EXPECT_EQ(r.Lines[2], "200\t" + G(qy200() * 100, 4) + "\t450\t0.25\t2.1\t3\t");
    // Colder than the viscosity curve: the field stays empty.
    EXPECT_EQ(r.Lines[3].substr(r.Lines[3].size() - 7), "2.223\t\t");
}

TEST(SolventCurves, MissingFilesAndUserTables) {
    ui::ScopedScriptedBackend ui_;
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "vx_ltqy_solvents";
    std::filesystem::create_directories(dir);
    const std::string folder = dir.string() + "/";
    std::filesystem::copy_file(VX_TABLES_DIR "/etoh.fak", folder + "etoh.fak",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(VX_TABLES_DIR "/etoh.fak", folder + "mine.fak",
                               std::filesystem::copy_options::overwrite_existing);
    TAuxCurve n2, eta;
    LoadSolventCurves(0, "EtOH ", "", folder, n2, eta);
    EXPECT_TRUE(n2.Loaded());
    EXPECT_FALSE(eta.Loaded());
    EXPECT_EQ(ui_->messages, std::vector<std::string>{"File for temp. dependant viscosity\r\nof EtOH not found"});
    ui_->messages.clear();
    LoadSolventCurves(1, "2-Me-THF", "", folder, n2, eta);
    EXPECT_FALSE(n2.Loaded());
    EXPECT_EQ(ui_->messages, (std::vector<std::string>{"File for temp. dependant refraction index\r\nof 2-Me-THF not found",
                                                       "File for temp. dependant viscosity\r\nof 2-Me-THF not found"}));
    ui_->messages.clear();
    // A table of one's own: beside the program under its item's name, or where it was loaded from.
    LoadSolventCurves(2, "mine", "", folder, n2, eta);
    EXPECT_TRUE(n2.Loaded());
    LoadSolventCurves(2, "elsewhere", folder + "mine.fak", folder, n2, eta);
    EXPECT_TRUE(n2.Loaded());
    EXPECT_FALSE(eta.Loaded());
    LoadSolventCurves(2, "gone", "", folder, n2, eta);
    EXPECT_FALSE(n2.Loaded());
    EXPECT_EQ(ui_->messages, std::vector<std::string>{"File for temp. dependant refraction index\r\nof gone not found"});
    std::filesystem::remove_all(dir);
}

TEST(SolventCurves, ShippedTablesHoldThePublishedValues) {
    struct Case {
        const char* file;
        double first, last;  // K
        double at, expected, tolerance;
    } cases[] = {
        {"etoh.fak", 77, 320, 293.15, 1.3611 * 1.3611, 1e-4},     // n_D at 20 C
        {"2methf.fak", 77, 320, 293.15, 1.4060 * 1.4060, 1e-4},
        {"etoh_log_eta.fak", 97, 320, 298.15, 0.0322, 2e-3},       // 1.077 mPa s at 25 C
        {"etoh_log_eta.fak", 97, 320, 97, 15.0, 1e-9},            // 10^12 Pa s at the glass transition
        {"2methf_log_eta.fak", 92, 320, 298.15, -0.3372, 2e-3},   // 0.46 mPa s
        {"2methf_log_eta.fak", 92, 320, 107, 6.0, 1e-3},          // 10^4 P
    };
    const TDisplayState units{SpecXNanometer, SpecYAbsorbance};
    for (const Case& c : cases) {
        auto rec = ReadAuxCurve(std::string(VX_TABLES_DIR "/") + c.file);
        EXPECT_EQ(rec->XUnit, SpecXNanometer) << c.file;
        EXPECT_EQ(rec->YKind, SpecYIntensity) << c.file;  // read as the values stand
        EXPECT_DOUBLE_EQ(rec->FirstX, c.first) << c.file;
        EXPECT_DOUBLE_EQ(rec->XAt(rec->PointCount() - 1), c.last) << c.file;
        EXPECT_NEAR(SpecYAtX(*rec, c.at, units), c.expected, c.tolerance) << c.file << " at " << c.at;
    }
    // Colder is denser: n² rises towards 77 K.
    auto etoh = ReadAuxCurve(VX_TABLES_DIR "/etoh.fak");
    EXPECT_GT(etoh->Values.front(), etoh->Values.back());
    // The tables read the same where the regional separator is ",".
    SeparatorGuard sep;
    numtext::setDecimalSeparator(',');
    auto comma = ReadAuxCurve(VX_TABLES_DIR "/etoh.fak");
    EXPECT_EQ(comma->Values, etoh->Values);
}

TEST(SolventCurves, TableSavedAsText) {
    const std::string dir = ::testing::TempDir();
    const std::string written = SaveLowTempQYTable(dir + "vx_ltqy.dat", {"T [K]\tQY [%]", "", "77\t12.5"});
    EXPECT_EQ(written, dir + "vx_ltqy.txt");
    std::ifstream f(written, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ(text, "T [K]\tQY [%]\r\n\r\n77\t12.5\r\n");
    std::remove(written.c_str());
}
