// Spectrometer JWS files built byte by byte: the compound container with its data streams found through
// its directory or its data block by pattern, and both flat variants.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "compound_file_builder.h"
#include "instrument_file_builder.h"
#include "formats/jws_reader.h"
#include "formats/open_files.h"
#include "formats/reader_messages.h"
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

class Image {
public:
    explicit Image(std::size_t size) : b_(size, '\0') {}
    uint8_t* at(std::size_t o) {
        if (o + 8 > b_.size()) b_.resize(o + 8, '\0');
        return reinterpret_cast<uint8_t*>(b_.data()) + o;
    }
    Image& u16(std::size_t o, uint16_t v) { return putU16LE(at(o), v), *this; }
    Image& u32(std::size_t o, uint32_t v) { return putU32LE(at(o), v), *this; }
    Image& f32(std::size_t o, float v) { return putF32LE(at(o), v), *this; }
    Image& f64(std::size_t o, double v) { return putF64LE(at(o), v), *this; }
    Image& text(std::size_t o, const std::string& s) {
        for (std::size_t i = 0; i < s.size(); ++i) *at(o + i) = static_cast<uint8_t>(s[i]);
        return *this;
    }
    Image& floats(std::size_t o, const std::vector<float>& v) {
        for (std::size_t i = 0; i < v.size(); ++i) f32(o + 4 * i, v[i]);
        return *this;
    }
    void resize(std::size_t n) { b_.resize(n, '\0'); }
    const std::string& bytes() const { return b_; }

private:
    std::string b_;
};

struct DataHeader {
    uint32_t count;
    double first, last, step;
    uint32_t yCode, xCode;
    uint32_t fourth = 1;  // the pattern's fourth number: 1 or 3
};

// A compound file of 512-byte sectors: header, then the pattern at block `d` after the first four
// sectors, and the values where the version puts them.
Image compound(uint16_t version, std::size_t d, const DataHeader& h, std::size_t valuesAt,
               const std::vector<float>& values) {
    Image im(4096);
    im.u32(0, 0xE011CFD0).u32(4, 0xE11AB1A1).u16(26, version).u16(30, 9);
    const std::size_t p = 2048 + 64 * d;
    im.u32(p, 3).u32(p + 4, 1).u32(p + 8, 0).u32(p + 12, h.fourth).u32(p + 16, 1);
    im.u32(p + 20, h.count).f64(p + 24, h.first).f64(p + 32, h.last).f64(p + 40, h.step);
    im.u32(p + 52, h.yCode).u32(p + 60, h.xCode);
    im.floats(valuesAt, values);
    im.resize(std::max<std::size_t>(valuesAt + 4 * values.size() + 256, 2048 + 64 * (d + 1)));
    return im;
}

Image flatA(uint32_t count, double first, double last, double step, uint32_t yCode, float xCode,
            const std::vector<float>& values) {
    Image im(1720);
    im.u32(0, 0x20537E4C).text(32, "V2");
    im.u32(132, count).f64(136, first).f64(144, last).f64(152, step).u32(164, yCode).f32(840, xCode);
    im.text(852, "2.0 nm").text(916, "200 nm/min");
    im.floats(1720, values);
    im.resize(1720 + 4 * values.size());
    return im;
}

Image flatR1(uint16_t count, double first, double last, uint32_t stepMilli, const std::vector<float>& values) {
    Image im(640);
    im.u32(0, 0x20537E4C).text(32, "R1");
    im.text(152, "5 nm").text(160, "High").u32(192, stepMilli).text(200, "1000").u16(212, count).u16(214, 3);
    im.f64(252, last).f64(260, first).text(320, "Anthracene").text(376, "Cyclohexane");
    im.floats(640, values);
    im.resize(640 + 4 * values.size());
    return im;
}

TSpectrumRecord read(const std::string& bytes, const std::string& name = "/data/sample.jws") {
    TSpectrumRecord r;
    ReadJwsBytes(r, bytes, name);
    return r;
}
TSpectrumRecord read(const Image& im, const std::string& name = "/data/sample.jws") { return read(im.bytes(), name); }

