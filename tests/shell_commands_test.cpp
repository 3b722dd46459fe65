// Menu entries and the commands of the File and Plot / Options menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QGuiApplication>
#include <QImage>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeData>
#include <QDropEvent>
#include <QFontDialog>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include <fstream>
#include <optional>

#include "app/TMainwin.h"
#include "app/app_version.h"
#include "app/dialogs/TAboutBox.h"
#include "app/dialogs/tool_dialog.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app_test_support.h"
#include "core/units.h"
#include "formats/rvx.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

class ShellCommands : public ShellWindowTest {
protected:
    void AddCurves(int n) {
        for (int i = 0; i < n; ++i) SpectraList.AddWithDefaultColor(MakeRecord(400, 1, {0.1, 0.2, 0.3}));
        w_->StandardReplot();
    }
};

struct MenuCase {
    const char* objectName;
    const char* text;
    const char* shortcut;
    int enabled;  // 1 built here, -1 built by other commands' work (state not fixed here)
};

TEST_F(ShellCommands, MenuEntriesCarryTextsShortcutsAndState) {
    const MenuCase cases[] = {
        {"ffnen1", "&Open", "Ctrl+O", 1},
        {"Speichern1", "&Save", "Ctrl+S", 1},
        {"SaveDataas1", "Save Data &as...", "Ctrl+Shift+S", 1},
        {"Beenden1", "&Exit", "Ctrl+Q", 1},
        {"PasteDatafromClipboard1", "&Paste Data from Clipboard", "Ctrl+V", -1},
        {"Allelschen2", "Remove &All ", "Shift+Del", -1},
        {"SelectforRemoval1", "&Select for Removal...", "Del", -1},
        {"Letztesllschen1", "Remove &Last Spectrum", "Backspace", -1},
        {"AdvancedSmoothing1", "Advanced S&moothing...", "Ctrl+Alt+G", -1},
        {"Schwerpunkt1", "Center of &Gravity...", "", -1},
        {"PeaksFWHM1", "Peaks && &FWHM...", "Ctrl+P", -1},
        {"ShowEEM1", ">> Show 2D &Spectrum (&EEM) <<", "Ctrl+Z", -1},
        {"StandardLinesColours1", "&Standard Lines&&Colours", "Home", 1},
        {"ThickerLines1", "&Thicker Lines", "PgUp", 1},
        {"ThinnerLines1", "Th&inner Lines", "PgDown", 1},
        {"ShowLegend1", "Show &Legend", "F8", 1},
        {"FlipXAxis1", "&Flip X-Axis", "F12", 1},
        {"BackgroundColour1", "Background C&olour...", "Ctrl+H", 1},
        {"Configuration1", "&Configuration...", "F3", 1},
        {"About1", "about &Varolux32...", "F2", -1},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.objectName);
        QAction* a = w_->Action(c.objectName);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), c.text);
        EXPECT_EQ(a->shortcut(), QKeySequence(c.shortcut));
        if (c.enabled >= 0) {
            EXPECT_EQ(a->isEnabled(), c.enabled == 1);
        }
    }
    // No two entries share a shortcut, so no key runs a command the user did not mean.
    std::map<QString, std::string> seen;
    for (QAction* a : w_->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty()) continue;
        const QString k = a->shortcut().toString();
        EXPECT_TRUE(seen.emplace(k, a->objectName().toStdString()).second)
            << k.toStdString() << " on " << a->objectName().toStdString() << " and " << seen[k];
    }
}

TEST_F(ShellCommands, ThickerAndThinnerLinesStopAtTheirLimits) {
    AddCurves(2);
    SpectraList[1].LineWidth = 7;  // widths above 6 are left alone by Thicker Lines
    w_->StandardReplot();
    for (int i = 0; i < 9; ++i) w_->ThickerLines1Click();
    EXPECT_EQ(plot().BaseLineWidth, 7);
    EXPECT_EQ(plot().Curve(1).Width, 7);
    EXPECT_EQ(plot().Curve(2).Width, 7);  // still its width from the re-plot at base 1
    for (int i = 0; i < 9; ++i) w_->ThinnerLines1Click();
    EXPECT_EQ(plot().BaseLineWidth, 1);
    EXPECT_EQ(plot().Curve(1).Width, 1);
}

