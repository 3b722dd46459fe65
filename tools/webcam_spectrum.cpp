#include "tools/webcam_spectrum.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/helpers.h"
#include "core/units.h"

TImageRange WholeImage(const TFrame& frame) { return {1, frame.Width, 1, frame.Height}; }

namespace {

int32_t ceilDiv(int64_t a, int64_t b) {
    return static_cast<int32_t>(a >= 0 ? (a + b - 1) / b : -((-a) / b));
}
int32_t floorDiv(int64_t a, int64_t b) {
    return static_cast<int32_t>(a >= 0 ? a / b : -((-a + b - 1) / b));
}

}  // namespace

TImageRange RoiToImageRange(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t controlWidth,
                            int32_t controlHeight, int32_t imageWidth, int32_t imageHeight) {
    if (controlWidth <= 0) controlWidth = imageWidth;
    if (controlHeight <= 0) controlHeight = imageHeight;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    TImageRange r;
    r.FirstColumn = ceilDiv(int64_t(imageWidth) * left, controlWidth);
    r.LastColumn = floorDiv(int64_t(imageWidth) * right, controlWidth);
    r.FirstRow = ceilDiv(int64_t(imageHeight) * top, controlHeight);
    r.LastRow = floorDiv(int64_t(imageHeight) * bottom, controlHeight);
    r.FirstColumn = std::clamp(r.FirstColumn, 1, std::max(imageWidth, 1));
    r.LastColumn = std::clamp(r.LastColumn, 0, imageWidth);
    r.FirstRow = std::clamp(r.FirstRow, 1, std::max(imageHeight, 1));
    r.LastRow = std::clamp(r.LastRow, 0, imageHeight);
    return r;
}

TConversionResult ImageToSpectrum(TSpectrumRecord& rec, const TFrame& frame, TImageRange range,
                                  const TWebcamParams& p, const TSpectrumRecord* dark,
                                  const TSpectrumRecord* reference) {
    TConversionResult result;
    range.FirstColumn = std::max(range.FirstColumn, 1);
    range.FirstRow = std::max(range.FirstRow, 1);
    range.LastColumn = std::min(range.LastColumn, frame.Width);
    range.LastRow = std::min(range.LastRow, frame.Height);
    const int32_t n = range.Columns();
    if (frame.Empty() || n < 2 || range.Rows() < 1) {
        result.Status = TConversionStatus::TooFewColumns;
        return result;
    }

    // Column sums over the rows, row by row so that the picture is read in memory order.
    std::vector<uint32_t> sums(static_cast<size_t>(n), 0);
    uint8_t maxB = 0, maxG = 0, maxR = 0;
    for (int32_t row = range.FirstRow; row <= range.LastRow; ++row) {
        const uint8_t* px = frame.Pixel(range.FirstColumn - 1, row - 1);
        uint32_t* s = sums.data();
        for (int32_t k = 0; k < n; ++k, px += 4) {
            const uint32_t b = px[0], g = px[1], r = px[2];
            maxB = std::max<uint8_t>(maxB, px[0]);
            maxG = std::max<uint8_t>(maxG, px[1]);
            maxR = std::max<uint8_t>(maxR, px[2]);
            s[k] += (r + g + b) / 3;
        }
    }
    result.Clip.BlueOk = maxB <= 253;
    result.Clip.GreenOk = maxG <= 253;
    result.Clip.RedOk = maxR <= 253;

    const bool useDark = p.UseDark && dark;
    const bool useRatio = p.RatioMode && p.MeasYKind != SpecYIntensity && reference;
    result.DarkUnfit = useDark && dark->PointCount() != n;
    result.ReferenceUnfit = useRatio && reference->PointCount() != n;
    const double* darkValues = useDark && !result.DarkUnfit ? dark->Values.data() : nullptr;
    const double* refValues = useRatio && !result.ReferenceUnfit ? reference->Values.data() : nullptr;

    // Records in nm run with rising x: a wavelength range given from right to left stores the columns
    // reversed, like the flip. Dark and reference are indexed by the stored position.
    const bool wlRange = p.WlRangeOn && p.StartWl > 0 && p.EndWl > 0 && p.StartWl != p.EndWl;
    const bool reverse = p.Flip != (wlRange && p.EndWl < p.StartWl);
    // A one-pixel-wide picture divides by 1.
    const double divisor = std::max(frame.Width - 1, 1);
    std::vector<double> values(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) {
        const int32_t pos = reverse ? n - 1 - k : k;
        double v = sums[k] / divisor;
        if (darkValues) v -= darkValues[pos];
        if (refValues) {
            const double ref = refValues[pos];
            const double ratio = ref > 0 ? v / ref : 0.0;
            v = ratio > 0 && std::isfinite(ratio) ? -Log10Ext(ratio) : 6.0;
        }
        values[pos] = v;
    }

    rec.YKind = refValues ? p.MeasYKind : SpecYIntensity;
    if (wlRange) {
        const int32_t lo = std::min(p.StartWl, p.EndWl), hi = std::max(p.StartWl, p.EndWl);
        rec.FirstX = lo;
        rec.StepX = double(hi - lo) / (n - 1);
        rec.SourceKind = SpecSourceImage;
    } else {
        rec.FirstX = 0.0;
        rec.StepX = 1.0;
        rec.SourceKind = SpecSourceWebcamLive;
    }
    rec.XUnit = SpecXNanometer;
    rec.Values = std::move(values);
    return result;
}

