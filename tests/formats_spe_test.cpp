// CCD data files built byte by byte: header fields at their offsets, the four data types, frames
// and stripes as records, the calibration polynomial and its axes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/units.h"
#include "formats/open_files.h"
#include "formats/resample.h"
#include "formats/spe_reader.h"
#include "formats_test_util.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/ui.h"

using namespace byteorder;
using fmt_test::CleanState;
using fmt_test::readerErrors;
using fmt_test::StartSettings;
using fmt_test::TempDir;

namespace {

struct Spe {
    float exposure = 0.5f;
    uint16_t pixels = 4;
    int16_t dataType = 3;
    uint16_t stripes = 1;
    uint16_t frames = 1;
    uint16_t startx = 1;
    uint16_t groupx = 1;
    uint32_t id = 0x01234567;
    std::string label = "Wavelength";
    uint8_t order = 1;
    std::vector<double> c = {400, 0.5};
    double laser = 0;
    std::vector<double> values;  // frames x stripes x pixels, in file order; 0, 1, 2, ... when empty
    int dropBytes = 0;           // cut from the end

    std::string bytes() const {
        const std::size_t size = dataType == 2 || dataType == 3 ? 2 : 4;
        const std::size_t count = std::size_t{frames} * stripes * pixels;
        std::string b(4100 + count * size, '\0');
        auto* d = reinterpret_cast<uint8_t*>(b.data());
        putF32LE(d + 10, exposure);
        putU16LE(d + 42, pixels);
        putI16LE(d + 108, dataType);
        putU16LE(d + 656, stripes);
        putU32LE(d + 1446, frames);
        putU16LE(d + 1512, startx);
        putU16LE(d + 1516, groupx);
        putU32LE(d + 2996, id);
        for (std::size_t i = 0; i < label.size() && i < 40; ++i) d[3018 + i] = static_cast<uint8_t>(label[i]);
        d[3101] = order;
        for (std::size_t k = 0; k < c.size() && k < 6; ++k) putF64LE(d + 3263 + 8 * k, c[k]);
        putF64LE(d + 3311, laser);
        for (std::size_t i = 0; i < count; ++i) {
            const double v = values.empty() ? double(i) : values[i];
            uint8_t* p = d + 4100 + i * size;
            switch (dataType) {
            case 0: putF32LE(p, static_cast<float>(v)); break;
            case 1: putI32LE(p, static_cast<int32_t>(v)); break;
            case 2: putI16LE(p, static_cast<int16_t>(v)); break;
            default: putU16LE(p, static_cast<uint16_t>(v)); break;
            }
        }
        b.resize(b.size() - static_cast<std::size_t>(dropBytes));
        return b;
    }
};

class SpeReader : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
    TSpectraList list;

    void read(const Spe& s, const std::string& name = "/data/run 7.spe") {
        ReadSpeBytes(s.bytes(), name, "2024-05-06 07:08:09", list);
    }
};

}  // namespace

TEST_F(SpeReader, OneStripeOnAWavelengthCalibration) {
    Spe s;
    s.values = {10, 20, 65535, 0};
    read(s);
    ASSERT_EQ(list.Count(), 1);
    const TSpectrumRecord& r = list[0];
    EXPECT_EQ(r.Title.str(), "run 7.spe");
    EXPECT_EQ(r.FileName.str(), "/data/run 7.spe");
    EXPECT_EQ(r.Comment1.str(), "Exposure Time: 0.5 sec");
    EXPECT_TRUE(r.Comment2.empty());
    EXPECT_EQ(r.SpecType.str(), "winspec_spe");
    EXPECT_EQ(r.DateText.str(), "2024-05-06 07:08:09");
    EXPECT_TRUE(r.Solvent.empty());
    EXPECT_EQ(r.Concentration, 0.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, 0.5);
    EXPECT_EQ(r.SourceKind, 33);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_EQ(r.LineStyle, 0);
    EXPECT_EQ(r.Color, CurveColor(1));
    EXPECT_DOUBLE_EQ(r.FirstX, 400.5);  // c0 + c1 * p(1), p(1) = 1
    EXPECT_DOUBLE_EQ(r.StepX, 0.5);
    EXPECT_EQ(r.Values, (std::vector<double>{10, 20, 65535, 0}));
}

