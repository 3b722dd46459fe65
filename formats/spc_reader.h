#pragma once
// SPC files (format code 19): one variant of instrument files parsed here, every other file read
// through the SPC library, one record per subfile.
#include <cstdint>
#include <string>

#include "core/spectra_list.h"

// `programFolder` (ending with "/") holds the library, registered from there when it is not yet.
// A file of the variant parsed here that is larger than `maxBytes` is refused before it is read.
void LoadSpecSpc(const std::string& path, TSpectraList& list, std::uint64_t maxBytes,
                 const std::string& programFolder);
