#pragma once
// The Calculations menu's quantum-yield commands: Effective Absorbance, Quantum Yield (also the tool
// button "QY") and Low Temp. Qantum Yield.
class TMainwin;
class TFQDial;
class TTiefFQDia;

// Creates the two quantum-yield dialogs (they live as long as the main window) and connects the
// commands. The main window calls this once after its menus exist.
void ConnectQuantumYieldCommands(TMainwin& win);

namespace qycmd {
void EffectiveAbsorbance1Click(TMainwin& win);
void QuantumYield1Click(TMainwin& win);
void LowTempQuantumYield1Click(TMainwin& win);
TFQDial* FQDialog(TMainwin& win);
TTiefFQDia* TiefFQDialog(TMainwin& win);
}  // namespace qycmd
