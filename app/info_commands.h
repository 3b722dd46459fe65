#pragma once
// Spectra > Information... and Help/Info > Help...: the spectra information and the help-links windows.
class TMainwin;

void ConnectInfoCommands(TMainwin& win);

namespace infocmd {
void Information1Click(TMainwin& win);
void Help1Click(TMainwin& win);
}  // namespace infocmd
