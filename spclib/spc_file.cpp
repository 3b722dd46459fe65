#include "spclib/spc_file.h"

#include <fcntl.h>
#include <nettle/sha1.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/com.h"
#include "platform/input_file.h"
#include "platform/safe_file.h"
#include "spclib/scratch_store.h"

using namespace byteorder;

namespace spc {

namespace {

constexpr uint32_t kZipMagic = 0x04034B50;

std::array<double, 256> makeExponentTable() {
    std::array<double, 256> t{};
    for (int e = -128; e <= 127; ++e) t[static_cast<uint8_t>(e)] = std::ldexp(1.0, e);
    // The smallest exponents keep the rounded decimal values the format has always used.
    t[static_cast<uint8_t>(-128)] = 2.9e-39;
    t[static_cast<uint8_t>(-127)] = 5.9e-39;
    t[static_cast<uint8_t>(-126)] = 1.18e-38;
    t[static_cast<uint8_t>(-125)] = 2.35e-38;
    t[static_cast<uint8_t>(-124)] = 4.7e-38;
    t[static_cast<uint8_t>(-81)] = 4.135903062765138e-25;
    return t;
}
const std::array<double, 256> kExponents = makeExponentTable();

void swap32At(uint8_t* p) { std::reverse(p, p + 4); }
void swap64At(uint8_t* p) { std::reverse(p, p + 8); }

// Where an image's bytes come from: memory (a blob, the clipboard, a test) or an open file, read
// piece by piece with pread so that no file needs to be mapped or held in memory whole.
class ImageSource {
public:
    explicit ImageSource(uint64_t size) : size_(size) {}
    virtual ~ImageSource() = default;
    uint64_t size() const { return size_; }
    bool fits(uint64_t off, uint64_t len) const { return off <= size_ && len <= size_ - off; }
    // `len` bytes at `off`, valid until the next call; null when they do not lie inside the image or
    // cannot be had (failed() and outOfMemory() tell which).
    virtual const uint8_t* at(uint64_t off, uint64_t len) = 0;
    // A read error: the open fails with the system's error.
    bool failed() const { return failed_; }
    // No memory for a piece.
    bool outOfMemory() const { return outOfMemory_; }
    // Whether a document may keep reading values from this source after the open (an open file).
    virtual bool keepsValues() const { return false; }

protected:
    bool failed_ = false;
    bool outOfMemory_ = false;

private:
    uint64_t size_;
};

class MemoryImage final : public ImageSource {
public:
    MemoryImage(const uint8_t* data, uint64_t size) : ImageSource(size), data_(data) {}
    const uint8_t* at(uint64_t off, uint64_t len) override { return fits(off, len) ? data_ + off : nullptr; }

private:
    const uint8_t* data_;
};

class FileImage final : public ImageSource {
public:
    FileImage(int fd, uint64_t size) : ImageSource(size), fd_(fd) {}
    const uint8_t* at(uint64_t off, uint64_t len) override {
        if (!fits(off, len)) return nullptr;
        if (len == 0) return buf_.data();
        try {
            if (buf_.size() < len) buf_.resize(static_cast<std::size_t>(len));
        } catch (const std::bad_alloc&) {
            outOfMemory_ = true;
            return nullptr;
        }
        if (!ReadExactly(fd_, off, buf_.data(), static_cast<std::size_t>(len))) {
            failed_ = true;
            return nullptr;
        }
        return buf_.data();
    }
    bool keepsValues() const override { return true; }

private:
    int fd_;
    std::vector<uint8_t> buf_{std::vector<uint8_t>(kHeaderSize)};
};

// Numbers in the image's byte order.
struct Order {
    bool big;
    uint32_t u32(const uint8_t* p) const { return big ? getU32BE(p) : getU32LE(p); }
    float f32(const uint8_t* p) const { return big ? getF32BE(p) : getF32LE(p); }
};

// Decodes n Y values at p into out.
void decodeY(const uint8_t* p, uint32_t n, bool sixteen, uint8_t exponent, char form, float* out) {
    double factor = kExponents[exponent];
    if (sixteen) {
        bool raw = exponent == 0x80;
        for (uint32_t i = 0; i < n; ++i) {
            int16_t v = form == 'L' ? getI16BE(p + 2 * i) : getI16LE(p + 2 * i);
            out[i] = raw ? float(v) : static_cast<float>(v * factor / 65536.0);
        }
        return;
    }
    if (exponent == 0x80) {
        if (form == 'L') {
            for (uint32_t i = 0; i < n; ++i) out[i] = getF32BE(p + 4 * i);
        } else if constexpr (std::endian::native == std::endian::little) {
            if (n > 0) std::memcpy(out, p, std::size_t(n) * 4);
        } else {
            for (uint32_t i = 0; i < n; ++i) out[i] = getF32LE(p + 4 * i);
        }
        return;
    }
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t w = form == 'L' ? getU32BE(p + 4 * i) : getU32LE(p + 4 * i);
        if (form != 'K') w = (w << 16) | (w >> 16);  // the 16-bit halves come exchanged
        out[i] = static_cast<float>(static_cast<int32_t>(w) * factor / 4294967296.0);
    }
}

uint32_t packDate(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute) {
    return ((year & 0xFFF) << 20) | ((month & 0xF) << 16) | ((day & 0x1F) << 11) | ((hour & 0x1F) << 6) |
           (minute & 0x3F);
}

bool hasVersionTag(const uint8_t* h) {
    return (h[325] == 'V' || h[325] == 'v') && (h[326] == 'E' || h[326] == 'e') &&
           (h[327] == 'R' || h[327] == 'r') && h[328] == '.' && h[329] == 0;
}

// The old form's header in the new layout.
int32_t buildOldHeader(TARNVIK& doc, const uint8_t* d) {
    auto& h = doc.header;
    h.fill(0);
    h[kFlags] = d[0] & 0x31;
    h[kForm] = 'M';
    h[kExponent] = d[2];
    float points = getF32LE(d + 4);
    // A count that is no finite, positive number of sensible size is bad data.
    if (!std::isfinite(points) || points < 1.0f || points >= 4294967296.0f) return kOpenBadData;
    doc.setU32(kPoints, static_cast<uint32_t>(points));
    doc.setF64(kFirstX, getF32LE(d + 8));
    doc.setF64(kLastX, getF32LE(d + 12));
    h[kXType] = d[16];
    h[kYType] = d[17];
    uint16_t yz = getU16LE(d + 18);
    h[kZType] = static_cast<uint8_t>(yz >> 12);
    if (h[kZType] == 15) h[kFlags] |= kFlagCustomLabels;
    doc.setU32(kDate, packDate(yz & 0xFFF, d[20], d[21], d[22], d[23]));
    std::memcpy(&h[kResolution], d + 24, 8);
    doc.setU16(kPeakPoint, getU16LE(d + 32));
    std::memcpy(&h[kSpare], d + 36, 32);
    std::memcpy(&h[kComment], d + 64, 130);
    std::memcpy(&h[kCatalog], d + 194, 30);
    h[kMajorRev] = 1;
    return kOpenOk;
}

// The keyed digest of a source with its integrity field taken as zero, in pieces.
void digestSource(ImageSource& src, const std::vector<uint8_t>& key, uint8_t out[20]) {
    sha1_ctx ctx;
    sha1_init(&ctx);
    static const uint8_t zeros[20] = {};
    constexpr uint64_t kPiece = 1 << 20;
    const uint64_t size = src.size();
    for (uint64_t off = 0; off < size;) {
        const uint64_t len = std::min(kPiece, size - off);
        const uint8_t* p = src.at(off, len);
        if (!p) return;
        // The piece, with the bytes that fall on the integrity field replaced by zeros.
        const uint64_t fieldFrom = std::clamp<uint64_t>(kIntegrity, off, off + len) - off;
        const uint64_t fieldTo = std::clamp<uint64_t>(kIntegrity + 20, off, off + len) - off;
        sha1_update(&ctx, fieldFrom, p);
        sha1_update(&ctx, fieldTo - fieldFrom, zeros);
        sha1_update(&ctx, len - fieldTo, p + fieldTo);
        off += len;
    }
    if (!key.empty()) sha1_update(&ctx, key.size(), key.data());
    sha1_digest(&ctx, SHA1_DIGEST_SIZE, out);
}

uint32_t checkSourceIntegrity(ImageSource& src, const std::vector<uint8_t>& key) {
    if (src.size() < kHeaderSize) return kIntegrityFail;
    uint8_t stored[20];
    const uint8_t* field = src.at(kIntegrity, 20);
    if (!field) return kIntegrityFail;
    std::memcpy(stored, field, 20);
    uint8_t d[20];
    if (!key.empty()) {
        digestSource(src, key, d);
        if (!src.failed() && std::memcmp(d, stored, 20) == 0) return kIntegrityKey;
    }
    digestSource(src, {}, d);
    return !src.failed() && std::memcmp(d, stored, 20) == 0 ? kIntegrityNull : kIntegrityFail;
}

struct Decoder {
    TARNVIK& doc;
    ImageSource& src;
    Order order;
    char form;
    bool storeFailed = false;
    std::vector<float> buf;

