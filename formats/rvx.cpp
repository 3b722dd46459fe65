#include "formats/rvx.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <bit>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/file_writer.h"
#include "platform/byte_order.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/numtext.h"

namespace {

enum class Layout { Current, V48, V32, Oldest };

constexpr std::size_t kV48RecordSize = 856;

std::size_t recordSizeOf(Layout l) {
    switch (l) {
    case Layout::Current: return kRecordImageSize;
    case Layout::V48: return kV48RecordSize;
    case Layout::V32: return 1516;
    case Layout::Oldest: return 1463;
    }
    return kRecordImageSize;
}

// Reads within the file's bytes; running past the end is the stream read error.
class MemorySource {
public:
    explicit MemorySource(std::string_view bytes)
        : data_(reinterpret_cast<const uint8_t*>(bytes.data())), size_(bytes.size()) {}
    std::size_t remaining() const { return size_ - pos_; }
    const uint8_t* take(std::size_t n) {
        if (n > remaining()) vx::throwStreamRead();
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    void read(void* dst, std::size_t n) { std::memcpy(dst, take(n), n); }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The same on an open file: values go straight from the file into their records.
class FileSource {
public:
    explicit FileSource(const std::string& path) {
        InputFile file = InputFile::OpenOrThrow(path);
        remaining_ = static_cast<std::size_t>(file.Size());
        f_ = ::fdopen(file.Fd(), "rb");
        if (!f_) vx::throwCannotOpen(path, errno);
        file.Release();  // the stream owns it now
    }
    ~FileSource() { std::fclose(f_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    std::size_t remaining() const { return remaining_; }
    const uint8_t* take(std::size_t n) {
        if (n > remaining_) vx::throwStreamRead();
        buffer_.resize(n);
        read(buffer_.data(), n);
        return buffer_.data();
    }
    void read(void* dst, std::size_t n) {
        if (n > remaining_ || std::fread(dst, 1, n, f_) != n) vx::throwStreamRead();
        remaining_ -= n;
    }

private:
    std::FILE* f_ = nullptr;
    std::size_t remaining_ = 0;
    std::vector<uint8_t> buffer_;
};

// A length-prefixed string of a record image; the length is clamped to the field and the record.
std::string imageText(const uint8_t* rec, std::size_t recSize, std::size_t offset, std::size_t capacity) {
    std::size_t n = rec[offset];
    if (n > capacity) n = capacity;
    if (offset + 1 + n > recSize) n = recSize - offset - 1;
    return cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(rec + offset + 1), n));
}

void putImageText(uint8_t* image, std::size_t offset, std::size_t capacity, const std::string& utf8) {
    std::string bytes = cp1252::fromUtf8(utf8);
    if (bytes.size() > capacity) bytes.resize(capacity);
    image[offset] = static_cast<uint8_t>(bytes.size());
    std::memcpy(image + offset + 1, bytes.data(), bytes.size());
}

// The current record image, and what the 48.0 layout keeps at the same offsets. The 48.0 record holds
// the fields up to the source kind where the current one does, and has neither a solvent nor units.
namespace at {
constexpr std::size_t FileName = 0, Title = 256, Comment1 = 512, Comment2 = 563, SpecType = 614, Solvent = 665,
                      DateText = 716;
constexpr std::size_t Concentration = 768, PathLength = 776, ConcTimesPath = 784, ExcitationWl = 792,
                      Temperature = 800, ExposureTime = 808, FirstX = 816, StepX = 824, PointCount = 832,
                      SourceKind = 836;
constexpr std::size_t XUnit = 840, YKind = 844, Color = 848, LineStyle = 852, LineWidth = 856;
constexpr std::size_t V48Color = 840, V48LineStyle = 844, V48LineWidth = 848;
}  // namespace at

void readSharedFields(const uint8_t* p, std::size_t size, TSpectrumRecord& r) {
    r.FileName = imageText(p, size, at::FileName, 255);
    r.Title = imageText(p, size, at::Title, 255);
    r.Comment1 = imageText(p, size, at::Comment1, 50);
    r.Comment2 = imageText(p, size, at::Comment2, 50);
    r.SpecType = imageText(p, size, at::SpecType, 50);
    r.DateText = imageText(p, size, at::DateText, 50);
    r.Concentration = byteorder::getF64LE(p + at::Concentration);
    r.PathLength = byteorder::getF64LE(p + at::PathLength);
    r.ConcTimesPath = byteorder::getF64LE(p + at::ConcTimesPath);
    r.ExcitationWl = byteorder::getF64LE(p + at::ExcitationWl);
    r.Temperature = byteorder::getF64LE(p + at::Temperature);
    r.ExposureTime = byteorder::getF64LE(p + at::ExposureTime);
    r.FirstX = byteorder::getF64LE(p + at::FirstX);
    r.StepX = byteorder::getF64LE(p + at::StepX);
    r.SourceKind = byteorder::getI32LE(p + at::SourceKind);
}

void fillFromV48(const uint8_t* p, TSpectrumRecord& r) {
    readSharedFields(p, kV48RecordSize, r);
    r.Color = byteorder::getU32LE(p + at::V48Color);
    r.LineStyle = p[at::V48LineStyle];
    r.LineWidth = byteorder::getI32LE(p + at::V48LineWidth);
}

void fillFromV32(const uint8_t* p, const std::string& dateText, TSpectrumRecord& r) {
    constexpr std::size_t size = 1516;
    r.FileName = imageText(p, size, 784, 255);
    r.Title = imageText(p, size, 0, 255);
    r.Comment1 = imageText(p, size, 256, 255);
    r.Comment2 = imageText(p, size, 512, 255);
    r.SpecType = imageText(p, size, 1188, 255);
    r.DateText = dateText;
    r.Concentration = byteorder::getF64LE(p + 768);
    r.PathLength = byteorder::getF64LE(p + 776);
    r.ConcTimesPath = byteorder::getF64LE(p + 1508);
    r.FirstX = byteorder::getF64LE(p + 1064);
    r.StepX = byteorder::getF64LE(p + 1072);
    r.SourceKind = byteorder::getI32LE(p + 1084);
    r.Color = byteorder::getU32LE(p + 1500);
    r.LineStyle = p[1504];
    r.LineWidth = 1;
}

void fillFromOldest(const uint8_t* p, const std::string& dateText, TSpectrumRecord& r) {
    constexpr std::size_t size = 1463;
    r.FileName = imageText(p, size, 780, 255);
    r.Title = imageText(p, size, 0, 255);
    r.Comment1 = imageText(p, size, 256, 255);
    r.Comment2 = imageText(p, size, 512, 255);
    r.SpecType = imageText(p, size, 1158, 255);
    r.DateText = dateText;
    r.Concentration = Real48ToDouble(p + 768);
    r.PathLength = Real48ToDouble(p + 774);
    r.ConcTimesPath = Real48ToDouble(p + 1457);
    r.FirstX = Real48ToDouble(p + 1070);
    r.StepX = Real48ToDouble(p + 1076);
    r.SourceKind = byteorder::getI16LE(p + 1084);
    r.LineStyle = p[1456];
    r.LineWidth = 1;
}

int32_t pointCountOf(const uint8_t* p, Layout l) {
    switch (l) {
    case Layout::Current:
    case Layout::V48: return byteorder::getI32LE(p + at::PointCount);
    case Layout::V32: return byteorder::getI32LE(p + 1460);
    case Layout::Oldest: return byteorder::getI16LE(p + 1426);
    }
    return 0;
}

template <class Source>
void readValues(Source& in, Layout l, int32_t count, std::vector<double>& out) {
    const std::size_t width = l == Layout::Oldest ? 6 : 8;
    const auto n = static_cast<std::size_t>(count);
    if (n > in.remaining() / width) vx::throwStreamRead();
    out.clear();
    if (n == 0) return;
    if (width == 6) {
        const uint8_t* p = in.take(n * width);
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = Real48ToDouble(p + 6 * i);
        return;
    }
    // Through a small buffer that stays in the cache into the reserved values: no pass that fills the
    // values with zeros before they are read over.
    out.reserve(n);
    constexpr std::size_t kPiece = 65536;
    static thread_local std::vector<double> piece(kPiece);
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(kPiece, n - done);
        in.read(piece.data(), k * 8);
        if constexpr (std::endian::native != std::endian::little) {
            for (std::size_t i = 0; i < k; ++i) piece[i] = byteorder::getF64LE(reinterpret_cast<uint8_t*>(&piece[i]));
        }
        out.insert(out.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(k));
        done += k;
    }
}

// Codes and grids that no spectrum can have; a grid that cannot be drawn ends the load.
void checkRecord(TSpectrumRecord& r) {
    if (r.LineStyle > 2) r.LineStyle = 0;
    if (r.LineWidth <= 0) r.LineWidth = 1;
    if (!std::isfinite(r.FirstX) || !std::isfinite(r.StepX) || (r.StepX == 0.0 && r.PointCount() >= 2))
        vx::throwStreamRead();
}

bool isIntensityKind(int32_t kind) {
    switch (kind) {
    case 2: case 10: case 11: case 13: case 14: case 22: case 24: case 26: return true;
    default: return false;
    }
}

// The rules by which older files gain what the current record holds as fields of its own.
void completeOldRecord(TSpectrumRecord& r, Layout l) {
    if (l == Layout::V32 || l == Layout::Oldest) {
        // Stored as transmittance.
        if (r.SourceKind != SpecSourceRaw)
            for (double& v : r.Values) v = v > 0.0 ? -std::log10(v) : 1.0;
        if (r.YKind == SpecYAbsorbance &&
            (ContainsText("ccdex ccdey ccdeg ccdfx ccdfy ccdfg polccdf polccde ccd_flasche ex ey fx fy ascii_fak",
                          r.SpecType) ||
             isIntensityKind(r.SourceKind)))
            r.YKind = SpecYIntensity;
    }
    if (l == Layout::V32) {
        if (IsIntegerText(r.Comment1)) r.Temperature = numtext::StrToInt(r.Comment1.str());
        if (IsIntegerText(r.Comment2)) r.ExcitationWl = numtext::StrToInt(r.Comment2.str());
    }
    if ((l == Layout::V32 || l == Layout::Oldest) && !(IsIntegerText(r.Comment2)) &&
        (r.SourceKind == 10 || r.SourceKind == 16 || r.SourceKind == 17)) {
        // A CCD spectrum of the old measuring set-up.
        if (l == Layout::V32) {
            if (IsIntegerText(r.Comment1)) {
                r.Comment2 = r.Comment1.str();
                r.ExcitationWl = numtext::StrToInt(r.Comment1.str());
            } else {
                r.Comment2 = "400";
            }
        } else {
            r.Comment2 = r.Comment1.str();
        }
        r.Comment1 = "295";
        r.Temperature = 295.0;
        r.SpecType = "ccd_flasche";
    }
    if ((l == Layout::V48 || l == Layout::V32) && r.SpecType == "cary50_csv" && r.ExcitationWl == -1.0) {
        // The temperature of these files was written into the legend name ("... 77K", "... RT").
        std::string t = Trim(r.Title);
        r.Title = t;
        const std::size_t n = t.size();
        if (n >= 2 && UpperAscii(t.substr(n - 2)) == "RT") {
            r.Temperature = 295.0;
        } else if (n >= 1 && (t[n - 1] == 'K' || t[n - 1] == 'k')) {
            for (std::size_t len = 2; len <= 4; ++len) {
                if (n < len + 1) break;
                std::string digits = t.substr(n - 1 - len, len);
                if (IsIntegerText(digits)) r.Temperature = numtext::StrToInt(digits);
            }
        }
    }
}

}  // namespace

double Real48ToDouble(const uint8_t* p) {
    if (p[0] == 0) return 0.0;
    const uint64_t fraction = (static_cast<uint64_t>(p[5] & 0x7F) << 32) | byteorder::getU32LE(p + 1);
    const double mantissa = 1.0 + std::ldexp(static_cast<double>(fraction), -39);
    const double v = std::ldexp(mantissa, static_cast<int>(p[0]) - 129);
    return (p[5] & 0x80) ? -v : v;
}

void DoubleToReal48(double v, uint8_t* p) {
    std::memset(p, 0, 6);
    if (v == 0.0 || !std::isfinite(v)) return;
    int k = 0;
    const double m = std::frexp(std::fabs(v), &k);  // |v| = m * 2^k, 0.5 <= m < 1
    int e = k + 128;
    uint64_t fraction = static_cast<uint64_t>(std::nearbyint(std::ldexp(2.0 * m - 1.0, 39)));
    if (fraction >> 39) {
        fraction = 0;
        ++e;
    }
    if (e <= 0) return;
    if (e > 255) {
        e = 255;
        fraction = (uint64_t{1} << 39) - 1;
    }
    p[0] = static_cast<uint8_t>(e);
    byteorder::putU32LE(p + 1, static_cast<uint32_t>(fraction));
    p[5] = static_cast<uint8_t>(((fraction >> 32) & 0x7F) | (v < 0 ? 0x80 : 0));
}

namespace {

template <class Source>
void loadRvx(Source& in, double fileDate, TSpectraList& list) {
    const double version = Real48ToDouble(in.take(6));
    const Layout layout = version == 64.0   ? Layout::Current
                          : version == 48.0 ? Layout::V48
                          : version == 32.0 ? Layout::V32
                                            : Layout::Oldest;
    const int32_t count = layout == Layout::Oldest ? byteorder::getI16LE(in.take(2))
                                                   : byteorder::getI32LE(in.take(4));
    const std::size_t recordSize = recordSizeOf(layout);
    const int32_t before = list.Count();
    const std::string dateText =
        (layout == Layout::V32 || layout == Layout::Oldest) ? DateTimeToText(fileDate) : std::string();
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* image = in.take(recordSize);
        auto r = std::make_unique<TSpectrumRecord>();
        switch (layout) {
        case Layout::Current: RecordFromImage(image, *r); break;
        case Layout::V48: fillFromV48(image, *r); break;
        case Layout::V32: fillFromV32(image, dateText, *r); break;
        case Layout::Oldest: fillFromOldest(image, dateText, *r); break;
        }
        if (layout != Layout::Current) {
            r->XUnit = SpecXNanometer;
            r->YKind = SpecYAbsorbance;
        }
        const int32_t points = pointCountOf(image, layout);
        if (points < 0) vx::throwStreamRead();
        readValues(in, layout, points, r->Values);
        checkRecord(*r);
        if (layout != Layout::Current) completeOldRecord(*r, layout);
        if (r->PointCount() < 2) continue;
        const uint32_t stored = r->Color;
        TSpectrumRecord& added = list[list.Add(std::move(r))];
        if (layout == Layout::Oldest || (before > 0 && stored == CurveColor(i + 1)))
            added.Color = CurveColor(list.Count());
    }
}

}  // namespace