std::vector<double> absorbances(const std::vector<double>& percent) {
    std::vector<double> out;
    for (double v : percent) out.push_back(-std::log10(v / 100.0));
    return out;
}

void expectValues(const TSpectrumRecord& r, const std::vector<double>& want) {
    ASSERT_EQ(r.Values.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(r.Values[i], want[i], 1e-12) << i;
}

constexpr float kInvalidPoint = -1.17549435e-38f;  // the instrument's mark of a point it could not measure

// The DataInfo stream of a compound file: the pattern, then the data header with its axis descriptor.
std::string dataInfo(const DataHeader& h, uint32_t descriptor, std::size_t size = 96) {
    Image im(size);
    im.u32(0, 3).u32(4, 1).u32(8, 0).u32(12, h.fourth).u32(16, 1);
    im.u32(20, h.count).f64(24, h.first).f64(32, h.last).f64(40, h.step);
    im.u32(48, descriptor).u32(52, h.yCode).u32(60, h.xCode);
    im.resize(size);
    return im.bytes();
}

std::string floatBytes(const std::vector<float>& v) {
    Image im(4 * v.size());
    im.floats(0, v);
    im.resize(4 * v.size());
    return im.bytes();
}

// Streams as the instruments write them: a header stream before the data ones, others after.
std::vector<cfb_build::Stream> jwsStreams(const std::string& info, const std::vector<float>& values,
                                          const char* infoName = "DataInfo", const char* dataName = "Y-Data") {
    return {{"Header", std::string(1024, '\x11')},
            {dataName, floatBytes(values)},
            {"Results", std::string(300, '\x22')},
            {infoName, info},
            {"MeasInfo", std::string(8, '\x01')}};
}

std::vector<float> ramp(std::size_t n, float from, float by) {
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = from + by * float(i);
    return v;
}

}  // namespace

class JwsReader : public ::testing::Test {
protected:
    CleanState state;
    ui::ScopedScriptedBackend ui;
};

// 512-byte sectors: the search starts at 2048 and steps by 64 bytes; version 3 takes the first
// non-zero block after the data header. Transmittance from 800 to 200 nm is stored rising from 200.
TEST_F(JwsReader, CompoundTransmittanceStoredRising) {
    const DataHeader h{5, 800, 200, -150, 0, 0};
    Image im = compound(3, 2, h, 2048 + 64 * 4, {10, 20, 50, 80, 100});
    im.f32(2048 + 64 * 3, 0.0f);  // block d+1 holds nothing, so the values start one block later
    const TSpectrumRecord r = read(im);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYTransmittance);
    EXPECT_DOUBLE_EQ(r.FirstX, 200);
    EXPECT_DOUBLE_EQ(r.StepX, 150);
    expectValues(r, absorbances({100, 80, 50, 20, 10}));
    EXPECT_EQ(r.Title.str(), "sample.jws");
    EXPECT_EQ(r.SpecType.str(), "jasco_jws");
    EXPECT_EQ(r.SourceKind, 41);
    EXPECT_TRUE(r.Comment1.empty());
    EXPECT_TRUE(r.Comment2.empty());
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, -1.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_TRUE(ui->messages.empty());
}

// The count is an upper bound: padding after the data ends the list, values that are no numbers
// are passed over, and the block found first by the version's rule is where reading starts.
TEST_F(JwsReader, CompoundValuesEndAtPaddingAndSkipNonNumbers) {
    const float nan = std::nanf("");
    {
        const DataHeader h{100, 400, 404, 1, 3, 0, 3};
        const TSpectrumRecord r = read(compound(3, 0, h, 2048 + 64, {0.5f, nan, 0.25f, 0.125f, 0.0625f, 1.5f}));
        EXPECT_EQ(r.YKind, SpecYAbsorbance);
        expectValues(r, {0.5, 0.25, 0.125, 0.0625, 1.5});
        EXPECT_DOUBLE_EQ(r.FirstX, 400);
    }
    {
        // Other versions: the values stand 512 bytes after a block boundary.
        const DataHeader h{3, 400, 402, 1, 14, 3};
        const TSpectrumRecord r = read(compound(4, 1, h, 2048 + 64 * 2 + 512, {7, 8, 9, 10}));
        EXPECT_EQ(r.YKind, SpecYIntensity);
        EXPECT_EQ(r.XUnit, SpecXNanometer);
        expectValues(r, {7, 8, 9});
    }
}

