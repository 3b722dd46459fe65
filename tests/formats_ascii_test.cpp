#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "core/helpers.h"
#include "formats/ascii_reader.h"
#include "formats/format_table.h"
#include "formats/resample.h"
#include "formats_test_util.h"
#include "platform/errors.h"
#include "platform/ui.h"

using fmt_test::CleanState;
using fmt_test::TempDir;

namespace {

std::string joinLines(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + eol;
    return s;
}

// Reads text as a tool would (no axis query), or as the Open command would with the start choice.
TSpectrumRecord readText(const std::string& text, bool fromOpen = false, const std::string& name = "/data/probe.fak") {
    TSpectrumRecord r;
    TAxisQueryChoice choice;
    ReadSpecAsciiBytes(r, text, false, name, fromOpen ? &choice : nullptr);
    return r;
}

// n lines "x<sep>y" with x = x0 + i, y = 0.1 * (i + 1), numbers written with `dec` as decimal mark.
std::vector<std::string> dataLines(int n, char sep, char dec = '.', double x0 = 400) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        std::string x = numtext::FloatToStrF(x0 + i, numtext::FloatFormat::Fixed, 7, 1, dec);
        std::string y = numtext::FloatToStrF(0.1 * (i + 1), numtext::FloatFormat::Fixed, 7, 2, dec);
        out.push_back(x + sep + y);
    }
    return out;
}

}  // namespace

// Every text test runs with both regional decimal separators.
class AsciiReader : public ::testing::TestWithParam<char> {
protected:
    CleanState state{GetParam()};
    ui::ScopedScriptedBackend ui;
};

INSTANTIATE_TEST_SUITE_P(DecimalSeparators, AsciiReader, ::testing::Values('.', ','),
                         [](const auto& info) { return info.param == '.' ? std::string("Point") : std::string("Comma"); });

TEST_P(AsciiReader, SeparatorIsGuessedFromTheEleventhLine) {
    struct Case {
        char sep, dec;
    } cases[] = {{',', '.'}, {';', ','}, {';', '.'}, {' ', '.'}, {'\t', '.'}, {'\t', ','}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("separator '") + c.sep + "', decimal '" + c.dec + "'");
        TSpectrumRecord r = readText(joinLines(dataLines(12, c.sep, c.dec)));
        ASSERT_EQ(r.PointCount(), 12);
        EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
        EXPECT_DOUBLE_EQ(r.StepX, 1.0);
        EXPECT_DOUBLE_EQ(r.Values[0], 0.1);
        EXPECT_DOUBLE_EQ(r.Values[11], 1.2);
        EXPECT_EQ(r.XUnit, SpecXNanometer);
        EXPECT_EQ(r.YKind, SpecYIntensity);
    }
}

TEST_P(AsciiReader, RecordFieldsOfTheReader) {
    TSpectrumRecord r;
    r.Color = 0x123456;
    r.LineStyle = 2;
    ReadSpecAsciiBytes(r, joinLines(dataLines(11, '\t')), false, "/data/sub dir/my.sample.fak", nullptr);
    EXPECT_EQ(r.FileName, "/data/sub dir/my.sample.fak");
    EXPECT_EQ(r.Title, "my.sample");
    EXPECT_EQ(r.SpecType, "ascii_fak");
    EXPECT_EQ(r.SourceKind, 11);
    EXPECT_TRUE(r.Comment1.empty());
    EXPECT_TRUE(r.Comment2.empty());
    EXPECT_EQ(r.Concentration, 0.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, -1.0);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_EQ(r.Color, 0x123456u);  // left to the caller
    EXPECT_EQ(r.LineStyle, 2);
}

