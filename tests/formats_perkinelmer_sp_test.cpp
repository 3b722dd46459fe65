// PerkinElmer files in each of their layouts, built byte by byte or line by line.
#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"
#include "formats/perkinelmer_sp.h"
#include "formats_test_util.h"
#include "instrument_file_builder.h"
#include "platform/errors.h"
#include "platform/ui.h"

using fmt_test::ByteImage;
using fmt_test::CleanState;
using fmt_test::crlfLines;

namespace {

constexpr const char* kName = "/data/run7.sp";
constexpr const char* kFileDate = "2001-02-03 04:05:06";

TSpectrumRecord read(const std::string& bytes) {
    TSpectrumRecord r;  // the Open command's fresh record: nm, absorbance
    ReadSpecPerkinElmerBytes(r, bytes, kName, kFileDate);
    return r;
}

template <class E>
std::string errorOf(const std::string& bytes) {
    return fmt_test::errorText<E>([&] { read(bytes); });
}

void expectCommonFields(const TSpectrumRecord& r) {
    EXPECT_EQ(r.SourceKind, 18);
    EXPECT_EQ(r.SpecType, "perkinelmer_sp");
    EXPECT_EQ(r.FileName, kName);
    EXPECT_EQ(r.Concentration, 0.0);
    EXPECT_EQ(r.PathLength, 1.0);
    EXPECT_EQ(r.Temperature, -1.0);
    EXPECT_EQ(r.ExposureTime, -1.0);
    EXPECT_EQ(r.LineWidth, 1);
    EXPECT_TRUE(r.Solvent.empty());
}

// ---- Old binary header

struct OldHeader {
    int32_t count = 601;
    int32_t first100 = 20000, last100 = 80000;
    int16_t step100 = 100;
    uint8_t yCode = 1;
    int32_t divisor = 1000;
    uint16_t layout = 502;
    std::string title = "SAMPLE01", yText = "A   ", xText = "NM  ", date = "12/03/99", time = "10:11:12";
    std::string comment = "solid film";
};

std::string oldBinary(const OldHeader& h, int32_t values = -1) {
    ByteImage b(512);
    b.text(0, h.title).i32le(10, h.count).i32le(14, h.last100).i32le(18, h.first100);
    b.u16le(22, static_cast<uint16_t>(h.step100)).u8(25, h.yCode).i32le(28, h.divisor).u16le(80, h.layout);
    b.text(146, h.yText).text(150, h.xText).text(156, h.date).text(164, h.time).text(176, h.comment);
    if (values < 0) values = h.count;
    for (int32_t i = 0; i < values; ++i) b.i32le(512 + 4 * std::size_t(i), 10 * i + 5);
    return b.str();
}

TEST(PerkinElmerOldBinary, HeaderFieldsAndGrid) {
    CleanState state;
    const TSpectrumRecord r = read(oldBinary({}));
    expectCommonFields(r);
    ASSERT_EQ(r.PointCount(), 601);
    EXPECT_EQ(r.FirstX, 200.0);
    EXPECT_EQ(r.StepX, 1.0);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_EQ(r.Values[0], 5 / 1000.0);
    EXPECT_EQ(r.Values[600], 6005 / 1000.0);
    EXPECT_EQ(r.Title, "SAMPLE01");
    EXPECT_EQ(r.DateText, "12/03/99 10:11:12");
    EXPECT_EQ(r.Comment1, "solid film");
    EXPECT_TRUE(r.Comment2.empty());
    EXPECT_EQ(r.ExcitationWl, -1.0);
}

TEST(PerkinElmerOldBinary, LayoutVariants) {
    CleanState state;
    struct Case {
        const char* what;
        OldHeader h;
        double firstX, stepX;
        SpecXUnit xUnit;
        SpecYKind yKind;
        double value0;  // stored value of point 0
    };
    auto h = [](auto f) {
        OldHeader x;
        f(x);
        return x;
    };
    const Case cases[] = {
        {"falling nm is stored rising", h([](OldHeader& x) { std::swap(x.first100, x.last100); }), 200, 1,
         SpecXNanometer, SpecYAbsorbance, 6005 / 1000.0},
        {"negative step field", h([](OldHeader& x) { x.step100 = -100; }), 200, 1, SpecXNanometer, SpecYAbsorbance,
         5 / 1000.0},
        {"wavenumbers fall", h([](OldHeader& x) { x.xText = "CM-1"; x.first100 = 400000; x.last100 = 340000; }),
         4000, -1, SpecXWavenumber, SpecYAbsorbance, 5 / 1000.0},
        {"rising wavenumbers are reversed",
         h([](OldHeader& x) { x.xText = "CM-1"; x.first100 = 340000; x.last100 = 400000; }), 4000, -1,
         SpecXWavenumber, SpecYAbsorbance, 6005 / 1000.0},
        {"y text %T beats y code 1", h([](OldHeader& x) { x.yText = "%T  "; x.divisor = 100; }), 200, 1,
         SpecXNanometer, SpecYTransmittance, -std::log10(5.0 / 100 * 100 / 100)},
        {"y code 2 is transmittance", h([](OldHeader& x) { x.yCode = 2; x.yText = ""; x.divisor = 100; }), 200, 1,
         SpecXNanometer, SpecYTransmittance, -std::log10(0.05)},
        {"%R is reflectance", h([](OldHeader& x) { x.yText = "%R"; x.divisor = 100; }), 200, 1, SpecXNanometer,
         SpecYReflectance, -std::log10(0.05)},
        {"intensity in nm is fluorescence", h([](OldHeader& x) { x.yText = "INT"; }), 200, 1, SpecXNanometer,
         SpecYIntensity, 5 / 1000.0 / 250},
        {"energy in 1/cm is not", h([](OldHeader& x) { x.yText = "EGY"; x.xText = "CM-1"; }), 800, -1,
         SpecXWavenumber, SpecYIntensity, 6005 / 1000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TSpectrumRecord r = read(oldBinary(c.h));
        ASSERT_EQ(r.PointCount(), 601);
        EXPECT_EQ(r.FirstX, c.firstX);
        EXPECT_EQ(r.StepX, c.stepX);
        EXPECT_EQ(r.XUnit, c.xUnit);
        EXPECT_EQ(r.YKind, c.yKind);
        EXPECT_NEAR(r.Values[0], c.value0, 1e-15);
    }
}

TEST(PerkinElmerOldBinary, EmptyTextFieldsKeepTheDefaults) {
    CleanState state;
    OldHeader h;
    h.title = h.date = h.time = h.comment = "";
    const TSpectrumRecord r = read(oldBinary(h));
    EXPECT_EQ(r.Title, "run7.sp");
    EXPECT_EQ(r.DateText, kFileDate);
    EXPECT_TRUE(r.Comment1.empty());
}

TEST(PerkinElmerOldBinary, BadCountsAndDivisors) {
    CleanState state;
    OldHeader h;
    EXPECT_EQ(errorOf<vx::FileError>(oldBinary(h, 600)), "Stream read error");
    h.count = -1;
    EXPECT_EQ(errorOf<vx::FileError>(oldBinary(h, 0)), "Stream read error");
    h.count = 0x40000000;  // four times the count would wrap a 32-bit size
    EXPECT_EQ(errorOf<vx::FileError>(oldBinary(h, 3)), "Stream read error");
    h.count = 601;
    h.divisor = 0;
    EXPECT_EQ(errorOf<vx::FloatError>(oldBinary(h)), "Invalid floating point operation");
    EXPECT_EQ(errorOf<vx::FileError>(oldBinary({}).substr(0, 300)), "Stream read error");
    h.divisor = 10;
    h.count = 1;
    EXPECT_EQ(read(oldBinary(h)).PointCount(), 0);
    h.count = 601;
    h.step100 = 0;
    EXPECT_EQ(read(oldBinary(h)).PointCount(), 0);
}

// ---- Block layout

// One block: tag, length of what follows, body.
std::string block(uint16_t tag, const std::string& body) {
    ByteImage b(6);
    b.u16le(0, tag).i32le(2, static_cast<int32_t>(body.size()));
    return b.str() + body;
}
std::string field16() { return std::string(2, '\x01'); }
std::string zeros(std::size_t n) { return std::string(n, '\0'); }
std::string doubles(std::initializer_list<double> v) {
    ByteImage b;
    std::size_t off = 0;
    for (double d : v) b.f64le(off, d), off += 8;
    return b.str();
}
std::string int32(int32_t v) { return ByteImage().i32le(0, v).str(); }
std::string textBlock(uint16_t tag, const std::string& t) { return block(tag, field16() + zeros(2) + t); }
// A sub-block of the information group: tag, length, type, then its body.
std::string subBlock(uint16_t tag, uint16_t type, const std::string& rest) {
    ByteImage b(8);
    b.u16le(0, tag).i32le(2, static_cast<int32_t>(rest.size() + 2)).u16le(6, type);
    return b.str() + rest;
}

struct BlockFile {
    double first = 4000, last = 400, step = 1;
    std::string xText = "CM-1", yText = "A";
    int count = 3601;
    int values = 3601;
    std::string infoGroup;  // the 0x8B7F group's body; empty: legend and date among other sub-blocks
};

std::string blockLayout(const BlockFile& f) {
    std::string s = "PEPE" + std::string(40, ' ');
    std::string header = block(0x8B72, field16() + doubles({f.first, f.last})) + block(0x8B74, field16() + doubles({f.step})) +
                         block(0x8B75, field16() + int32(f.count));
    s += block(0x0078, header);
    s += textBlock(0x8B77, f.xText) + textBlock(0x8B78, f.yText);
    // A sub-block of no known type is entered: the bytes after its head are read as sub-blocks.
    const std::string entered = ByteImage(6).u16le(0, 0x4444).i32le(2, 999).str();
    std::string info = subBlock(0x1234, 29980, "skip") +
                       subBlock(0x8B74, 0, zeros(2) + std::string("2003-04-05 12:00\0\0", 18)) + entered +
                       subBlock(0x8B76, 0, zeros(2) + "KBr pellet");
    s += block(0x8B7F, f.infoGroup.empty() ? info : f.infoGroup);
    s += textBlock(0x8B7D, "purged");
    s += block(0x9999, "unknown block, skipped");
    std::string v = field16() + std::string(4, '\0');
    for (int i = 0; i < f.values; ++i) v += doubles({0.001 * i});
    s += block(0x8B7C, v);
    return s;
}

TEST(PerkinElmerBlocks, FieldsAndDirection) {
    CleanState state;
    struct Case {
        const char* what;
        BlockFile f;
        double firstX, stepX, value0;
        SpecXUnit xUnit;
        SpecYKind yKind;
    };
    BlockFile rising;
    rising.first = 400, rising.last = 4000;
    BlockFile nm;
    nm.xText = "NM", nm.first = 190, nm.last = 3790, nm.step = -1;
    BlockFile raman;
    raman.xText = "RAMAN SHIFT CM-1";
    BlockFile transmittance;
    transmittance.yText = "%T";
    BlockFile emission;
    emission.xText = "NM", emission.yText = "INT", emission.first = 300, emission.last = 3900;
    const Case cases[] = {
        {"falling 1/cm keeps file order", {}, 4000, -1, 0.0, SpecXWavenumber, SpecYAbsorbance},
        {"rising 1/cm is reversed", rising, 4000, -1, 3.6, SpecXWavenumber, SpecYAbsorbance},
        {"nm rises whatever the step's sign", nm, 190, 1, 0.0, SpecXNanometer, SpecYAbsorbance},
        {"Raman shift", raman, 4000, -1, 0.0, SpecXRamanShift, SpecYAbsorbance},
        {"percent transmittance", transmittance, 4000, -1, 6.0, SpecXWavenumber, SpecYTransmittance},
        {"emission in nm is divided by 250", emission, 300, 1, 0.0, SpecXNanometer, SpecYIntensity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TSpectrumRecord r = read(blockLayout(c.f));
        expectCommonFields(r);
        ASSERT_EQ(r.PointCount(), 3601);
        EXPECT_EQ(r.FirstX, c.firstX);
        EXPECT_EQ(r.StepX, c.stepX);
        EXPECT_EQ(r.XUnit, c.xUnit);
        EXPECT_EQ(r.YKind, c.yKind);
        EXPECT_NEAR(r.Values[0], c.value0, 1e-12);
        EXPECT_EQ(r.Title, "KBr pellet");
        EXPECT_EQ(r.DateText, "2003-04-05 12:00");
        EXPECT_EQ(r.Comment1, "purged");
    }
    BlockFile e = emission;
    EXPECT_DOUBLE_EQ(read(blockLayout(e)).Values[10], 0.010 / 250);
    EXPECT_DOUBLE_EQ(read(blockLayout(transmittance)).Values[1000], -std::log10(1.0 / 100));
}

TEST(PerkinElmerBlocks, YTextIsTestedAsPartOfItsList) {
    CleanState state;
    const std::pair<const char*, SpecYKind> cases[] = {
        {"A", SpecYAbsorbance},      {"%T", SpecYTransmittance}, {"%R", SpecYReflectance}, {"%RC", SpecYReflectance},
        {"INTENSITY", SpecYIntensity}, {"ABS", SpecYAbsorbance},   {"", SpecYAbsorbance},    {"T", SpecYTransmittance},
    };
    for (auto [text, kind] : cases) {
        BlockFile f;
        f.yText = text;
        EXPECT_EQ(read(blockLayout(f)).YKind, kind) << text;
    }
}

TEST(PerkinElmerBlocks, LengthsAndCountsAreChecked) {
    CleanState state;
    const std::string good = blockLayout({});
    auto withLength = [&](std::size_t at, int32_t len) {
        std::string s = good;
        ByteImage b;
        b.i32le(0, len);
        s.replace(at + 2, 4, b.str());
        return s;
    };
    const std::size_t firstBlock = 44;
    const std::size_t valuesBlock = good.size() - (6 + 6 + 8 * 3601);
    struct Case {
        const char* what;
        std::string bytes;
    };
    BlockFile moreCount;
    moreCount.count = 3602;
    BlockFile negative;
    negative.count = -5;
    const Case cases[] = {
        {"group past the end", withLength(firstBlock, int32_t(good.size()))},
        {"negative length", withLength(valuesBlock, -12)},
        {"values block past the end", withLength(valuesBlock, 6 + 8 * 3602)},
        {"count above the values present", blockLayout(moreCount)},
        {"negative count", blockLayout(negative)},
        {"head cut off", good + "\x7C\x8B\x01"},
        {"block shorter than its fields", good + block(0x8B72, field16() + doubles({1.0}))},
        {"text block shorter than its head", good + block(0x8B77, "x")},
        {"block reaching past its group", block(0x0078, block(0x8B74, field16() + doubles({1.0})).substr(0, 12)) + ""},
    };
    for (const Case& c : cases) {
        std::string bytes = c.bytes;
        if (bytes.rfind("PEPE", 0) != 0) bytes = "PEPE" + std::string(40, ' ') + bytes + good.substr(44);
        EXPECT_EQ(errorOf<vx::FileError>(bytes), "Stream read error") << c.what;
    }
    // One stray byte at the end is not a block.
    EXPECT_EQ(read(good + "\x01").PointCount(), 3601);
    // Without a values block there is nothing to keep.
    EXPECT_EQ(read(good.substr(0, valuesBlock)).PointCount(), 0);
}

// Instruments end the information group 6 bytes after the head of its last sub-block: that head
// reaches past the group only by the type field, which is not read for a sub-block that is entered.
// A group cut anywhere else is still a read error.
TEST(PerkinElmerBlocks, InfoGroupEndingInsideItsLastHead) {
    CleanState state;
    const std::string date = subBlock(0x8B74, 0, zeros(2) + "2011-12-13 08:09");
    const std::string legend = subBlock(0x8B76, 0, zeros(2) + "film B");
    const std::string lastHead = ByteImage(6).u16le(0, 0x8B80).i32le(2, 40).str();
    for (const std::string& tail : {lastHead, lastHead + "\x01"}) {
        BlockFile f;
        f.infoGroup = date + legend + tail;
        const TSpectrumRecord r = read(blockLayout(f));
        ASSERT_EQ(r.PointCount(), 3601) << tail.size();
        EXPECT_EQ(r.Title, "film B");
        EXPECT_EQ(r.DateText, "2011-12-13 08:09");
        EXPECT_EQ(r.Comment1, "purged");
    }
    const std::string cutCases[] = {
        date + legend + lastHead.substr(0, 5),                  // the head itself cut
        date + legend.substr(0, 6),                             // a legend head without its type
        date + legend.substr(0, legend.size() - 1),             // a legend whose text runs past the group
        date + subBlock(0x1234, 29980, "skip").substr(0, 11),   // a skipped sub-block reaching past it
    };
    for (const std::string& group : cutCases) {
        BlockFile f;
        f.infoGroup = group;
        EXPECT_EQ(errorOf<vx::FileError>(blockLayout(f)), "Stream read error") << group.size();
    }
}

// ---- Text layouts

// A "PE " text file: header lines 0..n, the lines from "#GR" on, the data lines, a last line.
std::string peAscii(const std::string& head, const std::vector<std::string>& data, bool fluorescence = false) {
    std::vector<std::string> l = {head, "filename.sp", "", "12/31/98", "14:15:16", "", "", "", "sample A in water"};
    for (int i = 9; i < 30; ++i) l.push_back("header " + std::to_string(i));
    if (fluorescence) l.insert(l.end(), {"LS50B", "350.0"});
    l.insert(l.end(), {"#GR", "NM", "A", "1.0", "0.0", "#DATA"});
    l.insert(l.end(), data.begin(), data.end());
    l.push_back("#END");
    return crlfLines(l);
}

std::vector<std::string> dataLines(double x0, double dx, int n) {
    std::vector<std::string> d;
    for (int i = 0; i < n; ++i) d.push_back(numtext::FloatToStr(x0 + i * dx, '.') + "\t" + numtext::FloatToStr(0.01 * (i + 1), '.'));
    return d;
}

TEST(PerkinElmerText, AsciiVariant) {
    CleanState state(',');
    const TSpectrumRecord r = read(peAscii("PE UV       SUBTECH     SPECTRUM    ASCII", dataLines(200, 0.5, 101)));
    expectCommonFields(r);
    ASSERT_EQ(r.PointCount(), 101);
    EXPECT_EQ(r.FirstX, 200.0);
    EXPECT_EQ(r.StepX, 0.5);
    EXPECT_EQ(r.XUnit, SpecXNanometer);
    EXPECT_EQ(r.YKind, SpecYAbsorbance);
    EXPECT_DOUBLE_EQ(r.Values[0], 0.01);
    EXPECT_DOUBLE_EQ(r.Values[100], 1.01);
    EXPECT_EQ(r.Title, "sample A in water");
    EXPECT_EQ(r.DateText, "12.31.98 14:15:16");
    EXPECT_EQ(r.ExcitationWl, -1.0);
}

TEST(PerkinElmerText, AsciiVariantDirectionsAndFluorescence) {
    CleanState state;
    // Falling nm: stored from the last x, values reversed.
    TSpectrumRecord r = read(peAscii("PE UV ASCII", dataLines(700, -2, 151)));
    ASSERT_EQ(r.PointCount(), 151);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 2.0);
    EXPECT_DOUBLE_EQ(r.Values[0], 1.51);
    // Empty data lines are skipped; the last line of the file is never data.
    std::vector<std::string> d = dataLines(300, 1, 5);
    d.insert(d.begin() + 3, "");
    r = read(peAscii("PE UV ASCII", d));
    EXPECT_EQ(r.PointCount(), 5);
    // Fluorescence: excitation from the line after "LS", values divided by 250, intensity.
    r = read(peAscii("PE FL ASCII", dataLines(400, 1, 11), true));
    ASSERT_EQ(r.PointCount(), 11);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_EQ(r.ExcitationWl, 350.0);
    EXPECT_DOUBLE_EQ(r.Values[10], 0.11 / 250);
}

TEST(PerkinElmerText, MissingLinesAndBadNumbers) {
    CleanState state;
    std::string noData = peAscii("PE UV ASCII", dataLines(300, 1, 5));
    noData.replace(noData.find("#DATA"), 5, "#NOPE");
    try {
        read(noData);
        ADD_FAILURE() << "no error";
    } catch (const vx::ListIndexError&) {
    }
    std::string noLs = peAscii("PE FL ASCII", dataLines(300, 1, 5));
    EXPECT_THROW(read(noLs), vx::ListIndexError);
    std::vector<std::string> d = dataLines(300, 1, 5);
    d[2] = "302\tn/a";
    EXPECT_THROW(read(peAscii("PE UV ASCII", d)), vx::ConversionError);
    EXPECT_THROW(read("PE UV ASCII\r\nshort\r\n"), vx::ListIndexError);
}

std::string peBinary(int count, double factor, bool fluorescence, int valuesPresent) {
    std::vector<std::string> l = {fluorescence ? "PE FL BINARY" : "PE UV BINARY", "", "", "01/02/03", "04:05",
                                  "", "", "", "binary sample", "250.00"};
    while (l.size() < 21) l.push_back("h");
    if (fluorescence) l.push_back("320.5");
    l.insert(l.end(), {"#GR", "NM", "A", numtext::FloatToStr(factor, '.'), "x", "300.00", "-0.5",
                       std::to_string(count)});
    std::string s;
    for (const auto& x : l) s += x + "\n";
    ByteImage v;
    for (int i = 0; i < valuesPresent; ++i) v.i32le(4 * std::size_t(i), 1000 * (i + 1));
    return s + v.str();
}

TEST(PerkinElmerText, BinaryVariant) {
    CleanState state;
    TSpectrumRecord r = read(peBinary(101, 0.0001, false, 101));
    expectCommonFields(r);
    ASSERT_EQ(r.PointCount(), 101);
    // Written from 300 down to 250: stored rising from 250.
    EXPECT_EQ(r.FirstX, 250.0);
    EXPECT_EQ(r.StepX, 0.5);
    EXPECT_DOUBLE_EQ(r.Values[0], 10.1);
    EXPECT_DOUBLE_EQ(r.Values[100], 0.1);
    EXPECT_EQ(r.Title, "binary sample");
    EXPECT_EQ(r.DateText, "01.02.03 04:05");

    r = read(peBinary(101, 0.0001, true, 101));
    EXPECT_EQ(r.ExcitationWl, 320.5);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_DOUBLE_EQ(r.Values[0], 10.1 / 250);

    EXPECT_EQ(errorOf<vx::FileError>(peBinary(102, 1, false, 101)), "Stream read error");
    EXPECT_EQ(errorOf<vx::FileError>(peBinary(-1, 1, false, 10)), "Stream read error");
    // Values must lie behind the header that counts them.
    EXPECT_EQ(errorOf<vx::FileError>(peBinary(40, 1, false, 0)), "Stream read error");
}

// The headerless fluorescence text: count, first and last x, excitation, scan kind, then "x y" lines.
std::string headerless(int count, double first, double last, const std::string& excitation, const std::string& kind,
                       const std::vector<double>& ys) {
    std::vector<std::string> l = {std::to_string(count), "", "", "05/06/07", "08:09", "", "",
                                  numtext::FloatToStr(first, '.'), numtext::FloatToStr(last, '.'), excitation, "", "",
                                  kind, ""};
    for (std::size_t i = 0; i < ys.size(); ++i)
        l.push_back(numtext::FloatToStr(first + double(i), '.') + "   " + numtext::FloatToStr(ys[i], '.'));
    l.push_back("-1");
    return crlfLines(l);
}

TEST(PerkinElmerText, HeaderlessFluorescence) {
    CleanState state;
    std::vector<double> ys;
    for (int i = 0; i < 20; ++i) ys.push_back(100 + i);
    TSpectrumRecord r = read(headerless(20, 400, 419, "350", " em ", ys));
    expectCommonFields(r);
    ASSERT_EQ(r.PointCount(), 20);
    EXPECT_EQ(r.FirstX, 400.0);
    EXPECT_EQ(r.StepX, 1.0);
    EXPECT_EQ(r.YKind, SpecYIntensity);
    EXPECT_EQ(r.Values[19], 119.0);  // no division: the flag is only for "PE FL"
    EXPECT_EQ(r.ExcitationWl, 350.0);
    EXPECT_EQ(r.Comment1, "emission scan, excitation at 350 nm");
    EXPECT_EQ(r.DateText, "05.06.07 08:09");
    EXPECT_EQ(r.Title, "run7.sp");

    EXPECT_EQ(read(headerless(20, 400, 419, "450", "EX", ys)).Comment1, "excitation scan, detection at 450 nm");
    EXPECT_EQ(read(headerless(20, 400, 419, "20", "SY", ys)).Comment1, "synchron scan, wavelength difference: 20 nm");
    r = read(headerless(20, 400, 419, "0", "EM", ys));
    EXPECT_EQ(r.ExcitationWl, -1.0);
    EXPECT_TRUE(r.Comment1.empty());

    // A spike of more than 50 times the mean step at the end is cut; falling x is stored rising.
    std::vector<double> spiked = ys;
    spiked.push_back(900);
    spiked.push_back(5000);
    r = read(headerless(22, 421, 400, "350", "EM", spiked));
    ASSERT_EQ(r.PointCount(), 20);
    EXPECT_EQ(r.FirstX, 402.0);
    EXPECT_EQ(r.StepX, 1.0);
    EXPECT_EQ(r.Values[0], 119.0);
    // Below ten values, or with a flat stretch (d = 0), nothing is cut.
    EXPECT_EQ(read(headerless(9, 400, 408, "350", "EM", {1, 1, 1, 1, 1, 1, 1, 1, 900})).PointCount(), 9);
    EXPECT_EQ(read(headerless(12, 400, 411, "350", "EM", {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 900})).PointCount(), 12);
    // A count below two gives no grid.
    EXPECT_EQ(read(headerless(1, 400, 400, "350", "EM", ys)).PointCount(), 0);
}

// The x text names its unit in any case in every layout: "cm-1" is wavenumbers (stored falling from
// the larger x), never the nm of the caller's record, which would store the spectrum rising and reversed.
TEST(PerkinElmerLayouts, XTextUnitIgnoresCase) {
    CleanState state;
    auto expectFalling = [](const TSpectrumRecord& r, SpecXUnit unit, double firstX) {
        EXPECT_EQ(r.XUnit, unit);
        EXPECT_EQ(r.FirstX, firstX);
        EXPECT_LT(r.StepX, 0.0);
    };
    {
        OldHeader h;
        h.xText = "cm-1", h.first100 = 400000, h.last100 = 340000;
        SCOPED_TRACE("old binary header");
        const TSpectrumRecord r = read(oldBinary(h));
        expectFalling(r, SpecXWavenumber, 4000);
        EXPECT_EQ(r.Values[0], 5 / 1000.0);  // file order: the file already runs falling
        h.xText = "Nm", h.first100 = 80000, h.last100 = 20000;
        EXPECT_EQ(read(oldBinary(h)).FirstX, 200.0);
    }
    for (const char* text : {"cm-1", "Cm-1", "1/cm (cm-1)"}) {
        BlockFile f;
        f.xText = text;
        f.first = 400, f.last = 4000;
        SCOPED_TRACE(text);
        const TSpectrumRecord r = read(blockLayout(f));
        expectFalling(r, SpecXWavenumber, 4000);
        EXPECT_NEAR(r.Values[0], 3.6, 1e-12);  // rising in the file: reversed
    }
    {
        BlockFile f;
        f.xText = "Raman shift cm-1";
        expectFalling(read(blockLayout(f)), SpecXRamanShift, 4000);
        f.xText = "nm", f.first = 3790, f.last = 190;
        const TSpectrumRecord r = read(blockLayout(f));
        EXPECT_EQ(r.XUnit, SpecXNanometer);
        EXPECT_EQ(r.FirstX, 190.0);
        EXPECT_GT(r.StepX, 0.0);
    }
    {
        SCOPED_TRACE("ASCII text");
        std::string t = peAscii("PE IR ASCII", dataLines(4000, -2, 101));
        t.replace(t.find("#GR\r\nNM"), 9, "#GR\r\ncm-1");
        const TSpectrumRecord r = read(t);
        expectFalling(r, SpecXWavenumber, 4000);
        EXPECT_EQ(r.StepX, -2.0);
        EXPECT_DOUBLE_EQ(r.Values[0], 0.01);
    }
    {
        SCOPED_TRACE("BINARY text");
        std::string t = peBinary(101, 0.0001, false, 101);
        t.replace(t.find("#GR\nNM"), 6, "#GR\ncm-1");
        const TSpectrumRecord r = read(t);
        // First x 300, last x 250: falling in the file, so kept in file order.
        expectFalling(r, SpecXWavenumber, 300);
        EXPECT_DOUBLE_EQ(r.Values[0], 0.1);
    }
}

TEST(PerkinElmerText, OtherFilesGetTheErrorBoxAndNoPoints) {
    CleanState state;
    for (const std::string& bytes : {std::string("PE XY SPECTRUM\r\nfoo\r\n"), std::string("JUNK\x01\x02", 6),
                                    std::string("17\r\nno scan kind\r\n"), std::string()}) {
        ui::ScopedScriptedBackend ui;
        const TSpectrumRecord r = read(bytes);
        EXPECT_EQ(r.PointCount(), 0);
        ASSERT_EQ(ui->messages.size(), 1u);
        EXPECT_EQ(ui->messages[0], std::string(kName) + "\r\n\r\nis not the Perkin Elmer ASCII file format!!");
    }
}

}  // namespace
