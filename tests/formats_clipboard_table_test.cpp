// Copy Data's clipboard table and its way back through the delimited-text reader.
#include <gtest/gtest.h>

#include <cmath>

#include "core/helpers.h"
#include "formats/clipboard_table.h"
#include "formats/text_spectra.h"
#include "platform/numtext.h"
#include "tests/tools_test_support.h"
#include "platform/ui.h"

namespace {

using SepGuard = tooltest::SeparatorGuard;

std::unique_ptr<TSpectrumRecord> Rec(const std::string& title, double firstX, double step, std::vector<double> v,
                                     SpecXUnit xUnit = SpecXNanometer, SpecYKind yKind = SpecYAbsorbance) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->FirstX = firstX;
    r->StepX = step;
    r->Values = std::move(v);
    r->XUnit = xUnit;
    r->YKind = yKind;
    r->PathLength = 1.0;
    return r;
}

}  // namespace

TEST(ClipboardTable, SharedGridGivesOneXColumn) {
    SepGuard point('.');
    TSpectraList list;
    list.Add(Rec("first", 400, 0.5, {0.5, 0.25, 0.125}));
    list.Add(Rec("second", 400, 0.5, {1, 2, 3}, SpecXNanometer, SpecYIntensity));
    EXPECT_EQ(ClipboardDataText(list),
              "\tfirst\tsecond\r\n"
              "Wavelength [nm]\tAbsorbance\tIntensity\r\n"
              "400.000\t0.5\t1\r\n"
              "400.500\t0.25\t2\r\n"
              "401.000\t0.125\t3\r\n");
}

TEST(ClipboardTable, OwnGridsGiveColumnPairsWithEmptyCellsAfterTheShorter) {
    SepGuard comma(',');
    TSpectraList list;
    list.Add(Rec("a\tb", 4000, -2, {0.1, 0.2, 0.3}, SpecXWavenumber));
    list.Add(Rec("t", 500, 1, {1, 0}, SpecXNanometer, SpecYTransmittance));
    EXPECT_EQ(ClipboardDataText(list),
              "\ta b\t\tt\r\n"
              "Wavenumbers [1/cm]\tAbsorbance\tWavelength [nm]\tTransmittance\r\n"
              "4000,000\t0,1\t500,000\t0,1\r\n"
              "3998,000\t0,2\t501,000\t1\r\n"
              "3996,000\t0,3\t\t\r\n");
    EXPECT_EQ(ClipboardDataText(TSpectraList()), "");
}

TEST(ClipboardTable, ValuesInTheirOwnKindWithConcentrationTimesPathTakenNow) {
    struct Case {
        SpecYKind yKind;
        double conc, path, stored;
        double expected;
    };
    const Case cases[] = {
        {SpecYTransmittance, 0, 1, 1.0, 0.1},
        {SpecYReflectance, 0, 1, 2.0, 0.01},
        {SpecYIntensity, 0, 1, 123.0, 123.0},
        {SpecYEpsilon, 1e-5, 2, 0.5, 25000.0},
        {SpecYEpsilon, 0, 1, 0.5, 0.0},  // no concentration: no value, never a division by 0
        {SpecYLogEpsilon, 1e-5, 1, 0.1, 4.0},
        {SpecYLogEpsilon, 1e-5, 1, 1e-6, -1.0},
        {SpecYLogEpsilon, 1e-5, 1, 0.0, 0.0},
        {SpecYLogEpsilon, 1e-5, 1, -0.2, 0.0},
        {SpecYLogEpsilon, 1e-5, 0, 0.2, 0.0},
    };
    for (const Case& c : cases) {
        auto r = Rec("r", 400, 1, {c.stored, c.stored}, SpecXNanometer, c.yKind);
        r->Concentration = c.conc;
        r->PathLength = c.path;
        r->ConcTimesPath = 99.0;  // stale from an earlier conversion: not used
        EXPECT_NEAR(StoredYInOwnKind(*r, c.stored), c.expected, 1e-9 * std::max(1.0, std::fabs(c.expected)))
            << CodeOf(c.yKind) << " " << c.stored;
    }
}

TEST(ClipboardTable, TimeSeriesGetATimeLine) {
    SepGuard point('.');
    TSpectraList list;
    list.Add(Rec("s1", 400, 1, {1, 2}));
    list.Add(Rec("s2", 400, 1, {3, 4}));
    list[0].SourceKind = 18;
    list[0].DateText = "2024-05-01 12:34:56";
    list[1].SourceKind = 18;
    list[1].DateText = "2024-05-01 12:35:10";
    const auto lines = SplitLines(ClipboardDataText(list));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "Time\t12:34:56\t12:35:10");
    // Only the first spectrum decides whether the line is there.
    list[0].SourceKind = 21;
    EXPECT_EQ(SplitLines(ClipboardDataText(list)).size(), 4u);
}

// Copy Data and then Paste Data give the same spectra, in both decimal separators.
class ClipboardRoundTrip : public ::testing::TestWithParam<char> {};

TEST_P(ClipboardRoundTrip, PastedTableGivesTheCopiedSpectra) {
    SepGuard sep(GetParam());
    ui::ScopedScriptedBackend ui;
    ui->onAsk = [](ui::Query& q) {
        q.fields["RadioGroup1"] = "0";  // x y x y: the layout Copy Data writes for own grids
        return true;
    };
    std::vector<TSpectraList> sources(3);
    // One spectrum; two on one grid; two on their own grids in 1/cm (descending, a name with separators
    // in it) and nm transmittance.
    sources[0].Add(Rec("alpha", 300, 0.25, {0.125, 0.5, 1.25, 0.75, -0.0625}));
    sources[1].Add(Rec("beta", 500, 2, {10, 20, 30, 40}, SpecXNanometer, SpecYIntensity));
    sources[1].Add(Rec("gamma", 500, 2, {1.5, 2.5, 3.5, 4.5}, SpecXNanometer, SpecYIntensity));
    sources[2].Add(Rec("d;e,l.ta", 4000, -4, {0.1, 0.2, 0.4, 0.3, 0.25, 0.5}, SpecXWavenumber));
    sources[2].Add(Rec("epsilon", 650, 0.5, {0.0, 1.0, 0.5}, SpecXNanometer, SpecYTransmittance));
    for (const TSpectraList& src : sources) {
        const std::string text = ClipboardDataText(src);
        TSpectraList back;
        LoadTextSpectraData(text, "", 1, "", back);
        ASSERT_EQ(back.Count(), src.Count()) << text;
        for (int32_t i = 0; i < src.Count(); ++i) {
            const TSpectrumRecord &a = src[i], &b = back[i];
            SCOPED_TRACE(a.Title.str());
            EXPECT_EQ(b.Title.str(), a.Title.str());
            EXPECT_EQ(b.FileName.str(), "cliptmp");
            EXPECT_EQ(b.XUnit, a.XUnit);
            EXPECT_EQ(b.YKind, a.YKind);
            EXPECT_NEAR(b.FirstX, a.FirstX, 1e-9);
            EXPECT_NEAR(b.StepX, a.StepX, 1e-9);
            ASSERT_EQ(b.PointCount(), a.PointCount());
            for (int32_t k = 0; k < a.PointCount(); ++k)
                EXPECT_NEAR(b.Values[k], a.Values[k], 1e-4 * std::max(1.0, std::fabs(a.Values[k]))) << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothSeparators, ClipboardRoundTrip, ::testing::Values('.', ','));
