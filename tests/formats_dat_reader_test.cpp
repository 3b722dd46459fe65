#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/units.h"
#include "formats/dat_reader.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

using numtext::FloatFormat;

std::string fx(double v, int digits) { return numtext::FloatToStrF(v, FloatFormat::Fixed, 7, digits); }

// Lines as our DAT writer lays them out for a display x unit: the x columns of that unit, then one
// column per spectrum with its value in general 4 form or "-" outside it.
std::vector<std::string> ownDat(int unit, const std::vector<double>& xs,
                                const std::vector<std::function<std::string(double)>>& cols) {
    const char* heads[] = {"", "Wavelength [nm]\tWavenumbers [1/cm]", "Wavelength [nm]\tWavenumbers [1/cm]",
                           "Wavelength [nm]\tWavenumbers [1/cm]\tElectron Volts [eV]",
                           "Wavelength [nm]\tWavelength [\xC2\xB5m]\tWavenumbers [1/cm]"};
    std::vector<std::string> out;
    std::string h = heads[unit];
    for (std::size_t k = 0; k < cols.size(); ++k) h += "\tcurve " + std::to_string(k + 1);
    out.push_back(h);
    for (double x : xs) {
        std::string l;
        switch (unit) {
        case 1: l = fx(x, 3) + "\t" + fx(1e7 / x, 2); break;
        case 2: l = fx(1e7 / x, 3) + "\t" + fx(x, 2); break;
        case 3: l = fx(1e7 / (x * 8065.5409), 3) + "\t" + fx(x * 8065.5409, 2) + "\t" + fx(x, 4); break;
        default: l = fx(x * 1000, 3) + "\t" + fx(x, 4) + "\t" + fx(1e7 / (x * 1000), 2); break;
        }
        for (const auto& c : cols) l += "\t" + c(x);
        out.push_back(l);
    }
    return out;
}

double shape(double nm) { return 0.5 + 0.3 * std::sin(nm / 20.0); }

double toNm(int unit, double x) {
    switch (unit) {
    case 1: return x;
    case 2: return 1e7 / x;
    case 3: return kNmEv / x;
    default: return x * 1000.0;
    }
}

class DatReader : public ::testing::TestWithParam<char> {
protected:
    void SetUp() override { numtext::setDecimalSeparator(GetParam()); }
    void TearDown() override { numtext::setDecimalSeparator('.'); }
    void read(const std::vector<std::string>& lines) { LoadDatLines(lines, "/d/export.dat", "date", list); }
    ui::ScopedScriptedBackend ui_;
    TSpectraList list;
};

INSTANTIATE_TEST_SUITE_P(Separators, DatReader, ::testing::Values('.', ','));

// Our DAT files in every display unit read back to the same spectra.
TEST_P(DatReader, OwnFilesInEveryDisplayUnit) {
    struct Case {
        int unit;
        double lower, step;  // display grid, rising (nm, µm) or falling (1/cm, eV) from `lower`
        int readUnit;
    } cases[] = {{1, 400.0, 0.5, 1}, {4, 0.4, 0.0005, 1}, {2, 25000.0, -10.0, 2}, {3, 3.1, -0.002, 2}};
    for (const auto& c : cases) {
        list.Clear();
        std::vector<double> xs;
        for (int k = 0; k < 200; ++k) xs.push_back(c.lower + k * c.step);
        const double mid = xs[100];
        auto full = [&](double x) {
            return numtext::FloatToStrF(shape(toNm(c.unit, x)), FloatFormat::General, 4, 0);
        };
        auto half = [&](double x) {
            bool in = c.step > 0 ? x <= mid : x >= mid;
            return in ? numtext::FloatToStrF(shape(toNm(c.unit, x)), FloatFormat::General, 4, 0) : std::string("-");
        };
        read(ownDat(c.unit, xs, {full, half}));
        ASSERT_EQ(list.Count(), 2) << "unit " << c.unit;
        for (int s = 0; s < 2; ++s) {
            const auto& r = list[s];
            EXPECT_EQ(CodeOf(r.XUnit), c.readUnit) << "unit " << c.unit;
            EXPECT_EQ(r.YKind, SpecYAbsorbance);
            EXPECT_EQ(r.SpecType.str(), "ascii_dat");
            EXPECT_EQ(r.SourceKind, 32);
            EXPECT_EQ(r.Title.str(), s == 0 ? "curve 1" : "curve 2");
            EXPECT_EQ(r.PointCount(), s == 0 ? 200 : 101) << "unit " << c.unit;
            EXPECT_EQ(r.StepX > 0.0, c.readUnit == 1) << "unit " << c.unit;
            for (int j = 0; j < r.PointCount(); ++j) {
                double nm = r.XUnit == SpecXNanometer ? r.XAt(j) : 1e7 / r.XAt(j);
                ASSERT_NEAR(r.Values[j], shape(nm), 2e-3) << "unit " << c.unit << " point " << j;
            }
        }
    }
}

