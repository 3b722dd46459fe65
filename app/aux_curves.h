#pragma once
// The program's spectra outside the list that several dialogs share (the lamp curve), and the open
// dialog through which the tools pick their curve files (*.fak).
#include <string>

#include "tools/aux_curve.h"

class QWidget;

// The lamp curve of the quantum-yield and excitation-intensity tools, and the correction curve of the
// emission sensitivity correction; both freed when the main window closes.
extern TAuxCurve LampCurve;
extern TAuxCurve CorrectionCurve;

// An open dialog for an existing file, through the program's file-dialog runner: window title, start
// folder and "desc|pattern" filter; the chosen name, or "" on Cancel.
std::string OpenCurveFileDialog(QWidget* parent, const std::string& title, const std::string& folder,
                                const char* filter);

// The "load " buttons of the lamp curve: "load lamp spectrum (*.fak)" in LampFolder; Cancel clears the
// curve. Returns whether a lamp curve is loaded afterwards.
bool LampSpekLaden(QWidget* parent);