TEST_F(ShellCommands, FlipTwiceRestoresAndCyclingGivesTheStylePattern) {
    AddCurves(4);
    const int d = plot().Direction, d2 = plot().X2Direction;
    w_->FlipXAxis1Click();
    EXPECT_EQ(plot().Direction, 3 - d);
    EXPECT_EQ(plot().X2Direction, d);
    w_->FlipXAxis1Click();
    EXPECT_EQ(plot().Direction, d);
    EXPECT_EQ(plot().X2Direction, d2);

    w_->CyclingLineTypes1Click();
    EXPECT_EQ(plot().GetCurveStyle(1), 0);
    EXPECT_EQ(plot().GetCurveStyle(2), 2);
    EXPECT_EQ(plot().GetCurveStyle(3), 1);
    EXPECT_EQ(plot().GetCurveStyle(4), 0);
}

TEST_F(ShellCommands, BlackAndStandardLooks) {
    AddCurves(3);
    SpectraList[0].Color = 0x123456;
    SpectraList[0].LineStyle = 1;
    SpectraList[0].LineWidth = 5;
    w_->ThickerLines1Click();
    w_->PlotAllBlack1Click();
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(plot().GetCurveColor(n), 0u);
    EXPECT_NE(SpectraList[1].Color, 0u);  // records unchanged
    w_->StandardLinesColours1Click();
    EXPECT_EQ(plot().BaseLineWidth, 1);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(plot().GetCurveColor(n), CurveColor(n));
        EXPECT_EQ(plot().GetCurveStyle(n), 0);
        EXPECT_EQ(plot().Curve(n).Width, 1);
        EXPECT_EQ(SpectraList[n - 1].Color, CurveColor(n));
    }
}

TEST_F(ShellCommands, TogglesFlipTheirSwitch) {
    w_->ShowLegend1Click();
    EXPECT_FALSE(plot().Legende);
    EXPECT_FALSE(w_->Action("ShowLegend1")->isChecked());
    w_->Gridonoff1Click();
    EXPECT_FALSE(plot().GridOn);
    w_->PointsLines1Click();
    EXPECT_FALSE(plot().DrawAsLines);
    plot().Dirty = false;
    w_->SecondaryXAxis1Click();
    EXPECT_TRUE(plot().SecondXAxisOn);
    EXPECT_TRUE(plot().Dirty);
}

TEST_F(ShellCommands, SaveWithABarePatternRunsSaveDataAs) {
    int dialogs = 0;
    SetFileDialogRunner([&](const TFileDialogSpec&) {
        ++dialogs;
        return TFileDialogChoice{};
    });
    w_->Speichern1Click();  // no curve: nothing
    EXPECT_EQ(dialogs, 0);
    AddCurves(1);
    for (const char* bare : {"", "*.rvx", "*.dat"}) {
        w_->SaveDialogFileName = bare;
        w_->Speichern1Click();
    }
    EXPECT_EQ(dialogs, 3);
    EXPECT_TRUE(ui_->messages.empty());

    // A real name asks first; No runs Save Data as.
    w_->SaveDialogFileName = "/tmp/x.rvx";
    ui_->answers = {ui::Answer::No};
    w_->Speichern1Click();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "Data will be saved as \r\n/tmp/x.rvx");
    EXPECT_EQ(dialogs, 4);
}

TEST_F(ShellCommands, SaveDataAsForcesTheExtensionOfTheFilterAndKeepsTheFolder) {
    AddCurves(1);
    std::string start;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        start = spec.Start.toStdString();
        return TFileDialogChoice{{TestFolder() + "out.txt"}, 5};
    });
    ProgramSettings.SaveFolder = "/somewhere/";
    w_->SaveDialogFileName = "/data/old.rvx";
    w_->SaveDataas1Click();
    EXPECT_EQ(start, "/somewhere/old");
    EXPECT_EQ(ProgramSettings.SaveFolder, TestFolder());
    EXPECT_EQ(w_->SaveDialogFileName, TestFolder() + "out.csv");
}

