#pragma once
// The fluorescence commands: emission correction, excitation wavelengths and intensity, scatter
// removal, blank EEM subtraction and excitation spectra (Fluorescence/ EEM menu), and the film
// thickness and polarisation dialogs of the Calculations menu.
class TCommandHost;
class TSchichtdickeDia;

// Creates the film-thickness dialog (it lives as long as the host's window) and connects the commands.
// The main window calls this once after its menus exist.
void ConnectFluorCommands(TCommandHost& win);

namespace fluorcmd {
void EmissionSensitivityCorrection1Click(TCommandHost& win);
void ExcitationWavelengthAssignment1Click(TCommandHost& win);
void CorrectionofExcitationIntensity1Click(TCommandHost& win);
void RemoveScatter1Click(TCommandHost& win);
void SubtractBlankEEM1Click(TCommandHost& win);
void CalculateExcitationSpectra1Click(TCommandHost& win);
void FilmThickness1Click(TCommandHost& win);
void DegreeofPolarisation1Click(TCommandHost& win);
TSchichtdickeDia* FilmDialog(TCommandHost& win);
}  // namespace fluorcmd
