#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "formats/jcamp_reader.h"
#include "formats/reader_messages.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

std::string lines(std::initializer_list<const char*> ls) {
    std::string out;
    for (const char* l : ls) {
        out += l;
        out += "\r\n";
    }
    return out;
}

// Runs under both regional decimal separators: the file's own "." must not depend on them.
class JcampReader : public ::testing::TestWithParam<char> {
protected:
    void SetUp() override { numtext::setDecimalSeparator(GetParam()); }
    void TearDown() override { numtext::setDecimalSeparator('.'); }
    void read(const std::string& text, const std::string& path = "/data/sample.dx") {
        LoadSpecJcampText(text, path, "2026-01-02 03:04:05", list);
    }
    ui::ScopedScriptedBackend ui_;
    TSpectraList list;
};

INSTANTIATE_TEST_SUITE_P(Separators, JcampReader, ::testing::Values('.', ','));

TEST_P(JcampReader, SingleBlockPackedTableInNanometres) {
    read(lines({"##TITLE= Rhodamine $$ dye", "##JCAMP-DX= 5.01", "##DATA TYPE= UV/VIS SPECTRUM",
                "##DATA PROCESSING= smoothed", "##SPECTROMETER/DATA SYSTEM= Lambda 9", "##XUNITS= NANOMETERS",
                "##YUNITS= ABSORBANCE", "##FIRSTX= 400", "##LASTX= 409", "##NPOINTS= 10",
                "##XYDATA= (X++(Y..Y))", "400 0.1 0.2 0.3 0.4 0.5", "405 0.6 0.7 0.8 0.9 1.0", "##END="}));
    ASSERT_EQ(list.Count(), 1);
    const auto& r = list[0];
    EXPECT_EQ(r.Title.str(), "Rhodamine");
    EXPECT_EQ(r.Comment1.str(), "UV/VIS SPECTRUM, smoothed");
    EXPECT_EQ(r.Comment2.str(), "Lambda 9");
    EXPECT_EQ(r.SpecType.str(), "jcamp_dx");
    EXPECT_EQ(r.SourceKind, 28);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_EQ(r.DateText.str(), "2026-01-02 03:04:05");
    EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
    EXPECT_DOUBLE_EQ(r.StepX, 1.0);
    ASSERT_EQ(r.PointCount(), 10);
    EXPECT_DOUBLE_EQ(r.Values[0], 0.1);
    EXPECT_DOUBLE_EQ(r.Values[9], 1.0);
    EXPECT_EQ(r.Color, CurveColor(1));
}

TEST_P(JcampReader, WavenumbersRunFallingWhateverTheTableDirection) {
    const char* head[] = {"##TITLE= IR", "##XUNITS= 1/CM", "##YUNITS= TRANSMITTANCE", "##NPOINTS= 4"};
    // Falling table: values in file order.
    read(lines({head[0], head[1], head[2], head[3], "##FIRSTX= 4000", "##LASTX= 400", "##XYDATA= (X++(Y..Y))",
                "4000 0.1 0.2", "1600 0.3 0.4", "##END="}));
    // Rising table: the same spectrum from the other end, values reversed.
    read(lines({head[0], head[1], head[2], head[3], "##FIRSTX= 400", "##LASTX= 4000", "##XYDATA= (X++(Y..Y))",
                "400 0.4 0.3", "2800 0.2 0.1", "##END="}));
    ASSERT_EQ(list.Count(), 2);
    for (int k = 0; k < 2; ++k) {
        const auto& r = list[k];
        EXPECT_EQ(r.XUnit, SpecXWavenumber);
        EXPECT_EQ(r.YKind, SpecYTransmittance);
        EXPECT_DOUBLE_EQ(r.FirstX, 4000.0);
        EXPECT_DOUBLE_EQ(r.StepX, -1200.0);
        ASSERT_EQ(r.PointCount(), 4);
        EXPECT_NEAR(r.Values[0], 1.0, 1e-12);  // -log10(0.1)
        EXPECT_NEAR(r.Values[3], -std::log10(0.4), 1e-12);
    }
}

TEST_P(JcampReader, XUnitRules) {
    struct Case {
        const char* units;
        const char* first;
        const char* last;
        const char* second;  // x of the second table line
        int unit;
        double firstX, step;
    } cases[] = {
        {"MICROMETERS", "2.5", "25", "17.5", 1, 2500.0, 7500.0},
        {"NANOMETERS", "700", "400", "500", 1, 400.0, 100.0},
        {"eV", "1.0", "2.5", "2.0", 2, 2.5 * 8065.5409, -0.5 * 8065.5409},
        {"SECONDS", "1", "4", "3", 1, 1.0, 1.0},  // unknown units follow the nm rule
    };
    for (const auto& c : cases) {
        list.Clear();
        read(lines({"##TITLE= t", (std::string("##XUNITS= ") + c.units).c_str(), "##YUNITS= ABSORBANCE",
                    (std::string("##FIRSTX= ") + c.first).c_str(), (std::string("##LASTX= ") + c.last).c_str(),
                    "##NPOINTS= 4", "##XYDATA= (X++(Y..Y))", (std::string(c.first) + " 1 2").c_str(),
                    (std::string(c.second) + " 3 4").c_str(), "##END="}));
        ASSERT_EQ(list.Count(), 1) << c.units;
        EXPECT_EQ(CodeOf(list[0].XUnit), c.unit) << c.units;
        EXPECT_NEAR(list[0].FirstX, c.firstX, 1e-9) << c.units;
        EXPECT_NEAR(list[0].StepX, c.step, 1e-9) << c.units;
    }
}

