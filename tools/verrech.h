#pragma once
// Arithmetic between two spectra (Addition, Subtraction, Multiplication, Division).
#include <cstdint>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TVerrechParams {
    int32_t First = 0;
    int32_t Second = 0;
    bool AllSpectra = false;  // every spectrum but the second, each combined with the second
    bool KeepLegend = false;
    int32_t Operation = 0;    // 0 +, 1 -, 2 *, 3 /
};

inline constexpr const char* kVerrechCaptions[4] = {"Addition", "Subtraction", "Multiplication",
                                                     "Division"};
inline constexpr const char* kVerrechOperators[4] = {"plus", "minus", "multiplied by", "divided by"};

// Appends the results with the default colours of their positions; returns how many.
int32_t RunSpectrumArithmetic(TSpectraList& list, const TDisplayState& display, const TVerrechParams& params);

inline constexpr const char* kArithmeticChoiceText = "Please choose the spectra first!";
inline constexpr const char* kNoCommonRangeText = "The spectra have no common x range!";
