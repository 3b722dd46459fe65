#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "core/spectra_list.h"
#include "platform/byte_order.h"
#include "platform/errors.h"

namespace {

std::unique_ptr<TSpectrumRecord> makeRecord(const std::string& title, int n) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->Title = title;
    r->FirstX = 400;
    r->StepX = 1;
    r->Values.assign(static_cast<std::size_t>(n), 0.5);
    return r;
}

}  // namespace

TEST(SpectrumRecord, DefaultsOfUnsetFields) {
    TSpectrumRecord r;
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, -1.0);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_EQ(r.PointCount(), 0);
    EXPECT_FALSE(r.IsComplete());
}

TEST(SpectrumRecord, TextsAreCutAtTheirCapacity) {
    TSpectrumRecord r;
    r.Comment1 = std::string(60, 'x');
    EXPECT_EQ(r.Comment1.str().size(), 50u);
    r.Title = std::string(300, 'y') + ", subfile 3";
    EXPECT_EQ(r.Title.str().size(), 255u);
    r.Solvent = std::string(50, 'a') + "\xC2\xB5";  // the 51st character is cut whole
    EXPECT_EQ(r.Solvent.str(), std::string(50, 'a'));
}

TEST(SpectrumRecord, CheckedValueAccess) {
    auto r = makeRecord("a", 3);
    EXPECT_EQ(r->ValueAt(2), 0.5);
    try {
        r->ValueAt(3);
        FAIL();
    } catch (const vx::ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
}

TEST(SpectrumRecord, CompletenessNeedsTwoPointsAndAFiniteNonZeroStep) {
    auto r = makeRecord("a", 2);
    EXPECT_TRUE(r->IsComplete());
    r->StepX = 0;
    EXPECT_FALSE(r->IsComplete());
    r->StepX = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(r->IsComplete());
    r->StepX = 1;
    r->Values = {1.0};
    EXPECT_FALSE(r->IsComplete());
    r->Values = {1.0, std::nan("")};
    EXPECT_FALSE(r->IsComplete());
}

TEST(RecordImage, FieldsAtTheirOffsets) {
    TSpectrumRecord r;
    r.FileName = "/data/a.fak";
    r.Title = "a";
    r.Comment1 = "c1";
    r.Comment2 = "c2";
    r.SpecType = "ascii_fak";
    r.Solvent = "\xC2\xB5-water";  // µ as one byte
    r.DateText = "2026-12-08 10:00:00";
    r.Concentration = 2e-5;
    r.PathLength = 0.5;
    r.ExcitationWl = 350;
    r.Temperature = 77;
    r.ExposureTime = 0.1;
    r.FirstX = 200;
    r.StepX = -0.5;
    r.Values = {1, 2, 3};
    r.SourceKind = 11;
    r.XUnit = SpecXMicrometer;
    r.YKind = SpecYIntensity;
    r.Color = 0x00112233;
    r.LineStyle = 2;
    r.LineWidth = 3;
    RecordImage img = RecordToImage(r);
    const uint8_t* p = img.data();
    EXPECT_EQ(p[0], 11);
    EXPECT_EQ(std::memcmp(p + 1, "/data/a.fak", 11), 0);
    EXPECT_EQ(p[256], 1);
    EXPECT_EQ(p[257], 'a');
    EXPECT_EQ(p[512], 2);
    EXPECT_EQ(p[563], 2);
    EXPECT_EQ(p[614], 9);
    EXPECT_EQ(p[665], 7);
    EXPECT_EQ(p[666], 0xB5);
    EXPECT_EQ(p[716], 19);
    EXPECT_EQ(byteorder::getF64LE(p + 768), 2e-5);
    EXPECT_EQ(byteorder::getF64LE(p + 776), 0.5);
    EXPECT_EQ(byteorder::getF64LE(p + 784), 1e-5);
    EXPECT_EQ(byteorder::getF64LE(p + 792), 350);
    EXPECT_EQ(byteorder::getF64LE(p + 800), 77);
    EXPECT_EQ(byteorder::getF64LE(p + 808), 0.1);
    EXPECT_EQ(byteorder::getF64LE(p + 816), 200);
    EXPECT_EQ(byteorder::getF64LE(p + 824), -0.5);
    EXPECT_EQ(byteorder::getI32LE(p + 832), 3);
    EXPECT_EQ(byteorder::getI32LE(p + 836), 11);
    EXPECT_EQ(byteorder::getI32LE(p + 840), 4);
    EXPECT_EQ(byteorder::getI32LE(p + 844), 5);
    EXPECT_EQ(byteorder::getU32LE(p + 848), 0x00112233u);
    EXPECT_EQ(p[852], 2);
    EXPECT_EQ(byteorder::getI32LE(p + 856), 3);

    TSpectrumRecord back;
    RecordFromImage(p, back);
    EXPECT_EQ(back.FileName, r.FileName);
    EXPECT_EQ(back.Solvent, r.Solvent);
    EXPECT_EQ(back.DateText, r.DateText);
    EXPECT_EQ(back.StepX, r.StepX);
    EXPECT_EQ(back.Color, r.Color);
    EXPECT_EQ(back.LineWidth, 3);
}

TEST(RecordImage, OversizedLengthByteIsClamped) {
    RecordImage img{};
    img[512] = 200;  // a comment cannot hold more than 50 characters
    std::memset(img.data() + 513, 'z', 50);
    TSpectrumRecord r;
    RecordFromImage(img.data(), r);
    EXPECT_EQ(r.Comment1.str(), std::string(50, 'z'));
}

TEST(SpectraList, CurveColorPalette) {
    EXPECT_EQ(CurveColor(1), 0x000000u);
    EXPECT_EQ(CurveColor(2), 0x0000FFu);
    EXPECT_EQ(CurveColor(14), 0x777700u);
    EXPECT_EQ(CurveColor(15), 0x000000u);
    EXPECT_EQ(CurveColor(0), 0x777700u);
}

TEST(list, DeleteSpectrumCompactsAndGuards) {
    TSpectraList list;
    list.AddWithDefaultColor(makeRecord("a", 2));
    list.AddWithDefaultColor(makeRecord("b", 2));
    list.AddWithDefaultColor(makeRecord("c", 2));
    EXPECT_EQ(list[1].Color, 0x0000FFu);
    DeleteSpectrum(list, 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0].Title, "b");
    EXPECT_EQ(list[1].Title, "c");
    EXPECT_THROW(DeleteSpectrum(list, 2), vx::ListIndexError);
    EXPECT_THROW(DeleteSpectrum(list, -1), vx::ListIndexError);
    EXPECT_EQ(list.Count(), 2);
    DeleteSpectra(list, {1, 0, 1});
    EXPECT_TRUE(list.Empty());
    list.AddWithDefaultColor(makeRecord("only", 2));
    DeleteSpectrum(list, 0);
    EXPECT_TRUE(list.Empty());
}

// The image holds the unit codes; a code that no unit has reads as nm and absorbance.
TEST(RecordImage, UnitCodesAndUnknownOnes) {
    TSpectrumRecord r;
    r.XUnit = SpecXRamanShift;
    r.YKind = SpecYReflectance;
    RecordImage img = RecordToImage(r);
    EXPECT_EQ(byteorder::getI32LE(img.data() + 840), 5);
    EXPECT_EQ(byteorder::getI32LE(img.data() + 844), 6);
    TSpectrumRecord back;
    RecordFromImage(img.data(), back);
    EXPECT_EQ(back.XUnit, SpecXRamanShift);
    EXPECT_EQ(back.YKind, SpecYReflectance);
    const std::pair<int32_t, int32_t> unknown[] = {{0, 0}, {6, 7}, {-1, -1}, {1 << 24, 1 << 24}};
    for (auto [x, y] : unknown) {
        byteorder::putI32LE(img.data() + 840, x);
        byteorder::putI32LE(img.data() + 844, y);
        RecordFromImage(img.data(), back);
        EXPECT_EQ(back.XUnit, SpecXNanometer) << x;
        EXPECT_EQ(back.YKind, SpecYAbsorbance) << y;
    }
}