TEST_P(JcampReader, YUnitRules) {
    struct Case {
        const char* units;  // nullptr: no label
        const char* data;
        int kind;
        double first;  // stored value of the first point
        double conc;
    } cases[] = {
        {"TRANSMITTANCE", "400 95 50", 1, -std::log10(0.95), 0.0},  // percent: largest value above 1.2
        {nullptr, "400 0.5 0.25", 1, -std::log10(0.5), 0.0},
        {"TRANSMITTANCE", "400 0.0000005 0.5", 1, 6.0, 0.0},
        {"REFLECTANCE", "400 0.5 0.25", 6, -std::log10(0.5), 0.0},
        {"ABSORBANCE", "400 0.5 0.25", 2, 0.5, 0.0},
        {"ARBITRARY UNITS", "400 1500 2500", 5, 1500.0, 0.0},
        {"EPSILON", "400 20000 1000", 3, 0.2, 1e-5},
        {"LOGARITHM EPSILON", "400 4 3", 4, 0.1, 1e-5},
        {"AU", "400 0.5 0.25", 1, -std::log10(0.5), 0.0},  // "AU" is no arbitrary unit here
    };
    for (const auto& c : cases) {
        list.Clear();
        std::string yl = c.units ? std::string("##YUNITS= ") + c.units : std::string("##OWNER= x");
        read(lines({"##TITLE= t", "##XUNITS= NANOMETERS", yl.c_str(), "##FIRSTX= 400", "##LASTX= 402",
                    "##XYDATA= (X++(Y..Y))", c.data, "401 1", "##END="}));
        ASSERT_EQ(list.Count(), 1) << yl;
        EXPECT_EQ(CodeOf(list[0].YKind), c.kind) << yl;
        EXPECT_NEAR(list[0].Values[0], c.first, 1e-9) << yl;
        EXPECT_DOUBLE_EQ(list[0].Concentration, c.conc) << yl;
    }
}

TEST_P(JcampReader, PackedNumbersWithSignsAndBothExponentCases) {
    read(lines({"##TITLE= p", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE",
                "##XYDATA= (X++(Y..Y)) $$ checkpoints", "400+1.2-0.3+5E-1 $$ first line", "$$ a comment line",
                "403-0.25, 1.5e-3,+2.5E+1", "##END="}));
    ASSERT_EQ(list.Count(), 1);
    const auto& v = list[0].Values;
    ASSERT_EQ(v.size(), 6u);
    EXPECT_DOUBLE_EQ(v[0], 1.2);
    EXPECT_DOUBLE_EQ(v[1], -0.3);
    EXPECT_DOUBLE_EQ(v[2], 0.5);
    EXPECT_DOUBLE_EQ(v[3], -0.25);
    EXPECT_DOUBLE_EQ(v[4], 0.0015);
    EXPECT_DOUBLE_EQ(v[5], 25.0);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 400.0);
    EXPECT_DOUBLE_EQ(list[0].StepX, 1.0);
}

