// *.asc files of each kind, written line by line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "formats/asc_reader.h"
#include "formats/format_table.h"
#include "formats_test_util.h"
#include "instrument_file_builder.h"
#include "platform/errors.h"

using fmt_test::CleanState;
using fmt_test::crlfLines;
using fmt_test::TempDir;

namespace {

constexpr const char* kName = "/lab/exports/dye 42.asc";
constexpr const char* kFileDate = "2011-01-02 03:04:05";

TSpectrumRecord readAsc(const std::vector<std::string>& lines) {
    TSpectrumRecord r;
    ReadAscBytes(r, crlfLines(lines), kName, kFileDate);
    return r;
}

template <class E>
std::string ascError(const std::vector<std::string>& lines) {
    return fmt_test::errorText<E>([&] { readAsc(lines); });
}

std::vector<std::string> pairs(double x0, double dx, int n, const char* yFormat, double y0, double dy,
                               const char* gap = " ") {
    std::vector<std::string> out;
    char buf[64];
    for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, yFormat, y0 + dy * i);
        out.push_back(numtext::FloatToStr(x0 + dx * i, '.') + gap + buf);
    }
    return out;
}

void expectCommon(const TSpectrumRecord& r) {
    EXPECT_EQ(r.FileName, kName);
    EXPECT_EQ(r.Concentration, 0.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, -1.0);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_TRUE(r.Solvent.empty());
}

// ---- DU exports

std::vector<std::string> beckman(const std::string& first, const std::string& dateLine, const std::string& mode,
                                 const std::vector<std::string>& data) {
    std::vector<std::string> l = {first, dateLine, "Instrument: DU 640", mode, "Start: 400", "Stop: 409", "",
                                  "Wavelength (nm)   Abs"};
    l.insert(l.end(), data.begin(), data.end());
    l.push_back("End of data");
    return l;
}

TEST(AscBeckman, ExportFields) {
    CleanState state(',');
    const TSpectrumRecord r = readAsc(beckman("Application: Wavelength Scan   Scan Mode: Sample",
                                              "Created on: 2004-05-06 07:08:09", "Read Mode: Abs",
                                              pairs(400, 1, 11, "%.4f", 0.1, 0.01)));
    expectCommon(r);
    EXPECT_EQ(r.SourceKind, 38);
    EXPECT_EQ(r.SpecType, "beckman_du");
    EXPECT_EQ(r.Title, "dye 42.asc");
    EXPECT_EQ(r.DateText, "2004-05-06 07:08:09");
    EXPECT_TRUE(r.Comment1.empty());
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    ASSERT_EQ(r.PointCount(), 10);  // the last pair is not used
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 1.0);
    EXPECT_DOUBLE_EQ(r.Values[9], 0.19);
}

TEST(AscBeckman, Variants) {
    CleanState state;
    TSpectrumRecord r = readAsc(beckman("Start Wavelength: 400", "measured today", "Read Mode: %T",
                                        pairs(400, 1, 11, "%.1f", 10, 10)));
    EXPECT_EQ(r.SourceKind, 38);
    EXPECT_EQ(r.DateText, kFileDate);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    ASSERT_EQ(r.PointCount(), 10);
    EXPECT_DOUBLE_EQ(r.Values[0], 1.0);
    EXPECT_DOUBLE_EQ(r.Values[9], 0.0);
    // A read mode of neither kind is absorbance; empty data lines carry no pair.
    std::vector<std::string> d = pairs(400, 1, 6, "%.3f", 1, 0);
    d.insert(d.begin() + 2, "");
    r = readAsc(beckman("Start Wavelength: 400", "", "Read Mode: Conc", d));
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_EQ(r.PointCount(), 5);
}

TEST(AscBeckman, MissingLines) {
    CleanState state;
    const std::vector<std::string> noMode = {"Start Wavelength: 400", "Created on: x", "a", "b"};
    EXPECT_EQ(ascError<vx::ListIndexError>(noMode), "List index out of bounds (4)");
    const std::vector<std::string> noEmptyLine = {"Start Wavelength: 400", "x", "Read Mode: Abs", "400 1", "401 2"};
    EXPECT_EQ(ascError<vx::ListIndexError>(noEmptyLine), "List index out of bounds (5)");
    EXPECT_EQ(ascError<vx::ListIndexError>({"Start Wavelength: 400"}), "List index out of bounds (1)");
}

// ---- Spectral-library files

