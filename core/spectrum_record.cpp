#include "core/spectrum_record.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/errors.h"

double& TSpectrumRecord::ValueAt(int32_t i) {
    if (i < 0 || i >= PointCount()) throw vx::ListIndexError(i);
    return Values[static_cast<std::size_t>(i)];
}

double TSpectrumRecord::ValueAt(int32_t i) const {
    if (i < 0 || i >= PointCount()) throw vx::ListIndexError(i);
    return Values[static_cast<std::size_t>(i)];
}

uint64_t RecordIdentity::Next() {
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

bool TSpectrumRecord::HasUsableGrid() const {
    return PointCount() >= 2 && std::isfinite(FirstX) && std::isfinite(StepX) && StepX != 0.0;
}

bool TSpectrumRecord::IsComplete() const {
    if (!HasUsableGrid()) return false;
    // v - v is 0 for every finite v and NaN for infinities and NaN, and a NaN stays in a sum: four
    // independent sums test a large spectrum at about one value per cycle, without a branch per value.
    const double* v = Values.data();
    const std::size_t n = Values.size();
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += v[i] - v[i];
        s1 += v[i + 1] - v[i + 1];
        s2 += v[i + 2] - v[i + 2];
        s3 += v[i + 3] - v[i + 3];
    }
    for (; i < n; ++i) s0 += v[i] - v[i];
    return !std::isnan(s0 + s1 + s2 + s3);
}

namespace {

void putText(uint8_t* image, std::size_t offset, std::size_t capacity, const std::string& utf8) {
    std::string bytes = cp1252::fromUtf8(utf8);
    if (bytes.size() > capacity) bytes.resize(capacity);
    image[offset] = static_cast<uint8_t>(bytes.size());
    std::memcpy(image + offset + 1, bytes.data(), bytes.size());
}

std::string getText(const uint8_t* image, std::size_t offset, std::size_t capacity) {
    std::size_t n = image[offset];
    if (n > capacity) n = capacity;
    return cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(image + offset + 1), n));
}

}  // namespace

RecordImage RecordToImage(const TSpectrumRecord& r) {
    RecordImage img{};
    uint8_t* p = img.data();
    putText(p, 0, 255, r.FileName);
    putText(p, 256, 255, r.Title);
    putText(p, 512, 50, r.Comment1);
    putText(p, 563, 50, r.Comment2);
    putText(p, 614, 50, r.SpecType);
    putText(p, 665, 50, r.Solvent);
    putText(p, 716, 50, r.DateText);
    byteorder::putF64LE(p + 768, r.Concentration);
    byteorder::putF64LE(p + 776, r.PathLength);
    byteorder::putF64LE(p + 784, r.Concentration * r.PathLength);
    byteorder::putF64LE(p + 792, r.ExcitationWl);
    byteorder::putF64LE(p + 800, r.Temperature);
    byteorder::putF64LE(p + 808, r.ExposureTime);
    byteorder::putF64LE(p + 816, r.FirstX);
    byteorder::putF64LE(p + 824, r.StepX);
    byteorder::putI32LE(p + 832, r.PointCount());
    byteorder::putI32LE(p + 836, r.SourceKind);
    byteorder::putI32LE(p + 840, CodeOf(r.XUnit));
    byteorder::putI32LE(p + 844, CodeOf(r.YKind));
    byteorder::putU32LE(p + 848, r.Color);
    p[852] = r.LineStyle;
    byteorder::putI32LE(p + 856, r.LineWidth);
    return img;
}

void RecordFromImage(const uint8_t* p, TSpectrumRecord& r) {
    r.FileName = getText(p, 0, 255);
    r.Title = getText(p, 256, 255);
    r.Comment1 = getText(p, 512, 50);
    r.Comment2 = getText(p, 563, 50);
    r.SpecType = getText(p, 614, 50);
    r.Solvent = getText(p, 665, 50);
    r.DateText = getText(p, 716, 50);
    r.Concentration = byteorder::getF64LE(p + 768);
    r.PathLength = byteorder::getF64LE(p + 776);
    r.ConcTimesPath = r.Concentration * r.PathLength;
    r.ExcitationWl = byteorder::getF64LE(p + 792);
    r.Temperature = byteorder::getF64LE(p + 800);
    r.ExposureTime = byteorder::getF64LE(p + 808);
    r.FirstX = byteorder::getF64LE(p + 816);
    r.StepX = byteorder::getF64LE(p + 824);
    r.SourceKind = byteorder::getI32LE(p + 836);
    // A code that no unit has reads as nm and absorbance.
    r.XUnit = XUnitOfCode(byteorder::getI32LE(p + 840)).value_or(SpecXNanometer);
    r.YKind = YKindOfCode(byteorder::getI32LE(p + 844)).value_or(SpecYAbsorbance);
    r.Color = byteorder::getU32LE(p + 848);
    r.LineStyle = p[852];
    r.LineWidth = byteorder::getI32LE(p + 856);
}
