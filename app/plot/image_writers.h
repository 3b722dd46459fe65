#pragma once
// Encoders of the plot's bitmap exports (PNG, GIF, TIFF, BMP) from a QImage, and the colour reduction
// of the GIF export. Each encoder returns the file's bytes; writing them is the caller's.
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

namespace plotimage {

// 24-bit RGB, every row filtered with type None, deflate level 7.
QByteArray EncodePng(const QImage& image);
// Little-endian ("II", 42) 24-bit RGB with LZW compression.
QByteArray EncodeTiff(const QImage& image);
// Windows bitmap, 24 bits per pixel, bottom-up rows padded to four bytes.
QByteArray EncodeBmp(const QImage& image);
// GIF87a/89a with the palette of ReduceColors.
QByteArray EncodeGif(const QImage& image);

// The GIF palette: the exact colours when at most 256 occur (in order of first appearance), else a
// 6 x 6 x 6 colour cube. `indices` gets one palette index per pixel, row by row.
struct Palette {
    std::vector<uint32_t> colors;  // 0x00RRGGBB
    std::vector<uint8_t> indices;
    bool exact = true;
};
Palette ReduceColors(const QImage& image);
// The picture the GIF shows after its reduction.
QImage ReducedImage(const QImage& image);

}  // namespace plotimage
