// Reading and writing SPC images: the three forms built byte by byte, the checks on counts and
// offsets, the written layout and the integrity field.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "spclib/spc_file.h"
#include "spclib/spc_text.h"
#include "tests/spclib_fixture.h"

using namespace spc;

namespace {

std::vector<float> Values(const TARNVIK& doc, uint32_t i, std::vector<float>* x = nullptr) {
    std::vector<float> y;
    EXPECT_TRUE(doc.ReadValues(i, x, &y));
    return y;
}

// A 'K' Even file of nsub subfiles of n float points; subfile k holds k*10 + i.
SpcBytes EvenFile(uint32_t n, uint32_t nsub, uint32_t claimed) {
    SpcBytes s = NewFormHeader('K', nsub > 1 ? 0x04 : 0, n, 100, 200, claimed);
    for (uint32_t k = 0; k < nsub; ++k) {
        AddSubHeader(s, static_cast<uint16_t>(k), float(k), float(k) + 0.5f);
        std::vector<float> y(n);
        for (uint32_t i = 0; i < n; ++i) y[i] = float(k * 10 + i);
        AppendFloats(s, y);
    }
    return s;
}

// The same document, whether opened from memory or from a file read piece by piece.
void ExpectSameDocument(const TARNVIK& a, const TARNVIK& b) {
    EXPECT_EQ(a.header, b.header);
    EXPECT_EQ(a.logHeader, b.logHeader);
    EXPECT_EQ(a.warningCount, b.warningCount);
    EXPECT_EQ(a.warnings, b.warnings);
    EXPECT_EQ(a.integrity, b.integrity);
    EXPECT_EQ(a.commonX, b.commonX);
    EXPECT_EQ(a.hasLogText, b.hasLogText);
    EXPECT_EQ(a.logText, b.logText);
    EXPECT_EQ(a.logDisk, b.logDisk);
    EXPECT_EQ(a.logBinary, b.logBinary);
    EXPECT_EQ(a.largestPoints, b.largestPoints);
    ASSERT_EQ(a.count(), b.count());
    for (uint32_t i = 0; i < a.count(); ++i) {
        const SubfileEntry &ea = a.dir[i], &eb = b.dir[i];
        EXPECT_EQ(ea.points, eb.points) << i;
        EXPECT_EQ(ea.zStart, eb.zStart) << i;
        EXPECT_EQ(ea.zEnd, eb.zEnd) << i;
        EXPECT_EQ(ea.scans, eb.scans) << i;
        EXPECT_EQ(ea.wValue, eb.wValue) << i;
        EXPECT_EQ(ea.firstX, eb.firstX) << i;
        EXPECT_EQ(ea.lastX, eb.lastX) << i;
        EXPECT_EQ(ea.flags & kNonMonotonic, eb.flags & kNonMonotonic) << i;
        std::vector<float> xa, ya, xb, yb;
        EXPECT_TRUE(a.ReadValues(i, &xa, &ya));
        EXPECT_TRUE(b.ReadValues(i, &xb, &yb));
        EXPECT_EQ(xa, xb) << i;
        EXPECT_EQ(ya, yb) << i;
    }
}

// Opens an image from memory, and checks that the same bytes opened as a file (read with pread, the
// values left in the file) give the same result and document; a failed open leaves both empty.
int32_t Open(TARNVIK& doc, const SpcBytes& s) {
    const int32_t r = OpenImage(doc, s.b.data(), s.b.size());
    const std::string path = testing::TempDir() + "spcformat_" + std::to_string(::getpid()) + ".spc";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(s.b.data()), std::streamsize(s.b.size()));
    }
    TARNVIK fromFile;
    EXPECT_EQ(OpenFileImage(fromFile, path), r);
    ExpectSameDocument(doc, fromFile);
    if (r != kOpenOk) {
        EXPECT_EQ(doc.count(), 0u);
        EXPECT_EQ(doc.u32(kSubfiles), 0u);
        EXPECT_TRUE(doc.commonX.empty());
        EXPECT_FALSE(fromFile.source.isOpen());
    }
    std::remove(path.c_str());
    return r;
}

}  // namespace