// Found by the pattern, a run of invalid points' marks between values keeps its places, so that the
// values after it stay at their x; a run at the end is padding and ends the list, also when the count
// would allow more.
TEST_F(JwsReader, CompoundMarksBetweenValuesKeepTheirPlaces) {
    const float m = kInvalidPoint;
    {
        const DataHeader h{8, 400, 407, 1, 3, 0, 3};
        const TSpectrumRecord r = read(compound(3, 0, h, 2048 + 64, {0.5f, m, m, m, 0.25f, 0.125f, m, 0.75f}));
        ASSERT_EQ(r.PointCount(), 8);
        EXPECT_DOUBLE_EQ(r.FirstX, 400);
        EXPECT_EQ(r.Values[4], 0.25);
        EXPECT_EQ(r.Values[7], 0.75);
        EXPECT_EQ(r.Values[2], double(m));
    }
    {
        const DataHeader h{10, 400, 409, 1, 3, 0, 3};
        const TSpectrumRecord r = read(compound(3, 0, h, 2048 + 64, {0.5f, 0.25f, m, m, m}));
        expectValues(r, {0.5, 0.25});
    }
}

TEST_F(JwsReader, CompoundCodesAndWavenumbersDescending) {
    struct Case {
        uint32_t yCode, xCode;
        SpecYKind yKind;
        SpecXUnit xUnit;
    };
    const Case cases[] = {{0, 0, SpecYTransmittance, SpecXNanometer}, {3, 2, SpecYAbsorbance, SpecXWavenumber},
                          {8, 3, SpecYTransmittance, SpecXNanometer}, {14, 7, SpecYIntensity, SpecXNanometer},
                          {99, 2, SpecYAbsorbance, SpecXWavenumber}};
    for (const Case& c : cases) {
        const DataHeader h{3, 1000, 3000, 1000, c.yCode, c.xCode};
        const TSpectrumRecord r = read(compound(3, 0, h, 2048 + 64, {50, 60, 70}));
        EXPECT_EQ(r.YKind, c.yKind) << c.yCode;
        EXPECT_EQ(r.XUnit, c.xUnit) << c.xCode;
        if (c.xUnit == SpecXWavenumber) {
            EXPECT_DOUBLE_EQ(r.FirstX, 3000);
            EXPECT_DOUBLE_EQ(r.StepX, -1000);
            EXPECT_NEAR(r.Values.front(), c.yKind == SpecYAbsorbance ? 70 : -std::log10(0.7), 1e-12);
        } else {
            EXPECT_DOUBLE_EQ(r.FirstX, 1000);
            EXPECT_DOUBLE_EQ(r.StepX, 1000);
        }
    }
}

// No pattern before the last 64 bytes: the message, and the record keeps no points.
TEST_F(JwsReader, CompoundWithoutPatternIsNotRecognized) {
    Image im = compound(3, 2, {3, 400, 402, 1, 3, 0}, 2048 + 64 * 3, {1, 2, 3});
    im.u32(2048 + 64 * 2, 4);  // spoil the pattern
    // A pattern whose data header would run past the end is no data block either.
    im.resize(2048 + 64 * 10 + 40);
    const std::size_t tail = 2048 + 64 * 10;
    im.u32(tail, 3).u32(tail + 4, 1).u32(tail + 8, 0).u32(tail + 12, 1).u32(tail + 16, 1);
    im.resize(2048 + 64 * 10 + 40);
    TSpectrumRecord r;
    r.Title = "untouched";
    ReadJwsBytes(r, im.bytes(), "/data/none.jws");
    EXPECT_EQ(r.PointCount(), 0);
    EXPECT_EQ(r.Title.str(), "untouched");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], "/data/none.jws\r\n\r\nis no recognized JASCO file!!");

    // Sectors too large for the file: nothing to search.
    Image big(512);
    big.u32(0, 0xE011CFD0).u16(26, 3).u16(30, 60);
    EXPECT_EQ(read(big).PointCount(), 0);
    EXPECT_EQ(ui->messages.size(), 2u);
}

