#pragma once
// The stored options (settings store, section "Optionen"): restored into the options dialog's controls
// and applied to the plot and the settings globals at start, after every default is set.
class TCommandHost;

void ApplyStoredOptions(TCommandHost& host);
