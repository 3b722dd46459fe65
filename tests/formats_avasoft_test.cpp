// Text exports built line by line: header lines, single and multi-column data, the y kind by the
// extension, and files too short for their header.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/avasoft_reader.h"
#include "formats/open_files.h"
#include "formats_test_util.h"
#include "platform/errors.h"
#include "platform/ui.h"

using fmt_test::CleanState;
using fmt_test::readerErrors;
using fmt_test::StartSettings;
using fmt_test::TempDir;
using fmt_test::crlfLines;

namespace {

// Title, comment with the integration time, two comments, two unused lines, the column line, data, and
// a last line that is never read.
std::string singleColumn(const std::vector<std::string>& data, const std::string& title = "Dye in ethanol",
                         const std::string& comment = "Integration time: 100 ms, Avg: 5") {
    std::vector<std::string> ls = {title, comment, "Smoothing: 1", "Spectrometer 0801", "", "", "Wave ;Sample"};
    ls.insert(ls.end(), data.begin(), data.end());
    ls.push_back("999;999");
    return crlfLines(ls);
}

TSpectrumRecord read(const std::string& text, const std::string& name = "/d/sample.TIT") {
    TSpectrumRecord r;
    ReadAvaSoftBytes(r, text, true, name);
    return r;
}

}  // namespace

class AvaSoftReader : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
};

TEST_F(AvaSoftReader, IntensitiesWithHeaderFields) {
    const TSpectrumRecord r = read(singleColumn({"400.0;10", "401.0;20", "", "no pair here", "402.0;40"}));
    EXPECT_EQ(r.Title.str(), "Dye in ethanol");
    EXPECT_EQ(r.Comment1.str(), "Integration time: 100 ms, Avg: 5 | Smoothing: 1");
    EXPECT_EQ(r.Comment2.str(), "Spectrometer 0801");
    EXPECT_EQ(r.SpecType.str(), "avantes");
    EXPECT_DOUBLE_EQ(r.ExposureTime, 0.1);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.Concentration, 0.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.SourceKind, 31);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    EXPECT_DOUBLE_EQ(r.StepX, 1);
    EXPECT_EQ(r.Values, (std::vector<double>{10, 20, 40}));  // the last line 999;999 is not read
}

TEST_F(AvaSoftReader, YKindByTheExtension) {
    const std::string text = singleColumn({"400;0.5", "401;95", "402;0"});
    struct Case {
        const char* name;
        SpecYKind yKind;
    };
    for (const Case& c : {Case{"/d/a.ttt", SpecYTransmittance}, Case{"/d/a.TIT", SpecYIntensity},
                          Case{"/d/a.trt", SpecYIntensity}, Case{"/d/a.TAT", SpecYAbsorbance}}) {
        const TSpectrumRecord r = read(text, c.name);
        EXPECT_EQ(r.YKind, c.yKind) << c.name;
        if (c.yKind == SpecYTransmittance) {
            // The largest value is above 1: percent; 0 becomes 6.
            ASSERT_EQ(r.PointCount(), 3);
            EXPECT_NEAR(r.Values[0], -std::log10(0.005), 1e-12);
            EXPECT_NEAR(r.Values[1], -std::log10(0.95), 1e-12);
            EXPECT_EQ(r.Values[2], 6.0);
        } else {
            EXPECT_EQ(r.Values, (std::vector<double>{0.5, 95, 0}));
        }
    }
    // Fractions when nothing exceeds 1.
    const TSpectrumRecord f = read(singleColumn({"400;0.5", "401;1"}), "/d/f.TTT");
    EXPECT_NEAR(f.Values[0], -std::log10(0.5), 1e-12);
    EXPECT_NEAR(f.Values[1], 0, 1e-15);
}

// Four or more ";" in line 6: x from field 1, y from field 5.
TEST_F(AvaSoftReader, MultiColumnLayout) {
    std::string text = crlfLines({"M- Reference run", "Integration time: 2,5 ms", "", "", "", "",
                              "Wave ;Sample ;Dark ;Reference ;Absorbance", "500,5;1;2;3;0,25;9", "501,5;1;2;3;0,5",
                              "502,5;1;2;3;0,75;9", "end"});
    for (char sep : {'.', ','}) {
        CleanState s(sep);
        const TSpectrumRecord r = read(text, "/d/m.tat");
        EXPECT_EQ(r.Title.str(), "Reference run") << sep;  // the first three characters go
        EXPECT_DOUBLE_EQ(r.ExposureTime, 0.0025) << sep;
        EXPECT_EQ(r.YKind, SpecYAbsorbance);
        EXPECT_DOUBLE_EQ(r.FirstX, 500.5);
        EXPECT_EQ(r.Values, (std::vector<double>{0.25, 0.5, 0.75})) << sep;
    }
}

