#pragma once
// Constants (or terms in x and y) on the y axis of one spectrum or of all spectra of one type.
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

struct TSimpleParams {
    int32_t Operation = 2;  // 0 "+", 1 "-", 2 "×", 3 "÷"
    std::string Constant = "1";
    bool RemoveOriginal = false;
    bool AppendToTitle = true;
    int32_t Spectrum = 0;
    bool ByType = false;
    std::string Tag;
};

inline constexpr const char* kSimpleOps[4] = {"+", "-", "×", "÷"};
inline constexpr const char* kYConstDivisionByZeroText =
    "Division by 0 is not possible: no spectrum was calculated!";
const std::vector<std::string>& SimpleTypeTags();

// Returns the number of new spectra. Raises the conversion error before anything is appended when the
// constant is no number; "÷" by a constant 0 is refused with kYConstDivisionByZeroText.
int32_t ApplyYConstant(TSpectraList& list, const TDisplayState& display, const TSimpleParams& params);
