#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/units.h"
#include "formats/text_spectra.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

using numtext::FloatFormat;

// n rows "x<sep>y" from x0 in steps of 1, y from y0 in steps of dy, decimals with `dec`.
std::string rows(char sep, char dec, int n, int x0, double y0, double dy) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        std::string y = numtext::FloatToStrF(y0 + dy * i, numtext::FloatFormat::General, 6, 0, dec);
        out += std::to_string(x0 + i) + sep + y + "\r\n";
    }
    return out;
}

class TextSpectra : public ::testing::TestWithParam<char> {
protected:
    void SetUp() override { numtext::setDecimalSeparator(GetParam()); }
    void TearDown() override { numtext::setDecimalSeparator('.'); }
    void read(const std::string& text, const std::string& file = "/data/run1.csv") {
        LoadTextSpectraData(text, file, 0, "2026-01-02 03:04:05", list);
    }
    ui::ScopedScriptedBackend ui_;
    TSpectraList list;
};

INSTANTIATE_TEST_SUITE_P(Separators, TextSpectra, ::testing::Values('.', ','));

TEST_P(TextSpectra, OneSpectrumWithTitleLine) {
    read("nm,Abs\r\n" + rows(',', '.', 8, 400, 0.5, 0.1));
    ASSERT_EQ(list.Count(), 1);
    const auto& r = list[0];
    EXPECT_EQ(r.Title.str(), "run1");
    EXPECT_EQ(r.FileName.str(), "/data/run1.csv");
    EXPECT_EQ(r.SpecType.str(), "generic_csv");
    EXPECT_EQ(r.SourceKind, 21);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
    EXPECT_DOUBLE_EQ(r.StepX, 1.0);
    ASSERT_EQ(r.PointCount(), 8);
    EXPECT_DOUBLE_EQ(r.Values[2], 0.7);
    EXPECT_EQ(r.DateText.str(), "2026-01-02 03:04:05");
}

TEST_P(TextSpectra, SemicolonsWithDecimalCommas) {
    read("x;y\r\n400;0,5\r\n401;-0,25\r\n402;1,5E-3\r\n403;5e-1\r\n");
    ASSERT_EQ(list.Count(), 1);
    const auto& v = list[0].Values;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_DOUBLE_EQ(v[0], 0.5);
    EXPECT_DOUBLE_EQ(v[1], -0.25);
    EXPECT_DOUBLE_EQ(v[2], 0.0015);
    EXPECT_DOUBLE_EQ(v[3], 0.5);
}

// A first line of numbers only is data (a headerless file keeps its first point); a first line with any
// other field is the title line.
TEST_P(TextSpectra, HeaderlessFirstLineIsAPoint) {
    struct Case {
        const char* text;
        double firstX;
        int points;
        const char* title;
    } cases[] = {
        {"400\t0.5\r\n401\t0.6\r\n402\t0.7\r\n403\t0.8\r\n", 400, 4, "run1"},
        {"400,0.5\r\n401,0.6\r\n402,0.7\r\n403,0.8\r\n", 400, 4, "run1"},
        {"400;0,5\r\n401;0,6\r\n402;0,7\r\n403;0,8\r\n", 400, 4, "run1"},
        {" 400 ; 0,5 ;\r\n401;0,6\r\n402;0,7\r\n403;0,8\r\n", 400, 4, "run1"},  // blanks, closing ";"
        {"400;0,5;x\r\n401;0,6\r\n402;0,7\r\n403;0,8\r\n", 401, 3, "run1"},     // a text field
        {"400;;0,5\r\n401;0,6\r\n402;0,7\r\n403;0,8\r\n", 401, 3, "run1"},      // an empty field
        {"nm;A\r\n400;0,5\r\n401;0,6\r\n402;0,7\r\n", 400, 3, "run1"},
    };
    for (const auto& c : cases) {
        list.Clear();
        read(c.text);
        ASSERT_EQ(list.Count(), 1) << c.text;
        EXPECT_DOUBLE_EQ(list[0].FirstX, c.firstX) << c.text;
        EXPECT_EQ(list[0].PointCount(), c.points) << c.text;
        EXPECT_EQ(list[0].Title.str(), c.title) << c.text;
        EXPECT_EQ(list[0].SpecType.str(), "generic_csv") << c.text;
    }
    // Several columns of numbers from the first line on: every line is a point of every spectrum.
    ui_->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"] = "1";
        return true;
    };
    list.Clear();
    read("400;1;2;3\r\n401;4;5;6\r\n402;7;8;9\r\n");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[2].PointCount(), 3);
    EXPECT_DOUBLE_EQ(list[2].Values[0], 3.0);
}

