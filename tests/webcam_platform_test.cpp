// Pictures and frame sources of the webcam window: bitmap and JPEG files, the V4L2 layer played by a
// fake device, the synthetic source and the folder for files written beside the program.
#include <gtest/gtest.h>

#include <linux/videodev2.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include <jpeglib.h>

#include "platform/bmp_file.h"
#include "platform/data_folder.h"
#include "platform/errors.h"
#include "platform/frame_source.h"
#include "platform/jpeg_file.h"
#include "platform/scratch_file.h"
#include "platform/v4l2_camera.h"
#include "tests/fault_injection.h"

namespace {

namespace fs = std::filesystem;

fs::path tempDir(const std::string& name) {
    fs::path d = fs::temp_directory_path() / ("vx_webcam_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

TFrame patternFrame(int32_t w, int32_t h) {
    TFrame f;
    f.Resize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            f.SetPixel(x, y, static_cast<uint8_t>(x * 40 + y), static_cast<uint8_t>(y * 50), static_cast<uint8_t>(255 - x));
    return f;
}

void expectSame(const TFrame& a, const TFrame& b) {
    ASSERT_EQ(a.Width, b.Width);
    ASSERT_EQ(a.Height, b.Height);
    for (int32_t y = 0; y < a.Height; ++y)
        for (int32_t x = 0; x < a.Width; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(a.Pixel(x, y)[c], b.Pixel(x, y)[c]) << x << "," << y << " ch " << c;
}

// A bitmap file built field by field: header size, bits, compression, height sign, palette, rows.
std::string bitmapBytes(int32_t width, int32_t height, uint16_t bpp, uint32_t compression,
                        const std::string& palette, const std::string& pixels, uint32_t headerSize = 40) {
    std::string h(14 + headerSize, '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) h[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    h[0] = 'B';
    h[1] = 'M';
    put(10, static_cast<uint32_t>(h.size() + palette.size()), 4);
    put(14, headerSize, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bpp, 2);
    put(30, compression, 4);
    std::string all = h + palette + pixels;
    put(2, static_cast<uint32_t>(all.size()), 4);
    all.replace(0, 14, h.substr(0, 14));
    return all;
}

TFrame decode(const std::string& bytes) {
    return DecodeBitmap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string errorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const vx::FileError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(WebcamBitmap, RoundTripKeepsEveryPixelWithRowPadding) {
    for (int32_t w : {1, 3, 5, 8}) {
        const TFrame f = patternFrame(w, 3);
        const std::string bytes = EncodeBitmap(f);
        // 24 bits, rows padded to 4 bytes.
        EXPECT_EQ(bytes.size(), 54u + ((w * 3 + 3) / 4 * 4) * 3u);
        expectSame(decode(bytes), f);
    }
}

TEST(WebcamBitmap, ReadsPaletteTopDownAndBitFieldPictures) {
    // 8 bits with a palette of two entries, bottom-up: the first file row is the lowest picture row.
    const std::string pal8 = std::string("\x10\x20\x30\0\x40\x50\x60\0", 8);
    TFrame f = decode(bitmapBytes(2, 2, 8, 0, pal8, std::string("\x00\x01\0\0\x01\x00\0\0", 8)));
    EXPECT_EQ(f.Pixel(0, 1)[2], 0x30);  // bottom-left: index 0, red byte third
    EXPECT_EQ(f.Pixel(0, 0)[2], 0x60);  // top-left: index 1
    // 1 bit a pixel, the leftmost pixel in the high bit.
    const std::string pal1 = std::string("\0\0\0\0\xFF\xFF\xFF\0", 8);
    f = decode(bitmapBytes(3, 1, 1, 0, pal1, std::string("\xA0\0\0\0", 4)));
    EXPECT_EQ(f.Pixel(0, 0)[0], 0xFF);
    EXPECT_EQ(f.Pixel(1, 0)[0], 0x00);
    EXPECT_EQ(f.Pixel(2, 0)[0], 0xFF);
    // 32 bits top-down (negative height).
    f = decode(bitmapBytes(1, -2, 32, 0, "", std::string("\x01\x02\x03\0\x04\x05\x06\0", 8)));
    EXPECT_EQ(f.Pixel(0, 0)[0], 1);
    EXPECT_EQ(f.Pixel(0, 1)[2], 6);
    // 16 bits, 5-6-5 masks after a 40-byte header.
    const std::string masks = std::string("\x00\xF8\0\0\xE0\x07\0\0\x1F\0\0\0", 12);
    f = decode(bitmapBytes(1, 1, 16, 3, masks, std::string("\x1F\xF8\0\0", 4)));  // red and blue full
    EXPECT_EQ(f.Pixel(0, 0)[2], 255);
    EXPECT_EQ(f.Pixel(0, 0)[1], 0);
    EXPECT_EQ(f.Pixel(0, 0)[0], 255);
}

TEST(WebcamBitmap, DamagedOrUnsupportedFilesGiveClearErrors) {
    const std::string good = EncodeBitmap(patternFrame(4, 4));
    struct Case {
        std::string bytes;
        const char* text;
    };
    std::string huge = good;
    huge[18] = '\xFF';
    huge[19] = '\xFF';
    huge[20] = '\xFF';
    huge[21] = '\x7F';  // width 2^31 - 1
    std::string headerPastEnd = good.substr(0, 30);
    std::string badOffset = good;
    badOffset[10] = '\xFF';
    badOffset[13] = '\x7F';
    const Case cases[] = {
        {"", "Not a bitmap file."},
        {"PK" + good.substr(2), "Not a bitmap file."},
        {good.substr(0, good.size() - 1), "The bitmap file is damaged."},
        {huge, "The bitmap file is damaged."},
        {headerPastEnd, "The bitmap file is damaged."},
        {badOffset, "The bitmap file is damaged."},
        {bitmapBytes(2, 2, 8, 1, std::string(8, '\0'), std::string(8, '\0')),
         "This kind of bitmap file is not supported."},  // RLE
        {bitmapBytes(2, 2, 2, 0, std::string(16, '\0'), std::string(8, '\0')),
         "This kind of bitmap file is not supported."},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf([&] { decode(c.bytes); }), c.text) << c.text;
    EXPECT_NE(errorOf([] { ReadBitmapFile("/nonexistent/cam.bmp"); }).find("Cannot open file"), std::string::npos);
}

namespace {

std::string encodeJpeg(const TFrame& f, int components) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(f.Width);
    c.image_height = static_cast<JDIMENSION>(f.Height);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(f.Width) * components);
    while (c.next_scanline < c.image_height) {
        const uint8_t* p = f.Pixel(0, static_cast<int32_t>(c.next_scanline));
        for (int32_t x = 0; x < f.Width; ++x)
            for (int k = 0; k < components; ++k) row[x * components + k] = p[4 * x + (components == 1 ? 1 : 2 - k)];
        JSAMPROW r[1] = {row.data()};
        jpeg_write_scanlines(&c, r, 1);
    }
    jpeg_finish_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

TFrame smoothFrame(int32_t w, int32_t h) {
    TFrame f;
    f.Resize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) f.SetPixel(x, y, static_cast<uint8_t>(x * 4), 128, static_cast<uint8_t>(200 - y * 2));
    return f;
}

}  // namespace

TEST(WebcamJpeg, ColourAndGreyPicturesDecodeCloseToTheirSource) {
    const TFrame f = smoothFrame(48, 32);
    for (int comps : {3, 1}) {
        const std::string j = encodeJpeg(f, comps);
        const TFrame d = DecodeJpeg(reinterpret_cast<const uint8_t*>(j.data()), j.size());
        ASSERT_EQ(d.Width, 48);
        ASSERT_EQ(d.Height, 32);
        for (int32_t y = 4; y < 28; y += 7)
            for (int32_t x = 4; x < 44; x += 9) {
                if (comps == 3) {
                    EXPECT_NEAR(d.Pixel(x, y)[2], f.Pixel(x, y)[2], 6);
                    EXPECT_NEAR(d.Pixel(x, y)[0], f.Pixel(x, y)[0], 6);
                }
                EXPECT_NEAR(d.Pixel(x, y)[1], f.Pixel(x, y)[1], 6);
            }
    }
}

TEST(WebcamJpeg, FileToBitmapAndDamagedPictures) {
    const fs::path dir = tempDir("jpeg");
    const std::string j = encodeJpeg(smoothFrame(20, 10), 3);
    std::ofstream((dir / "s.jpg").string(), std::ios::binary) << j;
    JpegFileToBitmap((dir / "cam.bmp").string(), (dir / "s.jpg").string());
    const TFrame b = ReadBitmapFile((dir / "cam.bmp").string());
    EXPECT_EQ(b.Width, 20);
    EXPECT_EQ(b.Height, 10);
    // A cut picture never crashes: libjpeg fills the rest or the reader names the fault.
    for (size_t cut : {size_t{2}, size_t{20}, j.size() / 2}) {
        try {
            const TFrame d = DecodeJpeg(reinterpret_cast<const uint8_t*>(j.data()), cut);
            EXPECT_EQ(d.Width, 20);
        } catch (const vx::FileError& e) {
            EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(errorOf([] { DecodeJpeg(reinterpret_cast<const uint8_t*>("BM.."), 4); }), "Not a JPEG picture.");
    fs::remove_all(dir);
}

TEST(WebcamSources, ImageFileSourceReadsByExtensionAndSyntheticPatternsAreKnown) {
    const fs::path dir = tempDir("src");
    const TFrame f = patternFrame(6, 4);
    WriteBitmapFile((dir / "a.BMP").string(), f);
    auto src = MakeImageFileSource((dir / "a.BMP").string());
    expectSame(src->Grab(), f);
    EXPECT_EQ(src->Name(), "a.BMP");
    std::ofstream((dir / "b.JPG").string(), std::ios::binary) << encodeJpeg(smoothFrame(8, 8), 3);
    EXPECT_EQ(MakeImageFileSource((dir / "b.JPG").string())->Grab().Width, 8);

    TSyntheticSettings s;
    s.Width = 11;
    s.Height = 3;
    s.Pattern = TSyntheticPattern::GreyRamp;
    TFrame g = SyntheticFrame(s);
    EXPECT_EQ(g.Pixel(0, 0)[1], 0);
    EXPECT_EQ(g.Pixel(5, 2)[1], 127);  // 255 * 5 / 10
    EXPECT_EQ(g.Pixel(10, 1)[0], 255);
    s.Pattern = TSyntheticPattern::Band;
    s.BandFirst = 3;
    s.BandLast = 4;
    g = SyntheticFrame(s);
    EXPECT_EQ(g.Pixel(2, 0)[2], 10);
    EXPECT_EQ(g.Pixel(3, 0)[2], 200);
    EXPECT_EQ(g.Pixel(5, 0)[2], 10);

    // The synthetic source's controls change its pictures.
    auto syn = MakeSyntheticSource(s);
    auto controls = syn->Controls();
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0].Name, "Brightness");
    EXPECT_EQ(controls[1].MenuItems.size(), 4u);
    syn->SetControl(kSyntheticBrightnessId, 64);
    EXPECT_EQ(syn->Grab().Pixel(3, 0)[1], 100);
    syn->SetControl(kSyntheticPatternId, static_cast<int32_t>(TSyntheticPattern::White));
    EXPECT_EQ(syn->Grab().Pixel(0, 0)[1], 127);  // white at half brightness
    EXPECT_THROW(syn->SetControl(kSyntheticBrightnessId, 300), vx::FileError);

    // A grab is written as a bitmap file.
    WriteBitmapFile((dir / "cam.bmp").string(), syn->Grab());
    EXPECT_EQ(ReadBitmapFile((dir / "cam.bmp").string()).Width, 11);
    fs::remove_all(dir);
}

TEST(WebcamDriverList, TextRuleDropsTheFirstAndLastCharacter) {
    EXPECT_EQ(CaptureDriverListText({}), "");
    EXPECT_EQ(CaptureDriverListText({{0, "Cam", "uvcvideo 6.1.0"}}), "\"Cam - uvcvideo 6.1.0");
    EXPECT_EQ(CaptureDriverListText({{0, "A", "1"}, {3, "B", "2"}}), "\"A - 1\"|\"B - 2");
}

namespace {

// A fake V4L2 world: device n answers as configured.
struct FakeDevice {
    bool exists = true;
    uint32_t caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::string card = "Cam";
    uint32_t pixelFormat = V4L2_PIX_FMT_RGB24;  // what S_FMT leaves
    uint32_t width = 4, height = 2;
    std::string picture;  // what read gives
    std::map<uint32_t, int32_t> values;
};

struct FakeWorld {
    std::map<int, FakeDevice> devices;  // by n
    int opened = 0;
    v4l2cam::TDeviceCalls calls() {
        v4l2cam::TDeviceCalls c;
        c.open = [this](const std::string& path) {
            const int n = std::atoi(path.substr(path.find("video") + 5).c_str());
            auto it = devices.find(n);
            if (it == devices.end() || !it->second.exists) {
                errno = ENOENT;
                return -1;
            }
            ++opened;
            return 100 + n;
        };
        c.close = [this](int) {
            --opened;
            return 0;
        };
        c.ioctl = [this](int fd, unsigned long req, void* arg) -> int {
            FakeDevice& d = devices[fd - 100];
            switch (req) {
            case VIDIOC_QUERYCAP: {
                auto* cap = static_cast<v4l2_capability*>(arg);
                std::snprintf(reinterpret_cast<char*>(cap->card), sizeof cap->card, "%s", d.card.c_str());
                std::snprintf(reinterpret_cast<char*>(cap->driver), sizeof cap->driver, "fake");
                cap->version = (6 << 16) | (1 << 8) | 2;
                cap->capabilities = d.caps;
                return 0;
            }
            case VIDIOC_G_FMT:
            case VIDIOC_S_FMT: {
                auto* f = static_cast<v4l2_format*>(arg);
                f->fmt.pix.width = d.width;
                f->fmt.pix.height = d.height;
                f->fmt.pix.pixelformat = d.pixelFormat;
                f->fmt.pix.bytesperline = d.pixelFormat == V4L2_PIX_FMT_YUYV ? d.width * 2 : d.width * 3;
                f->fmt.pix.sizeimage = static_cast<uint32_t>(d.picture.size());
                return 0;
            }
            case VIDIOC_QUERYCTRL: {
                auto* q = static_cast<v4l2_queryctrl*>(arg);
                const uint32_t id = q->id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
                const uint32_t ids[] = {V4L2_CID_BRIGHTNESS, V4L2_CID_AUTOGAIN, V4L2_CID_POWER_LINE_FREQUENCY};
                for (uint32_t next : ids) {
                    if (next <= id) continue;
                    std::memset(q, 0, sizeof *q);
                    q->id = next;
                    if (next == V4L2_CID_BRIGHTNESS) {
                        q->type = V4L2_CTRL_TYPE_INTEGER;
                        std::snprintf(reinterpret_cast<char*>(q->name), sizeof q->name, "Brightness");
                        q->minimum = -64;
                        q->maximum = 64;
                        q->step = 1;
                    } else if (next == V4L2_CID_AUTOGAIN) {
                        q->type = V4L2_CTRL_TYPE_BOOLEAN;
                        std::snprintf(reinterpret_cast<char*>(q->name), sizeof q->name, "Gain, Automatic");
                        q->maximum = 1;
                    } else {
                        q->type = V4L2_CTRL_TYPE_MENU;
                        std::snprintf(reinterpret_cast<char*>(q->name), sizeof q->name, "Power Line Frequency");
                        q->maximum = 2;
                    }
                    return 0;
                }
                errno = EINVAL;
                return -1;
            }
            case VIDIOC_QUERYMENU: {
                auto* m = static_cast<v4l2_querymenu*>(arg);
                const char* names[] = {"Disabled", "50 Hz", "60 Hz"};
                std::snprintf(reinterpret_cast<char*>(m->name), sizeof m->name, "%s", names[m->index]);
                return 0;
            }
            case VIDIOC_G_CTRL: {
                auto* c = static_cast<v4l2_control*>(arg);
                c->value = d.values[c->id];
                return 0;
            }
            case VIDIOC_S_CTRL: {
                auto* c = static_cast<v4l2_control*>(arg);
                if (c->id == V4L2_CID_BRIGHTNESS && (c->value < -64 || c->value > 64)) {
                    errno = ERANGE;
                    return -1;
                }
                d.values[c->id] = c->value;
                return 0;
            }
            default: errno = ENOTTY; return -1;
            }
        };
        c.read = [this](int fd, void* buf, size_t n) -> ssize_t {
            const std::string& p = devices[fd - 100].picture;
            const size_t k = std::min(n, p.size());
            std::memcpy(buf, p.data(), k);
            return static_cast<ssize_t>(k);
        };
        return c;
    }
};

}  // namespace

TEST(WebcamV4l2, EveryCaptureDeviceOfTheTenIsListedWithGaps) {
    FakeWorld w;
    w.devices[0].exists = false;
    w.devices[1].caps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;  // a camera's metadata node
    w.devices[2].card = "First";
    w.devices[9].card = "Last";
    v4l2cam::ScopedDeviceCalls scoped(w.calls());
    const auto drivers = CaptureDrivers();
    ASSERT_EQ(drivers.size(), 2u);
    EXPECT_EQ(drivers[0].Device, 2);
    EXPECT_EQ(drivers[1].Device, 9);
    EXPECT_EQ(ListCaptureDrivers(), "\"First - fake 6.1.2\"|\"Last - fake 6.1.2");
    EXPECT_EQ(w.opened, 0);  // every device closed again
    EXPECT_EQ(errorOf([] { ConnectCaptureDriver(2); }).rfind("No webcam found", 0), 0u);
}

TEST(WebcamV4l2, NoDeviceAtAllIsAClearError) {
    FakeWorld w;
    v4l2cam::ScopedDeviceCalls scoped(w.calls());
    EXPECT_EQ(ListCaptureDrivers(), "");
    EXPECT_EQ(errorOf([] { ConnectCaptureDriver(0); }),
              "No webcam found (no video capture device /dev/video0 .. /dev/video9).");
}

TEST(WebcamV4l2, GrabsInEachDeliveredFormatAndReleasesTheDevice) {
    struct Case {
        uint32_t format;
        std::string picture;
        uint8_t red0, blue0;  // pixel (0, 0)
    };
    std::string rgb(4 * 2 * 3, '\0'), bgr(4 * 2 * 3, '\0');
    rgb[0] = 'R';
    rgb[2] = 'B';
    bgr[0] = 'B';
    bgr[2] = 'R';
    // YUYV: Y 235 with neutral colour is white.
    std::string yuyv;
    for (int i = 0; i < 4; ++i) yuyv += std::string("\xEB\x80\xEB\x80", 4);
    TFrame small = smoothFrame(4, 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 4; ++x) small.SetPixel(x, y, 250, 128, 5);
    const std::string jpeg = encodeJpeg(small, 3);
    const Case cases[] = {
        {V4L2_PIX_FMT_RGB24, rgb, 'R', 'B'},
        {V4L2_PIX_FMT_BGR24, bgr, 'R', 'B'},
        {V4L2_PIX_FMT_YUYV, yuyv, 255, 255},
        {V4L2_PIX_FMT_MJPEG, jpeg, 0, 0},
    };
    for (const Case& c : cases) {
        FakeWorld w;
        w.devices[0].pixelFormat = c.format;
        w.devices[0].picture = c.picture;
        v4l2cam::ScopedDeviceCalls scoped(w.calls());
        {
            auto cam = ConnectCaptureDriver(0);
            EXPECT_EQ(cam->Name(), "Cam - fake 6.1.2");
            const TFrame f = cam->Grab();
            ASSERT_EQ(f.Width, 4);
            ASSERT_EQ(f.Height, 2);
            if (c.format == V4L2_PIX_FMT_MJPEG) {
                EXPECT_GT(f.Pixel(0, 0)[2], 240);
                EXPECT_LT(f.Pixel(0, 0)[0], 15);
            } else {
                EXPECT_EQ(f.Pixel(0, 0)[2], c.red0);
                EXPECT_EQ(f.Pixel(0, 0)[0], c.blue0);
            }
            EXPECT_EQ(w.opened, 1);
        }
        EXPECT_EQ(w.opened, 0);
    }
}

TEST(WebcamV4l2, ShortPicturesAndUnknownFormatsAreRefused) {
    const std::string three(3, 'x');
    EXPECT_EQ(errorOf([&] {
                  v4l2cam::ConvertCameraPicture(V4L2_PIX_FMT_RGB24, 2, 2, 6, reinterpret_cast<const uint8_t*>(three.data()), 3);
              }),
              "The webcam delivered an incomplete picture.");
    EXPECT_EQ(errorOf([&] {
                  v4l2cam::ConvertCameraPicture(V4L2_PIX_FMT_NV12, 2, 2, 2, reinterpret_cast<const uint8_t*>(three.data()), 3);
              }),
              "The webcam's picture format is not supported.");
    FakeWorld w;
    w.devices[0].pixelFormat = V4L2_PIX_FMT_NV12;
    v4l2cam::ScopedDeviceCalls scoped(w.calls());
    EXPECT_NE(errorOf([] { ConnectCaptureDriver(0); }).find("not supported"), std::string::npos);
}

TEST(WebcamV4l2, ControlsAreListedWithValuesAndSet) {
    FakeWorld w;
    w.devices[0].picture = std::string(24, '\0');
    w.devices[0].values[V4L2_CID_BRIGHTNESS] = 12;
    v4l2cam::ScopedDeviceCalls scoped(w.calls());
    auto cam = ConnectCaptureDriver(0);
    const auto controls = cam->Controls();
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0].Name, "Brightness");
    EXPECT_EQ(controls[0].Type, TCameraControl::TType::Integer);
    EXPECT_EQ(controls[0].Value, 12);
    EXPECT_EQ(controls[0].Minimum, -64);
    EXPECT_EQ(controls[1].Type, TCameraControl::TType::Boolean);
    ASSERT_EQ(controls[2].MenuItems.size(), 3u);
    EXPECT_EQ(controls[2].MenuItems[1].second, "50 Hz");
    cam->SetControl(V4L2_CID_BRIGHTNESS, -3);
    EXPECT_EQ(w.devices[0].values[V4L2_CID_BRIGHTNESS], -3);
    EXPECT_NE(errorOf([&] { cam->SetControl(V4L2_CID_BRIGHTNESS, 99); }).find("refuses"), std::string::npos);
}

TEST(WebcamDataFolder, ProgramFolderWhenWritableElseThePerUserFolder) {
    const fs::path dir = tempDir("data");
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", (dir / "share").c_str(), 1);
    EXPECT_EQ(WritablePathBesideProgram(dir.string() + "/", "cam.bmp"), dir.string() + "/cam.bmp");
    EXPECT_EQ(WritablePathBesideProgram((dir / "missing").string() + "/", "cam.bmp"),
              (dir / "share" / "varolux32" / "cam.bmp").string());
    EXPECT_TRUE(fs::is_directory(dir / "share" / "varolux32"));
    if (old) ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(dir);
}

TEST(WebcamScratchFile, WrittenOverInPlaceAndCutToTheNewLength) {
    const fs::path dir = tempDir("scratch");
    const std::string path = (dir / "cam.bmp").string();
    WriteScratchFile(path, "a longer first content");
    struct stat first{};
    ASSERT_EQ(::stat(path.c_str(), &first), 0);
    EXPECT_EQ(first.st_mode & 0777, 0666u & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }());
    WriteScratchFile(path, "short");
    struct stat second{};
    ASSERT_EQ(::stat(path.c_str(), &second), 0);
    EXPECT_EQ(second.st_ino, first.st_ino);  // the same file: no temporary file renamed over it
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "short");
    WriteScratchFile(path, "");
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    fs::remove_all(dir);
}