std::vector<std::string> usgs(const std::string& title, const std::vector<std::string>& data) {
    std::vector<std::string> l = {"USGS Digital Spectral Library record 17", "Kaolinite from a test pit"};
    while (l.size() < 14) l.push_back("header line " + std::to_string(l.size()));
    l.push_back(title);
    l.push_back("   wavelength  reflectance  stdev");
    l.insert(l.end(), data.begin(), data.end());
    l.push_back("end");
    return l;
}

TEST(AscUsgs, LibraryFields) {
    CleanState state;
    std::vector<std::string> d = pairs(0.35, 0.01, 12, "%.5f   0.00100", 0.2, 0.05);
    d.insert(d.begin() + 4, "   0.38500  -1.23e34  -1.23e34");
    const TSpectrumRecord r = readAsc(usgs("  Kaolinite CM9  ", d));
    expectCommon(r);
    EXPECT_EQ(r.SourceKind, 44);
    EXPECT_EQ(r.SpecType, "usgs_ftir");
    EXPECT_EQ(r.YKind, SpecYReflectance);
    EXPECT_EQ(r.Title, "Kaolinite CM9");
    EXPECT_EQ(r.Comment1, "USGS Digital Spectral Library record 17");
    EXPECT_EQ(r.Comment2, "Kaolinite from a test pit");
    EXPECT_EQ(r.DateText, kFileDate);
    ASSERT_EQ(r.PointCount(), 11);
    EXPECT_DOUBLE_EQ(r.FirstX, 350.0);
    EXPECT_NEAR(r.StepX, 10.0, 1e-9);
    // Fractions (the largest is 0.7): -log10 of the value.
    EXPECT_NEAR(r.Values[0], -std::log10(0.2), 1e-12);
    EXPECT_NEAR(r.Values[10], -std::log10(0.7), 1e-12);
}

TEST(AscUsgs, PercentAndTitleFromTheFileName) {
    CleanState state;
    const TSpectrumRecord r = readAsc(usgs("", pairs(2.5, -0.5, 5, "%.1f", 0, 20)));
    EXPECT_EQ(r.Title, "dye 42");
    ASSERT_EQ(r.PointCount(), 4);
    // Written falling from 2.5 µm: stored rising from 1000 nm (the last pair, 0.5 µm, is not used).
    EXPECT_EQ(r.FirstX, 1000.0);
    EXPECT_EQ(r.StepX, 500.0);
    EXPECT_NEAR(r.Values[0], -std::log10(0.6), 1e-12);
    EXPECT_EQ(r.Values[3], 6.0);  // 0 % reflectance
    EXPECT_EQ(ascError<vx::ListIndexError>({"USGS", "a", "b"}), "List index out of bounds (14)");
}

// ---- Spectronic exports

std::vector<std::string> miltonRoy(const std::string& first, const std::vector<std::string>& data) {
    std::vector<std::string> l = {first, "cuvette 1 cm", "Date and time:      12-Mar-1999 10:00"};
    while (l.size() < 12) l.push_back("header " + std::to_string(l.size()));
    l.insert(l.end(), data.begin(), data.end());
    l.push_back("");
    return l;
}

TEST(AscMiltonRoy, ExportFields) {
    CleanState state;
    const TSpectrumRecord r = readAsc(miltonRoy("MR300.ASC   Sample ID: dye 42 in ethanol", pairs(400, 2, 200, "%.4f", 0.5, 0.001)));
    expectCommon(r);
    EXPECT_EQ(r.SourceKind, 1);
    EXPECT_EQ(r.SpecType, "milton_asc");
    EXPECT_EQ(r.Title, "dye 42 in ethanol");
    EXPECT_EQ(r.Comment1, "cuvette 1 cm");
    EXPECT_TRUE(r.Comment2.empty());
    EXPECT_EQ(r.DateText, "12-Mar-1999 10:00");
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    ASSERT_EQ(r.PointCount(), 199);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 2.0);
    EXPECT_DOUBLE_EQ(r.Values[198], 0.698);
}

