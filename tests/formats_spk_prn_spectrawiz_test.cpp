// SPK, PRN and SpectraWiz text files, written line by line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "formats/prn_reader.h"
#include "formats/spectrawiz.h"
#include "formats/spk_reader.h"
#include "formats_test_util.h"
#include "instrument_file_builder.h"
#include "platform/errors.h"

using fmt_test::CleanState;
using fmt_test::crlfLines;

namespace {

constexpr const char* kFileDate = "2012-03-04 05:06:07";

void expectCommon(const TSpectrumRecord& r) {
    EXPECT_EQ(r.Concentration, 0.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, -1.0);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_TRUE(r.Solvent.empty());
}

// ---- SPK

std::vector<std::string> spk(int h, int xCode, int yCode, const std::vector<std::string>& data) {
    std::vector<std::string> l = {std::to_string(h) + " header lines", "title (overwritten)", "1998-07-06 scan",
                                  "operator comment", "text 5", "text 6", "text 7", "  sample S7  ",
                                  std::to_string(xCode), std::to_string(yCode)};
    for (int i = 11; i <= h + 1; ++i) l.push_back("extra header " + std::to_string(i));
    l.insert(l.end(), data.begin(), data.end());
    return l;
}

std::vector<std::string> spkData(double x0, double dx, int n, double y0, double dy) {
    std::vector<std::string> d;
    for (int i = 0; i < n; ++i)
        d.push_back(numtext::FloatToStr(x0 + dx * i, '.') + "  " + numtext::FloatToStr(y0 + dy * i, '.') + " 17");
    return d;
}

TSpectrumRecord readSpk(const std::vector<std::string>& lines) {
    TSpectrumRecord r;  // the Open command's fresh record
    ReadSpecSpkBytes(r, crlfLines(lines), "/x/run.spk");
    return r;
}

TEST(Spk, HeaderAndValues) {
    CleanState state;
    TSpectrumRecord r = readSpk(spk(9, 1, 0, spkData(400.7, 0.5, 21, 0.1, 0.01)));
    expectCommon(r);
    EXPECT_EQ(r.FileName, "/x/run.spk");
    EXPECT_EQ(r.Title, "sample S7");
    EXPECT_EQ(r.DateText, "1998-07-06 scan");
    EXPECT_TRUE(r.SpecType.empty() && r.Comment1.empty() && r.Comment2.empty());
    EXPECT_EQ(r.SourceKind, 0);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    ASSERT_EQ(r.PointCount(), 21);
    EXPECT_EQ(r.FirstX, 400.0);          // truncated
    EXPECT_DOUBLE_EQ(r.StepX, 0.5);      // the whole range over n - 1 intervals
    EXPECT_DOUBLE_EQ(r.Values[20], 0.3);
    // H = 12: three further header lines, the last is the legend.
    r = readSpk(spk(12, 1, 0, spkData(400, 1, 5, 0.1, 0.01)));
    EXPECT_EQ(r.Title, "extra header 13");
    EXPECT_EQ(r.PointCount(), 5);
}

TEST(Spk, TheFallingLineEndsTheData) {
    CleanState state;
    std::vector<std::string> d = spkData(400, 1, 10, 0.1, 0.01);
    d.push_back("200  9.9");
    d.push_back("201  9.9");
    const TSpectrumRecord r = readSpk(spk(9, 1, 0, d));
    ASSERT_EQ(r.PointCount(), 10);
    EXPECT_DOUBLE_EQ(r.Values[9], 0.19);
    EXPECT_DOUBLE_EQ(r.StepX, 1.0);
}

TEST(Spk, TransmittanceCode) {
    CleanState state;
    const TSpectrumRecord r = readSpk(spk(9, 1, 1, {"400 1.2", "401 1.0", "402 0.1", "403 0", "404 0.5"}));
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    ASSERT_EQ(r.PointCount(), 5);
    EXPECT_EQ(r.Values[0], 0.0);  // clipped to 1
    EXPECT_EQ(r.Values[1], 0.0);
    EXPECT_DOUBLE_EQ(r.Values[2], 1.0);
    EXPECT_EQ(r.Values[3], 6.0);
    EXPECT_DOUBLE_EQ(r.Values[4], -std::log10(0.5));
}

TEST(Spk, RefusedAndBadFiles) {
    CleanState state;
    const auto error = [](const std::vector<std::string>& lines) {
        return fmt_test::errorText<vx::Error>([&] { readSpk(lines); });
    };
    const std::vector<std::string> d = spkData(400, 1, 5, 0.1, 0.01);
    EXPECT_EQ(error(spk(9, 2, 0, d)), "/x/run.spk: SPK files with x code 2 cannot be read; only x code 1 (wavelengths in nm) can.");
    EXPECT_NE(error(spk(9, 3, 0, d)).find("x code 3"), std::string::npos);
    EXPECT_EQ(error(spk(9, 1, 3, d)), "/x/run.spk: SPK files with y code 3 cannot be read.");
    EXPECT_NE(error(spk(9, 1, 5, d)).find("y code 5"), std::string::npos);
    std::vector<std::string> bad = spk(9, 1, 0, d);
    bad[0] = "nine";
    EXPECT_EQ(error(bad), "'nine' is not a valid integer value");
    bad = spk(9, 1, 0, d);
    bad[12] = "402 x";
    EXPECT_EQ(error(bad), "'x' is not a valid floating point value");
    EXPECT_EQ(error({"9", "a", "b"}), "List index out of bounds (3)");
    EXPECT_EQ(readSpk(spk(9, 1, 0, {"400 1"})).PointCount(), 0);
    EXPECT_EQ(readSpk(spk(9, 1, 0, {"400 1", "400 2", "400 3"})).PointCount(), 0);
}

// ---- PRN

TSpectrumRecord readPrn(const std::string& name, const std::vector<std::string>& lines) {
    TSpectrumRecord r;
    ReadSpecPrnBytes(r, crlfLines(lines), name, kFileDate);
    return r;
}

TEST(Prn, ColumnsAndFields) {
    CleanState state(',');
    const TSpectrumRecord r = readPrn("/ccd/quinine_ex450.prn", {"400\t12000", "401  6000", "x", "402,0\t3000", "", "403.0 1500"});
    expectCommon(r);
    EXPECT_EQ(r.SourceKind, 10);
    EXPECT_EQ(r.SpecType, "ccd_flasche");
    EXPECT_EQ(r.Title, "quinine_ex450");
    EXPECT_EQ(r.Comment2, "450");
    EXPECT_TRUE(r.Comment1.empty());
    EXPECT_EQ(r.ExcitationWl, 450.0);
    EXPECT_EQ(r.DateText, kFileDate);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    ASSERT_EQ(r.PointCount(), 4);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 1.0);
    // The largest value is above 10: every value is divided by 15000.
    EXPECT_DOUBLE_EQ(r.Values[0], 0.8);
    EXPECT_DOUBLE_EQ(r.Values[3], 0.1);
}

