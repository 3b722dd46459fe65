// Copy Data, Paste Data, Open unknown binary file, the information and help windows, and help pages
// handed to the desktop at their section.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/TMainwin.h"
#include "app/clipboard_commands.h"
#include "app/dialogs/TAboutBox.h"
#include "app/dialogs/THilfeDia.h"
#include "app/dialogs/TSpekInfoDia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/file_filters.h"
#include "app/info_commands.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app_test_support.h"
#include "core/helpers.h"
#include "core/units.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {

namespace fs = std::filesystem;

class ShellData : public ShellWindowTest {
protected:
    void AddCurve(const std::string& title, std::vector<double> v, SpecXUnit xUnit = SpecXNanometer,
                  SpecYKind yKind = SpecYAbsorbance) {
        SpectraList.AddWithDefaultColor(MakeRecord(400, 1, std::move(v), xUnit, yKind, 0, title));
        w_->StandardReplot();
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(ShellData, MenuEntriesAreConnected) {
    for (const char* name : {"CopyDatatoClipboard1", "PasteDatafromClipboard1", "OpenUnknown1", "Information1", "Help1"}) {
        ASSERT_NE(w_->Action(name), nullptr) << name;
        EXPECT_TRUE(w_->Action(name)->isEnabled()) << name;
    }
    EXPECT_EQ(w_->Action("Information1")->shortcut(), QKeySequence("Ctrl+Shift+I"));
    EXPECT_EQ(w_->Action("Help1")->shortcut(), QKeySequence("F1"));
}

TEST_F(ShellData, CopyDataNeedsACurveAndPutsTheTableOnTheClipboard) {
    ui_->clipboard = "before";
    Trigger("CopyDatatoClipboard1");
    EXPECT_EQ(ui_->clipboard, "before");
    const char saved = numtext::decimalSeparator();
    numtext::setDecimalSeparator(',');
    AddCurve("a", {1.0, 0.5}, SpecXNanometer, SpecYTransmittance);
    Trigger("CopyDatatoClipboard1");
    numtext::setDecimalSeparator(saved);
    EXPECT_EQ(ui_->clipboard, "\ta\r\nWavelength [nm]\tTransmittance\r\n400,000\t0,1\r\n401,000\t0,31623\r\n");
}

TEST_F(ShellData, PasteNamesOnlyTheRecordsItAddedAndTakesTheirUnits) {
    for (int i = 0; i < 3; ++i) AddCurve(i == 1 ? "" : "old", {0.1, 0.2, 0.3});
    ui_->clipboard = "Wavenumbers\tTransmittance\ttransmittance\r\n4000\t0.5\t0.25\r\n3990\t0.4\t0.2\r\n3980\t0.3\t0.1\r\n";
    Trigger("PasteDatafromClipboard1");
    ASSERT_EQ(SpectraList.Count(), 5);
    EXPECT_EQ(SpectraList[1].Title.str(), "");  // not one of the pasted
    EXPECT_EQ(SpectraList[3].Title.str(), "from clipboard (4)");
    EXPECT_EQ(SpectraList[4].Title.str(), "from clipboard (5)");
    EXPECT_EQ(w_->XYPlot()->KurvenAnzahl(), 5);
    EXPECT_EQ(w_->StatusText(0), "5 Spectra");
    EXPECT_EQ(w_->ComboSpectroscope()->count(), 5);
    EXPECT_EQ(DisplayYMode, SpectraList[4].YKind);
    // An empty clipboard changes nothing.
    ui_->clipboard.clear();
    Trigger("PasteDatafromClipboard1");
    EXPECT_EQ(SpectraList.Count(), 5);
}

TEST_F(ShellData, PasteOfTooShortTextShowsTheReadersErrorAndAddsNothing) {
    ui_->clipboard = "400\t0.5\r\n";
    Trigger("PasteDatafromClipboard1");
    EXPECT_EQ(SpectraList.Count(), 0);
    ASSERT_FALSE(ui_->messages.empty());
    EXPECT_NE(ui_->messages.back().find("List index out of bounds"), std::string::npos) << ui_->messages.back();
    EXPECT_EQ(w_->StatusText(0), "0 Spectra");
}

TEST_F(ShellData, PasteOfTextThatGivesNoSpectrumSaysSo) {
    AddCurve("old", {0.1, 0.2, 0.3});
    // x and y columns whose x never changes.
    ui_->clipboard = "5\t1\r\n5\t2\r\n5\t3\r\n";
    Trigger("PasteDatafromClipboard1");
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0],
              "The clipboard text holds no spectrum: it needs at least 2 lines of an x and a y value, with different x.");
    EXPECT_EQ(SpectraList.Count(), 1);
    EXPECT_EQ(w_->StatusText(0), "1 Spectra");
    // Binary bytes: one message, the reader's error or that there is no spectrum, never silence.
    std::mt19937 bytes(1);
    for (int n = 0; n < 8; ++n) {
        std::string text;
        for (int i = 0; i < 300; ++i) text += static_cast<char>(bytes() & 0xFF);
        ui_->messages.clear();
        ui_->clipboard = text;
        Trigger("PasteDatafromClipboard1");
        EXPECT_EQ(ui_->messages.size(), 1u) << n;
        EXPECT_EQ(SpectraList.Count(), 1);
    }
    // A choice of layout that the user cancels: nothing more to say.
    ui_->messages.clear();
    ui_->onAsk = [](ui::Query&) { return false; };
    ui_->clipboard = "1\t2\t3\t4\r\n2\t3\t4\t5\r\n3\t4\t5\t6\r\n";
    Trigger("PasteDatafromClipboard1");
    EXPECT_EQ(ui_->asked.size(), 1u);
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST_F(ShellData, CopyThenPasteGivesTheSameSpectraAgain) {
    AddCurve("first", {0.125, 0.25, 0.5});
    AddCurve("second", {1.5, 2.5, 3.5}, SpecXNanometer, SpecYIntensity);
    Trigger("CopyDatatoClipboard1");
    Trigger("PasteDatafromClipboard1");
    ASSERT_EQ(SpectraList.Count(), 4);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(SpectraList[i + 2].Title.str(), SpectraList[i].Title.str());
        EXPECT_EQ(SpectraList[i + 2].YKind, SpectraList[i].YKind);
        EXPECT_EQ(SpectraList[i + 2].Values, SpectraList[i].Values);
    }
}