// Saving over a file that is there asks first, as every save does: No keeps the old file untouched,
// Yes replaces it.
TEST_F(ShellCommands, SaveDataAsOverAnExistingFileAsksBeforeReplacing) {
    SpectraList.AddWithDefaultColor(MakeRecord(400, 2, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, "new"));
    w_->StandardReplot();
    const std::string target = WriteTestFile("replaced.rvx", "old contents");
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{target}, 1}; });
    const std::string question = target + " already exists.\r\nDo you want to replace it?";

    ui_->answers = {ui::Answer::No};
    w_->SaveDataas1Click();
    ASSERT_EQ(ui_->messages, std::vector<std::string>{question});
    std::ifstream kept(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old contents");
    EXPECT_NE(w_->SaveDialogFileName, target);

    ui_->answers = {ui::Answer::Yes};
    w_->SaveDataas1Click();
    EXPECT_EQ(ui_->messages, (std::vector<std::string>{question, question}));
    std::ifstream replaced(target, std::ios::binary);
    const std::string contents(std::istreambuf_iterator<char>(replaced), {});
    EXPECT_NE(contents.find("new"), std::string::npos);
    EXPECT_EQ(w_->SaveDialogFileName, target);
}

// Typed in the file dialog: "x.csv" under the RVX entry saves CSV and writes no RVX file; a name
// without an extension still gets the chosen entry's.
TEST_F(ShellCommands, SaveDataAsSavesTheFormatOfATypedExtension) {
    SpectraList.AddWithDefaultColor(MakeRecord(400, 2, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, "typed"));
    w_->StandardReplot();
    std::string typed;
    int filterIndex = 1;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        EXPECT_STREQ(spec.ObjectName, "SaveRvx");
        return TFileDialogChoice{{typed}, filterIndex};
    });
    const std::string dir = TestFolder() + "typed/";
    QDir().mkpath(QString::fromStdString(dir));

    typed = dir + "x.csv";
    w_->SaveDataas1Click();
    EXPECT_FALSE(FileExists(dir + "x.rvx"));
    ASSERT_TRUE(FileExists(dir + "x.csv"));
    std::ifstream csv(dir + "x.csv", std::ios::binary);
    std::string row0;
    std::getline(csv, row0);
    EXPECT_EQ(row0, std::string(1, numtext::listSeparator()) + "typed" + numtext::listSeparator() + "\r");
    EXPECT_EQ(w_->SaveDialogFileName, dir + "x.csv");
    EXPECT_TRUE(w_->RecentFiles().Names().empty());  // no RVX file was written

    // Under the CSV entry a typed ".rvx" saves RVX, which enters the recent files.
    typed = dir + "y.rvx";
    filterIndex = 5;
    w_->SaveDataas1Click();
    EXPECT_FALSE(FileExists(dir + "y.csv"));
    EXPECT_EQ(w_->RecentFiles().Names(), std::vector<std::string>{dir + "y.rvx"});

    // No extension: the chosen entry's, as before.
    typed = dir + "z";
    filterIndex = 3;
    w_->SaveDataas1Click();
    EXPECT_TRUE(FileExists(dir + "z.dx"));
    EXPECT_TRUE(ui_->messages.empty());
    SetFileDialogRunner(nullptr);
}

// Help > Website and the address in the about box open one and the same page.
TEST_F(ShellCommands, WebsiteCommandAndAboutBoxOpenTheSameAddress) {
    Trigger("Website1");
    QString shownAddress;
    SetModalRunner([&](QDialog& d) {
        auto* label = d.findChild<QLabel*>("Label7");
        if (!label) return int(QDialog::Rejected);
        shownAddress = label->text();
        static_cast<TAboutBox&>(d).Label7Click();
        return int(QDialog::Accepted);
    });
    Trigger("About1");
    ASSERT_EQ(ui_->openedUrls.size(), 2u);
    EXPECT_EQ(ui_->openedUrls[0], kWebsiteUrl);
    EXPECT_EQ(ui_->openedUrls[1], kWebsiteUrl);
    EXPECT_TRUE(shownAddress.contains(kWebsiteUrl)) << shownAddress.toStdString();
}