TEST_P(JcampReader, FactorsScaleTableValues) {
    read(lines({"##TITLE= f", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##XFACTOR= 0.5",
                "##YFACTOR= 0.001", "##XYDATA= (X++(Y..Y))", "800 100 200", "804 300 400", "##END="}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 400.0);
    EXPECT_DOUBLE_EQ(list[0].StepX, 1.0);
    EXPECT_DOUBLE_EQ(list[0].Values[3], 0.4);
}

TEST_P(JcampReader, XyPointsTableIsResampledRising) {
    read(lines({"##TITLE= pts", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##NPOINTS= 4",
                "##XYPOINTS= (XY..XY)", "403, 0.4", "", "402.5, 0.3 $$ note", "401, 0.2", "400, 0.1", "##END="}));
    ASSERT_EQ(list.Count(), 1);
    const auto& r = list[0];
    EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
    EXPECT_DOUBLE_EQ(r.StepX, 1.0);
    ASSERT_EQ(r.PointCount(), 4);
    EXPECT_DOUBLE_EQ(r.Values[0], 0.1);
    EXPECT_DOUBLE_EQ(r.Values[1], 0.2);
    EXPECT_NEAR(r.Values[2], 0.2 + (0.3 - 0.2) * (1.0 / 1.5), 1e-12);
    EXPECT_DOUBLE_EQ(r.Values[3], 0.4);
}

TEST_P(JcampReader, XyDataPairsUseTheHeaderGrid) {
    read(lines({"##TITLE= xy", "##XUNITS= 1/CM", "##YUNITS= ABSORBANCE", "##FIRSTX= 1000", "##LASTX= 1003",
                "##NPOINTS= 4", "##XYDATA= (XY..XY)", "1000, 0.1", "1001, 0.2", "1002, 0.3", "1003, 0.4",
                "##END="}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 1003.0);
    EXPECT_DOUBLE_EQ(list[0].StepX, -1.0);
    EXPECT_DOUBLE_EQ(list[0].Values[0], 0.4);
}

TEST_P(JcampReader, CompoundFilesNameTheirBlocks) {
    auto block = [](const char* title, const char* id) {
        return lines({(std::string("##TITLE= ") + title).c_str(), (std::string("##BLOCK_ID= ") + id).c_str(),
                      "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##XYDATA= (X++(Y..Y))", "400 1 2",
                      "402 3 4", "##END="});
    };
    const std::string head = lines({"##TITLE= link", "##DATA TYPE= LINK", "##BLOCKS= 3"});
    read(head + block("same", "1") + block("same", "2") + block("same", "3") + "##END=\r\n", "/d/c.jdx");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title.str(), "c.jdx subfile 1");
    EXPECT_EQ(list[1].Title.str(), "c.jdx subfile 2");
    EXPECT_EQ(list[2].Title.str(), "c.jdx subfile 3");

    list.Clear();
    read(head + block("one", "1") + block("two", "2") + block("three", "3"), "/d/c.jdx");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title.str(), "one");
    EXPECT_EQ(list[2].Title.str(), "three");

    // More blocks announced than tables present.
    list.Clear();
    read(lines({"##TITLE= link", "##BLOCKS= 5"}) + block("a", "1") + block("b", "2"));
    EXPECT_EQ(list.Count(), 2);
}

TEST_P(JcampReader, SampleDescriptionAndDates) {
    read(lines({"##TITLE= \"quoted\"", "##SAMPLE DESCRIPTION= in ethanol", "##DATE= 24.04.02", "##TIME= 10:15",
                "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##XYDATA= (X++(Y..Y))", "400 1 2", "402 3 4",
                "##END="}));
    read(lines({"##TITLE= b", "##LONGDATE= 2002-04-24 10:15:00", "##DATE= 99.99.99", "##XUNITS= NANOMETERS",
                "##YUNITS= ABSORBANCE", "##XYDATA= (X++(Y..Y))", "400 1 2", "402 3 4", "##END="}));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title.str(), "quoted, Sample Description: in ethanol");
    EXPECT_EQ(list[0].DateText.str(), "24/04/02 10:15");
    EXPECT_EQ(list[1].DateText.str(), "2002/04/24 10:15:00");
}

TEST_P(JcampReader, RamanDataTypeGivesRamanShift) {
    read(lines({"##TITLE= r", "##DATA TYPE= RAMAN SPECTRUM", "##XUNITS= 1/CM", "##YUNITS= ARBITRARY UNITS",
                "##XYDATA= (X++(Y..Y))", "100 5 6", "102 7 8", "##END="}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].XUnit, SpecXRamanShift);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 103.0);
    EXPECT_DOUBLE_EQ(list[0].Values[0], 8.0);
}

TEST_P(JcampReader, OneLineTableTakesItsSpacingFromTheHeader) {
    read(lines({"##TITLE= one", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##FIRSTX= 400", "##LASTX= 403",
                "##XYDATA= (X++(Y..Y))", "400 1 2 3 4", "##END="}));
    read(lines({"##TITLE= two", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##DELTAX= 0.5",
                "##XYDATA= (X++(Y..Y))", "400 1 2 3 4", "##END="}));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_DOUBLE_EQ(list[0].StepX, 1.0);
    EXPECT_DOUBLE_EQ(list[0].Values[0], 1.0);
    EXPECT_DOUBLE_EQ(list[1].StepX, 0.5);
    EXPECT_TRUE(ui_->messages.empty());
}

// Blocks that cannot become a sound record: the message, and no record.
TEST_P(JcampReader, UnreadableBlocksAreRefusedWithTheMessage) {
    const char* bad[] = {
        // no spacing at all
        "##TITLE= a\r\n##XUNITS= NANOMETERS\r\n##XYDATA= (X++(Y..Y))\r\n400 1 2 3\r\n##END=\r\n",
        // compressed tables, in every table form
        "##TITLE= a\r\n##XUNITS= NANOMETERS\r\n##XYDATA= (X++(Y..Y))\r\n400A12B34\r\n410C12\r\n##END=\r\n",
        "##TITLE= a\r\n##XYDATA= (X++(Y..Y))\r\n400 1 2 S3\r\n410 @\r\n##END=\r\n",
        "##TITLE= a\r\n##XYPOINTS= (XY..XY)\r\n400,A5 401,B3\r\n402,C1 403,D2\r\n##END=\r\n",
        "##TITLE= a\r\n##FIRSTX= 400\r\n##LASTX= 403\r\n##XYDATA= (XY..XY)\r\n400 J5 401 K3\r\n402 %\r\n##END=\r\n",
        // another data type
        "##TITLE= a\r\n##DATA TYPE= NMR SPECTRUM\r\n##XYDATA= (X++(Y..Y))\r\n1 1 2\r\n3 3 4\r\n##END=\r\n",
        // another data class
        "##TITLE= a\r\n##DATA CLASS= NTUPLES\r\n##XYDATA= (X++(Y..Y))\r\n1 1 2\r\n3 3 4\r\n##END=\r\n",
        // a single point
        "##TITLE= a\r\n##NPOINTS= 1\r\n##XYPOINTS= (XY..XY)\r\n400, 1\r\n##END=\r\n",
        // equal x values
        "##TITLE= a\r\n##XYPOINTS= (XY..XY)\r\n400, 1\r\n400, 2\r\n##END=\r\n",
    };
    for (const char* text : bad) {
        ui_->messages.clear();
        read(text);
        EXPECT_EQ(list.Count(), 0) << text;
        ASSERT_EQ(ui_->messages.size(), 1u) << text;
        EXPECT_EQ(ui_->messages[0], "/data/sample.dx\r\n\r\ncan not be read by Varolux32!");
    }
}

