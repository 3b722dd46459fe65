#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui.h"

namespace {

using Texts = std::vector<std::string>;

// A collector keeps what only tells (innermost first, each for its own time), lets questions through,
// and what it keeps never counts as told to the user.
TEST(UiMessageCollector, KeepsWhatTellsAndLetsQuestionsThrough) {
    ui::ScopedScriptedBackend ui;
    ui->answers = {ui::Answer::No};
    const unsigned long before = ui::userInteractions();
    {
        ui::MessageCollector outer;
        ui::showMessage("a");
        {
            ui::MessageCollector inner;
            EXPECT_EQ(ui::messageBox("b", "Varolux32", ui::Buttons::Ok, ui::Icon::Information), ui::Answer::Ok);
            EXPECT_EQ(inner.Messages(), Texts{"b"});
        }
        EXPECT_EQ(ui::messageBox("Sure?", "Confirm", ui::Buttons::YesNo, ui::Icon::Question), ui::Answer::No);
        ui::Query q{"TAchsenFrageDia", "", {}, {}};
        EXPECT_TRUE(ui::ask(q));
        ui::showMessage("c");
        EXPECT_EQ(outer.Messages(), (Texts{"a", "c"}));
    }
    EXPECT_EQ(ui->messages, Texts{"Sure?"});
    ASSERT_EQ(ui->asked.size(), 1u);
    EXPECT_EQ(ui::userInteractions() - before, 2u);

    ui::showMessage("d");  // with no collector left it is shown again
    EXPECT_EQ(ui->messages, (Texts{"Sure?", "d"}));
}

}  // namespace