RecordImage RecordToImage(const TSpectrumRecord& r) {
    RecordImage img{};
    uint8_t* p = img.data();
    putImageText(p, at::FileName, 255, r.FileName);
    putImageText(p, at::Title, 255, r.Title);
    putImageText(p, at::Comment1, 50, r.Comment1);
    putImageText(p, at::Comment2, 50, r.Comment2);
    putImageText(p, at::SpecType, 50, r.SpecType);
    putImageText(p, at::Solvent, 50, r.Solvent);
    putImageText(p, at::DateText, 50, r.DateText);
    byteorder::putF64LE(p + at::Concentration, r.Concentration);
    byteorder::putF64LE(p + at::PathLength, r.PathLength);
    byteorder::putF64LE(p + at::ConcTimesPath, r.Concentration * r.PathLength);
    byteorder::putF64LE(p + at::ExcitationWl, r.ExcitationWl);
    byteorder::putF64LE(p + at::Temperature, r.Temperature);
    byteorder::putF64LE(p + at::ExposureTime, r.ExposureTime);
    byteorder::putF64LE(p + at::FirstX, r.FirstX);
    byteorder::putF64LE(p + at::StepX, r.StepX);
    byteorder::putI32LE(p + at::PointCount, r.PointCount());
    byteorder::putI32LE(p + at::SourceKind, r.SourceKind);
    byteorder::putI32LE(p + at::XUnit, CodeOf(r.XUnit));
    byteorder::putI32LE(p + at::YKind, CodeOf(r.YKind));
    byteorder::putU32LE(p + at::Color, r.Color);
    p[at::LineStyle] = r.LineStyle;
    byteorder::putI32LE(p + at::LineWidth, r.LineWidth);
    return img;
}

