#include "platform/v4l2_camera.h"

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/errors.h"
#include "platform/jpeg_file.h"

namespace v4l2cam {

TDeviceCalls& DeviceCalls() {
    static TDeviceCalls calls{
        [](const std::string& path) { return v4l2_open(path.c_str(), O_RDWR | O_CLOEXEC); },
        [](int fd) { return v4l2_close(fd); },
        [](int fd, unsigned long request, void* arg) { return v4l2_ioctl(fd, request, arg); },
        [](int fd, void* buffer, size_t size) { return v4l2_read(fd, buffer, size); },
    };
    return calls;
}

ScopedDeviceCalls::ScopedDeviceCalls(TDeviceCalls calls) : previous_(DeviceCalls()) {
    DeviceCalls() = std::move(calls);
}
ScopedDeviceCalls::~ScopedDeviceCalls() { DeviceCalls() = std::move(previous_); }

std::string DevicePath(int32_t n) {
    std::string dir = "/dev";
    if (const char* d = std::getenv("VAROLUX32_VIDEO_DEVICE_DIR"); d && *d) dir = d;
    return dir + "/video" + std::to_string(n);
}

namespace {

uint8_t clip(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// ITU-R BT.601 with the studio range, as cameras deliver it.
void yuvToBgr(int y, int u, int v, uint8_t* out) {
    const int c = y - 16, d = u - 128, e = v - 128;
    out[2] = clip((298 * c + 409 * e + 128) >> 8);
    out[1] = clip((298 * c - 100 * d - 208 * e + 128) >> 8);
    out[0] = clip((298 * c + 516 * d + 128) >> 8);
    out[3] = 0;
}

int xioctl(int fd, unsigned long request, void* arg) {
    int r;
    do r = DeviceCalls().ioctl(fd, request, arg);
    while (r < 0 && errno == EINTR);
    return r;
}

// An open device, closed with this object.
class Device {
public:
    explicit Device(const std::string& path) : fd_(DeviceCalls().open(path)) {}
    ~Device() {
        if (fd_ >= 0) DeviceCalls().close(fd_);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool queryCapture(int fd, v4l2_capability& cap) {
    std::memset(&cap, 0, sizeof cap);
    if (xioctl(fd, VIDIOC_QUERYCAP, &cap) < 0) return false;
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    return (caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & (V4L2_CAP_READWRITE | V4L2_CAP_STREAMING));
}

std::string fixedText(const uint8_t* s, size_t n) {
    return std::string(reinterpret_cast<const char*>(s), strnlen(reinterpret_cast<const char*>(s), n));
}

class CameraSource : public TFrameSource {
public:
    CameraSource(std::unique_ptr<Device> dev, std::string name, v4l2_format fmt)
        : dev_(std::move(dev)), name_(std::move(name)), fmt_(fmt) {
        const v4l2_pix_format& p = fmt.fmt.pix;
        // Some drivers leave the sizes of compressed formats at 0: room for an uncompressed picture then.
        buffer_.resize(std::max({static_cast<size_t>(p.sizeimage), static_cast<size_t>(p.bytesperline) * p.height,
                                 static_cast<size_t>(p.width) * p.height * 3, size_t{1} << 16}));
    }
    std::string Name() const override { return name_; }

    TFrame Grab() override {
        ssize_t n = -1;
        for (int attempt = 0; attempt < 50; ++attempt) {
            n = DeviceCalls().read(dev_->fd(), buffer_.data(), buffer_.size());
            if (n >= 0 || (errno != EINTR && errno != EAGAIN)) break;
        }
        if (n <= 0)
            throw vx::FileError(std::string("The webcam delivered no picture: ") +
                                (n < 0 ? std::strerror(errno) : "no data"));
        const v4l2_pix_format& p = fmt_.fmt.pix;
        return ConvertCameraPicture(p.pixelformat, static_cast<int32_t>(p.width), static_cast<int32_t>(p.height),
                                    p.bytesperline, buffer_.data(), static_cast<size_t>(n));
    }

    std::vector<TCameraControl> Controls() override {
        std::vector<TCameraControl> out;
        v4l2_queryctrl q{};
        q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        for (int guard = 0; guard < 1000 && xioctl(dev_->fd(), VIDIOC_QUERYCTRL, &q) == 0; ++guard) {
            const uint32_t id = q.id;
            if (!(q.flags & V4L2_CTRL_FLAG_DISABLED)) add(out, q);
            std::memset(&q, 0, sizeof q);
            q.id = id | V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        return out;
    }

    void SetControl(uint32_t id, int32_t value) override {
        v4l2_control c{};
        c.id = id;
        c.value = value;
        if (xioctl(dev_->fd(), VIDIOC_S_CTRL, &c) < 0)
            throw vx::FileError(std::string("The webcam refuses this setting: ") + std::strerror(errno));
    }

private:
    void add(std::vector<TCameraControl>& out, const v4l2_queryctrl& q) {
        TCameraControl c;
        switch (q.type) {
        case V4L2_CTRL_TYPE_INTEGER: c.Type = TCameraControl::TType::Integer; break;
        case V4L2_CTRL_TYPE_BOOLEAN: c.Type = TCameraControl::TType::Boolean; break;
        case V4L2_CTRL_TYPE_MENU:
        case V4L2_CTRL_TYPE_INTEGER_MENU: c.Type = TCameraControl::TType::Menu; break;
        case V4L2_CTRL_TYPE_BUTTON: c.Type = TCameraControl::TType::Button; break;
        default: return;  // classes, strings and compound controls have no place in the dialog
        }
        c.Id = q.id;
        c.Name = fixedText(q.name, sizeof q.name);
        c.Minimum = q.minimum;
        c.Maximum = q.maximum;
        c.Step = q.step > 0 ? q.step : 1;
        c.Default = q.default_value;
        c.Value = q.default_value;
        if (c.Type != TCameraControl::TType::Button && !(q.flags & V4L2_CTRL_FLAG_WRITE_ONLY)) {
            v4l2_control v{};
            v.id = q.id;
            if (xioctl(dev_->fd(), VIDIOC_G_CTRL, &v) == 0) c.Value = v.value;
        }
        if (c.Type == TCameraControl::TType::Menu) {
            for (int64_t i = q.minimum; i <= q.maximum && i - q.minimum < 256; ++i) {
                v4l2_querymenu m{};
                m.id = q.id;
                m.index = static_cast<uint32_t>(i);
                if (xioctl(dev_->fd(), VIDIOC_QUERYMENU, &m) < 0) continue;
                c.MenuItems.emplace_back(static_cast<int32_t>(i),
                                         q.type == V4L2_CTRL_TYPE_MENU ? fixedText(m.name, sizeof m.name)
                                                                       : std::to_string(m.value));
            }
        }
        out.push_back(std::move(c));
    }

    std::unique_ptr<Device> dev_;
    std::string name_;
    v4l2_format fmt_;
    std::vector<uint8_t> buffer_;
};

}  // namespace

TFrame ConvertCameraPicture(uint32_t pixelFormat, int32_t width, int32_t height, uint32_t bytesPerLine,
                            const uint8_t* data, size_t size) {
    if (pixelFormat == V4L2_PIX_FMT_MJPEG || pixelFormat == V4L2_PIX_FMT_JPEG) return DecodeJpeg(data, size);
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide)
        throw vx::FileError("The webcam's picture size is out of range.");
    const uint32_t bytesPerPixel = pixelFormat == V4L2_PIX_FMT_YUYV ? 2 : 3;
    if (pixelFormat != V4L2_PIX_FMT_RGB24 && pixelFormat != V4L2_PIX_FMT_BGR24 && pixelFormat != V4L2_PIX_FMT_YUYV)
        throw vx::FileError("The webcam's picture format is not supported.");
    const uint64_t line = std::max<uint64_t>(bytesPerLine, static_cast<uint64_t>(width) * bytesPerPixel);
    if (line * (height - 1) + static_cast<uint64_t>(width) * bytesPerPixel > size)
        throw vx::FileError("The webcam delivered an incomplete picture.");
    TFrame f;
    f.Resize(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = data + line * y;
        uint8_t* out = f.Pixel(0, y);
        if (pixelFormat == V4L2_PIX_FMT_YUYV) {
            for (int32_t x = 0; x + 1 < width; x += 2, in += 4, out += 8) {
                yuvToBgr(in[0], in[1], in[3], out);
                yuvToBgr(in[2], in[1], in[3], out + 4);
            }
            if (width % 2) yuvToBgr(in[0], in[1], 128, out);  // the last pixel of an odd row has no V of its own
        } else {
            const bool rgb = pixelFormat == V4L2_PIX_FMT_RGB24;
            for (int32_t x = 0; x < width; ++x, in += 3, out += 4) {
                out[0] = rgb ? in[2] : in[0];
                out[1] = in[1];
                out[2] = rgb ? in[0] : in[2];
                out[3] = 0;
            }
        }
    }
    return f;
}

}  // namespace v4l2cam

std::vector<TCaptureDriver> CaptureDrivers() {
    std::vector<TCaptureDriver> out;
    for (int32_t n = 0; n < 10; ++n) {
        v4l2cam::Device dev(v4l2cam::DevicePath(n));
        if (dev.fd() < 0) continue;
        v4l2_capability cap;
        if (!v4l2cam::queryCapture(dev.fd(), cap)) continue;
        TCaptureDriver d;
        d.Device = n;
        d.Name = v4l2cam::fixedText(cap.card, sizeof cap.card);
        d.Version = v4l2cam::fixedText(cap.driver, sizeof cap.driver) + " " + std::to_string(cap.version >> 16) + "." +
                    std::to_string((cap.version >> 8) & 0xFF) + "." + std::to_string(cap.version & 0xFF);
        out.push_back(std::move(d));
    }
    return out;
}

std::string CaptureDriverListText(const std::vector<TCaptureDriver>& drivers) {
    std::string s;
    for (const auto& d : drivers) s += "|\"" + d.Name + " - " + d.Version + "\"";
    if (s.size() < 2) return "";
    return s.substr(1, s.size() - 2);
}

std::string ListCaptureDrivers() { return CaptureDriverListText(CaptureDrivers()); }

std::unique_ptr<TFrameSource> ConnectCaptureDriver(int32_t index) {
    const auto drivers = CaptureDrivers();
    if (index < 0 || index >= static_cast<int32_t>(drivers.size()))
        throw vx::FileError("No webcam found (no video capture device /dev/video0 .. /dev/video9).");
    const TCaptureDriver& d = drivers[index];
    const std::string path = v4l2cam::DevicePath(d.Device);
    auto dev = std::make_unique<v4l2cam::Device>(path);
    v4l2_capability cap;
    if (dev->fd() < 0 || !v4l2cam::queryCapture(dev->fd(), cap))
        throw vx::FileError("The webcam " + path + " cannot be opened: " + std::strerror(errno));
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (v4l2cam::xioctl(dev->fd(), VIDIOC_G_FMT, &fmt) < 0)
        throw vx::FileError("The webcam " + path + " gives no picture format: " + std::strerror(errno));
    // RGB from libv4l2's conversion; what the camera keeps instead is converted here.
    fmt.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    if (v4l2cam::xioctl(dev->fd(), VIDIOC_S_FMT, &fmt) < 0 && v4l2cam::xioctl(dev->fd(), VIDIOC_G_FMT, &fmt) < 0)
        throw vx::FileError("The webcam " + path + " takes no picture format: " + std::strerror(errno));
    const uint32_t pf = fmt.fmt.pix.pixelformat;
    if (pf != V4L2_PIX_FMT_RGB24 && pf != V4L2_PIX_FMT_BGR24 && pf != V4L2_PIX_FMT_YUYV && pf != V4L2_PIX_FMT_MJPEG &&
        pf != V4L2_PIX_FMT_JPEG)
        throw vx::FileError("The webcam " + path + " delivers a picture format that is not supported.");
    return std::make_unique<v4l2cam::CameraSource>(std::move(dev), d.Name + " - " + d.Version, fmt);
}