// Two frames of three stripes: six records, frames outer, each with its own values.
TEST_F(SpeReader, FramesAndStripesBecomeRecords) {
    Spe s;
    s.frames = 2;
    s.stripes = 3;
    s.pixels = 2;
    read(s);
    ASSERT_EQ(list.Count(), 6);
    const char* titles[] = {"run 7.spe Frame 1; Stripe 1", "run 7.spe Frame 1; Stripe 2", "run 7.spe Frame 1; Stripe 3",
                            "run 7.spe Frame 2; Stripe 1", "run 7.spe Frame 2; Stripe 2", "run 7.spe Frame 2; Stripe 3"};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(list[k].Title.str(), titles[k]);
        EXPECT_EQ(list[k].Values, (std::vector<double>{2.0 * k, 2.0 * k + 1})) << k;
        EXPECT_EQ(list[k].Color, CurveColor(k + 1));
    }
    list.Clear();
    s.frames = 1;
    read(s);
    EXPECT_EQ(list[2].Title.str(), "run 7.spe; Stripe 3");
    list.Clear();
    s.frames = 3;
    s.stripes = 1;
    read(s);
    EXPECT_EQ(list[2].Title.str(), "run 7.spe Frame 3");
}

TEST_F(SpeReader, DataTypesAndExposure) {
    struct Case {
        int16_t type;
        std::vector<double> values;
    };
    const Case cases[] = {{0, {-1.5, 2.25, 1e6}}, {1, {-70000, 70000, 0}}, {2, {-32768, 32767, -1}},
                          {3, {0, 65535, 1}}};
    for (const Case& c : cases) {
        Spe s;
        s.dataType = c.type;
        s.pixels = 3;
        s.values = c.values;
        s.exposure = 0;
        list.Clear();
        read(s);
        ASSERT_EQ(list.Count(), 1) << c.type;
        EXPECT_EQ(list[0].Values, c.values) << c.type;
        EXPECT_TRUE(list[0].Comment1.empty());  // no exposure time
        EXPECT_EQ(list[0].ExposureTime, 0.0);
    }
    Spe s;
    s.exposure = 0.1f;
    list.Clear();
    read(s);
    EXPECT_EQ(list[0].Comment1.str(), "Exposure Time: 0.100000001490116 sec");  // the single's own value
}

// Binning 2 from pixel 1: p(1) = 1.5 and the step twice c1; a region start moves the pixels.
TEST_F(SpeReader, BinningAndRegionStart) {
    struct Case {
        uint16_t startx, groupx;
        double first, step;
    };
    const Case cases[] = {{1, 2, 400 + 0.5 * 1.5, 1.0}, {11, 1, 400 + 0.5 * 11, 0.5}, {5, 3, 400 + 0.5 * (3 - 1 + 4), 1.5},
                          {0, 0, 400.5, 0.5}};
    for (const Case& c : cases) {
        Spe s;
        s.startx = c.startx;
        s.groupx = c.groupx;
        list.Clear();
        read(s);
        ASSERT_EQ(list.Count(), 1);
        EXPECT_DOUBLE_EQ(list[0].FirstX, c.first) << c.startx << "/" << c.groupx;
        EXPECT_DOUBLE_EQ(list[0].StepX, c.step) << c.startx << "/" << c.groupx;
    }
}

