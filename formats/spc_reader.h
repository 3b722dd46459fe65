#pragma once
// SPC files (format code 19): one variant of instrument files parsed here, every other file read
// through the SPC library, one record per subfile.
#include <string>

#include "core/spectra_list.h"

// `programFolder` (ending with "/") holds the library, registered from there when it is not yet.
void LoadSpecSpc(const std::string& path, TSpectraList& list, const std::string& programFolder);
