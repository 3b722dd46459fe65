#pragma once
// The per-user temporary folder of the program: the help pages' jump pages and the socket on which a
// running instance takes the files of a second start live there. In /tmp anyone can create a name
// first, so the folder is used only when it is a real folder of this user that no one else can enter.
#include <string>
#include <string_view>

// Where the folder is, without "/" at the end: $XDG_RUNTIME_DIR/varolux32, else varolux32-<uid> in
// $TMPDIR or /tmp.
std::string PerUserTempFolderPath();
// Makes `dir` with mode 0700 when it is missing; true when it then is a folder (not a link to one) of
// this user that only this user can enter.
bool MakePrivateFolder(const std::string& dir);
// PerUserTempFolderPath() + "/" once MakePrivateFolder accepted it; "" otherwise.
std::string PerUserTempFolder();

// 16 hex digits that follow `text` (FNV-1a), for names of files in the folder that stand for it.
std::string HashedName(std::string_view text);
