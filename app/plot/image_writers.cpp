#include "app/plot/image_writers.h"

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "platform/errors.h"

namespace plotimage {

namespace {

QImage Rgb888(const QImage& image) { return image.convertToFormat(QImage::Format_RGB888); }

// ----------------------------------------------------------------------------------------------------- PNG

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}
void PngFlush(png_structp) {}
[[noreturn]] void PngError(png_structp, png_const_charp message) { throw vx::Error(std::string("PNG: ") + message); }
void PngWarning(png_structp, png_const_charp) {}

// ---------------------------------------------------------------------------------------------------- TIFF

struct MemFile {
    QByteArray data;
    toff_t pos = 0;
};

tsize_t TiffRead(thandle_t h, tdata_t buf, tsize_t size) {
    auto* f = static_cast<MemFile*>(h);
    const toff_t avail = f->pos < static_cast<toff_t>(f->data.size()) ? f->data.size() - f->pos : 0;
    const tsize_t n = static_cast<tsize_t>(std::min<toff_t>(avail, static_cast<toff_t>(size)));
    if (n > 0) std::memcpy(buf, f->data.constData() + f->pos, static_cast<std::size_t>(n));
    f->pos += static_cast<toff_t>(n);
    return n;
}
tsize_t TiffWrite(thandle_t h, tdata_t buf, tsize_t size) {
    auto* f = static_cast<MemFile*>(h);
    const toff_t end = f->pos + static_cast<toff_t>(size);
    if (end > static_cast<toff_t>(f->data.size())) f->data.resize(static_cast<qsizetype>(end));
    std::memcpy(f->data.data() + f->pos, buf, static_cast<std::size_t>(size));
    f->pos = end;
    return size;
}
toff_t TiffSeek(thandle_t h, toff_t off, int whence) {
    auto* f = static_cast<MemFile*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR) base = f->pos;
    if (whence == SEEK_END) base = static_cast<toff_t>(f->data.size());
    f->pos = base + off;
    return f->pos;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t h) { return static_cast<toff_t>(static_cast<MemFile*>(h)->data.size()); }
int TiffMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void TiffUnmap(thandle_t, tdata_t, toff_t) {}

// ----------------------------------------------------------------------------------------------------- GIF

int GifWrite(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<QByteArray*>(gif->UserData);
    out->append(reinterpret_cast<const char*>(data), length);
    return length;
}

void Put16(QByteArray& b, uint16_t v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}
void Put32(QByteArray& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray EncodePng(const QImage& image) {
    const QImage rgb = Rgb888(image);
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) throw vx::Error("PNG: out of memory");
    png_infop info = png_create_info_struct(png);
    struct Guard {
        png_structp& p;
        png_infop& i;
        ~Guard() { png_destroy_write_struct(&p, &i); }
    } guard{png, info};
    if (!info) throw vx::Error("PNG: out of memory");
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.width()), static_cast<png_uint_32>(rgb.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 7);
    png_write_info(png, info);
    for (int y = 0; y < rgb.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(reinterpret_cast<const png_byte*>(rgb.constScanLine(y))));
    png_write_end(png, info);
    return out;
}

QByteArray EncodeTiff(const QImage& image) {
    const QImage rgb = Rgb888(image);
    MemFile mem;
    TIFF* tif = TIFFClientOpen("plot.tif", "wl", &mem, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize,
                               TiffMap, TiffUnmap);
    if (!tif) throw vx::Error("TIFF: the image could not be created");
    const uint32_t w = static_cast<uint32_t>(rgb.width()), h = static_cast<uint32_t>(rgb.height());
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    bool ok = true;
    for (uint32_t y = 0; y < h && ok; ++y)
        ok = TIFFWriteScanline(tif, const_cast<uchar*>(rgb.constScanLine(static_cast<int>(y))), y, 0) >= 0;
    TIFFClose(tif);
    if (!ok) throw vx::Error("TIFF: the image could not be written");
    return mem.data;
}

QByteArray EncodeBmp(const QImage& image) {
    const QImage rgb = Rgb888(image);
    const int w = rgb.width(), h = rgb.height();
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    QByteArray b;
    b.reserve(static_cast<qsizetype>(54 + dataSize));
    b.append("BM", 2);
    Put32(b, 54 + dataSize);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);  // BI_RGB
    Put32(b, dataSize);
    Put32(b, 3780);  // 96 dpi in pixels per metre
    Put32(b, 3780);
    Put32(b, 0);
    Put32(b, 0);
    QByteArray row(static_cast<qsizetype>(rowBytes), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const uchar* src = rgb.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<char>(src[3 * x + 2]);
            row[3 * x + 1] = static_cast<char>(src[3 * x + 1]);
            row[3 * x + 2] = static_cast<char>(src[3 * x]);
        }
        b.append(row);
    }
    return b;
}

Palette ReduceColors(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    Palette pal;
    pal.indices.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::unordered_map<uint32_t, uint8_t> index;
    std::size_t k = 0;
    for (int y = 0; y < h && pal.exact; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t c = line[x] & 0xFFFFFF;
            auto it = index.find(c);
            if (it == index.end()) {
                if (pal.colors.size() == 256) {
                    pal.exact = false;
                    break;
                }
                it = index.emplace(c, static_cast<uint8_t>(pal.colors.size())).first;
                pal.colors.push_back(c);
            }
            pal.indices[k++] = it->second;
        }
    }
    if (pal.exact) return pal;
    pal.colors.clear();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.colors.push_back(static_cast<uint32_t>((r * 51) << 16 | (g * 51) << 8 | (b * 51)));
    k = 0;
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t c = line[x];
            const int r = (((c >> 16) & 0xFF) * 5 + 127) / 255;
            const int g = (((c >> 8) & 0xFF) * 5 + 127) / 255;
            const int b = ((c & 0xFF) * 5 + 127) / 255;
            pal.indices[k++] = static_cast<uint8_t>(r * 36 + g * 6 + b);
        }
    }
    return pal;
}

QImage ReducedImage(const QImage& image) {
    const Palette pal = ReduceColors(image);
    QImage out(image.size(), QImage::Format_RGB32);
    std::size_t k = 0;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) line[x] = 0xFF000000u | pal.colors[pal.indices[k++]];
    }
    return out;
}

QByteArray EncodeGif(const QImage& image) {
    const Palette pal = ReduceColors(image);
    int bits = 1;
    while ((1 << bits) < static_cast<int>(pal.colors.size())) ++bits;
    std::vector<GifColorType> colors(static_cast<std::size_t>(1) << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < pal.colors.size(); ++i) {
        colors[i].Red = static_cast<GifByteType>(pal.colors[i] >> 16);
        colors[i].Green = static_cast<GifByteType>(pal.colors[i] >> 8);
        colors[i].Blue = static_cast<GifByteType>(pal.colors[i]);
    }
    QByteArray out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &err);
    if (!gif) throw vx::Error(std::string("GIF: ") + GifErrorString(err));
    ColorMapObject* map = GifMakeMapObject(1 << bits, colors.data());
    const int w = image.width(), h = image.height();
    bool ok = map && EGifPutScreenDesc(gif, w, h, bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; y < h && ok; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(pal.indices.data() + static_cast<std::size_t>(y) * w), w) == GIF_OK;
    const int code = gif->Error;
    GifFreeMapObject(map);
    EGifCloseFile(gif, &err);
    if (!ok) throw vx::Error(std::string("GIF: ") + GifErrorString(code ? code : err));
    return out;
}

}  // namespace plotimage
