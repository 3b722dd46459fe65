#pragma once
// The table of solvent Raman bands that ships beside the program ("RamanBands.csv"): one solvent a
// line, its name, ";" and the Raman shift of its band in 1/cm as a whole number.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kRamanBandsFileName = "RamanBands.csv";
inline constexpr const char* kRamanBandsMissingText =
    "The table of solvent Raman bands \"RamanBands.csv\" could not be read beside the program.\r\n"
    "Raman band removal is not available.";

struct TRamanBand {
    std::string Name;       // the text before the first ";"
    std::string ShiftText;  // the text after it (converted when the band is used)
};

struct TRamanBandTable {
    bool Found = false;  // false: the file is missing or cannot be read
    std::vector<TRamanBand> Bands;
};

// Reads the table; a missing or unreadable file gives Found = false and no bands. Empty lines are
// passed over.
TRamanBandTable LoadRamanBands(const std::string& path);
// Index of the band named `name`, -1 when none is.
int32_t RamanBandIndex(const TRamanBandTable& table, const std::string& name);
