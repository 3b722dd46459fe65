#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "formats/format_table.h"
#include "formats/text_loader.h"
#include "platform/errors.h"
#include "platform/ui.h"
#include "tests/tools_test_support.h"
#include "tools/aux_curve.h"
#include "tools/dialog_support.h"
#include "tools/remove_spectra.h"
#include "tools/simple_x.h"

using namespace tooltest;

TEST(DialogSupport, HelpPageOpensBesideTheProgramWithItsAnchor) {
    ui::ScopedScriptedBackend ui;
    auto dir = std::filesystem::temp_directory_path() / "vx_dialog_help";
    std::filesystem::create_directories(dir / "html");
    std::ofstream(dir / "html" / "varolux_man_spek_en.html") << "<html/>";
    const std::string programFolder = dir.string() + "/";
    EXPECT_TRUE(OpenDialogHelp(programFolder, "html\\varolux_man_spek_en.html#spike"));
    ASSERT_EQ(ui->openedUrls.size(), 1u);
    EXPECT_EQ(ui->openedUrls[0], "file://" + (dir / "html/varolux_man_spek_en.html#spike").string());
    EXPECT_TRUE(ui->messages.empty());

    // A missing page, or a desktop that cannot open it, gives the one failure text, followed by the
    // manual's folder.
    EXPECT_FALSE(OpenDialogHelp(programFolder, "html\\varolux_man_rech_en.html#add"));
    ui->openUrlResult = false;
    EXPECT_FALSE(OpenDialogHelp(programFolder, "html\\varolux_man_spek_en.html#peak"));
    const std::string failed =
        std::string(kHelpFailedText) + "\r\nThe manual is in the folder\r\n" + (dir / "html").string() + "/";
    EXPECT_EQ(HelpFailedMessage(programFolder), failed);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{failed, failed}));
}

TEST(DialogSupport, WithoutAProgramFolderTheManualIsLookedForBesideTheExecutable) {
    const std::string exe = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(HelpBaseFolder(""), exe);
    EXPECT_EQ(HelpBaseFolder("/opt/vx/"), "/opt/vx/");
}

TEST(DialogSupport, TypedNumbersTakeDotsAsTheRegionalSeparator) {
    SeparatorGuard sep;
    numtext::setDecimalSeparator(',');
    std::string t = "1.5";
    EXPECT_DOUBLE_EQ(DialogFloat(t), 1.5);
    EXPECT_EQ(t, "1,5");
    t = "2,25";
    EXPECT_DOUBLE_EQ(DialogFloat(t), 2.25);
    t = "1.000.5";  // every dot is replaced, so this is no number
    EXPECT_THROW(DialogFloat(t), vx::ConversionError);
    numtext::setDecimalSeparator('.');
    t = "3.5";
    EXPECT_DOUBLE_EQ(DialogFloat(t), 3.5);
    t = "abc";
    try {
        DialogFloat(t);
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

TEST(DialogSupport, ResultColourAndRemovalOfOriginalsKeepOrder) {
    TSpectraList list;
    for (int i = 0; i < 3; ++i) addRecord(list, "s" + std::to_string(i), 400, 1, ramp(5), SpecXNanometer, 0x10 + i);
    // All spectra with "remove originals": n new spectra in the old order, each in its original's colour.
    OriginalsToRemove originals(list);
    const int32_t n = list.Count();
    for (int32_t i = 0; i < n; ++i) {
        auto copy = std::make_unique<TSpectrumRecord>(list[i]);
        copy->Title = list[i].Title + " new";
        AppendToolResult(list, std::move(copy), true, list[i].Color);
        originals.Add(i);
    }
    originals.DeleteAll();
    ASSERT_EQ(titles(list), (std::vector<std::string>{"s0 new", "s1 new", "s2 new"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list[i].Color, 0x10u + i);
    // Without removal the new spectra take the default colours of their positions.
    AppendToolResult(list, makeRecord("x", 400, 1, ramp(5)), false, 0x99);
    EXPECT_EQ(list[3].Color, CurveColor(4));
}

TEST(SimpleX, ShiftsAndScalesTheGrid) {
    TSpectraList list;
    TDisplayState display;
    addRecord(list, "a", 400, 2, ramp(4));
    struct Case {
        int op;
        std::string konst;
        double first, step;
        std::string title;
    };
    const Case cases[] = {
        {0, "10", 410, 2, "a + 10"},
        {1, "10", 390, 2, "a - 10"},
        {2, "0.5", 200, 1, "a x 0.5"},
        {3, "2", 200, 1, "a / 2"},
        {2, "0", 400, 2, "a x 0 (stupid operation => unchanged!)"},
        {3, "0", 400, 2, "a / 0 (stupid operation => unchanged!)"},
    };
    for (const auto& c : cases) {
        TSimpleXParams p{0, c.op, c.konst};
        ASSERT_TRUE(ApplyXConstant(list, display, p));
        const auto& r = list[list.Count() - 1];
        EXPECT_DOUBLE_EQ(r.FirstX, c.first) << c.title;
        EXPECT_DOUBLE_EQ(r.StepX, c.step) << c.title;
        EXPECT_EQ(r.Title.str(), c.title);
        EXPECT_EQ(r.Values, ramp(4));
        EXPECT_EQ(r.Color, CurveColor(list.Count()));
    }
}

TEST(SimpleX, RefusesAnotherXUnitAndBadNumbers) {
    TSpectraList list;
    TDisplayState display;
    ui::ScopedScriptedBackend ui;
    addRecord(list, "w", 4000, -2, ramp(4), SpecXWavenumber);
    addRecord(list, "r", 100, 2, ramp(4), SpecXRamanShift);
    TSimpleXParams p{0, 0, "5"};
    EXPECT_FALSE(ApplyXConstant(list, display, p));
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kXTypeMismatchText}));
    p.Spectrum = 1;  // Raman shift is accepted whatever the display
    EXPECT_TRUE(ApplyXConstant(list, display, p));
    p.Constant = "five";
    EXPECT_THROW(ApplyXConstant(list, display, p), vx::ConversionError);
    p.Constant = "1e308";
    p.Operation = 2;
    EXPECT_THROW(ApplyXConstant(list, display, p), vx::FloatError);
    EXPECT_EQ(list.Count(), 3);
}

TEST(RemoveSpectra, ByTypeMatchesTagsInTheChosenText) {
    TSpectraList list;
    const char* tags[] = {"jcamp_dx", "", "ascii_dat", "jcamp_dx", "ccdfx"};
    for (int i = 0; i < 5; ++i) addRecord(list, "s" + std::to_string(i), 400, 1, ramp(3)).SpecType = tags[i];
    EXPECT_EQ(RemoveSpectraOfType(list, "jcamp_dx"), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"s1", "s2", "s4"}));
    EXPECT_EQ(RemoveSpectraOfType(list, "ccdfx, ccdfy"), 1);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_EQ(RemoveSpectraOfType(list, ""), 0);  // the empty tag of s1 never matches
}