TEST(SpcFormat, ImagesThatAreNoSpcAreRefused) {
    TARNVIK doc;
    SpcBytes zip = EvenFile(4, 1, 1);
    std::memcpy(zip.b.data(), "\x50\x4B\x03\x04", 4);  // byte 1 reads 'K', yet it is a ZIP header
    EXPECT_EQ(Open(doc, zip), kOpenNotSpc);

    SpcBytes shortK = NewFormHeader('K', 0, 4, 0, 1, 1);
    shortK.b.resize(511);
    EXPECT_EQ(Open(doc, shortK), kOpenNotSpc);

    SpcBytes bmp(300);
    bmp.b[0] = 'B';
    bmp.b[1] = 'M';
    EXPECT_EQ(Open(doc, bmp), kOpenNotSpc);

    SpcBytes other = EvenFile(4, 1, 1);
    other.b[1] = 'J';
    EXPECT_EQ(Open(doc, other), kOpenNotSpc);
    EXPECT_EQ(OpenImage(doc, nullptr, 0), kOpenNotSpc);
}

TEST(SpcFormat, SubfileCountIsCutToWhatFitsBeforeTheLog) {
    TARNVIK doc;
    SpcBytes s = EvenFile(3, 2, 7);
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.count(), 2u);
    ASSERT_EQ(doc.warningCount, 1);
    EXPECT_EQ(doc.warnings[0], -1);
    EXPECT_EQ(Values(doc, 1), (std::vector<float>{10, 11, 12}));
    EXPECT_FLOAT_EQ(doc.dir[1].zStart, 1.0f);
    // Without a version tag the file is of the previous revision and fails the integrity check.
    EXPECT_EQ(doc.u8(kMajorRev), 3);
    EXPECT_EQ(doc.integrity, kIntegrityFail);
}

TEST(SpcFormat, CountsThatWouldOverflowOrPointOutsideNeverReadPastTheImage) {
    TARNVIK doc;
    // A point count of 2^30 with a log offset inside the header: the count check works in 64 bits.
    SpcBytes s = EvenFile(3, 1, 1);
    s.u32(4, 0x40000000);
    s.u32(248, 100);
    EXPECT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.count(), 0u);
    EXPECT_EQ(doc.u32(kPoints), 0u);

    // A subfile cut short does not count.
    SpcBytes cut = EvenFile(3, 1, 1);
    cut.b.resize(cut.b.size() - 1);
    EXPECT_EQ(Open(doc, cut), kOpenOk);
    EXPECT_EQ(doc.count(), 0u);
    EXPECT_EQ(doc.warnings[0], -1);

    // XYY without points is bad data, as is an XYY array that does not fit.
    SpcBytes xyy = NewFormHeader('K', 0x80, 0, 0, 1, 1);
    EXPECT_EQ(Open(doc, xyy), kOpenBadData);
    SpcBytes xyyBig = NewFormHeader('K', 0x80, 1000, 0, 1, 1);
    EXPECT_EQ(Open(doc, xyyBig), kOpenBadData);  // the count check leaves no points

    // XYXY subfile that claims more points than the image holds.
    SpcBytes xyxy = NewFormHeader('K', 0xC0, 0, 0, 1, 1);
    AddSubHeader(xyxy, 0, 0, 0, 0xFFFFFFFF);
    EXPECT_EQ(Open(doc, xyxy), kOpenBadData);
}

TEST(SpcFormat, XYXYWithoutDirectoryIsReadInSequenceWithWarning) {
    TARNVIK doc;
    SpcBytes s = NewFormHeader('K', 0xC4, 0, 0, 0, 2);
    AddSubHeader(s, 0, 1, 1, 2);
    AppendFloats(s, {5, 6, 50, 60});
    AddSubHeader(s, 1, 2, 2, 3);
    AppendFloats(s, {9, 7, 8, 90, 70, 80});  // not monotonic
    ASSERT_EQ(Open(doc, s), kOpenOk);
    ASSERT_EQ(doc.warningCount, 1);
    EXPECT_EQ(doc.warnings[0], -6);
    std::vector<float> x;
    EXPECT_EQ(Values(doc, 1, &x), (std::vector<float>{90, 70, 80}));
    EXPECT_EQ(x, (std::vector<float>{9, 7, 8}));
    EXPECT_FLOAT_EQ(doc.dir[1].firstX, 7);
    EXPECT_FLOAT_EQ(doc.dir[1].lastX, 9);
    EXPECT_TRUE(doc.dir[1].flags & kNonMonotonic);
    EXPECT_FALSE(doc.dir[0].flags & kNonMonotonic);
}

