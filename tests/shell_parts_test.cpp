// The small parts behind the shell: recent-files list, placement text, file-dialog filters.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>

#include "app/file_filters.h"
#include "app/recent_files.h"
#include "app/window_placement.h"
#include "app_test_support.h"

namespace {

TEST(ShellRecentFiles, NewestFirstExactDuplicatesMovedCutAtTen) {
    AppTestSetUp();
    TRecentFiles r;
    for (int i = 0; i < 12; ++i) r.Add("/f/" + std::to_string(i) + ".rvx");
    ASSERT_EQ(r.Names().size(), 10u);
    EXPECT_EQ(r.Names().front(), "/f/11.rvx");
    EXPECT_EQ(r.Names().back(), "/f/2.rvx");
    r.Add("/f/5.rvx");
    EXPECT_EQ(r.Names().front(), "/f/5.rvx");
    EXPECT_EQ(r.Names().size(), 10u);
    r.Add("/f/5.RVX");  // names are case-sensitive: another file
    EXPECT_EQ(r.Names()[1], "/f/5.rvx");
    ASSERT_TRUE(r.Save());
    TRecentFiles again;
    again.Load();
    EXPECT_EQ(again.Names(), r.Names());
    // A shorter list leaves no stale entries behind.
    r.Clear();
    r.Add("/only.rvx");
    ASSERT_TRUE(r.Save());
    again.Load();
    EXPECT_EQ(again.Names(), std::vector<std::string>{"/only.rvx"});
}

TEST(ShellPlacement, RectangleTextIsCheckedBeforeUse) {
    auto ok = ParsePlacementRect("10,20,810,620");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->Left, 10);
    EXPECT_EQ(ok->Bottom, 620);
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,b,c,d", "10,20,5,30", "10,20,30,20", "1,,2,3"}) {
        EXPECT_FALSE(ParsePlacementRect(bad)) << bad;
    }
}

TEST(ShellFilters, BothCasesAndForcedExtensions) {
    EXPECT_EQ(QtNameFilter("Varolux32 binary files  (*.rvx)", "*.RVX").toStdString(),
              "Varolux32 binary files  (*.rvx) (*.RVX *.rvx)");
    EXPECT_EQ(QtNameFilter("x", "*.trt;*.TAT").toStdString(), "x (*.TRT *.trt *.TAT *.tat)");
    const QStringList data = SaveDialogFilters(SaveDialog::Data);
    ASSERT_EQ(data.size(), 5);
    EXPECT_EQ(data[3].toStdString(), "Varolux32  ASCII [x..yyyy]  (*.dat) (*.DAT *.dat)");
    EXPECT_EQ(SaveDialogFilters(SaveDialog::Plot).size(), 5);
    EXPECT_EQ(OpenDialogFilters().size(), 21);

    EXPECT_EQ(ChangeFileExt("/a/b.txt", ".rvx"), "/a/b.rvx");
    EXPECT_EQ(ChangeFileExt("/a/b", ".rvx"), "/a/b.rvx");
    EXPECT_EQ(ChangeFileExt("/a.d/b", ".csv"), "/a.d/b.csv");
    EXPECT_EQ(ChangeFileExt("/a/b.tar.gz", ".dx"), "/a/b.tar.dx");
}

// The save commands force the extension of the filter the user picked; the dialog reports that
// filter with its double blanks collapsed, which must still find the right entry (else every save
// fell back to the first filter: DAT, CSV or PNG written as RVX or GIF).
TEST(ShellFilters, PickedFilterFoundAfterDialogSimplifiesIt) {
    AppTestSetUp();
    for (SaveDialog dialog : {SaveDialog::Data, SaveDialog::Plot}) {
        const QStringList filters = SaveDialogFilters(dialog);
        QFileDialog dlg;
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        dlg.setNameFilters(filters);
        for (int i = 0; i < filters.size(); ++i) {
            // Pick the entry the way a user does: in the dialog's file-type combo box.
            auto* combo = dlg.findChild<QComboBox*>("fileTypeCombo");
            ASSERT_NE(combo, nullptr);
            ASSERT_EQ(combo->count(), filters.size());
            combo->setCurrentIndex(i);
            combo->activated(i);
            EXPECT_EQ(SelectedFilterIndex(filters, dlg.selectedNameFilter()), i + 1)
                << static_cast<int>(dialog) << " " << i;
        }
    }
    EXPECT_EQ(SelectedFilterIndex(SaveDialogFilters(SaveDialog::Data), "Other (*.x)"), 0);
}

}  // namespace