TEST_F(ShellData, OpenUnknownOpensTheTemplateAndTabulatesTheFile) {
    const std::string file = WriteTestFile("unknown.bin", std::string("\x01\x00\x00\x00\x02\x00\x00\x00", 8));
    SetFileDialogRunner([](const TFileDialogSpec&) { return TFileDialogChoice{}; });
    Trigger("OpenUnknown1");
    EXPECT_TRUE(ui_->openedUrls.empty());
    EXPECT_TRUE(ui_->clipboard.empty());

    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{file}, 1}; });
    Trigger("OpenUnknown1");
    ASSERT_EQ(ui_->openedUrls.size(), 1u);
    EXPECT_EQ(ui_->openedUrls[0], "file://" + ProgramSettings.ProgramFolder + "Binaryfile_Content_Template.xls");
    // shipped beside the program
    EXPECT_TRUE(fs::exists(ProgramSettings.ProgramFolder + "Binaryfile_Content_Template.xls"));
    const auto lines = SplitLines(ui_->clipboard);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Filename: \t" + file);
    EXPECT_EQ(lines[4].substr(0, 4), "0\t1\t");
    EXPECT_TRUE(ui_->messages.empty());
    // The status bar says where the table went and where to paste it; its tool tip tells the whole.
    EXPECT_EQ(w_->StatusText(1), "Paste the table of unknown.bin into the template");
    EXPECT_EQ(w_->findChild<QLabel*>("StatusPanel1")->toolTip(),
              QString::fromStdString("Table of " + file + " is on the clipboard; Binaryfile_Content_Template.xls "
                                     "was handed to the opener: paste it there"));

    // Without a desktop program for the template the table is made all the same.
    ui_->clipboard.clear();
    ui_->openUrlResult = false;
    Trigger("OpenUnknown1");
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "Excel template file could not be opened!");
    EXPECT_EQ(SplitLines(ui_->clipboard).size(), 6u);
    EXPECT_EQ(w_->StatusText(1), "Table of unknown.bin on the clipboard");
}

