#pragma once
// The commands of the Spectra, Calculations and Help menus that open the processing dialogs, remove
// spectra, wait for a range on the plot, read values off a spectrum, and show the about windows.
class TCommandHost;

// Finds each command's action by its object name, enables it and connects it. The main window calls
// this once after its menus exist.
void ConnectToolCommands(TCommandHost& win);

// The command bodies, each named after its menu handler, for the main window and for tests.
namespace toolcmd {
void Allelschen2Click(TCommandHost& win);
void Letztesllschen1Click(TCommandHost& win);
void Grundlinienkorrektur1Click(TCommandHost& win);
void Oszilatorstrke1Click(TCommandHost& win);
void Werteleser1Click(TCommandHost& win);
void Schwerpunkt1Click(TCommandHost& win);
void Abspielen1Click(TCommandHost& win);
// True while a range wait or the value read-out runs.
bool WaitRunning();
}  // namespace toolcmd
