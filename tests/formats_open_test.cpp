#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "formats/ascii_reader.h"
#include "formats/format_table.h"
#include "formats/open_files.h"
#include "formats/reader_messages.h"
#include "formats/rvx.h"
#include "formats_test_util.h"
#include "platform/ui.h"
#include "tests/fault_injection.h"

using fmt_test::CleanState;
using fmt_test::readerErrors;
using fmt_test::StartSettings;
using fmt_test::TempDir;

namespace {

std::string fakText(const std::string& label, int lines = 11, double y = 0.5) {
    std::string s = label.empty() ? "" : label + "\r\n";
    for (int i = 0; i < lines; ++i) s += std::to_string(400 + i) + "\t" + numtext::FloatToStr(y, '.') + "\r\n";
    return s;
}

std::unique_ptr<TSpectrumRecord> record(const std::string& title, SpecXUnit xUnit, SpecYKind yKind, uint32_t color) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->XUnit = xUnit;
    r->YKind = yKind;
    r->FirstX = 500;
    r->StepX = xUnit == SpecXNanometer ? 1 : -1;
    r->Values = {0.1, 0.2, 0.3};
    r->Color = color;
    r->LineStyle = 1;
    return r;
}

std::string rvxImage(std::initializer_list<std::pair<SpecXUnit, SpecYKind>> units) {
    TSpectraList l;
    int i = 0;
    for (auto [x, y] : units) l.Add(record("r" + std::to_string(i++), x, y, 0x123456));
    return RvxFileImage(l);
}

void setFileYear2000(const std::string& path) {
    utimbuf t{946684800, 946684800};
    ASSERT_EQ(::utime(path.c_str(), &t), 0);
}

}  // namespace

class OpenFiles : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TempDir dir;
    TSpectraList list;
    TDisplayState display;
    StartSettings settings;
    std::string folder() const { return dir.file(""); }
    OpenResult open(std::vector<std::string> names, const std::function<void(int, int)>& progress = {}) {
        return OpenSpectrumFiles(std::move(names), list, display, settings, progress);
    }
};

TEST_F(OpenFiles, NamesAreReadInCaseInsensitiveOrderWithDefaultColours) {
    const std::string b = dir.write("b.fak", fakText("Wavenumbers\tTransmittance"));
    const std::string a = dir.write("A.fak", fakText("Wavelength\tAbsorbance"));
    std::vector<std::pair<int, int>> progress;
    OpenResult r = open({b, a}, [&](int i, int n) { progress.emplace_back(i, n); });
    EXPECT_EQ(readerErrors(r), "");
    EXPECT_EQ(r.filesRead, 2);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title, "A");
    EXPECT_EQ(list[1].Title, "b");
    EXPECT_EQ(list[0].Color, CurveColor(1));
    EXPECT_EQ(list[1].Color, CurveColor(2));
    EXPECT_EQ(list[0].LineStyle, 0);
    EXPECT_EQ(display.DisplayXUnit, SpecXWavenumber);  // from the last record, b
    EXPECT_EQ(display.DisplayYMode, SpecYTransmittance);
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(r.openFolder, folder());
    EXPECT_TRUE(r.rvxFiles.empty());
    EXPECT_FALSE(r.restoreAppearance);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(OpenFiles, AHeaderlessTextFileAsksWithTheProgramsLastChoice) {
    const std::string a = dir.write("a.fak", fakText(""));
    const std::string b = dir.write("b.fak", fakText(""));
    settings.AxisQueryChoice = {SpecXElectronVolt, SpecYAbsorbance};
    std::vector<std::string> preselected;
    ui->onAsk = [&](ui::Query& q) {
        preselected.push_back(q.fields[kAxisQueryXUnit] + "/" + q.fields[kAxisQueryYKind]);
        q.fields[kAxisQueryXUnit] = "2";
        q.fields[kAxisQueryYKind] = "1";
        return true;
    };
    OpenResult r = open({a, b});
    EXPECT_EQ(readerErrors(r), "");
    ASSERT_EQ(list.Count(), 2);
    // The first file starts from the program's choice, the second from the first file's answer.
    EXPECT_EQ(preselected, (std::vector<std::string>{"3/2", "2/1"}));
    EXPECT_EQ(settings.AxisQueryChoice.XUnit, SpecXWavenumber);
    EXPECT_EQ(settings.AxisQueryChoice.YKind, SpecYTransmittance);
    EXPECT_EQ(list[1].XUnit, SpecXWavenumber);
    EXPECT_EQ(list[1].YKind, SpecYTransmittance);
}