std::unique_ptr<TSpectrumRecord> MakeLiveSpectrum(int32_t listCount, int32_t width, SpecYKind measYKind,
                                                  const std::string& driverText, const std::string& dateText) {
    auto rec = std::make_unique<TSpectrumRecord>();
    rec->SourceKind = SpecSourceWebcamLive;
    rec->SpecType = "LiveSpec";
    rec->Title = "live spectrum: " + dateText;
    rec->Comment1 = "spectrometer name: " + driverText;
    rec->FileName = "none";
    rec->DateText = dateText;
    rec->XUnit = SpecXNanometer;
    rec->YKind = measYKind;
    rec->FirstX = 1;
    rec->StepX = 1;
    rec->LineStyle = 0;
    rec->Color = CurveColor(listCount);
    rec->Concentration = 0;
    rec->PathLength = 1.0;
    rec->Temperature = -1.0;
    rec->ExposureTime = -1.0;
    rec->LineWidth = 1;
    rec->Values.assign(static_cast<size_t>(std::max(width, 0)), 1.0);
    return rec;
}

TSpectrumRecord& CreateLiveSpectrum(TSpectraList& list, int32_t width, SpecYKind measYKind,
                                    const std::string& driverText, const std::string& dateText) {
    auto rec = MakeLiveSpectrum(list.Count(), width, measYKind, driverText, dateText);
    TSpectrumRecord& r = *rec;
    list.Add(std::move(rec));
    return r;
}

int32_t IndexOfIdentity(const TSpectraList& list, uint64_t identity) {
    for (int32_t i = 0; i < list.Count(); ++i)
        if (list[i].Identity.Value() == identity) return i;
    return -1;
}

std::unique_ptr<TSpectrumRecord> MakeStoredSpectrum(TStoredSpectrum which, const TSpectrumRecord& raw,
                                                    const std::string& driverText, const std::string& dateText) {
    auto rec = std::make_unique<TSpectrumRecord>();
    const bool dark = which == TStoredSpectrum::Dark;
    rec->SourceKind = dark ? SpecSourceWebcamDark : SpecSourceWebcamReference;
    rec->SpecType = dark ? "DarkSpec" : "RefSpec";
    rec->Title = (dark ? "dark spectrum: " : "reference spectrum: ") + dateText;
    rec->Comment1 = "spectrometer name: " + driverText;
    rec->FileName = raw.FileName.str();
    rec->Concentration = raw.Concentration;
    rec->PathLength = raw.PathLength;
    rec->DateText = raw.DateText.str();
    rec->XUnit = raw.XUnit;
    rec->YKind = SpecYIntensity;
    rec->LineStyle = raw.LineStyle;
    rec->FirstX = raw.FirstX;
    rec->StepX = raw.StepX;
    rec->Values = raw.Values;
    return rec;
}

int32_t WavelengthEditValue(const std::string& text) {
    if (!IsIntegerText(text)) return -1;
    return static_cast<int32_t>(std::stol(Trim(text)));
}
