#pragma once
// The work behind the spectrum properties dialog: the texts shown for a record, storing edited texts
// back into it, the concentration from a weighing, and the default appearance of all spectra.
#include <optional>
#include <string>

#include "core/spectra_list.h"
#include "core/spectrum_record.h"

namespace properties {

struct PropertyTexts {
    std::string concentration;  // general format, 4 significant digits
    std::string pathLength;
    std::string temperature;    // empty unless > 0
    std::string excitation;     // empty unless > 1e-6
    std::string legend;
};

PropertyTexts TextsOfRecord(const TSpectrumRecord& rec);

// Stores edited texts ("." taken as the decimal separator). Concentration and path length must convert
// (conversion error, record unchanged); temperature and excitation wavelength store -1.0 when empty or
// no number. The legend name is cut to its field.
void StoreTexts(TSpectrumRecord& rec, const PropertyTexts& t);

// Line type and width list items for a record's style and width, clamped to the lists (0..2, 0..6);
// the record itself is left alone.
int LineTypeItem(const TSpectrumRecord& rec);
int LineWidthItem(const TSpectrumRecord& rec);

// Concentration in mol/l from molecular weight (g/mol), sample weight (mg) and solvent volume (ml);
// nothing unless all three are greater than 0.
std::optional<double> ConcentrationFromWeighing(double molecularWeight, double sampleMg, double volumeMl);
// Texts as typed in the calculation edits; a text that is no number raises the conversion error.
std::optional<double> ConcentrationFromTexts(const std::string& molecularWeight,
                                             const std::string& sampleMg, const std::string& volumeMl);
std::string ConcentrationText(double c);

// "=> Default Lines": every record pen style 0, width 1 and the default colour of its position.
void ResetDefaultLines(TSpectraList& list);

}  // namespace properties