TEST(SpcFormat, XYXYDirectoryEntriesAreFollowedAndChecked) {
    SpcBytes s = NewFormHeader('K', 0xC4, 0, 0, 0, 2);
    std::size_t a = AddSubHeader(s, 0, 1, 1, 1);
    AppendFloats(s, {1, 10});
    std::size_t b = AddSubHeader(s, 1, 2, 2, 1);
    AppendFloats(s, {2, 20});
    std::size_t dirOff = s.b.size();
    // The directory lists the second subfile first.
    s.u32(dirOff, uint32_t(b));
    s.u32(dirOff + 4, 40);
    s.f32(dirOff + 8, 2);
    s.u32(dirOff + 12, uint32_t(a));
    s.u32(dirOff + 16, 40);
    s.f32(dirOff + 20, 1);
    s.u32(4, uint32_t(dirOff));
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.warningCount, 0);
    EXPECT_EQ(Values(doc, 0), (std::vector<float>{20}));

    s.u32(dirOff + 12, uint32_t(s.b.size() + 100));  // outside the file
    EXPECT_EQ(Open(doc, s), kOpenBadData);
}

TEST(SpcFormat, BigEndianXYYFileWithFixedPointYAndLog) {
    // 'L': byte-reversed header fields, X array, 32-bit fixed Y with exchanged halves, log header.
    SpcBytes s = NewFormHeader('L', 0x84, 3, 0, 0, 2);
    s.u8(3, 8);  // Y exponent 8: value = i32 * 2^8 / 2^32
    s.u32(316, 0);
    AppendFloats(s, {400, 500, 600});
    for (uint16_t k = 0; k < 2; ++k) {
        std::size_t off = AddSubHeader(s, k, float(k), float(k), 0, 8);
        (void)off;
        for (int i = 0; i < 3; ++i) {
            // value (k+1)*(i+1) -> i32 = v * 2^24; stored with the 16-bit halves exchanged.
            uint32_t w = static_cast<uint32_t>((k + 1) * (i + 1)) << 24;
            uint32_t exchanged = (w << 16) | (w >> 16);
            s.u32(s.b.size(), exchanged);
        }
    }
    std::size_t logOff = s.b.size();
    std::string text = "A=1\r\nB=2\r\n";
    s.u32(logOff, uint32_t(64 + text.size() + 1));
    s.u32(logOff + 8, 64);
    s.text(logOff + 64, text);
    s.u8(logOff + 64 + text.size(), 0);
    s.u32(248, uint32_t(logOff));
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.u8(kMajorRev), 2);
    EXPECT_EQ(doc.count(), 2u);
    std::vector<float> x;
    EXPECT_EQ(Values(doc, 1, &x), (std::vector<float>{2, 4, 6}));
    EXPECT_EQ(x, (std::vector<float>{400, 500, 600}));
    EXPECT_DOUBLE_EQ(doc.FirstPoint(), 400);
    EXPECT_DOUBLE_EQ(doc.LastPoint(), 600);
    EXPECT_EQ(doc.warningCount, 0);
    EXPECT_EQ(doc.logText, "A=1\r\nB=2\r\n");
    EXPECT_EQ(GetLogKey(doc, "b").value_or("?"), "2");
    EXPECT_EQ(doc.integrity, kIntegrityFail);
}

TEST(SpcFormat, BigEndianSixteenBitValuesAreSwappedPerValue) {
    SpcBytes s = NewFormHeader('L', 0x01, 2, 0, 1, 1);
    s.u8(3, 0x80);  // with 16-bit values: raw i16
    AddSubHeader(s, 0, 0, 0);
    s.u16(s.b.size(), static_cast<uint16_t>(-3));
    s.u16(s.b.size(), 1000);
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(Values(doc, 0), (std::vector<float>{-3, 1000}));
}

