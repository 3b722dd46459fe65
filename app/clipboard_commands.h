#pragma once
// The File menu's commands that move spectra without a file format: Copy Data to Clipboard, Paste Data
// from Clipboard, and Open unknown binary file.
#include <functional>
#include <string>

class TMainwin;

// Connects the three commands to their menu entries. The main window calls this once after its menus
// exist.
void ConnectClipboardCommands(TMainwin& win);

namespace clipcmd {
// The name of the template that Open unknown binary file opens beside the program.
inline constexpr const char* kBinaryTemplate = "Binaryfile_Content_Template.xls";

void CopyDatatoClipboard1Click(TMainwin& win);
void PasteDatafromClipboard1Click(TMainwin& win);
void OpenUnknown1Click(TMainwin& win);
}  // namespace clipcmd