TEST(WebcamScratchFile, LinksFoldersAndPipesAreRefusedUntouchedWithoutWaiting) {
    const fs::path dir = tempDir("scratch_refused");
    const auto message = [](const std::string& path) {
        try {
            WriteScratchFile(path, "frame");
        } catch (const vx::FileError& e) {
            return std::string(e.what());
        }
        return std::string("written");
    };
    // A link planted in the frame file's place: the file it names keeps its content.
    const fs::path target = dir / "precious.txt";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, dir / "cam.bmp");
    EXPECT_EQ(message((dir / "cam.bmp").string()),
              "Cannot create file \"" + (dir / "cam.bmp").string() + "\". " + std::strerror(ELOOP));
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(message((dir / "folder").string()),
              "Cannot create file \"" + (dir / "folder").string() + "\". " + std::strerror(EISDIR));
    // A FIFO that no one reads, and a device: refused at once.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(message((dir / "fifo").string()),
              "Cannot create file \"" + (dir / "fifo").string() + "\". It is not a regular file.");
    EXPECT_EQ(message("/dev/null"), "Cannot write file \"/dev/null\". It is not a regular file.");
    EXPECT_NE(message((dir / "missing" / "cam.bmp").string()).find(std::strerror(ENOENT)), std::string::npos);
    fs::remove_all(dir);
}

