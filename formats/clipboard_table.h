#pragma once
// All spectra as a tab-separated table for the clipboard, in each spectrum's stored units.
#include <string>

#include "core/spectra_list.h"

// Lines end CR LF, cells are separated by one tab; numbers use the regional decimal separator. Spectra
// on one grid share an x column, else each has its own x and y columns. Line 1 holds the legend names,
// a "Time" line follows when the first spectrum is a time series, then the column titles and one line
// per point. Empty for an empty list.
std::string ClipboardDataText(const TSpectraList& list);

// y of stored value `a` in the record's own y kind: 10^(-a) for transmittance and reflectance, a/(c*d)
// for epsilon and log10 of it for log(epsilon), with c*d taken from the record now; 0 where that has no
// value (c*d of 0, a quotient of 0 or less for the logarithm).
double StoredYInOwnKind(const TSpectrumRecord& rec, double a);
