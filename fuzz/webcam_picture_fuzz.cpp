// Any byte string given to the picture readers of the webcam window (bitmap and JPEG files, camera
// frames) ends in a picture of the size it claims or in a file error.
#include <cstddef>
#include <cstdint>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/jpeg_file.h"

namespace {

void check(const TFrame& f) {
    if (f.Width <= 0 || f.Height <= 0 || f.Bgra.size() != static_cast<size_t>(f.Width) * f.Height * 4) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    try {
        check(DecodeBitmap(data, size));
    } catch (const vx::Error&) {
    }
    try {
        check(DecodeJpeg(data, size));
    } catch (const vx::Error&) {
    }
    return 0;
}
