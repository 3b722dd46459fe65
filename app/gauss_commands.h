#pragma once
// The GaussFit menu: the Gauss band-group dialog with the fit, and the ".gss" parameter files.
#include <functional>
#include <string>

class TCommandHost;
class TGauss2Dia;
class TXYPlot;
struct TGaussModelParams;

// Creates the Gauss dialog (it lives as long as the host's window and sets the program's block to the
// defaults) and connects the GaussFit commands. The main window calls this once after its menus exist.
void ConnectGaussCommands(TCommandHost& win);

// The preview curve: the model's 301 points in 1/cm into curve n, then a repaint.
void GaussModelPreview(TXYPlot& plot, int n, const TGaussModelParams& block);

namespace gausscmd {
void GaussManually1Click(TCommandHost& win);
void GaussOpen1Click(TCommandHost& win);
void GaussSave1Click(TCommandHost& win);
TGauss2Dia* Dialog(TCommandHost& win);
// Tests: a look at the window once per step while the fit runs.
void SetFitStepObserver(std::function<void()> observer);
}  // namespace gausscmd