TEST_F(JwsReader, UnknownOrShortFiles) {
    Image other(2000);
    other.text(0, "RIFF");
    EXPECT_EQ(read(other).PointCount(), 0);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_NE(ui->messages[0].find("is no recognized JASCO file!!"), std::string::npos);

    Image tiny(3);
    EXPECT_THROW(read(tiny), vx::FileError);
    Image shortCompound(60);
    shortCompound.u32(0, 0xE011CFD0);
    shortCompound.resize(60);
    EXPECT_THROW(read(shortCompound), vx::FileError);
    Image shortFlat = flatA(3, 400, 402, 1, 3, 0, {});
    shortFlat.resize(900);
    EXPECT_THROW(read(shortFlat), vx::FileError);
}

// Variant A with x code 4: wavenumbers, stored descending; leading zeros before the values skipped;
// the count bounds the values, the file end too.
TEST_F(JwsReader, FlatVariantA) {
    const TSpectrumRecord r = read(flatA(4, 400, 4000, 1200, 3, 4.0f, {0, 0, 1e-11f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f}));
    EXPECT_EQ(r.XUnit, SpecXWavenumber);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.FirstX, 4000);
    EXPECT_DOUBLE_EQ(r.StepX, -1200);
    expectValues(r, {0.4f, 0.3f, 0.2f, 0.1f});
    EXPECT_EQ(r.Comment1.str(), "Bandwidth: 2.0 nm; ");
    EXPECT_EQ(r.Comment2.str(), "Speed: 200 nm/min");

    const TSpectrumRecord more = read(flatA(50, 500, 502, 1, 77, 0.4f, {1, 2, 3}));
    EXPECT_EQ(more.YKind, SpecYIntensity);  // unknown y codes keep intensity in this layout
    EXPECT_EQ(more.XUnit, SpecXNanometer);
    expectValues(more, {1, 2, 3});

    const TSpectrumRecord trans = read(flatA(2, 600, 500, 100, 8, 0, {95, 0}));
    EXPECT_EQ(trans.YKind, SpecYTransmittance);
    EXPECT_DOUBLE_EQ(trans.FirstX, 500);
    expectValues(trans, {6.0 /* 0 % */, -std::log10(0.95)});
}

TEST_F(JwsReader, FlatVariantR1) {
    const TSpectrumRecord r = read(flatR1(3, 300, 301, 500, {10, 20, 30}));
    EXPECT_EQ(r.Title.str(), "Anthracene");
    EXPECT_EQ(r.Solvent.str(), "Cyclohexane");
    EXPECT_EQ(r.Comment1.str(), "Bandwidth: 5 nm; Sensitivity: High; ");
    EXPECT_EQ(r.Comment2.str(), "Speed: 1000nm/min; Accumulations: 3; ");
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_DOUBLE_EQ(r.FirstX, 300);
    EXPECT_DOUBLE_EQ(r.StepX, 0.5);
    expectValues(r, {10, 20, 30});

    // Empty texts: the file name stays the title, and the comments hold only what is always there.
    Image bare = flatR1(2, 310, 300, 10000, {1, 2});
    bare.text(152, std::string(7, '\0')).text(160, std::string(8, '\0')).text(200, std::string(4, '\0'));
    bare.text(320, std::string(32, '\0'));
    const TSpectrumRecord b = read(bare);
    EXPECT_EQ(b.Title.str(), "sample.jws");
    EXPECT_TRUE(b.Comment1.empty());
    EXPECT_EQ(b.Comment2.str(), "Accumulations: 3; ");
    EXPECT_DOUBLE_EQ(b.FirstX, 300);
    expectValues(b, {2, 1});

    // A count beyond the file's values is a stream error, not a read past its end.
    Image cut = flatR1(400, 300, 700, 1000, {1, 2, 3});
    EXPECT_THROW(read(cut), vx::FileError);
}

