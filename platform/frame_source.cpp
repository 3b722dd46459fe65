#include "platform/frame_source.h"

#include <algorithm>
#include <cmath>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/jpeg_file.h"

namespace {

std::string lowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string e = path.substr(dot + 1);
    for (char& c : e) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return e;
}

class StillSource : public TFrameSource {
public:
    StillSource(TFrame f, std::string name) : frame_(std::move(f)), name_(std::move(name)) {}
    std::string Name() const override { return name_; }
    TFrame Grab() override { return frame_; }

private:
    TFrame frame_;
    std::string name_;
};

class SyntheticSource : public TFrameSource {
public:
    explicit SyntheticSource(const TSyntheticSettings& s) : s_(s) {}
    std::string Name() const override { return "synthetic picture - test source"; }
    TFrame Grab() override { return SyntheticFrame(s_); }
    std::vector<TCameraControl> Controls() override {
        TCameraControl b;
        b.Id = kSyntheticBrightnessId;
        b.Name = "Brightness";
        b.Maximum = 255;
        b.Default = 128;
        b.Value = s_.Brightness;
        TCameraControl p;
        p.Id = kSyntheticPatternId;
        p.Name = "Pattern";
        p.Type = TCameraControl::TType::Menu;
        p.Maximum = 3;
        p.Value = static_cast<int32_t>(s_.Pattern);
        p.MenuItems = {{0, "Colour ramp"}, {1, "Grey ramp"}, {2, "Band"}, {3, "White"}};
        return {b, p};
    }
    void SetControl(uint32_t id, int32_t value) override {
        if (id == kSyntheticBrightnessId && value >= 0 && value <= 255) s_.Brightness = value;
        else if (id == kSyntheticPatternId && value >= 0 && value <= 3) s_.Pattern = static_cast<TSyntheticPattern>(value);
        else throw vx::FileError("The source refuses this setting.");
    }

private:
    TSyntheticSettings s_;
};

uint8_t scaled(int32_t level, int32_t brightness) {
    return static_cast<uint8_t>(std::clamp(level * brightness / 128, 0, 255));
}

// A rainbow from violet to red over t in 0..1, full saturation.
void rainbow(double t, int32_t& r, int32_t& g, int32_t& b) {
    const double h = (1.0 - t) * 270.0 / 60.0;  // hue 270 (violet) .. 0 (red)
    const double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    double rr = 0, gg = 0, bb = 0;
    if (h < 1) rr = 1, gg = x;
    else if (h < 2) rr = x, gg = 1;
    else if (h < 3) gg = 1, bb = x;
    else if (h < 4) gg = x, bb = 1;
    else rr = x, bb = 1;
    r = static_cast<int32_t>(std::lround(rr * 230));
    g = static_cast<int32_t>(std::lround(gg * 230));
    b = static_cast<int32_t>(std::lround(bb * 230));
}

}  // namespace

std::unique_ptr<TFrameSource> MakeImageFileSource(const std::string& path) {
    const std::string ext = lowerExtension(path);
    TFrame f = ext == "jpg" || ext == "jpeg" ? ReadJpegFile(path) : ReadBitmapFile(path);
    const size_t slash = path.find_last_of('/');
    return MakeStillSource(std::move(f), slash == std::string::npos ? path : path.substr(slash + 1));
}

std::unique_ptr<TFrameSource> MakeStillSource(TFrame frame, std::string name) {
    return std::make_unique<StillSource>(std::move(frame), std::move(name));
}

TFrame SyntheticFrame(const TSyntheticSettings& s) {
    TFrame f;
    const int32_t w = std::clamp(s.Width, 1, kMaxFrameSide), h = std::clamp(s.Height, 1, kMaxFrameSide);
    f.Resize(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            int32_t r = 0, g = 0, b = 0;
            switch (s.Pattern) {
            case TSyntheticPattern::ColourRamp:
                if (y >= h / 3 && y < 2 * h / 3) rainbow(w > 1 ? double(x) / (w - 1) : 0.0, r, g, b);
                else r = g = b = 8;
                break;
            case TSyntheticPattern::GreyRamp: r = g = b = w > 1 ? 255 * x / (w - 1) : 0; break;
            case TSyntheticPattern::Band: r = g = b = x >= s.BandFirst && x <= s.BandLast ? 200 : 10; break;
            case TSyntheticPattern::White: r = g = b = 255; break;
            }
            f.SetPixel(x, y, scaled(r, s.Brightness), scaled(g, s.Brightness), scaled(b, s.Brightness));
        }
    }
    return f;
}

std::unique_ptr<TFrameSource> MakeSyntheticSource(const TSyntheticSettings& s) {
    return std::make_unique<SyntheticSource>(s);
}
