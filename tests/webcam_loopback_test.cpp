// End to end through a real V4L2 device: a v4l2loopback device is fed known frames from this process,
// and the camera layer lists it, grabs from it and the conversion finds the band where it was drawn.
// Skipped on machines without such a device (the kernel module is not loaded there).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/spectrum_record.h"
#include "platform/errors.h"
#include "platform/frame_source.h"
#include "platform/v4l2_camera.h"
#include "tools/webcam_spectrum.h"

namespace {

constexpr int32_t kWidth = 320, kHeight = 240;

// The first of /dev/video0..9 whose driver is v4l2loopback, -1 when there is none.
int32_t loopbackDevice() {
    for (int32_t n = 0; n < 10; ++n) {
        const int fd = ::open(v4l2cam::DevicePath(n).c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) continue;
        v4l2_capability cap{};
        const bool loop = ::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0 &&
                          std::string(reinterpret_cast<const char*>(cap.driver)).find("loopback") != std::string::npos;
        ::close(fd);
        if (loop) return n;
    }
    return -1;
}

// Writes `frame` as RGB24 to the loopback's output side every 20 ms until stopped.
class Producer {
public:
    Producer(int32_t device, const TFrame& frame) {
        fd_ = ::open(v4l2cam::DevicePath(device).c_str(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) return;
        v4l2_format fmt{};
        fmt.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        fmt.fmt.pix.width = kWidth;
        fmt.fmt.pix.height = kHeight;
        fmt.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
        fmt.fmt.pix.field = V4L2_FIELD_NONE;
        fmt.fmt.pix.bytesperline = kWidth * 3;
        fmt.fmt.pix.sizeimage = kWidth * kHeight * 3;
        if (::ioctl(fd_, VIDIOC_S_FMT, &fmt) < 0) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x) {
                const uint8_t* p = frame.Pixel(x, y);
                bytes_.insert(bytes_.end(), {p[2], p[1], p[0]});
            }
        thread_ = std::thread([this] {
            while (!stop_) {
                if (::write(fd_, bytes_.data(), bytes_.size()) < 0) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~Producer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    bool Running() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::vector<uint8_t> bytes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

TEST(WebcamLoopback, FramesFedToALoopbackDeviceAreGrabbedAndConverted) {
    const int32_t device = loopbackDevice();
    if (device < 0) GTEST_SKIP() << "no v4l2loopback device among /dev/video0..9";

    TSyntheticSettings s;
    s.Width = kWidth;
    s.Height = kHeight;
    s.Pattern = TSyntheticPattern::Band;
    s.BandFirst = 100;
    s.BandLast = 109;
    const TFrame fed = SyntheticFrame(s);
    Producer producer(device, fed);
    ASSERT_TRUE(producer.Running()) << "the loopback device takes no RGB24 frames";

    // The capture side appears once frames flow.
    int32_t index = -1;
    for (int attempt = 0; attempt < 50 && index < 0; ++attempt) {
        const auto drivers = CaptureDrivers();
        for (size_t i = 0; i < drivers.size(); ++i)
            if (drivers[i].Device == device) index = static_cast<int32_t>(i);
        if (index < 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_GE(index, 0) << "the loopback device is not listed as a capture driver";
    EXPECT_NE(ListCaptureDrivers(), "");

    auto camera = ConnectCaptureDriver(index);
    (void)camera->Controls();  // the settings dialog's list: must not fail on a real device
    const TFrame got = camera->Grab();
    ASSERT_EQ(got.Width, kWidth);
    ASSERT_EQ(got.Height, kHeight);
    for (int32_t y = 0; y < kHeight; y += 17)
        for (int32_t x = 0; x < kWidth; x += 7)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(got.Pixel(x, y)[c], fed.Pixel(x, y)[c]) << x << "," << y;

    TSpectrumRecord rec;
    ASSERT_EQ(ImageToSpectrum(rec, got, WholeImage(got), {}, nullptr, nullptr).Status, TConversionStatus::Converted);
    ASSERT_EQ(rec.PointCount(), kWidth);
    const double band = 200.0 * kHeight / (kWidth - 1), dark = 10.0 * kHeight / (kWidth - 1);
    EXPECT_DOUBLE_EQ(rec.Values[100], band);
    EXPECT_DOUBLE_EQ(rec.Values[109], band);
    EXPECT_DOUBLE_EQ(rec.Values[99], dark);
    EXPECT_DOUBLE_EQ(rec.Values[110], dark);
}