TEST(Prn, Variants) {
    CleanState state;
    // Falling x from 700 to 400 is stored from 400, reversed; values up to 10 are kept as read.
    std::vector<std::string> d;
    for (int i = 0; i <= 300; ++i) d.push_back(std::to_string(700 - i) + " " + numtext::FloatToStr(10.0 * i / 300, '.'));
    TSpectrumRecord r = readPrn("/ccd/sample.prn", d);
    EXPECT_EQ(r.Comment2, "ple");
    EXPECT_EQ(r.ExcitationWl, -1.0);
    ASSERT_EQ(r.PointCount(), 301);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 1.0);
    EXPECT_DOUBLE_EQ(r.Values[0], 10.0);
    EXPECT_DOUBLE_EQ(r.Values[300], 0.0);
    // The "," of an x is dropped, not read as a decimal sign (thousands in the instrument's export).
    r = readPrn("/ccd/a.prn", {"1,000 5", "1,002 6", "1,004 7"});
    EXPECT_EQ(r.FirstX, 1000.0);
    EXPECT_EQ(r.StepX, 2.0);
    // One data line, or two equal x, give no points.
    EXPECT_EQ(readPrn("/ccd/a.prn", {"400 1"}).PointCount(), 0);
    EXPECT_EQ(readPrn("/ccd/a.prn", {"400 1", "400 2", "401 3"}).PointCount(), 0);
    EXPECT_EQ(readPrn("/ccd/a.prn", {}).PointCount(), 0);
    EXPECT_THROW(readPrn("/ccd/a.prn", {"wavelength counts", "400 1"}), vx::ConversionError);
    EXPECT_THROW(readPrn("/ccd/a.prn", {"400 1", "401 2 3"}), vx::ConversionError);
}

