#include "formats/spe_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/binary_values.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "platform/byte_order.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

using namespace byteorder;

namespace {

constexpr std::size_t kHeaderSize = 4100;
constexpr uint32_t kFileId = 0x01234567;
constexpr int32_t kSpeSourceKind = 33;
constexpr int kMaxOrder = 5;

enum DataType : int16_t { kFloat32 = 0, kInt32 = 1, kInt16 = 2, kUInt16 = 3 };

std::size_t valueSize(int16_t type) { return type == kInt16 || type == kUInt16 ? 2 : 4; }

struct Header {
    double exposure = 0;
    uint16_t pixels = 0;   // N, values per stripe
    int16_t dataType = 0;
    uint16_t stripes = 0;
    uint16_t frames = 0;
    uint16_t startx = 1;
    uint16_t groupx = 1;
    std::string label;     // upper-cased
    int order = 1;
    long double c[6] = {0, 1, 0, 0, 0, 0};
    double laser = 0;
};

Header readHeader(const uint8_t* d) {
    Header h;
    const float exposure = getF32LE(d + 10);
    h.exposure = std::isfinite(exposure) ? exposure : -1.0;
    h.pixels = getU16LE(d + 42);
    h.dataType = getI16LE(d + 108);
    h.stripes = getU16LE(d + 656);
    h.frames = getU16LE(d + 1446);
    h.startx = getU16LE(d + 1512);
    h.groupx = getU16LE(d + 1516);
    std::size_t len = 0;
    while (len < 40 && d[3018 + len] != 0) ++len;
    h.label = Trim(cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(d + 3018), len)));
    h.order = std::min<int>(d[3101], kMaxOrder);
    for (int k = 0; k <= h.order; ++k) h.c[k] = getF64LE(d + 3263 + 8 * static_cast<std::size_t>(k));
    const double laser = getF64LE(d + 3311);
    h.laser = std::isfinite(laser) ? laser : 0.0;
    if (h.label.empty()) {
        h.label = "wavelength";
        h.order = 1;
        h.startx = 1;
        h.groupx = 1;
    }
    if (h.startx == 0) h.startx = 1;
    if (h.groupx == 0) h.groupx = 1;
    h.label = UpperAscii(h.label);
    return h;
}

// The calibration polynomial at pixel i (from 1), with its binning and region start.
double pixelX(const Header& h, int i) {
    const long double p = static_cast<long double>(i) * h.groupx - (h.groupx - 1) / 2.0L + (h.startx - 1);
    long double x = 0, power = 1;
    for (int k = 0; k < 6; ++k) {
        x += h.c[k] * power;
        power *= p;
    }
    return static_cast<double>(x);
}

// One stripe's values as doubles, all kept (a value that is no number shows in the record's check).
void readStripe(std::vector<double>& out, const uint8_t* p, std::size_t n, int16_t type) {
    switch (type) {
    case kFloat32: binvalues::ConvertInto<4>(out, p, n, [](const uint8_t* q) { return double(getF32LE(q)); }); break;
    case kInt32: binvalues::ConvertInto<4>(out, p, n, [](const uint8_t* q) { return double(getI32LE(q)); }); break;
    case kInt16: binvalues::ConvertInto<2>(out, p, n, [](const uint8_t* q) { return double(getI16LE(q)); }); break;
    default: binvalues::ConvertInto<2>(out, p, n, [](const uint8_t* q) { return double(getU16LE(q)); }); break;
    }
}

// The x axis every stripe shares. Either a grid straight from the polynomial (wavelengths of a
// linear calibration), or ascending pairs that each stripe's values are resampled from.
struct Axis {
    SpecXUnit xUnit = SpecXNanometer;
    bool raman = false;
    bool direct = false;            // values on the grid as read
    bool reversePairs = false;      // the file's pixel order runs against the ascending pairs
    bool descending = false;        // wavenumbers: the resampled grid is turned to falling x
    double first = 0, step = 0;
    std::vector<double> xs;         // ascending pair x, when not direct
};

