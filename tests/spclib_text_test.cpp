// Log lookup, technique detection, labels, dates and the clipboard text exchange.
#include <gtest/gtest.h>

#include <cmath>

#include "spclib/spc_clip_text.h"
#include "spclib/spc_text.h"

using namespace spc;

namespace {

void SetLog(TARNVIK& doc, const std::string& text) {
    doc.logText = text;
    doc.hasLogText = true;
}

}  // namespace

TEST(SpcText, LogKeyLookupIgnoresCaseSkipsBlanksAndTakesTheLastLine) {
    TARNVIK doc;
    SetLog(doc, "RamanWL = 532\r\nEX_WL=350\r\nEX_WL=360\r\nFLAG\r\nEX_WLX=1\r\nLONG=" + std::string(2000, 'a') +
                    "\r\n");
    EXPECT_EQ(GetLogKey(doc, "RAMANWL").value_or("?"), " 532");
    EXPECT_EQ(GetLogKey(doc, "ex_wl").value_or("?"), "360");
    EXPECT_EQ(GetLogKey(doc, "FLAG").value_or("?"), "");
    EXPECT_FALSE(GetLogKey(doc, "EX"));
    EXPECT_FALSE(GetLogKey(doc, ""));
    EXPECT_EQ(GetLogKey(doc, "LONG")->size(), 1023u);
    EXPECT_EQ(GetLogLine(doc, 1).value_or("?"), "EX_WL=350");
    EXPECT_FALSE(GetLogLine(doc, 6));
    EXPECT_FALSE(GetLogLine(doc, -1));
}

TEST(SpcText, AppendedLinesEndInCrLf) {
    TARNVIK doc;
    std::string_view one = "1", empty = "";
    AppendLog(doc, "A", &one);
    AppendLog(doc, "NAME", nullptr);
    AppendLog(doc, "E", &empty);
    AppendLog(doc, "", &one);  // no key: nothing
    EXPECT_EQ(doc.logText, "A=1\r\nNAME\r\nE=\r\n");
    SetLog(doc, "A\n\rB");
    EXPECT_EQ(LogTextFixed(doc, true), "A\r\nB");
    EXPECT_EQ(LogTextFixed(doc, false), "A\n\rB");
}

TEST(SpcText, TechniqueIsDerivedFromAxesAndLogKeys) {
    struct Case {
        int x, y;
        double first, last;
        const char* log;
        int expected;
    } cases[] = {
        {3, 2, 200, 800, "", 7},          {3, 2, 1100, 2500, "", 5},     {2, 2, 2.5, 25, "", 4},
        {3, 2, 200, 800, "EX_WL=350\r\n", 12}, {1, 2, 4000, 400, "", 4}, {1, 4, -100, 3000, "", 11},
        {13, 4, 0, 1, "", 11},            {9, 4, 0, 1, "", 9},           {3, 4, 200, 800, "", 0},
        {10, 0, 0, 1, "NUCFREQ=100\r\nNUCLEUS=13C\r\n", 20},
        {10, 0, 0, 1, "NUCFREQ=100\r\nNUCLEUS=1H\r\n", 21},
        {10, 0, 0, 1, "NUCFREQ=100\r\nNUCLEUS=F\r\nSW_PPM=200\r\n", 20},
        {10, 0, 0, 1, "NUCLEUS=13C\r\n", 0},  // without NUCFREQ and no marker: nothing
        {5, 0, 0, 10, "", 2},             {18, 4, 0, 90, "", 8},         {16, 4, 0, 1, "RAMANWL=785\r\n", 11},
    };
    for (const Case& c : cases) {
        TARNVIK doc;
        doc.Create(kEven);
        doc.setU8(kXType, static_cast<uint8_t>(c.x));
        doc.setU8(kYType, static_cast<uint8_t>(c.y));
        doc.setF64(kFirstX, c.first);
        doc.setF64(kLastX, c.last);
        if (*c.log) SetLog(doc, c.log);
        EXPECT_EQ(DetermineTechnique(doc), c.expected) << c.x << " " << c.y << " " << c.log;
    }
    // A stored technique byte wins in 'K' files.
    TARNVIK doc;
    doc.Create(kEven);
    doc.setU8(kTech, 12);
    EXPECT_EQ(DetermineTechnique(doc), 12);
    // The NMR marker in the spare floats, only when finite and within int32.
    doc.setU8(kTech, 0);
    doc.setU8(kXType, 10);
    for (float marker : {NAN, 3e10f, 4060.0f}) {
        doc.setF32(60, marker);
        EXPECT_EQ(DetermineTechnique(doc), marker == 4060.0f ? 10 : 0);
    }
}

