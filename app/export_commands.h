#pragma once
// The File menu's exports: Batch Export Data, Save for RRUFF and Save for GnuPlot.
#include <functional>
#include <string>

class TCommandHost;
class TGnuDia;

// Creates the gnuplot dialog (it lives as long as the host's window) and connects the three commands.
// The main window calls this once after its menus exist.
void ConnectExportCommands(TCommandHost& win);

namespace exportcmd {
void BatchExportData1Click(TCommandHost& win);
void SaveforRRUFF1Click(TCommandHost& win);
void SaveforGnuPlot1Click(TCommandHost& win);
TGnuDia* GnuDialog(TCommandHost& win);
}  // namespace exportcmd
