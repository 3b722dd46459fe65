#pragma once
// Pieces shared by the text spectrum readers (JCAMP-DX, delimited text, DAT): number tokens in which
// the first "." or "," is the decimal sign, file-name parts, and the resampling of x/y pairs onto the
// record's equidistant grid.
#include <string>
#include <string_view>
#include <vector>

#include "core/spectrum_record.h"

struct XYPair {
    double x;
    double y;
};

// A number text as the readers take it: blanks around it are allowed and its first "." or "," is the
// decimal sign (what `FixDecimalSeparator` followed by the conversion accepts). No allocation.
bool ParseNumberToken(std::string_view text, double& out);
// The same, raising "'%s' is not a valid floating point value" (with the separator already fixed).
double ReadNumberToken(std::string_view text);
// A whole number after blanks are stripped and the text is cut before its decimal sign.
bool IsWholeNumberBeforeDecimal(std::string_view text, char decimalSep);

// "/a/b/name.ext" -> "name.ext"; NameWithoutExtension("/a/b/name.ext") -> "name".
std::string NameWithoutFolder(const std::string& path);
std::string NameWithoutExtension(const std::string& path);

// Resamples pairs in rising x onto first x = first pair's x, n = number of pairs,
// step = (last x - first x)/(n - 1); a pair within 1e-10 of a grid point gives its own y. Fills
// FirstX, StepX and Values of `rec`. False (record untouched) for fewer than two pairs or a step that
// is zero or not finite.
bool ResamplePairs(const std::vector<XYPair>& pairs, TSpectrumRecord& rec);

// Values of a record reversed (first x becomes the last grid x, the step changes sign).
void ReverseGrid(TSpectrumRecord& rec);

// Reflectance or transmittance values (fractions or percent) to the stored absorbance-like form:
// -log10(v) or -log10(v/100); values at or below `floorLimit` become `floorValue`.
double TransmittanceToStored(double v, bool percent, double floorLimit, double floorValue);
