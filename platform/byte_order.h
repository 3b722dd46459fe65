#pragma once
// Little- and big-endian reads and writes of fixed-size numbers at a byte pointer.
#include <bit>
#include <cstdint>
#include <cstring>

namespace byteorder {

inline uint16_t getU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint16_t getU16BE(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline int16_t getI16LE(const uint8_t* p) { return static_cast<int16_t>(getU16LE(p)); }
inline int16_t getI16BE(const uint8_t* p) { return static_cast<int16_t>(getU16BE(p)); }
inline uint32_t getU32LE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint32_t getU32BE(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline int32_t getI32LE(const uint8_t* p) { return static_cast<int32_t>(getU32LE(p)); }
inline int32_t getI32BE(const uint8_t* p) { return static_cast<int32_t>(getU32BE(p)); }
inline uint64_t getU64LE(const uint8_t* p) {
    return static_cast<uint64_t>(getU32LE(p)) | (static_cast<uint64_t>(getU32LE(p + 4)) << 32);
}
inline uint64_t getU64BE(const uint8_t* p) {
    return (static_cast<uint64_t>(getU32BE(p)) << 32) | static_cast<uint64_t>(getU32BE(p + 4));
}
inline float getF32LE(const uint8_t* p) { return std::bit_cast<float>(getU32LE(p)); }
inline float getF32BE(const uint8_t* p) { return std::bit_cast<float>(getU32BE(p)); }
inline double getF64LE(const uint8_t* p) { return std::bit_cast<double>(getU64LE(p)); }
inline double getF64BE(const uint8_t* p) { return std::bit_cast<double>(getU64BE(p)); }

inline void putU16LE(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void putU16BE(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline void putU32LE(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void putU32BE(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}
inline void putI16LE(uint8_t* p, int16_t v) { putU16LE(p, static_cast<uint16_t>(v)); }
inline void putI32LE(uint8_t* p, int32_t v) { putU32LE(p, static_cast<uint32_t>(v)); }
inline void putI32BE(uint8_t* p, int32_t v) { putU32BE(p, static_cast<uint32_t>(v)); }
inline void putU64LE(uint8_t* p, uint64_t v) {
    putU32LE(p, static_cast<uint32_t>(v));
    putU32LE(p + 4, static_cast<uint32_t>(v >> 32));
}
inline void putU64BE(uint8_t* p, uint64_t v) {
    putU32BE(p, static_cast<uint32_t>(v >> 32));
    putU32BE(p + 4, static_cast<uint32_t>(v));
}
inline void putF32LE(uint8_t* p, float v) { putU32LE(p, std::bit_cast<uint32_t>(v)); }
inline void putF32BE(uint8_t* p, float v) { putU32BE(p, std::bit_cast<uint32_t>(v)); }
inline void putF64LE(uint8_t* p, double v) { putU64LE(p, std::bit_cast<uint64_t>(v)); }
inline void putF64BE(uint8_t* p, double v) { putU64BE(p, std::bit_cast<uint64_t>(v)); }

}  // namespace byteorder