TEST_P(TextSpectra, TitlesLoseBlanksAndTabsAround) {
    // The last title of a tab-separated title line runs to the line end, its tabs with it.
    read("nm\t a \t b\t\r\nnm\tA\tA\r\n400\t1\t2\r\n401\t3\t4\r\n402\t5\t6\r\n403\t7\t8\r\n");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title.str(), "a");
    EXPECT_EQ(list[1].Title.str(), "b");
    list.Clear();
    read(";\t\tfilm 77K\t ;\r\nnm;A;\r\n400;1\r\n401;2\r\n402;3\r\n");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), "film 77K");
    EXPECT_DOUBLE_EQ(list[0].Temperature, 77.0);
}

TEST_P(TextSpectra, FourColumnsAskForTheLayout) {
    const std::string text = "x;a;b;c\r\n400;1;2;3\r\n401;4;5;6\r\n402;7;8;9\r\n";
    ui_->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"] = "1";
        return true;
    };
    read(text);
    ASSERT_EQ(ui_->asked.size(), 1u);
    EXPECT_EQ(ui_->asked[0].dialog, "TChooseDia");
    EXPECT_EQ(ui_->asked[0].fields.at("Label2"), "/data/run1.csv");
    ASSERT_EQ(list.Count(), 3);
    // A title line right above the data names no column in this layout.
    EXPECT_EQ(list[0].Title.str(), "run1");
    EXPECT_EQ(list[2].Title.str(), "run1");
    EXPECT_DOUBLE_EQ(list[2].Values[2], 9.0);

    list.Clear();
    ui_->onAsk = nullptr;  // OK with the default item: x/y pairs
    read(text);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_DOUBLE_EQ(list[1].FirstX, 2.0);
    EXPECT_DOUBLE_EQ(list[1].StepX, 3.0);

    list.Clear();
    ui_->onAsk = [](ui::Query&) { return false; };
    read(text);
    EXPECT_EQ(list.Count(), 0);
}

TEST_P(TextSpectra, ExcitationEmissionMatrix) {
    read("Wavelength;300;310;320\r\n400;1;-;-0.25\r\n401;2;2;1.5E-3\r\n402;3;3;3\r\n");
    EXPECT_TRUE(ui_->asked.empty());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title.str(), "EEM Fluorescence, EX=300");
    EXPECT_DOUBLE_EQ(list[2].ExcitationWl, 320.0);
    EXPECT_DOUBLE_EQ(list[1].Values[0], 0.0);  // "-" cell
    EXPECT_DOUBLE_EQ(list[2].Values[0], -0.25);
    EXPECT_DOUBLE_EQ(list[2].Values[1], 0.0015);
}

TEST_P(TextSpectra, TitlesSetTemperatureAndKinds) {
    read(";sample 77K;\r\nnm;A;\r\n400;1\r\n401;2\r\n402;3\r\n");
    read(";film at RT\r\nnm;A\r\n400;1\r\n401;2\r\n402;3\r\n");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title.str(), "sample 77K");
    EXPECT_DOUBLE_EQ(list[0].Temperature, 77.0);
    EXPECT_DOUBLE_EQ(list[1].Temperature, 295.0);

    struct Case {
        const char* header;
        int kind;
        double first;  // stored value of 50 in the column
    } cases[] = {
        {"nm;%T", 1, -std::log10(0.5)},     {"nm;Transmittance", 1, -std::log10(0.5)},
        {"nm;Epsilon", 3, 50 * 1e-5},       {"nm;log(Epsilon)", 4, std::pow(10.0, 50.0) * 1e-5},
        {"nm;Intensity", 5, 50.0},          {"nm;Absorbance", 2, 50.0},
        {"nm;%R", 6, -std::log10(0.5)},
        {"Wavelength [nm];", 2, 50.0},  // an empty title matches no keyword
    };
    for (const auto& c : cases) {
        list.Clear();
        read(std::string(c.header) + "\r\n" + rows(';', ',', 8, 400, 50, -5));
        ASSERT_EQ(list.Count(), 1) << c.header;
        EXPECT_EQ(CodeOf(list[0].YKind), c.kind) << c.header;
        EXPECT_NEAR(list[0].Values[0] / c.first, 1.0, 1e-12) << c.header;
    }
}

