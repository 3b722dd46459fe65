#include "platform/bmp_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/safe_file.h"

namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

[[noreturn]] void damaged() { throw vx::FileError("The bitmap file is damaged."); }
[[noreturn]] void unsupported() { throw vx::FileError("This kind of bitmap file is not supported."); }

// One colour channel given by a bit mask: its shift and width, scaled to 8 bits on reading.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!(m & 1u)) {
            m >>= 1;
            ++shift;
        }
        while (m & 1u) {
            m >>= 1;
            ++bits;
        }
    }
    uint8_t get(uint32_t v) const {
        if (!bits) return 0;
        const uint32_t x = (v & mask) >> shift;
        const uint32_t maxv = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        return static_cast<uint8_t>((static_cast<uint64_t>(x) * 255 + maxv / 2) / maxv);
    }
};

}  // namespace

namespace {

// The largest info header of any bitmap kind (version 5) is 124 bytes; one far beyond that is damage.
constexpr uint32_t kMaxInfoHeader = 4096;

// What the headers say: enough to know where the pixels are and how many bytes they take.
struct Layout {
    uint32_t offBits = 0;
    uint32_t headerSize = 0;
    int64_t width = 0, height = 0;
    bool topDown = false;
    uint32_t bpp = 0, compression = 0, colorsUsed = 0;
    size_t paletteEntry = 4;
    size_t paletteAt = 0;
    uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    uint64_t stride = 0;
    uint64_t pixelBytes() const { return stride * static_cast<uint64_t>(height); }
};

// Reads the file header, the info header and the bit masks from the first bytes of a bitmap file (all
// of them lie within the first 14 + headerSize + 16 bytes).
Layout readLayout(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') throw vx::FileError("Not a bitmap file.");
    Layout l;
    l.offBits = u32(data + 10);
    l.headerSize = u32(data + 14);
    if (l.headerSize < 12 || l.headerSize > kMaxInfoHeader || 14ull + l.headerSize > size) damaged();
    const uint8_t* h = data + 14;
    if (l.headerSize == 12) {
        l.width = static_cast<int16_t>(u16(h + 4));
        l.height = static_cast<int16_t>(u16(h + 6));
        l.bpp = u16(h + 10);
        l.paletteEntry = 3;
    } else {
        if (l.headerSize < 40) damaged();
        l.width = static_cast<int32_t>(u32(h + 4));
        l.height = static_cast<int32_t>(u32(h + 8));
        l.bpp = u16(h + 14);
        l.compression = u32(h + 16);
        l.colorsUsed = u32(h + 32);
    }
    l.topDown = l.height < 0;
    if (l.topDown) l.height = -l.height;
    if (l.width <= 0 || l.height <= 0 || l.width > kMaxFrameSide || l.height > kMaxFrameSide) damaged();

    // Masks: in the header from 52 bytes on, else right after a 40-byte header.
    if (l.bpp == 16) {
        l.masks[0] = 0x7C00u;
        l.masks[1] = 0x03E0u;
        l.masks[2] = 0x001Fu;
    }
    l.paletteAt = 14 + l.headerSize;
    if (l.compression == 3 || l.compression == 6) {  // BI_BITFIELDS, BI_ALPHABITFIELDS
        if (l.bpp != 16 && l.bpp != 32) unsupported();
        size_t at = l.headerSize >= 52 ? 14 + 40 : 14 + l.headerSize;
        if (at + 12 > size) damaged();
        for (int i = 0; i < 3; ++i) l.masks[i] = u32(data + at + 4 * i);
        if (l.headerSize < 52) l.paletteAt += l.compression == 6 ? 16 : 12;
    } else if (l.compression != 0) {
        unsupported();
    }
    if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 && l.bpp != 32) unsupported();
    l.stride = ((static_cast<uint64_t>(l.width) * l.bpp + 31) / 32) * 4;
    return l;
}

}  // namespace