TEST_P(AsciiReader, AxisTypesFromTheLabelLine) {
    struct Case {
        std::string label;
        char sep;
        int32_t xUnit, yKind;
        bool raman;
    } cases[] = {
        {"Wavelength\tAbsorbance", '\t', 1, 2, false},
        {"Wellenzahl;Transmission", ';', 2, 1, false},
        {"cm-1\t%T", '\t', 1, 1, false},  // the hyphen goes, so "cm1" is no wavenumber label
        {"Wavelength,Transmittance", ',', 1, 1, false},
        {"Raman Shift\tCounts", '\t', 5, 5, true},
        {"  wavenumbers\tabs.", '\t', 2, 2, false},
        {"nm\tReflectance [%]", '\t', 1, 6, false},
        {"nm\tFluorescence Emission", '\t', 1, 5, false},
        {"nm\tlog(Epsilon)", '\t', 1, 4, false},
        {"nm\tEpsilon", '\t', 1, 4, false},  // a later substring hit wins
        {"nm\tIntensit\xE4t", '\t', 1, 5, false},  // Windows-1252 in the file
        {"nothing", '\t', 1, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> lines{c.label};
        for (auto& l : dataLines(11, c.sep)) lines.push_back(l);
        TSpectrumRecord r = readText(joinLines(lines), true);
        EXPECT_EQ(CodeOf(r.XUnit), c.xUnit);
        EXPECT_EQ(CodeOf(r.YKind), c.yKind);
        EXPECT_EQ(r.Comment2, c.raman ? "Raman Shift [1/cm]" : "");
        EXPECT_EQ(r.PointCount(), 11);
    }
    EXPECT_TRUE(ui->asked.empty());  // a file with a header never asks
}

TEST_P(AsciiReader, TransmittanceAndReflectancePercentLimits) {
    struct Case {
        std::string label;
        std::vector<double> ys;
        bool percent;
    } cases[] = {
        {"Wavelength\tTransmittance", {95, 50, 0}, true},
        {"Wavelength\tTransmittance", {0.95, 0.5, 0}, false},
        {"Wavelength\tTransmittance", {4.0, 2.0, 1.0}, false},  // 4.0 is no percent yet
        {"Wavelength\tReflectance", {1.5, 0.5, 0}, true},
        {"Wavelength\tReflectance", {1.2, 0.5, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label + " max " + std::to_string(c.ys[0]));
        std::vector<std::string> lines{c.label};
        for (int i = 0; i < 10; ++i) {
            double y = c.ys[static_cast<std::size_t>(i % 3)];
            lines.push_back(std::to_string(400 + i) + "\t" +
                            numtext::FloatToStrF(y, numtext::FloatFormat::General, 6, 0, '.'));
        }
        TSpectrumRecord r = readText(joinLines(lines));
        ASSERT_EQ(r.PointCount(), 10);
        for (int i = 0; i < 3; ++i) {
            double y = c.ys[static_cast<std::size_t>(i)];
            double expected = y <= 1e-6 ? 6.0 : -std::log10(c.percent ? y / 100 : y);
            EXPECT_NEAR(r.Values[static_cast<std::size_t>(i)], expected, 1e-12);
        }
    }
}

TEST_P(AsciiReader, EpsilonKindsGetAConcentration) {
    std::vector<std::string> lines{"nm\tEps."};
    lines[0] = "nm\tEPSILON EPS.";  // blanks go, "EPSILONEPS." matches no list: stays intensity
    for (auto& l : dataLines(11, '\t')) lines.push_back(l);
    EXPECT_EQ(readText(joinLines(lines)).YKind, SpecYIntensity);

    lines[0] = "nm\tlog(eps)";
    TSpectrumRecord r = readText(joinLines(lines));
    EXPECT_EQ(r.YKind, SpecYLogEpsilon);
    EXPECT_EQ(r.Concentration, 1e-5);
    EXPECT_NEAR(r.Values[0], std::pow(10.0, 0.1) * 1e-5, 1e-18);
    EXPECT_EQ(r.ConcTimesPath, 1e-5);
}

TEST_P(AsciiReader, LogEpsilonOverflowIsRefusedAsNoNumber) {
    std::vector<std::string> lines{"nm\tlog(Epsilon)"};
    for (int i = 0; i < 11; ++i) lines.push_back(std::to_string(400 + i) + "\t400");
    TSpectrumRecord r;
    r.Title = "kept";
    try {
        ReadSpecAsciiBytes(r, joinLines(lines), false, "x.fak", nullptr);
        FAIL() << "no error";
    } catch (const vx::ConversionError& e) {
        EXPECT_NE(std::string(e.what()).find("is not a valid floating point value"), std::string::npos);
    }
    EXPECT_EQ(r.Title, "kept");
    EXPECT_EQ(r.PointCount(), 0);
}

TEST_P(AsciiReader, DirectionAndUnitFolding) {
    // Falling nm data are turned round.
    std::vector<std::string> down;
    for (int i = 0; i < 11; ++i) down.push_back(std::to_string(410 - i) + "\t" + std::to_string(i));
    TSpectrumRecord r = readText(joinLines(down));
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    EXPECT_DOUBLE_EQ(r.StepX, 1);
    EXPECT_DOUBLE_EQ(r.Values.front(), 10);
    EXPECT_DOUBLE_EQ(r.Values.back(), 0);

    // Wavenumbers end with falling x whatever their own order.
    for (bool rising : {true, false}) {
        std::vector<std::string> lines{"Wavenumbers\tAbsorbance"};
        for (int i = 0; i < 11; ++i) {
            int k = rising ? i : 10 - i;
            lines.push_back(std::to_string(1000 + 10 * k) + "\t" + std::to_string(k));
        }
        TSpectrumRecord w = readText(joinLines(lines));
        EXPECT_EQ(w.XUnit, SpecXWavenumber);
        EXPECT_DOUBLE_EQ(w.FirstX, 1100);
        EXPECT_DOUBLE_EQ(w.StepX, -10);
        EXPECT_DOUBLE_EQ(w.Values.front(), 10);
        EXPECT_DOUBLE_EQ(w.Values.back(), 0);
    }
}

TEST_P(AsciiReader, MicrometersAndElectronVoltsAreFoldedAfterTheQuery) {
    auto answer = [this](int x, int y) {
        ui->onAsk = [x, y](ui::Query& q) {
            q.fields[kAxisQueryXUnit] = std::to_string(x);
            q.fields[kAxisQueryYKind] = std::to_string(y);
            return true;
        };
    };
    std::vector<std::string> um;
    for (int i = 0; i <= 10; ++i)
        um.push_back(numtext::FloatToStrF(2.5 + 2.25 * i, numtext::FloatFormat::General, 6, 0, '.') + "\t1");
    answer(4, 2);
    TSpectrumRecord r = readText(joinLines(um), true);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_DOUBLE_EQ(r.FirstX, 2500);
    EXPECT_DOUBLE_EQ(r.StepX, 2250);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);

    std::vector<std::string> ev;
    for (int i = 0; i <= 10; ++i) ev.push_back(std::to_string(1 + i) + "\t" + std::to_string(i));
    answer(3, 5);
    TSpectrumRecord e = readText(joinLines(ev), true);
    EXPECT_EQ(e.XUnit, SpecXWavenumber);
    EXPECT_DOUBLE_EQ(e.FirstX, 8065.5409);
    EXPECT_DOUBLE_EQ(e.StepX, 8065.5409);  // stored in 1/cm with rising x
    EXPECT_DOUBLE_EQ(e.Values.front(), 0);
}

TEST_P(AsciiReader, HeaderlessFileAsksFromOpenOnly) {
    TempDir dir;
    std::string path = dir.write("headerless.fak", joinLines(dataLines(11, '\t')));

    // A tool reads it as nm and intensity without asking.
    TSpectrumRecord tool;
    LoadSpecAscii(tool, path, nullptr, ReadLimitOf(OpenFormat::Fak));
    EXPECT_TRUE(ui->asked.empty());
    EXPECT_EQ(tool.XUnit, SpecXNanometer);
    EXPECT_EQ(tool.YKind, SpecYIntensity);
    EXPECT_EQ(tool.DateText.str().size(), 19u);  // the file's date as "yyyy-mm-dd hh:nn:ss"

    std::vector<std::map<std::string, std::string>> shown;  // the fields as the dialog received them
    ui->onAsk = [&shown](ui::Query& q) {
        shown.push_back(q.fields);
        q.fields[kAxisQueryXUnit] = "5";
        q.fields[kAxisQueryYKind] = "1";
        return true;
    };
    TAxisQueryChoice choice;  // the program's start choice
    TSpectrumRecord r;
    LoadSpecAsciiFromOpen(r, path, choice, ReadLimitOf(OpenFormat::Fak));
    ASSERT_EQ(ui->asked.size(), 1u);
    const ui::Query& q = ui->asked[0];
    EXPECT_EQ(q.dialog, "TAchsenFrageDia");
    EXPECT_EQ(q.caption, "axis type query");
    EXPECT_EQ(q.fields.at("Label1"), "Dateiname: headerless.fak");
    EXPECT_EQ(q.fields.at("Label2"), "Dateipfad: " + path.substr(0, path.rfind('/') + 1));
    EXPECT_EQ(shown[0].at("XUnit"), "1");  // the start choice preselected
    EXPECT_EQ(shown[0].at("YKind"), "5");
    EXPECT_EQ(r.XUnit, SpecXRamanShift);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    EXPECT_EQ(r.Comment2, "Raman Shift [1/cm]");

    // The last choice is shown next time; Cancel keeps nm and intensity but stores the selection.
    ui->onAsk = [&shown](ui::Query& q) {
        shown.push_back(q.fields);
        q.fields[kAxisQueryXUnit] = "2";
        q.fields[kAxisQueryYKind] = "2";
        return false;
    };
    TSpectrumRecord c;
    LoadSpecAsciiFromOpen(c, path, choice, ReadLimitOf(OpenFormat::Fak));
    ASSERT_EQ(ui->asked.size(), 2u);
    EXPECT_EQ(shown[1].at("XUnit"), "5");
    EXPECT_EQ(shown[1].at("YKind"), "1");
    EXPECT_EQ(c.XUnit, SpecXNanometer);
    EXPECT_EQ(c.YKind, SpecYIntensity);
    EXPECT_EQ(choice.XUnit, SpecXWavenumber);
    EXPECT_EQ(choice.YKind, SpecYAbsorbance);
}

TEST_P(AsciiReader, LineEndsAndHeaderLinesAndTheEndOfData) {
    std::vector<std::string> lines{"Sample 7", "measured 2001", "Wavelength\tAbsorbance"};
    for (auto& l : dataLines(11, '\t')) lines.push_back(l);
    lines.push_back("");  // the first line without separator ends the data
    lines.push_back("500\t9");
    TSpectrumRecord crlf = readText(joinLines(lines, "\r\n"));
    ASSERT_EQ(crlf.PointCount(), 11);
    EXPECT_DOUBLE_EQ(crlf.Values.back(), 1.1);
    // The label line is line 0, whatever the header holds after it.
    EXPECT_EQ(crlf.YKind, SpecYIntensity);
    // CR CR LF is the line end of a text converted twice.
    for (const char* eol : {"\n", "\r", "\r\r\n"}) {
        TSpectrumRecord r = readText(joinLines(lines, eol));
        EXPECT_EQ(r.Values, crlf.Values);
        EXPECT_EQ(r.FirstX, crlf.FirstX);
        EXPECT_EQ(r.StepX, crlf.StepX);
    }
    // The last line needs no line end; lines holding only the separator are skipped.
    std::vector<std::string> more = dataLines(11, ';');
    more.insert(more.begin() + 3, ";");
    more.insert(more.begin() + 5, ";;");
    more.insert(more.begin() + 6, "405.5;");
    std::string text = joinLines(more);
    text.resize(text.size() - 2);
    EXPECT_EQ(readText(text).PointCount(), 11);
}

TEST_P(AsciiReader, UnevenStepsAreResampledOntoTheGrid) {
    // y = x^2 at x 0, 1, 3, 6 -> grid 0, 2, 4, 6 (step 2)
    std::vector<std::string> lines{"#", "#", "#", "#", "#", "#", "#", "0\t0", "1\t1", "3\t9", "6\t36"};
    TSpectrumRecord r = readText(joinLines(lines));
    ASSERT_EQ(r.PointCount(), 4);
    EXPECT_DOUBLE_EQ(r.StepX, 2);
    EXPECT_DOUBLE_EQ(r.Values[0], 0);
    EXPECT_DOUBLE_EQ(r.Values[1], 5);
    EXPECT_DOUBLE_EQ(r.Values[2], 18);
    EXPECT_DOUBLE_EQ(r.Values[3], 36);
}

TEST_P(AsciiReader, NumberFieldsReadLikeTheConversionRoutine) {
    // x texts for 400..410 in many shapes; y texts whose values must equal the slow conversion.
    const std::vector<std::string> xs = {"400", "4.01e2", "+402", "403.", " 404 ", "4050e-1", "406.00000000000000000001",
                                         "0407", "4.08E+02", "409,0", "410"};
    const std::vector<std::string> ys = {"0.1", "-0.5", "1e-400", "123456789012345678901234", ",5", "  7",
                                         "3.141592653589793238462643", "-0", "1E22", "9007199254740993", "1e-7"};
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < xs.size(); ++i) lines.push_back(xs[i] + "\t" + ys[i]);
    TSpectrumRecord r = readText(joinLines(lines));
    ASSERT_EQ(r.PointCount(), 11);
    EXPECT_EQ(r.FirstX, 400);
    EXPECT_EQ(r.StepX, 1);
    for (std::size_t i = 0; i < ys.size(); ++i) {
        std::string t = ys[i];
        FixDecimalSeparator(t);
        EXPECT_EQ(r.Values[i], numtext::StrToFloat(t)) << ys[i];
    }
}