TEST_P(TextSpectra, WavenumberTitlesGiveFallingX) {
    read("Wavenumbers [1/cm];Absorbance\r\n" + rows(';', '.', 8, 1000, 0.1, 0.1));
    read("Raman shift [1/cm];Intensity\r\n100;5\r\n102;6\r\n104;7\r\n");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].XUnit, SpecXWavenumber);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 1007.0);
    EXPECT_DOUBLE_EQ(list[0].StepX, -1.0);
    EXPECT_DOUBLE_EQ(list[0].Values[0], 0.8);
    EXPECT_EQ(list[1].XUnit, SpecXRamanShift);
    EXPECT_EQ(list[1].YKind, SpecYIntensity);
}

TEST_P(TextSpectra, UnsoundInputAddsNothing) {
    // A single pair, equal x values, an empty table.
    for (const char* text : {"x;y\r\n400;1\r\n\r\n", "x;y\r\n400;1\r\n400;2\r\n400;3\r\n", "a\r\nb\r\nc\r\n"}) {
        list.Clear();
        read(text);
        EXPECT_EQ(list.Count(), 0) << text;
    }
    try {
        read("x;y\r\n400;1\r\n");
        FAIL();
    } catch (const vx::ListIndexError& e) {
        EXPECT_EQ(std::string(e.what()), "List index out of bounds (-5)");
    }
    try {
        read("x;y\r\n400;1\r\n401;abc\r\n402;3\r\n");
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(list.Count(), 0);
}

TEST_P(TextSpectra, ShortLinesAndEmptyCellsAreSkipped) {
    // Pairs layout where the second spectrum is shorter.
    ui_->onAsk = nullptr;
    read("x;a;x;b\r\n400;1;500;5\r\n401;2;501;6\r\n402;3;;\r\n403;4\r\n");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].PointCount(), 4);  // the short last line gets its closing separator
    EXPECT_EQ(list[1].PointCount(), 2);  // empty cells are no points
    list.Clear();
    // After the table's first empty line no separator is added: a one-separator line is skipped.
    read("x;y\r\n400;1\r\n401;2\r\n\r\n402;3\r\n");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].PointCount(), 2);
}

// Text converted twice ends its lines with CR CR LF: it reads as with CR LF (the empty lines that CR CR
// LF made of it ended the table before its first point).
TEST_P(TextSpectra, DoublyConvertedLineEnds) {
    const std::string once = "nm,Abs\r\n" + rows(',', '.', 8, 400, 0.5, 0.1);
    std::string twice = once;
    for (std::size_t p = 0; (p = twice.find("\r\n", p)) != std::string::npos; p += 3) twice.insert(p, "\r");
    read(once);
    read(twice);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1].Title.str(), list[0].Title.str());
    EXPECT_EQ(list[1].FirstX, 400.0);
    EXPECT_EQ(list[1].Values, list[0].Values);
    EXPECT_EQ(list[1].PointCount(), 8);
}

TEST_P(TextSpectra, ClipboardMode) {
    ui_->clipboard = "nm\tA\r\n" + rows('\t', '.', 8, 400, 0.1, 0.1);
    LoadTextSpectraFromClipboard(list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].FileName.str(), "cliptmp");
    EXPECT_EQ(list[0].Title.str(), "");
    EXPECT_EQ(list[0].DateText.str(), "1899-12-30 00:00:00");
    EXPECT_EQ(list[0].PointCount(), 8);
}

