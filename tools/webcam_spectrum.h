#pragma once
// The webcam spectroscope's conversion of a picture into a spectrum: the pixel brightness of every
// image column summed over the rows of the region of interest, less the dark spectrum, divided by the
// reference spectrum in the ratio modes; and the live, dark and reference records it makes.
#include <cstdint>
#include <memory>
#include <string>

#include "core/spectra_list.h"
#include "core/spectrum_record.h"
#include "platform/frame.h"

// The measurement settings of the webcam window.
struct TWebcamParams {
    SpecYKind MeasYKind = SpecYIntensity;  // intensity, transmittance or absorbance
    bool UseDark = false;
    bool RatioMode = false;  // divide by the reference and take -log10
    bool Flip = false;       // store the columns in reverse order
    bool WlRangeOn = false;
    int32_t StartWl = -1;  // nm of the first and last ROI column; -1 when not an integer
    int32_t EndWl = -1;
};

// Columns and rows of a picture, 1-based and inclusive, rows counted from the top.
struct TImageRange {
    int32_t FirstColumn = 1, LastColumn = 0, FirstRow = 1, LastRow = 0;
    int32_t Columns() const { return LastColumn - FirstColumn + 1; }
    int32_t Rows() const { return LastRow - FirstRow + 1; }
    friend bool operator==(const TImageRange&, const TImageRange&) = default;
};

// False for a channel that had a value above 253 in the last conversion.
struct TClipFlags {
    bool BlueOk = true, GreenOk = true, RedOk = true;
};

enum class TConversionStatus {
    Converted,
    TooFewColumns,  // fewer than 2 columns (or no row) inside the picture: the record is kept as it was
};

struct TConversionResult {
    TConversionStatus Status = TConversionStatus::Converted;
    TClipFlags Clip;
    bool DarkUnfit = false;       // the dark spectrum has another number of points: not subtracted
    bool ReferenceUnfit = false;  // the same for the reference: no ratio, the record holds intensities
};

// The whole picture.
TImageRange WholeImage(const TFrame& frame);
// A rectangle in image-control coordinates (left, top, right, bottom; the control is controlWidth x
// controlHeight and shows the picture stretched) as picture columns and rows: first column =
// ceiling(width * left / controlWidth), last = floor(width * right / controlWidth), rows alike; then
// clamped to the picture.
TImageRange RoiToImageRange(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t controlWidth,
                            int32_t controlHeight, int32_t imageWidth, int32_t imageHeight);

// Converts `range` of `frame` into `rec` (ImageToSpectrum). `dark` and `reference` are used only when
// the parameters ask for them and they hold exactly as many points as the range has columns. A ratio
// of 0 or below (or a reference value of 0 or below) stores 6.0. A wavelength range with start and end
// above 0 and different gives the grid in ascending nm (values reversed when end < start) and kind 50;
// otherwise the x axis counts pixels from 0 and the kind is 47.
TConversionResult ImageToSpectrum(TSpectrumRecord& rec, const TFrame& frame, TImageRange range,
                                  const TWebcamParams& p, const TSpectrumRecord* dark,
                                  const TSpectrumRecord* reference);

// The live record ("LiveSpec") with `width` values 1.0 and the default colour of a list of `listCount`
// records, to be appended to that list.
std::unique_ptr<TSpectrumRecord> MakeLiveSpectrum(int32_t listCount, int32_t width, SpecYKind measYKind,
                                                  const std::string& driverText, const std::string& dateText);
// The same, appended to `list`. Returns it.
TSpectrumRecord& CreateLiveSpectrum(TSpectraList& list, int32_t width, SpecYKind measYKind,
                                    const std::string& driverText, const std::string& dateText);
// The index of the record with this identity in `list`, -1 when it is gone.
int32_t IndexOfIdentity(const TSpectraList& list, uint64_t identity);

// A dark (kind 48, "DarkSpec", "dark spectrum: ") or reference (kind 49, "RefSpec", "reference
// spectrum: ") record with the grid and values of `raw`, y kind intensity.
enum class TStoredSpectrum { Dark, Reference };
std::unique_ptr<TSpectrumRecord> MakeStoredSpectrum(TStoredSpectrum which, const TSpectrumRecord& raw,
                                                    const std::string& driverText, const std::string& dateText);

// The number in a wavelength edit: its integer value, -1 when the text is not an integer.
int32_t WavelengthEditValue(const std::string& text);
