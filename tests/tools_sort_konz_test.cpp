// Sorting the spectra list and the concentration from absorbance, without a display.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/tools_test_support.h"
#include "tools/concentration.h"
#include "tools/spectra_sort.h"

using namespace tooltest;

namespace {

std::vector<std::string> entryTitles(const TSpectraList& list, const std::vector<int32_t>& order) {
    std::vector<std::string> t;
    for (int32_t e : order) t.push_back(list[e].Title.str());
    return t;
}

TSpectraList listOf(const std::vector<std::string>& names) {
    TSpectraList list;
    for (const auto& n : names) addRecord(list, n, 400, 1, ramp(3));
    return list;
}

}  // namespace

TEST(SpectraSort, TemperaturesAndWavelengthsSortAsPaddedText) {
    struct Case {
        const char* what;
        std::vector<double> values;
        TSortParams params;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"temperature increasing", {295, 77, 100}, {0, 1, -1}, {"77", "100", "295"}},
        {"temperature decreasing", {295, 77, 100}, {0, 0, -1}, {"295", "100", "77"}},
        // Only two-digit values are padded: 5 K sorts after 100 K.
        {"one digit not padded", {5, 100, 40}, {0, 1, -1}, {"40", "100", "5"}},
        {"wavelength increasing as text", {300, 1000, 450}, {0, -1, 0}, {"1000", "300", "450"}},
        {"wavelength decreasing", {300, 1000, 450}, {0, -1, 1}, {"450", "300", "1000"}},
    };
    for (const Case& c : cases) {
        TSpectraList list;
        for (double v : c.values) {
            auto& r = addRecord(list, numtext::IntToStr(static_cast<long long>(v)), 400, 1, ramp(3));
            if (c.params.Temperature >= 0) r.Temperature = v;
            else r.ExcitationWl = v;
        }
        std::vector<int32_t> order = SortEntriesOf(list);
        SortSpectraEntries(list, order, c.params);
        EXPECT_EQ(entryTitles(list, order), c.expected) << c.what;
    }
}

TEST(SpectraSort, KeysRoundHalvesToEvenAndCarryTheOriginalIndex) {
    TSpectrumRecord r;
    r.Title = "Water";
    r.Temperature = 76.5;
    r.ExcitationWl = 350.5;
    EXPECT_EQ(SortNameKey(r, 4), "Water%#&-4");
    EXPECT_EQ(SortTemperatureKey(r, 4), "076%#&-4");
    EXPECT_EQ(SortWavelengthKey(r, 4), "350%#&-4");
    r.Temperature = -1.0;  // not set
    EXPECT_EQ(SortTemperatureKey(r, 0), "-1%#&-0");
    r.Temperature = 99.6;  // rounds to three digits
    EXPECT_EQ(SortTemperatureKey(r, 0), "100%#&-0");
}

TEST(SpectraSort, NamesIgnoreCaseAndEntriesKeepTheirNumbers) {
    TSpectraList list = listOf({"beta", "Alpha", "gamma", "alpha"});
    std::vector<int32_t> order = SortEntriesOf(list);
    SortSpectraEntries(list, order, {});
    // Equal names in another case: the original index in the key decides.
    EXPECT_EQ(order, (std::vector<int32_t>{1, 3, 0, 2}));
    std::vector<std::string> texts;
    for (int32_t e : order) texts.push_back(SortEntryText(list, e));
    EXPECT_EQ(texts, (std::vector<std::string>{"2- Alpha", "4- alpha", "1- beta", "3- gamma"}));
    // A second pass on the sorted entries gives the same order: keys are the original indices, not
    // the positions of the last pass.
    SortSpectraEntries(list, order, {1, -1, -1});
    EXPECT_EQ(order, (std::vector<int32_t>{2, 0, 3, 1}));
    SortSpectraEntries(list, order, {0, -1, -1});
    EXPECT_EQ(order, (std::vector<int32_t>{1, 3, 0, 2}));
}

