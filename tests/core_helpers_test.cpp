#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/date_time.h"
#include "core/helpers.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {
struct SepGuard {
    char saved = numtext::decimalSeparator();
    explicit SepGuard(char s) { numtext::setDecimalSeparator(s); }
    ~SepGuard() { numtext::setDecimalSeparator(saved); }
};
}  // namespace

TEST(Helpers, IntegerAndRealTexts) {
    EXPECT_TRUE(IsIntegerText("  -12  "));
    EXPECT_FALSE(IsIntegerText("1-2"));
    EXPECT_FALSE(IsIntegerText(""));
    EXPECT_FALSE(IsIntegerText("-"));
    EXPECT_FALSE(IsIntegerText("12345678901"));
    SepGuard point('.');
    EXPECT_TRUE(IsRealText("0.0015"));
    EXPECT_TRUE(IsRealText("1.5e-3"));
    EXPECT_TRUE(IsRealText("-1.5E+3"));
    EXPECT_FALSE(IsRealText("1.5.3"));
    EXPECT_FALSE(IsRealText(""));
    EXPECT_FALSE(IsRealText("1,5"));
    SepGuard comma(',');
    EXPECT_TRUE(IsRealText("1,5"));
}

TEST(Helpers, DecimalSeparatorFixes) {
    {
        SepGuard comma(',');
        std::string s = "1.5.6";
        FixDecimalSeparator(s);
        EXPECT_EQ(s, "1,5.6");
        EXPECT_EQ(DotsToDecimalSeparator("1.5.6"), "1,5,6");
    }
    {
        SepGuard point('.');
        std::string s = "1,5,6";
        FixDecimalSeparator(s);
        EXPECT_EQ(s, "1.5,6");
    }
    std::string c = "a,b,c";
    CommaToPoint(c);
    EXPECT_EQ(c, "a.b,c");
}

TEST(Helpers, BlanksAndCharacters) {
    std::string s = "  .5";
    StripLeadingBlanks(s);
    EXPECT_EQ(s, "0.5");
    s = "   ";
    StripLeadingBlanks(s);
    EXPECT_EQ(s, "0");
    s = "";
    StripLeadingBlanks(s);
    EXPECT_EQ(s, "");
    s = "ab  ";
    StripTrailingBlanks(s);
    EXPECT_EQ(s, "ab");
    EXPECT_EQ(ReplaceInvalidChars("a/b:c"), "a_b_c");
    EXPECT_EQ(ReplaceInvalidChars("x\x01$\"*<>?@[]\\|\xC2\xB5"), "x____________\xC2\xB5");
    EXPECT_EQ(ControlCharsToBlanks("a\tb"), "a b");
    EXPECT_EQ(CountSubstring("##XY", "##XYDATA ##XYPOINTS"), 2);
    EXPECT_EQ(CountSubstring("", "abc"), 0);
    EXPECT_FALSE(ContainsText("abc", ""));
    EXPECT_TRUE(ContainsText("abc", "b"));
}

TEST(Helpers, ArithmeticGuards) {
    EXPECT_EQ(SafeDivide(0, 5), 0.0L);
    EXPECT_EQ(SafeDivide(2, 5), 2.5L);
    EXPECT_EQ(PowerReal(0, 2), 0.0L);
    EXPECT_NEAR(static_cast<double>(PowerReal(2, 0.5)), std::sqrt(2.0), 1e-15);
    EXPECT_THROW(PowerReal(-2, 0.5), vx::FloatError);
    EXPECT_THROW(PowerReal(0, -1), vx::FloatError);
    EXPECT_EQ(IntPowerReal(-2, 3), -8.0L);
    EXPECT_EQ(IntPowerReal(2, -2), 0.25L);
    EXPECT_EQ(IntPowerReal(5, 0), 1.0L);
    EXPECT_THROW(Log10Real(0), vx::FloatError);
    EXPECT_NEAR(static_cast<double>(Log10Real(1000)), 3.0, 1e-15);
}

TEST(Helpers, HeapSortKeepsPartners) {
    std::vector<double> a = {3, 1, 2, 5, 4, 1};
    std::vector<double> b = {30, 10, 20, 50, 40, 11};
    HeapSortDoublesWith(a, b);
    EXPECT_EQ(a, (std::vector<double>{1, 1, 2, 3, 4, 5}));
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(std::floor(b[i] / 10), a[i]);
    std::vector<double> c = {};
    HeapSortDoubles(c);
    EXPECT_TRUE(c.empty());
}

TEST(Helpers, FileNamesSortIgnoringCaseAndKeepExactDuplicatesOnce) {
    std::vector<std::string> names = {"b.fak", "A.fak", "a.fak", "b.fak", "x;y.fak"};
    SortFileNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"A.fak", "a.fak", "b.fak", "x;y.fak"}));
}

TEST(Helpers, LoadFileTextHandlesByteOrderMarks) {
    auto dir = std::filesystem::temp_directory_path();
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    EXPECT_EQ(LoadFileText(write("vx_le.txt", std::string("\xFF\xFE" "A\0\xB5\0", 6))), "A\xC2\xB5");
    EXPECT_EQ(LoadFileText(write("vx_be.txt", std::string("\xFE\xFF\0A\0B\0", 7))), "AB");  // odd byte dropped
    EXPECT_EQ(LoadFileText(write("vx_an.txt", "\xB5m")), "\xC2\xB5m");
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_THROW(LoadFileText((dir / "vx_missing_file").string()), vx::FileError);
    EXPECT_EQ(FileDateTimeOf((dir / "vx_missing_file").string()), 0.0);
    EXPECT_GT(FileDateTimeOf(write("vx_t.txt", "x")), 40000.0);
}

