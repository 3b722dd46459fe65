#pragma once
// Instrument files for the reader tests, built byte by byte: a growing byte image written at fixed
// offsets, and text files written line by line with CR LF.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

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

// The text of the error of type E that f raises; "no error" when it raises none.
template <class E, class F>
std::string errorText(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "no error";
}

// ZIP archives, stored or deflated, with the sizes and checksums their entries declare.

struct ZipMember {
    std::string name;
    std::string data;
    bool deflate = true;
    int64_t declaredSize = -1;  // what the entry claims; -1: the true size
    bool badCrc = false;
};

inline std::string deflated(const std::string& in) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, in.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

inline std::string zipArchive(const std::vector<ZipMember>& members) {
    ByteImage file, central;
    std::size_t cd = 0;
    for (const ZipMember& m : members) {
        const std::string body = m.deflate ? deflated(m.data) : m.data;
        uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), uInt(m.data.size())));
        if (m.badCrc) crc ^= 1;
        const uint32_t size = m.declaredSize < 0 ? uint32_t(m.data.size()) : uint32_t(m.declaredSize);
        const std::size_t at = file.size();
        ByteImage local(30);
        local.i32le(0, 0x04034b50).u16le(4, 20).u16le(8, m.deflate ? 8 : 0).i32le(14, int32_t(crc));
        local.i32le(18, int32_t(body.size())).i32le(22, int32_t(size)).u16le(26, uint16_t(m.name.size()));
        file.add(local.str()).add(m.name).add(body);
        ByteImage c(46);
        c.i32le(0, 0x02014b50).u16le(4, 20).u16le(6, 20).u16le(10, m.deflate ? 8 : 0).i32le(16, int32_t(crc));
        c.i32le(20, int32_t(body.size())).i32le(24, int32_t(size)).u16le(28, uint16_t(m.name.size()));
        c.i32le(42, int32_t(at));
        central.add(c.str()).add(m.name);
        ++cd;
    }
    const std::size_t cdOffset = file.size();
    file.add(central.str());
    ByteImage end(22);
    end.i32le(0, 0x06054b50).u16le(8, uint16_t(cd)).u16le(10, uint16_t(cd)).i32le(12, int32_t(central.size()));
    end.i32le(16, int32_t(cdOffset));
    return file.add(end.str()).str();
}

}  // namespace fmt_test