    // Hands decoded values to the store (or the entry's memory); the first piece sets the offset.
    bool put(SubfileEntry& e, const float* v, std::size_t n, bool first) {
        if (n == 0) return true;
        if (doc.scratch.usable()) {
            uint64_t off = 0;
            if (!doc.scratch.append(v, n * 4, off)) {
                storeFailed = true;
                return false;
            }
            if (first) e.storeOffset = off;
            return true;
        }
        try {
            e.flags |= kInMemory;
            e.memory.insert(e.memory.end(), v, v + n);
        } catch (const std::bad_alloc&) {
            SetLastError(ENOMEM);
            storeFailed = true;
            return false;
        }
        return true;
    }

    // Decodes the subfile whose header is at off; its end in next. False when it does not fit.
    bool subfile(uint64_t off, uint64_t& next) {
        const uint8_t* shp = src.at(off, kSubHeaderSize);
        if (!shp) return false;
        uint8_t sh[kSubHeaderSize];
        std::memcpy(sh, shp, kSubHeaderSize);
        const bool xyxy = doc.isXYXY();
        const bool sixteen = doc.flags() & kFlag16Bit;
        const uint8_t exponent = (doc.flags() & kFlagMulti) ? sh[1] : doc.header[kExponent];
        const uint32_t n = xyxy ? order.u32(sh + 16) : doc.u32(kPoints);
        const uint64_t xBytes = xyxy ? uint64_t(n) * 4 : 0;
        const uint64_t yWidth = sixteen ? 2 : 4;
        const uint64_t yBytes = uint64_t(n) * yWidth;
        const uint64_t pos = off + kSubHeaderSize;
        if (!src.fits(pos, xBytes) || !src.fits(pos + xBytes, yBytes)) return false;
        SubfileEntry e;
        e.zStart = order.f32(sh + 4);
        e.zEnd = order.f32(sh + 8);
        e.scans = order.u32(sh + 20);
        e.wValue = order.f32(sh + 24);
        e.points = n;
        e.storeSize = (xyxy ? 2 * uint64_t(n) : n) * 4;
        // Little-endian float values need no decoding: an open file keeps them where they are, an
        // image in memory hands them to the store as they stand.
        const bool stored = std::endian::native == std::endian::little && form == 'K' && !sixteen &&
                            exponent == 0x80;
        if (xyxy) {
            const uint8_t* xp = src.at(pos, xBytes);
            if (!xp && n > 0) return false;
            try {
                if (buf.size() < n) buf.resize(n);
            } catch (const std::bad_alloc&) {
                SetLastError(ENOMEM);
                storeFailed = true;
                return false;
            }
            for (uint32_t i = 0; i < n; ++i) buf[i] = order.f32(xp + 4 * uint64_t(i));
            XRange r = ScanX(buf.data(), n);
            e.firstX = r.first;
            e.lastX = r.last;
            if (!r.monotonic) e.flags |= kNonMonotonic;
        } else {
            e.firstX = static_cast<float>(doc.f64(kFirstX));
            e.lastX = static_cast<float>(doc.f64(kLastX));
        }
        if (stored && src.keepsValues()) {
            e.flags |= kInSource;
            e.storeOffset = pos;
        } else if (stored && doc.scratch.usable()) {
            const uint8_t* p = src.at(pos, xBytes + yBytes);
            if (!p && n > 0) return false;
            if (n > 0 && !doc.scratch.append(p, xBytes + yBytes, e.storeOffset)) {
                storeFailed = true;
                return false;
            }
        } else {
            if (xyxy && !put(e, buf.data(), n, true)) return false;
            // The Y values in pieces, so that no file is held whole.
            constexpr uint32_t kPiece = 1 << 16;
            std::vector<float> piece(std::min(n, kPiece));
            for (uint32_t done = 0; done < n;) {
                const uint32_t k = std::min(kPiece, n - done);
                const uint8_t* yp = src.at(pos + xBytes + uint64_t(done) * yWidth, uint64_t(k) * yWidth);
                if (!yp) return false;
                decodeY(yp, k, sixteen, exponent, form, piece.data());
                if (!put(e, piece.data(), k, !xyxy && done == 0)) return false;
                done += k;
            }
        }
        doc.largestPoints = std::max(doc.largestPoints, n);
        doc.dir.push_back(std::move(e));
        next = pos + xBytes + yBytes;
        return true;
    }
};

// The steps of opening an image, in the order parseImage takes them. Each returns kOpenOk to go on, or
// the open's result.
struct ImageParse {
    TARNVIK& doc;
    ImageSource& src;
    char form = 0;
    Order order{false};
    bool xyxy = false;
    uint64_t dataStart = kHeaderSize;  // where the common X array or the first subfile begins
    uint32_t points = 0;
    uint32_t nsub = 0;
    uint64_t logOff = 0;

