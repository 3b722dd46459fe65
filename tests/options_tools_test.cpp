#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/registry.h"
#include "tests/temp_registry_fixture.h"
#include "tools/axes_settings.h"
#include "tools/legend_texts.h"
#include "tools/options_store.h"
#include "tools/spectrum_properties.h"

using registry::Hive;

namespace {

// Sets the decimal separator for one test and restores it.
struct SeparatorScope {
    char old;
    explicit SeparatorScope(char sep) : old(numtext::decimalSeparator()) { numtext::setDecimalSeparator(sep); }
    ~SeparatorScope() { numtext::setDecimalSeparator(old); }
};

class OptionsStoreTest : public TempRegistryTest {
protected:
    OptionsStoreTest() : TempRegistryTest("vxopt") {}
};

}  // namespace

TEST_F(OptionsStoreTest, NothingStoredGivesTheFormDefaults) {
    auto r = options::LoadStoredOptions();
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.badValues.empty());
    EXPECT_EQ(r.options, options::StoredOptions{});
    EXPECT_TRUE(r.options.OGitter);
    EXPECT_EQ(r.options.RxSlider1, 1);
    EXPECT_EQ(r.options.OAchsenfont, "Arial");
    EXPECT_EQ(r.options.OAchsenfontSize, 10);
    EXPECT_EQ(r.options.OGnuplotLegendeposition, 2);
}

TEST_F(OptionsStoreTest, EveryValueRoundTripsUnderItsName) {
    SeparatorScope sep(',');
    options::StoredOptions o;
    o.OGitter = false;
    o.OMaximiert = true;
    o.OLinien = 1;
    o.OHintergrund = 0x00C0FFEE;
    o.RxSlider1 = 7;
    o.OSchichtdicke = "2,5";
    o.OAchsenfont = "Liberation Serif";
    o.OLegendefontSize = 25;
    o.OXAndererText = "x \"quoted\" \\ title";
    o.OOEffnenPfad = "/data/in/";
    o.OKorrekturspektrumHistory = {"/a/k1.fak", "/a/k2.fak"};
    o.OGnuplotBefehlliste = {"set grid", "", "set key left"};
    o.OSpikeSchranke = 30;
    o.OYKonstRechenart = 3;
    o.OFQProbeBel = "12";
    o.OMultipleInstances = true;
    ASSERT_TRUE(options::SaveStoredOptions(o));
    auto r = options::LoadStoredOptions();
    EXPECT_TRUE(r.found);
    EXPECT_TRUE(r.badValues.empty());
    EXPECT_EQ(r.options, o);

    EXPECT_EQ(registry::readDword(Hive::CurrentUser, options::kOptionsKey, "FormVersion"), 1u);
    EXPECT_EQ(registry::readString(Hive::CurrentUser, options::kOptionsKey, "OGitter.Checked"), "False");
    EXPECT_EQ(registry::readString(Hive::CurrentUser, options::kOptionsKey, "RxSlider1.Value"), "7");
    // Every value name is in the store, in the stored order.
    auto names = registry::valueNames(Hive::CurrentUser, options::kOptionsKey);
    ASSERT_EQ(names.size(), options::OptionFields().size() + 1);
    for (std::size_t i = 0; i < options::OptionFields().size(); ++i)
        EXPECT_EQ(names[i + 1], options::OptionFields()[i].name);
}