TEST(SpcText, NamesAndLabels) {
    EXPECT_EQ(XTypeName(13), "Raman Shift (cm-1)");
    EXPECT_EQ(XTypeName(15), "");
    EXPECT_EQ(XTypeName(255), "Double Igram");
    EXPECT_EQ(YTypeName(131), "Emission");
    EXPECT_EQ(YTypeName(132), "");
    EXPECT_EQ(TechniqueName(7, true), "UV/VIS/NIR");
    EXPECT_EQ(TechniqueName(6, false), "");
    EXPECT_EQ(TechniqueName(24, false), "");
    EXPECT_EQ(WarningText(-6), "Bad catalog offset header value.");
    EXPECT_EQ(WarningText(-7), "");

    TARNVIK doc;
    doc.Create(kEven);
    doc.setU8(kXType, 200);
    EXPECT_EQ(AxisLabel(doc, 0), "Arbitrary");
    EXPECT_EQ(TechniqueLabel(doc), "Unknown");
    SetText(doc, CommentField(doc), std::string(200, 'c'));
    EXPECT_EQ(GetText(doc, CommentField(doc)).size(), 159u);
    SetCustomLabel(doc, 1, "Counts per second and more");
    EXPECT_EQ(doc.flags() & 0x20, 0x20);
    EXPECT_EQ(doc.u8(217), 0);  // the comment ends before the labels
    EXPECT_EQ(GetText(doc, CommentField(doc)).size(), 129u);
    EXPECT_EQ(CustomLabel(doc, 1), "Counts per second a");  // 19 characters
    SetCustomLabel(doc, 0, std::string(25, 'x'));
    EXPECT_EQ(CustomLabel(doc, 0).size(), 19u);
    EXPECT_EQ(CustomLabel(doc, 1), "Counts p");  // room left after a long X label
    SetCustomLabel(doc, 2, "Zed");
    EXPECT_EQ(CustomLabel(doc, 2), "");
    EXPECT_EQ(AxisLabel(doc, 1), "Counts p");
    SetCustomLabel(doc, 0, "");
    SetCustomLabel(doc, 1, "");
    SetCustomLabel(doc, 2, "");
    EXPECT_EQ(doc.flags() & 0x20, 0);
}

TEST(SpcText, DatesUseCalendarArithmetic) {
    TARNVIK doc;
    EXPECT_FALSE(DateValue(doc));
    doc.setU32(kDate, (2014u << 20) | (4u << 16) | (3u << 11) | (10u << 6) | 5u);
    double expected = 41732.0 + (10 * 60 + 5) / 1440.0;  // 2014-04-03 10:05
    ASSERT_TRUE(DateValue(doc));
    EXPECT_NEAR(*DateValue(doc), expected, 1e-9);
    ASSERT_TRUE(SetDateValue(doc, expected));
    EXPECT_EQ(doc.u32(kDate), (2014u << 20) | (4u << 16) | (3u << 11) | (10u << 6) | 5u);
    doc.setU32(kDate, (14u << 20) | (4u << 16) | (3u << 11));
    EXPECT_NEAR(*DateValue(doc), 41732.0, 1e-9);
    doc.setU32(kDate, (95u << 20) | (1u << 16) | (1u << 11));
    EXPECT_NEAR(*DateValue(doc), 34700.0, 1e-9);  // 1995-01-01
    doc.setU32(kDate, (2014u << 20) | (13u << 16) | (1u << 11));
    EXPECT_FALSE(DateValue(doc));
    EXPECT_FALSE(SetDateValue(doc, NAN));
    EXPECT_NEAR(*[&] { SetDateValue(doc, 0.5); return DateValue(doc); }(), 0.5, 1e-9);
}

TEST(SpcText, DecimalTextSaturates) {
    double d = 0;
    std::string t = "  -1.5e3x";
    const char* end = TextToDouble(t.data(), t.data() + t.size(), d);
    EXPECT_EQ(d, -1500);
    EXPECT_EQ(*end, 'x');
    t = "1e999999999999";
    TextToDouble(t.data(), t.data() + t.size(), d);
    EXPECT_TRUE(std::isinf(d));
    t = "1e-999999999999";
    TextToDouble(t.data(), t.data() + t.size(), d);
    EXPECT_EQ(d, 0);
    t = std::string(6000, '9');
    TextToDouble(t.data(), t.data() + t.size(), d);
    EXPECT_TRUE(std::isinf(d));
    t = "abc";
    EXPECT_EQ(TextToDouble(t.data(), t.data() + t.size(), d), nullptr);
}