TEST(AscMiltonRoy, TransmittanceOrAbsorbanceByWrittenDecimals) {
    CleanState state;
    struct Case {
        const char* what;
        std::vector<std::string> data;
        SpecYKind kind;
    };
    auto mixed = [](int n) {  // two decimals first; four decimals from pair 220 on
        std::vector<std::string> d = pairs(300, 1, 220, "%.2f", 50, 0.01);
        std::vector<std::string> tail = pairs(520, 1, n - 220, "%.4f", 0.5, 0);
        d.insert(d.end(), tail.begin(), tail.end());
        return d;
    };
    const Case cases[] = {
        {"percent transmittance with one decimal", pairs(400, 1, 20, "%.1f", 50, 1), SpecYTransmittance},
        {"whole percent values", pairs(400, 1, 20, "%.0f", 50, 1), SpecYTransmittance},
        {"absorbance with four decimals, also round ones", pairs(400, 1, 20, "%.4f", 1, 0), SpecYAbsorbance},
        {"a tie is absorbance", [] {
             std::vector<std::string> d = pairs(400, 1, 3, "%.1f", 50, 1);
             std::vector<std::string> t = pairs(403, 1, 3, "%.3f", 0.5, 0);
             d.insert(d.end(), t.begin(), t.end());
             return d;
         }(), SpecYAbsorbance},
        {"pairs 220-228 vote in files of more than 242 pairs", mixed(243), SpecYAbsorbance},
        {"but not in shorter ones", mixed(242), SpecYTransmittance},
        {"five pairs vote too", pairs(400, 1, 5, "%.1f", 50, 1), SpecYTransmittance},
    };
    for (const Case& c : cases) {
        const TSpectrumRecord r = readAsc(miltonRoy("x", c.data));
        EXPECT_EQ(r.YKind, c.kind) << c.what;
    }
    // Percent transmittance becomes -log10(T/100).
    const TSpectrumRecord r = readAsc(miltonRoy("x", pairs(400, 1, 6, "%.1f", 100, -10)));
    EXPECT_DOUBLE_EQ(r.Values[0], 0.0);
    EXPECT_DOUBLE_EQ(r.Values[4], -std::log10(0.6));
}

TEST(AscMiltonRoy, PairsAndGrid) {
    CleanState state;
    // One blank or several between x and y give the same pair.
    const TSpectrumRecord one = readAsc(miltonRoy("x", pairs(400, 1, 6, "%.4f", 0.1, 0.1, " ")));
    const TSpectrumRecord many = readAsc(miltonRoy("x", pairs(400, 1, 6, "%.4f", 0.1, 0.1, "      ")));
    EXPECT_EQ(one.Values, many.Values);
    EXPECT_EQ(one.PointCount(), 5);
    // Falling x is reversed once; the file's last pair stays unused.
    const TSpectrumRecord falling = readAsc(miltonRoy("x", pairs(500, -10, 6, "%.4f", 0.1, 0.1)));
    ASSERT_EQ(falling.PointCount(), 5);
    EXPECT_EQ(falling.FirstX, 460.0);
    EXPECT_EQ(falling.StepX, 10.0);
    EXPECT_DOUBLE_EQ(falling.Values[0], 0.5);
    EXPECT_DOUBLE_EQ(falling.Values[4], 0.1);
    // Three pairs give two points; fewer give none, without dividing by zero.
    EXPECT_EQ(readAsc(miltonRoy("x", pairs(400, 1, 3, "%.4f", 0.1, 0.1))).PointCount(), 2);
    EXPECT_EQ(readAsc(miltonRoy("x", pairs(400, 1, 2, "%.4f", 0.1, 0.1))).PointCount(), 0);
    EXPECT_EQ(readAsc(miltonRoy("x", {})).PointCount(), 0);
    EXPECT_EQ(readAsc(miltonRoy("x", pairs(400, 0, 5, "%.4f", 0.1, 0.1))).PointCount(), 0);
    // A missing or bad field is the conversion error.
    std::vector<std::string> d = pairs(400, 1, 6, "%.4f", 0.1, 0.1);
    d[3] = "403";
    EXPECT_EQ(ascError<vx::ConversionError>(miltonRoy("x", d)), "'' is not a valid floating point value");
    d[3] = "403 0,5x";
    EXPECT_EQ(ascError<vx::ConversionError>(miltonRoy("x", d)), "'0.5x' is not a valid floating point value");
    EXPECT_THROW(readAsc({"x", "y"}), vx::ListIndexError);
}