TEST_P(AsciiReader, DataLineShapes) {
    struct Case {
        const char* name;
        std::function<std::string(int)> line;
        double yOffset;
    } cases[] = {
        {"several blanks", [](int i) { return std::to_string(400 + i) + "   " + std::to_string(i); }, 0},
        {"trailing blanks", [](int i) { return std::to_string(400 + i) + "\t" + std::to_string(i) + "   "; }, 0},
        {"blanks around", [](int i) { return "  " + std::to_string(400 + i) + " ; " + std::to_string(i); }, 0},
        {"comma list", [](int i) { return std::to_string(400 + i) + ".0," + std::to_string(i) + ".5"; }, 0.5},
        {"comma decimals", [](int i) { return std::to_string(400 + i) + ",0;" + std::to_string(i) + ",25"; }, 0.25},
        {"signs", [](int i) { return "+" + std::to_string(400 + i) + "\t+" + std::to_string(i); }, 0},
        {"blank after tab", [](int i) { return std::to_string(400 + i) + "\t " + std::to_string(i); }, 0},
        {"exponents", [](int i) { return std::to_string(400 + i) + "\t" + std::to_string(i) + "0E-1"; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines;
        for (int i = 0; i < 11; ++i) lines.push_back(c.line(i));
        TSpectrumRecord r = readText(joinLines(lines));
        ASSERT_EQ(r.PointCount(), 11);
        EXPECT_EQ(r.FirstX, 400);
        for (int i = 0; i < 11; ++i) EXPECT_EQ(r.Values[static_cast<std::size_t>(i)], i + c.yOffset);
    }
    // Tabs inside a blank-separated line, or a second tab, are no numbers.
    std::vector<std::string> bad = dataLines(11, ' ');
    bad[7] += "\t";
    EXPECT_THROW(readText(joinLines(bad)), vx::ConversionError);
    bad = dataLines(11, '\t');
    bad[7].insert(bad[7].find('\t'), "\t");
    EXPECT_THROW(readText(joinLines(bad)), vx::ConversionError);
}

TEST_P(AsciiReader, MalformedFilesGiveTheirErrorsAndLeaveTheRecord) {
    std::vector<std::string> pair1(10, "# comment");
    pair1.push_back("400\t0.5");
    std::vector<std::string> noPairs(10, "# comment");
    noPairs.push_back("400\t");
    noPairs.push_back("end");
    std::vector<std::string> threeColumns = dataLines(11, '\t');
    threeColumns[5] += "\t7";
    std::vector<std::string> notANumber = dataLines(11, '\t');
    notANumber[4] = "404\tabc";
    struct Case {
        std::string name, text, message;
    } cases[] = {
        {"ten lines", joinLines(dataLines(10, '\t')), "List index out of bounds (10)"},
        {"no integer field", joinLines(std::vector<std::string>(12, "text only")), "List index out of bounds (12)"},
        {"no pair", joinLines(noPairs), "List index out of bounds (0)"},
        {"one pair", joinLines(pair1), "Invalid floating point operation"},
        {"all x equal", joinLines(std::vector<std::string>(12, "400\t0.5")), "Invalid floating point operation"},
        {"three columns", joinLines(threeColumns), "'0.60\t7' is not a valid floating point value"},
        {"no number", joinLines(notANumber), "'abc' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSpectrumRecord r;
        r.Title = "kept";
        r.Values = {1, 2};
        try {
            ReadSpecAsciiBytes(r, c.text, false, "x.fak", nullptr);
            ADD_FAILURE() << "no error";
        } catch (const vx::Error& e) {
            EXPECT_EQ(std::string(e.what()), fmt_test::withSeparator(c.message, GetParam()));
        }
        EXPECT_EQ(r.Title, "kept");
        EXPECT_EQ(r.Values, (std::vector<double>{1, 2}));
    }
}

// A file written on its grid keeps its y values as written; one x a rounding error off its grid
// point keeps them too, one just beyond the tolerance is interpolated there, as the grid walk does.
TEST_P(AsciiReader, PairsAtTheResamplingTolerance) {
    const char dec = GetParam();
    auto file = [dec](const std::string& x5) {
        std::vector<std::string> lines{"Wavelength\tAbsorbance"};
        for (int i = 0; i <= 2000; ++i) {
            std::string x = i == 5 ? x5 : std::to_string(400 + i);
            lines.push_back(x + "\t" + numtext::FloatToStrF(0.001 * i + 0.5, numtext::FloatFormat::Fixed, 7, 3, dec));
        }
        return joinLines(lines);
    };
    auto written = [](int i) { return std::round((0.001 * i + 0.5) * 1000) / 1000; };
    for (const char* within : {"405", "405.00000000009", "404.99999999991"}) {
        SCOPED_TRACE(within);
        const TSpectrumRecord r = readText(fmt_test::withSeparator(file(within), dec));
        ASSERT_EQ(r.PointCount(), 2001);
        EXPECT_EQ(r.FirstX, 400);
        EXPECT_EQ(r.StepX, 1);
        for (int i = 0; i <= 2000; ++i) ASSERT_EQ(r.Values[static_cast<std::size_t>(i)], written(i)) << i;
    }
    for (const char* beyond : {"405.00000000011", "404.99999999989"}) {
        SCOPED_TRACE(beyond);
        const TSpectrumRecord r = readText(fmt_test::withSeparator(file(beyond), dec));
        ASSERT_EQ(r.PointCount(), 2001);
        const double x5 = std::stod(beyond);
        const double y4 = written(4), y5 = written(5), y6 = written(6);
        const double expected = x5 > 405 ? y5 + (y5 - y4) / (x5 - 404) * (405 - x5) : y6 + (y6 - y5) / (406 - x5) * (405 - 406);
        EXPECT_EQ(r.Values[5], expected);
        EXPECT_NE(r.Values[5], y5);
        EXPECT_EQ(r.Values[4], y4);
        EXPECT_EQ(r.Values[6], y6);
    }
}

// Data that end long before the file does leave no room for the rest of its lines in the record.
TEST_P(AsciiReader, DataEndingEarlyKeepNoIdleRoom) {
    std::vector<std::string> lines = dataLines(11, '\t', GetParam());
    lines.push_back("end of data");
    lines.insert(lines.end(), 5000, "400\t1 trailer");
    const TSpectrumRecord r = readText(joinLines(lines));
    ASSERT_EQ(r.PointCount(), 11);
    EXPECT_LE(r.Values.capacity(), 12u);
}

TEST(Resample, BracketsStayInsideThePairs) {
    const std::vector<double> xs{0, 1, 2}, ys{0, 10, 20};
    std::vector<double> out;
    // More grid points than pairs: the walk is clamped to the last two pairs and extrapolates.
    ResampleOntoGrid(xs, ys, 0, 1, 5, out);
    EXPECT_EQ(out, (std::vector<double>{0, 10, 20, 30, 40}));

    // A grid point within 1e-10 of its pair takes the pair's own y.
    out.clear();
    const std::vector<double> near{0, 1 + 5e-11, 2}, nearY{0, 7, 20};
    ResampleOntoGrid(near, nearY, 0, 1, 3, out);
    EXPECT_EQ(out[1], 7);

    // Walks both ways from the pair of the same index.
    out.clear();
    const std::vector<double> crowdedLow{0, 0.1, 0.2, 9}, lowY{0, 1, 2, 90};
    ResampleOntoGrid(crowdedLow, lowY, 0, 3, 4, out);
    EXPECT_NEAR(out[1], 2 + 88 * (3 - 0.2) / 8.8, 1e-12);
    out.clear();
    const std::vector<double> crowdedHigh{0, 8, 8.5, 9}, highY{0, 80, 85, 90};
    ResampleOntoGrid(crowdedHigh, highY, 0, 3, 4, out);
    EXPECT_NEAR(out[1], 30, 1e-12);
    EXPECT_NEAR(out[2], 60, 1e-12);
}

TEST(Resample, UnorderedPairsNeverReadOutside) {
    const std::vector<double> xs{0, 5, 1, 7, 2, 9}, ys{0, 1, 2, 3, 4, 5};
    std::vector<double> out;
    ResampleOntoGrid(xs, ys, 0, 1.8, 6, out);
    EXPECT_EQ(out.size(), 6u);
    for (double v : out) EXPECT_TRUE(std::isfinite(v));
}

namespace {

std::vector<uint64_t> bitsOf(const std::vector<double>& v) {
    std::vector<uint64_t> b;
    for (double d : v) b.push_back(std::bit_cast<uint64_t>(d));
    return b;
}

}  // namespace

// Pair sets as files hold them: on their grid points, a rounding error off them, just beyond the
// tolerance, well off (a spectrometer's pixel wavelengths), crowded or falling. Resampled in place they
// give exactly what ResampleOntoGrid gives.
TEST(Resample, InPlaceGivesWhatTheGridResamplingGives) {
    struct Case {
        const char* name;
        std::function<double(int, int)> x;  // pair i of n
    } cases[] = {
        {"regular", [](int i, int) { return 400 + 0.5 * i; }},
        {"decimal steps", [](int i, int) { return 200 + 0.0007 * i; }},
        {"within the tolerance", [](int i, int) { return 400 + i + (i % 3 == 1 ? 0.9e-10 : 0.0); }},
        {"just beyond it above", [](int i, int n) { return 400 + i + (i == n / 2 ? 1.1e-10 : 0.0); }},
        {"just beyond it below", [](int i, int n) { return 400 + i - (i == n / 2 ? 1.1e-10 : 0.0); }},
        {"pixel wavelengths", [](int i, int) { return 350 + 0.37 * i + 1.3e-5 * i * i; }},
        {"crowded pairs", [](int i, int) { return 400 + (i / 2); }},
        {"falling", [](int i, int) { return 800 - 0.25 * i; }},
    };
    for (const auto& c : cases) {
        for (int n : {2, 3, 11, 2000}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(n) + " pairs");
            std::vector<double> xs, ys;
            for (int i = 0; i < n; ++i) {
                xs.push_back(c.x(i, n));
                ys.push_back(std::sin(0.1 * i) + 2);
            }
            const double step = (xs.back() - xs.front()) / (n - 1);
            std::vector<double> expected;
            ResampleOntoGrid(xs, ys, xs.front(), step, n, expected);
            ResampleInPlace(xs, ys, xs.front(), step);
            EXPECT_EQ(bitsOf(ys), bitsOf(expected));
        }
    }
    std::vector<double> one{1};
    EXPECT_THROW(ResampleInPlace(std::vector<double>{400}, one, 400, 1), vx::ListIndexError);
}

// A list reserved for every line of a file whose data end early gives its idle room back.
TEST(Resample, InPlaceKeepsNoIdleRoom) {
    const std::vector<double> xs{0, 1, 2, 3, 4, 5, 6, 7};
    std::vector<double> ys;
    ys.reserve(5000);
    ys.assign({7, 6, 5, 4, 3, 2, 1, 0});
    ResampleInPlace(xs, ys, 0, 1);
    EXPECT_EQ(ys, (std::vector<double>{7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_LE(ys.capacity(), 9u);
}

TEST(Resample, PairsMovedOntoTheRecordGrid) {
    auto columns = [](const std::vector<double>& xs, const std::vector<double>& ys) {
        PairColumns p(xs.size());
        for (std::size_t i = 0; i < xs.size(); ++i) p.add(xs[i], ys[i]);
        return p;
    };
    PairColumns falling = columns({403, 402, 400}, {4, 3, 1});
    TSpectrumRecord r;
    ASSERT_TRUE(MovePairsOntoGrid(falling, r));
    EXPECT_EQ(r.FirstX, 400);
    EXPECT_EQ(r.StepX, 1.5);
    EXPECT_EQ(r.Values, (std::vector<double>{1, 2.5, 4}));  // 2.5 on the line through 400 and 402

    // No grid (one pair, no x range, an infinite x): the record is left as it was.
    const double inf = std::numeric_limits<double>::infinity();
    for (PairColumns p : {columns({400}, {1}), columns({400, 400, 400}, {1, 2, 3}), columns({400, inf}, {1, 2})}) {
        TSpectrumRecord kept;
        kept.Values = {9};
        EXPECT_FALSE(MovePairsOntoGrid(p, kept));
        EXPECT_EQ(kept.FirstX, 0);
        EXPECT_EQ(kept.Values, std::vector<double>{9});
    }
}