    // The source's own failure if it has one, else `otherwise`.
    int32_t failure(int32_t otherwise) const {
        return src.failed() ? kOpenCannot : src.outOfMemory() ? kOpenNoMemory : otherwise;
    }

    // 1. The form, from the image's first bytes (`data`: the header's bytes, valid until the next read).
    int32_t readForm(const uint8_t*& data) {
        const uint64_t size = src.size();
        data = src.at(0, std::min<uint64_t>(size, kHeaderSize));
        if (!data || size < 2) return failure(kOpenNotSpc);
        form = static_cast<char>(data[1]);
        if (form != 'K' && form != 'L' && form != 'M') return kOpenNotSpc;
        if (form != 'M' && (size < kHeaderSize || getU32LE(data) == kZipMagic)) return kOpenNotSpc;
        if (form == 'M' && (size < 256 || data[0] == 'B')) return kOpenNotSpc;
        order = Order{form == 'L'};
        return kOpenOk;
    }

    // 2. The header, in the new layout and little-endian whatever the form.
    int32_t readHeader(const uint8_t* data, bool checkIntegrity) {
        if (form == 'M') {
            int32_t r = buildOldHeader(doc, data);
            if (r != kOpenOk) return r;
            dataStart = kOldHeaderSize;
        } else {
            std::memcpy(doc.header.data(), data, kHeaderSize);
            auto& h = doc.header;
            if (form == 'K') {
                if (hasVersionTag(h.data())) {
                    if (h[kMajorRev] < 4) h[kMajorRev] = 4;
                    if (checkIntegrity) doc.integrity = checkSourceIntegrity(src, doc.key);
                } else {
                    h[kMajorRev] = 3;
                }
            } else {
                for (std::size_t off : {4, 24, 32, 248, 252, 260, 312, 316, 320}) swap32At(&h[off]);
                swap64At(&h[kFirstX]);
                swap64At(&h[kLastX]);
                h[kMajorRev] = 2;
            }
        }
        if (src.failed()) return kOpenCannot;
        xyxy = doc.isXYXY();
        points = doc.u32(kPoints);
        nsub = doc.u32(kSubfiles);
        logOff = form == 'M' ? 0 : doc.u32(kLogOffset);
        return kOpenOk;
    }

