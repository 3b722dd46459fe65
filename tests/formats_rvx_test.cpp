#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <utility>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/rvx.h"
#include "formats_test_util.h"
#include "platform/byte_order.h"
#include "platform/errors.h"

using fmt_test::CleanState;
using fmt_test::TempDir;

namespace {

// A file image assembled field by field at explicit offsets.
class Bytes {
public:
    std::string s;
    std::size_t begin(std::size_t size) {
        std::size_t at = s.size();
        s.append(size, '\0');
        return at;
    }
    uint8_t* at(std::size_t pos) { return reinterpret_cast<uint8_t*>(s.data()) + pos; }
    void text(std::size_t pos, const std::string& t) {
        *at(pos) = static_cast<uint8_t>(t.size());
        std::memcpy(at(pos + 1), t.data(), t.size());
    }
    void f64(std::size_t pos, double v) { byteorder::putF64LE(at(pos), v); }
    void i32(std::size_t pos, int32_t v) { byteorder::putI32LE(at(pos), v); }
    void i16(std::size_t pos, int16_t v) { byteorder::putI16LE(at(pos), v); }
    void r48(std::size_t pos, double v) { DoubleToReal48(v, at(pos)); }
    void version(double v) { r48(begin(6), v); }
};

std::unique_ptr<TSpectrumRecord> fullRecord(int variant, int points) {
    auto r = std::make_unique<TSpectrumRecord>();
    r->FileName = "/data/run " + std::to_string(variant) + "/probe.sp";
    r->Title = "Probe \xC2\xB5-" + std::to_string(variant);
    r->Comment1 = "first comment";
    r->Comment2 = "350";
    r->SpecType = "ascii_fak";
    r->Solvent = "ethanol";
    r->DateText = "2024-02-29 23:59:58";
    r->Concentration = 2.5e-5 * variant;
    r->PathLength = 0.5;
    r->ConcTimesPath = r->Concentration * r->PathLength;
    r->ExcitationWl = 366.5;
    r->Temperature = 77.0;
    r->ExposureTime = 0.125;
    r->FirstX = 12500.0 + variant;
    r->StepX = -2.5;
    r->SourceKind = 21 + variant;
    r->XUnit = SpecXWavenumber;
    r->YKind = SpecYEpsilon;
    r->Color = 0x00112233u + static_cast<uint32_t>(variant);
    r->LineStyle = 2;
    r->LineWidth = 3;
    for (int i = 0; i < points; ++i) r->Values.push_back(std::sin(i * 0.37 + variant) * 1e-3 * (i % 7 - 3));
    return r;
}

void expectSameRecord(const TSpectrumRecord& a, const TSpectrumRecord& b) {
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.Title, b.Title);
    EXPECT_EQ(a.Comment1, b.Comment1);
    EXPECT_EQ(a.Comment2, b.Comment2);
    EXPECT_EQ(a.SpecType, b.SpecType);
    EXPECT_EQ(a.Solvent, b.Solvent);
    EXPECT_EQ(a.DateText, b.DateText);
    EXPECT_EQ(a.Concentration, b.Concentration);
    EXPECT_EQ(a.PathLength, b.PathLength);
    EXPECT_EQ(a.ConcTimesPath, b.ConcTimesPath);
    EXPECT_EQ(a.ExcitationWl, b.ExcitationWl);
    EXPECT_EQ(a.Temperature, b.Temperature);
    EXPECT_EQ(a.ExposureTime, b.ExposureTime);
    EXPECT_EQ(a.FirstX, b.FirstX);
    EXPECT_EQ(a.StepX, b.StepX);
    EXPECT_EQ(a.SourceKind, b.SourceKind);
    EXPECT_EQ(a.XUnit, b.XUnit);
    EXPECT_EQ(a.YKind, b.YKind);
    EXPECT_EQ(a.Color, b.Color);
    EXPECT_EQ(a.LineStyle, b.LineStyle);
    EXPECT_EQ(a.LineWidth, b.LineWidth);
    EXPECT_EQ(a.Values, b.Values);
}

std::string streamReadError(std::string_view bytes, TSpectraList& list) {
    try {
        LoadRvxBytes(bytes, 0.0, list);
    } catch (const vx::FileError& e) {
        return e.what();
    }
    return "no error";
}

// Dates of the older layouts: the file's modification time as date-time text.
constexpr double kFileDate = 45000.5;  // 2023-03-15 12:00:00

}  // namespace

