#pragma once
// The fluorescence commands: emission correction, excitation wavelengths and intensity, scatter
// removal, blank EEM subtraction and excitation spectra (Fluorescence/ EEM menu), and the film
// thickness and polarisation dialogs of the Calculations menu.
class TMainwin;
class TSchichtdickeDia;

// Creates the film-thickness dialog (it lives as long as the main window) and connects the commands.
// The main window calls this once after its menus exist.
void ConnectFluorCommands(TMainwin& win);

namespace fluorcmd {
void EmissionSensitivityCorrection1Click(TMainwin& win);
void ExcitationWavelengthAssignment1Click(TMainwin& win);
void CorrectionofExcitationIntensity1Click(TMainwin& win);
void RemoveScatter1Click(TMainwin& win);
void SubtractBlankEEM1Click(TMainwin& win);
void CalculateExcitationSpectra1Click(TMainwin& win);
void FilmThickness1Click(TMainwin& win);
void DegreeofPolarisation1Click(TMainwin& win);
TSchichtdickeDia* FilmDialog(TMainwin& win);
}  // namespace fluorcmd
