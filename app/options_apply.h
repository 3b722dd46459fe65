#pragma once
// ApplyOptions: the stored options copied into the plot, the main window and the settings globals.
#include "tools/options_store.h"

class TCommandHost;

// `applyPathLength`: the default path length goes into every loaded spectrum (only when its text was
// changed in the dialog). `applyQuantumYield`: the quantum-yield group goes into QYSettings (at start
// only when options were stored, so that a first start keeps the dialog's own start values). The number texts must have been checked (options::ValidateNumberFields);
// otherwise the conversion error is raised before anything is applied.
void ApplyOptions(TCommandHost& w, const options::StoredOptions& o, bool applyPathLength,
                  bool applyQuantumYield = true);