TEST(RemoveSpectra, ByHandDeletesTheHighestNumberFirst) {
    TSpectraList list;
    for (int i = 0; i < 12; ++i) addRecord(list, "s" + std::to_string(i + 1), 400, 1, ramp(3));
    EXPECT_EQ(RemoveListItemText(list, 9), "10- s10");
    // Items in any order, numbers of two digits, a duplicate and a number beyond the list.
    EXPECT_EQ(RemoveSpectraByItems(list, {RemoveListItemText(list, 1), RemoveListItemText(list, 10),
                                    RemoveListItemText(list, 4), "2- s2", "99- gone", "no number"}),
              3);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"s1", "s3", "s4", "s6", "s7", "s8", "s9", "s10",
                                                  "s12"}));
}

TEST(RemoveSpectra, LastAndAllAndTheSecondAxis) {
    TSpectraList list;
    EXPECT_FALSE(RemoveLastSpectrum(list));
    addRecord(list, "a", 400, 1, ramp(3));
    addRecord(list, "ratio", 400, 1, ramp(3)).SourceKind = SpecSourceRaw;
    EXPECT_TRUE(AnySecondAxisSpectrum(list));
    EXPECT_TRUE(RemoveLastSpectrum(list));
    EXPECT_FALSE(AnySecondAxisSpectrum(list));
    RemoveAllSpectra(list);
    EXPECT_TRUE(list.Empty());
    const auto& t = RemoveDialogTags();
    EXPECT_NE(std::find(t.begin(), t.end(), "shimadzu_spc"), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), "beckman_coulter_du_binary"), t.end());
}

// The tools read their curves with the Open command's reader of *.fak files, and refuse what it
// refuses: a file above that row's limit (sparse, so nothing of it is written) is not read at all.
TEST(AuxCurve, FileAboveTheOpenCommandsLimitIsRefused) {
    const auto dir = std::filesystem::temp_directory_path() / "vx_aux_curve_limit";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "lamp.fak").string();
    std::ofstream(path) << "400 1\n401 2\n";
    const std::uint64_t limit = ReadLimitOf(OpenFormat::Fak);
    ASSERT_GT(limit, 0u);
    std::filesystem::resize_file(path, limit + 1);
    try {
        ReadAuxCurve(path);
        FAIL() << "no error";
    } catch (const vx::FileError& e) {
        const std::string limitText = TooLargeMessage("", 0, limit, "");
        const std::string tail = limitText.substr(limitText.find("read up to"));
        EXPECT_NE(std::string(e.what()).find(tail), std::string::npos) << e.what();
    }
    std::filesystem::remove_all(dir);
}
