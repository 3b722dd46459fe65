// RRUFF, WLS, DSP and GGG files built line by line from their layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "formats/open_files.h"
#include "formats/rruff_wls_dsp_ggg_readers.h"
#include "formats_test_util.h"
#include "platform/errors.h"
#include "platform/ui.h"

using fmt_test::CleanState;
using fmt_test::readerErrors;
using fmt_test::StartSettings;
using fmt_test::TempDir;
using fmt_test::crlfLines;

namespace {

TSpectrumRecord read(SmallTextFormat f, const std::string& text, const std::string& name) {
    TSpectrumRecord r;
    ReadSmallTextBytes(f, r, text, true, name);
    return r;
}

std::string rruff(const std::vector<std::string>& data, const std::string& end = "##END=") {
    std::vector<std::string> ls = {"##NAMES=Quartz", "##RRUFFID=R040031", "##IDEAL CHEMISTRY=SiO2",
                                   "##LOCALITY=Hot Springs, Garland County, Arkansas, USA", "##OWNER=RRUFF",
                                   "##SOURCE=RRUFF"};
    ls.insert(ls.end(), data.begin(), data.end());
    if (!end.empty()) ls.push_back(end);
    return crlfLines(ls);
}

std::vector<std::string> rruffData(int n) {
    std::vector<std::string> d;
    for (int i = 0; i < n; ++i) d.push_back(std::to_string(100 + 2 * i) + ".5, " + std::to_string(10 * i));
    return d;
}

}  // namespace

class SmallTexts : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
};

// Comments from the first four lines, data up to the line before "##END=", Raman shift falling.
TEST_F(SmallTexts, RruffHeaderDataAndEnd) {
    const TSpectrumRecord r = read(SmallTextFormat::Rruff, rruff(rruffData(8)), "/db/Quartz__R040031.rruff");
    EXPECT_EQ(r.Comment1.str(), "##NAMES=Quartz  ##RRUFFID=R040031");
    EXPECT_EQ(r.Comment2.str(), "##IDEAL CHEMISTRY=SiO2  ##LOCALITY=Hot Springs, Ga");  // 50 characters
    EXPECT_EQ(r.Title.str(), "Quartz__R040031");
    EXPECT_EQ(r.SpecType.str(), "rruff_raman");
    EXPECT_EQ(r.SourceKind, 39);
    EXPECT_EQ(r.XUnit, SpecXRamanShift);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_DOUBLE_EQ(r.FirstX, 114.5);
    EXPECT_DOUBLE_EQ(r.StepX, -2);
    ASSERT_EQ(r.PointCount(), 8);
    EXPECT_DOUBLE_EQ(r.Values.front(), 70);
    EXPECT_DOUBLE_EQ(r.Values.back(), 0);
}

TEST_F(SmallTexts, RruffLinesAroundTheData) {
    // A column heading after the "##" lines is skipped; lines of separators alone give no pair; without
    // "##END" the file's last line is not read.
    std::vector<std::string> d = {"Raman shift, Intensity"};
    for (const auto& l : rruffData(6)) d.push_back(l);
    d.insert(d.begin() + 6, ",");
    d.insert(d.begin() + 7, ",,");
    const TSpectrumRecord r = read(SmallTextFormat::Rruff, rruff(d, ""), "/db/q.rruff");
    ASSERT_EQ(r.PointCount(), 5);
    EXPECT_DOUBLE_EQ(r.FirstX, 108.5);
    // A line without the separator ends the data.
    std::vector<std::string> cut = rruffData(6);
    cut.insert(cut.begin() + 3, "");
    EXPECT_EQ(read(SmallTextFormat::Rruff, rruff(cut), "/db/q.rruff").PointCount(), 3);

    // Tab-separated, with the comma as the regional decimal separator.
    CleanState comma(',');
    std::vector<std::string> tabs;
    for (int i = 0; i < 12; ++i) tabs.push_back(std::to_string(200 + i) + ",5\t" + std::to_string(i) + ",25");
    const TSpectrumRecord t = read(SmallTextFormat::Rruff, crlfLines(tabs), "/db/t.rruff");
    ASSERT_EQ(t.PointCount(), 11);  // the last line is not read
    EXPECT_DOUBLE_EQ(t.FirstX, 210.5);
    EXPECT_DOUBLE_EQ(t.Values.front(), 10.25);
    EXPECT_TRUE(t.Comment1.empty());
}

