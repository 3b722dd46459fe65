#pragma once
// The in-memory SPC document: the 512-byte header as the one record of all header fields (kept in
// little-endian order), the subfile directory, the common X array, the log areas, the warnings and the
// integrity key. Subfile values live in the scratch store or, for subfiles grown by callers, in memory.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "spclib/scratch_store.h"

namespace spc {

// Header offsets.
enum : std::size_t {
    kFlags = 0, kForm = 1, kTech = 2, kExponent = 3, kPoints = 4, kFirstX = 8, kLastX = 16, kSubfiles = 24,
    kXType = 28, kYType = 29, kZType = 30, kDate = 32, kResolution = 36, kSource = 45, kPeakPoint = 54,
    kSpare = 56, kComment = 88, kCatalog = 218, kLogOffset = 248, kModFlags = 252, kMethod = 264,
    kZIncrement = 312, kWPlanes = 316, kWIncrement = 320, kWType = 324, kVersionTag = 325, kMajorRev = 330,
    kMinorRev = 331, kIntegrity = 332, kHeaderSize = 512, kOldHeaderSize = 224, kSubHeaderSize = 32,
    kLogHeaderSize = 64,
};

// Flags of header byte 0.
enum : uint8_t {
    kFlag16Bit = 0x01, kFlagMulti = 0x04, kFlagZRandom = 0x08, kFlagZOrdered = 0x10, kFlagCustomLabels = 0x20,
    kFlagXYXY = 0x40, kFlagXYY = 0x80,
};

enum FileType : int32_t { kEven = 0, kXYY = 1, kXYXYType = 2 };
enum ZIncType : int32_t { kZNotMulti = -1, kZEven = 0, kZOrdered = 1, kZRandom = 2 };
enum Integrity : uint32_t { kIntegrityFail = 0, kIntegrityKey = 1, kIntegrityNull = 2 };

// Directory entry flags; kInSource: the values are read from the opened file at the store offset.
enum : uint32_t { kInMemory = 0x01, kNonMonotonic = 0x04, kInSource = 0x08 };

struct SubfileEntry {
    uint64_t storeOffset = 0;  // in the scratch store, or in the source file with kInSource
    uint64_t storeSize = 0;  // bytes (XYXY: X and Y)
    float zStart = 0, zEnd = 0;
    uint32_t scans = 0;
    float wValue = 0;
    uint32_t flags = 0;
    uint32_t points = 0;
    float firstX = 0, lastX = 0;
    std::vector<float> memory;  // the values when kInMemory is set (XYXY: X then Y)
};

// Smallest and largest value and whether the values keep one direction.
struct XRange {
    float first = 0, last = 0;  // first/last when monotonic, else smallest/largest
    float min = 0, max = 0;
    bool monotonic = true;
};
XRange ScanX(const float* x, std::size_t n);

class TARNVIK {
public:
    TARNVIK();
    virtual ~TARNVIK();
    TARNVIK(const TARNVIK&) = delete;
    TARNVIK& operator=(const TARNVIK&) = delete;

    // ---- State (kept public: the reader, the writer and both interfaces work on it).
    int16_t warningCount = 0;
    std::array<int16_t, 64> warnings{};
    std::vector<SubfileEntry> dir;
    std::vector<float> commonX;
    uint32_t current = 0;
    uint32_t largestPoints = 0;
    uint32_t state = 0;
    std::array<uint8_t, kHeaderSize> header{};
    std::array<uint8_t, kLogHeaderSize> logHeader{};
    bool hasLogText = false;
    std::string logText;  // without its final NUL
    std::vector<uint8_t> logDisk, logBinary;
    ScratchStore scratch;
    SourceFile source;
    int32_t zIncTypeDefault = kZOrdered;
    std::vector<uint8_t> key;
    uint32_t integrity = kIntegrityFail;
    // Z start of the first subfile, set while the document had none.
    std::optional<float> pendingZStart;

    // ---- Header fields.
    uint8_t u8(std::size_t off) const { return header[off]; }
    void setU8(std::size_t off, uint8_t v) { header[off] = v; }
    uint16_t u16(std::size_t off) const;
    void setU16(std::size_t off, uint16_t v);
    uint32_t u32(std::size_t off) const;
    void setU32(std::size_t off, uint32_t v);
    float f32(std::size_t off) const;
    void setF32(std::size_t off, float v);
    double f64(std::size_t off) const;
    void setF64(std::size_t off, double v);
    uint8_t flags() const { return header[kFlags]; }
    bool isXYXY() const { return flags() & kFlagXYXY; }
    bool hasXArrays() const { return flags() & (kFlagXYXY | kFlagXYY); }
    uint32_t count() const { return static_cast<uint32_t>(dir.size()); }

    void Reset();
    void Create(int32_t fileType);
    void AddWarning(int16_t code);

    int32_t FileTypeOf() const;
    int32_t YPrecision() const;
    int32_t ZIncrementType() const;
    // False when refused (needs a multifile document and 0..2).
    bool PutZIncrementType(int32_t type);
    float ZIncrementValue() const;
    void PutZIncrement(float inc) { setF32(kZIncrement, inc); }
    float ZStartOf(uint32_t i) const;
    float ZEndOf(uint32_t i) const;
    float WValueOf(uint32_t i) const;
    void PutWIncrement(float inc);
    void PutWNumPlanes(int32_t planes);
    double FirstPoint() const;
    double LastPoint() const;

    // ---- Subfiles.
    // Mode 0 sets, 1 adds, 2 counts from the end; results above the count (or below 0) give the count.
    uint32_t Select(int64_t value, int mode);
    uint32_t SelectByZ(double z);
    // Stores the values as the current subfile (appends at the count); the count stored, 0 when refused.
    uint32_t Store(const float* zStart, const float* zEnd, const float* x, const float* y, uint32_t n);
    // The values of subfile i without moving the current index; x stays empty for Even documents.
    bool ReadValues(uint32_t i, std::vector<float>* x, std::vector<float>* y) const;
    // The subfile's point count of Y values, or of X values (the common X array of XYY documents,
    // zeros for Even documents), straight into `out`. False when the store cannot be read (the
    // system's error is the last error).
    bool ReadY(uint32_t i, float* out) const;
    bool ReadX(uint32_t i, float* out) const;
    // `count` of the floats stored for an entry (XYXY: X values, then Y values) from index `first` on.
    bool ReadStored(const SubfileEntry& e, uint64_t first, uint64_t count, float* out) const;
    bool AddSubFile(const std::vector<float>& y, const std::vector<float>* x, float zStart, float zEnd);
    bool AddPoints(const std::vector<float>& y, const std::vector<float>* x);
    // Min and max Y of the current subfile over an X range; false when no point lies inside.
    bool YMinMax(double beginX, double endX, float& minY, float& maxY) const;
    bool HasCurrent() const { return current < count(); }

private:
    bool writeValues(SubfileEntry& e, const float* x, const float* y, uint32_t n, bool append);
};

}  // namespace spc