TEST(SpcFormat, SixteenBitValuesScaleByTheExponentOrStayRaw) {
    SpcBytes s = NewFormHeader('K', 0x01, 2, 0, 1, 1);
    s.u8(3, 16);  // i16 * 2^16 / 2^16
    AddSubHeader(s, 0, 0, 0);
    s.u16(s.b.size(), static_cast<uint16_t>(-7));
    s.u16(s.b.size(), 12);
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(Values(doc, 0), (std::vector<float>{-7, 12}));
    EXPECT_EQ(doc.YPrecision(), 0);
    s.u8(3, 0x80);
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(Values(doc, 0), (std::vector<float>{-7, 12}));
}

TEST(SpcFormat, ExponentTableHoldsPowersAndTheListedSmallValues) {
    EXPECT_EQ(ExponentFactor(0), 1.0);
    EXPECT_EQ(ExponentFactor(static_cast<uint8_t>(-80)), std::ldexp(1.0, -80));
    EXPECT_EQ(ExponentFactor(static_cast<uint8_t>(-100)), std::ldexp(1.0, -100));
    EXPECT_EQ(ExponentFactor(static_cast<uint8_t>(-128)), 2.9e-39);
    EXPECT_EQ(ExponentFactor(static_cast<uint8_t>(-81)), 4.135903062765138e-25);
    EXPECT_EQ(ExponentFactor(127), std::ldexp(1.0, 127));
}

TEST(SpcFormat, OldFormIsMappedIntoTheNewHeader) {
    SpcBytes s(224);
    s.u8(0, 0x01 | 0x02 | 0x40);  // 0x02 and 0x40 are not kept
    s.u8(1, 'M');
    s.u8(2, 16);
    s.f32(4, 3.0f);
    s.f32(8, 1000.0f);
    s.f32(12, 3000.0f);
    s.u8(16, 1);
    s.u8(17, 2);
    s.u16(18, static_cast<uint16_t>((15u << 12) | 2014));
    s.u8(20, 4);
    s.u8(21, 3);
    s.u8(22, 10);
    s.u8(23, 5);
    s.text(24, "4 cm-1");
    s.u16(32, 77);
    s.text(64, "old comment");
    for (int k = 0; k < 2; ++k) {
        AddSubHeader(s, uint16_t(k), 0, 0, 0, 16);
        for (int i = 0; i < 3; ++i) s.u16(s.b.size(), static_cast<uint16_t>(k * 100 + i));
    }
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.u8(kForm), 'M');
    EXPECT_EQ(doc.flags(), 0x01 | 0x04 | 0x20);  // 16 bit, multifile, labels (Z type 15)
    EXPECT_EQ(doc.u8(kMajorRev), 1);
    EXPECT_EQ(doc.count(), 2u);
    EXPECT_EQ(doc.warningCount, 0);
    EXPECT_EQ(doc.u32(kPoints), 3u);
    EXPECT_DOUBLE_EQ(doc.f64(kFirstX), 1000.0);
    EXPECT_EQ(doc.u8(kZType), 15);
    EXPECT_EQ(doc.u32(kDate), (2014u << 20) | (4u << 16) | (3u << 11) | (10u << 6) | 5u);
    EXPECT_EQ(GetText(doc, kResolutionField), "4 cm-1");
    EXPECT_EQ(doc.u16(kPeakPoint), 77);
    EXPECT_EQ(Values(doc, 1), (std::vector<float>{100, 101, 102}));

    for (float bad : {0.0f, -3.0f, NAN, INFINITY, 5e9f}) {
        s.f32(4, bad);
        EXPECT_EQ(Open(doc, s), kOpenBadData) << bad;
    }
}

TEST(SpcFormat, OldFormThirtyTwoBitValuesHaveExchangedHalves) {
    SpcBytes s(224);
    s.u8(1, 'M');
    s.u8(2, 8);
    s.f32(4, 2.0f);
    AddSubHeader(s, 0, 0, 0, 0, 8);
    for (int v : {3, -2}) {
        uint32_t w = static_cast<uint32_t>(v) << 24;
        s.u32(s.b.size(), (w << 16) | (w >> 16));
    }
    s.grow(256);  // old images are at least 256 bytes; the padding holds no whole subfile
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.count(), 1u);
    EXPECT_EQ(Values(doc, 0), (std::vector<float>{3, -2}));
}