TEST_F(ShellCommands, VanishedRecentFileIsReportedAndLeavesTheList) {
    const std::string gone = TestFolder() + "gone.rvx";
    w_->RecentFiles().Add(gone);
    w_->RefreshRecentMenu();
    w_->MRUManager1Click(gone);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "File: " + gone + "\r\n" + "has gone!");
    EXPECT_TRUE(w_->RecentFiles().Names().empty());
    EXPECT_TRUE(w_->PendingFiles.empty());
}

TEST_F(ShellCommands, CancelledOpenStillRefreshesCountTitlesAndAutoscaling) {
    SpectraList.Add(MakeRecord(400, 1, {0.1, 0.2}, SpecXNanometer, SpecYIntensity));
    w_->StandardReplot();
    w_->SetStatusText(0, "");
    SetFileDialogRunner([](const TFileDialogSpec&) { return TFileDialogChoice{}; });
    plot().Autoscaling = false;
    w_->ffnen1Click();
    EXPECT_EQ(w_->StatusText(0), "1 Spectra");
    EXPECT_EQ(plot().KurvenAnzahl(), 1);
    EXPECT_EQ(plot().Y1achsenText, "Intensity");
    EXPECT_TRUE(plot().Autoscaling);
    EXPECT_EQ(w_->ComboSpectroscope()->count(), 1);
}

std::string FakText(double first) {
    std::string t;
    for (int i = 0; i < 15; ++i) t += std::to_string(first + i) + "\t0.5\r\n";
    return t;
}

TEST_F(ShellCommands, DroppedFilesAreReadInOneOpenRunInSortedOrder) {
    const std::string c = WriteTestFile("c d;e.fak", FakText(500)), b = WriteTestFile("b.fak", FakText(400)),
                      a = WriteTestFile("A.fak", FakText(300));
    int dialogs = 0;
    SetFileDialogRunner([&](const TFileDialogSpec&) {
        ++dialogs;
        return TFileDialogChoice{};
    });
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(c)), QUrl::fromLocalFile(QString::fromStdString(b)),
                  QUrl::fromLocalFile(QString::fromStdString(a))});
    w_->show();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &drop);
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(dialogs, 0);  // the names were pending, so no dialog
    EXPECT_TRUE(w_->PendingFiles.empty());
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[0].FileName.str(), a);
    EXPECT_EQ(SpectraList[1].FileName.str(), b);
    EXPECT_EQ(SpectraList[2].FileName.str(), c);  // a name with ";" and a blank stays whole
    EXPECT_EQ(plot().KurvenAnzahl(), 3);
    EXPECT_EQ(w_->StatusText(0), "3 Spectra");
    EXPECT_EQ(SpectraList[0].Color, CurveColor(1));
    EXPECT_EQ(SpectraList[2].Color, CurveColor(3));
    EXPECT_EQ(ProgramSettings.OpenFolder, TestFolder());
    EXPECT_EQ(w_->ComboSpectroscope()->count(), 3);
    EXPECT_EQ(w_->ComboSpectroscope()->currentIndex(), 0);
    EXPECT_DOUBLE_EQ(plot().Curve(1).Points[0].x, 300.0);
}

