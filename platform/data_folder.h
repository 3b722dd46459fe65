#pragma once
// Where the program keeps files it writes beside itself: its own folder when that can be written,
// else the per-user data folder $XDG_DATA_HOME/varolux32/ (default ~/.local/share/varolux32/); and where
// it finds the files it reads beside itself.
#include <string>

// The per-user data folder, ending with "/" (created when missing; "" when there is no home).
std::string PerUserDataFolder();
// The path of `name` beside the program: `programFolder` + name when that folder can be written,
// otherwise in the per-user data folder.
std::string WritablePathBesideProgram(const std::string& programFolder, const std::string& name);
// A file the program reads beside itself (tables, templates): `programFolder` + name when it is there,
// else the data folder's copy when that exists, else `programFolder` + name, so that a message names
// the place where the file belongs.
std::string FileBesideProgram(const std::string& programFolder, const std::string& name);
