// Saving a spectrum as SPC from the main window and reading it back through the library.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>

#include "app/TMainwin.h"
#include "app/dialogs/tool_dialog.h"
#include "app/program_state.h"
#include "app/query_dialogs.h"
#include "app_test_support.h"
#include "core/helpers.h"
#include "formats/format_table.h"
#include "formats/save_hooks.h"
#include "formats/spc_reader.h"
#include "platform/ui.h"

namespace {

TEST(AppSpcSave, OneSpectrumSavesAndReadsBackWithItsValues) {
    AppTestSetUp();
    ui::ScopedScriptedBackend ui;
    auto w = std::make_unique<TMainwin>();
    // The library is built beside the test programs, which is where the binding looks for it.
    SpectraList.AddWithDefaultColor(MakeRecord(400, 2, {0.125, 0.5, 0.25, 1.0}));
    const std::string path = TestFolder() + "one.spc";
    ASSERT_TRUE(w->SaveSpectra(path));

    TSpectraList back;
    LoadSpecSpc(path, back, ReadLimitOf(OpenFormat::Spc), ProgramSettings.ProgramFolder);
    ASSERT_EQ(back.Count(), 1);
    ASSERT_EQ(back[0].PointCount(), 4);
    EXPECT_DOUBLE_EQ(back[0].FirstX, 400);
    EXPECT_DOUBLE_EQ(back[0].StepX, 2);
    EXPECT_DOUBLE_EQ(back[0].Values[0], 0.125);  // exact in the file's 4-byte floats
    EXPECT_DOUBLE_EQ(back[0].Values[3], 1.0);
    SpectraList.Clear();
}

// The first SPC save on a machine where the class is not registered yet registers the library beside
// the program: the registration entry's own message, then the save's; later saves show nothing.
TEST(AppSpcSave, FirstSaveRegistersTheLibraryWithItsTwoMessages) {
    AppTestSetUp();  // a fresh settings store: the class is not registered
    ui::ScopedScriptedBackend ui;
    auto w = std::make_unique<TMainwin>();
    SpectraList.AddWithDefaultColor(MakeRecord(400, 2, {0.125, 0.5, 0.25, 1.0}));
    ASSERT_TRUE(w->SaveSpectra(TestFolder() + "first.spc"));
    EXPECT_EQ(ui->messages, (std::vector<std::string>{
                                "Call to DllRegisterServer was successful!",
                                "OK! DLL registrated\r\nreading / saving of *.spc will work from now on"}));
    ui->messages.clear();
    ASSERT_TRUE(w->SaveSpectra(TestFolder() + "second.spc"));
    EXPECT_TRUE(ui->messages.empty());
    SpectraList.Clear();
}

TEST(AppSaveHooks, TheMainWindowInstallsThePlotsWriterAndTakesItAlong) {
    AppTestSetUp();
    ui::ScopedScriptedBackend ui;
    {
        auto w = std::make_unique<TMainwin>();
        EXPECT_TRUE(SaveHooks().saveImage);
    }
    EXPECT_FALSE(SaveHooks().saveImage);
}

// The program saves one of several spectra the way the tests of formats/ do: the save asks "TAuswDia"
// through the ui, and the program's ui shows the choose-spectrum dialog for it.
TEST(AppSpcSave, OneOfSeveralSpectraIsChosenInTheDialog) {
    AppTestSetUp();
    ui::ScopedScriptedBackend ui;
    auto w = std::make_unique<TMainwin>();
    SpectraList.AddWithDefaultColor(
        MakeRecord(400, 2, {0.125, 0.5, 0.25, 1.0}, SpecXNanometer, SpecYAbsorbance, 0, "first"));
    SpectraList.AddWithDefaultColor(MakeRecord(500, 1, {0.5, 0.75, 1.0}, SpecXNanometer, SpecYAbsorbance, 0, "second"));
    // What the program's ui does with a query: the registered dialog, answered by the modal runner.
    ui->onAsk = [](ui::Query& q) { return runQueryDialog(q); };
    int shown = 0;
    QString caption;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        caption = d.windowTitle();
        d.show();  // fills the combo box from the list
        auto* box = d.findChild<QComboBox*>("SpekBox");
        if (!box || box->count() != 2) return int(QDialog::Rejected);
        box->setCurrentIndex(1);
        d.accept();
        return d.result();
    });
    const std::string path = TestFolder() + "chosen.spc";
    ASSERT_TRUE(w->SaveSpectra(path));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(caption, "Choose spectrum");
    TSpectraList back;
    LoadSpecSpc(path, back, ReadLimitOf(OpenFormat::Spc), ProgramSettings.ProgramFolder);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back[0].Title.str(), "second");
    EXPECT_EQ(back[0].PointCount(), 3);

    // Cancelled in the dialog: nothing is written.
    SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    const std::string cancelled = TestFolder() + "cancelled.dx";
    EXPECT_FALSE(w->SaveSpectra(cancelled));
    EXPECT_FALSE(FileExists(cancelled));
    SetModalRunner(nullptr);
    SpectraList.Clear();
}

}  // namespace
