// Any byte string given to the picture readers of the webcam window (bitmap and JPEG files, camera
// frames) ends in a picture of the size it claims or in a file error.
#include <cstddef>
#include <cstdint>

#include <linux/videodev2.h>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/jpeg_file.h"
#include "platform/v4l2_camera.h"

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
    // A camera frame: the first 7 bytes choose the format the device claims, its width and height and
    // its line length; the rest is the picture as delivered.
    if (size >= 7) {
        static constexpr uint32_t kFormats[] = {V4L2_PIX_FMT_RGB24, V4L2_PIX_FMT_BGR24, V4L2_PIX_FMT_YUYV,
                                                V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_NV12};
        const uint32_t format = kFormats[data[0] % 5];
        const int32_t width = static_cast<int16_t>(data[1] | data[2] << 8);
        const int32_t height = static_cast<int16_t>(data[3] | data[4] << 8);
        const uint32_t bytesPerLine = static_cast<uint32_t>(data[5] | data[6] << 8);
        try {
            const TFrame f = v4l2cam::ConvertCameraPicture(format, width, height, bytesPerLine, data + 7, size - 7);
            check(f);
            if (format != V4L2_PIX_FMT_MJPEG && (f.Width != width || f.Height != height)) __builtin_trap();
        } catch (const vx::Error&) {
        }
    }
    return 0;
}