// Through the Open command: kept with the file's date and its default colour; an unknown file adds
// nothing and is named.
TEST_F(JwsReader, OpenCommandKeepsCompleteRecordsOnly) {
    TSpectraList opened;
    TDisplayState display;
    TempDir dir;
    const std::string good = dir.write("a.jws", flatR1(3, 300, 302, 1000, {1, 2, 3}).bytes());
    Image junk(100);
    junk.text(0, "junk");
    const std::string bad = dir.write("b.jws", junk.bytes());
    const OpenResult res = OpenSpectrumFiles({good, bad}, opened, display, StartSettings{});
    EXPECT_EQ(readerErrors(res), "");
    ASSERT_EQ(opened.Count(), 1);
    EXPECT_EQ(opened[0].FileName.str(), good);
    EXPECT_EQ(opened[0].DateText.str().size(), 19u);
    EXPECT_EQ(opened[0].Color, CurveColor(1));
    ASSERT_EQ(res.failed.size(), 1u);
    EXPECT_EQ(res.failed[0].name, bad);
}

// ---- Compound files through their directory

// Both sector sizes (versions 3 and 4), chains in and against file order: the header from DataInfo,
// exactly the header's count of values from Y-Data (which may hold more), the invalid points in their
// places. Transmittance from 500 to 5000 1/cm is stored falling from 5000, the marks as 6.0.
TEST_F(JwsReader, CompoundStreamsGiveHeaderAndExactlyCountValues) {
    for (const unsigned sector : {512u, 4096u})
        for (const bool backward : {false, true}) {
            SCOPED_TRACE(std::to_string(sector) + (backward ? " backward" : " forward"));
            const uint32_t count = 3000;
            std::vector<float> v = ramp(count + 500, 1.0f, 0.03f);  // a second channel behind the first
            v[1] = v[2] = v[2999] = kInvalidPoint;
            cfb_build::Options o;
            o.sectorBytes = sector;
            o.backwardChains = backward;
            const DataHeader h{count, 500, 5000, 1.5, 0, 0};
            const std::string file = cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0x10000100), v), o);
            const TSpectrumRecord r = read(file);
            ASSERT_EQ(r.PointCount(), 3000);
            EXPECT_EQ(r.XUnit, SpecXWavenumber);
            EXPECT_EQ(r.YKind, SpecYTransmittance);
            EXPECT_DOUBLE_EQ(r.FirstX, 500 + 2999 * 1.5);
            EXPECT_DOUBLE_EQ(r.StepX, -1.5);
            EXPECT_EQ(r.Values[0], 6.0);     // point 2999
            EXPECT_EQ(r.Values[2997], 6.0);  // point 2
            EXPECT_EQ(r.Values[2998], 6.0);  // point 1
            EXPECT_NEAR(r.Values[2999], -std::log10(0.01), 1e-12);
            EXPECT_NEAR(r.Values[1], -std::log10(double(1.0f + 0.03f * 2998) / 100), 1e-12);
            EXPECT_TRUE(ui->messages.empty());
        }
}

// In absorbance the invalid-point mark is kept as it stands: a value of (almost) zero at its x.
TEST_F(JwsReader, CompoundInvalidPointsKeepTheirPlaceInAbsorbance) {
    std::vector<float> v = ramp(6, 0.5f, 0.1f);
    v[0] = v[3] = kInvalidPoint;
    const DataHeader h{6, 400, 405, 1, 3, 3};
    const TSpectrumRecord r = read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0x10000103), v)));
    ASSERT_EQ(r.PointCount(), 6);
    expectValues(r, {kInvalidPoint, 0.6f, 0.7f, kInvalidPoint, 0.9f, 1.0f});
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
}