// A reader's error costs only its file: the files after it are read and plotted, and the one message
// names the file with the reader's own text.
TEST_F(ShellCommands, ReaderErrorCostsOnlyItsFileAndThePlotFollowsTheList) {
    const std::string good = WriteTestFile("a_good.fak", FakText(300));
    const std::string bad = WriteTestFile("b_bad.fak", FakText(400) + "415\tabc\r\n");
    const std::string later = WriteTestFile("c_later.fak", FakText(600));
    w_->PendingFiles = {later, bad, good};
    w_->ffnen1Click();
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[1].FileName.str(), later);
    EXPECT_EQ(plot().KurvenAnzahl(), 2);
    EXPECT_EQ(w_->StatusText(0), "2 Spectra");
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0],
              "No spectrum could be read from:\r\n" + bad + ": 'abc' is not a valid floating point value");
    EXPECT_FALSE(QApplication::overrideCursor());
}

// Files that give no spectrum are named in one message instead of vanishing without a word; only the
// own-format file that opened enters the recent files.
TEST_F(ShellCommands, OpenNamesEveryFileWithoutSpectrumOnce) {
    TSpectraList one;
    one.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, "kept"));
    const std::string own = WriteTestFile("a_own.rvx", RvxFileImage(one));
    const std::string none = WriteTestFile("b_none.rvx", RvxFileImage(TSpectraList()));
    const std::string empty = WriteTestFile("c_empty.dx", "");
    const std::string good = WriteTestFile("d_good.fak", FakText(300));
    const std::string notes = WriteTestFile("e_notes.txt", "nothing");
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{notes, good, empty, none, own}, 1}; });
    w_->ffnen1Click();
    ASSERT_EQ(ui_->messages.size(), 1u);
    const std::string nothing = ": no spectrum of two or more points in it";
    EXPECT_EQ(ui_->messages[0].substr(0, ui_->messages[0].find("\r\n\r\n")),
              "No spectrum could be read from:\r\n" + none + nothing + "\r\n" + empty + nothing + "\r\n" + notes +
                  ": no reader knows the extension \".txt\"");
    EXPECT_NE(ui_->messages[0].find("\r\n\r\nThe Open command reads the extensions (in any case): .RVX, .CSV"),
              std::string::npos);
    EXPECT_EQ(w_->RecentFiles().Names(), std::vector<std::string>{own});
    EXPECT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(w_->StatusText(0), "2 Spectra");

    // A recent file that has become empty reopens to the message and stays where it was.
    ui_->messages.clear();
    WriteTestFile("a_own.rvx", RvxFileImage(TSpectraList()));
    w_->MRUManager1Click(own);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "No spectrum could be read from:\r\n" + own + nothing);
    EXPECT_EQ(w_->RecentFiles().Names(), std::vector<std::string>{own});

    // Only good files: no message.
    ui_->messages.clear();
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{good}, 1}; });
    w_->ffnen1Click();
    EXPECT_TRUE(ui_->messages.empty());
}

// A file whose reader fails never enters the recent files, and it is named with the files that gave
// nothing in the one message, with the spectrum kept from it.
TEST_F(ShellCommands, FailedOwnFormatFileNeverEntersRecentFiles) {
    TSpectraList two;
    two.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}));
    two.Add(MakeRecord(400, 1, {0.1, 0.2, 0.3}));
    std::string image = RvxFileImage(two);
    image.resize(image.size() - 4);
    const std::string cut = WriteTestFile("b_cut.rvx", image);
    const std::string empty = WriteTestFile("a_empty.dx", "");
    w_->PendingFiles = {cut, empty};
    w_->ffnen1Click();
    EXPECT_TRUE(w_->RecentFiles().Names().empty());
    EXPECT_EQ(SpectraList.Count(), 1);  // the complete spectrum before the cut stays
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "No spectrum could be read from:\r\n" + empty +
                                    ": no spectrum of two or more points in it\r\n" + cut +
                                    ": Stream read error - the spectrum read before the error is kept");
}