// ------------------------------------------------------------ picture files larger than their pictures

namespace {

// Bytes this process has read so far (read and pread calls), and its largest resident size.
uint64_t bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}
uint64_t peakResidentBytes() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<uint64_t>(u.ru_maxrss) * 1024;
}

// Runs `reading` in a child process: 0 when it raised no error, read no more than `mostRead` bytes and
// took about as much memory.
int readCosting(const std::function<void()>& reading, uint64_t mostRead) {
    return fault::inChildWithin(60, [&] {
        const uint64_t before = bytesReadSoFar(), peak = peakResidentBytes();
        try {
            reading();
        } catch (const vx::FileError& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 3;
        }
        const uint64_t read = bytesReadSoFar() - before;
        if (read > mostRead) {
            std::fprintf(stderr, "read %llu bytes\n", static_cast<unsigned long long>(read));
            return 1;
        }
        return peakResidentBytes() > peak + mostRead + (64u << 20) ? 2 : 0;
    });
}

// `bytes`, then a sparse run of zeros to 2 GB (`at`: where bytes go, the rest a hole).
fs::path sparseFile(const fs::path& dir, const std::string& name, const std::string& bytes, uint64_t at = 0) {
    const fs::path p = dir / name;
    { std::ofstream(p, std::ios::binary); }
    fs::resize_file(p, 2000000000);  // 2 GB
    std::fstream f(p, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(at));
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

}  // namespace