    // 3. How many subfiles fit before the log (or the end).
    int32_t countSubfiles() {
        if (!xyxy && points != 0) {
            uint64_t end = src.size();
            if (logOff >= dataStart && logOff < end) end = logOff;
            uint64_t per = uint64_t(points) * ((doc.flags() & kFlag16Bit) ? 2 : 4) + kSubHeaderSize;
            uint64_t fit = end > dataStart ? (end - dataStart) / per : 0;
            if (form == 'M') {
                nsub = static_cast<uint32_t>(std::min<uint64_t>(fit, UINT32_MAX));
            } else if (nsub == 0 || nsub > fit) {
                nsub = static_cast<uint32_t>(std::min<uint64_t>(fit, UINT32_MAX));
                doc.AddWarning(-1);
            }
            if (nsub == 0) {
                points = 0;
                doc.setU32(kPoints, 0);
            }
        }
        if (nsub == 0 && form == 'M') return kOpenBadData;
        if (form == 'M' && nsub > 1) doc.header[kFlags] |= kFlagMulti;
        doc.setU32(kSubfiles, nsub);
        return kOpenOk;
    }

    // 4. The common X array.
    int32_t readCommonX() {
        if (!(doc.flags() & kFlagXYY) || xyxy) return kOpenOk;
        if (points == 0) return kOpenBadData;
        const uint8_t* xp = src.at(dataStart, uint64_t(points) * 4);
        if (!xp) return failure(kOpenBadData);
        try {
            doc.commonX.resize(points);
        } catch (const std::bad_alloc&) {
            return kOpenNoMemory;
        }
        for (uint32_t i = 0; i < points; ++i) doc.commonX[i] = order.f32(xp + 4 * uint64_t(i));
        XRange r = ScanX(doc.commonX.data(), points);
        if (!r.monotonic) {
            doc.setF64(kFirstX, r.min);
            doc.setF64(kLastX, r.max);
        }
        dataStart += uint64_t(points) * 4;
        return kOpenOk;
    }

    // The subfile offsets of an XYXY image's directory; empty (with its warning) when the directory
    // does not lie inside the image.
    int32_t readDirectory(std::vector<uint32_t>& offsets) {
        const uint64_t size = src.size();
        uint64_t dirOff = doc.u32(kPoints);
        if (dirOff < kHeaderSize || uint64_t(nsub) * 12 > size || dirOff > size - uint64_t(nsub) * 12) {
            doc.AddWarning(-6);
            return kOpenOk;
        }
        const uint8_t* dp = src.at(dirOff, uint64_t(nsub) * 12);
        if (!dp) return failure(kOpenBadData);
        try {
            offsets.resize(nsub);
        } catch (const std::bad_alloc&) {
            return kOpenNoMemory;
        }
        for (uint32_t i = 0; i < nsub; ++i) offsets[i] = order.u32(dp + 12 * uint64_t(i));
        return kOpenOk;
    }