// Files as the database publishes them: ten or more "##" lines, often a blank line after them, so that
// line 10 holds no data; the separator comes from the first data line then.
TEST_F(SmallTexts, RruffDatabaseHeaders) {
    const std::vector<std::string> data = {"179.5050, 136.8613", "180.5050, 44.83008", "181.5050, 48.55469",
                                           "182.5050, 40.5"};
    std::vector<std::string> tenAndBlank = {"##NAMES=Corundum", "##RRUFFID=R060020", "##IDEAL CHEMISTRY=Al_2_O_3_",
                                            "##LOCALITY=Yogo Gulch, Montana, USA", "##OWNER=RRUFF",
                                            "##SOURCE=American Museum of Natural History",
                                            "##ORIENTATION=Laser parallel to c* (0 0 1)",
                                            "##CELL PARAMETERS=a: 4.76274 b: 4.76274 c: 13.0016",
                                            "##FILETYPE=Raman Processed", "##RAMAN WAVELENGTH=514", ""};
    std::vector<std::string> longHeader(tenAndBlank.begin(), tenAndBlank.end() - 1);
    longHeader.insert(longHeader.end(), {"##PIN_ID=1234", "##MEASURED CHEMISTRY=Al_2.00_O_3_", "##URL=rruff.info/R060020"});
    for (std::vector<std::string> ls : {tenAndBlank, longHeader}) {
        ls.insert(ls.end(), data.begin(), data.end());
        ls.push_back("##END=");
        const TSpectrumRecord r = read(SmallTextFormat::Rruff, crlfLines(ls), "/db/Corundum__R060020.rruff");
        ASSERT_EQ(r.PointCount(), 4) << ls.size();
        EXPECT_DOUBLE_EQ(r.FirstX, 182.505);
        EXPECT_NEAR(r.StepX, -1, 1e-12);
        EXPECT_DOUBLE_EQ(r.Values.front(), 40.5);
        EXPECT_DOUBLE_EQ(r.Values.back(), 136.8613);
        EXPECT_EQ(r.Comment1.str(), "##NAMES=Corundum  ##RRUFFID=R060020");
    }
}

// Short files: the separator line is missing (read as empty), one pair gives nothing.
TEST_F(SmallTexts, ShortRruffAndWlsFiles) {
    const TSpectrumRecord r = read(SmallTextFormat::Rruff, crlfLines({"400\t1", "401\t2", "402\t3"}), "/d/s.rruff");
    ASSERT_EQ(r.PointCount(), 2);
    EXPECT_DOUBLE_EQ(r.FirstX, 401);
    for (SmallTextFormat f : {SmallTextFormat::Rruff, SmallTextFormat::Wls}) {
        for (const std::string& text : {std::string(), crlfLines({"400\t1", "401\t2"}), crlfLines({"x"})}) {
            TSpectrumRecord k;
            k.Title = "kept";
            EXPECT_NO_THROW(ReadSmallTextBytes(f, k, text, true, "/d/s.x"));
            EXPECT_EQ(k.PointCount(), 0);
            EXPECT_EQ(k.Title.str(), "kept");
        }
    }
}

std::string wls(const std::vector<std::string>& data) {
    std::vector<std::string> ls = {"\"UV-1600PC\"", "\"Spectrum\"", "\"  Photometric mode: Abs\"", "", "", "",
                                   "\"Operator\",\"lab 2\"", "\"2023-03-04 10:11\"", "", "\"No.\",\"nm\",\"Abs\""};
    ls.insert(ls.end(), data.begin(), data.end());
    ls.push_back("\"END\"");
    ls.push_back("");
    return crlfLines(ls);
}

std::vector<std::string> wlsData(int n, bool commaDecimals) {
    std::vector<std::string> d;
    for (int i = 0; i < n; ++i) {
        std::string line = "\"" + std::to_string(i + 1) + "\",\"" + std::to_string(500 - i) + ".0\",\"0." +
                           std::to_string(100 + i) + "\"";
        if (commaDecimals)
            for (std::size_t p = 0; (p = line.find(".", p)) != std::string::npos;) line[p] = ',';
        d.push_back(line);
    }
    return d;
}