// Every line is data, the last one too, whatever ends it; the values keep no room for the short lines
// skipped after the first two.
TEST(Prn, LineEndsAndShortLines) {
    CleanState state;
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        for (bool ended : {true, false}) {
            std::string text;
            for (int i = 0; i < 200; ++i) {
                if (i >= 2) text += std::string(i % 3 ? " " : "") + eol;
                text += std::to_string(400 + i) + (i % 2 ? "\t" : "  ") + std::to_string(i) + eol;
            }
            if (!ended) text.resize(text.size() - std::strlen(eol));
            TSpectrumRecord r;
            ReadSpecPrnBytes(r, text, "/ccd/a.prn", kFileDate);
            ASSERT_EQ(r.PointCount(), 200) << ended;
            EXPECT_EQ(r.FirstX, 400.0);
            EXPECT_DOUBLE_EQ(r.Values[199], 199.0 / 15000);
            EXPECT_LE(r.Values.capacity(), 225u);
        }
    }
}

TEST(Prn, SingleColumnOf576Pixels) {
    CleanState state;
    std::vector<std::string> l = {"576.00000", "500.5  1.00000  120", "501.00000  1.00000\t130"};
    for (int i = 3; i <= 576; ++i) l.push_back("1.00000 " + std::to_string(100 + i));
    TSpectrumRecord r = readPrn("/ccd/pixels.prn", l);
    ASSERT_EQ(r.PointCount(), 576);
    EXPECT_EQ(r.FirstX, 500.5);
    EXPECT_EQ(r.StepX, 0.5);
    EXPECT_DOUBLE_EQ(r.Values[0], 120.0 / 15000);
    EXPECT_DOUBLE_EQ(r.Values[575], 676.0 / 15000);
    l.pop_back();
    EXPECT_EQ(fmt_test::errorText<vx::ListIndexError>([&] { readPrn("/ccd/pixels.prn", l); }),
              "List index out of bounds (576)");
}

// ---- SpectraWiz

TSpectrumRecord readWiz(const std::vector<std::string>& lines) {
    TSpectrumRecord r;
    ReadSpecSpectraWizBytes(r, crlfLines(lines), "/sw/leaf.TRM", kFileDate);
    return r;
}

std::vector<std::string> wiz(const std::string& line1, double top, int n = 21) {
    std::vector<std::string> l = {"\"SpectraWiz export of leaf sample 4", line1};
    for (int i = 0; i < n; ++i)
        l.push_back(numtext::FloatToStr(400 + 5 * i, '.') + " " + numtext::FloatToStr(top * (i + 1) / n, '.'));
    return l;
}

TEST(SpectraWiz, FieldsAndKinds) {
    CleanState state;
    TSpectrumRecord r = readWiz(wiz("  T  transmission", 100));
    expectCommon(r);
    EXPECT_TRUE(r.Comment2.empty());
    EXPECT_EQ(r.SourceKind, 45);
    EXPECT_EQ(r.SpecType, "spectrawiz");
    EXPECT_EQ(r.Title, "leaf");
    EXPECT_EQ(r.Comment1.str(), std::string("SpectraWiz export of leaf sample 4").substr(0, 50));
    EXPECT_EQ(r.DateText, kFileDate);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    ASSERT_EQ(r.PointCount(), 21);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 5.0);
    EXPECT_NEAR(r.Values[20], 0.0, 1e-15);  // 100 %: values up to 100 are percent
    // Fractions up to 0.95 stay fractions.
    r = readWiz(wiz("  T", 0.95));
    EXPECT_NEAR(r.Values[20], -std::log10(0.95), 1e-12);

    const std::pair<std::string, SpecYKind> kinds[] = {{"  A", SpecYAbsorbance}, {"  R", SpecYIntensity},
                                                     {"  S", SpecYIntensity},  {"  x", SpecYIntensity},
                                                     {"A", SpecYIntensity},    {"", SpecYIntensity}};
    for (const auto& [line, kind] : kinds) EXPECT_EQ(readWiz(wiz(line, 2)).YKind, kind) << line;
}

TEST(SpectraWiz, PairsNeedTwoCharactersOfX) {
    CleanState state;
    std::vector<std::string> l = wiz("  A", 2);
    l.insert(l.begin() + 3, "5 0.7");  // an x text of one character is no pair
    const TSpectrumRecord r = readWiz(l);
    EXPECT_EQ(r.PointCount(), 21);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_THROW(readWiz(wiz("  A", 2, 8)), vx::ListIndexError);  // fewer than eleven lines
    EXPECT_THROW(readWiz({"a", "  A", "x", "y", "z", "1", "2", "3", "4", "5", "6"}), vx::ListIndexError);
}

}  // namespace
