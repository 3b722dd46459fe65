#pragma once
// The File menu's commands that move spectra without a file format: Copy Data to Clipboard, Paste Data
// from Clipboard, and Open unknown binary file.
#include <functional>
#include <string>

class TCommandHost;

// Connects the three commands to their menu entries. The main window calls this once after its menus
// exist.
void ConnectClipboardCommands(TCommandHost& win);

namespace clipcmd {
// The name of the template that Open unknown binary file opens beside the program.
inline constexpr const char* kBinaryTemplate = "Binaryfile_Content_Template.xls";

void CopyDatatoClipboard1Click(TCommandHost& win);
void PasteDatafromClipboard1Click(TCommandHost& win);
void OpenUnknown1Click(TCommandHost& win);
}  // namespace clipcmd
