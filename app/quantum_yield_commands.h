#pragma once
// The Calculations menu's quantum-yield commands: Effective Absorbance, Quantum Yield (also the tool
// button "QY") and Low Temp. Qantum Yield.
class TCommandHost;
class TFQDial;
class TTiefFQDia;

// Creates the two quantum-yield dialogs (they live as long as the host's window) and connects the
// commands. The main window calls this once after its menus exist.
void ConnectQuantumYieldCommands(TCommandHost& win);

namespace qycmd {
void EffectiveAbsorbance1Click(TCommandHost& win);
void QuantumYield1Click(TCommandHost& win);
void LowTempQuantumYield1Click(TCommandHost& win);
TFQDial* FQDialog(TCommandHost& win);
TTiefFQDia* TiefFQDialog(TCommandHost& win);
}  // namespace qycmd