TEST_P(JcampReader, RefusedBlockDoesNotStopTheNextOne) {
    read(lines({"##TITLE= link", "##BLOCKS= 2", "##TITLE= nmr", "##DATA TYPE= NMR SPECTRUM",
                "##XYDATA= (X++(Y..Y))", "1 1 2", "3 3 4", "##END=", "##TITLE= uv", "##DATA TYPE= UV/VIS SPECTRUM",
                "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##XYDATA= (X++(Y..Y))", "400 1 2", "402 3 4",
                "##END="}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), "uv");
    EXPECT_EQ(ui_->messages.size(), 1u);
}

TEST_P(JcampReader, ShortTablesAndBadNumbersRaise) {
    EXPECT_THROW(read(lines({"##TITLE= a", "##NPOINTS= 5", "##XYPOINTS= (XY..XY)", "400, 1", "401, 2", "##END="})),
                 vx::ListIndexError);
    EXPECT_THROW(read(lines({"##TITLE= a", "##NPOINTS= 500000000", "##XYPOINTS= (XY..XY)", "400, 1"})),
                 vx::ListIndexError);
    try {
        read(lines({"##TITLE= a", "##XYDATA= (X++(Y..Y))", "#400 1 2", "##END="}));
        FAIL() << "no error";
    } catch (const vx::ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'#400' is not a valid floating point value");
    }
    EXPECT_EQ(list.Count(), 0);
}

// Several pairs to a line, in the separator styles files use, in both data classes, with and without a
// point count; the count may end a table inside a line.
TEST_P(JcampReader, PairTablesWithSeveralPairsALine) {
    const char* styles[][2] = {
        {"400.0,0.1 401.0,0.2 402.0,0.3 403.0,0.4", "404.0,0.5 405.0,0.6 406.0,0.7 407.0,0.8"},
        {"400 0.1; 401 0.2; 402 0.3; 403 0.4", "404 0.5; 405 0.6; 406 0.7; 407 0.8"},
        {"400\t0.1\t401\t0.2\t402\t0.3\t403\t0.4", "404 0.5  405 0.6\t406 0.7 407 0.8 $$ end"},
        {"400.0, 0.1, 401.0, 0.2, 402.0, 0.3, 403.0, 0.4", "404.0, 0.5, 405.0, 0.6, 406.0, 0.7, 407.0, 0.8"},
    };
    for (const auto& st : styles) {
        for (const char* head : {"##XYPOINTS= (XY..XY)", "##XYDATA= (XY..XY)"}) {
            for (const char* count : {"##NPOINTS= 8", "##NPOINTS= 6", "##OWNER= no count"}) {
                list.Clear();
                const std::string text = lines({"##TITLE= t", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE",
                                                "##FIRSTX= 400", std::string(count).find('6') != std::string::npos
                                                                     ? "##LASTX= 405" : "##LASTX= 407",
                                                count, head, st[0], st[1], "##END="});
                SCOPED_TRACE(text);
                read(text);
                ASSERT_EQ(list.Count(), 1);
                const auto& r = list[0];
                const int n = std::string(count).find('6') != std::string::npos ? 6 : 8;
                EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
                EXPECT_DOUBLE_EQ(r.StepX, 1.0);
                ASSERT_EQ(r.PointCount(), n);
                for (int i = 0; i < n; ++i) EXPECT_NEAR(r.Values[static_cast<std::size_t>(i)], 0.1 * (i + 1), 1e-12);
                EXPECT_TRUE(ui_->messages.empty());
            }
        }
    }
    // Lines without a decimal point: commas are decimal signs where that leaves whole pairs, else they
    // separate x and y.
    list.Clear();
    read(lines({"##TITLE= i", "##XUNITS= NANOMETERS", "##YUNITS= ARBITRARY UNITS", "##NPOINTS= 4",
                "##XYPOINTS= (XY..XY)", "400,1200", "401,1300", "402,1400", "403,1500", "##END="}));
    read(lines({"##TITLE= c", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##NPOINTS= 2",
                "##XYPOINTS= (XY..XY)", "400,5 0,25", "401,5 0,75", "##END="}));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Values, (std::vector<double>{1200, 1300, 1400, 1500}));
    EXPECT_DOUBLE_EQ(list[1].FirstX, 400.5);
    EXPECT_EQ(list[1].Values, (std::vector<double>{0.25, 0.75}));
}

