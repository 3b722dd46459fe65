#include "platform/bmp_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/errors.h"
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

TFrame DecodeBitmap(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') throw vx::FileError("Not a bitmap file.");
    const uint32_t offBits = u32(data + 10);
    const uint32_t headerSize = u32(data + 14);
    if (headerSize < 12 || 14ull + headerSize > size) damaged();
    const uint8_t* h = data + 14;
    int64_t width, height;
    uint32_t bpp, compression = 0, colorsUsed = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {
        width = static_cast<int16_t>(u16(h + 4));
        height = static_cast<int16_t>(u16(h + 6));
        bpp = u16(h + 10);
        paletteEntry = 3;
    } else {
        if (headerSize < 40) damaged();
        width = static_cast<int32_t>(u32(h + 4));
        height = static_cast<int32_t>(u32(h + 8));
        bpp = u16(h + 14);
        compression = u32(h + 16);
        colorsUsed = u32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide) damaged();

    // Masks: in the header from 52 bytes on, else right after a 40-byte header.
    uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
    if (bpp == 16) {
        masks[0] = 0x7C00u;
        masks[1] = 0x03E0u;
        masks[2] = 0x001Fu;
    }
    size_t paletteAt = 14 + headerSize;
    if (compression == 3 || compression == 6) {  // BI_BITFIELDS, BI_ALPHABITFIELDS
        if (bpp != 16 && bpp != 32) unsupported();
        size_t at = headerSize >= 52 ? 14 + 40 : 14 + headerSize;
        if (at + 12 > size) damaged();
        for (int i = 0; i < 3; ++i) masks[i] = u32(data + at + 4 * i);
        if (headerSize < 52) paletteAt += compression == 6 ? 16 : 12;
    } else if (compression != 0) {
        unsupported();
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) unsupported();

    // The palette of the indexed kinds.
    uint8_t palette[256][3] = {};
    uint32_t paletteCount = 0;
    if (bpp <= 8) {
        paletteCount = colorsUsed ? colorsUsed : (1u << bpp);
        if (paletteCount > (1u << bpp)) paletteCount = 1u << bpp;
        // Writers that leave the count at 0 may store a shorter palette: take the entries that are there.
        if (offBits < paletteAt) damaged();
        paletteCount = std::min<uint64_t>(paletteCount, (std::min<uint64_t>(offBits, size) - paletteAt) / paletteEntry);
        for (uint32_t i = 0; i < paletteCount; ++i) {
            const uint8_t* p = data + paletteAt + i * paletteEntry;
            palette[i][0] = p[0];
            palette[i][1] = p[1];
            palette[i][2] = p[2];
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (offBits > size || stride * static_cast<uint64_t>(height) > size - offBits) damaged();

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
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw vx::FileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
    struct stat st {};
    std::string bytes;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<uint64_t>(st.st_size) < (1ull << 31)) {
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    return DecodeBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
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