TEST_F(OptionsStoreTest, BadStoredValuesFallBackOneByOne) {
    SeparatorScope sep('.');
    ASSERT_TRUE(options::SaveStoredOptions(options::StoredOptions{}));
    const std::string key = options::kOptionsKey;
    registry::writeString(Hive::CurrentUser, key, "OSchichtdicke.Text", "1.5x");
    registry::writeString(Hive::CurrentUser, key, "OAchsenfontSize.Value", "99");   // out of range
    registry::writeString(Hive::CurrentUser, key, "OLegende.Checked", "maybe");
    registry::writeString(Hive::CurrentUser, key, "OFQBandbreite.Text", "3.5");     // not an integer
    registry::writeString(Hive::CurrentUser, key, "OLinien.ItemIndex", "1");        // good
    registry::writeString(Hive::CurrentUser, key, "OSchneidVon.Text", "12,5");     // "," accepted here
    registry::writeDword(Hive::CurrentUser, key, "OGitter.Checked", 0);             // other type, converts
    auto r = options::LoadStoredOptions();
    EXPECT_EQ(r.badValues, (std::vector<std::string>{"OLegende.Checked", "OSchichtdicke.Text",
                                                     "OAchsenfontSize.Value", "OFQBandbreite.Text"}));
    EXPECT_EQ(r.options.OSchichtdicke, "1");
    EXPECT_EQ(r.options.OAchsenfontSize, 10);
    EXPECT_TRUE(r.options.OLegende);
    EXPECT_EQ(r.options.OFQBandbreite, "3");
    EXPECT_EQ(r.options.OLinien, 1);
    EXPECT_EQ(r.options.OSchneidVon, "12,5");
    EXPECT_FALSE(r.options.OGitter);
    EXPECT_NE(options::BadValuesWarning(r.badValues).find("OSchichtdicke.Text"), std::string::npos);
}

TEST_F(OptionsStoreTest, AnotherFormVersionIsIgnored) {
    options::StoredOptions o;
    o.OGitter = false;
    ASSERT_TRUE(options::SaveStoredOptions(o));
    registry::writeDword(Hive::CurrentUser, options::kOptionsKey, "FormVersion", 2);
    auto r = options::LoadStoredOptions();
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.options.OGitter);
}

TEST(OptionNumbers, SeparatorRulesDifferByField) {
    struct Case {
        char sep;
        std::string path, cut, qyN;
        std::string pathOut, cutOut, qyOut;
    };
    const Case cases[] = {
        {',', "2.5", "1.5", "1.3611", "2,5", "1,5", "1,3611"},
        {',', "2,5", "1,5", "1,3611", "2,5", "1,5", "1,3611"},
        {'.', "2.5", "1,5", "1,3611", "2.5", "1.5", "1.3611"},
        {'.', "2.5", "1.5", "1.3611", "2.5", "1.5", "1.3611"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("sep ") + c.sep + " path " + c.path);
        SeparatorScope scope(c.sep);
        options::StoredOptions o;
        o.OSchichtdicke = c.path;
        o.OSchneidVon = c.cut;
        o.OFQRefN = c.qyN;
        auto p = options::WithPreparedTexts(o, c.sep);
        EXPECT_EQ(p.OSchichtdicke, c.pathOut);
        EXPECT_EQ(p.OSchneidVon, c.cutOut);
        EXPECT_EQ(p.OFQRefN, c.qyOut);
        auto n = options::ConvertNumbers(o, c.sep);
        EXPECT_DOUBLE_EQ(n.PathLength, 2.5);
        EXPECT_DOUBLE_EQ(n.CutFrom, 1.5);
        EXPECT_DOUBLE_EQ(n.QyRefN, 1.3611);
        EXPECT_DOUBLE_EQ(n.QyRefYield, 0.95);
        EXPECT_DOUBLE_EQ(n.SpikeThreshold, 5.6);
        EXPECT_DOUBLE_EQ(n.QyInnerFilter, 0.0922);
        EXPECT_DOUBLE_EQ(n.QyRefExcitation, 500.0);
        EXPECT_EQ(n.QyBandWidth, 3);
    }
}

TEST(OptionNumbers, PathLengthWithCommaFailsWherePointIsTheSeparator) {
    // The path length only turns "." into the separator, so "2,5" is refused with ".".
    options::StoredOptions o;
    o.OSchichtdicke = "2,5";
    try {
        options::ValidateNumberFields(o, '.');
        FAIL() << "no conversion error";
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'2,5' is not a valid floating point value");
    }
}

