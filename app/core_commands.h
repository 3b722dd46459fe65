#pragma once
// The Spectra menu's commands that run core routines directly, without a dialog: Normalize and Smooth.
class TMainwin;

void Normalize1Click(TMainwin& w);
void Smooth1Click(TMainwin& w);
// Connects both commands to their menu entries (and tool buttons) and enables them.
void ConnectCoreCommands(TMainwin& w);