TEST_F(OpenFiles, NameListRules) {
    const std::string upper = dir.write("S.fak", fakText("nm\tAbsorbance"));
    const std::string lower = dir.write("s.fak", fakText("nm\tAbsorbance"));
    const std::string semi = dir.write("x; y.FAK", fakText("nm\tAbsorbance"));
    const std::string text = dir.write("notes.txt", "nothing");
    OpenResult r = open({semi, lower, upper, lower, text});
    EXPECT_EQ(readerErrors(r), "");
    EXPECT_EQ(r.filesRead, 3);  // the duplicate once, the text file skipped silently
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].Title, "S");  // case-sensitive tie-break
    EXPECT_EQ(list[1].Title, "s");
    EXPECT_EQ(list[2].Title, "x; y");
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(OpenFiles, ReaderErrorCostsOnlyItsFileAndUnitsFollowTheList) {
    const std::string a = dir.write("a.fak", fakText("Wavenumbers\tAbsorbance"));
    const std::string b = dir.write("b.fak", fakText("nm\tAbsorbance", 9));
    const std::string c = dir.write("c.fak", fakText("nm\tAbsorbance"));
    display.DisplayXUnit = SpecXWavenumber;
    OpenResult r = open({c, b, a});
    EXPECT_EQ(r.filesRead, 2);
    ASSERT_EQ(list.Count(), 2);  // c is read after b failed
    EXPECT_EQ(list[1].Title, "c");
    EXPECT_EQ(list[1].Color, CurveColor(2));
    EXPECT_EQ(readerErrors(r), "File: " + b + "\r\nList index out of bounds (10)");
    EXPECT_EQ(r.failed, (std::vector<OpenFailure>{{b, "List index out of bounds (10)"}}));
    EXPECT_EQ(display.DisplayXUnit, SpecXNanometer);  // from c, the last record
    EXPECT_EQ(r.openFolder, folder());
}

TEST_F(OpenFiles, OwnFormatFilesAndAppearance) {
    const std::string one = dir.write("one.rvx", rvxImage({{SpecXNanometer, SpecYAbsorbance}, {SpecXRamanShift, SpecYReflectance}}));
    OpenResult r = open({one});
    EXPECT_EQ(r.rvxFiles, std::vector<std::string>{one});
    EXPECT_TRUE(r.restoreAppearance);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Color, 0x123456u);  // records keep their own colour and style
    EXPECT_EQ(list[0].LineStyle, 1);
    EXPECT_EQ(display.DisplayXUnit, SpecXWavenumber);
    EXPECT_EQ(display.DisplayYMode, SpecYTransmittance);

    // Into a list that already holds spectra: no restore.
    r = open({one});
    EXPECT_FALSE(r.restoreAppearance);

    // Two files at once, or an old file: no restore.
    list.Clear();
    const std::string two = dir.write("two.rvx", rvxImage({{SpecXNanometer, SpecYIntensity}}));
    r = open({one, two});
    EXPECT_EQ(r.rvxFiles, (std::vector<std::string>{one, two}));
    EXPECT_FALSE(r.restoreAppearance);
    list.Clear();
    setFileYear2000(two);
    r = open({two});
    EXPECT_FALSE(r.restoreAppearance);
    EXPECT_EQ(r.rvxFiles.size(), 1u);
}

TEST_F(OpenFiles, TruncatedOwnFormatFileKeepsItsCompleteSpectra) {
    std::string image = rvxImage({{SpecXNanometer, SpecYAbsorbance}, {SpecXNanometer, SpecYAbsorbance}});
    image.resize(image.size() - 4);
    const std::string bad = dir.write("bad.rvx", image);
    const std::string later = dir.write("later.fak", fakText("nm\tAbsorbance"));
    OpenResult r = open({bad, later});
    ASSERT_EQ(list.Count(), 2);  // the complete spectrum of bad.rvx, then later.fak
    EXPECT_EQ(list[0].PointCount(), 3);
    EXPECT_EQ(list[1].Title, "later");
    EXPECT_EQ(readerErrors(r), "File: " + bad + "\r\nStream read error");
    EXPECT_EQ(r.failed, (std::vector<OpenFailure>{{bad, "Stream read error", false, 1}}));
    EXPECT_EQ(NoSpectrumMessage(r.failed), "No spectrum could be read from:\r\n" + bad +
                                               ": Stream read error - the spectrum read before the error is kept");
    EXPECT_TRUE(r.rvxFiles.empty());
}

