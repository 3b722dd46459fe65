#pragma once
// Instrument files for the reader tests, built byte by byte: a growing byte image written at fixed
// offsets, and text files written line by line with CR LF.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/byte_order.h"

namespace fmt_test {

class ByteImage {
public:
    explicit ByteImage(std::size_t size = 0) : b_(size, '\0') {}
    ByteImage& text(std::size_t off, std::string_view s) {
        grow(off + s.size());
        b_.replace(off, s.size(), s);
        return *this;
    }
    ByteImage& u8(std::size_t off, uint8_t v) {
        grow(off + 1);
        b_[off] = static_cast<char>(v);
        return *this;
    }
    ByteImage& u16le(std::size_t off, uint16_t v) { return put(off, 2, [&](uint8_t* p) { byteorder::putU16LE(p, v); }); }
    ByteImage& i32le(std::size_t off, int32_t v) { return put(off, 4, [&](uint8_t* p) { byteorder::putI32LE(p, v); }); }
    ByteImage& f64le(std::size_t off, double v) { return put(off, 8, [&](uint8_t* p) { byteorder::putF64LE(p, v); }); }
    ByteImage& f32be(std::size_t off, float v) { return put(off, 4, [&](uint8_t* p) { byteorder::putF32BE(p, v); }); }
    // Appends at the end.
    ByteImage& add(std::string_view s) { b_ += s; return *this; }
    std::size_t size() const { return b_.size(); }
    void resize(std::size_t n) { b_.resize(n, '\0'); }
    const std::string& str() const { return b_; }

private:
    void grow(std::size_t n) {
        if (b_.size() < n) b_.resize(n, '\0');
    }
    template <class F>
    ByteImage& put(std::size_t off, std::size_t n, F f) {
        grow(off + n);
        f(reinterpret_cast<uint8_t*>(b_.data() + off));
        return *this;
    }
    std::string b_;
};

// Lines joined with CR LF, the last one ended too.
inline std::string crlfLines(std::initializer_list<std::string> lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

}  // namespace fmt_test