// The file's last line is never data, whatever ends it, and of the pairs read the last is not used.
TEST(AscMiltonRoy, LastLineAndLineEnds) {
    CleanState state;
    std::vector<std::string> head = miltonRoy("x", {});
    head.pop_back();
    const std::vector<std::string> data = pairs(400, 1, 7, "%.4f", 0.1, 0.1);
    struct Case {
        const char* name;
        std::vector<std::string> tail;
        bool endsLastLine;
        int points;
    } cases[] = {
        {"an empty last line", {""}, true, 6},
        {"two empty lines", {"", ""}, true, 6},
        {"the last pair as last line", {}, true, 5},
        {"the last pair as last line without its end", {}, false, 5},
        {"a bad number on the last line", {"406 x"}, false, 6},
    };
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (eol[0] == '\n' ? ", LF" : eol[1] ? ", CR LF" : ", CR"));
            std::string text;
            std::vector<std::string> lines = head;
            lines.insert(lines.end(), data.begin(), data.end());
            lines.insert(lines.end(), c.tail.begin(), c.tail.end());
            for (const std::string& l : lines) text += l + eol;
            if (!c.endsLastLine) text.resize(text.size() - std::strlen(eol));
            TSpectrumRecord r;
            ReadAscBytes(r, text, kName, kFileDate);
            ASSERT_EQ(r.PointCount(), c.points);
            EXPECT_EQ(r.FirstX, 400.0);
            EXPECT_EQ(r.StepX, 1.0);
            for (int i = 0; i < c.points; ++i) EXPECT_DOUBLE_EQ(r.Values[static_cast<std::size_t>(i)], 0.1 * (i + 1));
        }
    }
}

// Beyond the pairs that vote, the usual lines are read in one pass: they must give what the fields
// give, in both regional settings; a tab is no blank in these files.
TEST(AscMiltonRoy, NumberFormsOfTheDataLines) {
    for (char sep : {'.', ','}) {
        CleanState state(sep);
        std::vector<std::string> d = pairs(400, 1, 12, "%.4f", 0.1, 0);
        d[9] = "409,0 0,25";
        d[10] = "  4.10e2    +25E-2   ";
        d[11] = "411 .25";
        d.push_back("412 0.250000000000000000000001");
        d.push_back("413 0.25");
        const TSpectrumRecord r = readAsc(miltonRoy("x", d));
        ASSERT_EQ(r.PointCount(), 13) << sep;
        for (std::size_t i = 9; i < 13; ++i) EXPECT_EQ(r.Values[i], 0.25) << sep << " " << i;
        d[10] = "410\t0.25";
        EXPECT_EQ(ascError<vx::ConversionError>(miltonRoy("x", d)),
                  fmt_test::withSeparator("'410\t0.25' is not a valid floating point value", sep));
    }
}

TEST(AscMiltonRoy, LegendRules) {
    CleanState state;
    const auto title = [](const std::string& first) { return readAsc(miltonRoy(first, pairs(400, 1, 4, "%.4f", 1, 0))).Title.str(); };
    EXPECT_EQ(title("no three blanks here"), "dye 42.asc");
    EXPECT_EQ(title("A.ASC   Sample ID:"), "dye 42.asc");  // the rest has 13 characters
    EXPECT_EQ(title("A.ASC   Sample ID: b"), "b");
}

// ---- Dispatch

TEST(AscFile, PerkinElmerTextGoesToItsReaderAndFilesOpenFromDisk) {
    CleanState state;
    TempDir dir;
    std::vector<std::string> pe = {"PE UV       SUBTECH     SPECTRUM    ASCII", "", "", "01/02/03", "04:05", "", "",
                                   "", "pe sample", "#GR", "NM", "A", "1", "0", "#DATA"};
    for (int i = 0; i < 5; ++i) pe.push_back(std::to_string(300 + i) + "\t0.5");
    pe.push_back("#END");
    TSpectrumRecord r;
    LoadAscFile(r, dir.write("pe.asc", crlfLines(pe)), ReadLimitOf(OpenFormat::Asc));
    EXPECT_EQ(r.SpecType, "perkinelmer_sp");
    EXPECT_EQ(r.SourceKind, 18);
    EXPECT_EQ(r.PointCount(), 5);
    EXPECT_EQ(r.Title, "pe sample");

    LoadAscFile(r, dir.write("mr.asc", crlfLines(miltonRoy("x", pairs(400, 1, 6, "%.4f", 0.1, 0.1)))),
                ReadLimitOf(OpenFormat::Asc));
    EXPECT_EQ(r.SpecType, "milton_asc");
    EXPECT_EQ(r.PointCount(), 5);
    EXPECT_EQ(r.DateText, "12-Mar-1999 10:00");
    EXPECT_THROW(LoadAscFile(r, dir.file("none.asc"), ReadLimitOf(OpenFormat::Asc)), vx::FileError);
}

}  // namespace