// Bytes that no reader takes for a spectrum: the same every run.
std::string junkBytes(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>((i * 37 + 11) & 0xFF);
    return s;
}

// A file that gives no spectrum is named with the reason (unknown extension, nothing in it, bytes of no
// format), and an own-format file that gave nothing never counts as opened for the recent files.
TEST_F(OpenFiles, FilesWithoutSpectrumAreListedAndNeverRecent) {
    const std::string empty = dir.write("a_empty.dx", "");
    const std::string junk = dir.write("b_junk.dat", junkBytes(3000));
    const std::string none = dir.write("b_none.rvx", RvxFileImage(TSpectraList()));
    const std::string good = dir.write("c_good.fak", fakText("nm\tAbsorbance"));
    const std::string notes = dir.write("d_notes.txt", "nothing");
    const std::string noExt = dir.write("e_noext", "nothing");
    const std::string own = dir.write("f_own.rvx", rvxImage({{SpecXNanometer, SpecYAbsorbance}}));
    OpenResult r = open({own, noExt, notes, good, none, junk, empty});
    EXPECT_EQ(readerErrors(r), "");
    const std::string nothing = "no spectrum of two or more points in it";
    EXPECT_EQ(r.failed, (std::vector<OpenFailure>{{empty, nothing},
                                                  {junk, nothing},
                                                  {none, nothing},
                                                  {notes, "no reader knows the extension \".txt\"", true},
                                                  {noExt, "no reader knows a name without extension", true}}));
    EXPECT_EQ(r.rvxFiles, std::vector<std::string>{own});
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(ui->messages.empty());  // the command shows the one message
    const std::string message = NoSpectrumMessage(r.failed);
    const std::string head = "No spectrum could be read from:\r\n" + empty + ": " + nothing + "\r\n" + junk + ": " +
                             nothing + "\r\n" + none + ": " + nothing + "\r\n" + notes +
                             ": no reader knows the extension \".txt\"\r\n" + noExt +
                             ": no reader knows a name without extension\r\n\r\n"
                             "The Open command reads the extensions (in any case): .RVX, .CSV, .DX, .JDX, ";
    EXPECT_EQ(message.substr(0, head.size()), head);
    EXPECT_EQ(message.substr(message.size() - 6), ", .DAT") << message;
}

// The list of extensions in the message is the format table's: every extension with a reader, each
// once, and only those.
TEST_F(OpenFiles, UnknownExtensionMessageListsTheTablesExtensions) {
    const std::string notes = dir.write("notes.txt", "nothing");
    const OpenResult r = open({notes});
    const std::string message = NoSpectrumMessage(r.failed);
    const std::string lead = "The Open command reads the extensions (in any case): ";
    const std::size_t at = message.find(lead);
    ASSERT_NE(at, std::string::npos) << message;
    std::string listed = message.substr(at + lead.size());
    std::vector<std::string> shown;
    for (std::size_t p = 0; p < listed.size();) {
        const std::size_t q = std::min(listed.find(", ", p), listed.size());
        shown.push_back(listed.substr(p, q - p));
        p = q + 2;
    }
    std::vector<std::string> expected;
    for (const FormatEntry& row : FormatTable())
        if (row.HasReader())
            for (const std::string& ext : row.extensions) expected.push_back("." + ext);
    EXPECT_EQ(shown, expected);
    for (const char* ext : {".RVX", ".TTT", ".PROCSPEC", ".LIB", ".DAT"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), ext), shown.end()) << ext;
    EXPECT_EQ(std::find(shown.begin(), shown.end(), ".TXT"), shown.end());

    // Without an unknown extension among the failures the list is left out.
    const std::string empty = dir.write("empty.dx", "");
    EXPECT_EQ(NoSpectrumMessage(open({empty}).failed).find(lead), std::string::npos);
}

