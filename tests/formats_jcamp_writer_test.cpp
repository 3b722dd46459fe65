#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/units.h"
#include "formats/format_table.h"
#include "formats/jcamp_reader.h"
#include "formats/jcamp_writer.h"
#include "formats/save_dispatcher.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

TSpectrumRecord makeRecord(SpecXUnit xUnit, SpecYKind yKind, double firstX, double step, int n) {
    TSpectrumRecord r;
    r.Title = "Sample A";
    r.XUnit = xUnit;
    r.YKind = yKind;
    r.FirstX = firstX;
    r.StepX = step;
    r.SourceKind = 21;
    r.DateText = "2026-12-08 10:11:12";
    r.Concentration = 2e-5;
    r.PathLength = 1.0;
    for (int i = 0; i < n; ++i) r.Values.push_back(0.2 + 0.6 * std::sin(0.3 * i) * std::sin(0.3 * i));
    return r;
}

std::vector<std::string> labelsOf(const std::string& text) {
    std::vector<std::string> out;
    for (const auto& l : SplitLines(text))
        if (l.rfind("##", 0) == 0) out.push_back(l.substr(0, l.find('=') + 1));
    return out;
}

std::string valueOf(const std::string& text, const std::string& label) {
    for (const auto& l : SplitLines(text))
        if (l.rfind(label, 0) == 0) return l.substr(label.size());
    return "<missing>";
}

class JcampWriter : public ::testing::TestWithParam<char> {
protected:
    void SetUp() override { numtext::setDecimalSeparator(GetParam()); }
    void TearDown() override { numtext::setDecimalSeparator('.'); }
    ui::ScopedScriptedBackend ui_;
};

INSTANTIATE_TEST_SUITE_P(Separators, JcampWriter, ::testing::Values('.', ','));

TEST_P(JcampWriter, LabelsInOrderAndNumbersWithPoint) {
    auto r = makeRecord(SpecXNanometer, SpecYAbsorbance, 400.0, 0.5, 25);
    r.Comment1 = "UV/VIS SPECTRUM, smoothed";
    const std::string text = JcampBlockText(r);
    const std::vector<std::string> expected = {
        "##TITLE=",   "##JCAMP-DX=", "##LONGDATE=", "##OWNER=",   "##ORIGIN=",  "##DATA TYPE=",
        "##DATA PROCESSING=", "##DATA CLASS=", "##SPECTROMETER/DATASYSTEM=", "##XUNITS=", "##YUNITS=",
        "##XLABEL=",  "##YLABEL=",   "##XFACTOR=",  "##YFACTOR=", "##FIRSTX=",  "##LASTX=",
        "##DELTAX=",  "##NPOINTS=",  "##XYDATA=",   "##END="};
    EXPECT_EQ(labelsOf(text), expected);
    EXPECT_EQ(valueOf(text, "##JCAMP-DX="), " 5.01  $$ datafile exported by Varolux32 v.1.72.2p");
    EXPECT_EQ(valueOf(text, "##LONGDATE="), " 2026/12/08 10:11:12");
    EXPECT_EQ(valueOf(text, "##DATA TYPE="), " UV/VIS SPECTRUM");
    EXPECT_EQ(valueOf(text, "##DATA PROCESSING="), " smoothed");
    EXPECT_EQ(valueOf(text, "##SPECTROMETER/DATASYSTEM="), " unknown");
    EXPECT_EQ(valueOf(text, "##XFACTOR="), " 1.000000");
    EXPECT_EQ(valueOf(text, "##FIRSTX="), " 400.000000");
    EXPECT_EQ(valueOf(text, "##LASTX="), " 412.000000");
    EXPECT_EQ(valueOf(text, "##DELTAX="), " 0.500000");
    EXPECT_EQ(valueOf(text, "##NPOINTS="), " 25");
    EXPECT_EQ(valueOf(text, "##END="), " ");
    EXPECT_EQ(text.find(','), text.find("UV/VIS SPECTRUM,"));  // the only comma is the comment's
    // 25 points: lines of 10, 10 and 5 values starting with x(0), x(10), x(20).
    auto ls = SplitLines(text);
    std::vector<std::string> data;
    for (const auto& l : ls)
        if (!l.empty() && l[0] != '#') data.push_back(l);
    ASSERT_EQ(data.size(), 3u);
    EXPECT_EQ(data[0].substr(0, 8), "400.000 ");
    EXPECT_EQ(data[1].substr(0, 8), "405.000 ");
    EXPECT_EQ(data[2].substr(0, 8), "410.000 ");
    EXPECT_EQ(std::count(data[0].begin(), data[0].end(), ' '), 10);
    EXPECT_EQ(std::count(data[2].begin(), data[2].end(), ' '), 5);
    EXPECT_NE(text.find("\r\n"), std::string::npos);
}

