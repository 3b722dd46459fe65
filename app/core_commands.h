#pragma once
// The Spectra menu's commands that run core routines directly, without a dialog: Normalize and Smooth.
class TCommandHost;

void Normalize1Click(TCommandHost& w);
void Smooth1Click(TCommandHost& w);
// Connects both commands to their menu entries (and tool buttons) and enables them.
void ConnectCoreCommands(TCommandHost& w);
