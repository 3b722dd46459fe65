#pragma once
// The Gauss band-group model's parameter block: up to ten groups of equally spaced Gauss bands
// (vibronic progressions) and the fit range, in wavenumbers. Its 1180-byte little-endian image is
// the content of the ".gss" files, field by field at fixed offsets.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr int32_t kGaussMaxGroups = 10;
inline constexpr int32_t kGaussMaxBands = 11;
inline constexpr int32_t kGaussDialogGroups = 5;  // groups the dialog shows
inline constexpr int32_t kGaussMaxModelPoints = 1000000;
inline constexpr std::size_t kGaussGroupImageSize = 116;
inline constexpr std::size_t kGaussBlockImageSize = 20 + kGaussMaxGroups * kGaussGroupImageSize;  // 1180

struct TGaussGroup {
    int32_t BandCount = 0;
    double Position = 0.0;  // band 0, 1/cm
    double Width = 0.0;     // the 1/e half width, 1/cm (the dialog shows the full width at half maximum)
    double Spacing = 0.0;   // distance of neighbouring bands, 1/cm
    std::array<double, kGaussMaxBands> Amplitudes{};
    friend bool operator==(const TGaussGroup&, const TGaussGroup&) = default;
};

struct TGaussModelParams {
    int32_t GroupCount = 0;
    double RangeFrom = 0.0;  // fit range, 1/cm, either order
    double RangeTo = 0.0;
    std::array<TGaussGroup, kGaussMaxGroups> Groups{};
    friend bool operator==(const TGaussModelParams&, const TGaussModelParams&) = default;
};

// One group, range 25000 to 12500; groups 1 to 5 without bands, Position 0, Width 400, Spacing
// 1250, amplitudes 0.1; groups 6 to 10 all zero.
TGaussModelParams GaussDefaultParams();

using GaussBlockImage = std::array<uint8_t, kGaussBlockImageSize>;
GaussBlockImage GaussParamsToImage(const TGaussModelParams& block);
// Reads kGaussBlockImageSize bytes; the values are taken as they are (check them with
// GaussParamsProblem before use).
TGaussModelParams GaussParamsFromImage(const uint8_t* image);

// A band exp(-(t/w)^2) falls to half its height at t = ±w sqrt(ln 2): its full width at half maximum
// is 2 sqrt(ln 2) w. The dialog shows and takes that; the block and its files keep w.
double GaussFwhmOfWidth(double width);
double GaussWidthOfFwhm(double fwhm);

// Number of points of the model spectrum in 1-nm steps over the range (the display in 1/cm):
// round(1e7/lo - 1e7/hi), at most 10^15 (also for ends so small that the count is no finite number).
// -1 when the range ends are not both > 0.
long long GaussModelPointCount(const TGaussModelParams& block);

// Why a block cannot be used, or "" when it can: counts outside 0..10 groups and 0..11 bands, a value
// that is no finite number, Width 0 in a group in use, range ends not both > 0 and different, more
// than 10^6 model points.
std::string GaussParamsProblem(const TGaussModelParams& block);