class RvxFile : public ::testing::Test {
protected:
    CleanState state;
    TSpectraList list;
};

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

// The product field is carried as stored, by the image and by the reader alike, even when a file's
// writer disagreed with concentration times path length.
TEST(RecordImage, StoredConcTimesPathIsCarried) {
    TSpectraList saved;
    saved.Add(fullRecord(2, 3));
    std::string file = RvxFileImage(saved);
    auto* image = reinterpret_cast<uint8_t*>(file.data()) + 10;
    byteorder::putF64LE(image + 784, 0.25);
    TSpectrumRecord r;
    RecordFromImage(image, r);
    EXPECT_EQ(r.ConcTimesPath, 0.25);
    TSpectraList list;
    LoadRvxBytes(file, 0, list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].ConcTimesPath, 0.25);
    EXPECT_EQ(list[0].Concentration, saved[0].Concentration);
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

TEST(Real48, KnownVersionBytesAndRoundTrip) {
    uint8_t b[6];
    DoubleToReal48(64.0, b);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 6), std::string("\x87\0\0\0\0\0", 6));
    DoubleToReal48(48.0, b);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 6), std::string("\x86\0\0\0\0\x40", 6));
    DoubleToReal48(32.0, b);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 6), std::string("\x86\0\0\0\0\0", 6));
    for (double v : {0.0, 1.0, -1.0, 0.5, 400.25, -1e-5, 123456.789, 1e30, 3e-38}) {
        DoubleToReal48(v, b);
        EXPECT_NEAR(Real48ToDouble(b), v, std::fabs(v) * 4e-12) << v;
    }
    const uint8_t zeroExponent[6] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Real48ToDouble(zeroExponent), 0.0);
}

TEST_F(RvxFile, RoundTripKeepsEveryFieldAndValue) {
    list.Add(fullRecord(1, 5));
    list.Add(fullRecord(2, 1000));
    auto third = fullRecord(3, 2);
    third->Values = {-0.0, 5e-324};
    list.Add(std::move(third));
    const std::string image = RvxFileImage(list);
    TSpectraList back;
    LoadRvxBytes(image, kFileDate, back);
    ASSERT_EQ(back.Count(), 3);
    for (int32_t i = 0; i < 3; ++i) expectSameRecord(back[i], list[i]);
    EXPECT_TRUE(std::signbit(back[2].Values[0]));

    // And through the file.
    TempDir dir;
    const std::string path = dir.file("both.rvx");
    SaveRvxFile(path, list);
    EXPECT_EQ(TempDir::read(path), image);
    TSpectraList fromFile;
    LoadRvxFile(path, fromFile);
    ASSERT_EQ(fromFile.Count(), 3);
    expectSameRecord(fromFile[1], list[1]);
}

TEST_F(RvxFile, CurrentLayoutIsByteExact) {
    list.Add(fullRecord(1, 3));
    const std::string s = RvxFileImage(list);
    ASSERT_EQ(s.size(), 10u + 864u + 24u);
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    EXPECT_EQ(s.substr(0, 6), std::string("\x87\0\0\0\0\0", 6));
    EXPECT_EQ(byteorder::getI32LE(p + 6), 1);
    const uint8_t* r = p + 10;
    const TSpectrumRecord& rec = list[0];
    auto textAt = [&](std::size_t off) { return std::string(reinterpret_cast<const char*>(r + off + 1), r[off]); };
    EXPECT_EQ(textAt(0), rec.FileName.str());
    EXPECT_EQ(textAt(256), "Probe \xB5-1");  // Windows-1252 in the file
    EXPECT_EQ(textAt(512), "first comment");
    EXPECT_EQ(textAt(563), "350");
    EXPECT_EQ(textAt(614), "ascii_fak");
    EXPECT_EQ(textAt(665), "ethanol");
    EXPECT_EQ(textAt(716), "2024-02-29 23:59:58");
    EXPECT_EQ(r[767], 0);
    EXPECT_EQ(byteorder::getF64LE(r + 768), rec.Concentration);
    EXPECT_EQ(byteorder::getF64LE(r + 776), 0.5);
    EXPECT_EQ(byteorder::getF64LE(r + 784), rec.Concentration * 0.5);
    EXPECT_EQ(byteorder::getF64LE(r + 792), 366.5);
    EXPECT_EQ(byteorder::getF64LE(r + 800), 77.0);
    EXPECT_EQ(byteorder::getF64LE(r + 808), 0.125);
    EXPECT_EQ(byteorder::getF64LE(r + 816), 12501.0);
    EXPECT_EQ(byteorder::getF64LE(r + 824), -2.5);
    EXPECT_EQ(byteorder::getI32LE(r + 832), 3);
    EXPECT_EQ(byteorder::getI32LE(r + 836), 22);
    EXPECT_EQ(byteorder::getI32LE(r + 840), 2);
    EXPECT_EQ(byteorder::getI32LE(r + 844), 3);
    EXPECT_EQ(byteorder::getU32LE(r + 848), 0x00112234u);
    EXPECT_EQ(r[852], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 853), 3), std::string(3, '\0'));
    EXPECT_EQ(byteorder::getI32LE(r + 856), 3);
    EXPECT_EQ(byteorder::getU32LE(r + 860), 0u);
    // Unused bytes of the string fields are zero.
    EXPECT_EQ(r[256 + 1 + rec.Title.str().size()], 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(byteorder::getF64LE(r + 864 + 8 * i), rec.Values[static_cast<std::size_t>(i)]);
}

