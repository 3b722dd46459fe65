// The layout question of the delimited-text reader, driven offscreen through the query registry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "app/query_dialogs.h"
#include "tests/dialogs_test_support.h"

namespace {

using namespace dlgtest;

ui::Query layoutQuery(const std::string& source) {
    ui::Query q;
    q.dialog = "TChooseDia";
    q.caption = "Choose your data option!";
    q.fields["Label2"] = source;
    q.fields["RadioGroup1"] = "0";
    q.items = {"x  y  x  y  x  y", "x  y  y  y  y  y"};
    return q;
}

// Runs `answer` on the dialog once it is shown modally.
void whenShown(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        answer(d);
    });
}

TEST(TChooseDia, ShowsItsControlsAndReturnsTheChosenLayout) {
    ui::Query q = layoutQuery("pasted from clipboard");
    whenShown([](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), "Choose your data option!");
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "spectrum file:");
        EXPECT_EQ(child<QLabel>(d, "Label2")->text(), "pasted from clipboard");
        EXPECT_EQ(child<QGroupBox>(d, "RadioGroup1")->title(), "sequence of data columns:");
        EXPECT_TRUE(child<QRadioButton>(d, "RadioGroup1_0")->isChecked());
        EXPECT_EQ(child<QRadioButton>(d, "RadioGroup1_1")->text(), "x  y  y  y  y  y");
        click(d, "RadioGroup1_1");
        click(d, "OKBtn");
    });
    EXPECT_TRUE(runQueryDialog(q));
    EXPECT_EQ(q.fields["RadioGroup1"], "1");
}

TEST(TChooseDia, CancelGivesNoLayout) {
    ui::Query q = layoutQuery("/data/" + std::string(200, 'n') + ".csv");
    whenShown([](QWidget* d) {
        const QString shown = child<QLabel>(d, "Label2")->text();
        EXPECT_TRUE(shown.contains(QChar(0x2026)));  // a long name is shortened with an ellipsis
        click(d, "CancelBtn");
    });
    EXPECT_FALSE(runQueryDialog(q));
    EXPECT_EQ(q.fields["RadioGroup1"], "-1");
}

}  // namespace