TEST_P(JcampWriter, GridEndsAreExactAndNeverInExponentForm) {
    auto r = makeRecord(SpecXNanometer, SpecYAbsorbance, 12345.6789, 1.0, 1);
    std::string text = JcampBlockText(r);
    EXPECT_EQ(valueOf(text, "##FIRSTX="), " 12345.679000");
    EXPECT_EQ(valueOf(text, "##LASTX="), " 12345.679000");
    r = makeRecord(SpecXWavenumber, SpecYAbsorbance, 4000.0, -0.482, 7470);
    text = JcampBlockText(r);
    EXPECT_EQ(valueOf(text, "##LASTX="), " 399.942000");
    r.Values.assign(1000000, 0.5);
    text = JcampBlockText(r);
    EXPECT_EQ(valueOf(text, "##NPOINTS="), " 1000000");
    EXPECT_EQ(valueOf(text, "##LASTX=").find('E'), std::string::npos);
}

TEST_P(JcampWriter, DateLineRules) {
    struct Case {
        int32_t kind;
        const char* date;
        const char* line;  // expected "label value", "" for no line
    } cases[] = {
        {21, "24.04.2002 10:15:00", "##LONGDATE= 24/04/2002 10:15:00"},
        {28, "2002/04/24", "##DATE= 2002/04/24"},
        {28, "2002/04/24 10:15", "##LONGDATE= 2002/04/24 10:15"},
        {21, "2026-12-08 10:11:12", "##LONGDATE= 2026/12/08 10:11:12"},
        {21, "", ""},
    };
    for (const auto& c : cases) {
        auto r = makeRecord(SpecXNanometer, SpecYAbsorbance, 400.0, 1.0, 3);
        r.SourceKind = c.kind;
        r.DateText = c.date;
        std::string text = JcampBlockText(r);
        if (*c.line == 0)
            EXPECT_EQ(text.find("DATE="), std::string::npos);
        else
            EXPECT_NE(text.find(std::string(c.line) + "\r\n"), std::string::npos) << c.date;
    }
}

TEST_P(JcampWriter, RamanTypeAndTitleCut) {
    auto r = makeRecord(SpecXRamanShift, SpecYIntensity, 100.0, 2.0, 5);
    r.Comment1 = "excited at 785 nm";
    r.Title = std::string(255, 'T');
    std::string text = JcampBlockText(r);
    EXPECT_EQ(valueOf(text, "##DATA TYPE="), " RAMAN SPECTRUM");
    EXPECT_EQ(valueOf(text, "##DATA PROCESSING="), " excited at 785 nm");
    EXPECT_EQ(SplitLines(text)[0].size(), 255u);
    EXPECT_EQ(valueOf(text, "##XLABEL="), " Raman Shift [1/cm]");
}

// Grids in every x unit, and how our reader gives them back.
struct Grid {
    SpecXUnit unit;
    double first, step;
    SpecXUnit readUnit;
    double scale;  // read x = written x * scale
};
const Grid kGrids[] = {
    {SpecXNanometer, 400.0, 0.5, SpecXNanometer, 1.0},
    {SpecXWavenumber, 4000.0, -2.0, SpecXWavenumber, 1.0},
    {SpecXWavenumber, 400.0, 2.0, SpecXWavenumber, 1.0},  // rising wavenumbers come back falling
    {SpecXElectronVolt, 1.5, 0.01, SpecXWavenumber, kWavenumberPerEv},
    {SpecXMicrometer, 2.5, 0.01, SpecXNanometer, 1000.0},
    {SpecXRamanShift, 200.0, 1.5, SpecXRamanShift, 1.0},
};