// Quoted, comma-separated fields: quotes go, fields are separated by ";"; falling wavelengths are
// stored rising.
TEST_F(SmallTexts, WlsQuotedFields) {
    for (bool commaDecimals : {false, true}) {
        for (char sep : {'.', ','}) {
            CleanState s(sep);
            const TSpectrumRecord r = read(SmallTextFormat::Wls, wls(wlsData(8, commaDecimals)), "/d/run.wls");
            EXPECT_EQ(r.Comment1.str(), "UV-1600PC  Photometric mode: Abs");
            EXPECT_EQ(r.DateText.str(), "2023-03-04 10:11");
            EXPECT_EQ(r.Title.str(), "run");
            EXPECT_EQ(r.SpecType.str(), "vwr_wls");
            EXPECT_EQ(r.SourceKind, 40);
            EXPECT_EQ(r.XUnit, SpecXNanometer);
            EXPECT_EQ(r.YKind, SpecYAbsorbance);
            EXPECT_DOUBLE_EQ(r.FirstX, 493);
            EXPECT_DOUBLE_EQ(r.StepX, 1);
            ASSERT_EQ(r.PointCount(), 8);
            EXPECT_DOUBLE_EQ(r.Values.front(), 0.107);
            EXPECT_DOUBLE_EQ(r.Values.back(), 0.1);
        }
    }
}

// Lines in other shapes than the usual quoted one read as their rewritten fields say.
TEST_F(SmallTexts, WlsLinesOfOtherShapes) {
    const TSpectrumRecord usual = read(SmallTextFormat::Wls, wls(wlsData(8, false)), "/d/a.wls");
    std::vector<std::string> d = wlsData(8, false);
    d[0] = "  1;500.0;0.100;extra";                 // unquoted, leading blanks, a fourth field
    d[1] = "\"2\",\" 499.0 \",\"0.101\"";        // blanks inside the quotes
    d[2] = "\"3\",\"498.0\";\"0.102\"";          // a ";" of its own between quoted fields
    d[3] = "\"4\",\"49\"\"7.0\",\"0.103\"";     // a stray quote inside a number
    const TSpectrumRecord other = read(SmallTextFormat::Wls, wls(d), "/d/a.wls");
    EXPECT_EQ(other.Values, usual.Values);
    EXPECT_DOUBLE_EQ(other.FirstX, usual.FirstX);
    // A line whose end mark is quoted, an "E" that is no end mark, and a line without the separator.
    std::vector<std::string> e = wlsData(6, false);
    e[1] = "\"2\",\"499.0\",\"1.01E-1\"";
    e.insert(e.begin() + 4, "\"E\"\"N\"\"D\"");
    EXPECT_EQ(read(SmallTextFormat::Wls, wls(e), "/d/e.wls").PointCount(), 4);
    EXPECT_DOUBLE_EQ(read(SmallTextFormat::Wls, wls(e), "/d/e.wls").Values[2], 0.101);
    std::vector<std::string> cut = wlsData(8, false);
    cut.insert(cut.begin() + 2, "no separator");
    EXPECT_EQ(read(SmallTextFormat::Wls, wls(cut), "/d/c.wls").PointCount(), 2);
}

namespace {

// A file of the DSP layout: header lines 0 to 42, "#DATA" in line `dataLine`, then the values.
std::string dsp(const std::vector<std::pair<int, std::string>>& set, const std::vector<std::string>& values,
                int dataLine = 43) {
    std::vector<std::string> ls(static_cast<std::size_t>(std::max(dataLine + 1, 43)));
    ls[0] = "Sinacsa 2.3";
    ls[1] = "SCAN";
    ls[3] = "Holmium filter";
    ls[4] = "nm";
    ls[5] = "400";
    ls[7] = "2";
    ls[9] = "A";
    ls[15] = "03/04/2023";
    ls[20] = "Scan 1";
    ls[27] = "298.5";
    ls[28] = "Lambda-SPX";
    ls[42] = "VISIONlite";
    for (const auto& [i, text] : set) ls[static_cast<std::size_t>(i)] = text;
    ls[static_cast<std::size_t>(dataLine)] = "#DATA";
    ls.insert(ls.end(), values.begin(), values.end());
    return crlfLines(ls);
}

}  // namespace

TEST_F(SmallTexts, DspHeaderAndValues) {
    const TSpectrumRecord r =
        read(SmallTextFormat::Dsp, dsp({}, {"400\t0.5", " 402 \t 0.25 ", "", "0.125", "406\t0.0625\t"}), "/d/h.dsp");
    EXPECT_EQ(r.Title.str(), "Holmium filter");
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    EXPECT_DOUBLE_EQ(r.StepX, 2);
    EXPECT_EQ(r.Values, (std::vector<double>{0.5, 0.25, 0.125, 0.0625}));
    EXPECT_EQ(r.DateText.str(), "03/04/2023");
    EXPECT_EQ(r.Comment1.str(), "method: Scan 1| software: VISIONlite");
    EXPECT_EQ(r.Comment2.str(), "spectrometer: Lambda-SPX");
    EXPECT_EQ(r.Temperature, 298.0);  // 298.5 to the even neighbour
    EXPECT_EQ(r.SpecType.str(), "ascanis_dsp");
    EXPECT_EQ(r.SourceKind, 43);
}