// The Open and Save commands, the readers and the settings cut names with these; a dot in a folder
// is no extension, and only the last extension goes.
TEST(Helpers, FileNameParts) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* stem;
        const char* ext;
        const char* asRvx;
    } cases[] = {
        {"/a/b/name.Ext", "/a/b/", "name.Ext", "name", "Ext", "/a/b/name.rvx"},
        {"/a.d/b", "/a.d/", "b", "b", "", "/a.d/b.rvx"},
        {"/a/b.tar.gz", "/a/", "b.tar.gz", "b.tar", "gz", "/a/b.tar.rvx"},
        {"bare.fak", "", "bare.fak", "bare", "fak", "bare.rvx"},
        {"/a/dir/", "/a/dir/", "", "", "", "/a/dir/.rvx"},
        {"/a/.hidden", "/a/", ".hidden", "", "hidden", "/a/.rvx"},
        {"/a/x.", "/a/", "x.", "x", "", "/a/x.rvx"},
        {"", "", "", "", "", ".rvx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(NameWithoutFolder(c.path), c.name) << c.path;
        EXPECT_EQ(NameWithoutExtension(c.path), c.stem) << c.path;
        EXPECT_EQ(ExtensionOf(c.path), c.ext) << c.path;
        EXPECT_EQ(ChangeFileExt(c.path, ".rvx"), c.asRvx) << c.path;
    }
}

TEST(Helpers, FileExistsOnlyForRegularFiles) {
    const auto dir = std::filesystem::temp_directory_path() / "vx_exists";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub.fak");
    std::ofstream(dir / "f.fak") << "x";
    std::filesystem::create_symlink(dir / "f.fak", dir / "link.fak");
    std::filesystem::create_symlink(dir / "gone.fak", dir / "dangling.fak");
    EXPECT_TRUE(FileExists((dir / "f.fak").string()));
    EXPECT_TRUE(FileExists((dir / "link.fak").string()));
    EXPECT_FALSE(FileExists((dir / "dangling.fak").string()));
    EXPECT_FALSE(FileExists((dir / "sub.fak").string()));
    EXPECT_FALSE(FileExists((dir / "missing.fak").string()));
    EXPECT_FALSE(FileExists(""));
    std::filesystem::remove_all(dir);
}

// A UTF-16 file with a broken surrogate still gives valid UTF-8 text.
TEST(Helpers, LoadFileTextReplacesLoneSurrogates) {
    const auto path = (std::filesystem::temp_directory_path() / "vx_surrogate.txt").string();
    // "A", a lone high surrogate, "B", a pair (U+1F600), a lone low surrogate at the end.
    std::ofstream(path, std::ios::binary) << std::string("\xFF\xFE" "A\0\x00\xD8" "B\0\x3D\xD8\x00\xDE\x00\xDC", 14);
    EXPECT_EQ(LoadFileText(path), "A\xEF\xBF\xBD" "B\xF0\x9F\x98\x80\xEF\xBF\xBD");
    std::filesystem::remove(path);
}

TEST(Helpers, HelpPagesOpenThroughTheUiLayer) {
    ui::ScopedScriptedBackend ui;
    auto dir = std::filesystem::temp_directory_path() / "vx_html";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "man.html") << "x";
    EXPECT_TRUE(OpenHtmlPage((dir / "man.html").string() + "#loesch"));
    ASSERT_EQ(ui->openedUrls.size(), 1u);
    EXPECT_EQ(ui->openedUrls[0], "file://" + (dir / "man.html").string() + "#loesch");
    EXPECT_FALSE(OpenHtmlPage((dir / "none.html").string() + "#x"));
    EXPECT_FALSE(ShellOpenPath("a#b"));
}

TEST(Helpers, ShellOpensDocumentsAsFileUrlsAndWebAddressesAsTheyAre) {
    ui::ScopedScriptedBackend ui;
    auto dir = std::filesystem::temp_directory_path() / "vx_shell open";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "template.xls") << "x";
    EXPECT_TRUE(ShellOpenPath((dir / "template.xls").string()));
    EXPECT_TRUE(ShellOpenPath("https://www.example.org/forum/"));
    EXPECT_EQ(ui->openedUrls, (std::vector<std::string>{"file://" + (dir / "template.xls").string(),
                                                        "https://www.example.org/forum/"}));
    // A missing document, an empty path and a path with "#" fail without reaching the opener.
    EXPECT_FALSE(ShellOpenPath((dir / "none.xls").string()));
    EXPECT_FALSE(ShellOpenPath(""));
    EXPECT_FALSE(ShellOpenPath((dir / "template.xls").string() + "#a"));
    EXPECT_EQ(ui->openedUrls.size(), 2u);
    ui->openUrlResult = false;
    EXPECT_FALSE(ShellOpenPath((dir / "template.xls").string()));
    std::filesystem::remove_all(dir);
}

TEST(DateTime, CalendarArithmetic) {
    EXPECT_EQ(DateTimeToText(0.0), "1899-12-30 00:00:00");
    double dt = 0;
    ASSERT_TRUE(EncodeDateTime({2026, 12, 8, 13, 45, 30, 0}, dt));
    EXPECT_EQ(DateTimeToText(dt), "2026-12-08 13:45:30");
    ASSERT_TRUE(EncodeDateTime({2000, 2, 29, 0, 0, 0, 0}, dt));
    EXPECT_EQ(dt, 36585.0);
    EXPECT_FALSE(EncodeDateTime({2001, 2, 29, 0, 0, 0, 0}, dt));
    EXPECT_FALSE(EncodeDateTime({2001, 13, 1, 0, 0, 0, 0}, dt));
}