    // 6. The subfiles, in order, until one does not fit.
    int32_t readSubfiles() {
        Decoder dec{doc, src, order, form, false, {}};
        if (xyxy) {
            std::vector<uint32_t> offsets;
            if (int32_t r = readDirectory(offsets); r != kOpenOk) return r;
            uint64_t next = kHeaderSize;
            for (uint32_t i = 0; i < nsub; ++i) {
                uint64_t off = next;
                if (!offsets.empty()) {
                    off = offsets[i];
                    if (off < kHeaderSize || off >= src.size()) break;
                }
                if (!dec.subfile(off, next)) break;
            }
            doc.setU32(kPoints, 0);
        } else {
            uint64_t next = dataStart;
            for (uint32_t i = 0; i < nsub; ++i) {
                if (!dec.subfile(next, next)) break;
            }
        }
        // A store that could not take the values, or a file that could not be read, is the system's
        // failure, not bad data.
        if (dec.storeFailed || src.failed()) return kOpenCannot;
        if (src.outOfMemory()) return kOpenNoMemory;
        if (doc.dir.size() != nsub) return kOpenBadData;
        if (!doc.commonX.empty()) {
            XRange r = ScanX(doc.commonX.data(), doc.commonX.size());
            for (auto& e : doc.dir) {
                e.firstX = r.first;
                e.lastX = r.last;
                if (!r.monotonic) e.flags |= kNonMonotonic;
            }
        }
        return kOpenOk;
    }

    // 7. W planes, and 8. the log offset.
    void checkPlanesAndLogOffset() {
        if (doc.u32(kWPlanes) > nsub) {
            doc.setU32(kWPlanes, nsub);
            doc.AddWarning(-2);
        }
        if (logOff != 0 && (logOff < dataStart || !src.fits(logOff, kLogHeaderSize))) {
            logOff = 0;
            doc.AddWarning(-3);
        }
        doc.setU32(kLogOffset, static_cast<uint32_t>(logOff));
    }