// Centred in a panel of fixed width, a longer text would lose both its ends.
TEST_F(ShellData, OpenUnknownsStatusFitsItsPanelWhateverTheFileName) {
    w_->show();
    QApplication::processEvents();
    const auto* panel = w_->findChild<QLabel*>("StatusPanel1");
    ASSERT_NE(panel, nullptr);
    const std::string longName = "a_binary_file_with_a_rather_long_name_from_some_instrument_" + std::string(40, 'x') +
                                 "_end.bin";
    for (const std::string& name : {std::string("unknown.bin"), longName}) {
        const std::string file = WriteTestFile(name, std::string(16, '\x01'));
        SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{file}, 1}; });
        for (bool opens : {true, false}) {
            ui_->openUrlResult = opens;
            Trigger("OpenUnknown1");
            const QString text = w_->StatusText(1);
            EXPECT_LE(QFontMetrics(panel->font()).horizontalAdvance(text), panel->contentsRect().width())
                << text.toStdString();
            EXPECT_TRUE(text.startsWith(opens ? "Paste the table of " : "Table of ")) << text.toStdString();
            EXPECT_TRUE(text.endsWith(opens ? " into the template" : " on the clipboard")) << text.toStdString();
            EXPECT_TRUE(panel->toolTip().contains(QString::fromStdString(file)));
        }
        // A long name keeps its beginning and its end.
        if (name == longName) {
            EXPECT_TRUE(w_->StatusText(1).contains("a_binary")) << w_->StatusText(1).toStdString();
            EXPECT_TRUE(w_->StatusText(1).contains(QChar(0x2026)));
            EXPECT_TRUE(w_->StatusText(1).contains("end.bin"));
        }
    }
    // The next text in the panel takes the tool tip away.
    w_->SetStatusText(1, "Spectrum 1 of 1");
    EXPECT_TRUE(panel->toolTip().isEmpty());
}

TEST_F(ShellData, TheTemplateIsASpreadsheetOfOurOwn) {
    const std::string text = ReadFile(ProgramSettings.ProgramFolder + "Binaryfile_Content_Template.xls");
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("urn:schemas-microsoft-com:office:spreadsheet"), std::string::npos);
    EXPECT_NE(text.find("ss:Name=\"Content\""), std::string::npos);
}

TEST_F(ShellData, InformationWindowShowsTheChosenSpectrumAndCopiesIt) {
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    Trigger("Information1");
    EXPECT_EQ(shown, 0);  // no curve: nothing
    AddCurve("first", {0.1, 0.2, 0.3});
    AddCurve("second", {0.1, 0.2}, SpecXWavenumber);
    SpectraList[1].Concentration = 0.5;
    Trigger("Information1");
    EXPECT_EQ(shown, 1);

    TSpekInfoDia d;
    d.show();
    QApplication::processEvents();
    auto* box = d.findChild<QComboBox*>("Spekbox");
    auto* memo = d.findChild<QPlainTextEdit*>("Memo1");
    ASSERT_TRUE(box && memo);
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_NE(memo->toPlainText().indexOf("description\tfirst"), -1);
    EXPECT_NE(memo->toPlainText().indexOf("concentration:\t--"), -1);
    EXPECT_EQ(memo->textCursor().position(), 0);
    box->setCurrentIndex(1);
    EXPECT_NE(memo->toPlainText().indexOf("description\tsecond"), -1);
    EXPECT_NE(memo->toPlainText().indexOf("start wavenumber:\t400"), -1);
    EXPECT_NE(memo->toPlainText().indexOf("data points\t2"), -1);
    d.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(ui_->clipboard.substr(0, 11), "filepath:\t\r");
    EXPECT_NE(ui_->clipboard.find("concentration:\t0.5 mol/l\r\n"), std::string::npos);
    EXPECT_EQ(ui_->clipboard.find("\r\n\n"), std::string::npos);
    EXPECT_FALSE(memo->textCursor().hasSelection());
    d.findChild<QPushButton*>("Button1")->click();
    ASSERT_EQ(ui_->openedUrls.size(), 1u);
    EXPECT_EQ(ui_->openedUrls[0], "file://" + ProgramSettings.ProgramFolder + "html/varolux_man_spek_en.html#info");
}