// Whole-number pairs several to a line: the comma between x and y separates them as in a line of one
// pair, with blanks or ";" between the pairs, in both data classes and in the table's shorter last line.
// A line of one pair keeps its decimal commas, and so does a line of decimal-comma pairs, whose x read
// the other way would not run one way.
TEST_P(JcampReader, WholeNumberPairsSeveralToALine) {
    for (const char* pairs : {"400,3 401,5 402,1 403,7", "400,3; 401,5; 402,1; 403,7", "400,3;401,5;402,1;403,7"}) {
        for (const char* head : {"##XYPOINTS= (XY..XY)", "##XYDATA= (XY..XY)"}) {
            list.Clear();
            read(lines({"##TITLE= w", "##XUNITS= NANOMETERS", "##YUNITS= COUNTS", "##FIRSTX= 400", "##LASTX= 405",
                        "##NPOINTS= 6", head, pairs, "404,2 405,9", "##END="}));
            SCOPED_TRACE(std::string(pairs) + " " + head);
            ASSERT_EQ(list.Count(), 1);
            EXPECT_DOUBLE_EQ(list[0].FirstX, 400.0);
            EXPECT_DOUBLE_EQ(list[0].StepX, 1.0);
            EXPECT_EQ(list[0].Values, (std::vector<double>{3, 5, 1, 7, 2, 9}));
            EXPECT_TRUE(ui_->messages.empty());
        }
    }
    list.Clear();
    read(lines({"##TITLE= b", "##XUNITS= NANOMETERS", "##YUNITS= COUNTS", "##NPOINTS= 2", "##XYPOINTS= (XY..XY)",
                "400,5;0,25", "401,5;0,75", "##END="}));
    read(lines({"##TITLE= d", "##XUNITS= NANOMETERS", "##YUNITS= COUNTS", "##NPOINTS= 4", "##XYPOINTS= (XY..XY)",
                "400,5 0,25 401,5 0,75", "402,5 0,5 403,5 1200,5", "##END="}));
    read(lines({"##TITLE= e", "##XUNITS= NANOMETERS", "##YUNITS= COUNTS", "##NPOINTS= 2", "##XYPOINTS= (XY..XY)",
                "400,3 401,5", "402,1 403,7", "##END="}));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 400.5);
    EXPECT_EQ(list[0].Values, (std::vector<double>{0.25, 0.75}));
    EXPECT_DOUBLE_EQ(list[1].FirstX, 400.5);
    EXPECT_EQ(list[1].Values, (std::vector<double>{0.25, 0.75, 0.5, 1200.5}));
    // Two numbers a line stay one decimal-comma pair: x 400.3 and 402.1.
    EXPECT_DOUBLE_EQ(list[2].FirstX, 400.3);
    EXPECT_EQ(list[2].PointCount(), 2);
}