// Every unit and kind written and read back gives the same spectrum within the written precision.
TEST_P(JcampWriter, RoundTripsAcrossUnitsAndKinds) {
    for (const auto& g : kGrids) {
        for (int32_t code = 1; code <= 6; ++code) {
            const SpecYKind kind = *YKindOfCode(code);
            auto orig = makeRecord(g.unit, kind, g.first, g.step, 37);
            orig.Comment1 = "plain";
            TSpectraList list;
            LoadSpecJcampText(JcampBlockText(orig), "/x/rt.dx", "d", list);
            const std::string where = std::to_string(CodeOf(g.unit)) + "/" + std::to_string(code);
            ASSERT_EQ(list.Count(), 1) << where;
            const auto& back = list[0];
            EXPECT_EQ(back.XUnit, g.readUnit) << where;
            EXPECT_EQ(back.YKind, kind) << where;
            EXPECT_EQ(back.Title.str(), "Sample A");
            ASSERT_EQ(back.PointCount(), 37) << where;
            const SpecYKind mode = kind == SpecYIntensity ? SpecYAbsorbance : kind;
            for (int i = 0; i < 37; ++i) {
                double x = orig.XAt(i) * g.scale;
                double jx = (x - back.FirstX) / back.StepX;
                int j = static_cast<int>(std::lround(jx));
                ASSERT_NEAR(jx, j, 1e-4) << where;
                double want = StoredToDisplayY(orig, orig.Values[i], mode);
                double got = StoredToDisplayY(back, back.Values[j], mode);
                EXPECT_NEAR(got, want, 1e-5 + 1e-6 * std::fabs(want)) << where << " point " << i;
            }
        }
    }
}

TEST_P(JcampWriter, LinkedFileReadsBackAsItsBlocks) {
    TSpectraList list;
    auto a = std::make_unique<TSpectrumRecord>(makeRecord(SpecXNanometer, SpecYAbsorbance, 400, 1, 12));
    auto b = std::make_unique<TSpectrumRecord>(makeRecord(SpecXWavenumber, SpecYTransmittance, 4000, -4, 15));
    a->Title = "first";
    b->Title = "second";
    list.Add(std::move(a));
    list.Add(std::move(b));
    const std::string text = JcampLinkedText(list, "/out/all.dx");
    auto ls = SplitLines(text);
    ASSERT_GE(ls.size(), 4u);
    EXPECT_EQ(ls[0], "##TITLE= all.dx");
    EXPECT_EQ(ls[1], "##JCAMP-DX= 5.01");
    EXPECT_EQ(ls[2], "##DATA TYPE= LINK");
    EXPECT_EQ(ls[3], "##BLOCKS= 2");
    EXPECT_NE(text.find("##BLOCK_ID= 2\r\n"), std::string::npos);
    EXPECT_EQ(ls.back(), "##END= ");

    TSpectraList back;
    LoadSpecJcampText(text, "/out/all.dx", "d", back);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back[0].Title.str(), "first");
    EXPECT_EQ(back[1].Title.str(), "second");
    EXPECT_EQ(back[1].PointCount(), 15);
    EXPECT_EQ(back[1].XUnit, SpecXWavenumber);
}

