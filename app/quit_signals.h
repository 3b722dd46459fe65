#pragma once
// The end of a desktop session (and "kill") asks a program to quit with SIGTERM, SIGINT or SIGHUP. The
// program then ends as with File > Exit, so that window placement and recent files are written.
void InstallQuitSignals();