TEST_P(DatReader, ShortFilesTakeTheFirstColumn) {
    // 1/cm evenly spaced, but with 20 lines or fewer the first column is x.
    std::vector<double> xs;
    for (int k = 0; k < 15; ++k) xs.push_back(20000.0 - 100.0 * k);
    read(ownDat(2, xs, {[](double x) { return numtext::FloatToStrF(x / 1e5, FloatFormat::General, 4, 0); }}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].XUnit, SpecXNanometer);
    EXPECT_GT(list[0].StepX, 0.0);
}

TEST_P(DatReader, ConstantColumnIsNeverTheXColumn) {
    // Column 2 constant: its differences have mean 0, so column 1 is taken, and the other way round.
    for (int constant = 1; constant <= 2; ++constant) {
        list.Clear();
        std::vector<std::string> lines = {"a\tb\ts"};
        for (int k = 0; k < 30; ++k) {
            std::string v1 = constant == 1 ? "500" : std::to_string(400 + 2 * k * k);
            std::string v2 = constant == 2 ? "500" : std::to_string(1000 + 3 * k * k);
            lines.push_back(v1 + "\t" + v2 + "\t" + std::to_string(k));
        }
        read(lines);
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(CodeOf(list[0].XUnit), constant == 1 ? 2 : 1);
    }
}

TEST_P(DatReader, UnsoundFilesAddNothing) {
    read({"a\tb\tc", "1\t2"});                      // tab counts differ
    read({"a\tb\tc", "x\t2\t3", "2\t3\t4"});        // line 1 starts with no number
    read({"a\tb\tc\td", "400\t1\t0.5\t-", "401\t2\t-\t-"});  // one value, no values
    read({"only"});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_P(DatReader, MissingFieldsCountAsDash) {
    read({"a\tb\tone\ttwo", "400\t1\t0.5\t0.1", "401\t2\t0.6", "402\t3\t0.7\t0.3"});
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].PointCount(), 3);
    EXPECT_EQ(list[1].PointCount(), 2);
    EXPECT_DOUBLE_EQ(list[1].StepX, 2.0);
    EXPECT_THROW(read({"a\tb\tc", "400\t1\t0.5", "401\t2\tabc"}), vx::ConversionError);
}

TEST_P(DatReader, InstrumentLayout) {
    read({"Filter glass", "measured 2002", "operator", "", "Wellenzahl;Wellenlaenge", "", "1;402,0;x;50,0",
          "2;401,0;x;0", "3;400.0;x;100"});
    ASSERT_EQ(list.Count(), 1);
    const auto& r = list[0];
    EXPECT_EQ(r.Title.str(), "Filter glass");
    EXPECT_EQ(r.Comment1.str(), "measured 2002");
    EXPECT_EQ(r.SpecType.str(), "zeiss_dat");
    EXPECT_EQ(r.SourceKind, 34);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
    EXPECT_DOUBLE_EQ(r.StepX, 1.0);
    EXPECT_DOUBLE_EQ(r.Values[0], 0.0);
    EXPECT_DOUBLE_EQ(r.Values[1], 5.0);  // 0 % transmittance
    EXPECT_NEAR(r.Values[2], -std::log10(0.5), 1e-12);
}

}  // namespace