// A compound infrared export as one software writes it: a link block announcing two blocks, then two
// blocks of four "x, y;" pairs a line, the last line shorter, and empty titles.
std::string compoundJcamp(int points) {
    std::string s = "##TITLE=\r\n##JCAMP-DX=4.24\r\n##DATA TYPE= LINK\r\n##ORIGIN=\r\n##OWNER=\r\n##BLOCKS=2\r\n";
    for (int block = 0; block < 2; ++block) {
        s += "##TITLE=\r\n##JCAMP-DX=4.24\r\n##DATA TYPE=INFRARED SPECTRUM\r\n##XUNITS=1/CM\r\n"
             "##YUNITS=ABSORBANCE\r\n##XFACTOR= 1.0\r\n##YFACTOR= 0.000001\r\n##FIRSTX=4000.5\r\n"
             "##LASTX=" + std::to_string(4000 - points + 1) + ".5\r\n##NPOINTS=" + std::to_string(points) +
             "\r\n##XYPOINTS= (XY..XY)\r\n";
        for (int i = 0; i < points; ++i) {
            s += "  " + std::to_string(4000 - i) + ".5,    " + std::to_string(100000 * (block + 1) + i) + ";";
            if (i % 4 == 3 || i == points - 1) s += " \r\n";
        }
        s += "##END=\r\n";
    }
    return s + "##END=\r\n";
}

std::string avaSoftText(const std::vector<std::string>& data) {
    std::vector<std::string> ls = {"Dye", "Integration time: 100 ms", "", "", "", "", "Wave ;Sample"};
    ls.insert(ls.end(), data.begin(), data.end());
    ls.push_back("999;999");
    return fmt_test::crlfLines(ls);
}

// Files that fail in the middle of a batch, by a reader's error or by giving nothing, cost only
// themselves: every other file is read, and each failed one is named with its reason in the one message.
TEST_F(OpenFiles, FailingFilesInABatchCostOnlyThemselves) {
    const std::string compound = dir.write("a_compound.jdx", compoundJcamp(10));
    const std::string badTrt = dir.write("b_bad.trt", avaSoftText({"400;1", "401;x2", "402;3"}));
    const std::string empty = dir.write("c_empty.dx", "");
    std::vector<std::string> ttt;
    for (int i = 1; i <= 4; ++i)
        ttt.push_back(dir.write("d" + std::to_string(i) + ".ttt", avaSoftText({"400;50", "401;60", "402;70"})));
    const std::string cut = dir.write("e_cut.fak", fakText("nm\tAbsorbance", 9));
    const std::string notes = dir.write("f_notes.txt", "nothing");
    const std::string good = dir.write("g_good.fak", fakText("nm\tAbsorbance"));
    OpenResult r = open({good, notes, cut, ttt[3], ttt[2], ttt[1], ttt[0], empty, badTrt, compound});

    ASSERT_EQ(list.Count(), 7);
    EXPECT_EQ(list[0].Title, "a_compound.jdx subfile 1");
    EXPECT_EQ(list[1].Title, "a_compound.jdx subfile 2");
    for (int b = 0; b < 2; ++b) {
        EXPECT_EQ(list[b].PointCount(), 10);
        EXPECT_EQ(list[b].XUnit, SpecXWavenumber);
        EXPECT_DOUBLE_EQ(list[b].Values[9], 0.1 * (b + 1));  // y factor applied, pairs in rising x
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list[2 + i].FileName.str(), ttt[static_cast<std::size_t>(i)]);
    EXPECT_EQ(list[6].FileName.str(), good);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(list[i].Color, CurveColor(i + 1)) << i;
    EXPECT_EQ(r.filesRead, 7);  // the readers that ran without an error, the empty one among them

    const std::string notFloat = "'x2' is not a valid floating point value";
    const std::string outOfBounds = "List index out of bounds (10)";
    const std::string nothing = "no spectrum of two or more points in it";
    const std::string unknown = "no reader knows the extension \".txt\"";
    EXPECT_EQ(r.failed, (std::vector<OpenFailure>{
                            {badTrt, notFloat}, {empty, nothing}, {cut, outOfBounds}, {notes, unknown, true}}));
    EXPECT_EQ(readerErrors(r), "File: " + badTrt + "\r\n" + notFloat + "\r\nFile: " + cut + "\r\n" + outOfBounds);
    const std::string message = NoSpectrumMessage(r.failed);
    EXPECT_EQ(message.substr(0, message.find("\r\n\r\n")),
              "No spectrum could be read from:\r\n" + badTrt + ": " + notFloat + "\r\n" + empty + ": " + nothing +
                  "\r\n" + cut + ": " + outOfBounds + "\r\n" + notes + ": " + unknown);
    EXPECT_EQ(display.DisplayXUnit, SpecXNanometer);  // the last record, g_good.fak
    EXPECT_TRUE(ui->messages.empty());
}

