#pragma once
// Tools for a series of fluorescence spectra taken at their own excitation wavelengths: assigning
// equidistant excitation wavelengths, cutting excitation spectra at detection wavelengths, and
// dividing by the lamp intensity at each excitation wavelength.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/spectra_list.h"

// ----- excitation wavelength assignment
inline constexpr const char* kNoExWlSetText = "No exc. wavelengths were set!";

struct TExWlAssignment {
    int32_t First = 0;  // list indices of the range
    int32_t Last = 0;
    int32_t Start = 0;  // nm
    int32_t End = 0;
    int32_t Step = 0;
    bool ReplaceNames = false;
};

// The texts the dialog opens with: start and end from the first and last spectrum (empty when unset,
// -1), the step (end - start) / (count - 1) rounded (empty with fewer than 2 spectra or without start
// or end).
struct TExWlStartTexts {
    std::string Start, End, Step;
};
TExWlStartTexts ExWlStartTexts(const TSpectraList& list);
// end = start + (last - first) × step, and start from the end the other way round.
int32_t ExWlEndOf(int32_t start, int32_t step, int32_t first, int32_t last);
int32_t ExWlStartOf(int32_t end, int32_t step, int32_t first, int32_t last);

// Writes start + (k - first) × step into every spectrum k of the range (and that wavelength as its
// title when asked). Start or end <= 0 shows kNoExWlSetText; a range outside the list changes nothing.
// Returns whether anything was set.
bool AssignExcitationWavelengths(TSpectraList& list, const TExWlAssignment& a);

// ----- excitation spectra
inline constexpr const char* kWrongRangeText = "wrong range";
inline constexpr const char* kWholeStepsText = "only whole-numbered steps";
inline constexpr const char* kExSpectraDeletedText = "Excitation Spectra Calculated! Fluorescence Spectra Deleted!";
inline constexpr const char* kExSpectraCalculatedText = " Excitation Spectra Calculated!";

struct TExcitationSpectraParams {
    int32_t From = 500;  // detection wavelengths, nm
    int32_t To = 750;
    int32_t Step = 5;
};

// The step edit: a whole number, or kWholeStepsText shown and `previous` kept.
int32_t ReadDetectionStep(const std::string& text, int32_t previous);

// One excitation spectrum per detection wavelength w = From, From + Step, ... <= To, each with one
// point per spectrum of the list (read at w nm) on the excitation grid of the first two spectra. The
// first spectrum's title is cleaned in place for the "ccdfx", "ccdfy", "ccdfg" tags. From >= To, a
// step <= 0, fewer than two spectra or a zero excitation step show kWrongRangeText and give nothing.
std::vector<std::unique_ptr<TSpectrumRecord>> CalculateExcitationSpectra(TSpectraList& list,
                                                                         const TDisplayState& display,
                                                                         const TExcitationSpectraParams& p);
// Replaces the list by the excitation spectra, or appends them; default colours of their positions.
// Returns the status text.
std::string StoreExcitationSpectra(TSpectraList& list, std::vector<std::unique_ptr<TSpectrumRecord>>& spectra,
                                   bool removeFluorescence);

// ----- excitation intensity correction
inline constexpr const char* kNoLampText = "No lamp curve loaded!";
inline constexpr const char* kNoWavelengthText = "spectra without wavelength values!";
inline constexpr const char* kIntensityCorrectedText = "Excitation intensity corrected. Save matrix as ASCII!";

// Spectra first..last divided by the lamp curve at their excitation wavelengths (" Excitation intensity
// corrected"). Without a lamp kNoLampText, first >= last kWrongRangeText, a spectrum without excitation
// wavelength kNoWavelengthText; nothing then.
std::vector<std::unique_ptr<TSpectrumRecord>> CorrectExcitationIntensity(const TSpectraList& list,
                                                                         const TDisplayState& display,
                                                                         const TSpectrumRecord* lamp,
                                                                         int32_t first, int32_t last);
// The command's end: the list holds only the corrected spectra afterwards.
void ReplaceByCorrected(TSpectraList& list, std::vector<std::unique_ptr<TSpectrumRecord>>& corrected);