TEST_P(JcampWriter, SavedFileIsAnsiAndReadsBack) {
    auto dir = std::filesystem::temp_directory_path() / ("vx_jcamp_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "um.dx").string();
    auto r = makeRecord(SpecXMicrometer, SpecYAbsorbance, 2.5, 0.01, 20);
    SaveSpecJcamp(path, r);
    std::string bytes = LoadFileBytes(path);
    EXPECT_NE(bytes.find("##XLABEL= Wavelength [\xB5m]\r\n"), std::string::npos);
    TSpectraList list;
    LoadSpecJcamp(path, list, ReadLimitOf(OpenFormat::JcampDx));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_NEAR(list[0].FirstX, 2500.0, 1e-9);
    EXPECT_EQ(list[0].Title.str(), "Sample A");
    std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

// The save command's JCAMP-DX case goes the one way of every one-spectrum writer: the only spectrum
// without a question, else the chosen one; a cancelled choice, or an answer that is no spectrum of the
// list, writes nothing and keeps the old file.
TEST(JcampSave, ChosenSpectrumOnly) {
    ui::ScopedScriptedBackend ui;
    auto dir = std::filesystem::temp_directory_path() / ("vx_jcamp_choice_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "c.dx").string();
    TSpectraList list;
    const TDisplayState display;
    std::string answer;
    ui->onAsk = [&](ui::Query& q) {
        if (answer.empty()) return false;
        q.fields["SpekBox"] = answer;
        return true;
    };
    EXPECT_FALSE(SaveSpectraFile(path, list, display));  // nothing to save
    EXPECT_FALSE(std::filesystem::exists(path));
    auto a = std::make_unique<TSpectrumRecord>(makeRecord(SpecXNanometer, SpecYAbsorbance, 400, 1, 5));
    a->Title = "only";
    list.Add(std::move(a));
    EXPECT_TRUE(SaveSpectraFile(path, list, display));
    EXPECT_TRUE(ui->asked.empty());
    EXPECT_NE(LoadFileBytes(path).find("##TITLE= only\r\n"), std::string::npos);

    auto b = std::make_unique<TSpectrumRecord>(makeRecord(SpecXNanometer, SpecYAbsorbance, 400, 1, 5));
    b->Title = "second";
    list.Add(std::move(b));
    for (const char* refused : {"", "2", "-1", "x"}) {
        answer = refused;
        EXPECT_FALSE(SaveSpectraFile(path, list, display)) << refused;
        EXPECT_NE(LoadFileBytes(path).find("##TITLE= only\r\n"), std::string::npos) << refused;
    }
    answer = "1";
    EXPECT_TRUE(SaveSpectraFile(path, list, display));
    EXPECT_EQ(ui->asked.size(), 5u);
    EXPECT_EQ(ui->asked.back().dialog, "TAuswDia");
    EXPECT_NE(LoadFileBytes(path).find("##TITLE= second\r\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace

// Values near 4e-5 keep at least five significant digits through YFACTOR, in every unit and kind.
TEST_P(JcampWriter, SmallValuesSurviveThroughYFactor) {
    for (const auto& g : kGrids) {
        for (int32_t code = 1; code <= 6; ++code) {
            const SpecYKind kind = *YKindOfCode(code);
            auto orig = makeRecord(g.unit, kind, g.first, g.step, 23);
            orig.Comment1 = "plain";
            const double cd = orig.Concentration * orig.PathLength;
            for (int i = 0; i < 23; ++i) {
                const double y = 4.1234567e-5 * (1.0 + 0.1 * i);  // shown values 4.1e-5 .. 1.3e-4
                switch (kind) {
                case SpecYTransmittance:
                case SpecYReflectance: orig.Values[i] = -std::log10(y); break;
                case SpecYEpsilon: orig.Values[i] = y * cd; break;
                case SpecYLogEpsilon: orig.Values[i] = std::pow(10.0, y) * cd; break;
                default: orig.Values[i] = y;
                }
            }
            const std::string where = std::to_string(CodeOf(g.unit)) + "/" + std::to_string(code);
            const std::string text = JcampBlockText(orig);
            EXPECT_EQ(valueOf(text, "##YFACTOR= "), "1E-4") << where;
            TSpectraList list;
            LoadSpecJcampText(text, "/x/small.dx", "d", list);
            ASSERT_EQ(list.Count(), 1) << where;
            const auto& back = list[0];
            ASSERT_EQ(back.PointCount(), 23) << where;
            const SpecYKind mode = kind == SpecYIntensity ? SpecYAbsorbance : kind;
            for (int i = 0; i < 23; ++i) {
                const double jx = (orig.XAt(i) * g.scale - back.FirstX) / back.StepX;
                const int j = static_cast<int>(std::lround(jx));
                const double want = StoredToDisplayY(orig, orig.Values[i], mode);
                const double got = StoredToDisplayY(back, back.Values[j], mode);
                // Five significant digits: within half a unit of the fifth.
                const double unit5 = std::pow(10.0, std::floor(std::log10(want)) - 4);
                EXPECT_NEAR(got, want, 0.5 * unit5 * (1 + 1e-9)) << where << " point " << i;
            }
        }
    }
}

// The factor is the power of ten that brings the largest |y| into 1..10; from 0.1 on, the block is
// written as before, factor 1.
TEST_P(JcampWriter, YFactorOnlyForBlocksBelowOneTenth) {
    struct Case {
        std::vector<double> values;
        const char* factor;
        const char* firstLine;  // the first data line
    } cases[] = {
        {{4.1234e-5, -2e-5}, "1E-5", "400.000 4.12340 -2.00000"},
        {{-0.0999994, 0.05}, "1E-2", "400.000 -9.99994 5.00000"},
        {{9.99999e-3, 1e-3}, "1E-3", "400.000 9.99999 1.00000"},
        {{1e-300, 0}, "1E-300", "400.000 1.00000 0.00000"},
        {{0.1, 0.00001}, "1.000000", "400.000 0.10000 0.00001"},
        {{0.0, 0.0}, "1.000000", "400.000 0.00000 0.00000"},
        {{2.5, -0.01}, "1.000000", "400.000 2.50000 -0.01000"},
    };
    for (const auto& c : cases) {
        auto r = makeRecord(SpecXNanometer, SpecYAbsorbance, 400.0, 1.0, 0);
        r.Values = c.values;
        const std::string text = JcampBlockText(r);
        EXPECT_EQ(valueOf(text, "##YFACTOR= "), c.factor) << c.firstLine;
        const auto lines = SplitLines(text);
        const auto data = std::find(lines.begin(), lines.end(), "##XYDATA= (X++(Y..Y))");
        ASSERT_NE(data, lines.end());
        EXPECT_EQ(*(data + 1), c.firstLine);
    }
}