// A y that is no number is never stored: inside an equidistant table its place is filled in between
// its neighbours, at an end of one and in an xypoints table its pair is left out; the other values keep
// their x, and the file's one message says which was done.
TEST_P(JcampReader, NonNumberYIsFilledInOrLeftOutAndTold) {
    const std::string head = lines({"##TITLE= q", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE"});
    const std::string one = "1 value was not a number; its place was filled in between its neighbours.";
    const std::string two = "2 values were not numbers; their places were filled in between their neighbours.";
    const std::string cut = "1 pair was left out: its y value is not a number.";
    struct Case {
        const char* table;
        double firstX, step;
        std::vector<double> values;
        std::string note;
    } cases[] = {
        // Packed: inside the table the place is kept between its neighbours, at an end the grid is cut.
        {"##XYDATA= (X++(Y..Y))\r\n400 0.5 ? 0.7\r\n403 0.8\r\n", 400, 1, {0.5, 0.6, 0.7, 0.8}, one},
        {"##XYDATA= (X++(Y..Y))\r\n400 0.5 ? ?? 0.8\r\n404 0.9\r\n", 400, 1, {0.5, 0.6, 0.7, 0.8, 0.9}, two},
        {"##XYDATA= (X++(Y..Y))\r\n400 ? 0.6 0.7\r\n403 0.8\r\n", 401, 1, {0.6, 0.7, 0.8}, cut},
        {"##XYDATA= (X++(Y..Y))\r\n400 0.5 0.6\r\n402 0.7 ?\r\n", 400, 1, {0.5, 0.6, 0.7}, cut},
        // xydata on the header's grid: the same.
        {"##FIRSTX= 400\r\n##LASTX= 403\r\n##NPOINTS= 4\r\n##XYDATA= (XY..XY)\r\n400,0.5 401,? 402,0.7 403,0.8\r\n",
         400, 1, {0.5, 0.6, 0.7, 0.8}, one},
        {"##FIRSTX= 400\r\n##LASTX= 403\r\n##NPOINTS= 4\r\n##XYDATA= (XY..XY)\r\n400,0.5 401,0.6 402,0.7 403\r\n",
         400, 1, {0.5, 0.6, 0.7}, cut},
        // xypoints: the pairs read make the grid.
        {"##NPOINTS= 4\r\n##XYPOINTS= (XY..XY)\r\n400,0.5 401,? 402,0.7 403,0.8\r\n", 400, 1.5, {0.5, 0.65, 0.8}, cut},
    };
    for (const auto& c : cases) {
        list.Clear();
        ui_->messages.clear();
        read(head + c.table + "##END=\r\n");
        SCOPED_TRACE(c.table);
        ASSERT_EQ(list.Count(), 1);
        const auto& r = list[0];
        EXPECT_DOUBLE_EQ(r.FirstX, c.firstX);
        EXPECT_DOUBLE_EQ(r.StepX, c.step);
        ASSERT_EQ(r.Values.size(), c.values.size());
        for (std::size_t i = 0; i < c.values.size(); ++i) EXPECT_NEAR(r.Values[i], c.values[i], 1e-12) << i;
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0], "/data/sample.dx\r\n\r\n" + c.note);
    }

    // One message for the file: the blocks skipped and the pairs left out of the records read.
    list.Clear();
    ui_->messages.clear();
    read(lines({"##TITLE= link", "##BLOCKS= 3", "##TITLE= a", "##XUNITS= NANOMETERS", "##XYDATA= (X++(Y..Y))",
                "400 0.5 ? 0.7 ?", "404 0.9", "##END=", "##TITLE= nmr", "##DATA TYPE= NMR SPECTRUM",
                "##XYDATA= (X++(Y..Y))", "1 ? 2", "3 3 4", "##END=", "##TITLE= b", "##NPOINTS= 3",
                "##XYPOINTS= (XY..XY)", "400, 0.1; 401, -; 402, 0.3; 403, 0.4", "##END="}));
    EXPECT_EQ(list.Count(), 2);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "/data/sample.dx\r\n\r\ncan not be read by Varolux32!\r\n1 of 3 blocks were "
                                "skipped.\r\n1 pair was left out: its y value is not a number.\r\n2 values were "
                                "not numbers; their places were filled in between their neighbours.");

    // No y at all that is a number: nothing to keep.
    list.Clear();
    read(head + lines({"##XYDATA= (X++(Y..Y))", "400 ? ?", "402 ?", "##END="}));
    EXPECT_EQ(list.Count(), 0);
}

// A label line far longer than any real one, or megabytes without a label, end the scan with a message
// before the text is worked through as labels; the records of earlier blocks stay.
TEST_P(JcampReader, LabelScanStopsAtTheFormatsLimits) {
    const std::string block = lines({"##TITLE= ok", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE",
                                     "##XYDATA= (X++(Y..Y))", "400 1 2", "402 3 4", "##END="});
    const std::string longTitle = "##TITLE= " + std::string(70000, 'x');
    try {
        read(longTitle + "\r\n" + block);
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Line 1 is a label line of 70009 bytes, far longer than any JCAMP-DX label "
                                         "line (at most 65536 bytes are taken): the file is not read.");
    }
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(read(lines({"##TITLE= link", "##BLOCKS= 2"}) + block + "##ORIGIN= " + std::string(1 << 20, '#') +
                      "\r\n" + block),
                 vx::FileError);
    EXPECT_EQ(list.Count(), 1);

    std::string noLabels;
    while (noLabels.size() <= (16u << 20)) noLabels += "1 2 3 4 5 6 7 8 9\r\n";
    list.Clear();
    try {
        read("##TITLE= t\r\n" + noLabels + block);
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_EQ(std::string(e.what()), "No JCAMP-DX label in the 16 MB from line 2 on: the file is not read.");
    }
    EXPECT_EQ(list.Count(), 0);

    // Inside the limits: a label line of the largest length taken, a long comment between labels.
    list.Clear();
    read(lines({("##TITLE= " + std::string(65536 - 9, 'y')).c_str()}) + noLabels.substr(0, 1 << 20) +
         block.substr(block.find("##XUNITS")));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), std::string(255, 'y'));
}

TEST_P(JcampReader, InstrumentFluorescenceScaling) {
    read(lines({"##TITLE= f", "##ORIGIN= PerkinElmer WinLab", "##DATA TYPE= FLUORESCENCE SPECTRUM",
                "##XUNITS= NANOMETERS", "##YUNITS= INTENSITY", "##XYDATA= (X++(Y..Y))", "400 250 500", "402 750",
                "##END="}));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].SpecType.str(), "perkinelmer_dx");
    EXPECT_EQ(list[0].YKind, SpecYIntensity);
    EXPECT_DOUBLE_EQ(list[0].Values[0], 1.0);
    EXPECT_DOUBLE_EQ(list[0].Values[2], 3.0);
}

}  // namespace

#include <random>

#include "formats/text_spectra_support.h"