TFrame DecodeBitmap(const uint8_t* data, size_t size) {
    const Layout l = readLayout(data, size);
    const uint32_t offBits = l.offBits;
    const int64_t width = l.width, height = l.height;
    const bool topDown = l.topDown;
    const uint32_t bpp = l.bpp, compression = l.compression;
    const uint32_t* masks = l.masks;

    // The palette of the indexed kinds.
    uint8_t palette[256][3] = {};
    uint32_t paletteCount = 0;
    if (bpp <= 8) {
        paletteCount = l.colorsUsed ? l.colorsUsed : (1u << bpp);
        if (paletteCount > (1u << bpp)) paletteCount = 1u << bpp;
        // Writers that leave the count at 0 may store a shorter palette: take the entries that are there.
        if (offBits < l.paletteAt) damaged();
        paletteCount = std::min<uint64_t>(paletteCount,
                                          (std::min<uint64_t>(offBits, size) - l.paletteAt) / l.paletteEntry);
        for (uint32_t i = 0; i < paletteCount; ++i) {
            const uint8_t* p = data + l.paletteAt + i * l.paletteEntry;
            palette[i][0] = p[0];
            palette[i][1] = p[1];
            palette[i][2] = p[2];
        }
    }

    const uint64_t stride = l.stride;
    if (offBits > size || l.pixelBytes() > size - offBits) damaged();

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    TFrame f;
    f.Resize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    for (int64_t y = 0; y < height; ++y) {
        const int64_t fileRow = topDown ? y : height - 1 - y;
        const uint8_t* row = data + offBits + stride * fileRow;
        uint8_t* out = f.Pixel(0, static_cast<int32_t>(y));
        for (int64_t x = 0; x < width; ++x, out += 4) {
            switch (bpp) {
            case 24:
                out[0] = row[3 * x];
                out[1] = row[3 * x + 1];
                out[2] = row[3 * x + 2];
                break;
            case 32:
                if (compression == 0) {
                    out[0] = row[4 * x];
                    out[1] = row[4 * x + 1];
                    out[2] = row[4 * x + 2];
                } else {
                    const uint32_t v = u32(row + 4 * x);
                    out[0] = blue.get(v);
                    out[1] = green.get(v);
                    out[2] = red.get(v);
                }
                break;
            case 16: {
                const uint32_t v = u16(row + 2 * x);
                out[0] = blue.get(v);
                out[1] = green.get(v);
                out[2] = red.get(v);
                break;
            }
            default: {  // 1, 4, 8 bits: an index into the palette, leftmost pixel in the high bits
                const uint64_t bit = static_cast<uint64_t>(x) * bpp;
                const uint32_t byte = row[bit / 8];
                const uint32_t index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (index < paletteCount) {
                    out[0] = palette[index][0];
                    out[1] = palette[index][1];
                    out[2] = palette[index][2];
                }
                break;
            }
            }
            out[3] = 0;
        }
    }
    return f;
}

TFrame ReadBitmapFile(const std::string& path) {
    const InputFile file = InputFile::OpenOrThrow(path);
    const uint64_t fileSize = file.Size();
    auto readAt = [&](uint64_t offset, uint8_t* dst, size_t n) {
        const long long got = file.ReadAt(offset, dst, n);
        if (got < 0) throw vx::FileError("The bitmap file \"" + path + "\" cannot be read: " + vx::ErrorText(errno));
        return static_cast<size_t>(got);
    };
    // The headers first: the signature, then the picture's size as they declare it. The pixels are read
    // only when the file holds all of them, and nothing past them: a large file that merely carries a
    // picture's name costs no more than its first bytes.
    std::vector<uint8_t> bytes(18);
    bytes.resize(readAt(0, bytes.data(), bytes.size()));
    if (bytes.size() < 18 || bytes[0] != 'B' || bytes[1] != 'M') throw vx::FileError("Not a bitmap file.");
    const uint32_t headerSize = u32(bytes.data() + 14);
    if (headerSize < 12 || headerSize > kMaxInfoHeader) damaged();
    // Headers, bit masks and the largest palette.
    const uint64_t headEnd = std::min<uint64_t>(fileSize, 14ull + headerSize + 16 + 256 * 4);
    bytes.resize(static_cast<size_t>(headEnd));
    bytes.resize(readAt(0, bytes.data(), bytes.size()));
    const Layout l = readLayout(bytes.data(), bytes.size());
    const uint64_t pixels = l.pixelBytes();
    if (l.offBits > fileSize || pixels > fileSize - l.offBits) damaged();
    if (l.offBits <= bytes.size()) {
        bytes.resize(static_cast<size_t>(l.offBits + pixels));
        if (readAt(0, bytes.data(), bytes.size()) != bytes.size()) damaged();
    } else {
        // Pixels stored far behind the headers (behind a colour profile, say): the gap is not read; the
        // pixels follow the headers in memory, and the offset says so.
        const size_t head = bytes.size();
        bytes.resize(head + static_cast<size_t>(pixels));
        if (readAt(l.offBits, bytes.data() + head, static_cast<size_t>(pixels)) != pixels) damaged();
        for (int i = 0; i < 4; ++i) bytes[10 + i] = static_cast<uint8_t>(head >> (8 * i));
    }
    return DecodeBitmap(bytes.data(), bytes.size());
}

std::string EncodeBitmap(const TFrame& frame) {
    const uint32_t stride = ((static_cast<uint32_t>(frame.Width) * 24 + 31) / 32) * 4;
    const uint32_t imageSize = stride * static_cast<uint32_t>(frame.Height);
    std::string out(54 + static_cast<size_t>(imageSize), '\0');
    auto put16 = [&](size_t at, uint16_t v) {
        out[at] = static_cast<char>(v & 0xFF);
        out[at + 1] = static_cast<char>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(frame.Width));
    put32(22, static_cast<uint32_t>(frame.Height));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    put32(38, 3780);  // 96 dpi
    put32(42, 3780);
    for (int32_t y = 0; y < frame.Height; ++y) {
        char* row = out.data() + 54 + static_cast<size_t>(frame.Height - 1 - y) * stride;
        const uint8_t* in = frame.Pixel(0, y);
        for (int32_t x = 0; x < frame.Width; ++x, in += 4) {
            row[3 * x] = static_cast<char>(in[0]);
            row[3 * x + 1] = static_cast<char>(in[1]);
            row[3 * x + 2] = static_cast<char>(in[2]);
        }
    }
    return out;
}

void WriteBitmapFile(const std::string& path, const TFrame& frame) {
    const std::string bytes = EncodeBitmap(frame);
    safefile::WriteFileOrThrow(path, {std::string_view(bytes)});
}
