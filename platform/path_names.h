#pragma once
// Cutting a path into its folder and its name: the one implementation, here in the lowest layer so that
// the save path and the settings store cut names as the Open and Save commands do (core/file_names
// carries the rest of the name helpers). Folders end with "/".
#include <string>

// "/a/b/name.ext" -> "/a/b/"; "/name" -> "/"; a bare name has no folder ("").
std::string FolderOf(const std::string& path);
// "/a/b/name.ext" -> "name.ext".
std::string NameWithoutFolder(const std::string& path);
