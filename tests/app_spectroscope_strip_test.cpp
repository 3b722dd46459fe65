#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "app/spectroscope_strip.h"
#include "core/wavelength_colours.h"

namespace {

// Text drawing needs the application's font database.
class StripPainting : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QGuiApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "strip_test";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    // Ended while the test program still runs, not among the static destructors.
    static void TearDownTestSuite() { app_.reset(); }
    static inline std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

TEST_F(StripPainting, FillsColumnsAndDrawsTicksAtTheBottom) {
    QImage img(360, 60, QImage::Format_RGB888);
    img.fill(Qt::black);
    DrawSpectroscopeImage(img, true, 50, false, nullptr, TDisplayState{}, false);
    // Column 190 is 580 nm, yellow, in every row above the tick lines.
    const Rgb yellow = WavelengthToRgb(nullptr, false, 580, TDisplayState{});
    EXPECT_EQ(img.pixelColor(190, 0), QColor(yellow.R, yellow.G, yellow.B));
    EXPECT_EQ(img.pixelColor(190, 59), QColor(yellow.R, yellow.G, yellow.B));
    // The 500 nm tick (red) at column round(360 * 110 / 360) = 110 runs from row 55 to the bottom.
    EXPECT_EQ(img.pixelColor(110, 58), QColor(255, 0, 0));
    const Rgb c500 = WavelengthToRgb(nullptr, false, 500, TDisplayState{});
    EXPECT_EQ(img.pixelColor(110, 2), QColor(c500.R, c500.G, c500.B));
}

TEST_F(StripPainting, WithoutLabelsOnlyColours) {
    QImage img(100, 20, QImage::Format_RGB32);
    DrawSpectroscopeImage(img, false, 25, true, nullptr, TDisplayState{}, true);
    EXPECT_EQ(img.format(), QImage::Format_RGB888);
    for (int x = 0; x < 100; x += 9) {
        const Rgb c = WavelengthToRgb(nullptr, true, 760.0 + (400.0 - 760.0) * x / 100, TDisplayState{});
        EXPECT_EQ(img.pixelColor(x, 19), QColor(c.R, c.G, c.B)) << x;
    }
}