TEST(SpcFormat, LogAreasThatDoNotFitAreDroppedWithTheirWarnings) {
    // Binary size above the block size: binary dropped, disk and text kept.
    SpcBytes s = EvenFile(2, 1, 1);
    std::size_t logOff = s.b.size();
    std::string text = "K=V\r\n";
    uint32_t block = 64 + 4 + uint32_t(text.size()) + 1;
    s.u32(logOff, block);
    s.u32(logOff + 8, 64 + 4);
    s.u32(logOff + 12, 100000);
    s.u32(logOff + 16, 4);
    s.text(logOff + 64, "DISK");
    s.text(logOff + 68, text);
    s.u8(logOff + 68 + text.size(), 0);
    s.u32(248, uint32_t(logOff));
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    ASSERT_EQ(doc.warningCount, 1);
    EXPECT_EQ(doc.warnings[0], -4);
    EXPECT_TRUE(doc.logBinary.empty());
    EXPECT_EQ(std::string(doc.logDisk.begin(), doc.logDisk.end()), "DISK");
    EXPECT_EQ(GetLogKey(doc, "K").value_or("?"), "V");

    // A text area running past the end is cut there.
    s.u32(logOff + 12, 0);
    s.u32(logOff, 100000);
    s.b.pop_back();  // no final NUL either
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.logText, text);

    // A 600-byte file whose log would start at 560 loses its log.
    SpcBytes small = EvenFile(2, 1, 1);
    small.grow(600);
    small.u32(248, 560);
    ASSERT_EQ(Open(doc, small), kOpenOk);
    ASSERT_EQ(doc.warningCount, 1);
    EXPECT_EQ(doc.warnings[0], -3);
    EXPECT_FALSE(doc.hasLogText);
}

TEST(SpcFormat, WPlanesAboveTheSubfileCountAreClamped) {
    SpcBytes s = EvenFile(2, 2, 2);
    s.u32(316, 9);
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.u32(kWPlanes), 2u);
    ASSERT_EQ(doc.warningCount, 1);
    EXPECT_EQ(doc.warnings[0], -2);
}

TEST(SpcFormat, WrittenLayoutIsByteExact) {
    TARNVIK doc;
    doc.Create(kEven);
    doc.setF64(kFirstX, 10);
    doc.setF64(kLastX, 30);
    float z = 5;
    ASSERT_TRUE(doc.AddSubFile({1, 2, 3}, nullptr, z, z + 1));
    ASSERT_TRUE(doc.AddSubFile({4, 5, 6}, nullptr, 7, 8));
    doc.dir[1].scans = 9;
    std::string_view v = "x";
    AppendLog(doc, "KEY", &v);
    doc.logBinary = {1, 2};
    auto img = BuildImage(doc, -1);
    ASSERT_TRUE(img);
    SpcBytes s;
    s.b = *img;
    ASSERT_EQ(s.b.size(), 512u + 2 * (32 + 12) + 64 + 2 + 8);
    EXPECT_EQ(s.b[0], 0x04 | 0x10);  // multifile, Z ordered by the default
    EXPECT_EQ(s.b[1], 'K');
    EXPECT_EQ(s.b[3], 0x80);
    EXPECT_EQ(s.getU32(4), 3u);
    EXPECT_EQ(s.getU32(24), 2u);
    EXPECT_EQ(std::memcmp(s.b.data() + 325, "VER.\0", 5), 0);
    EXPECT_EQ(s.b[330], 4);
    // Subfile headers.
    EXPECT_EQ(s.b[512 + 1], 0x80);
    EXPECT_EQ(s.b[556 + 2], 1);
    EXPECT_FLOAT_EQ(s.getF32(556 + 4), 7);
    EXPECT_FLOAT_EQ(s.getF32(556 + 8), 8);
    EXPECT_EQ(s.getU32(556 + 20), 9u);
    EXPECT_FLOAT_EQ(s.getF32(544 + 8), 3);
    EXPECT_FLOAT_EQ(s.getF32(588 + 8), 6);
    // Log block.
    uint32_t logOff = s.getU32(248);
    EXPECT_EQ(logOff, 600u);
    EXPECT_EQ(s.getU32(logOff), 64u + 2 + 8);
    EXPECT_EQ(s.getU32(logOff + 4), 4096u);
    EXPECT_EQ(s.getU32(logOff + 8), 64u + 2);
    EXPECT_EQ(s.getU32(logOff + 12), 2u);
    EXPECT_EQ(s.getU32(logOff + 16), 0u);
    EXPECT_EQ(std::string(s.b.end() - 8, s.b.end()), std::string("KEY=x\r\n\0", 8));
    EXPECT_EQ(CheckIntegrity(s.b.data(), s.b.size(), {}), kIntegrityNull);

    // One subfile on its own: no multifile flag, count 1.
    auto one = BuildImage(doc, 1);
    ASSERT_TRUE(one);
    EXPECT_EQ((*one)[0] & 0x04, 0);
    EXPECT_EQ((*one)[24], 1);
    EXPECT_FALSE(BuildImage(doc, 2));
    EXPECT_FALSE(BuildImage(doc, -2));
}