namespace {

// The packed-table rules written out plainly: blanks, tabs and the commas followed by a blank, a sign, a
// tab or the line end separate tokens, and a sign starts a token unless it follows "E" or "e".
std::vector<std::string> packedTokens(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : ' ';
        const bool sep = c == ' ' || c == '\t' || (c == ',' && (next == ' ' || next == '+' || next == '-' || next == '\t'));
        if (sep || ((c == '+' || c == '-') && !cur.empty() && cur.back() != 'E' && cur.back() != 'e')) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
            if (sep) continue;
        }
        cur += c;
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

bool compressedToken(const std::string& t) {
    if (t[0] == 'E' || t[0] == 'e') return true;
    for (char c : t)
        if (c == '@' || c == '%' || (std::isalpha(static_cast<unsigned char>(c)) && c != 'E' && c != 'e')) return true;
    return false;
}

std::string randomNumber(std::mt19937& rng) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::string s;
    if (pick(3) == 0) s += "+-"[pick(2)];
    for (int i = pick(6) + (pick(8) == 0 ? 0 : 1); i > 0; --i) s += static_cast<char>('0' + pick(10));
    if (pick(2)) {
        s += ".,"[pick(5) == 0];
        for (int i = pick(7); i > 0; --i) s += static_cast<char>('0' + pick(10));
    }
    if (pick(6) == 0) {
        s += "Ee"[pick(2)];
        if (pick(2)) s += "+-"[pick(2)];
        for (int i = pick(3); i > 0; --i) s += static_cast<char>('0' + pick(10));
    }
    return s;
}

// The reader's quick line scan must read exactly what the token rules read, in every packed shape:
// signs as separators, commas as separators and as decimal marks, exponents, stray characters.
TEST(JcampPackedTables, QuickScanReadsWhatTheTokenRulesRead) {
    ui::ScopedScriptedBackend ui;
    numtext::setDecimalSeparator('.');
    std::mt19937 rng(2019);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const char* const seps[] = {" ", "  ", "\t", ", ", ",", ""};
    int records = 0, recordsWithGaps = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> table;
        for (int l = pick(5) + 1; l > 0; --l) {
            std::string line = (pick(10) == 0 ? " " : "") + randomNumber(rng);
            for (int k = pick(12); k > 0; --k) {
                std::string num = randomNumber(rng);
                const char* sep = seps[pick(6)];
                // Only a sign may stand between two numbers without a separator.
                if (*sep == '\0' && num[0] != '+' && num[0] != '-') sep = " ";
                line += sep + num;
            }
            if (pick(8) == 0) line.insert(static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1)), 1, ".,+-eE \t"[pick(8)]);
            if (pick(10) == 0) line += " $$ note";
            if (pick(15) == 0) line += ",";
            table.push_back(line);
        }
        std::string text = "##TITLE= t\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n##XYDATA= (X++(Y..Y))\r\n";
        for (const auto& l : table) text += l + "\r\n";
        text += "##END=\r\n";
        SCOPED_TRACE(text);

        // What the token rules give; a y that is no number keeps its place (`gap`).
        std::vector<double> values;
        std::vector<bool> gap;
        bool first = true, bad = false, compressed = false, anyLine = false;
        double tFirst = 0, lastX = 0;
        std::size_t lastBefore = 0, lastCount = 0;
        for (const auto& raw : table) {
            const std::string line = raw.substr(0, raw.find("$$"));
            const auto tokens = packedTokens(line);
            if (tokens.empty()) continue;
            double x = 0;
            if (!ParseNumberToken(tokens[0], x)) {
                if (compressedToken(tokens[0])) compressed = true;
                else bad = true;
                break;
            }
            if (first) tFirst = x, first = false;
            const std::size_t before = values.size();
            for (std::size_t k = 1; k < tokens.size() && !compressed; ++k) {
                double y = 0.0;
                const bool number = ParseNumberToken(tokens[k], y);
                if (!number && compressedToken(tokens[k])) compressed = true;
                values.push_back(y);
                gap.push_back(!number);
            }
            if (compressed) break;
            anyLine = true;
            lastX = x;
            lastBefore = before;
            lastCount = tokens.size() - 1;
        }
        double running = 0;
        if (anyLine) {
            running = lastX;
            for (std::size_t k = 1; k < lastCount; ++k)
                if (lastBefore + k > 1) running += (running - tFirst) / static_cast<double>(lastBefore + k - 1);
        }

        TSpectraList list;
        ui->messages.clear();
        if (bad) {
            EXPECT_THROW(LoadSpecJcampText(text, "/p.dx", "d", list), vx::ConversionError);
            continue;
        }
        ASSERT_NO_THROW(LoadSpecJcampText(text, "/p.dx", "d", list));
        bool sound = !compressed && values.size() >= 2 && tFirst != running;
        // Places left out: joined by a straight line between the values read, cut off at the ends.
        double from = tFirst, to = running;
        std::size_t gaps = 0, filled = 0;
        if (sound) {
            const std::size_t n = values.size();
            std::size_t lead = 0, trail = 0;
            while (lead < n && gap[lead]) ++lead;
            while (trail < n - lead && gap[n - 1 - trail]) ++trail;
            for (std::size_t k = lead; k + trail < n; ++k) {
                if (!gap[k]) continue;
                std::size_t end = k;
                while (gap[end]) ++end;
                const double a = values[k - 1], b = values[end];
                for (std::size_t j = k; j < end; ++j)
                    values[j] = a + (b - a) * (static_cast<double>(j - k + 1) / static_cast<double>(end - k + 1));
                filled += end - k;
                k = end;
            }
            for (bool g : gap) gaps += g ? 1 : 0;
            if (lead + trail >= n) {
                sound = false;
            } else {
                const double step = (running - tFirst) / static_cast<double>(n - 1);
                if (lead > 0) from = tFirst + static_cast<double>(lead) * step;
                if (trail > 0) to = tFirst + static_cast<double>(n - 1 - trail) * step;
                values.erase(values.end() - static_cast<std::ptrdiff_t>(trail), values.end());
                values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(lead));
            }
        }
        const double size = std::fabs(to - from) / static_cast<double>(values.size() - 1);
        sound = sound && values.size() >= 2 && std::isfinite(size) && size != 0.0;
        for (double v : values) sound = sound && std::isfinite(v);
        ASSERT_EQ(list.Count(), sound ? 1 : 0);
        // The refusal, or the places filled in and the pairs cut off at the ends of the record.
        EXPECT_EQ(ui->messages.size(), sound && gaps == 0 ? 0u : 1u);
        if (!sound) continue;
        ++records;
        if (gaps > 0) {
            ++recordsWithGaps;
            const std::size_t cut = gaps - filled;
            const std::string& m = ui->messages[0];
            EXPECT_EQ(m.find(std::to_string(cut) + (cut == 1 ? " pair was left out" : " pairs were left out")) !=
                          std::string::npos,
                      cut > 0);
            EXPECT_EQ(m.find(FilledInValuesText(filled)) != std::string::npos, filled > 0);
            EXPECT_EQ(m.find("filled in") != std::string::npos, filled > 0);
        }
        const auto& r = list[0];
        if (to < from) std::reverse(values.begin(), values.end());
        EXPECT_EQ(r.FirstX, std::min(from, to));
        EXPECT_EQ(r.StepX, size);
        ASSERT_EQ(r.Values, values);
    }
    EXPECT_GT(records, 1000);  // most tables are sound, so the values were compared
    EXPECT_GT(recordsWithGaps, 20);
}

}  // namespace

