#pragma once
// One picture from a camera or an image file, as the webcam window works on it: 32 bits a pixel in the
// byte order blue, green, red, unused, rows from the top down.
#include <cstddef>
#include <cstdint>
#include <vector>

struct TFrame {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Bgra;  // Width * Height * 4 bytes

    bool Empty() const { return Width <= 0 || Height <= 0; }
    // Sets the size; every pixel black.
    void Resize(int32_t width, int32_t height);
    uint8_t* Pixel(int32_t x, int32_t y) { return Bgra.data() + (static_cast<size_t>(y) * Width + x) * 4; }
    const uint8_t* Pixel(int32_t x, int32_t y) const {
        return Bgra.data() + (static_cast<size_t>(y) * Width + x) * 4;
    }
    void SetPixel(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = Pixel(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = 0;
    }
};

// The largest picture accepted from a file or a device (both sides), so that a damaged header cannot
// ask for gigabytes.
inline constexpr int32_t kMaxFrameSide = 16384;
