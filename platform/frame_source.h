#pragma once
// Where the webcam window's pictures come from: a camera (platform/v4l2_camera.h), an image file or a
// synthetic picture. The window only sees this interface, so it works the same with each of them.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/frame.h"

// One setting of a source, as the settings dialog shows it.
struct TCameraControl {
    enum class TType { Integer, Boolean, Menu, Button };
    uint32_t Id = 0;
    std::string Name;
    TType Type = TType::Integer;
    int32_t Minimum = 0, Maximum = 0, Step = 1, Default = 0, Value = 0;
    std::vector<std::pair<int32_t, std::string>> MenuItems;  // value, text
};

class TFrameSource {
public:
    virtual ~TFrameSource() = default;
    // The text shown as the webcam's name.
    virtual std::string Name() const = 0;
    // The next picture; raises vx::FileError with the reason when there is none.
    virtual TFrame Grab() = 0;
    virtual std::vector<TCameraControl> Controls() { return {}; }
    // Raises vx::FileError when the source refuses the value.
    virtual void SetControl(uint32_t id, int32_t value) { (void)id; (void)value; }
};

// A picture file (BMP, or JPEG by its extension ".jpg"/".jpeg"), read once; every grab gives it.
std::unique_ptr<TFrameSource> MakeImageFileSource(const std::string& path);
// A source that always gives this picture.
std::unique_ptr<TFrameSource> MakeStillSource(TFrame frame, std::string name);

// Synthetic pictures whose spectrum is known, for tests and for trying the window without a camera.
enum class TSyntheticPattern : int32_t {
    ColourRamp = 0,  // a band of rainbow colours across the middle third of the rows, dark elsewhere
    GreyRamp = 1,    // every row: grey level 255 * x / (width - 1)
    Band = 2,        // grey 200 in the columns BandFirst..BandLast (0-based), 10 elsewhere
    White = 3,       // every pixel 255
};
struct TSyntheticSettings {
    int32_t Width = 640;
    int32_t Height = 480;
    TSyntheticPattern Pattern = TSyntheticPattern::ColourRamp;
    int32_t BandFirst = 300;
    int32_t BandLast = 309;
    int32_t Brightness = 128;  // 128 leaves the levels as they are; values scale them (clipped at 255)
};
TFrame SyntheticFrame(const TSyntheticSettings& s);
// Its controls are "Brightness" (integer 0..255) and "Pattern" (menu of the four patterns).
std::unique_ptr<TFrameSource> MakeSyntheticSource(const TSyntheticSettings& s = {});
inline constexpr uint32_t kSyntheticBrightnessId = 1;
inline constexpr uint32_t kSyntheticPatternId = 2;