// False when the calibration gives an x that cannot be converted (at or below 0 where it is divided)
// or that is no finite number.
bool makeAxis(const Header& h, Axis& a) {
    const int n = h.pixels;
    const bool wavelength = h.label.find("WAVELENGTH") != std::string::npos;
    if (wavelength && h.order == 1) {
        a.direct = true;
        a.first = pixelX(h, 1);
        a.step = static_cast<double>(h.groupx * h.c[1]);
        // A falling calibration is stored rising, as every wavelength record.
        if (a.step < 0) {
            a.first += (n - 1) * a.step;
            a.step = -a.step;
            a.reversePairs = true;
        }
        return true;
    }
    const bool wavenumber = h.label.find("WAVENUMBER") != std::string::npos;
    const bool ramanLabel = h.label.find("RAMAN") != std::string::npos;
    // Without a laser line a Raman shift has no reference: such a file is shown on its wavelengths.
    a.raman = ramanLabel && h.laser > 1.0;
    a.xUnit = a.raman ? SpecXRamanShift : (wavenumber && !ramanLabel) ? SpecXWavenumber : SpecXNanometer;
    a.xs.resize(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        long double x = pixelX(h, i);
        if (a.xUnit != SpecXNanometer) {
            if (!(x > 0)) return false;
            x = a.raman ? 1e7L / h.laser - 1e7L / x : 1e7L / x;
        }
        const double xd = static_cast<double>(x);
        if (!std::isfinite(xd)) return false;
        a.xs[static_cast<std::size_t>(i - 1)] = xd;
    }
    if (a.xs.front() > a.xs.back()) {
        std::reverse(a.xs.begin(), a.xs.end());
        a.reversePairs = true;
    }
    a.first = a.xs.front();
    a.step = (a.xs.back() - a.xs.front()) / (n - 1);
    a.descending = a.xUnit == SpecXWavenumber && a.xs.front() < a.xs.back();
    return true;
}

}  // namespace

void ReadSpeBytes(std::string_view bytes, const std::string& fileName, const std::string& dateText,
                  TSpectraList& list) {
    if (bytes.size() < kHeaderSize) vx::throwStreamRead();
    const auto* d = reinterpret_cast<const uint8_t*>(bytes.data());
    if (getU32LE(d + 2996) != kFileId) {
        ui::messageBox(kSpeWrongFormat);
        return;
    }
    const Header h = readHeader(d);
    if (h.dataType < kFloat32 || h.dataType > kUInt16) {
        ui::messageBox(kSpeWrongFormat);
        return;
    }
    // Every frame and stripe must be in the file before a single record is made.
    const std::size_t size = valueSize(h.dataType);
    const std::size_t stripeBytes = std::size_t{h.pixels} * size;
    const uint64_t total = uint64_t{h.frames} * h.stripes * stripeBytes;
    if (total > bytes.size() - kHeaderSize) vx::throwStreamRead();
    if (h.pixels < 2 || total == 0) return;

    Axis a;
    if (!makeAxis(h, a) || !std::isfinite(a.first) || !std::isfinite(a.step) || a.step == 0) {
        ui::messageBox(kSpeWrongFormat);
        return;
    }

    const std::string name = NameWithoutFolder(fileName);
    const std::string comment1 =
        h.exposure > 0 ? "Exposure Time: " + numtext::FloatToStr(h.exposure) + " sec" : std::string();
    const std::size_t n = h.pixels;
    std::vector<double> ys;
    const uint8_t* p = d + kHeaderSize;
    for (int frame = 1; frame <= h.frames; ++frame) {
        for (int stripe = 1; stripe <= h.stripes; ++stripe, p += stripeBytes) {
            auto r = std::make_unique<TSpectrumRecord>();
            std::string title = name;
            if (h.frames > 1) title += " Frame " + std::to_string(frame);
            if (h.stripes > 1) title += "; Stripe " + std::to_string(stripe);
            r->FileName = fileName;
            r->Title = title;
            r->Comment1 = comment1;
            if (a.raman) r->Comment2 = "Raman Shift [1/cm]";
            r->SpecType = "winspec_spe";
            r->DateText = dateText;
            r->Concentration = 0;
            r->PathLength = 1.0;
            r->ExcitationWl = h.laser > 1.0 ? h.laser : -1.0;
            r->Temperature = -1.0;
            r->ExposureTime = h.exposure;
            r->SourceKind = kSpeSourceKind;
            r->XUnit = a.xUnit;
            r->YKind = SpecYIntensity;
            r->LineWidth = 1;
            r->LineStyle = 0;
            r->FirstX = a.first;
            r->StepX = a.step;
            if (a.direct) {
                readStripe(r->Values, p, n, h.dataType);
                if (a.reversePairs) std::reverse(r->Values.begin(), r->Values.end());
            } else {
                readStripe(ys, p, n, h.dataType);
                if (a.reversePairs) std::reverse(ys.begin(), ys.end());
                ResampleOntoGrid(a.xs, ys, a.first, a.step, static_cast<int32_t>(n), r->Values);
                if (a.descending) {
                    r->FirstX = a.xs.back();
                    r->StepX = -a.step;
                    std::reverse(r->Values.begin(), r->Values.end());
                }
            }
            // A stripe holding values that are no numbers cannot be drawn; the others still can.
            if (r->IsComplete()) list.AddWithDefaultColor(std::move(r));
        }
    }
}

void LoadSpecWinSpecSpe(const std::string& fileName, TSpectraList& list, std::uint64_t maxBytes) {
    const MappedText file = MappedText::OpenBinaryFile(fileName, maxBytes, "SPE");
    ReadSpeBytes(file.Bytes(), fileName, DateTimeToText(FileDateTimeOf(fileName)), list);
}