// A two-gigabyte file with a picture's name is refused after its first bytes, a picture followed by
// gigabytes is read only as far as the picture, and pixels stored far behind their headers are read
// without the gap.
TEST(WebcamPictureFiles, ReadOnlyAsFarAsTheHeadersSay) {
    const fs::path dir = tempDir("large");
    const TFrame f = patternFrame(5, 3);
    const std::string bmp = EncodeBitmap(f);
    const fs::path junk = sparseFile(dir, "junk.bmp", "MZ junk");
    const fs::path trailing = sparseFile(dir, "trailing.bmp", bmp);
    // The pixels one gigabyte behind the headers.
    std::string head = bmp.substr(0, 54);
    const uint32_t far = 1u << 30;
    for (int i = 0; i < 4; ++i) head[10 + i] = static_cast<char>((far >> (8 * i)) & 0xFF);
    const fs::path gap = sparseFile(dir, "gap.bmp", head);
    {
        std::fstream g(gap, std::ios::binary | std::ios::in | std::ios::out);
        g.seekp(far);
        g.write(bmp.data() + 54, static_cast<std::streamsize>(bmp.size() - 54));
    }
    // Headers that claim more pixels than the file holds: refused before the pixels are read.
    std::string claims = bmp;
    claims[22] = '\x00';
    claims[23] = '\x40';  // 16384 rows
    std::ofstream((dir / "claims.bmp").string(), std::ios::binary) << claims;

    EXPECT_EQ(errorOf([&] { ReadBitmapFile(junk.string()); }), "Not a bitmap file.");
    EXPECT_EQ(errorOf([&] { ReadBitmapFile((dir / "claims.bmp").string()); }), "The bitmap file is damaged.");
    for (const fs::path& p : {trailing, gap}) {
        SCOPED_TRACE(p.string());
        expectSame(ReadBitmapFile(p.string()), f);
        EXPECT_EQ(readCosting([&] { ReadBitmapFile(p.string()); }, 64 * 1024), 0);
    }
    EXPECT_EQ(readCosting([&] { errorOf([&] { ReadBitmapFile(junk.string()); }); }, 4096), 0);

    const std::string jpeg = encodeJpeg(smoothFrame(40, 24), 3);
    const fs::path jpegJunk = sparseFile(dir, "junk.jpg", "GIF89a");
    const fs::path jpegTrailing = sparseFile(dir, "trailing.jpg", jpeg);
    // A start marker and then nothing but zeros: the decoder would search them all for a marker.
    const fs::path jpegZeros = sparseFile(dir, "zeros.jpg", jpeg.substr(0, 20));
    EXPECT_EQ(errorOf([&] { ReadJpegFile(jpegJunk.string()); }), "Not a JPEG picture.");
    EXPECT_EQ(ReadJpegFile(jpegTrailing.string()).Width, 40);
    EXPECT_EQ(readCosting([&] { ReadJpegFile(jpegTrailing.string()); }, jpeg.size() + 65536), 0);
    EXPECT_EQ(readCosting([&] { errorOf([&] { ReadJpegFile(jpegJunk.string()); }); }, 4096), 0);
    EXPECT_EQ(readCosting([&] { errorOf([&] { ReadJpegFile(jpegZeros.string()); }); }, 17u << 20), 0);
    EXPECT_NE(errorOf([&] { ReadJpegFile(jpegZeros.string()); }).find("The JPEG picture cannot be read"),
              std::string::npos);
    fs::remove_all(dir);
}

TEST(WebcamPictureFiles, PipesAndFoldersAreRefusedWithTheirReason) {
    const fs::path dir = tempDir("kinds");
    ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
    fs::create_directories(dir / "folder.jpg");
    const int code = fault::inChildWithin(10, [&] {
        if (errorOf([&] { ReadBitmapFile((dir / "pipe.bmp").string()); }) !=
            "Cannot open file \"" + (dir / "pipe.bmp").string() + "\". Is a named pipe")
            return 1;
        if (errorOf([&] { ReadJpegFile((dir / "pipe.jpg").string()); }) !=
            "Cannot open file \"" + (dir / "pipe.jpg").string() + "\". Is a named pipe")
            return 2;
        if (errorOf([&] { JpegFileToBitmap((dir / "cam.bmp").string(), (dir / "folder.jpg").string()); }) !=
            "Cannot open file \"" + (dir / "folder.jpg").string() + "\". Is a directory")
            return 3;
        return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(fs::exists(dir / "cam.bmp"));
    fs::remove_all(dir);
}
