#pragma once
// Shared set-up of the app tests: one QApplication, a private settings folder, clean globals, and a
// main window with scripted message boxes around one test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/TMainwin.h"
#include "core/spectra_list.h"
#include "platform/ui.h"

class TXYPlot;

// Creates the application once and points the settings store at a fresh temporary folder.
void AppTestSetUp();
// A temporary folder for files the test writes (removed at exit).
std::string TestFolder();
std::string WriteTestFile(const std::string& name, const std::string& bytes);
// A record on an equidistant grid with the given values.
std::unique_ptr<TSpectrumRecord> MakeRecord(double firstX, double stepX, std::vector<double> values,
                                            SpecXUnit xUnit = SpecXNanometer, SpecYKind yKind = SpecYAbsorbance,
                                            int32_t kind = 0, const std::string& title = "r");
// Processes pending events for about ms milliseconds.
void PumpEvents(int ms = 0);

// A main window (not shown) around one test: a fresh settings store, an empty spectra list, message
// boxes answered by the script, the modal runner reset afterwards.
class ShellWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TXYPlot& plot();
    // Triggers the menu or tool-bar command of that object name, which must be enabled.
    void Trigger(const char* name);

    ui::ScopedScriptedBackend ui_;
    std::unique_ptr<TMainwin> w_;
};