TEST(OptionNumbers, FirstBadFieldNamesItselfAndIntegersAreChecked) {
    options::StoredOptions o;
    o.OFQRefAnr = "500.5";
    o.OFQvProbeInt = "abc";
    try {
        options::ConvertNumbers(o, ',');
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    o.OFQvProbeInt = "500";
    try {
        options::ConvertNumbers(o, ',');
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'500.5' is not a valid integer value");
    }
}

TEST(OptionNumbers, FolderOfAFileName) {
    EXPECT_EQ(options::FolderOf("/home/u/lamp.fak"), "/home/u/");
    EXPECT_EQ(options::FolderOf("lamp.fak"), "");
    EXPECT_EQ(options::FolderOf(""), "");
    EXPECT_TRUE(options::UsableFolder("/home/u/"));
    EXPECT_TRUE(options::UsableFolder("relative/"));
    EXPECT_FALSE(options::UsableFolder(""));
    EXPECT_FALSE(options::UsableFolder("C:\\Data\\"));
    EXPECT_FALSE(options::UsableFolder("d:/data/"));
}

// ---- axes ----

TEST(AxesBounds, ConversionTable) {
    using axes::Bounds;
    struct Case {
        int from, to;
        Bounds in, out;
    };
    const Case cases[] = {
        {1, 2, {400, 800}, {12500, 25000}},
        {1, 4, {400, 800}, {0.4, 0.8}},
        {4, 1, {0.4, 0.8}, {400, 800}},
        {1, 3, {400, 800}, {1239.8424512359736 / 800, 1239.8424512359736 / 400}},
        {4, 3, {0.4, 0.8}, {1.2398424512359736 / 0.8, 1.2398424512359736 / 0.4}},
        {2, 1, {12500, 25000}, {400, 800}},
        {2, 4, {12500, 25000}, {0.4, 0.8}},
        {2, 3, {8065.5409, 16131.0818}, {1, 2}},
        {3, 2, {1, 2}, {8065.5409, 16131.0818}},
        {3, 1, {1, 2}, {1e7 / (2 * 8065.5409), 1e7 / 8065.5409}},
        {3, 4, {1, 2}, {10000 / (2 * 8065.5409), 10000 / 8065.5409}},
        {1, 2, {0, 500}, {20000, 0}},  // a zero divisor converts to 0
        {2, 2, {1, 2}, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + "->" + std::to_string(c.to));
        auto r = axes::ConvertBounds(c.in, *XUnitOfCode(c.from), *XUnitOfCode(c.to));
        EXPECT_NEAR(r.lower, c.out.lower, 1e-9 * std::abs(c.out.lower) + 1e-12);
        EXPECT_NEAR(r.upper, c.out.upper, 1e-9 * std::abs(c.out.upper) + 1e-12);
    }
    // nm -> µm -> nm comes back.
    auto back = axes::ConvertBounds(axes::ConvertBounds({400, 800}, SpecXNanometer, SpecXMicrometer), SpecXMicrometer,
                                    SpecXNanometer);
    EXPECT_DOUBLE_EQ(back.lower, 400);
    EXPECT_DOUBLE_EQ(back.upper, 800);
}

// Every pair of display units converts the range end by end through the one unit table; a change
// between a wavelength and a wavenumber or an energy turns the ends round.
TEST(AxesBounds, EveryUnitPairGoesThroughTheUnitTable) {
    const SpecXUnit units[] = {SpecXNanometer, SpecXMicrometer, SpecXWavenumber, SpecXElectronVolt};
    const axes::Bounds nm{400, 800};
    for (SpecXUnit a : units) {
        const axes::Bounds in = axes::ConvertBounds(nm, SpecXNanometer, a);
        EXPECT_EQ(axes::BoxCaption(a, false), std::string("Boundaries [") + XUnitSymbol(a) + "]");
        for (SpecXUnit b : units) {
            SCOPED_TRACE(std::to_string(CodeOf(a)) + "->" + std::to_string(CodeOf(b)));
            const axes::Bounds out = axes::ConvertBounds(in, a, b);
            const double lowerFrom = axes::FromIsLower(a) == axes::FromIsLower(b) ? in.lower : in.upper;
            const double upperFrom = axes::FromIsLower(a) == axes::FromIsLower(b) ? in.upper : in.lower;
            if (a != b) {
                EXPECT_EQ(out.lower, ConvertX(lowerFrom, a, b, EvRoute::FromEvViaWavenumber));
                EXPECT_EQ(out.upper, ConvertX(upperFrom, a, b, EvRoute::FromEvViaWavenumber));
            }
            EXPECT_LE(out.lower, out.upper);
            const axes::Bounds back = axes::ConvertBounds(out, b, SpecXNanometer);
            EXPECT_NEAR(back.lower, 400, 1e-9);
            EXPECT_NEAR(back.upper, 800, 1e-9);
        }
    }
}

TEST(AxesBounds, TextsCaptionsAndItems) {
    SeparatorScope sep('.');
    EXPECT_EQ(axes::BoundTexts({12500, 25000}, SpecXWavenumber, true),
              std::make_pair(std::string("25000"), std::string("12500")));
    EXPECT_EQ(axes::BoundTexts({0.4, 0.8}, SpecXMicrometer, true),
              std::make_pair(std::string("0.40"), std::string("0.80")));
    EXPECT_EQ(axes::BoundTexts({1.55, 3.1}, SpecXElectronVolt, true),
              std::make_pair(std::string("3.10"), std::string("1.55")));
    EXPECT_EQ(axes::BoundTexts({400.25, 800}, SpecXNanometer, false),
              std::make_pair(std::string("400.25"), std::string("800")));
    EXPECT_EQ(axes::BoxCaption(SpecXMicrometer, false), "Boundaries [\xC2\xB5m]");
    EXPECT_EQ(axes::BoxCaption(SpecXWavenumber, true), "Grenzen [1/cm]");
    for (int item = 0; item < 4; ++item) EXPECT_EQ(axes::ItemOfUnit(axes::UnitOfItem(item)), item);
    EXPECT_EQ(axes::UnitOfItem(1), SpecXMicrometer);
    EXPECT_EQ(axes::YItemOfMode(SpecYReflectance), 0);
    EXPECT_EQ(axes::YModeOfItem(3), SpecYLogEpsilon);
}

TEST(AxesBounds, BoundEditsAndOk) {
    SeparatorScope sep(',');
    axes::Bounds b{12500, 25000};
    EXPECT_TRUE(axes::SetBoundFromText(b, SpecXWavenumber, true, "26000.5"));  // "from" is the upper in 1/cm
    EXPECT_DOUBLE_EQ(b.upper, 26000.5);
    EXPECT_FALSE(axes::SetBoundFromText(b, SpecXWavenumber, false, "30000"));  // lower > upper
    EXPECT_THROW(axes::SetBoundFromText(b, SpecXWavenumber, false, "x"), vx::ConversionError);

    axes::AxesSettings s;
    s.KeepXRangeOnce = true;
    axes::AxesForm f;
    f.xItem = 2;
    f.setBoundaries = true;
    f.fromText = "25000";
    f.toText = "1x";
    const auto before = s;
    EXPECT_THROW(axes::ApplyAxesForm(s, f), vx::ConversionError);
    EXPECT_EQ(s, before);
    f.toText = "12500";
    f.yItem = 2;
    f.customYTitleOn = true;
    f.customYTitle = "eps";
    axes::ApplyAxesForm(s, f);
    EXPECT_EQ(s.DisplayXUnit, SpecXWavenumber);
    EXPECT_EQ(s.DisplayYMode, SpecYEpsilon);
    EXPECT_DOUBLE_EQ(s.XDrawnMin, 12500);
    EXPECT_DOUBLE_EQ(s.XDrawnMax, 25000);
    EXPECT_TRUE(s.KeepXRangeOnce);
    EXPECT_EQ(s.CustomYTitle, "eps");
    f.setBoundaries = false;
    f.toText = "garbage";  // not looked at without "Set Boundaries"
    axes::ApplyAxesForm(s, f);
    EXPECT_FALSE(s.KeepXRangeOnce);
}

// ---- legend texts ----

TEST(LegendReplace, Rules) {
    struct Case {
        const char* line;
        const char* search;
        const char* by;
        const char* out;
    };
    const Case cases[] = {
        {"sample_01 A", "sample_##", "S", "S A"},
        {"Sample_01 sample_02", "sample_#", "x", "x01 x2"},  // cut after the exact-case hit, any case replaced
        {"no prefix here", "sample_#", "S", "no prefix here"},
        {"ab_1", "ab_####", "Z", "Z"},                       // cut clamped at the line end
        {"Film FILM film", "film", "F", "F F F"},           // exact-case test, any-case replace
        {"FILM only", "film", "F", "FILM only"},            // no exact-case occurrence: untouched
        {"abc", "", "X", "abc"},                            // empty search: nothing
        {"abc", "#", "X", "abc"},                           // empty prefix: nothing
        {"abc", "##x", "X", "abc"},
        {"pre\xC3\xA4\xC3\xB6x", "pre##", "P", "Px"},        // characters, not bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.search);
        std::vector<std::string> lines{c.line};
        legend::ReplaceInLines(lines, c.search, c.by);
        EXPECT_EQ(lines[0], c.out);
    }
}

TEST(LegendReplace, TakeOverNeedsMatchingLineCount) {
    EXPECT_EQ(legend::LinesToTakeOver({"a", "b", ""}, 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(legend::LinesToTakeOver({"a", "b"}, 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(legend::LinesToTakeOver({"a"}, 2));
    EXPECT_FALSE(legend::LinesToTakeOver({"a", "b", "c"}, 2));
    EXPECT_FALSE(legend::LinesToTakeOver({"a", "b", "", ""}, 2));
    EXPECT_EQ(NameWithoutFolder("/x/y/z.rvx"), "z.rvx");
}

// ---- spectrum properties ----

TEST(SpectrumProperties, TextsStoreAndShow) {
    SeparatorScope sep(',');
    TSpectrumRecord r;
    r.Concentration = 0.000123456;
    r.Temperature = -1.0;
    auto t = properties::TextsOfRecord(r);
    EXPECT_EQ(t.concentration, "0,0001235");
    EXPECT_EQ(t.temperature, "");
    EXPECT_EQ(t.excitation, "");

    t.concentration = "0.002";
    t.pathLength = "0.5";
    t.temperature = "";
    t.excitation = "350.5";
    t.legend = std::string(300, 'L');
    properties::StoreTexts(r, t);
    EXPECT_DOUBLE_EQ(r.Concentration, 0.002);
    EXPECT_DOUBLE_EQ(r.PathLength, 0.5);
    EXPECT_DOUBLE_EQ(r.Temperature, -1.0);
    EXPECT_DOUBLE_EQ(r.ExcitationWl, 350.5);
    EXPECT_EQ(r.Title.str().size(), 255u);
    EXPECT_EQ(properties::TextsOfRecord(r).temperature, "");  // shown empty again

    t.temperature = "warm";
    t.pathLength = "thick";
    const double before = r.PathLength;
    EXPECT_THROW(properties::StoreTexts(r, t), vx::ConversionError);
    EXPECT_DOUBLE_EQ(r.PathLength, before);
}

TEST(SpectrumProperties, WeighingAndListItems) {
    SeparatorScope sep('.');
    EXPECT_DOUBLE_EQ(*properties::ConcentrationFromWeighing(200, 10, 50), 0.001);
    EXPECT_FALSE(properties::ConcentrationFromWeighing(0, 10, 50));
    EXPECT_FALSE(properties::ConcentrationFromTexts("200", "10", "-5"));
    EXPECT_THROW(properties::ConcentrationFromTexts("200", "ten", "5"), vx::ConversionError);
    EXPECT_EQ(properties::ConcentrationText(0.001), "0.001");

    TSpectrumRecord r;
    r.LineWidth = 12;
    r.LineStyle = 9;
    EXPECT_EQ(properties::LineWidthItem(r), 6);
    EXPECT_EQ(properties::LineTypeItem(r), 2);
    r.LineWidth = 0;
    EXPECT_EQ(properties::LineWidthItem(r), 0);
    EXPECT_EQ(r.LineWidth, 0);  // untouched until edited

    TSpectraList list;
    for (int i = 0; i < 3; ++i) {
        auto rec = std::make_unique<TSpectrumRecord>();
        rec->LineStyle = 2;
        rec->LineWidth = 5;
        rec->Color = 0x123456;
        list.Add(std::move(rec));
    }
    properties::ResetDefaultLines(list);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i].LineStyle, 0);
        EXPECT_EQ(list[i].LineWidth, 1);
        EXPECT_EQ(list[i].Color, CurveColor(i + 1));
    }
}
