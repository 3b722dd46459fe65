#pragma once
// Webcams through V4L2: the devices /dev/video0 .. /dev/video9 that capture video are the capture
// drivers; libv4l2 converts the camera's own picture format to RGB where it can, MJPEG frames that
// reach us are decoded with libjpeg.
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/frame_source.h"

namespace v4l2cam {

// The calls into a device (libv4l2's by default), replaceable so that tests play a device.
struct TDeviceCalls {
    std::function<int(const std::string& path)> open;  // a descriptor, or -1 with errno
    std::function<int(int fd)> close;
    std::function<int(int fd, unsigned long request, void* arg)> ioctl;
    std::function<ssize_t(int fd, void* buffer, size_t size)> read;
};
TDeviceCalls& DeviceCalls();

class ScopedDeviceCalls {
public:
    explicit ScopedDeviceCalls(TDeviceCalls calls);
    ~ScopedDeviceCalls();
    ScopedDeviceCalls(const ScopedDeviceCalls&) = delete;
    ScopedDeviceCalls& operator=(const ScopedDeviceCalls&) = delete;

private:
    TDeviceCalls previous_;
};

// The path of device n ("/dev/video<n>"); tests move the folder with VAROLUX32_VIDEO_DEVICE_DIR.
std::string DevicePath(int32_t n);

// A picture in one of the formats a camera delivers (RGB24, BGR24, YUYV, MJPEG/JPEG) as a frame;
// raises vx::FileError when the bytes do not make a picture of that size.
TFrame ConvertCameraPicture(uint32_t pixelFormat, int32_t width, int32_t height, uint32_t bytesPerLine,
                            const uint8_t* data, size_t size);

}  // namespace v4l2cam

struct TCaptureDriver {
    int32_t Device = 0;  // n of /dev/video<n>
    std::string Name;     // the card's name
    std::string Version;  // the kernel driver and its version
};

// Every device /dev/video0 .. /dev/video9 that captures video, in device order.
std::vector<TCaptureDriver> CaptureDrivers();
// For each driver a vertical bar, a double quote, the name, " - ", the version and a double quote,
// all appended, with the first and the last character of the whole removed; "" without drivers.
std::string CaptureDriverListText(const std::vector<TCaptureDriver>& drivers);
std::string ListCaptureDrivers();

// Connects capture driver `index` (its position in CaptureDrivers()); raises vx::FileError with a
// clear text when there is no such camera or it cannot deliver pictures.
std::unique_ptr<TFrameSource> ConnectCaptureDriver(int32_t index);