TEST(SpectraSort, MovedEntriesGoBeforeTheTargetInTheirOrder) {
    struct Case {
        std::vector<int32_t> selected;
        int32_t target;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {{3, 1}, 0, {1, 3, 0, 2, 4}},
        {{0}, 3, {1, 2, 0, 3, 4}},
        {{1, 2}, 5, {0, 3, 4, 1, 2}},   // past the last entry
        {{1, 2}, -1, {0, 3, 4, 1, 2}},  // on no entry
        {{1, 2}, 2, {0, 1, 2, 3, 4}},   // on a selected entry: before the next unselected one
        {{3, 4}, 3, {0, 1, 2, 3, 4}},   // nothing unselected after the target: at the end
        {{}, 0, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        std::vector<int32_t> order{0, 1, 2, 3, 4};
        MoveSortEntries(order, c.selected, c.target);
        EXPECT_EQ(order, c.expected) << "target " << c.target;
    }
}

TEST(SpectraSort, ApplyMovesRecordsOnlyForAWholePermutation) {
    TSpectraList list = listOf({"a", "b", "c"});
    const TSpectrumRecord* b = &list[1];
    EXPECT_FALSE(ApplySortOrder(list, {2, 0}));
    EXPECT_FALSE(ApplySortOrder(list, {2, 0, 0}));
    EXPECT_FALSE(ApplySortOrder(list, {2, 0, 3}));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(ApplySortOrder(list, {2, 0, 1}));
    EXPECT_EQ(titles(list), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(&list[2], b);  // the same record, moved
    EXPECT_EQ(list[2].Color, 0x123456u);
}

TEST(Concentration, BeerLambertStoresConcentrationAndPathLength) {
    SeparatorGuard sep;
    numtext::setDecimalSeparator(',');
    TSpectraList list;
    auto& r = addRecord(list, "dye", 400, 1, std::vector<double>(201, 0.5));
    TConcentrationTexts t = ConcentrationTextsOf(r);
    EXPECT_EQ(t.Cext, "0");
    EXPECT_EQ(t.Clamba, "0");
    EXPECT_EQ(t.Ckonz, "0");
    EXPECT_EQ(t.Cschicht, "1");
    t.Cext = "1000";
    t.Clamba = "500.5";
    t.Cschicht = "0.5";
    EXPECT_TRUE(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 0, t));
    EXPECT_EQ(t.Cschicht, "0,5");  // the typed "." became the regional separator
    EXPECT_DOUBLE_EQ(r.PathLength, 0.5);
    EXPECT_DOUBLE_EQ(r.Concentration, 0.001);
    EXPECT_EQ(t.Ckonz, "0,001");
}

TEST(Concentration, TransmittanceAndTheZeroCases) {
    TSpectraList list;
    auto& r = addRecord(list, "dye", 400, 1, std::vector<double>(201, 1.0));  // T = 0.1
    r.Concentration = 0.25;
    TConcentrationTexts t{"10", "450", "", "2"};
    EXPECT_TRUE(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, 0, t));
    EXPECT_NEAR(r.Concentration, 1.0 / 20.0, 1e-15);
    // Transmittance 0 (outside the spectrum) gives concentration 0.
    t.Clamba = "900";
    EXPECT_TRUE(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, 0, t));
    EXPECT_EQ(r.Concentration, 0.0);
    // ε = 0: the path length is stored, the concentration stays.
    r.Concentration = 0.25;
    t = {"0", "450", "", "3"};
    EXPECT_FALSE(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 0, t));
    EXPECT_EQ(r.PathLength, 3.0);
    EXPECT_EQ(r.Concentration, 0.25);
}

TEST(Concentration, NothingIsStoredBeforeEveryNumberIsGoodAndThePathPositive) {
    ui::ScopedScriptedBackend ui;
    TSpectraList list;
    auto& r = addRecord(list, "dye", 400, 1, std::vector<double>(201, 0.5));
    r.Concentration = 0.25;
    for (const char* path : {"0", "-1"}) {
        TConcentrationTexts t{"1000", "450", "", path};
        EXPECT_FALSE(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 0, t)) << path;
    }
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kPathLengthNotPositiveText, kPathLengthNotPositiveText}));
    TConcentrationTexts bad{"x", "450", "", "2"};
    EXPECT_THROW(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 0, bad),
                 vx::ConversionError);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.Concentration, 0.25);
    TConcentrationTexts missing{"1000", "450", "", "1"};
    EXPECT_FALSE(CalculateConcentration(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 3, missing));
}

TEST(Concentration, InsertPeakTakesTheStrongestBandOrNothing) {
    TSpectraList list;
    std::vector<double> y(301);
    for (int i = 0; i < 301; ++i)
        y[i] = 0.5 * std::exp(-std::pow((i - 50) / 8.0, 2)) + 0.9 * std::exp(-std::pow((i - 200) / 8.0, 2));
    addRecord(list, "two bands", 400, 1, y);
    addRecord(list, "flat", 400, 1, std::vector<double>(301, 0.3));
    EXPECT_EQ(InsertPeakText(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 0), "600");
    // In transmittance the strongest band is the lowest transmittance.
    EXPECT_EQ(InsertPeakText(list, TDisplayState{SpecXNanometer, SpecYTransmittance}, 0), "600");
    EXPECT_EQ(InsertPeakText(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 1), std::nullopt);
    EXPECT_EQ(InsertPeakText(list, TDisplayState{SpecXNanometer, SpecYAbsorbance}, 2), std::nullopt);
}
