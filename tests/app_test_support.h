#pragma once
// Shared set-up of the app tests: one QApplication, a private settings folder, clean globals.
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"

class TMainwin;

// Creates the application once and points the settings store at a fresh temporary folder.
void AppTestSetUp();
// A temporary folder for files the test writes (removed at exit).
std::string TestFolder();
std::string WriteTestFile(const std::string& name, const std::string& bytes);
// A record on an equidistant grid with the given values.
std::unique_ptr<TSpectrumRecord> MakeRecord(double firstX, double stepX, std::vector<double> values,
                                            int32_t xUnit = 1, int32_t yKind = 2, int32_t kind = 0,
                                            const std::string& title = "r");
// Processes pending events for about ms milliseconds.
void PumpEvents(int ms = 0);
