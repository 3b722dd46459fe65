#pragma once
// Subtraction of a blank EEM data set (read from an RVX file) from the loaded one, point by point.
// While the dialog is open the blank's spectra follow the n data spectra in the list.
#include <cstdint>
#include <string>

#include "core/display_state.h"
#include "core/spectra_list.h"

// The loaded data set as an EEM: excitation from, to and step in whole nm, emission grid, count.
struct TEEMDescription {
    int32_t ExStart = 0;
    int32_t ExEnd = 0;
    int32_t ExStep = 0;
    double EmStart = 0.0;
    double EmEnd = 0.0;
    double EmStep = 0.0;
    int32_t Count = 0;
};

inline constexpr const char* kNotEEMText =
    "the current data is not of EEM type!\r\nBlank EEM subtraction not possible...";
inline constexpr const char* kBlankNoFitText =
    "loaded blank data does not fit to EEM!\r\nBlank EEM subtraction will not be done...";
inline constexpr const char* kNoBlankLoadedText = "Filename:  no blank dataset loaded";
inline constexpr const char* kBlankFilter = "Varolux32 binary files  (*.rvx)|*.RVX|All files (*.*)|*.*";

// The n spectra of `list` from `first` on described as an EEM (in excitation order). The step needs
// two spectra and stays 0 with fewer.
TEEMDescription DescribeEEM(const TSpectraList& list, int32_t first, int32_t n);
// At least 3 spectra with excitation wavelengths from 2 nm, a step of at least 1 nm and an emission
// range above 1.
bool IsEEMData(const TEEMDescription& d);

// The blank (everything after the first n spectra) fits when it holds exactly n > 2 spectra with the
// data's excitation start, end and step and an emission start, end and step each within 0.01 %, and
// every pair (i, i + n) has the same point count, x unit and grid (first x and step within 0.01 %).
bool BlankFitsEEM(const TSpectraList& list, int32_t n);
// Deletes spectra from the end of the list until n remain.
void RemoveBlank(TSpectraList& list, int32_t n);

enum class BlankLoad {
    NotLoaded,   // Cancel, a file that is no RVX file, or one that gave no spectrum
    Fits,
    DoesNotFit,  // kBlankNoFitText was shown and the blank removed again
};
// "Load Blank dataset...": a blank loaded before is removed first; a file named "*.rvx" (any case) is
// appended to the list with LoadRvxFile and tested. A file that cannot be read shows its error and
// leaves no blank.
BlankLoad LoadBlankDataset(TSpectraList& list, int32_t n, const std::string& fileName);

// OK: stored value (i, j) -= stored value (i + n, j) for every data spectrum i < n, ", blank subtracted"
// appended to the titles when asked; then the blank is removed. Nothing is subtracted unless the blank
// fits. Returns whether it subtracted.
bool SubtractBlankEEM(TSpectraList& list, int32_t n, bool appendToLegend);
