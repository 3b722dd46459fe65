#pragma once
// The menu commands of the options, axes and spectrum properties dialogs (Configuration F3, Axes F6,
// General Ctrl+A), connected to the main window's actions by their object names.
class TMainwin;

// Enables and connects the actions "Configuration1", "Axes1" and "General1".
void ConnectOptionsCommands(TMainwin& w);

void RunConfigurationCommand(TMainwin& w);
void RunAxesCommand(TMainwin& w);
void RunGeneralCommand(TMainwin& w);