// Several JCAMP-DX files that fail in one Open: no box of the reader's own, one summary that names
// each file with its reader's reason; a file read with a note is named there too.
TEST_F(ShellCommands, OpenGivesReadersMessagesInTheOneSummary) {
    const std::string nmr = "##TITLE= n\r\n##DATA TYPE= NMR SPECTRUM\r\n##XYDATA= (X++(Y..Y))\r\n1 2 3\r\n##END=\r\n";
    const std::string mass = "##TITLE= m\r\n##DATA TYPE= MASS SPECTRUM\r\n##XYDATA= (X++(Y..Y))\r\n1 2 3\r\n##END=\r\n";
    const std::string a = WriteTestFile("a_nmr.dx", nmr);
    const std::string b = WriteTestFile("b_mass.jdx", mass);
    const std::string c = WriteTestFile("c_both.dx", "##BLOCKS= 2\r\n" + nmr + mass);
    const std::string d = WriteTestFile("d_filled.dx", "##TITLE= f\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n"
                                                       "##XYDATA= (X++(Y..Y))\r\n400 0.5 ? 0.7\r\n403 0.8\r\n##END=\r\n");
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{d, c, b, a}, 1}; });
    w_->ffnen1Click();
    EXPECT_EQ(SpectraList.Count(), 1);
    ASSERT_EQ(ui_->messages.size(), 1u);
    const std::string refused = ": can not be read by Varolux32!";
    EXPECT_EQ(ui_->messages[0], "No spectrum could be read from:\r\n" + a + refused + "\r\n" + b + refused + "\r\n" +
                                    c + refused + " 2 of 2 blocks were skipped.\r\n\r\nRead with notes:\r\n" + d +
                                    ": 1 value was not a number; its place was filled in between its neighbours.");
}

TEST_F(ShellCommands, CommandLineFileOpensAtStart) {
    const std::string f = WriteTestFile("start.fak", FakText(350));
    TMainwin w({f, "/ignored/second.fak"});
    EXPECT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(w.StatusText(0), "1 Spectra");
    EXPECT_TRUE(w.PendingFiles.empty());
}

TEST_F(ShellCommands, SavedRvxEntersRecentFilesAndReopens) {
    SpectraList.AddWithDefaultColor(MakeRecord(400, 2, {0.1, 0.2, 0.3}, SpecXNanometer, SpecYAbsorbance, 0, "saved"));
    w_->StandardReplot();
    const std::string target = TestFolder() + "roundtrip.rvx";
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{target}, 1}; });
    w_->SaveDataas1Click();
    ASSERT_EQ(w_->RecentFiles().Names(), std::vector<std::string>{target});
    SpectraList.Clear();
    w_->StandardReplot();
    w_->MRUManager1Click(target);
    ASSERT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(SpectraList[0].Title.str(), "saved");
    EXPECT_EQ(w_->SaveDialogFileName, target);
    EXPECT_EQ(w_->StatusText(0), "1 Spectra");
}

TEST_F(ShellCommands, SavePlotAsWritesTheImageOfTheChosenEntry) {
    SetFileDialogRunner([](const TFileDialogSpec&) { return TFileDialogChoice{}; });
    w_->SavePlotas1Click();  // no curve: nothing
    AddCurves(2);
    const std::string chosen = TestFolder() + "plot.dat";
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{chosen}, 2}; });
    w_->SavePlotas1Click();
    const QImage img(QString::fromStdString(TestFolder() + "plot.png"));
    EXPECT_FALSE(img.isNull());
    EXPECT_EQ(w_->SaveDialogFileName, TestFolder() + "plot.png");
    EXPECT_TRUE(w_->RecentFiles().Names().empty());  // images never enter the recent files
}

// The first and the last row holding a pixel other than the background (the top-left corner's colour).
std::pair<int, int> ContentRows(const QImage& img) {
    const QRgb bg = img.pixel(0, 0);
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != bg) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return {first, last};
}

