// Spectrometer JWS files built byte by byte: the compound container with its data block found by
// pattern, and both flat variants.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/jws_reader.h"
#include "formats/open_files.h"
#include "formats_test_util.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "platform/ui.h"

using namespace byteorder;
using fmt_test::CleanState;
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

TSpectrumRecord read(const Image& im, const std::string& name = "/data/sample.jws") {
    TSpectrumRecord r;
    ReadJwsBytes(r, im.bytes(), name);
    return r;
}

std::vector<double> absorbances(const std::vector<double>& percent) {
    std::vector<double> out;
    for (double v : percent) out.push_back(-std::log10(v / 100.0));
    return out;
}

void expectValues(const TSpectrumRecord& r, const std::vector<double>& want) {
    ASSERT_EQ(r.Values.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(r.Values[i], want[i], 1e-12) << i;
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

TEST_F(JwsReader, CompoundCodesAndWavenumbersDescending) {
    struct Case {
        uint32_t yCode, xCode;
        int32_t yKind, xUnit;
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
    const OpenResult res = OpenSpectrumFiles({good, bad}, opened, display);
    EXPECT_TRUE(res.error.empty()) << res.error;
    ASSERT_EQ(opened.Count(), 1);
    EXPECT_EQ(opened[0].FileName.str(), good);
    EXPECT_EQ(opened[0].DateText.str().size(), 19u);
    EXPECT_EQ(opened[0].Color, CurveColor(1));
    EXPECT_EQ(res.noSpectrum, std::vector<std::string>{bad});
}