void RecordFromImage(const uint8_t* p, TSpectrumRecord& r) {
    readSharedFields(p, kRecordImageSize, r);
    r.Solvent = imageText(p, kRecordImageSize, at::Solvent, 50);
    // A code that no unit has reads as nm and absorbance.
    r.XUnit = XUnitOfCode(byteorder::getI32LE(p + at::XUnit)).value_or(SpecXNanometer);
    r.YKind = YKindOfCode(byteorder::getI32LE(p + at::YKind)).value_or(SpecYAbsorbance);
    r.Color = byteorder::getU32LE(p + at::Color);
    r.LineStyle = p[at::LineStyle];
    r.LineWidth = byteorder::getI32LE(p + at::LineWidth);
}

void LoadRvxBytes(std::string_view bytes, double fileDate, TSpectraList& list) {
    MemorySource in(bytes);
    loadRvx(in, fileDate, list);
}

void LoadRvxFile(const std::string& fileName, TSpectraList& list) {
    FileSource in(fileName);
    loadRvx(in, FileDateTimeOf(fileName), list);
}

namespace {

void putHeader(uint8_t* p, int32_t count) {
    DoubleToReal48(RvxFileVersion, p);
    byteorder::putI32LE(p + 6, count);
}

}  // namespace

std::string RvxFileImage(const TSpectraList& list) {
    std::size_t total = 10;
    for (const auto& r : list) total += kRecordImageSize + 8 * r->Values.size();
    std::string out;
    out.resize(total);
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    putHeader(p, list.Count());
    p += 10;
    for (const auto& r : list) {
        const RecordImage image = RecordToImage(*r);
        std::memcpy(p, image.data(), image.size());
        p += image.size();
        for (double v : r->Values) {
            byteorder::putF64LE(p, v);
            p += 8;
        }
    }
    return out;
}

void SaveRvxFile(const std::string& fileName, const TSpectraList& list) {
    if constexpr (std::endian::native != std::endian::little) {
        WriteFileAtomically(fileName, RvxFileImage(list));
    } else {
        // The values are written from the records themselves; only the record images are built.
        uint8_t header[10];
        putHeader(header, list.Count());
        std::vector<RecordImage> images;
        images.reserve(static_cast<std::size_t>(list.Count()));
        std::vector<std::string_view> pieces{std::string_view(reinterpret_cast<const char*>(header), 10)};
        for (const auto& r : list) {
            images.push_back(RecordToImage(*r));
            pieces.emplace_back(reinterpret_cast<const char*>(images.back().data()), kRecordImageSize);
            pieces.emplace_back(reinterpret_cast<const char*>(r->Values.data()), 8 * r->Values.size());
        }
        WriteFileAtomically(fileName, pieces);
    }
}