// The layout the later software versions export: no title, labelled settings lines, the column names
// in line 5 and their units in line 6, a blank line, then fields padded with blanks.
TEST_F(AvaSoftReader, PaddedFiveColumnExport) {
    const std::string text = crlfLines({"", "Integration time [ms]: 100.000", "Averaging Nr. [scans]: 9",
                                        "Smoothing Nr. [pixels]: 0", "Data measured with spectrometer [name]: 0911147U1",
                                        "Wave   ;Sample   ;Dark     ;Reference;Transmittance",
                                        "[nm]   ;[counts] ;[counts] ;[counts] ;[%]", "",
                                        "  893.59; 1603.000; 1570.444; 1610.444;81.38885",
                                        "  894.09; 1605.000; 1570.444; 1610.444;90.00000",
                                        "  894.59; 1607.000; 1570.444; 1610.444;100.00000",
                                        "  895.09; 1609.000; 1570.444; 1610.444;99.00000"});
    const TSpectrumRecord r = read(text, "/d/Plastic_01.TTT");
    EXPECT_EQ(r.Title.str(), "Plastic_01.TTT");
    EXPECT_EQ(r.Comment1.str(), "Integration time [ms]: 100.000 | Averaging Nr. [sc");  // 50 characters
    EXPECT_EQ(r.Comment2.str(), "Smoothing Nr. [pixels]: 0");
    EXPECT_EQ(r.ExposureTime, -1.0);  // no "Integration time:" label
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    EXPECT_DOUBLE_EQ(r.FirstX, 893.59);
    EXPECT_NEAR(r.StepX, 0.5, 1e-12);
    ASSERT_EQ(r.PointCount(), 3);  // the file's last line is never read
    EXPECT_NEAR(r.Values[0], -std::log10(0.8138885), 1e-12);
    EXPECT_NEAR(r.Values[2], 0, 1e-12);
}

// Newer exports add a "Timestamp" line, which moves the units row of the column titles to line 7 (or
// further): the data start after that row wherever it stands, and the column test reads it.
TEST_F(AvaSoftReader, DataStartAfterTheUnitsRowWhereverItStands) {
    const std::vector<std::string> head = {"", "Integration time [ms]: 100.000", "Averaging Nr. [scans]: 1",
                                           "Smoothing Nr. [pixels]: 0",
                                           "Data measured with spectrometer [name]: 1105161U1",
                                           "Timestamp [10 microsec ticks]: 81625741"};
    std::vector<std::string> single = head;
    single.insert(single.end(), {"Wave   ;Sample", "[nm]   ;[counts]", "", "  400.00;  10.000", "  401.00;  20.000",
                                 "  402.00;  30.000", "  403.00;  40.000"});
    const TSpectrumRecord r = read(crlfLines(single), "/d/Dark_01.TRT");
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    EXPECT_DOUBLE_EQ(r.StepX, 1);
    EXPECT_EQ(r.Values, (std::vector<double>{10, 20, 30}));  // the file's last line is never read
    EXPECT_EQ(r.Comment2.str(), "Smoothing Nr. [pixels]: 0");

    // Five columns and one header line more still: y from field 5.
    std::vector<std::string> multi = head;
    multi.insert(multi.end(), {"Comment: lamp warm", "Wave   ;Sample   ;Dark     ;Reference;Absorbance",
                               "[nm]   ;[counts] ;[counts] ;[counts] ;[A.U.]", "  500.0;1;2;3;0.25",
                               "  501.0;1;2;3;0.50", "  502.0;1;2;3;0.75", "  503.0;1;2;3;1.00"});
    const TSpectrumRecord m = read(crlfLines(multi), "/d/Abs_01.TAT");
    EXPECT_DOUBLE_EQ(m.FirstX, 500);
    EXPECT_EQ(m.Values, (std::vector<double>{0.25, 0.5, 0.75}));

    // Once the data have begun, a units row is a bad data line, as in the usual layout.
    try {
        read(singleColumn({"400;1", "[nm]   ;[counts]", "402;3"}));
        FAIL() << "no error";
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'[nm]   ' is not a valid floating point value");
    }
}

