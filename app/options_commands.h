#pragma once
// The menu commands of the options, axes and spectrum properties dialogs (Configuration F3, Axes F6,
// General Ctrl+A), connected to the main window's actions by their object names.
class TCommandHost;

// Enables and connects the actions "Configuration1", "Axes1" and "General1".
void ConnectOptionsCommands(TCommandHost& w);

void RunConfigurationCommand(TCommandHost& w);
void RunAxesCommand(TCommandHost& w);
void RunGeneralCommand(TCommandHost& w);