TEST_F(ShellCommands, SavedPlotPictureFillsTheImageAsTheClipboardCopyDoes) {
    // A window with menus, tool bar and status bar around the plot.
    w_->resize(1266, 900);
    w_->show();
    QApplication::processEvents();
    SpectraList.AddWithDefaultColor(MakeRecord(300, 1, std::vector<double>(451, 0.5)));
    w_->StandardReplot();
    plot().XAchsenTextAn = true;
    plot().Repaint();
    ASSERT_LT(plot().height(), w_->height() - 50);
    const std::string chosen = TestFolder() + "filled.png";
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{chosen}, 2}; });
    w_->SavePlotas1Click();
    const QImage png(QString::fromStdString(chosen));
    ASSERT_FALSE(png.isNull());
    // The plot's own proportions, at the nominal width.
    EXPECT_EQ(png.width(), 1350);
    EXPECT_NEAR(png.height(), 1350.0 * plot().height() / plot().width(), 1.0);

    w_->CopyPlottoClipboard1Click();
    const QImage clip = QImage::fromData(QGuiApplication::clipboard()->mimeData()->data("image/png"), "PNG");
    ASSERT_FALSE(clip.isNull());
    const auto [top, bottom] = ContentRows(png);
    const auto [clipTop, clipBottom] = ContentRows(clip);
    ASSERT_GE(top, 0);
    // The same margins in proportion to the picture: the frame near the top, the axis title near the bottom.
    EXPECT_NEAR(double(top) / png.height(), double(clipTop) / clip.height(), 0.01);
    EXPECT_NEAR(double(png.height() - 1 - bottom) / png.height(),
                double(clip.height() - 1 - clipBottom) / clip.height(), 0.01);
    EXPECT_LT(png.height() - 1 - bottom, png.height() / 20);
    EXPECT_LT(top, png.height() / 20);
}

TEST_F(ShellCommands, CopyPlotPutsAMetafileOnTheClipboard) {
    AddCurves(1);
    QGuiApplication::clipboard()->clear();
    w_->CopyPlottoClipboard1Click();
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(m->data("image/x-emf").isEmpty());
    EXPECT_TRUE(m->data("image/png").startsWith("\x89PNG"));
    EXPECT_NE(w_->StatusText(1), kEmptyPlotCopiedText);
}

TEST_F(ShellCommands, CopyPlotWithoutACurveCopiesTheEmptyPlotAndSaysSo) {
    QGuiApplication::clipboard()->clear();
    Trigger("CopyPlottoClipboard1");
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->data("image/png").startsWith("\x89PNG"));
    EXPECT_EQ(w_->StatusText(1), kEmptyPlotCopiedText);
    // The next command starts from an empty panel.
    AddCurves(1);
    Trigger("CopyPlottoClipboard1");
    EXPECT_EQ(w_->StatusText(1), "");
}

}  // namespace

namespace {

TEST_F(ShellCommands, PrintWithoutAPrinterSaysSo) {
    AddCurves(1);
    bool dialogShown = false;
    plot().Host.printerInstalled = [] { return false; };
    SetModalRunner([&](QDialog&) {
        dialogShown = true;
        return int(QDialog::Accepted);
    });
    w_->Print1Click();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "No printer is installed.");
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(plot().PrintJobCount(), 0);
}

TEST_F(ShellCommands, PrintPrintsLandscapeOnlyWhenTheDialogIsConfirmed) {
    AddCurves(1);
    const QString pdf = QString::fromStdString(TestFolder() + "print.pdf");
    plot().Host.printerInstalled = [] { return true; };
    SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });  // Cancel
    w_->Print1Click();
    EXPECT_EQ(plot().PrintJobCount(), 0);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    SetModalRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<QPrintDialog*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        QPrinter& p = *dialog->printer();
        orientation = p.pageLayout().orientation();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    w_->Print1Click();
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    EXPECT_EQ(plot().PrintJobCount(), 1);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_TRUE(ui_->messages.empty());
}

}  // namespace