TEST_F(SmallTexts, DspUnitsAndKinds) {
    struct Case {
        const char* xLine;
        const char* yLine;
        SpecXUnit xUnit;
        SpecYKind yKind;
    };
    const Case cases[] = {{"nm", "%T", SpecXNanometer, SpecYTransmittance},
                          {"Wavenumber [cm-1]", "Intensity", SpecXWavenumber, SpecYIntensity},
                          {"Raman shift [cm-1]", "EGY", SpecXRamanShift, SpecYIntensity},
                          {"", "%R", SpecXNanometer, SpecYReflectance},
                          {"nm", "%RC", SpecXNanometer, SpecYReflectance},
                          {"nm", "", SpecXNanometer, SpecYAbsorbance}};  // an empty line matches no unit
    for (const Case& c : cases) {
        const TSpectrumRecord r =
            read(SmallTextFormat::Dsp, dsp({{4, c.xLine}, {9, c.yLine}}, {"1\t50", "2\t25", "3\t0"}), "/d/u.dsp");
        EXPECT_EQ(r.XUnit, c.xUnit) << c.xLine;
        EXPECT_EQ(r.YKind, c.yKind) << c.yLine;
        ASSERT_EQ(r.PointCount(), 3);
        if (c.xUnit == SpecXNanometer) {
            EXPECT_DOUBLE_EQ(r.FirstX, 400);
        } else {
            // Stored falling: the last grid x first.
            EXPECT_DOUBLE_EQ(r.FirstX, 404);
            EXPECT_DOUBLE_EQ(r.StepX, -2);
        }
        if (c.yKind == SpecYTransmittance || c.yKind == SpecYReflectance) {
            EXPECT_NEAR(r.Values[0], -std::log10(0.5), 1e-12);
            EXPECT_EQ(r.Values[2], 6.0);
        } else if (c.xUnit != SpecXNanometer) {
            EXPECT_EQ(r.Values, (std::vector<double>{0, 25, 50}));
        }
    }
}

// Files not of this layout, or without what the grid needs, give no points and no message.
TEST_F(SmallTexts, DspRejects) {
    const std::vector<std::string> v = {"1\t1", "2\t2"};
    std::string noData = dsp({}, v);
    noData.replace(noData.find("#DATA"), 5, "#data");
    const std::string cases[] = {dsp({{0, "Other program"}}, v), dsp({{1, "scan"}}, v), dsp({{5, ""}}, v),
                                 dsp({{7, ""}}, v), noData, crlfLines({"SINACSA", "SCAN", "", "t", "nm", "400", "", "1"}),
                                 dsp({}, {"1\t1"})};
    for (const auto& text : cases) {
        TSpectrumRecord r;
        EXPECT_NO_THROW(ReadSmallTextBytes(SmallTextFormat::Dsp, r, text, true, "/d/r.dsp"));
        EXPECT_EQ(r.PointCount(), 0);
    }
    EXPECT_TRUE(ui->messages.empty());
    // "#DATA" may stand in line 41 already; line 42 is then a value too.
    EXPECT_EQ(read(SmallTextFormat::Dsp, dsp({{42, "7"}}, v, 41), "/d/r.dsp").Values, (std::vector<double>{7, 1, 2}));
    EXPECT_THROW(read(SmallTextFormat::Dsp, dsp({{27, "warm"}}, v), "/d/r.dsp"), vx::ConversionError);
}

namespace {

std::string ggg(const std::string& type, const std::vector<std::string>& data, bool step = true) {
    std::vector<std::string> ls = {"# low temperature fluorescence", "<typ> " + type, "<fwl> 350", "<temp>\t77 ",
                                   "<datum> 12.03.2001", "<lms> EtOH/MeOH"};
    if (step) ls.push_back("<aufloesung> 0.5");
    ls.push_back("# Begin data");
    ls.insert(ls.end(), data.begin(), data.end());
    return crlfLines(ls);
}

}  // namespace

