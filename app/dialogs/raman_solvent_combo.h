#pragma once
// The solvent choice of the scatter dialogs, filled from the Raman band table beside the program.
#include <string>

#include "tools/raman_bands.h"

class QComboBox;
class QWidget;

// Reads "RamanBands.csv" from the program folder (else the per-user data folder) and fills `box` with
// its solvents, selecting `solvent` (else the first). A missing table shows kRamanBandsMissingText
// once and disables `box` and every widget of `alsoDisable`.
TRamanBandTable FillRamanSolventCombo(QComboBox* box, const std::string& solvent,
                                      std::initializer_list<QWidget*> alsoDisable = {});