namespace {

TEST_F(ShellCommands, BackgroundColourIsThePlotsBackgroundOnScreenInImagesAndTheMetafile) {
    AddCurves(1);
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(plot().RenderToImage().pixel(0, 0), white);  // the start colour
    std::optional<uint32_t> answer;  // Cancel first
    uint32_t offered = 0;
    SetModalRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<QColorDialog*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        const QColor start = dialog->currentColor();
        offered = uint32_t(start.red()) | uint32_t(start.green()) << 8 | uint32_t(start.blue()) << 16;
        if (!answer) return int(QDialog::Rejected);
        dialog->setCurrentColor(QColor(*answer & 0xFF, (*answer >> 8) & 0xFF, (*answer >> 16) & 0xFF));
        return int(QDialog::Accepted);
    });
    w_->BackgroundColour1Click();
    EXPECT_EQ(offered, 0xFFFFFFu);
    EXPECT_EQ(w_->WindowColor(), 0xFFFFFFu);

    answer = 0x00204060;  // 0x00BBGGRR
    w_->BackgroundColour1Click();
    EXPECT_EQ(w_->WindowColor(), 0x00204060u);
    const QRgb colour = qRgb(0x60, 0x40, 0x20);
    const QImage screen = plot().RenderToImage();
    const QRect area = plot().PlotArea();
    EXPECT_EQ(screen.pixel(0, 0), colour);
    EXPECT_EQ(screen.pixel(area.right() - 2, area.top() + 2), colour);
    const QImage exported = plot().ExportImage({1350, 900});
    EXPECT_EQ(exported.pixel(exported.width() - 1, exported.height() - 1), colour);
    const QByteArray emf = plot().MetafileBytes();
    const char brush[4] = {0x60, 0x40, 0x20, 0};  // the brush's COLORREF
    EXPECT_TRUE(emf.contains(QByteArray(brush, 4)));

    w_->BackgroundColour1Click();  // offered the colour in use
    EXPECT_EQ(offered, 0x00204060u);
}

// The axes and legend fonts come from the font dialog on OK only; Cancel keeps the font in use.
TEST_F(ShellCommands, FontCommandsTakeTheFontOfTheDialogOnOk) {
    QFont offered;
    int answer = QDialog::Accepted;
    SetModalRunner([&](QDialog& d) {
        auto* dialog = qobject_cast<QFontDialog*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        offered = dialog->currentFont();
        QFont f = offered;
        f.setPointSize(offered.pointSize() + 7);
        dialog->setCurrentFont(f);
        return answer;
    });
    const QFont axes = plot().PlotFont, legend = plot().LegendeFont;
    w_->AxesFont1Click();
    EXPECT_EQ(offered.pointSize(), axes.pointSize());
    EXPECT_EQ(plot().PlotFont.pointSize(), axes.pointSize() + 7);
    EXPECT_TRUE(plot().Dirty);
    w_->LegendFont1Click();
    EXPECT_EQ(plot().LegendeFont.pointSize(), legend.pointSize() + 7);

    answer = QDialog::Rejected;
    w_->AxesFont1Click();
    w_->LegendFont1Click();
    EXPECT_EQ(plot().PlotFont.pointSize(), axes.pointSize() + 7);
    EXPECT_EQ(plot().LegendeFont.pointSize(), legend.pointSize() + 7);
}

// The status panels keep their widths: a text wider than its panel reads from its start, shortened at
// its end, and shows whole as the panel's tool tip; what the program said stays whole.
TEST_F(ShellCommands, StatusTextsWiderThanTheirPanelReadFromTheirStart) {
    const auto* panel = w_->findChild<QLabel*>("StatusPanel1");
    ASSERT_NE(panel, nullptr);
    const QString wide = "Excitation Spectra Calculated! Fluorescence Spectra Deleted! And some more words";
    w_->SetStatusText(1, wide);
    EXPECT_EQ(w_->StatusText(1), wide);
    EXPECT_TRUE(panel->text().startsWith("Excitation Spectra")) << panel->text().toStdString();
    EXPECT_LE(QFontMetrics(panel->font()).horizontalAdvance(panel->text()), panel->contentsRect().width());
    EXPECT_EQ(panel->toolTip(), wide);
    // A text that fits is shown as it is, without a tip.
    w_->SetStatusText(1, "Infos");
    EXPECT_EQ(panel->text(), "Infos");
    EXPECT_TRUE(panel->toolTip().isEmpty());
}

}  // namespace