// An empty label reads the pixel axis as a plain linear calibration without binning; a falling
// wavelength calibration is stored rising.
TEST_F(SpeReader, EmptyLabelAndFallingCalibration) {
    Spe s;
    s.label = "  ";
    s.order = 0;
    s.c = {0, 0};
    s.groupx = 4;
    s.startx = 9;
    read(s);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 1);  // c0 from the file, c1 left at 1: pixel numbers
    EXPECT_DOUBLE_EQ(list[0].StepX, 1);

    list.Clear();
    Spe f;
    f.c = {800, -2};
    f.values = {1, 2, 3, 4};
    read(f);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 792);  // pixel 4
    EXPECT_DOUBLE_EQ(list[0].StepX, 2);
    EXPECT_EQ(list[0].Values, (std::vector<double>{4, 3, 2, 1}));
}

// Orders beyond 5 take the six coefficients there are: the laser line after them is no coefficient.
TEST_F(SpeReader, PolynomialOrdersAreClampedAndResampled) {
    Spe s;
    s.order = 9;
    s.c = {400, 1, 0.5, 0, 0, 0};
    s.laser = 1e-3;  // where a seventh coefficient would stand
    s.values = {0, 10, 20, 30};
    read(s);
    ASSERT_EQ(list.Count(), 1);
    const TSpectrumRecord& r = list[0];
    // x(p) = 400 + p + p^2 / 2 at p = 1..4.
    const std::vector<double> xs = {401.5, 404, 407.5, 412};
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_DOUBLE_EQ(r.FirstX, 401.5);
    EXPECT_DOUBLE_EQ(r.StepX, (412 - 401.5) / 3);
    ASSERT_EQ(r.PointCount(), 4);
    for (int j = 0; j < 4; ++j) {
        const double x = 401.5 + j * r.StepX;
        const std::size_t k = j == 0 ? 0 : x <= 404 ? 0 : x <= 407.5 ? 1 : 2;
        const double want = j == 3 ? 30 : j == 0 ? 0 : LinInterpol(x, xs[k], 10.0 * k, xs[k + 1], 10.0 * (k + 1));
        EXPECT_NEAR(r.Values[std::size_t(j)], want, 1e-9) << j;
    }
    EXPECT_EQ(r.ExcitationWl, -1.0);
}