// A value of Y-Data that is no number keeps its place: filled in between its neighbours, the file is
// kept and its one message says how many there were. A run at either end has one neighbour only and
// is left out, the grid starting at the first value kept.
TEST_F(JwsReader, CompoundNotNumbersAreFilledInBetweenNeighbours) {
    const float nan = std::nanf(""), inf = std::numeric_limits<float>::infinity();
    const std::vector<float> line = ramp(6, 0.5f, 0.1f);  // 0.5 ... 1.0
    struct Case {
        const char* what;
        std::vector<std::size_t> gaps;  // places in file order
        float gap;
        double first, last;
        uint32_t descriptor;
        std::vector<double> want;  // stored values
        double firstX;
        std::string message;
    };
    const std::string one = FilledInValuesText(1);
    const std::string atOneEnd = "1 value at an end of the spectrum was not a number; it was left out.";
    const Case cases[] = {
        {"one inside", {2}, nan, 400, 405, 0x10000103, {line[0], line[1], 0.7, line[3], line[4], line[5]}, 400, one},
        {"a run inside", {2, 3}, nan, 400, 405, 0x10000103, {line[0], line[1], 0.7, 0.8, line[4], line[5]}, 400,
         "2 values were not numbers; their places were filled in between their neighbours."},
        {"an infinity", {4}, inf, 400, 405, 0x10000103, {line[0], line[1], line[2], line[3], 0.9, line[5]}, 400, one},
        {"first and last", {0, 2, 5}, nan, 400, 405, 0x10000103, {line[1], 0.7, line[3], line[4]}, 401,
         one + "\r\n2 values at the ends of the spectrum were not numbers; they were left out."},
        {"first, falling nm", {0}, nan, 405, 400, 0x10000103, {line[5], line[4], line[3], line[2], line[1]}, 400,
         atOneEnd},
        {"first, rising wavenumbers", {0}, nan, 1000, 1005, 0x10000100,
         {line[5], line[4], line[3], line[2], line[1]}, 1005, atOneEnd},
        {"last two, falling wavenumbers", {4, 5}, nan, 1005, 1000, 0x10000100, {line[0], line[1], line[2], line[3]},
         1005, "2 values at the ends of the spectrum were not numbers; they were left out."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui->messages.clear();
        std::vector<float> v = line;
        for (std::size_t g : c.gaps) v[g] = c.gap;
        const DataHeader h{6, c.first, c.last, 1, 3, 0};
        const TSpectrumRecord r = read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, c.descriptor), v)), "/n.jws");
        for (std::size_t i = 0; i < c.want.size(); ++i) EXPECT_NEAR(r.Values[i], c.want[i], 1e-6) << i;
        ASSERT_EQ(r.Values.size(), c.want.size());
        EXPECT_TRUE(r.IsComplete());
        EXPECT_DOUBLE_EQ(r.FirstX, c.firstX);
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0], "/n.jws\r\n\r\n" + c.message);
    }
}

// A Y-Data that is both short and not all numbers says both in its one message; one of no numbers at
// all gives no spectrum.
TEST_F(JwsReader, CompoundShortAndNotNumbersInOneMessage) {
    std::vector<float> v = ramp(6, 1, 1);
    v[3] = std::nanf("");
    const DataHeader h{10, 400, 409, 1, 3, 0};
    const TSpectrumRecord r = read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), v)), "/s.jws");
    expectValues(r, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], "/s.jws\r\n\r\n" + JwsShortValuesText(6, 10) + "\r\n" + FilledInValuesText(1));

    ui->messages.clear();
    const std::vector<float> none(4, std::nanf(""));
    EXPECT_EQ(read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), none))).PointCount(), 0);
    EXPECT_TRUE(ui->messages.empty());
}

// The format compares names without regard to case.
TEST_F(JwsReader, CompoundStreamNamesIgnoreCase) {
    const DataHeader h{3, 400, 402, 1, 3, 0};
    const TSpectrumRecord r =
        read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), {1, 2, 3}, "DATAINFO", "y-data")));
    expectValues(r, {1, 2, 3});
}

