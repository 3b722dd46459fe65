#pragma once
// A main window shown offscreen around one test, with an empty spectra list, and its commands
// triggered by their actions' object names.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include <memory>

#include "app/TMainwin.h"
#include "app/dialogs/tool_dialog.h"
#include "app/file_filters.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"
#include "core/spectra_list.h"

namespace dlgtest {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SpectraList.Clear();
        win = std::make_unique<TMainwin>();
        win->resize(900, 640);
        win->show();
        QApplication::processEvents();
        plot = win->XYPlot();
    }
    void TearDown() override {
        SetModalRunner(nullptr);
        SetFileDialogRunner(nullptr);
        SetShellClosing(false);
        win.reset();
        SpectraList.Clear();
    }
    void trigger(const char* action) {
        QAction* a = win->Action(action);
        ASSERT_NE(a, nullptr) << action;
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
        QApplication::processEvents();
    }

    std::unique_ptr<TMainwin> win;
    TXYPlot* plot = nullptr;
};

}  // namespace dlgtest
