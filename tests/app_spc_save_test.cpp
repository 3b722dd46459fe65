// Saving a spectrum as SPC from the main window and reading it back through the library.
#include <gtest/gtest.h>

#include "app/TMainwin.h"
#include "app_test_support.h"
#include "core/settings_globals.h"
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
    LoadSpecSpc(path, back);
    ASSERT_EQ(back.Count(), 1);
    ASSERT_EQ(back[0].PointCount(), 4);
    EXPECT_DOUBLE_EQ(back[0].FirstX, 400);
    EXPECT_DOUBLE_EQ(back[0].StepX, 2);
    EXPECT_DOUBLE_EQ(back[0].Values[0], 0.125);  // exact in the file's 4-byte floats
    EXPECT_DOUBLE_EQ(back[0].Values[3], 1.0);
    SpectraList.Clear();
}

TEST(AppSaveHooks, TheMainWindowInstallsEveryWriterOfAppAndTakesThemAlong) {
    AppTestSetUp();
    ui::ScopedScriptedBackend ui;
    {
        auto w = std::make_unique<TMainwin>();
        EXPECT_TRUE(SaveHooks().saveImage);
        EXPECT_TRUE(SaveHooks().saveSpc);
        EXPECT_TRUE(SaveHooks().saveJcamp);
        // Nothing to save: no file, no choice asked.
        EXPECT_FALSE(SaveHooks().saveSpc(TestFolder() + "none.spc"));
    }
    EXPECT_FALSE(SaveHooks().saveImage);
    EXPECT_FALSE(SaveHooks().saveSpc);
    EXPECT_FALSE(SaveHooks().saveJcamp);
}

}  // namespace