TEST_F(ShellData, HelpWindowLinksOpenTheManualAndTheWebPages) {
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        EXPECT_EQ(d.windowTitle(), "Help");
        d.accept();
        return d.result();
    });
    Trigger("Help1");  // also without a curve
    EXPECT_EQ(shown, 1);

    THilfeDia d;
    d.show();
    QApplication::processEvents();
    for (const char* label : {"Label1", "Label2", "Label3"}) {
        auto* l = d.findChild<QLabel*>(label);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(l, Qt::LeftButton);
    }
    ASSERT_EQ(ui_->openedUrls.size(), 3u);
    EXPECT_EQ(ui_->openedUrls[0], "file://" + ProgramSettings.ProgramFolder + "html/varolux_manual_en.html");
    EXPECT_EQ(ui_->openedUrls[1].rfind("https://", 0), 0u);
    EXPECT_EQ(ui_->openedUrls[2].rfind("https://", 0), 0u);
    EXPECT_NE(ui_->openedUrls[1], ui_->openedUrls[2]);
    EXPECT_TRUE(ui_->messages.empty());
    ui_->openUrlResult = false;
    d.Label1Click();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], HelpFailedMessage(ProgramSettings.ProgramFolder));
}

// A machine without a desktop program for web pages: the help links name the manual's folder, the web
// links their address.
TEST_F(ShellData, WithoutADesktopOpenerTheLinksSayWhereTheyLead) {
    ui_->openUrlResult = false;
    THilfeDia d;
    d.Label1Click();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "Help files could not be opened!\r\nThe manual is in the folder\r\n" +
                                    ProgramSettings.ProgramFolder + "html/");
    EXPECT_EQ(ProgramSettings.ProgramFolder.front(), '/');

    TAboutBox about;
    const std::vector<std::function<void()>> webLinks = {
        [&] { d.Label2Click(); }, [&] { d.Label3Click(); }, [&] { Trigger("Website1"); },
        [&] { about.Label7Click(); }};
    for (std::size_t k = 0; k < webLinks.size(); ++k) {
        ui_->messages.clear();
        ui_->openedUrls.clear();
        webLinks[k]();
        ASSERT_EQ(ui_->openedUrls.size(), 1u) << k;
        EXPECT_EQ(ui_->openedUrls[0].rfind("https://", 0), 0u) << k;
        ASSERT_EQ(ui_->messages.size(), 1u) << k;
        EXPECT_EQ(ui_->messages[0], std::string(kWebPageFailedText) + "\r\n" + ui_->openedUrls[0]) << k;
    }
}

TEST(DesktopOpener, HelpPagesGoToTheDesktopAsAPageThatJumpsToTheirSection) {
    AppTestSetUp();
    const std::string runtime = TestFolder() + "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    std::vector<QUrl> given;
    SetDesktopOpener([&](const QUrl& u) {
        given.push_back(u);
        return true;
    });
    QtUiBackend backend;
    const std::string page = TestFolder() + "my manual/varolux_man_spek_en.html";
    EXPECT_TRUE(backend.openUrl("file://" + page + "#info"));
    EXPECT_TRUE(backend.openUrl("file://" + page));
    EXPECT_TRUE(backend.openUrl("https://www.varolux32.org/forum/#top"));
    SetDesktopOpener(nullptr);
    ::unsetenv("XDG_RUNTIME_DIR");
    ASSERT_EQ(given.size(), 3u);
    // The section's page: a file of its own in the private folder, leading to the page at "#info".
    ASSERT_TRUE(given[0].isLocalFile());
    EXPECT_EQ(given[0].fragment(), "");
    const std::string jump = given[0].toLocalFile().toStdString();
    EXPECT_EQ(fs::path(jump).parent_path(), fs::path(runtime) / "varolux32");
    const QUrl target = QUrl::fromLocalFile(QString::fromStdString(page));
    const std::string expected = target.toString(QUrl::FullyEncoded).toStdString() + "#info";
    EXPECT_NE(ReadFile(jump).find("url=" + expected + "\""), std::string::npos) << ReadFile(jump) << expected;
    // Pages without a section and web pages go as they are.
    EXPECT_EQ(given[1], target);
    EXPECT_EQ(given[2].toString().toStdString(), "https://www.varolux32.org/forum/#top");
}

TEST(ScreenDepth, IsThatOfTheScreen) {
    AppTestSetUp();
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    EXPECT_EQ(GetScreenBitsPerPixel(), QGuiApplication::primaryScreen()->depth());
    EXPECT_GE(GetScreenBitsPerPixel(), 8);
}