#include "formats/dat_writer.h"
#include "formats/format_table.h"

namespace {

// Our DAT writer's files, in every display unit, read back to the spectra that were written.
TEST_P(DatReader, WriterOutputReadsBack) {
    TSpectraList out;
    for (int k = 0; k < 2; ++k) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->Title = k == 0 ? "wide" : "narrow";
        r->XUnit = SpecXNanometer;
        r->YKind = SpecYAbsorbance;
        r->FirstX = k == 0 ? 300.0 : 400.0;
        r->StepX = 0.5;
        for (int i = 0; i < (k == 0 ? 800 : 300); ++i) r->Values.push_back(shape(r->XAt(i)));
        out.Add(std::move(r));
    }
    struct Case {
        SpecXUnit unit;
        double lower, upper;
        SpecXUnit readUnit;
    } cases[] = {{SpecXNanometer, 320.0, 650.0, SpecXNanometer},
                 {SpecXMicrometer, 0.32, 0.65, SpecXNanometer},
                 {SpecXWavenumber, 1e7 / 650.0, 1e7 / 320.0, SpecXWavenumber},
                 {SpecXElectronVolt, kNmEv / 650.0, kNmEv / 320.0, SpecXWavenumber}};
    for (const auto& c : cases) {
        TDatText dat = DatExportText(out, TDisplayState{c.unit, SpecYAbsorbance}, c.lower, c.upper, 1);
        ASSERT_TRUE(dat.refusal.empty()) << dat.refusal;
        list.Clear();
        read(SplitLines(dat.text));
        ASSERT_EQ(list.Count(), 2) << "unit " << CodeOf(c.unit);
        EXPECT_EQ(list[0].Title.str(), "wide");
        EXPECT_EQ(list[1].Title.str(), "narrow");
        for (int s = 0; s < 2; ++s) {
            const auto& r = list[s];
            EXPECT_EQ(r.XUnit, c.readUnit) << "unit " << CodeOf(c.unit);
            ASSERT_GE(r.PointCount(), 2);
            for (int j = 0; j < r.PointCount(); ++j) {
                double nm = r.XUnit == SpecXNanometer ? r.XAt(j) : 1e7 / r.XAt(j);
                ASSERT_NEAR(r.Values[j], shape(nm), 2e-3) << "unit " << CodeOf(c.unit) << " point " << j;
            }
        }
    }
}

}  // namespace

#include "formats_test_util.h"

namespace {

// Titles with tabs (the smoothing tools append "\t smoothed") or line breaks split no header field:
// every DAT file we write opens again, with every spectrum under its title.
TEST_P(DatReader, TitlesWithTabsAndLineBreaksReadBack) {
    TSpectraList out;
    const char* titles[] = {"dye\t smoothed", "line\r\nbreak", "plain"};
    for (const char* t : titles) {
        auto r = std::make_unique<TSpectrumRecord>();
        r->Title = t;
        r->XUnit = SpecXNanometer;
        r->YKind = SpecYAbsorbance;
        r->FirstX = 400.0;
        r->StepX = 1.0;
        for (int i = 0; i < 50; ++i) r->Values.push_back(shape(r->XAt(i)));
        out.Add(std::move(r));
    }
    fmt_test::TempDir dir;
    const std::string path = dir.file("t.dat");
    ASSERT_TRUE(SaveDatFile(path, out, TDisplayState{}, 400.0, 449.0, 1));
    LoadDatFile(path, list, ReadLimitOf(OpenFormat::Dat));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title.str(), "dye  smoothed");
    EXPECT_EQ(list[1].Title.str(), "line  break");
    EXPECT_EQ(list[2].Title.str(), "plain");
    for (int s = 0; s < 3; ++s) EXPECT_GE(list[s].PointCount(), 48);
}

}  // namespace