// Y-Data ending before the count: the values it holds are kept, and the message says how many.
TEST_F(JwsReader, CompoundShortYDataSaysHowManyWereRead) {
    const DataHeader h{100, 400, 499, 1, 3, 0};
    const TSpectrumRecord r = read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), ramp(60, 1, 1))),
                                   "/data/short.jws");
    ASSERT_EQ(r.PointCount(), 60);
    EXPECT_DOUBLE_EQ(r.FirstX, 400);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0],
              "/data/short.jws\r\n\r\nholds only 60 of the 100 values its header announces; 60 points were read.");
    // One value is no spectrum: nothing kept, nothing more said (the Open command names the file).
    read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), {5})));
    EXPECT_EQ(ui->messages.size(), 1u);
}

// A DataInfo that does not begin with the pattern holds no data header we know; one too short for
// the header's fields is a stream error.
TEST_F(JwsReader, CompoundDataInfoWithoutPatternOrTooShort) {
    const DataHeader h{3, 400, 402, 1, 3, 0};
    std::string info = dataInfo(h, 0);
    info[0] = 4;
    TSpectrumRecord r;
    r.Title = "untouched";
    ReadJwsBytes(r, cfb_build::CompoundFile(jwsStreams(info, {1, 2, 3})), "/data/x.jws");
    EXPECT_EQ(r.Title.str(), "untouched");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], "/data/x.jws\r\n\r\nis no recognized JASCO file!!");
    EXPECT_THROW(read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0, 40), {1, 2, 3}))),
                 vx::FileError);
}

// A stream whose sectors cannot be followed from its start is an error naming it; one whose chain
// breaks off later keeps the values before the break, as a file cut short does. A directory entry that
// claims more than the file holds is no stream at all: the file is left to the pattern search, which
// reads nothing outside it.
TEST_F(JwsReader, CompoundDamagedStreams) {
    const DataHeader h{2000, 400, 2399, 1, 3, 0};
    const std::string good = cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), ramp(2000, 1, 1)));
    const std::size_t entry = good.find(std::string("Y\0-\0D\0a\0t\0a\0", 12));
    ASSERT_NE(entry, std::string::npos);
    // Y-Data's first sector beyond every sector of the file.
    std::string nowhere = good;
    putU32LE(reinterpret_cast<uint8_t*>(nowhere.data()) + entry + 116, 0x00FFFFF0);
    try {
        read(nowhere, "/data/nowhere.jws");
        ADD_FAILURE() << "no error";
    } catch (const vx::FileError& e) {
        EXPECT_STREQ(e.what(), "The stream \"Y-Data\" of /data/nowhere.jws cannot be read: the file is damaged.");
    }
    // Y-Data's first sector pointing at itself: a chain that never ends, of which the first sector's
    // 128 values are read.
    std::string loop = good;
    const uint32_t first = getU32LE(reinterpret_cast<const uint8_t*>(good.data()) + entry + 116);
    putU32LE(reinterpret_cast<uint8_t*>(loop.data()) + 512 + 4 * first, first);
    const TSpectrumRecord looped = read(loop, "/data/loop.jws");
    const std::vector<float> firstSector = ramp(128, 1, 1);
    expectValues(looped, std::vector<double>(firstSector.begin(), firstSector.end()));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], "/data/loop.jws\r\n\r\n" + JwsShortValuesText(128, 2000));
    // The entry's size field (at 120 in its 128 bytes) far beyond the file.
    std::string huge = good;
    putU32LE(reinterpret_cast<uint8_t*>(huge.data()) + entry + 120, 0x7FFFFFF0);
    const TSpectrumRecord r = read(huge);
    EXPECT_LE(r.Values.size(), huge.size() / 4);
}