TEST_F(RvxFile, EmptyListGivesVersionAndZeroCount) {
    const std::string s = RvxFileImage(list);
    EXPECT_EQ(s, std::string("\x87\0\0\0\0\0\0\0\0\0", 10));
    LoadRvxBytes(s, 0, list);
    EXPECT_EQ(list.Count(), 0);
    Bytes negative;
    negative.version(64.0);
    negative.i32(negative.begin(4), -3);
    LoadRvxBytes(negative.s, 0, list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(RvxFile, DefaultColoursContinueThePaletteBesideOtherSpectra) {
    TSpectraList saved;
    for (int i = 0; i < 2; ++i) saved.AddWithDefaultColor(fullRecord(i, 4));
    saved.Add(fullRecord(5, 4));  // an own colour
    const std::string image = RvxFileImage(saved);

    LoadRvxBytes(image, 0, list);
    EXPECT_EQ(list[0].Color, CurveColor(1));
    EXPECT_EQ(list[1].Color, CurveColor(2));
    EXPECT_EQ(list[2].Color, saved[2].Color);

    TSpectraList busy;
    busy.AddWithDefaultColor(fullRecord(7, 4));
    busy.AddWithDefaultColor(fullRecord(8, 4));
    LoadRvxBytes(image, 0, busy);
    ASSERT_EQ(busy.Count(), 5);
    EXPECT_EQ(busy[2].Color, CurveColor(3));
    EXPECT_EQ(busy[3].Color, CurveColor(4));
    EXPECT_EQ(busy[4].Color, saved[2].Color);
}

TEST_F(RvxFile, Version48Layout) {
    Bytes f;
    f.version(48.0);
    f.i32(f.begin(4), 2);
    for (const char* legend : {"  Sample 77K ", "Cooled RT"}) {
        std::size_t r = f.begin(856);
        f.text(r + 0, "C:\\old\\x.sp");
        f.text(r + 256, legend);
        f.text(r + 512, "c1");
        f.text(r + 563, "c2");
        f.text(r + 614, "cary50_csv");
        f.text(r + 665, "never read");
        f.text(r + 716, "2001-01-01");
        f.f64(r + 768, 1e-4);
        f.f64(r + 776, 2.0);
        f.f64(r + 784, 3e-4);
        f.f64(r + 792, -1.0);
        f.f64(r + 800, 300.0);
        f.f64(r + 808, 0.5);
        f.f64(r + 816, 200.0);
        f.f64(r + 824, 0.5);
        f.i32(r + 832, 3);
        f.i32(r + 836, 12);
        f.i32(r + 840, 0x0000FF);
        *f.at(r + 844) = 1;
        f.i32(r + 848, 2);
        std::size_t v = f.begin(24);
        for (int i = 0; i < 3; ++i) f.f64(v + 8 * i, 0.1 * i);
    }
    LoadRvxBytes(f.s, kFileDate, list);
    ASSERT_EQ(list.Count(), 2);
    const TSpectrumRecord& a = list[0];
    EXPECT_EQ(a.FileName, "C:\\old\\x.sp");
    EXPECT_EQ(a.Title, "Sample 77K");  // trimmed and kept so
    EXPECT_EQ(a.Comment1, "c1");
    EXPECT_EQ(a.Comment2, "c2");
    EXPECT_TRUE(a.Solvent.empty());
    EXPECT_EQ(a.DateText, "2001-01-01");
    EXPECT_EQ(a.Concentration, 1e-4);
    EXPECT_EQ(a.PathLength, 2.0);
    EXPECT_EQ(a.ConcTimesPath, 3e-4);
    EXPECT_EQ(a.ExposureTime, 0.5);
    EXPECT_EQ(a.Temperature, 77.0);
    EXPECT_EQ(a.FirstX, 200.0);
    EXPECT_EQ(a.StepX, 0.5);
    EXPECT_EQ(a.SourceKind, 12);
    EXPECT_EQ(a.XUnit, SpecXNanometer);
    EXPECT_EQ(a.YKind, SpecYAbsorbance);  // kind 12 and this tag are no intensity
    EXPECT_EQ(a.Color, 0x0000FFu);
    EXPECT_EQ(a.LineStyle, 1);
    EXPECT_EQ(a.LineWidth, 2);
    EXPECT_EQ(a.Values, (std::vector<double>{0.0, 0.1, 0.2}));  // taken as they are
    EXPECT_EQ(list[1].Temperature, 295.0);
}

TEST_F(RvxFile, Version32LayoutConvertsAndCompletes) {
    struct Spec {
        int32_t kind;
        std::string c1, c2, tag, legend;
        std::vector<double> values;
    };
    const std::vector<Spec> specs = {
        {16, "350", "", "", "ccd probe", {0.1, 0.0, -2.0}},
        {7, "12", "400", "", "ratio", {0.1, 0.0, -2.0}},
        {3, "-", "", "ex", "tagged", {1.0, 0.01, 1.0}},
        {17, "-", "", "", "ccd without number", {1.0, 1.0, 1.0}},
    };
    Bytes f;
    f.version(32.0);
    f.i32(f.begin(4), static_cast<int32_t>(specs.size()));
    for (const auto& s : specs) {
        std::size_t r = f.begin(1516);
        f.text(r + 0, s.legend);
        f.text(r + 256, s.c1);
        f.text(r + 512, s.c2);
        f.text(r + 784, "/old/file.vuv");
        f.text(r + 1188, s.tag);
        f.f64(r + 768, 1e-3);
        f.f64(r + 776, 1.0);
        f.f64(r + 1508, 1e-3);
        f.f64(r + 1064, 300.0);
        f.f64(r + 1072, 1.0);
        f.i32(r + 1084, s.kind);
        f.i32(r + 1460, 3);
        f.i32(r + 1500, 0x00ABCDEF);
        *f.at(r + 1504) = 2;
        std::size_t v = f.begin(24);
        for (int i = 0; i < 3; ++i) f.f64(v + 8 * i, s.values[static_cast<std::size_t>(i)]);
    }
    LoadRvxBytes(f.s, kFileDate, list);
    ASSERT_EQ(list.Count(), 4);

    const TSpectrumRecord& ccd = list[0];
    EXPECT_EQ(ccd.FileName, "/old/file.vuv");
    EXPECT_EQ(ccd.DateText, DateTimeToText(kFileDate));
    EXPECT_EQ(ccd.Comment2, "350");
    EXPECT_EQ(ccd.ExcitationWl, 350.0);
    EXPECT_EQ(ccd.Comment1, "295");
    EXPECT_EQ(ccd.Temperature, 295.0);
    EXPECT_EQ(ccd.SpecType, "ccd_flasche");
    EXPECT_EQ(ccd.Color, 0x00ABCDEFu);
    EXPECT_EQ(ccd.LineStyle, 2);
    EXPECT_EQ(ccd.LineWidth, 1);
    EXPECT_EQ(ccd.YKind, SpecYAbsorbance);
    EXPECT_NEAR(ccd.Values[0], 1.0, 1e-15);  // -log10(0.1)
    EXPECT_EQ(ccd.Values[1], 1.0);           // 0 and negative transmittance give 1.0
    EXPECT_EQ(ccd.Values[2], 1.0);

    const TSpectrumRecord& ratio = list[1];
    EXPECT_EQ(ratio.Values, (std::vector<double>{0.1, 0.0, -2.0}));  // kind 7 kept as read
    EXPECT_EQ(ratio.Temperature, 12.0);
    EXPECT_EQ(ratio.ExcitationWl, 400.0);
    EXPECT_EQ(ratio.ExposureTime, -1.0);

    EXPECT_EQ(list[2].YKind, SpecYIntensity);  // the tag "ex" turns absorbance into intensity
    EXPECT_EQ(list[2].Temperature, -1.0);      // "-" is no integer
    EXPECT_NEAR(list[2].Values[1], 2.0, 1e-15);

    EXPECT_EQ(list[3].Comment2, "400");  // no integer in comment 1
    EXPECT_EQ(list[3].ExcitationWl, -1.0);
    EXPECT_EQ(list[3].SpecType, "ccd_flasche");
    EXPECT_EQ(list[3].YKind, SpecYAbsorbance);  // step 5 ran before the tag was set
}

TEST_F(RvxFile, OldestLayoutWithSixByteReals) {
    list.AddWithDefaultColor(fullRecord(9, 3));
    Bytes f;
    f.version(17.5);  // any unknown version
    f.i16(f.begin(2), 2);
    for (int k = 0; k < 2; ++k) {
        std::size_t r = f.begin(1463);
        f.text(r + 0, k == 0 ? "oldest" : "ccd");
        f.text(r + 256, "480");
        f.text(r + 780, "A:\\SPEK.DAT");
        f.text(r + 1158, k == 0 ? "ascii_fak" : "");
        f.r48(r + 768, 0.001);
        f.r48(r + 774, 1.0);
        f.r48(r + 1457, 0.001);
        f.r48(r + 1070, 250.0);
        f.r48(r + 1076, 2.0);
        f.i16(r + 1426, 2);
        f.i16(r + 1084, k == 0 ? 3 : 10);
        *f.at(r + 1456) = 1;
        std::size_t v = f.begin(12);
        f.r48(v, 0.5);
        f.r48(v + 6, 0.25);
    }
    LoadRvxBytes(f.s, kFileDate, list);
    ASSERT_EQ(list.Count(), 3);
    const TSpectrumRecord& a = list[1];
    EXPECT_EQ(a.Title, "oldest");
    EXPECT_EQ(a.FileName, "A:\\SPEK.DAT");
    EXPECT_EQ(a.DateText, DateTimeToText(kFileDate));
    EXPECT_NEAR(a.Concentration, 0.001, 1e-15);
    EXPECT_EQ(a.FirstX, 250.0);
    EXPECT_EQ(a.StepX, 2.0);
    EXPECT_EQ(a.SourceKind, 3);
    EXPECT_EQ(a.YKind, SpecYIntensity);  // tag ascii_fak
    EXPECT_EQ(a.Color, CurveColor(2));   // always the default of its position
    EXPECT_EQ(a.LineStyle, 1);
    EXPECT_NEAR(a.Values[0], -std::log10(0.5), 1e-12);
    EXPECT_NEAR(a.Values[1], -std::log10(0.25), 1e-12);
    const TSpectrumRecord& ccd = list[2];
    EXPECT_EQ(ccd.Color, CurveColor(3));
    EXPECT_EQ(ccd.Comment2, "480");  // copied from comment 1, no excitation taken
    EXPECT_EQ(ccd.ExcitationWl, -1.0);
    EXPECT_EQ(ccd.Comment1, "295");
    EXPECT_EQ(ccd.Temperature, 295.0);
    EXPECT_EQ(ccd.SpecType, "ccd_flasche");
    EXPECT_EQ(ccd.YKind, SpecYIntensity);  // kind 10
}

TEST_F(RvxFile, CurrentFileTagsChangeNothing) {
    auto r = fullRecord(1, 3);
    r->SpecType = "ex";
    r->YKind = SpecYAbsorbance;
    r->SourceKind = 10;
    list.Add(std::move(r));
    TSpectraList back;
    LoadRvxBytes(RvxFileImage(list), 0, back);
    EXPECT_EQ(back[0].YKind, SpecYAbsorbance);
}

TEST_F(RvxFile, TruncatedFileKeepsOnlyCompleteSpectra) {
    for (int i = 0; i < 3; ++i) list.Add(fullRecord(i, 10));
    const std::string image = RvxFileImage(list);
    const std::size_t block = 864 + 80;
    // Cut inside the values of the second spectrum, inside its record, and inside the header.
    for (std::size_t cut : {10 + block + 864 + 40, 10 + block + 100, std::size_t{8}, std::size_t{3}}) {
        SCOPED_TRACE(cut);
        TSpectraList back;
        EXPECT_EQ(streamReadError(std::string_view(image).substr(0, cut), back), "Stream read error");
        EXPECT_EQ(back.Count(), cut > block ? 1 : 0);
        for (const auto& rec : back) EXPECT_EQ(rec->PointCount(), 10);
    }
}

TEST_F(RvxFile, ImpossibleCountsAndGridsAreRefused) {
    auto withPatch = [](std::size_t offset, auto patch) {
        TSpectraList one;
        one.Add(fullRecord(1, 4));
        std::string s = RvxFileImage(one);
        patch(reinterpret_cast<uint8_t*>(s.data()) + offset);
        return s;
    };
    // A count beyond the file: the complete spectrum stays, the next one is the read error.
    TSpectraList counted;
    EXPECT_EQ(streamReadError(withPatch(6, [](uint8_t* p) { byteorder::putI32LE(p, 0x7FFFFFFF); }), counted),
              "Stream read error");
    EXPECT_EQ(counted.Count(), 1);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"negative points", withPatch(10 + 832, [](uint8_t* p) { byteorder::putI32LE(p, -1); })},
        {"huge points", withPatch(10 + 832, [](uint8_t* p) { byteorder::putI32LE(p, 0x7FFFFFFF); })},
        {"zero step", withPatch(10 + 824, [](uint8_t* p) { byteorder::putF64LE(p, 0.0); })},
        {"infinite first x", withPatch(10 + 816, [](uint8_t* p) { byteorder::putF64LE(p, INFINITY); })},
        {"NaN step", withPatch(10 + 824, [](uint8_t* p) { byteorder::putF64LE(p, NAN); })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSpectraList back;
        EXPECT_EQ(streamReadError(c.bytes, back), "Stream read error");
        EXPECT_EQ(back.Count(), 0);
    }
}

TEST_F(RvxFile, InvalidCodesAreMendedAndShortSpectraPassedOver) {
    auto bad = fullRecord(1, 4);
    list.Add(std::move(bad));
    list.Add(fullRecord(2, 1));
    std::string s = RvxFileImage(list);
    auto* r = reinterpret_cast<uint8_t*>(s.data()) + 10;
    byteorder::putI32LE(r + 840, 9);   // x unit
    byteorder::putI32LE(r + 844, 0);   // y kind
    r[852] = 7;                        // line style
    byteorder::putI32LE(r + 856, -2);  // line width
    r[512] = 200;                      // comment length beyond its 50 characters
    TSpectraList back;
    LoadRvxBytes(s, 0, back);
    ASSERT_EQ(back.Count(), 1);  // the one-point spectrum is not kept
    EXPECT_EQ(back[0].XUnit, SpecXNanometer);
    EXPECT_EQ(back[0].YKind, SpecYAbsorbance);
    EXPECT_EQ(back[0].LineStyle, 0);
    EXPECT_EQ(back[0].LineWidth, 1);
    EXPECT_EQ(back[0].Comment1.str().size(), 50u);
    EXPECT_EQ(back[0].Values, list[0].Values);
}

// A spectrum without points (once a copy from a null pointer) is passed over in memory and from a
// file; a spectrum larger than the reader's read piece comes back whole.
TEST_F(RvxFile, EmptyAndLargeSpectraFromMemoryAndFile) {
    list.Add(fullRecord(1, 4));
    list.Add(fullRecord(2, 0));
    list.Add(fullRecord(3, 150'001));
    list.Add(fullRecord(4, 0));
    const std::string image = RvxFileImage(list);
    TempDir dir;
    const std::string path = dir.file("sizes.rvx");
    SaveRvxFile(path, list);
    TSpectraList fromBytes, fromFile;
    LoadRvxBytes(image, 0, fromBytes);
    LoadRvxFile(path, fromFile);
    for (const TSpectraList* back : {&fromBytes, &fromFile}) {
        ASSERT_EQ(back->Count(), 2);
        expectSameRecord((*back)[0], list[0]);
        expectSameRecord((*back)[1], list[2]);
    }
}

TEST_F(RvxFile, OldFileDatesComeFromTheFile) {
    TempDir dir;
    Bytes f;
    f.version(32.0);
    f.i32(f.begin(4), 1);
    std::size_t r = f.begin(1516);
    f.text(r, "dated");
    f.f64(r + 1064, 300.0);
    f.f64(r + 1072, 1.0);
    f.i32(r + 1460, 2);
    f.begin(16);
    const std::string path = dir.write("old.rvx", f.s);
    LoadRvxFile(path, list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].DateText, DateTimeToText(FileDateTimeOf(path)));
    TSpectraList none;
    EXPECT_THROW(LoadRvxFile(dir.file("missing.rvx"), none), vx::FileError);
}
