#pragma once
// Spectra > Information... and Help/Info > Help...: the spectra information and the help-links windows.
class TCommandHost;

void ConnectInfoCommands(TCommandHost& win);

namespace infocmd {
void Information1Click(TCommandHost& win);
void Help1Click(TCommandHost& win);
}  // namespace infocmd