// A short pasted table: with fewer than eight lines the separators are probed on the title line, which
// tells nothing of the numbers when it holds no digit; the last line is probed then. Longer tables and
// tab tables in the regional form read as they always did.
TEST_P(TextSpectra, ShortPastedTablesProbeALineWithNumbers) {
    const std::string dec(1, numtext::decimalSeparator());
    struct Case {
        std::string text;
        int points;
    } cases[] = {
        {"Wavelength [nm];Absorbance\r\n" + rows(';', '.', 6, 400, 0.25, 0.1), 6},
        {"Wavelength [nm];Absorbance\r\n" + rows(';', '.', 5, 400, 0.25, 0.1), 5},
        {"Wavelength [nm];Absorbance\r\n" + rows(';', '.', 6, 400, 0.25, 0.1) + "\r\n", 6},
        {"Wavelength [nm];Absorbance\r\n" + rows(';', '.', 7, 400, 0.25, 0.1), 7},
        {"Wavelength [nm];Absorbance\r\n" + rows(';', ',', 5, 400, 0.25, 0.1), 5},
        {"Wavelength [nm]\tAbsorbance\r\n" + rows('\t', dec[0], 5, 400, 0.25, 0.1), 5},
        {"Wavelength [nm]\tAbsorbance\r\n" + rows('\t', dec[0], 7, 400, 0.25, 0.1), 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        list.Clear();
        ui_->clipboard = c.text;
        LoadTextSpectraFromClipboard(list);
        ASSERT_EQ(list.Count(), 1);
        const auto& r = list[0];
        EXPECT_DOUBLE_EQ(r.FirstX, 400.0);
        EXPECT_DOUBLE_EQ(r.StepX, 1.0);
        ASSERT_EQ(r.PointCount(), c.points);
        EXPECT_NEAR(r.Values[1], 0.35, 1e-12);
        EXPECT_EQ(r.YKind, SpecYAbsorbance);
    }
}

// The CSV our writer produces: cells end with the list separator, numbers in the regional form.
std::string ownCsv(const std::vector<TSpectrumRecord>& recs, bool shared) {
    const std::string c(1, numtext::listSeparator());
    auto xTitle = [](SpecXUnit x) {
        const int32_t u = CodeOf(x);
        return u == 1 ? "Wavelength [nm]" : u == 2 ? "Wavenumbers [1/cm]" : u == 5 ? "Raman shift [1/cm]" : "";
    };
    const char* yFirst[] = {"", "Transmittance", "Absorbance", "Epsilon", "log(Epsilon)", "Intensity", "Reflectance"};
    const char* yLater[] = {"", "transmittance", "absorbance", "epsilon", "log(epsilon)", "intensity", "Reflectance"};
    std::string row0, row1;
    int rows = 0;
    for (std::size_t k = 0; k < recs.size(); ++k) {
        const auto& r = recs[k];
        if (k == 0 || !shared) row0 += c;
        row0 += r.Title.str() + c;
        if (k == 0 || !shared) row1 += std::string(xTitle(r.XUnit)) + c;
        row1 += std::string(k == 0 ? yFirst[CodeOf(r.YKind)] : yLater[CodeOf(r.YKind)]) + c;
        rows = std::max(rows, r.PointCount());
    }
    std::string out = row0 + "\r\n" + row1 + "\r\n";
    for (int i = 0; i < rows; ++i) {
        for (std::size_t k = 0; k < recs.size(); ++k) {
            const auto& r = recs[k];
            if (i >= r.PointCount()) {
                out += c + c;
                continue;
            }
            if (k == 0 || !shared) out += numtext::FloatToStrF(r.XAt(i), FloatFormat::Fixed, 7, 3) + c;
            const SpecYKind mode = r.YKind == SpecYIntensity ? SpecYAbsorbance : r.YKind;
            out += numtext::FloatToStrF(StoredToDisplayY(r, r.Values[i], mode), FloatFormat::General, 5, 0) + c;
        }
        out += "\r\n";
    }
    return out;
}

TSpectrumRecord rec(const char* title, int32_t unit, int32_t kind, double first, double step, int n) {
    TSpectrumRecord r;
    r.Title = title;
    r.XUnit = *XUnitOfCode(unit);
    r.YKind = *YKindOfCode(kind);
    r.FirstX = first;
    r.StepX = step;
    r.Concentration = 1e-5;
    for (int i = 0; i < n; ++i) r.Values.push_back(0.1 + 0.01 * i);
    return r;
}

void expectSame(const TSpectrumRecord& want, const TSpectrumRecord& got) {
    EXPECT_EQ(got.XUnit, want.XUnit);
    EXPECT_EQ(got.YKind, want.YKind);
    EXPECT_NEAR(got.FirstX, want.FirstX, 1e-3);
    EXPECT_NEAR(got.StepX, want.StepX, 1e-6);
    ASSERT_EQ(got.PointCount(), want.PointCount());
    const SpecYKind mode = want.YKind == SpecYIntensity ? SpecYAbsorbance : want.YKind;
    for (int i = 0; i < want.PointCount(); ++i) {
        double a = StoredToDisplayY(want, want.Values[i], mode), b = StoredToDisplayY(got, got.Values[i], mode);
        EXPECT_NEAR(b, a, 1e-4 * std::fabs(a)) << i;
    }
}

TEST_P(TextSpectra, OwnCsvReadsBackSharedX) {
    std::vector<TSpectrumRecord> recs = {rec("first", 1, 2, 400, 0.5, 30), rec("second", 1, 1, 400, 0.5, 30)};
    read(ownCsv(recs, true));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title.str(), "first");
    EXPECT_EQ(list[1].Title.str(), "second");  // not "second," with the line's closing separator
    expectSame(recs[0], list[0]);
    expectSame(recs[1], list[1]);
}

