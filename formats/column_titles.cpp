#include "formats/column_titles.h"

#include <algorithm>

#include "core/spectrum_record.h"

std::string StoredXUnitTitle(SpecXUnit xUnit) {
    switch (xUnit) {
    case SpecXNanometer: return "Wavelength [nm]";
    case SpecXWavenumber: return "Wavenumbers [1/cm]";
    case SpecXRamanShift: return "Raman shift [1/cm]";
    // Without a title the reader would take micrometres for nanometres.
    case SpecXMicrometer: return "Micrometers";
    default: return "";
    }
}

std::string StoredYKindTitle(SpecYKind yKind, bool lowerCase) {
    static const char* const upper[] = {"Transmittance", "Absorbance", "Epsilon", "log(Epsilon)", "Intensity",
                                        "Reflectance"};
    static const char* const lower[] = {"transmittance", "absorbance", "epsilon", "log(epsilon)", "intensity",
                                        "Reflectance"};
    if (!YKindOfCode(CodeOf(yKind))) return "";
    return (lowerCase ? lower : upper)[CodeOf(yKind) - 1];
}

std::string ClockTimeOfDate(const std::string& date) {
    auto colon = date.find(':');
    std::size_t start = colon == std::string::npos || colon < 2 ? 0 : colon - 2;
    return date.substr(std::min(start, date.size()), 8);
}
