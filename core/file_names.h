#pragma once
// The parts of a file path and whether a file is there: the one place for them, so that the Open and
// Save commands, the readers and the settings all cut a name the same way. Folders end with "/".
// FolderOf and NameWithoutFolder live in platform/path_names, which the save path below core uses too.
#include <string>

#include "platform/path_names.h"

// "/a/b/name.ext" -> "name": the name without folder and without its last extension.
std::string NameWithoutExtension(const std::string& path);
// The extension of the name part as written, without the dot: "/a.d/b.Tar.gz" -> "gz", "/a.d/b" -> "".
std::string ExtensionOf(const std::string& path);
// The path with its extension replaced (or added): ChangeFileExt("/a/b.txt", ".rvx") = "/a/b.rvx".
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// True when the path names an existing regular file (links followed).
bool FileExists(const std::string& path);
