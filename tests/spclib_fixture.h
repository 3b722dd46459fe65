#pragma once
// Builds SPC images byte by byte for the tests, in either byte order.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct SpcBytes {
    std::vector<uint8_t> b;
    bool big = false;

    explicit SpcBytes(std::size_t size = 0, bool bigEndian = false) : b(size, 0), big(bigEndian) {}
    void grow(std::size_t end) {
        if (b.size() < end) b.resize(end, 0);
    }
    void u8(std::size_t off, uint8_t v) {
        grow(off + 1);
        b[off] = v;
    }
    void u16(std::size_t off, uint16_t v) {
        grow(off + 2);
        for (int i = 0; i < 2; ++i) b[off + (big ? 1 - i : i)] = static_cast<uint8_t>(v >> (8 * i));
    }
    void u32(std::size_t off, uint32_t v) {
        grow(off + 4);
        for (int i = 0; i < 4; ++i) b[off + (big ? 3 - i : i)] = static_cast<uint8_t>(v >> (8 * i));
    }
    void u64(std::size_t off, uint64_t v) {
        grow(off + 8);
        for (int i = 0; i < 8; ++i) b[off + (big ? 7 - i : i)] = static_cast<uint8_t>(v >> (8 * i));
    }
    void f32(std::size_t off, float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        u32(off, u);
    }
    void f64(std::size_t off, double v) {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        u64(off, u);
    }
    void text(std::size_t off, const std::string& s) {
        grow(off + s.size());
        std::memcpy(b.data() + off, s.data(), s.size());
    }
    uint32_t getU32(std::size_t off) const {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(b[off + (big ? 3 - i : i)]) << (8 * i);
        return v;
    }
    float getF32(std::size_t off) const {
        uint32_t u = getU32(off);
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    double getF64(std::size_t off) const {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= uint64_t(b[off + (big ? 7 - i : i)]) << (8 * i);
        double d;
        std::memcpy(&d, &v, 8);
        return d;
    }
};

// A new-form header: form byte, flags, points, first/last X, subfile count, float Y (exponent 0x80).
inline SpcBytes NewFormHeader(char form, uint8_t flags, uint32_t points, double first, double last, uint32_t nsub) {
    SpcBytes s(512, form == 'L');
    s.u8(0, flags);
    s.u8(1, static_cast<uint8_t>(form));
    s.u8(3, 0x80);
    s.u32(4, points);
    s.f64(8, first);
    s.f64(16, last);
    s.u32(24, nsub);
    return s;
}

// Appends a subfile header (and nothing else) at the end; returns its offset.
inline std::size_t AddSubHeader(SpcBytes& s, uint16_t index, float zStart, float zEnd, uint32_t points = 0,
                                uint8_t exponent = 0x80) {
    std::size_t off = s.b.size();
    s.grow(off + 32);
    s.u8(off + 1, exponent);
    s.u16(off + 2, index);
    s.f32(off + 4, zStart);
    s.f32(off + 8, zEnd);
    s.u32(off + 16, points);
    return off;
}

inline void AppendFloats(SpcBytes& s, const std::vector<float>& v) {
    std::size_t off = s.b.size();
    for (std::size_t i = 0; i < v.size(); ++i) s.f32(off + 4 * i, v[i]);
}