TEST(SpcFormat, XYXYLayoutEndsWithItsDirectory) {
    TARNVIK doc;
    doc.Create(kXYXYType);
    std::vector<float> x1{1, 2}, x2{5, 6, 7};
    ASSERT_TRUE(doc.AddSubFile({10, 20}, &x1, 0, 0));
    ASSERT_TRUE(doc.AddSubFile({50, 60, 70}, &x2, 1, 1));
    auto img = BuildImage(doc, -1);
    ASSERT_TRUE(img);
    SpcBytes s;
    s.b = *img;
    uint32_t dirOff = s.getU32(4);
    EXPECT_EQ(dirOff, 512u + 32 + 16 + 32 + 24);
    EXPECT_EQ(s.getU32(dirOff), 512u);
    EXPECT_EQ(s.getU32(dirOff + 4), 48u);
    EXPECT_EQ(s.getU32(dirOff + 12), 560u);
    EXPECT_EQ(s.getU32(dirOff + 16), 56u);
    EXPECT_EQ(s.getU32(560 + 16), 3u);
    EXPECT_FLOAT_EQ(s.getF32(560 + 32), 5);
    EXPECT_EQ(s.b[0] & 0xC4, 0xC4);
    EXPECT_DOUBLE_EQ(s.getF64(8), 1);
    EXPECT_DOUBLE_EQ(s.getF64(16), 7);

    TARNVIK back;
    ASSERT_EQ(OpenImage(back, s.b.data(), s.b.size()), kOpenOk);
    EXPECT_EQ(back.warningCount, 0);
    EXPECT_EQ(back.integrity, kIntegrityNull);
    std::vector<float> x;
    EXPECT_EQ(Values(back, 1, &x), (std::vector<float>{50, 60, 70}));
    EXPECT_EQ(x, x2);

    // The second subfile alone takes its own X range into the header.
    auto one = BuildImage(doc, 1);
    ASSERT_TRUE(one);
    SpcBytes o;
    o.b = *one;
    EXPECT_DOUBLE_EQ(o.getF64(8), 5);
    EXPECT_DOUBLE_EQ(o.getF64(16), 7);
}

TEST(SpcFormat, IntegrityOutcomesFollowTheKeyTable) {
    TARNVIK doc;
    doc.Create(kEven);
    ASSERT_TRUE(doc.AddSubFile({1, 2, 3, 4}, nullptr, 0, 0));
    auto plain = BuildImage(doc, -1);
    doc.key = {'s', 'e', 'c'};
    auto keyed = BuildImage(doc, -1);
    ASSERT_TRUE(plain && keyed);
    const std::vector<uint8_t> none, right{'s', 'e', 'c'}, wrong{'x'};
    struct Case {
        const std::vector<uint8_t>* image;
        const std::vector<uint8_t>* key;
        bool flip;
        uint32_t expected;
    } cases[] = {
        {&*plain, &none, false, kIntegrityNull},  {&*plain, &right, false, kIntegrityNull},
        {&*keyed, &right, false, kIntegrityKey},  {&*keyed, &none, false, kIntegrityFail},
        {&*keyed, &wrong, false, kIntegrityFail}, {&*plain, &none, true, kIntegrityFail},
        {&*keyed, &right, true, kIntegrityFail},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> img = *c.image;
        if (c.flip) img[520] ^= 0x01;
        TARNVIK reader;
        reader.key = *c.key;
        ASSERT_EQ(OpenImage(reader, img.data(), img.size()), kOpenOk);
        EXPECT_EQ(reader.integrity, c.expected) << c.key->size() << " " << c.flip;
        // The check leaves the image as read.
        EXPECT_EQ(std::memcmp(img.data() + 332, c.image->data() + 332, 20), 0);
    }
}