TEST_P(TextSpectra, OwnCsvReadsBackPerSpectrumX) {
    std::vector<TSpectrumRecord> recs = {rec("ir", 2, 3, 4000, -2, 25), rec("uv", 1, 5, 300, 1, 12),
                                         rec("raman", 5, 5, 500, -1.5, 20)};
    read(ownCsv(recs, false));
    ASSERT_EQ(ui_->asked.size(), 1u);  // pairs, the dialog's default
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title.str(), "ir");
    EXPECT_EQ(list[2].Title.str(), "raman");
    for (int k = 0; k < 3; ++k) expectSame(recs[static_cast<std::size_t>(k)], list[k]);
}

}  // namespace

#include <charconv>
#include <random>

#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"

namespace {

TEST(TextNumbers, TokensAsTheReadersTakeThem) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"0.5", true, 0.5},       {"0,5", true, 0.5},         {"-0.25", true, -0.25},   {"1.5E-3", true, 0.0015},
        {"5e-1", true, 0.5},      {" 42 ", true, 42.0},       {"+7", true, 7.0},        {".5", true, 0.5},
        {"5.", true, 5.0},        {"1e400", false, 0},        {"1.2.3", false, 0},      {"1,5,0", false, 0},
        {"", false, 0},           {" ", false, 0},            {"-", false, 0},          {"e5", false, 0},
        {"5e", false, 0},         {"nan", false, 0},          {"inf", false, 0},        {"0x10", false, 0},
        {"1\t", false, 0},        {"12345678901234567890123", true, 12345678901234567890123.0},
        {"0.000000000000000000000000001", true, 1e-27},
    };
    for (const auto& c : cases) {
        double v = -99.0;
        EXPECT_EQ(ParseNumberToken(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// The fast path must give exactly what the standard conversion gives.
TEST(TextNumbers, FastPathIsExact) {
    std::mt19937_64 rng(12345);
    std::uniform_int_distribution<int> digits(1, 17), exp(-30, 30);
    std::uniform_int_distribution<unsigned long long> mant(0, 99999999999999999ULL);
    char buf[64];
    for (int i = 0; i < 200000; ++i) {
        int len = std::snprintf(buf, sizeof buf, "%llu", mant(rng) % 100000000000000000ULL);
        std::string t(buf, static_cast<std::size_t>(len));
        t = t.substr(0, static_cast<std::size_t>(digits(rng)));
        if (t.size() > 1 && i % 3 == 0) t.insert(t.size() / 2, ".");
        if (i % 5 == 0) t += "e" + std::to_string(exp(rng));
        double want = 0.0, got = 0.0;
        auto r = std::from_chars(t.data(), t.data() + t.size(), want);
        ASSERT_EQ(r.ec, std::errc()) << t;
        ASSERT_TRUE(ParseNumberToken(t, got)) << t;
        ASSERT_EQ(got, want) << t;
    }
}

// The readers' conversion names the first value as read whose stored form overflows.
TEST(TextNumbers, EpsilonLogarithmsThatOverflowAreNamed) {
    TSpectrumRecord r;
    r.Values = {4.0, 400.0, 500.0, 3.0};
    const auto unsound = EpsilonToStored(r, true);
    ASSERT_TRUE(unsound);
    EXPECT_EQ(*unsound, 400.0);
    EXPECT_NEAR(r.Values[3], 1e3 * 1e-5, 1e-15);
}

TEST(TextNumbers, LineViewsSplitAtEveryLineEnd) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\rb\n\nc", {"a", "", "b", "", "c"}},
        {"\r\n", {""}},
        // A CR LF text converted once more: CR CR LF is one line end; a CR before it is one of its own.
        {"a\r\r\nb\r\r\n", {"a", "b"}},
        {"a\r\r\n\r\r\nb", {"a", "", "b"}},
        {"a\r\r\r\nb", {"a", "", "b"}},
        {"a\r\r", {"a", ""}},
        {"a\r\r\n", {"a"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        LineCursor lines(c.text);
        for (std::string_view l; lines.Next(l);) got.emplace_back(l);
        EXPECT_EQ(got, c.lines) << c.text;
        EXPECT_EQ(CountLines(c.text), c.lines.size()) << c.text;
    }
}

TEST(TextNumbers, ResamplingKeepsPairsOnTheGridAndInterpolatesBetween) {
    TSpectrumRecord r;
    EXPECT_FALSE(ResampleXY(std::vector<double>{400}, std::vector<double>{1}, r));
    EXPECT_FALSE(ResampleXY(std::vector<double>{400, 400}, std::vector<double>{1, 2}, r));
    ASSERT_TRUE(ResampleXY(std::vector<double>{0, 1, 3, 4, 6}, std::vector<double>{0, 10, 30, 40, 60}, r));
    EXPECT_DOUBLE_EQ(r.FirstX, 0.0);
    EXPECT_DOUBLE_EQ(r.StepX, 1.5);
    ASSERT_EQ(r.PointCount(), 5);
    const double want[] = {0, 15, 30, 45, 60};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(r.Values[i], want[i], 1e-12) << i;
}

}  // namespace

#include "formats/csv_writer.h"

namespace {

class CsvRoundTrip : public ::testing::TestWithParam<char> {
protected:
    void SetUp() override { numtext::setDecimalSeparator(GetParam()); }
    void TearDown() override { numtext::setDecimalSeparator('.'); }
    ui::ScopedScriptedBackend ui_;
};

INSTANTIATE_TEST_SUITE_P(Separators, CsvRoundTrip, ::testing::Values('.', ','));

// What our CSV writer writes reads back to the same spectra.
TEST_P(CsvRoundTrip, WriterOutputReadsBack) {
    struct Set {
        std::vector<TSpectrumRecord> recs;
    } sets[] = {
        {{rec("one", 1, 2, 400, 0.5, 40)}},
        {{rec("a", 1, 2, 400, 0.5, 40), rec("b", 1, 6, 400, 0.5, 40)}},
        {{rec("ir", 2, 1, 4000, -4, 30), rec("uv", 1, 5, 300, 1, 12), rec("eps", 1, 3, 250, 2, 20),
          rec("raman", 5, 5, 500, -1.5, 25)}},
    };
    for (auto& set : sets) {
        TSpectraList out;
        for (const auto& r : set.recs) out.Add(std::make_unique<TSpectrumRecord>(r));
        TCsvText csv = CsvExportText(out);
        ASSERT_TRUE(csv.refusal.empty()) << csv.refusal;
        TSpectraList back;
        LoadTextSpectraData(csv.text, "/t/x.csv", 0, "d", back);
        ASSERT_EQ(back.Count(), out.Count()) << csv.text.substr(0, 200);
        for (int k = 0; k < out.Count(); ++k) {
            expectSame(out[k], back[k]);
            EXPECT_EQ(back[k].Title.str(), out[k].Title.str());
        }
    }
}

}  // namespace

namespace {

// Plain lines and lines with padded, marked or missing cells give the same points.
TEST_P(TextSpectra, SharedXColumnWithIrregularCells) {
    ui_->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"] = "1";
        return true;
    };
    read("x;a;b;c\r\n400;1;2;3\r\n401; 4 ;5;6\r\n402;X7;8;9\r\n403;10;;12\r\n404;13;14\r\n405;16;17;18;99\r\n"
         "406;19;20;21\r\n");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].PointCount(), 6);  // the X cell is skipped
    EXPECT_EQ(list[1].PointCount(), 6);  // the empty cell is skipped
    EXPECT_EQ(list[2].PointCount(), 6);  // the short line has no third value
    // Every column lies on y = 3x - (1199, 1198, 1197), so its resampled points do too.
    for (int k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(list[k].FirstX, 400.0);
        EXPECT_DOUBLE_EQ(list[k].StepX, 1.2);
        for (int j = 0; j < 6; ++j) EXPECT_NEAR(list[k].Values[j], 3 * list[k].XAt(j) - (1199 - k), 1e-9) << k;
    }
}

}  // namespace
