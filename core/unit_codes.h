#pragma once
// The x units and y kinds of records and of the display. Their values are the codes that files and
// settings hold: a stored code becomes a unit only through XUnitOfCode / YKindOfCode, which know every
// code in use, and a unit is written as its code through CodeOf.
#include <cstdint>
#include <optional>

enum class SpecXUnit : int32_t {
    SpecXNanometer = 1,     // wavelength, nm
    SpecXWavenumber = 2,    // wavenumber, 1/cm
    SpecXElectronVolt = 3,  // photon energy, eV (display only: no creator stores records in eV)
    SpecXMicrometer = 4,    // wavelength, µm
    SpecXRamanShift = 5,    // Raman shift, 1/cm (records only: every conversion treats it as 1/cm)
};
using enum SpecXUnit;

// A record's stored y kind, and the display's y mode (modes 5 and 6 only as the stored kinds).
enum class SpecYKind : int32_t {
    SpecYTransmittance = 1,  // shown as 10^(-A) of the stored value A
    SpecYAbsorbance = 2,     // A
    SpecYEpsilon = 3,        // A / (c·d)
    SpecYLogEpsilon = 4,     // log10(A / (c·d))
    SpecYIntensity = 5,      // A
    SpecYReflectance = 6,    // 10^(-A), as transmittance
};
using enum SpecYKind;

constexpr int32_t CodeOf(SpecXUnit unit) { return static_cast<int32_t>(unit); }
constexpr int32_t CodeOf(SpecYKind kind) { return static_cast<int32_t>(kind); }

// The unit of a stored code; none for a code no unit has.
constexpr std::optional<SpecXUnit> XUnitOfCode(int64_t code) {
    if (code < CodeOf(SpecXNanometer) || code > CodeOf(SpecXRamanShift)) return std::nullopt;
    return static_cast<SpecXUnit>(code);
}
constexpr std::optional<SpecYKind> YKindOfCode(int64_t code) {
    if (code < CodeOf(SpecYTransmittance) || code > CodeOf(SpecYReflectance)) return std::nullopt;
    return static_cast<SpecYKind>(code);
}