// What readers tell while the Open command reads goes into its one summary, each file with its own
// reason: no box of their own, the reader's reason in place of the bare "nothing was read", and the
// notes of files that were read. A reader's question is still asked.
TEST_F(OpenFiles, ReadersMessagesGoIntoTheOneSummary) {
    auto jcamp = [](std::initializer_list<std::string> ls) {
        std::string s;
        for (const auto& l : ls) s += l + "\r\n";
        return s;
    };
    const std::string head = "##TITLE= t\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n";
    const std::string nmrBlock = jcamp({"##TITLE= n", "##DATA TYPE= NMR SPECTRUM", "##XYDATA= (X++(Y..Y))",
                                        "1 2 3", "2 4 5", "##END="});
    const std::string goodBlock = head + jcamp({"##XYDATA= (X++(Y..Y))", "400 0.1 0.2", "402 0.3 0.4", "##END="});
    const std::string nmr = dir.write("a_nmr.dx", nmrBlock);
    const std::string raised =
        dir.write("b_raised.jdx", jcamp({"##BLOCKS= 2"}) + nmrBlock + head + jcamp({"##XYDATA= (X++(Y..Y))", "#400 1 2", "##END="}));
    const std::string shortTable =
        dir.write("c_short.dx", head + jcamp({"##NPOINTS= 5", "##XYPOINTS= (XY..XY)", "400, 1", "401, 2", "##END="}));
    const std::string filled = dir.write("d_filled.dx", head + jcamp({"##XYDATA= (X++(Y..Y))", "400 0.5 ? 0.7", "403 0.8", "##END="}));
    const std::string skipped = dir.write("e_skipped.dx", jcamp({"##BLOCKS= 2"}) + nmrBlock + goodBlock);
    const std::string asked = dir.write("f_asked.fak", fakText(""));
    const std::string empty = dir.write("g_empty.dx", "");
    const OpenResult r = open({empty, asked, skipped, filled, shortTable, raised, nmr});

    EXPECT_TRUE(ui->messages.empty());  // no box of a reader's own
    EXPECT_EQ(ui->asked.size(), 1u);    // the headerless file's axis question
    EXPECT_EQ(list.Count(), 3);
    const std::string refused = "can not be read by Varolux32!";
    const std::string nothing = "no spectrum of two or more points in it";
    EXPECT_EQ(r.failed, (std::vector<OpenFailure>{
                            {nmr, nothing, false, 0, refused},
                            {raised, "'#400' is not a valid floating point value", false, 0,
                             refused + " 1 of 2 blocks were skipped."},
                            {shortTable, "List index out of bounds (7)"},
                            {empty, nothing}}));
    EXPECT_EQ(r.notes, (std::vector<OpenNote>{{filled, FilledInValuesText(1)},
                                              {skipped, refused + " 1 of 2 blocks were skipped."}}));
    EXPECT_EQ(OpenSummaryMessage(r), "No spectrum could be read from:\r\n" + nmr + ": " + refused + "\r\n" + raised +
                                         ": " + refused + " 1 of 2 blocks were skipped. '#400' is not a valid "
                                         "floating point value\r\n" + shortTable + ": List index out of bounds (7)\r\n" +
                                         empty + ": " + nothing + "\r\n\r\nRead with notes:\r\n" + filled + ": " +
                                         FilledInValuesText(1) + "\r\n" + skipped + ": " + refused +
                                         " 1 of 2 blocks were skipped.");

    // Only notes: the summary holds them alone; nothing to tell: no summary.
    list.Clear();
    EXPECT_EQ(OpenSummaryMessage(open({filled})), "Read with notes:\r\n" + filled + ": " + FilledInValuesText(1));
    EXPECT_EQ(OpenSummaryMessage(open({dir.write("h_good.dx", goodBlock)})), "");
    EXPECT_TRUE(ui->messages.empty());
}