// Tags set the fields; the y field is read whole, however wide; "ccdex" divides by 10 and names type,
// temperature and excitation in the title.
TEST_F(SmallTexts, GggTagsAndCcdTypes) {
    const TSpectrumRecord r =
        read(SmallTextFormat::Ggg, ggg("ccdex", {"300.0 1234.5", "  300.5 20 extra", "301.0 12345678.25", ""}),
             "/d/sample.ggg");
    EXPECT_EQ(r.Title.str(), "sample (ccdex, 77K) 350nm");
    EXPECT_EQ(r.SpecType.str(), "ccdex");
    EXPECT_EQ(r.Comment1.str(), "77");
    EXPECT_EQ(r.Comment2.str(), "350");
    EXPECT_EQ(r.ExcitationWl, 350.0);
    EXPECT_EQ(r.Temperature, 77.0);
    EXPECT_EQ(r.DateText.str(), "12.03.2001");
    EXPECT_EQ(r.Solvent.str(), "EtOH/MeOH");
    EXPECT_EQ(r.SourceKind, 22);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_DOUBLE_EQ(r.FirstX, 300);
    EXPECT_DOUBLE_EQ(r.StepX, 0.5);
    ASSERT_EQ(r.PointCount(), 3);
    EXPECT_DOUBLE_EQ(r.Values[0], 123.45);
    EXPECT_DOUBLE_EQ(r.Values[1], 2);
    EXPECT_DOUBLE_EQ(r.Values[2], 1234567.825);
    EXPECT_EQ(ui->status[1], " ");

    const TSpectrumRecord f = read(SmallTextFormat::Ggg, ggg("ccdfy", {"300 1000", "300.5 2000"}), "/d/f.ggg");
    EXPECT_EQ(f.Values, (std::vector<double>{1, 2}));
    const TSpectrumRecord other = read(SmallTextFormat::Ggg, ggg("spectrum", {"300 1000", "300.5 2000"}), "/d/o.ggg");
    EXPECT_EQ(other.Title.str(), "o");
    EXPECT_EQ(other.Values, (std::vector<double>{1000, 2000}));
}

TEST_F(SmallTexts, GggPolarisationRatios) {
    const TSpectrumRecord r = read(SmallTextFormat::Ggg, ggg("polccde", {"300 1500", "300.5 1400", "301 900"}), "/d/p.ggg");
    EXPECT_EQ(r.SourceKind, 7);
    EXPECT_EQ(r.Title.str(), "p (polccde, 77K) 350nm");
    EXPECT_EQ(r.Values, (std::vector<double>{0.25, 0.2, -0.05}));
    // Ratios already stored as such stay.
    const TSpectrumRecord s = read(SmallTextFormat::Ggg, ggg("polccdf", {"300 0.5", "300.5 -0.25"}), "/d/p.ggg");
    EXPECT_EQ(s.Values, (std::vector<double>{0.5, -0.25}));
    EXPECT_EQ(s.SourceKind, 7);
}

TEST_F(SmallTexts, GggWithoutStepOrDataMark) {
    EXPECT_EQ(read(SmallTextFormat::Ggg, ggg("ccdex", {"300 1", "301 2"}, false), "/d/n.ggg").PointCount(), 0);
    std::string noMark = ggg("ccdex", {"300 1", "301 2"});
    noMark.replace(noMark.find("# Begin data"), 12, "# data");
    EXPECT_EQ(read(SmallTextFormat::Ggg, noMark, "/d/n.ggg").PointCount(), 0);
    EXPECT_THROW(read(SmallTextFormat::Ggg, ggg("x", {"300 1", "301 two"}), "/d/n.ggg"), vx::ConversionError);
}

// Through the Open command: the file's date where the file gives none; none for GGG.
TEST_F(SmallTexts, OpenCommandDates) {
    TSpectraList opened;
    TDisplayState display;
    TempDir dir;
    const std::string a = dir.write("a.rruff", rruff(rruffData(8)));
    const std::string b = dir.write("b.ggg", ggg("x", {"300 1", "301 2"}));
    std::string noDate = ggg("x", {"300 1", "301 2"});
    noDate.replace(noDate.find("<datum> 12.03.2001"), 18, "");
    const std::string c = dir.write("c.GGG", noDate);
    const std::string d = dir.write("d.dsp", dsp({{15, ""}}, {"1\t1", "2\t2"}));
    const OpenResult res = OpenSpectrumFiles({a, b, c, d}, opened, display, StartSettings{});
    EXPECT_EQ(readerErrors(res), "");
    ASSERT_EQ(opened.Count(), 4);
    EXPECT_EQ(opened[0].DateText.str().size(), 19u);
    EXPECT_EQ(opened[1].DateText.str(), "12.03.2001");
    EXPECT_TRUE(opened[2].DateText.empty());
    EXPECT_EQ(opened[3].DateText.str().size(), 19u);
}
