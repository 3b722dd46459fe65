#pragma once
// The File menu's exports: Batch Export Data, Save for RRUFF and Save for GnuPlot.
#include <functional>
#include <string>

class TMainwin;
class TGnuDia;

// Creates the gnuplot dialog (it lives as long as the main window) and connects the three commands.
// The main window calls this once after its menus exist.
void ConnectExportCommands(TMainwin& win);

namespace exportcmd {
void BatchExportData1Click(TMainwin& win);
void SaveforRRUFF1Click(TMainwin& win);
void SaveforGnuPlot1Click(TMainwin& win);
TGnuDia* GnuDialog(TMainwin& win);
}  // namespace exportcmd