    // `len` bytes at `at` into `out`; false when they cannot be read or no memory can be had for them.
    bool readArea(uint64_t at, uint64_t len, std::vector<uint8_t>& out) {
        const uint8_t* p = src.at(at, len);
        if (!p) return false;
        try {
            out.assign(p, p + len);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    // The log text: what the block holds beyond its header and the two areas, up to its first zero byte.
    void readLogText(uint64_t block, uint64_t textOff, uint64_t bin, uint64_t disk) {
        if (textOff == 0) return;
        const uint64_t size = src.size();
        int64_t textSize = int64_t(block) - int64_t(bin) - int64_t(disk) - int64_t(kLogHeaderSize);
        uint64_t start = logOff + textOff;
        if (textSize <= 0 || start >= size) return;
        uint64_t len = std::min<uint64_t>(uint64_t(textSize), size - start);
        if (const uint8_t* tp = src.at(start, len)) {
            const char* t = reinterpret_cast<const char*>(tp);
            try {
                doc.logText.assign(t, strnlen(t, static_cast<std::size_t>(len)));
                doc.hasLogText = true;
            } catch (const std::bad_alloc&) {
                doc.logText.clear();
            }
        }
    }

    // 9. The log areas; an area that does not lie inside the image is dropped with its warning.
    int32_t readLog() {
        if (!logOff) return kOpenOk;
        const uint8_t* lp = src.at(logOff, kLogHeaderSize);
        if (!lp) return kOpenCannot;
        std::memcpy(doc.logHeader.data(), lp, kLogHeaderSize);
        if (form == 'L')
            for (std::size_t i = 0; i < 5; ++i) swap32At(&doc.logHeader[4 * i]);
        auto lh = [&](std::size_t i) { return getU32LE(&doc.logHeader[4 * i]); };
        uint64_t block = lh(0), textOff = lh(2), bin = lh(3), disk = lh(4);
        uint64_t pos = logOff + kLogHeaderSize;
        if (bin > block || !src.fits(pos, bin)) {
            bin = 0;
            putU32LE(&doc.logHeader[12], 0);
            doc.AddWarning(-4);
        } else if (!readArea(pos, bin, doc.logBinary)) {
            // No memory for it: the area is dropped.
            doc.logBinary.clear();
        }
        pos += bin;
        if (disk > block || !src.fits(pos, disk)) {
            disk = 0;
            putU32LE(&doc.logHeader[16], 0);
            doc.AddWarning(-5);
        } else if (!readArea(pos, disk, doc.logDisk)) {
            doc.logDisk.clear();
        }
        readLogText(block, textOff, bin, disk);
        // An area for which no memory could be had is dropped; a read error fails the open.
        return src.failed() ? kOpenCannot : kOpenOk;
    }
};

int32_t parseImage(TARNVIK& doc, ImageSource& src, bool checkIntegrity) {
    ImageParse parse{doc, src};
    const uint8_t* header = nullptr;
    int32_t r = parse.readForm(header);
    if (r == kOpenOk) r = parse.readHeader(header, checkIntegrity);
    if (r == kOpenOk) r = parse.countSubfiles();
    if (r == kOpenOk) r = parse.readCommonX();
    if (r == kOpenOk) r = parse.readSubfiles();
    if (r != kOpenOk) return r;
    parse.checkPlanesAndLogOffset();
    if ((r = parse.readLog()) != kOpenOk) return r;
    doc.current = 0;
    return kOpenOk;
}

// The open wrapper: a failed open leaves the document empty.
int32_t openSource(TARNVIK& doc, ImageSource& src, bool checkIntegrity) {
    doc.Reset();
    int32_t r;
    try {
        r = parseImage(doc, src, checkIntegrity);
    } catch (const std::bad_alloc&) {
        r = kOpenNoMemory;
    }
    if (r != kOpenOk) doc.Reset();
    return r;
}

}  // namespace

double ExponentFactor(uint8_t e) { return kExponents[e]; }

void IntegrityDigest(const uint8_t* data, std::size_t size, const std::vector<uint8_t>& key, uint8_t out[20]) {
    MemoryImage src(data, size);
    digestSource(src, key, out);
}

uint32_t CheckIntegrity(const uint8_t* data, std::size_t size, const std::vector<uint8_t>& key) {
    MemoryImage src(data, size);
    return checkSourceIntegrity(src, key);
}

int32_t OpenImage(TARNVIK& doc, const uint8_t* data, std::size_t size, bool checkIntegrity) {
    MemoryImage src(data, data ? size : 0);
    return openSource(doc, src, checkIntegrity);
}

int32_t OpenFileImage(TARNVIK& doc, const std::string& path, bool checkIntegrity) {
    doc.Reset();
    if (path.empty()) return kOpenCannot;
    InputFile file;
    if (int e = InputFile::Open(path, file)) {
        SetLastError(static_cast<uint32_t>(e));
        return kOpenCannot;
    }
    posix_fadvise(file.Fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
    FileImage src(file.Fd(), file.Size());
    int32_t r = openSource(doc, src, checkIntegrity);
    // The document reads the values it left in the file from this descriptor from now on.
    if (r == kOpenOk && std::any_of(doc.dir.begin(), doc.dir.end(), [](const SubfileEntry& e) { return e.flags & kInSource; }))
        doc.source.adopt(file.Release());
    return r;
}

namespace {

// Where a written image goes: bytes in order, then the integrity field patched in at the end.
class ImageSink {
public:
    virtual ~ImageSink() = default;
    virtual bool put(const uint8_t* p, std::size_t n) = 0;
    virtual bool patch(uint64_t offset, const uint8_t* p, std::size_t n) = 0;
};

class VectorSink final : public ImageSink {
public:
    std::vector<uint8_t> bytes;
    bool put(const uint8_t* p, std::size_t n) override {
        bytes.insert(bytes.end(), p, p + n);
        return true;
    }
    bool patch(uint64_t offset, const uint8_t* p, std::size_t n) override {
        if (offset + n > bytes.size()) return false;
        std::memcpy(bytes.data() + offset, p, n);
        return true;
    }
};

// Writes through a buffer to a file descriptor; a short write is a failure.
class FileSink final : public ImageSink {
public:
    explicit FileSink(int fd) : fd_(fd) { buf_.reserve(kBuffer); }
    bool put(const uint8_t* p, std::size_t n) override {
        if (buf_.size() + n > kBuffer && !flush()) return false;
        if (n >= kBuffer) return writeAll(p, n);
        buf_.insert(buf_.end(), p, p + n);
        return true;
    }
    bool patch(uint64_t offset, const uint8_t* p, std::size_t n) override {
        if (!flush()) return false;
        return pwrite(fd_, p, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n) || fail(errno);
    }
    bool flush() {
        bool ok = writeAll(buf_.data(), buf_.size());
        buf_.clear();
        return ok;
    }

private:
    static constexpr std::size_t kBuffer = 1 << 20;
    static bool fail(int err) {
        SetLastError(static_cast<uint32_t>(err ? err : ENOSPC));
        return false;
    }
    bool writeAll(const uint8_t* p, std::size_t n) {
        while (n > 0) {
            ssize_t w = ::write(fd_, p, n);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return fail(w < 0 ? errno : 0);
            p += w;
            n -= static_cast<std::size_t>(w);
        }
        return true;
    }
    int fd_;
    std::vector<uint8_t> buf_;
};

// Hashes every byte it passes on (the integrity field is zero while it passes).
struct DigestingWriter {
    ImageSink& sink;
    sha1_ctx ctx;
    uint64_t written = 0;
    explicit DigestingWriter(ImageSink& s) : sink(s) { sha1_init(&ctx); }
    bool put(const uint8_t* p, std::size_t n) {
        if (n == 0) return true;
        sha1_update(&ctx, n, p);
        written += n;
        return sink.put(p, n);
    }
};

bool WriteImage(const TARNVIK& doc, int32_t subfile, ImageSink& sink) {
    uint32_t cnt = doc.count();
    if (subfile < -1 || (subfile >= 0 && uint32_t(subfile) >= cnt)) return false;
    bool one = subfile >= 0;
    uint32_t first = one ? uint32_t(subfile) : 0;
    uint32_t written = one ? 1 : cnt;
    bool xyxy = doc.isXYXY();
    bool common = !xyxy && !doc.commonX.empty();

    // Sizes and offsets, all in 64 bits, known before the first byte goes out.
    uint32_t points = xyxy ? 0 : doc.u32(kPoints);
    uint64_t size = kHeaderSize + (common ? uint64_t(points) * 4 : 0);
    for (uint32_t i = first; i < first + written; ++i) size += kSubHeaderSize + uint64_t(doc.dir[i].points) * (xyxy ? 8 : 4);
    uint64_t dirOff = size;
    if (xyxy) size += uint64_t(written) * 12;
    bool hasLog = doc.hasLogText || !doc.logDisk.empty() || !doc.logBinary.empty();
    uint64_t textSize = doc.hasLogText ? doc.logText.size() + 1 : 0;
    uint64_t logOff = size;
    uint64_t block = kLogHeaderSize + doc.logBinary.size() + doc.logDisk.size() + textSize;
    if (hasLog) size += block;
    if ((hasLog && logOff > UINT32_MAX) || (xyxy && dirOff > UINT32_MAX) || block > UINT32_MAX) return false;

    std::array<uint8_t, kHeaderSize> hdr = doc.header;
    uint8_t* h = hdr.data();
    h[kFlags] &= static_cast<uint8_t>(~kFlag16Bit);
    h[kForm] = 'K';
    std::memcpy(h + kVersionTag, "VER.\0", 5);
    h[kMajorRev] = 4;
    std::memset(h + kIntegrity, 0, 20);
    h[kExponent] = 0x80;
    putU32LE(h + kLogOffset, hasLog ? static_cast<uint32_t>(logOff) : 0);
    if (common) {
        h[kFlags] |= kFlagXYY;
    } else if (xyxy) {
        putU32LE(h + kPoints, static_cast<uint32_t>(dirOff));
    } else {
        h[kFlags] &= static_cast<uint8_t>(~kFlagXYY);
    }
    if (written >= 2) {
        // Several subfiles read from a file without the multifile flag carry their own Z values; as a
        // multifile without an order flag they would read back evenly spaced.
        if (!(h[kFlags] & kFlagMulti) && !(h[kFlags] & (kFlagZOrdered | kFlagZRandom))) h[kFlags] |= kFlagZOrdered;
        h[kFlags] |= kFlagMulti;
    } else {
        h[kFlags] &= static_cast<uint8_t>(~kFlagMulti);
    }
    putU32LE(h + kSubfiles, written);
    if (one) {
        if (getU32LE(h + kWPlanes) != 0) putU32LE(h + kWPlanes, 1);
        if (xyxy) {
            putF64LE(h + kFirstX, doc.dir[first].firstX);
            putF64LE(h + kLastX, doc.dir[first].lastX);
        }
    }
    DigestingWriter out(sink);
    if (!out.put(h, kHeaderSize)) return false;

    std::vector<uint8_t> chunk;
    auto putFloats = [&](const float* v, std::size_t n) {
        if constexpr (std::endian::native == std::endian::little) {
            return out.put(reinterpret_cast<const uint8_t*>(v), n * 4);
        } else {
            chunk.resize(n * 4);
            for (std::size_t i = 0; i < n; ++i) putF32LE(chunk.data() + 4 * i, v[i]);
            return out.put(chunk.data(), chunk.size());
        }
    };
    if (common) {
        std::vector<float> x(doc.commonX);
        x.resize(points, 0.0f);
        if (!putFloats(x.data(), x.size())) return false;
    }
    std::vector<uint64_t> offsets;
    std::vector<float> values;
    constexpr uint64_t kPiece = 1 << 18;  // floats per piece read from the store
    for (uint32_t i = first; i < first + written; ++i) {
        const SubfileEntry& e = doc.dir[i];
        offsets.push_back(out.written);
        uint8_t sh[kSubHeaderSize] = {};
        sh[1] = 0x80;
        putU16LE(sh + 2, static_cast<uint16_t>(one ? 0 : i));
        putF32LE(sh + 4, doc.ZStartOf(i));
        putF32LE(sh + 8, doc.ZEndOf(i));
        if (xyxy) putU32LE(sh + 16, e.points);
        putU32LE(sh + 20, e.scans);
        putF32LE(sh + 24, doc.WValueOf(i));
        if (!out.put(sh, kSubHeaderSize)) return false;
        uint64_t total = uint64_t(e.points) * (xyxy ? 2 : 1);
        if (e.flags & kInMemory) {
            if (e.memory.size() < total || !putFloats(e.memory.data(), total)) return false;
            continue;
        }
        for (uint64_t done = 0; done < total;) {
            uint64_t n = std::min(kPiece, total - done);
            values.resize(n);
            if (!doc.ReadStored(e, done, n, values.data()) || !putFloats(values.data(), n)) return false;
            done += n;
        }
    }
    if (xyxy) {
        for (uint32_t k = 0; k < written; ++k) {
            uint8_t de[12];
            putU32LE(de, static_cast<uint32_t>(offsets[k]));
            putU32LE(de + 4, static_cast<uint32_t>(kSubHeaderSize + uint64_t(doc.dir[first + k].points) * 8));
            putF32LE(de + 8, doc.ZStartOf(first + k));
            if (!out.put(de, 12)) return false;
        }
    }
    if (hasLog) {
        uint8_t lh[kLogHeaderSize] = {};
        putU32LE(lh, static_cast<uint32_t>(block));
        putU32LE(lh + 4, static_cast<uint32_t>((block / 4096 + 1) * 4096));
        putU32LE(lh + 8, textSize ? static_cast<uint32_t>(block - textSize) : 0);
        putU32LE(lh + 12, static_cast<uint32_t>(doc.logBinary.size()));
        putU32LE(lh + 16, static_cast<uint32_t>(doc.logDisk.size()));
        if (!out.put(lh, kLogHeaderSize) || !out.put(doc.logBinary.data(), doc.logBinary.size()) ||
            !out.put(doc.logDisk.data(), doc.logDisk.size()))
            return false;
        if (textSize && !out.put(reinterpret_cast<const uint8_t*>(doc.logText.c_str()), doc.logText.size() + 1))
            return false;
    }
    if (out.written != size) return false;
    if (!doc.key.empty()) sha1_update(&out.ctx, doc.key.size(), doc.key.data());
    uint8_t digest[SHA1_DIGEST_SIZE];
    sha1_digest(&out.ctx, SHA1_DIGEST_SIZE, digest);
    return sink.patch(kIntegrity, digest, sizeof digest);
}

}  // namespace

std::optional<uint64_t> ImageSize(const TARNVIK& doc, int32_t subfile) {
    if (subfile < -1 || (subfile >= 0 && uint32_t(subfile) >= doc.count())) return std::nullopt;
    uint32_t first = subfile >= 0 ? uint32_t(subfile) : 0;
    uint32_t written = subfile >= 0 ? 1 : doc.count();
    bool xyxy = doc.isXYXY();
    uint64_t size = kHeaderSize + (!xyxy && !doc.commonX.empty() ? uint64_t(doc.u32(kPoints)) * 4 : 0);
    for (uint32_t i = first; i < first + written; ++i) size += kSubHeaderSize + uint64_t(doc.dir[i].points) * (xyxy ? 8 : 4);
    if (xyxy) size += uint64_t(written) * 12;
    if (doc.hasLogText || !doc.logDisk.empty() || !doc.logBinary.empty())
        size += kLogHeaderSize + doc.logBinary.size() + doc.logDisk.size() + (doc.hasLogText ? doc.logText.size() + 1 : 0);
    return size;
}

std::optional<std::vector<uint8_t>> BuildImage(const TARNVIK& doc, int32_t subfile) {
    VectorSink sink;
    if (auto size = ImageSize(doc, subfile)) {
        try {
            sink.bytes.reserve(static_cast<std::size_t>(*size));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    try {
        if (!WriteImage(doc, subfile, sink)) return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return std::move(sink.bytes);
}

int64_t SaveImageFile(const TARNVIK& doc, int32_t subfile, const std::string& path) {
    if (path.empty() || subfile < -1 || (subfile >= 0 && uint32_t(subfile) >= doc.count())) return -1;
    auto size = ImageSize(doc, subfile);
    if (!size) return -1;
    SetLastError(0);
    // A fresh temporary file beside the target (through a symbolic link to the file it names), with the
    // replaced file's permission bits, synced and renamed over it once complete.
    // A write past the file-size limit fails with EFBIG instead of ending the program we run in.
    safefile::FileSizeSignalHold sizeSignal;
    safefile::SafeFileWriter out;
    if (int e = out.open(path)) {
        SetLastError(static_cast<uint32_t>(e));
        return -1;
    }
    int e = 0;
    try {
        FileSink sink(out.fd());
        if (!WriteImage(doc, subfile, sink) || !sink.flush()) {
            e = GetLastError() ? static_cast<int>(GetLastError()) : EIO;
        } else {
            e = out.commit(static_cast<int64_t>(*size));
        }
    } catch (const std::bad_alloc&) {
        e = ENOMEM;
    }
    if (e) {
        out.discard();
        SetLastError(static_cast<uint32_t>(e));
        return -1;
    }
    return static_cast<int64_t>(*size);
}

}  // namespace spc