namespace {

// A file whose blocks are refused gives one message for the file, naming how many were skipped.
TEST_P(JcampReader, RefusedBlocksGiveOneMessageForTheFile) {
    auto block = [](const char* type) {
        return lines({"##TITLE= b", (std::string("##DATA TYPE= ") + type).c_str(), "##XUNITS= NANOMETERS",
                      "##YUNITS= ABSORBANCE", "##XYDATA= (X++(Y..Y))", "400 1 2", "402 3 4", "##END="});
    };
    struct Case {
        int blocks, refused;
        const char* message;  // nullptr: none
    } cases[] = {
        {20, 20, "/data/sample.dx\r\n\r\ncan not be read by Varolux32!\r\n20 of 20 blocks were skipped."},
        {5, 2, "/data/sample.dx\r\n\r\ncan not be read by Varolux32!\r\n2 of 5 blocks were skipped."},
        {1, 1, "/data/sample.dx\r\n\r\ncan not be read by Varolux32!"},
        {3, 0, nullptr},
    };
    for (const auto& c : cases) {
        list.Clear();
        ui_->messages.clear();
        std::string text = lines({"##TITLE= link", "##DATA TYPE= LINK", ("##BLOCKS= " + std::to_string(c.blocks)).c_str()});
        for (int k = 0; k < c.blocks; ++k) text += block(k < c.refused ? "NMR SPECTRUM" : "UV/VIS SPECTRUM");
        read(text);
        EXPECT_EQ(list.Count(), c.blocks - c.refused) << c.blocks;
        if (c.message) {
            ASSERT_EQ(ui_->messages.size(), 1u) << c.blocks;
            EXPECT_EQ(ui_->messages[0], c.message);
        } else {
            EXPECT_TRUE(ui_->messages.empty());
        }
    }
    // An error that ends the read still reports the blocks skipped before it.
    list.Clear();
    ui_->messages.clear();
    EXPECT_THROW(read(lines({"##BLOCKS= 2"}) + block("NMR SPECTRUM") +
                      lines({"##TITLE= c", "##XYDATA= (X++(Y..Y))", "#400 1 2", "##END="})),
                 vx::ConversionError);
    EXPECT_EQ(ui_->messages.size(), 1u);
}

}  // namespace

namespace {

TEST(ReaderMessages, FilledInValuesKeepSingularAndPlural) {
    EXPECT_EQ(FilledInValuesText(1), "1 value was not a number; its place was filled in between its neighbours.");
    EXPECT_EQ(FilledInValuesText(2), "2 values were not numbers; their places were filled in between their neighbours.");
}

}  // namespace
