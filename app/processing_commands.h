#pragma once
// The commands of the Spectra and Calculations menus for sorting, concentration, advanced smoothing
// and advanced baselines.
class TCommandHost;

// Connects Sort, Concentration, Advanced Smoothing and Advanced Baselining to their menu entries and
// enables them. The main window calls this once after its menus exist.
void ConnectProcessingCommands(TCommandHost& win);

inline constexpr const char* kNoConcentrationUnitsText = "No concentration calculation with this axis type";
