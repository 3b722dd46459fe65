#pragma once
// The Gauss band-group fit: Levenberg-Marquardt least squares of the band-group model to a spectrum
// shown in 1/cm, in seven stages that free amplitudes, positions, widths and spacings in turn, while
// a preview curve shows the model and names the stage.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/gauss_params.h"
#include "core/least_squares.h"
#include "core/spectrum_record.h"
#include "tools/gauss_fit_pass.h"

// The dialog's switches of the fit, groups 1 to 5 (groups beyond count as activated, not connected).
struct TGaussFitSwitches {
    std::array<bool, kGaussDialogGroups> Connect{};  // amplitudes fitted as one common factor
    std::array<bool, kGaussDialogGroups> Active{true, true, true, true, true};
    bool OnlyAmplitudes = false;  // stop after the first stage
    int32_t MaxIterations = 10;   // per stage
};

// What the fit asks of the window around it; every hook may be empty.
struct TGaussFitHooks {
    std::function<void()> addPreview;     // before the first stage
    std::function<void()> removePreview;  // at the end, always
    std::function<void(const std::string& legend)> stageLegend;
    std::function<void(const TGaussModelParams& block)> preview;  // redraw the preview curve
    std::function<void()> processMessages;                       // once per step
};

// The fit state; parameter vectors and matrices count from 1.
struct TGaussFit {
    std::vector<double> x, y, sig;  // the data, 0-based
    TGaussModelParams* block = nullptr;
    TGaussFitSwitches switches;
    const TGaussFitHooks* hooks = nullptr;

    // a(3g+1) Spacing, a(3g+2) Position, a(3g+3) Width of group g; then the amplitude slots.
    int32_t ma = 0;
    std::vector<double> a, atry;
    std::vector<int32_t> ampSlot;  // first amplitude slot of each group
    std::vector<bool> connected;   // per group
    std::vector<int32_t> lista;    // the free parameters, lista[1..mfit]
    int32_t mfit = 0;
    double alamda = -1.0, chisq = 0.0, ochisq = 0.0;
    double chisqInit = 0.0;  // chisq of the start parameters of the current run
    NrMatrix alpha, covar;   // alpha of the last accepted parameters; covar the working matrix
    std::vector<double> beta;

    // The passes' working storage, kept from pass to pass.
    std::vector<int32_t> col;  // column of each parameter among the free ones
    std::vector<TGaussPassGroup> passGroups;
    TGaussPassSums sums;
    TGaussPassIsa passIsa = TGaussPassIsa::Best;
};

// One stage as it ran.
struct TGaussStageReport {
    std::string legend;
    int32_t freeParams = 0;  // after parameters without effect were left out
    int32_t steps = 0;       // MRQMIN steps after the initialisation
    double chisqStart = 0.0, chisqEnd = 0.0;
};

// The data of the fit: the points of the spectrum between the range ends whose display y exceeds 5 %
// of the largest display y there (at least 0), with sigma 0.01; points that are no number are
// skipped. An infinite value there raises vx::Error naming its x.
void GaussFitData(const TSpectrumRecord& spectrum, const TGaussModelParams& block,
                  const TDisplayState& display, std::vector<double>& x, std::vector<double>& y,
                  std::vector<double>& sig);

// The seven stages of the fit of `block` to `spectrum`; the block is changed in place (the last
// accepted parameters). Raises vx::Error, with the block unchanged, when the block cannot be used,
// the data in the range hold an infinite value, or no data point qualifies. The preview curve is
// removed in every case.
std::vector<TGaussStageReport> GaussFitIterate(const TSpectrumRecord& spectrum, TGaussModelParams& block,
                                               const TGaussFitSwitches& switches,
                                               const TDisplayState& display, const TGaussFitHooks& hooks = {});

// Sets up the parameter vector from the block (connected groups' factors 1.0).
void GaussFitInit(TGaussFit& fit, TGaussModelParams& block, const TGaussFitSwitches& switches,
                  const TGaussFitHooks* hooks);
// The free list of stage 1..7 (activated groups only).
std::vector<int32_t> GaussStageList(const TGaussFit& fit, int32_t stage);
// One Levenberg-Marquardt run over the free list; returns the steps made after the initialisation.
int32_t GaussFitRun(TGaussFit& fit);
// Writes the parameter vector back into the block (connected factors folded into the amplitudes)
// and redraws the preview.
void GaussParamsFromFit(TGaussFit& fit);
// One MRQMIN call (alamda < 0 initialises first): a trial step, accepted when chisq falls (alamda
// times 0.1), else rejected (alamda times 10). Returns false when no step could be made: a singular
// matrix, a floating-point fault (invalid operation, division by zero, overflow) or a value that is
// no finite number; the parameters then stay as they were and alamda becomes 10. A free list that
// names a parameter twice or one outside 1..ma raises vx::Error.
bool MRQMIN(TGaussFit& fit);
// Curvature matrix, gradient and chisq of parameter vector `a` over the free list.
void MrqCof(TGaussFit& fit, const std::vector<double>& a, NrMatrix& alpha, std::vector<double>& beta,
            double& chisq);
// The model and its derivatives dyda[1..ma] at x (1/cm).
void GaussGroupModel(const TGaussFit& fit, const std::vector<double>& a, double x, double& y,
                     std::vector<double>& dyda);
