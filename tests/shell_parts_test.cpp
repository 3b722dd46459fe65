// The small parts behind the shell: recent-files list, placement text, file-dialog filters.
#include <gtest/gtest.h>

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
    const QStringList data = QtNameFilters(kDataSaveFilter);
    ASSERT_EQ(data.size(), 5);
    EXPECT_TRUE(data[3].startsWith("Varolux32  ASCII [x..yyyy]  (*.dat)"));
    EXPECT_EQ(QtNameFilters(kImageSaveFilter).size(), 5);
    EXPECT_EQ(OpenDialogFilters().size(), 21);

    EXPECT_EQ(ChangeFileExt("/a/b.txt", ".rvx"), "/a/b.rvx");
    EXPECT_EQ(ChangeFileExt("/a/b", ".rvx"), "/a/b.rvx");
    EXPECT_EQ(ChangeFileExt("/a.d/b", ".csv"), "/a.d/b.csv");
    EXPECT_EQ(ChangeFileExt("/a/b.tar.gz", ".dx"), "/a/b.tar.dx");
}

}  // namespace