// A reader's messages as one line without the file's name that leads them.
TEST(OpenSummary, ReaderNoteTextDropsTheLeadingNameAndJoinsLines) {
    const std::string name = "/data/a.dx";
    EXPECT_EQ(ReaderNoteText({name + "\r\n\r\ncan not be read!\r\n2 of 3 blocks were skipped.", "Wrong File Format!"}, name),
              "can not be read! 2 of 3 blocks were skipped. Wrong File Format!");
    EXPECT_EQ(ReaderNoteText({"/data/a.dx.bak is odd", name}, name), "/data/a.dx.bak is odd");
    EXPECT_EQ(ReaderNoteText({}, name), "");
}

TEST_F(OpenFiles, NothingToRead) {
    OpenResult r = open({});
    EXPECT_EQ(r.filesRead, 0);
    EXPECT_TRUE(r.openFolder.empty());
    EXPECT_EQ(readerErrors(r), "");
    EXPECT_EQ(display.DisplayXUnit, SpecXNanometer);
}

TEST_F(OpenFiles, DisplayUnitsFromTheLastRecord) {
    struct Case {
        SpecXUnit xUnit;
        SpecYKind yKind;
        SpecXUnit displayX;
        SpecYKind displayY;
    } cases[] = {
        {SpecXNanometer, SpecYTransmittance, SpecXNanometer, SpecYTransmittance},
        {SpecXWavenumber, SpecYAbsorbance, SpecXWavenumber, SpecYAbsorbance},
        {SpecXElectronVolt, SpecYEpsilon, SpecXElectronVolt, SpecYEpsilon},
        {SpecXMicrometer, SpecYLogEpsilon, SpecXMicrometer, SpecYLogEpsilon},
        {SpecXRamanShift, SpecYReflectance, SpecXWavenumber, SpecYTransmittance},
        {SpecXNanometer, SpecYIntensity, SpecXNanometer, SpecYEpsilon},
    };
    for (const auto& c : cases) {
        list.Clear();
        list.Add(record("r", c.xUnit, c.yKind, 0));
        const TDisplayState shown = DisplayUnitsFromLastRecord(list, TDisplayState{SpecXMicrometer, SpecYEpsilon});
        EXPECT_EQ(shown.DisplayXUnit, c.displayX) << CodeOf(c.xUnit);
        EXPECT_EQ(shown.DisplayYMode, c.displayY) << CodeOf(c.yKind);
    }
    list.Clear();
    const TDisplayState kept = DisplayUnitsFromLastRecord(list, TDisplayState{SpecXMicrometer, SpecYEpsilon});
    EXPECT_EQ(kept.DisplayXUnit, SpecXMicrometer);
    EXPECT_EQ(kept.DisplayYMode, SpecYEpsilon);
}

TEST_F(OpenFiles, ExistingFilesDropsMissingNames) {
    const std::string a = dir.write("a.fak", "x");
    std::filesystem::create_directories(dir.file("folder.fak"));
    EXPECT_EQ(ExistingFiles({dir.file("missing.fak"), a, dir.file("folder.fak"), "", a}),
              (std::vector<std::string>{a, a}));
}

// A named pipe (or a folder) under a spectrum file's name held the Open command for ever. Every reader of
// the table refuses it at once, and the error names the reason after "Cannot open file".
TEST_F(OpenFiles, EveryReaderRefusesPipesAndFoldersWithTheReason) {
    // The SPC reader binds the SPC library before it opens the file: its refusal is tested with the
    // library registered (formats_spc_test).
    std::vector<std::string> names;
    for (const FormatEntry& row : FormatTable())
        if (row.HasReader())
            for (const std::string& ext : row.extensions)
                if (ext != "SPC") names.push_back(ext);
    ASSERT_GT(names.size(), 20u);
    for (const std::string& ext : names) {
        SCOPED_TRACE(ext);
        const std::string pipe = dir.file("pipe." + ext), folder = dir.file("folder." + ext);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        std::filesystem::create_directories(folder);
        const int code = fault::inChildWithin(10, [&] {
            ui::ScopedScriptedBackend quiet;
            for (const auto& [path, reason] : {std::pair{pipe, "Is a named pipe"}, std::pair{folder, "Is a directory"}}) {
                const std::string error = readerErrors(open({path}));
                if (error.find("Cannot open file") == std::string::npos || error.find(path) == std::string::npos ||
                    error.find(reason) == std::string::npos) {
                    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
                    return 1;
                }
            }
            return list.Count() == 0 ? 0 : 2;
        });
        EXPECT_EQ(code, 0);
    }
}