TEST(SpcClipText, WrittenTextReadsBack) {
    TARNVIK doc;
    doc.Create(kEven);
    doc.setF64(kFirstX, 400);
    doc.setF64(kLastX, 800);
    doc.setU8(kXType, 3);
    doc.setU8(kYType, 2);
    ASSERT_TRUE(doc.AddSubFile({0.1f, 0.2f, 0.3f, 0.4f, 0.123456789f}, nullptr, 0, 0));
    doc.current = 0;
    auto text = SubfileText(doc);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, 23), "Nanometers\tAbsorbance\r\n");
    TARNVIK back;
    ASSERT_EQ(OpenSubfileText(back, *text), 0);
    EXPECT_EQ(back.FileTypeOf(), kEven);
    EXPECT_EQ(back.u32(kPoints), 5u);
    EXPECT_DOUBLE_EQ(back.f64(kFirstX), 400);
    EXPECT_DOUBLE_EQ(back.f64(kLastX), 800);
    EXPECT_EQ(back.u8(kXType), 3);
    EXPECT_EQ(back.u8(kYType), 2);
    std::vector<float> y;
    back.ReadValues(0, nullptr, &y);
    EXPECT_EQ(y[4], 0.123456789f);

    // A label the reader would misread is written as the type's name.
    SetCustomLabel(doc, 1, "A");
    text = SubfileText(doc);
    EXPECT_EQ(text->substr(0, 23), "Nanometers\tAbsorbance\r\n");
    SetCustomLabel(doc, 1, "Counts, raw");
    EXPECT_EQ(SubfileText(doc)->substr(0, 23), "Nanometers\tAbsorbance\r\n");
    SetCustomLabel(doc, 0, "Pixel");
    EXPECT_EQ(SubfileText(doc)->substr(0, 6), "Pixel\t");
    ASSERT_EQ(OpenSubfileText(back, *SubfileText(doc)), 0);
    EXPECT_EQ(CustomLabel(back, 0), "Pixel");
}

TEST(SpcClipText, HeaderTokensAndDataShapes) {
    TARNVIK doc;
    ASSERT_EQ(OpenSubfileText(doc, "Wavenumber (cm-1)\tAbsorbance\r\n1\t2\r\n2\t3\r\n"), 0);
    EXPECT_EQ(doc.u8(kXType), 1);
    EXPECT_EQ(doc.u8(kYType), 2);
    EXPECT_EQ(doc.flags() & 0x20, 0);

    ASSERT_EQ(OpenSubfileText(doc, "Energy,Counts\n1,2\n2,3\n"), 0);
    EXPECT_EQ(CustomLabel(doc, 0), "Energy");
    EXPECT_EQ(doc.u8(kYType), 4);

    ASSERT_EQ(OpenSubfileText(doc, "400\t1\r\n\r\n410\t2\r\n420\t3\r\n"), 0);  // no header, blank line skipped
    EXPECT_EQ(doc.u32(kPoints), 3u);
    EXPECT_DOUBLE_EQ(doc.f64(kFirstX), 400);

    ASSERT_EQ(OpenSubfileText(doc, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"), 0);
    EXPECT_EQ(doc.FileTypeOf(), kEven);
    EXPECT_DOUBLE_EQ(doc.f64(kFirstX), 0);
    EXPECT_DOUBLE_EQ(doc.f64(kLastX), 9);

    ASSERT_EQ(OpenSubfileText(doc, "T\r\n0.5\r\n0.6\r\n"), 0);
    EXPECT_EQ(doc.u8(kYType), 128);

    // Uneven X values give an XYY document with the X array.
    ASSERT_EQ(OpenSubfileText(doc, "1\t5\n2\t6\n10\t7\n"), 0);
    EXPECT_EQ(doc.FileTypeOf(), kXYY);
    EXPECT_EQ(doc.commonX, (std::vector<float>{1, 2, 10}));

    for (const char* bad : {"", "\r\n\r\n", "1\t2\t3\n", "1\t2\n3\n", "X\tY\tZ\n1\t2\n", "Y\tX\n1\t2\n",
                            "1\tabc\n", "1\t1e40\n", "X\t5\n1\t2\n"}) {
        EXPECT_EQ(OpenSubfileText(doc, bad), -3) << bad;
    }
}