TEST(SpcFormat, UntaggedFileWrittenBackGetsTagRevisionAndValidDigest) {
    SpcBytes s = EvenFile(2, 1, 1);
    s.u8(331, 7);
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    EXPECT_EQ(doc.u8(kMajorRev), 3);
    EXPECT_EQ(doc.u8(kMinorRev), 7);
    auto img = BuildImage(doc, -1);
    ASSERT_TRUE(img);
    TARNVIK back;
    ASSERT_EQ(OpenImage(back, img->data(), img->size()), kOpenOk);
    EXPECT_EQ(back.u8(kMajorRev), 4);
    EXPECT_EQ(back.integrity, kIntegrityNull);
}

// Found by fuzzing: subfiles of no points (an Even header without points, an XYXY subfile of 0).
TEST(SpcFormat, SubfilesWithoutPointsAreReadAsEmpty) {
    TARNVIK doc;
    SpcBytes even = NewFormHeader('K', 0, 0, 0, 1, 2);
    AddSubHeader(even, 0, 0, 0);
    AddSubHeader(even, 1, 0, 0);
    ASSERT_EQ(Open(doc, even), kOpenOk);
    EXPECT_EQ(doc.count(), 2u);
    EXPECT_TRUE(Values(doc, 1).empty());

    SpcBytes xyxy = NewFormHeader('K', 0xC0, 0, 0, 1, 1);
    AddSubHeader(xyxy, 0, 0, 0, 0);
    ASSERT_EQ(Open(doc, xyxy), kOpenOk);
    EXPECT_EQ(doc.count(), 1u);
    EXPECT_EQ(doc.dir[0].points, 0u);
    auto img = BuildImage(doc, -1);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->size(), 512u + 32 + 12);
}

// Subfiles read from a file without the multifile flag keep their own Z values when written back:
// the written file says they are ordered, so a reader does not space them evenly.
TEST(SpcFormat, SubfilesOfAFileWithoutTheMultifileFlagKeepTheirZ) {
    SpcBytes s = NewFormHeader('K', 0, 2, 0, 1, 3);
    const float z[] = {5, 7, 20};
    for (uint16_t k = 0; k < 3; ++k) {
        AddSubHeader(s, k, z[k], z[k]);
        AppendFloats(s, {float(k), float(k)});
    }
    TARNVIK doc;
    ASSERT_EQ(Open(doc, s), kOpenOk);
    ASSERT_EQ(doc.count(), 3u);
    auto img = BuildImage(doc, -1);
    ASSERT_TRUE(img);
    EXPECT_EQ((*img)[0] & (kFlagMulti | kFlagZOrdered | kFlagZRandom), kFlagMulti | kFlagZOrdered);
    TARNVIK back;
    ASSERT_EQ(OpenImage(back, img->data(), img->size()), kOpenOk);
    for (uint32_t k = 0; k < 3; ++k) EXPECT_EQ(back.ZStartOf(k), z[k]) << k;

    // A multifile that says its Z values are even stays even; random order stays random.
    for (uint8_t order : {uint8_t(0), uint8_t(kFlagZRandom)}) {
        s.u8(0, kFlagMulti | order);
        ASSERT_EQ(Open(doc, s), kOpenOk);
        auto again = BuildImage(doc, -1);
        ASSERT_TRUE(again);
        EXPECT_EQ((*again)[0] & (kFlagZOrdered | kFlagZRandom), order);
    }
}
