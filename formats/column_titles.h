#pragma once
// The column titles of the delimited-text exports (CSV file, clipboard table), which the delimited-text
// reader recognises again, and the clock time of time-series spectra.
#include <cstdint>
#include <string>

#include "core/unit_codes.h"

// Kind code of spectra that carry the clock time of their measurement in their date text.
inline constexpr int32_t kClockTimeKind = 18;

// The x title of a stored x unit: "Wavelength [nm]", "Wavenumbers [1/cm]", "Raman shift [1/cm]",
// "Micrometers"; empty for other units.
std::string StoredXUnitTitle(SpecXUnit xUnit);
// The y title of a stored y kind ("Transmittance" ... "Reflectance"); `lowerCase` gives the further
// columns' spelling of the CSV file ("transmittance", ..., "Reflectance"). Empty for other kinds.
std::string StoredYKindTitle(SpecYKind yKind, bool lowerCase = false);
// The clock time of a date text: 8 characters from two in front of its first ":".
std::string ClockTimeOfDate(const std::string& date);