// A header stream the container cannot give is an error naming it, and the library's own complaint
// about the child it could not open does not reach standard error.
TEST_F(JwsReader, CompoundDamagedDataInfoSaysSoQuietly) {
    const DataHeader h{3, 400, 402, 1, 3, 0};
    std::string file = cfb_build::CompoundFile(jwsStreams(dataInfo(h, 0), {1, 2, 3}));
    const std::size_t entry = file.find(std::string("D\0a\0t\0a\0I\0n\0f\0o\0", 16));
    ASSERT_NE(entry, std::string::npos);
    putU32LE(reinterpret_cast<uint8_t*>(file.data()) + entry + 116, 0x00FFFFF0);
    testing::internal::CaptureStderr();
    const std::string error =
        fmt_test::errorText<vx::FileError>([&] { read(file, "/data/info.jws"); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(error, "The stream \"DataInfo\" of /data/info.jws cannot be read: the file is damaged.");
}

// The axis descriptor 0x100001nn names the unit (00 wavenumbers, 01 Raman shift, 03 nm) in both
// containers; without that mark, or with another nn, the x code decides.
TEST_F(JwsReader, AxisDescriptorDecidesTheUnit) {
    struct Case {
        uint32_t descriptor, xCode;
        float flatCode;
        SpecXUnit unit;
    };
    const Case cases[] = {
        {0x10000100, 0, 2.0f, SpecXWavenumber}, {0x10000101, 0, 0.0f, SpecXRamanShift},
        {0x10000103, 2, 4.0f, SpecXNanometer},  {0x10000102, 2, 4.0f, SpecXWavenumber},
        {0x20000100, 0, 0.0f, SpecXNanometer},  {0, 2, 4.0f, SpecXWavenumber},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.descriptor);
        const DataHeader h{3, 1000, 1002, 1, 3, c.xCode};
        const bool falling = c.unit != SpecXNanometer;
        // Through the directory.
        const TSpectrumRecord s = read(cfb_build::CompoundFile(jwsStreams(dataInfo(h, c.descriptor), {1, 2, 3})));
        EXPECT_EQ(s.XUnit, c.unit);
        EXPECT_DOUBLE_EQ(s.FirstX, falling ? 1002 : 1000);
        // By the pattern (the descriptor at +28 after it).
        Image pattern = compound(3, 0, h, 2048 + 64, {1, 2, 3});
        pattern.u32(2048 + 48, c.descriptor);
        EXPECT_EQ(read(pattern).XUnit, c.unit);
        // Flat: the descriptor at 160, the x code the number at 840.
        Image flat = flatA(3, 1000, 1002, 1, 3, c.flatCode, {1, 2, 3});
        flat.u32(160, c.descriptor);
        EXPECT_EQ(read(flat).XUnit, c.unit);
    }
}

// Flat variant A: values that end before the count are kept and counted in the message; leading
// zeros or invalid-point marks that would leave fewer than the count before the file's end are values,
// since the values run to the file's end.
TEST_F(JwsReader, FlatVariantAShortValuesAndLeadingMarks) {
    const TSpectrumRecord cut = read(flatA(50, 500, 549, 1, 3, 0, {1, 2, 3}), "/data/cut.jws");
    expectValues(cut, {1, 2, 3});
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], "/data/cut.jws\r\n\r\n" + JwsShortValuesText(3, 50));

    const TSpectrumRecord marks = read(flatA(5, 600, 604, 1, 3, 0, {kInvalidPoint, 0.0f, 0.1f, 0.2f, 0.3f}));
    expectValues(marks, {kInvalidPoint, 0.0, 0.1f, 0.2f, 0.3f});
    EXPECT_EQ(ui->messages.size(), 1u);

    // A value that is no number is passed over, and the one behind it makes up the count.
    const TSpectrumRecord nan = read(flatA(3, 600, 602, 1, 3, 0, {0.1f, std::nanf(""), 0.2f, 0.3f, 0.4f}));
    expectValues(nan, {0.1f, 0.2f, 0.3f});
    // A file that ends before the values' offset holds none.
    Image empty = flatA(3, 600, 602, 1, 3, 0, {});
    empty.resize(1000);
    EXPECT_EQ(read(empty).PointCount(), 0);
    EXPECT_EQ(ui->messages.size(), 1u);
}
