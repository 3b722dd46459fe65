#include "formats/spc_reader.h"

#include "formats/binary_values.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/resample.h"
#include "formats/spc_binding.h"
#include "formats/text_loader.h"
#include "platform/byte_order.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/input_file.h"

using namespace byteorder;

namespace {

constexpr double kEvToWavenumber = 8065.5409;

// Transmittance or reflectance values into the absorbance-like form: percent when the largest value
// exceeds 1.3; values at or below 1e-6 (as read) become 6.0.
void fractionToAbsorbance(std::vector<double>& v) {
    double m = 0;
    for (double x : v) m = std::max(m, x);
    bool percent = m > 1.3;
    for (double& x : v) x = x <= 1e-6 ? 6.0 : -std::log10(percent ? x / 100.0 : x);
}

void appendIfComplete(std::unique_ptr<TSpectrumRecord> rec, TSpectraList& list) {
    // A record with fewer than two points, no usable step or non-finite values is not kept.
    if (rec->IsComplete()) list.AddWithDefaultColor(std::move(rec));
}

// ---- The variant parsed here.

void loadOwnParse(const std::string& path, std::string_view bytes, TSpectraList& list) {
    if (bytes.size() < 124) vx::throwStreamRead();
    const auto* d = reinterpret_cast<const uint8_t*>(bytes.data());
    const std::size_t size = bytes.size();
    const uint16_t yMode = getU16LE(d + 2);
    const double a = getF32LE(d + 10), b = getF32LE(d + 14);

    auto rec = std::make_unique<TSpectrumRecord>();
    rec->FileName = path;
    rec->Title = NameWithoutFolder(path);
    rec->SpecType = "shimadzu_spc";
    rec->PathLength = 1.0;
    rec->SourceKind = 46;
    rec->XUnit = SpecXNanometer;
    rec->YKind = yMode == 1 ? SpecYTransmittance : yMode == 3 ? SpecYIntensity : SpecYAbsorbance;
    rec->LineWidth = 1;
    std::string date;
    for (std::size_t i = 100; i < 116; ++i)
        if (d[i] != 0) date += static_cast<char>(d[i]);
    rec->DateText = cp1252::toUtf8(date);

    // The data block: its count word stands just before the first run of plausible values.
    std::size_t pos = 116;
    int plausible = 0;
    while (plausible < 10 && pos + 4 <= size) {
        double v = std::fabs(getF32LE(d + pos));
        pos += 4;
        if (v > 1e-4 && v < 250) ++plausible;
    }
    int64_t start = int64_t(pos) - 4 * int64_t(plausible) - 2;
    if (start < 0 || uint64_t(start) + 2 > size) return;
    const uint32_t n = getU16LE(d + start);
    std::vector<double> values;
    std::size_t p = static_cast<std::size_t>(start) + 2;
    for (uint32_t i = 0; i < n && p + 4 <= size; ++i, p += 4) values.push_back(getF32LE(d + p));
    // Only the values read count; fewer than two make no spectrum.
    if (n <= 1 || values.size() < 2) return;
    const double steps = double(values.size() - 1);
    if (a > b) {
        rec->FirstX = b;
        rec->StepX = (a - b) / steps;
        std::reverse(values.begin(), values.end());
    } else {
        rec->FirstX = a;
        rec->StepX = (b - a) / steps;
    }
    if (yMode == 1) fractionToAbsorbance(values);
    rec->Values = std::move(values);
    appendIfComplete(std::move(rec), list);
}

// ---- Through the library.

template <class T>
T get(IGTarnvik* g, HRESULT (IGTarnvik::*member)(T*)) {
    T v{};
    CheckSpc((g->*member)(&v));
    return v;
}

std::string getText(IGTarnvik* g, HRESULT (IGTarnvik::*member)(BSTR*)) {
    com::Bstr s;
    CheckSpc((g->*member)(s.out()));
    return s.utf8();
}

// The floats of a point array as doubles, the first n of them, in order or reversed.
std::vector<double> doublesOf(const VARIANT& v, std::size_t n, bool reversed) {
    std::vector<double> out;
    auto f = com::floatsIn(v);
    if (!f) return out;
    const std::span<const float> values = f->first(std::min(n, f->size()));
    binvalues::ReserveFaultedIn(out, values.size());  // out is empty
    if (reversed) out.assign(values.rbegin(), values.rend());
    else out.assign(values.begin(), values.end());
    return out;
}

std::size_t pointsIn(const VARIANT& v) {
    auto f = com::floatsIn(v);
    return f ? f->size() : 0;
}

bool isWavenumberLabel(const std::string& label) {
    return ContainsText("delta wave# (rcm-1) wavelength(d(1/cm)) raman shift(cm-1) wavenumber (cm-1) ",
                        LowerAscii(label));
}

void loadSubfile(IGTarnvik* g, const std::string& path, int32_t index, TSpectraList& list) {
    CheckSpc(g->put_SubFileIndex(index));
    auto rec = std::make_unique<TSpectrumRecord>();
    const int32_t fileType = get<spcFileType>(g, &IGTarnvik::get_FileType);
    const std::string comment = getText(g, &IGTarnvik::get_Comment);
    const int32_t subfiles = get<int32_t>(g, &IGTarnvik::get_NumSubfiles);
    const std::string technique = getText(g, &IGTarnvik::get_TechniqueLabel);
    com::Variant date;
    CheckSpc(g->get_Date(&date));
    const int32_t numPoints = get<int32_t>(g, &IGTarnvik::get_NumPoints);
    com::Variant yPoints, xPoints;
    CheckSpc(g->get_YPoints(&yPoints));
    if (fileType != 0) CheckSpc(g->get_XPoints(&xPoints));
    double first = get<double>(g, &IGTarnvik::get_FirstPoint);
    double last = get<double>(g, &IGTarnvik::get_LastPoint);
    const int32_t xType = get<spcXType>(g, &IGTarnvik::get_XType);
    std::string xLabel;
    if (xType == 0) xLabel = getText(g, &IGTarnvik::get_XLabel);
    const int32_t yType = get<spcYType>(g, &IGTarnvik::get_YType);
    const int32_t techType = get<spcTechType>(g, &IGTarnvik::get_TechniqueType);

    // Title, texts and fixed fields.
    std::string title = (!comment.empty() && !ContainsText(UpperAscii(comment), "EMISSION ACQUISITION"))
                            ? cp1252::cut(comment, 255)
                            : NameWithoutFolder(path);
    if (subfiles > 1) title += ", subfile " + std::to_string(index + 1);
    if (fileType == 0) title = ControlCharsToBlanks(title);
    rec->FileName = path;
    rec->Title = title;
    rec->Comment1 = technique;
    rec->SpecType = "korva_spc";
    rec->DateText = date.vt == VT_DATE ? DateTimeToText(date.date) : std::string();
    rec->PathLength = 1.0;
    rec->SourceKind = SpecSourceSpcLibrary;
    rec->LineWidth = 1;

    // X unit; micrometres stay micrometres, electron volts are stored as wavenumbers.
    double xScale = 1.0;
    bool descending = false;
    rec->XUnit = SpecXNanometer;
    if (xType == 13) {
        rec->XUnit = SpecXRamanShift;
        rec->Comment2 = "Raman Shift [1/cm]";
        descending = true;
    } else if (xType == 1 || (xType == 0 && isWavenumberLabel(xLabel))) {
        rec->XUnit = SpecXWavenumber;
        descending = true;
    } else if (xType == 14) {
        rec->XUnit = SpecXWavenumber;
        xScale = kEvToWavenumber;
        descending = true;
    } else if (xType == 2) {
        rec->XUnit = SpecXMicrometer;
    }

    // The point count never exceeds the arrays the library returned.
    std::size_t n = std::min<std::size_t>(numPoints > 0 ? std::size_t(numPoints) : 0, pointsIn(yPoints));
    if (fileType != 0) n = std::min(n, pointsIn(xPoints));
    if (n < 2) return;
    const double steps = double(n - 1);
    std::vector<double> values;
    if (fileType == 0) {
        // The values are taken in the grid's direction as they are converted.
        first *= xScale;
        last *= xScale;
        const bool reversed = descending ? last > first : last < first;
        if (reversed) {
            rec->FirstX = last;
            rec->StepX = (first - last) / steps;
        } else {
            rec->FirstX = first;
            rec->StepX = (last - first) / steps;
        }
        values = doublesOf(yPoints, n, reversed);
    } else {
        std::vector<double> xs = doublesOf(xPoints, n, false), ys = doublesOf(yPoints, n, false);
        for (double& x : xs) x *= xScale;
        ToRisingPairs(xs, ys);
        rec->FirstX = xs.front();
        rec->StepX = (xs.back() - xs.front()) / steps;
        if (!(rec->StepX > 0) || !std::isfinite(rec->StepX)) return;
        ResampleOntoGrid(xs, ys, rec->FirstX, rec->StepX, static_cast<int32_t>(n), values);
        if (descending && xs.front() < xs.back()) {
            rec->FirstX = xs.back();
            rec->StepX = (xs.front() - xs.back()) / steps;
            std::reverse(values.begin(), values.end());
        }
    }

    // Y kind. The largest value and whether all are finite in one pass; the conversions below keep
    // finite values finite.
    double m = 0;
    bool finite = true;
    for (double v : values) {
        m = v > m ? v : m;
        finite &= std::isfinite(v);
    }
    if (!finite) return;
    rec->YKind = SpecYIntensity;
    if (yType == 2) {
        rec->YKind = SpecYAbsorbance;
    } else if (yType == 23) {
        rec->YKind = SpecYEpsilon;
        const double product = m == 0 ? 0.0 : -std::log10(0.05) / m;
        rec->Concentration = product / rec->PathLength;
        for (double& v : values) v = (v == 0 ? 1000.0 : v) * product;
    } else if (yType == 128 || yType == 129) {
        rec->YKind = yType == 128 ? SpecYTransmittance : SpecYReflectance;
        fractionToAbsorbance(values);
    }
    if (techType == 11 || techType == 12) rec->YKind = SpecYIntensity;
    rec->Values = std::move(values);
    if (std::isfinite(rec->FirstX) && std::isfinite(rec->StepX) && rec->StepX != 0.0)
        list.AddWithDefaultColor(std::move(rec));
}

}  // namespace

void LoadSpecSpc(const std::string& path, TSpectraList& list, std::uint64_t maxBytes,
                 const std::string& programFolder) {
    ProbeTarnvikServer(SpcBindCaller::Reader, programFolder);

    uint8_t head[124];
    {
        const InputFile in = InputFile::OpenOrThrow(path, vx::FileNaming::Bare);
        if (in.ReadAt(0, head, sizeof head) != static_cast<long long>(sizeof head)) vx::throwStreamRead();
    }
    const double a = getF32LE(head + 10), b = getF32LE(head + 14);
    if (a > 100 && a < 5000 && b > 100 && b < 5000) {
        const MappedText file = MappedText::OpenBinaryFile(path, maxBytes, "SPC");
        loadOwnParse(path, file.Bytes(), list);
        return;
    }

    TarnvikPtr g = CreateTarnvik();
    com::Bstr name(path);
    CheckSpc(g->OpenFile(name.get()));
    (void)get<spcFileType>(g.get(), &IGTarnvik::get_FileType);
    const int32_t subfiles = get<int32_t>(g.get(), &IGTarnvik::get_NumSubfiles);
    for (int32_t i = 0; i < subfiles; ++i) loadSubfile(g.get(), path, i, list);
}
