#include "spclib/spc_document.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/com.h"

using namespace byteorder;

namespace spc {

XRange ScanX(const float* x, std::size_t n) {
    XRange r;
    if (n == 0) return r;
    bool ascending = !(x[0] > x[n - 1]);
    r.min = r.max = x[0];
    for (std::size_t i = 1; i < n; ++i) {
        if (x[i] < r.min) r.min = x[i];
        if (x[i] > r.max) r.max = x[i];
        if (ascending ? x[i] < x[i - 1] : x[i] > x[i - 1]) r.monotonic = false;
    }
    if (r.monotonic) {
        r.first = x[0];
        r.last = x[n - 1];
    } else {
        r.first = r.min;
        r.last = r.max;
    }
    return r;
}

TARNVIK::TARNVIK() { Reset(); }
TARNVIK::~TARNVIK() = default;

uint16_t TARNVIK::u16(std::size_t off) const { return getU16LE(&header[off]); }
void TARNVIK::setU16(std::size_t off, uint16_t v) { putU16LE(&header[off], v); }
uint32_t TARNVIK::u32(std::size_t off) const { return getU32LE(&header[off]); }
void TARNVIK::setU32(std::size_t off, uint32_t v) { putU32LE(&header[off], v); }
float TARNVIK::f32(std::size_t off) const { return getF32LE(&header[off]); }
void TARNVIK::setF32(std::size_t off, float v) { putF32LE(&header[off], v); }
double TARNVIK::f64(std::size_t off) const { return getF64LE(&header[off]); }
void TARNVIK::setF64(std::size_t off, double v) { putF64LE(&header[off], v); }

void TARNVIK::Reset() {
    warningCount = 0;
    warnings.fill(0);
    integrity = kIntegrityFail;
    scratch.clear();
    source.close();
    header.fill(0);
    header[kForm] = 'K';
    header[kMajorRev] = 4;
    dir.clear();
    dir.shrink_to_fit();
    commonX.clear();
    state = 0;
    current = 0;
    largestPoints = 0;
    logHeader.fill(0);
    hasLogText = false;
    logText.clear();
    logDisk.clear();
    logBinary.clear();
    pendingZStart.reset();
}

void TARNVIK::Create(int32_t fileType) {
    Reset();
    header[kForm] = 'K';
    uint8_t& f = header[kFlags];
    if (fileType == kXYY) {
        f = static_cast<uint8_t>((f & ~kFlagXYXY) | kFlagXYY);
    } else if (fileType == kXYXYType) {
        f |= kFlagXYXY | kFlagXYY;
    } else {
        f &= static_cast<uint8_t>(~(kFlagXYXY | kFlagXYY));
    }
}

void TARNVIK::AddWarning(int16_t code) {
    if (warningCount < 64) warnings[static_cast<std::size_t>(warningCount++)] = code;
}

int32_t TARNVIK::FileTypeOf() const {
    if (flags() & kFlagXYXY) return kXYXYType;
    if (flags() & kFlagXYY) return kXYY;
    return kEven;
}

int32_t TARNVIK::YPrecision() const {
    if (flags() & kFlag16Bit) return 0;
    return header[kExponent] == 0x80 ? 2 : 1;
}

int32_t TARNVIK::ZIncrementType() const {
    if (!(flags() & kFlagMulti)) return kZNotMulti;
    if (flags() & kFlagZRandom) return kZRandom;
    if (flags() & kFlagZOrdered) return kZOrdered;
    return kZEven;
}

bool TARNVIK::PutZIncrementType(int32_t type) {
    if (!(flags() & kFlagMulti) || type < 0 || type > 2) return false;
    uint8_t& f = header[kFlags];
    f &= static_cast<uint8_t>(~(kFlagZRandom | kFlagZOrdered));
    if (type == kZOrdered) f |= kFlagZOrdered;
    if (type == kZRandom) f |= kFlagZRandom;
    if (type == kZEven && !dir.empty()) {
        float inc = ZIncrementValue();
        float z0 = dir[0].zStart;
        for (std::size_t i = 0; i < dir.size(); ++i) {
            dir[i].zStart = z0 + static_cast<float>(i) * inc;
            dir[i].zEnd = dir[i].zStart + inc;
        }
    }
    return true;
}

float TARNVIK::ZIncrementValue() const {
    float inc = f32(kZIncrement);
    if (inc != 0) return inc;
    if (dir.size() < 2) return 1.0f;
    float d = (dir.back().zStart - dir.front().zStart) / static_cast<float>(dir.size() - 1);
    return std::isfinite(d) ? d : 1.0f;
}

float TARNVIK::ZStartOf(uint32_t i) const {
    if (i >= count()) return 0;
    if (i > 0 && ZIncrementType() == kZEven) return dir[0].zStart + static_cast<float>(i) * ZIncrementValue();
    return dir[i].zStart;
}

float TARNVIK::ZEndOf(uint32_t i) const {
    if (i >= count()) return 0;
    if (ZIncrementType() == kZEven) return ZStartOf(i) + ZIncrementValue();
    return dir[i].zEnd;
}

static uint32_t subfilesPerPlane(uint32_t subfiles, uint32_t planes) {
    if (planes == 0 || subfiles < 2) return 1;
    double per = std::nearbyint(static_cast<double>(subfiles) / planes);
    return per < 1 ? 1 : static_cast<uint32_t>(per);
}

float TARNVIK::WValueOf(uint32_t i) const {
    if (i >= count()) return 0;
    uint32_t planes = u32(kWPlanes);
    if (planes == 0) return 0;
    float inc = f32(kWIncrement);
    if (inc != 0) {
        if (i == 0) return dir[0].wValue;
        return dir[0].wValue + static_cast<float>(i / subfilesPerPlane(count(), planes)) * inc;
    }
    return dir[i].wValue;
}

void TARNVIK::PutWIncrement(float inc) {
    if (u32(kWPlanes) != 0 && dir.size() > 1 && f32(kWIncrement) != 0 && inc == 0) {
        std::vector<float> values(dir.size());
        for (uint32_t i = 1; i < count(); ++i) values[i] = WValueOf(i);
        for (uint32_t i = 1; i < count(); ++i) dir[i].wValue = values[i];
    }
    setF32(kWIncrement, inc);
}

void TARNVIK::PutWNumPlanes(int32_t planes) { setU32(kWPlanes, planes < 0 ? 0u : static_cast<uint32_t>(planes)); }

double TARNVIK::FirstPoint() const {
    if (!hasXArrays()) return f64(kFirstX);
    if (dir.empty()) return 0;
    if (!isXYXY() || dir.size() < 2) return dir[0].firstX;
    bool ascending = !(dir[0].firstX > dir[0].lastX);
    float v = dir[0].firstX;
    for (const auto& e : dir) v = ascending ? std::min(v, e.firstX) : std::max(v, e.firstX);
    return v;
}

double TARNVIK::LastPoint() const {
    if (!hasXArrays()) return f64(kLastX);
    if (dir.empty()) return 0;
    if (!isXYXY() || dir.size() < 2) return dir[0].lastX;
    bool ascending = !(dir[0].firstX > dir[0].lastX);
    float v = dir[0].lastX;
    for (const auto& e : dir) v = ascending ? std::max(v, e.lastX) : std::min(v, e.lastX);
    return v;
}

uint32_t TARNVIK::Select(int64_t value, int mode) {
    int64_t idx = value;
    if (mode == 1) idx = int64_t(current) + value;
    if (mode == 2) idx = int64_t(count()) + value;
    if (idx < 0 || idx > int64_t(count())) idx = count();
    current = static_cast<uint32_t>(idx);
    return current;
}

uint32_t TARNVIK::SelectByZ(double z) {
    uint32_t n = count();
    if (n == 0) {
        current = 0;
        return 0;
    }
    bool ascending = n < 2 || !(ZStartOf(0) > ZStartOf(1));
    uint32_t i = 0;
    while (i + 1 < n && (ascending ? ZStartOf(i) < z : ZStartOf(i) > z)) ++i;
    current = i;
    return i;
}

bool TARNVIK::ReadStored(const SubfileEntry& e, uint64_t first, uint64_t count, float* out) const {
    if (count == 0) return true;
    if (first > e.storeSize / 4 || count > e.storeSize / 4 - first) {
        SetLastError(EIO);
        return false;
    }
    if (e.flags & kInMemory) {
        if (first + count > e.memory.size()) {
            SetLastError(EIO);
            return false;
        }
        std::memcpy(out, e.memory.data() + first, count * 4);
        return true;
    }
    const uint64_t offset = e.storeOffset + first * 4;
    if (e.flags & kInSource) {
        if (!source.read(offset, out, count * 4)) return false;
        if constexpr (std::endian::native != std::endian::little)
            for (uint64_t k = 0; k < count; ++k) out[k] = getF32LE(reinterpret_cast<const uint8_t*>(out + k));
        return true;
    }
    return scratch.read(offset, out, count * 4);
}

bool TARNVIK::ReadY(uint32_t i, float* out) const {
    if (i >= count()) return false;
    const SubfileEntry& e = dir[i];
    return ReadStored(e, isXYXY() ? e.points : 0, e.points, out);
}

bool TARNVIK::ReadX(uint32_t i, float* out) const {
    if (i >= count()) return false;
    const SubfileEntry& e = dir[i];
    if (isXYXY()) return ReadStored(e, 0, e.points, out);
    const std::size_t n = e.points;
    const std::size_t common = (flags() & kFlagXYY) ? std::min(n, commonX.size()) : 0;
    if (common) std::memcpy(out, commonX.data(), common * 4);
    std::fill(out + common, out + n, 0.0f);
    return true;
}

bool TARNVIK::ReadValues(uint32_t i, std::vector<float>* x, std::vector<float>* y) const {
    if (i >= count()) return false;
    const uint32_t n = dir[i].points;
    try {
        if (x) {
            if (isXYXY() || (flags() & kFlagXYY)) {
                x->resize(n);
                if (!ReadX(i, x->data())) return false;
            } else {
                x->clear();
            }
        }
        if (y) {
            y->resize(n);
            if (!ReadY(i, y->data())) return false;
        }
    } catch (const std::bad_alloc&) {
        SetLastError(ENOMEM);
        return false;
    }
    return true;
}

bool TARNVIK::writeValues(SubfileEntry& e, const float* x, const float* y, uint32_t n, bool append) {
    bool xyxy = isXYXY();
    // Values of the opened file are never written over: new ones go to the store.
    if (e.flags & kInSource) {
        e.flags &= ~kInSource;
        append = true;
    }
    std::size_t total = xyxy ? 2 * std::size_t(n) : n;
    if ((e.flags & kInMemory) || !scratch.usable()) {
        e.flags |= kInMemory;
        try {
            if (e.memory.capacity() < total) e.memory.reserve(total + 128);
            e.memory.resize(total);
        } catch (const std::bad_alloc&) {
            SetLastError(ENOMEM);
            return false;
        }
        if (xyxy) std::memcpy(e.memory.data(), x, std::size_t(n) * 4);
        std::memcpy(e.memory.data() + (xyxy ? n : 0), y, std::size_t(n) * 4);
        e.storeSize = total * 4;
        return true;
    }
    if (append) {
        e.storeOffset = scratch.end();
    }
    uint64_t off = e.storeOffset;
    if (xyxy) {
        if (!scratch.write(off, x, std::size_t(n) * 4)) return false;
        off += std::size_t(n) * 4;
    }
    if (!scratch.write(off, y, std::size_t(n) * 4)) return false;
    e.storeSize = total * 4;
    return true;
}

uint32_t TARNVIK::Store(const float* zStart, const float* zEnd, const float* x, const float* y, uint32_t n) {
    uint32_t cnt = count();
    uint32_t cur = current;
    if (cur > cnt || !y || n == 0) return 0;
    float zs = zStart ? *zStart : (cur < cnt ? dir[cur].zStart : 0.0f);
    float ze = zEnd ? *zEnd : (cur < cnt ? dir[cur].zEnd : 0.0f);
    std::vector<float> keptX;
    if (!isXYXY()) {
        if (x) {
            if (cnt >= 2) return 0;
            if (cnt == 1 && cur == 0) {
                dir.clear();
                commonX.clear();
                scratch.clear();
                cnt = 0;
            }
            if (cnt == 0) {
                commonX.assign(x, x + n);
                XRange r = ScanX(x, n);
                setF64(kFirstX, r.first);
                setF64(kLastX, r.last);
                header[kFlags] |= kFlagXYY;
                x = nullptr;
            } else if (!commonX.empty()) {
                // A second subfile with its own X values: every subfile now carries its X array.
                std::vector<float> oldY;
                if (!ReadValues(0, nullptr, &oldY)) return 0;
                std::vector<float> oldX = commonX;
                oldX.resize(oldY.size(), 0.0f);
                commonX.clear();
                header[kFlags] |= kFlagXYXY | kFlagXYY;
                SubfileEntry& e0 = dir[0];
                e0.flags |= kInMemory;
                if (!writeValues(e0, oldX.data(), oldY.data(), e0.points, false)) return 0;
                XRange r0 = ScanX(oldX.data(), oldX.size());
                e0.firstX = r0.first;
                e0.lastX = r0.last;
                setU32(kPoints, 0);
            } else {
                return 0;
            }
        } else {
            if ((flags() & kFlagXYY) && commonX.empty() && cnt == 0) return 0;
            bool replacingOnly = cnt == 1 && cur == 0;
            if (cnt >= 1 && !replacingOnly && n != u32(kPoints)) return 0;
            if ((flags() & kFlagXYY) && !commonX.empty() && n != commonX.size()) return 0;
        }
    }
    if (isXYXY()) {
        if (cur == cnt) {
            if (!x) return 0;
        } else if (!x) {
            if (n != dir[cur].points) return 0;
            std::vector<float> oldY;
            if (!ReadValues(cur, &keptX, &oldY)) return 0;
            x = keptX.data();
        }
    }

    state |= 0x01;
    largestPoints = std::max(largestPoints, n);
    XRange r;
    if (isXYXY()) {
        r = ScanX(x, n);
        bool first = cnt == 0 || (cnt == 1 && cur == 0);
        if (first) {
            setF64(kFirstX, r.first);
            setF64(kLastX, r.last);
        } else {
            double hf = f64(kFirstX), hl = f64(kLastX);
            if (!(hf > hl)) {
                setF64(kFirstX, std::min<double>(hf, r.first));
                setF64(kLastX, std::max<double>(hl, r.last));
            } else {
                setF64(kFirstX, std::max<double>(hf, r.first));
                setF64(kLastX, std::min<double>(hl, r.last));
            }
        }
    } else {
        setU32(kPoints, n);
        if (!commonX.empty()) r = ScanX(commonX.data(), commonX.size());
    }

    try {
        if (cur == cnt) {
            if (dir.capacity() <= dir.size() + 1) dir.reserve(dir.size() + 8);
            SubfileEntry e;
            if (!writeValues(e, x, y, n, true)) return 0;
            dir.push_back(std::move(e));
            if (pendingZStart && dir.size() == 1 && (!zStart || *zStart == 0)) zs = *pendingZStart;
            if (dir.size() == 1) pendingZStart.reset();
            setU32(kSubfiles, count());
            if (dir.size() >= 2) header[kFlags] |= kFlagMulti;
        } else {
            SubfileEntry& e = dir[cur];
            bool xyxy = isXYXY();
            uint64_t newSize = uint64_t(xyxy ? 2 : 1) * n * 4;
            if (newSize != e.storeSize) {
                e.flags |= kInMemory;
                state |= 0x02;
            }
            if (!writeValues(e, x, y, n, false)) return 0;
        }
    } catch (const std::bad_alloc&) {
        SetLastError(ENOMEM);
        return 0;
    }
    SubfileEntry& e = dir[cur];
    e.zStart = zs;
    e.zEnd = ze;
    e.points = n;
    if (!r.monotonic) e.flags |= kNonMonotonic;
    else e.flags &= ~kNonMonotonic;
    if (isXYXY()) {
        e.firstX = r.first;
        e.lastX = r.last;
    } else {
        e.firstX = static_cast<float>(f64(kFirstX));
        e.lastX = static_cast<float>(f64(kLastX));
    }
    if (dir.size() == 2 && cur == cnt) PutZIncrementType(zIncTypeDefault);
    current = cur + 1;
    return n;
}

bool TARNVIK::AddSubFile(const std::vector<float>& y, const std::vector<float>* x, float zStart, float zEnd) {
    if (y.empty() || y.size() > UINT32_MAX) return false;
    if (x && x->size() != y.size()) return false;
    bool xyyEmpty = (flags() & kFlagXYY) && !isXYXY() && dir.empty();
    bool xyyWithSubfiles = (flags() & kFlagXYY) && !isXYXY() && !dir.empty();
    if (x && !(isXYXY() || xyyEmpty || xyyWithSubfiles)) return false;
    if (!x && (isXYXY() || xyyEmpty)) return false;
    current = count();
    uint32_t stored = Store(&zStart, &zEnd, x ? x->data() : nullptr, y.data(), static_cast<uint32_t>(y.size()));
    if (stored == 0) {
        current = count();
        return false;
    }
    current = count() - 1;
    return true;
}

bool TARNVIK::AddPoints(const std::vector<float>& y, const std::vector<float>* x) {
    if (y.empty() || y.size() > UINT32_MAX) return false;
    if (x && x->size() != y.size()) return false;
    if (x && count() > 1 && !isXYXY()) return false;
    if (!x && (flags() & kFlagXYY)) return false;
    uint32_t keep = current;
    auto n = static_cast<uint32_t>(y.size());
    if (dir.empty()) {
        current = 0;
        uint32_t stored = Store(nullptr, nullptr, x ? x->data() : nullptr, y.data(), n);
        current = 0;
        return stored != 0;
    }
    if (current >= count()) return false;  // the append position names no subfile to extend
    SubfileEntry& e = dir[current];
    uint64_t total = uint64_t(e.points) + n;
    if (total > UINT32_MAX) return false;
    if ((e.flags & kInMemory) && !x && !isXYXY()) {
        try {
            if (e.memory.capacity() < total) {
                e.memory.reserve(std::max<std::size_t>(e.memory.size() + 2 * std::size_t(n), e.memory.size() + 128));
            }
            e.memory.insert(e.memory.end(), y.begin(), y.end());
        } catch (const std::bad_alloc&) {
            SetLastError(ENOMEM);
            return false;
        }
        if (count() > 1 && total != u32(kPoints)) {
            e.memory.resize(e.points);
            return false;
        }
        e.points = static_cast<uint32_t>(total);
        e.storeSize = total * 4;
        setU32(kPoints, e.points);
        largestPoints = std::max(largestPoints, e.points);
        state |= 0x01;
        return true;
    }
    std::vector<float> oldX, oldY;
    if (!ReadValues(current, &oldX, &oldY)) return false;
    oldY.insert(oldY.end(), y.begin(), y.end());
    const float* xs = nullptr;
    if (x) {
        oldX.resize(e.points, 0.0f);
        oldX.insert(oldX.end(), x->begin(), x->end());
        xs = oldX.data();
    }
    uint32_t stored = Store(nullptr, nullptr, xs, oldY.data(), static_cast<uint32_t>(oldY.size()));
    current = keep;
    return stored != 0;
}

bool TARNVIK::YMinMax(double beginX, double endX, float& minY, float& maxY) const {
    minY = maxY = 0;
    if (!HasCurrent()) return false;
    std::vector<float> xs, ys;
    if (!ReadValues(current, &xs, &ys)) return false;
    double lo = std::min(beginX, endX), hi = std::max(beginX, endX);
    std::size_t n = ys.size();
    double first = f64(kFirstX), last = f64(kLastX);
    bool found = false;
    for (std::size_t i = 0; i < n; ++i) {
        double xi = xs.empty() ? (n > 1 ? first + (last - first) * double(i) / double(n - 1) : first) : xs[i];
        if (xi < lo || xi > hi) continue;
        if (!found) {
            minY = maxY = ys[i];
            found = true;
        } else {
            minY = std::min(minY, ys[i]);
            maxY = std::max(maxY, ys[i]);
        }
    }
    return found;
}

}  // namespace spc