// Raman shift from the laser line, ascending; wavenumbers descending; a Raman label without a laser
// line reads the wavelengths.
TEST_F(SpeReader, RamanShiftWavenumbersAndMissingLaser) {
    Spe s;
    s.label = "Raman Shift";
    s.laser = 532;
    s.c = {540, 1};
    s.values = {1, 2, 3, 4};
    read(s);
    ASSERT_EQ(list.Count(), 1);
    const double lo = 1e7 / 532 - 1e7 / 541, hi = 1e7 / 532 - 1e7 / 544;
    EXPECT_EQ(list[0].XUnit, SpecXRamanShift);
    EXPECT_EQ(list[0].Comment2.str(), "Raman Shift [1/cm]");
    EXPECT_EQ(list[0].ExcitationWl, 532.0);
    EXPECT_NEAR(list[0].FirstX, lo, 1e-9);
    EXPECT_NEAR(list[0].StepX, (hi - lo) / 3, 1e-9);
    EXPECT_DOUBLE_EQ(list[0].Values.front(), 1);
    EXPECT_DOUBLE_EQ(list[0].Values.back(), 4);

    // Both words: the shift is taken from the polynomial's wavelengths too.
    list.Clear();
    s.label = "RAMAN WAVENUMBER";
    read(s);
    EXPECT_EQ(list[0].XUnit, SpecXRamanShift);
    EXPECT_NEAR(list[0].FirstX, lo, 1e-9);

    list.Clear();
    s.label = "Wavenumber";
    read(s);
    EXPECT_EQ(list[0].XUnit, SpecXWavenumber);
    EXPECT_TRUE(list[0].Comment2.empty());
    EXPECT_NEAR(list[0].FirstX, 1e7 / 541, 1e-9);
    EXPECT_NEAR(list[0].StepX, -(1e7 / 541 - 1e7 / 544) / 3, 1e-9);
    EXPECT_DOUBLE_EQ(list[0].Values.front(), 1);
    EXPECT_DOUBLE_EQ(list[0].Values.back(), 4);

    list.Clear();
    s.label = "Raman";
    s.laser = 1.0;
    read(s);
    EXPECT_EQ(list[0].XUnit, SpecXNanometer);
    EXPECT_TRUE(list[0].Comment2.empty());
    EXPECT_EQ(list[0].ExcitationWl, -1.0);
    EXPECT_DOUBLE_EQ(list[0].FirstX, 541);
    EXPECT_DOUBLE_EQ(list[0].StepX, 1);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(SpeReader, BadFilesAddNothing) {
    struct Case {
        const char* what;
        Spe spe;
    };
    Spe wrongId;
    wrongId.id = 0x12345678;
    Spe wrongType;
    wrongType.dataType = 4;
    Spe zeroWavenumber;  // 1e7 / x at x <= 0
    zeroWavenumber.label = "Wavenumber";
    zeroWavenumber.c = {-2, 1};
    Spe flat;  // every pixel at one x
    flat.c = {500, 0};
    Spe overflow;  // a calibration whose middle pixels lie beyond the doubles, its ends not
    overflow.order = 2;
    overflow.pixels = 18;
    overflow.c = {1e308, 2e307, -1e306};
    for (const Case& c : {Case{"id", wrongId}, Case{"type", wrongType}, Case{"x <= 0", zeroWavenumber},
                         Case{"no step", flat}, Case{"x beyond the doubles", overflow}}) {
        ui->messages.clear();
        read(c.spe);
        EXPECT_EQ(list.Count(), 0) << c.what;
        EXPECT_EQ(ui->messages, std::vector<std::string>{"Wrong File Format!"}) << c.what;
    }

    // One pixel per stripe, or no frames: nothing to draw, no message.
    ui->messages.clear();
    Spe one;
    one.pixels = 1;
    read(one);
    Spe none;
    none.frames = 0;
    read(none);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(ui->messages.empty());
}

// The data of every frame and stripe must be there before anything is added.
TEST_F(SpeReader, ShortFilesRaiseStreamErrors) {
    Spe s;
    s.frames = 3;
    s.stripes = 2;
    s.dropBytes = 1;
    EXPECT_THROW(read(s), vx::FileError);
    EXPECT_EQ(list.Count(), 0);
    // Counts whose product is far beyond the file.
    std::string b = Spe{}.bytes();
    auto* d = reinterpret_cast<uint8_t*>(b.data());
    putU16LE(d + 656, 65535);
    putU16LE(d + 1446, 65535);
    putU16LE(d + 42, 65535);
    EXPECT_THROW(ReadSpeBytes(b, "/x.spe", "", list), vx::FileError);
    EXPECT_THROW(ReadSpeBytes(b.substr(0, 4099), "/x.spe", "", list), vx::FileError);
    EXPECT_EQ(list.Count(), 0);
}

// A stripe with values that are no numbers is left out; the others are kept.
TEST_F(SpeReader, StripeWithNonNumbersIsLeftOut) {
    Spe s;
    s.dataType = 0;
    s.stripes = 2;
    s.pixels = 2;
    s.values = {1, std::nan(""), 3, 4};
    read(s);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Title.str(), "run 7.spe; Stripe 2");
}

TEST_F(SpeReader, OpenCommandReadsFramesIntoTheList) {
    TSpectraList opened;
    TDisplayState display;
    TempDir dir;
    Spe s;
    s.frames = 2;
    std::string bytes = s.bytes();
    bytes[0] = '\xFF';  // the header's first field; the file is no text for starting so
    bytes[1] = '\xFE';
    const std::string path = dir.write("k.spe", bytes);
    const OpenResult res = OpenSpectrumFiles({path}, opened, display, StartSettings{});
    EXPECT_EQ(readerErrors(res), "");
    ASSERT_EQ(opened.Count(), 2);
    EXPECT_EQ(opened[1].Title.str(), "k.spe Frame 2");
    EXPECT_EQ(opened[1].DateText.str().size(), 19u);
    EXPECT_EQ(display.DisplayXUnit, SpecXNanometer);
}
