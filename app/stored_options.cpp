#include "app/stored_options.h"

#include "app/TMainwin.h"

// Filled by the options work; until then the defaults stay in force.
void ApplyStoredOptions(TMainwin& mainwin) { (void)mainwin; }