TEST_F(AvaSoftReader, IntegrationTimeWithoutNumberAndEmptyTitle) {
    struct Case {
        const char* comment;
        double exposure;
    };
    for (const Case& c : {Case{"Integration time: ms", -1.0}, Case{"Integration time: 20", -1.0},
                          Case{"no time here", -1.0}, Case{"Integration time:  12.5  ms", 0.0125}}) {
        const TSpectrumRecord r = read(singleColumn({"400;1", "401;2"}, "", c.comment), "/d/x/plain.tit");
        EXPECT_DOUBLE_EQ(r.ExposureTime, c.exposure) << c.comment;
        EXPECT_EQ(r.Title.str(), "plain.tit");
    }
}

// Falling wavelengths are turned rising before the grid is laid.
TEST_F(AvaSoftReader, DescendingPairsAreReversed) {
    const TSpectrumRecord r = read(singleColumn({"403;4", "402;3", "400;1"}));
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    EXPECT_DOUBLE_EQ(r.StepX, 1.5);
    ASSERT_EQ(r.PointCount(), 3);
    EXPECT_DOUBLE_EQ(r.Values[0], 1);
    EXPECT_DOUBLE_EQ(r.Values[1], 2.5);  // on the line through 400 and 402
    EXPECT_DOUBLE_EQ(r.Values[2], 4);
}

// Files without enough lines read their missing header lines as empty and give no spectrum.
TEST_F(AvaSoftReader, ShortFilesGiveNoPoints) {
    for (const std::string& text : {std::string(), crlfLines({"only a title"}), crlfLines({"t", "c", "", "", "", "", "", "400;1"}),
                                    singleColumn({"400;1"})}) {
        TSpectrumRecord r;
        r.Title = "kept";
        EXPECT_NO_THROW(ReadAvaSoftBytes(r, text, true, "/d/s.tit"));
        EXPECT_EQ(r.PointCount(), 0);
        EXPECT_EQ(r.Title.str(), "kept");
    }
}

// The data lines as exports and hand edits write them, each line ending, and a last line that is
// never read whether or not it ends, even when it holds no number.
TEST_F(AvaSoftReader, LineShapesAndLineEnds) {
    const std::vector<std::string> head = {"Dye", "Integration time: 100 ms", "", "", "", "", "Wave ;Sample"};
    const std::vector<std::string> data = {"400;10", " 401.0 ;  20 ", "402,0;3e1", "", "no pair", "+403;40,0",
                                           "4.04E2;+50", "405;.6e2"};
    for (char sep : {'.', ','}) {
        CleanState s(sep);
        for (const char* eol : {"\r\n", "\n", "\r"}) {
            for (const char* last : {"999;999", "end", ""}) {
                for (bool ended : {true, false}) {
                    SCOPED_TRACE(std::string("last line \"") + last + "\"" + (ended ? "" : " without its end") +
                                 (eol[0] == '\n' ? ", LF" : eol[1] ? ", CR LF" : ", CR") + ", decimal " + sep);
                    std::string text;
                    for (const auto& l : head) text += l + eol;
                    for (const auto& l : data) text += l + eol;
                    text += last;
                    if (ended) text += eol;
                    const TSpectrumRecord r = read(text);
                    // Without its end, an empty last line is no line: the last pair's line is the last.
                    if (!ended && !*last)
                        EXPECT_EQ(r.Values, (std::vector<double>{10, 20, 30, 40, 50}));
                    else
                        EXPECT_EQ(r.Values, (std::vector<double>{10, 20, 30, 40, 50, 60}));
                    EXPECT_EQ(r.FirstX, 400);
                    EXPECT_EQ(r.StepX, 1);
                }
            }
        }
    }
    // A third field in the single layout belongs to y, which is then no number.
    try {
        read(singleColumn({"400;1", "401;2;3", "402;3"}));
        FAIL() << "no error";
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'2;3' is not a valid floating point value");
    }
}

TEST_F(AvaSoftReader, BadNumbersRaiseTheConversionError) {
    try {
        read(singleColumn({"400;1", "401;x2"}));
        FAIL() << "no error";
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x2' is not a valid floating point value");
    }
}

TEST_F(AvaSoftReader, OpenCommandKeepsTheFileDate) {
    TSpectraList opened;
    TDisplayState display;
    TempDir dir;
    const std::string path = dir.write("t.TTT", singleColumn({"400;50", "401;60"}));
    const OpenResult res = OpenSpectrumFiles({path}, opened, display, StartSettings{});
    EXPECT_EQ(readerErrors(res), "");
    ASSERT_EQ(opened.Count(), 1);
    EXPECT_EQ(opened[0].DateText.str().size(), 19u);
    EXPECT_EQ(display.DisplayYMode, SpecYTransmittance);
}
