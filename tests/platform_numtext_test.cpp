#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/errors.h"
#include "platform/numtext.h"

using numtext::FloatFormat;
using numtext::FloatToStrF;

struct FmtCase {
    double value;
    FloatFormat format;
    int precision;
    int digits;
    const char* expected;
};

class FloatToStrFTable : public ::testing::TestWithParam<FmtCase> {};

TEST_P(FloatToStrFTable, MatchesWithPointAndComma) {
    const FmtCase& c = GetParam();
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, '.'), c.expected);
    std::string comma = c.expected;
    for (char& ch : comma)
        if (ch == '.') ch = ',';
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, ','), comma);
}

INSTANTIATE_TEST_SUITE_P(
    Fixed, FloatToStrFTable,
    ::testing::Values(
        FmtCase{400.0, FloatFormat::Fixed, 7, 3, "400.000"},
        FmtCase{1234.56789, FloatFormat::Fixed, 4, 6, "1235.000000"},  // precision rounds first
        FmtCase{12345.6789, FloatFormat::Fixed, 8, 6, "12345.679000"},
        FmtCase{12345.6789, FloatFormat::Fixed, 4, 6, "1.235E+4"},     // too many integer digits
        FmtCase{0.000123456, FloatFormat::Fixed, 4, 6, "0.000123"},    // decimals end first
        FmtCase{2.5, FloatFormat::Fixed, 15, 0, "3"},                  // ties away from zero
        FmtCase{-2.5, FloatFormat::Fixed, 15, 0, "-3"},
        FmtCase{0.125, FloatFormat::Fixed, 15, 2, "0.13"},             // exact binary tie
        FmtCase{1.005, FloatFormat::Fixed, 15, 2, "1.00"},             // binary value is below 1.005
        FmtCase{-0.0004, FloatFormat::Fixed, 7, 3, "0.000"},           // rounds to zero: no sign
        FmtCase{0.0, FloatFormat::Fixed, 7, 5, "0.00000"},
        FmtCase{9.9996, FloatFormat::Fixed, 7, 3, "10.000"},
        FmtCase{0.5, FloatFormat::Fixed, 7, 0, "1"},
        FmtCase{0.4, FloatFormat::Fixed, 7, 0, "0"},
        FmtCase{999999.5, FloatFormat::Fixed, 6, 0, "1E+6"}));

INSTANTIATE_TEST_SUITE_P(
    General, FloatToStrFTable,
    ::testing::Values(
        FmtCase{0.0, FloatFormat::General, 4, 0, "0"},
        FmtCase{1.0, FloatFormat::General, 15, 0, "1"},
        FmtCase{0.1, FloatFormat::General, 15, 0, "0.1"},
        FmtCase{1.23456, FloatFormat::General, 4, 0, "1.235"},
        FmtCase{123456.0, FloatFormat::General, 4, 0, "1.235E+5"},
        FmtCase{1234.0, FloatFormat::General, 4, 0, "1234"},
        FmtCase{12345.0, FloatFormat::General, 5, 0, "12345"},
        FmtCase{0.00001, FloatFormat::General, 15, 0, "0.00001"},
        FmtCase{0.000001, FloatFormat::General, 15, 0, "1E-6"},
        FmtCase{-0.000012345, FloatFormat::General, 3, 0, "-0.0000123"},
        FmtCase{1e20, FloatFormat::General, 15, 0, "1E+20"},
        FmtCase{-0.00004, FloatFormat::General, 1, 0, "-0.00004"},
        FmtCase{0.99999, FloatFormat::General, 3, 0, "1"},
        FmtCase{-1e-30, FloatFormat::General, 4, 0, "-1E-30"}));

INSTANTIATE_TEST_SUITE_P(
    Exponent, FloatToStrFTable,
    ::testing::Values(
        FmtCase{1234.5, FloatFormat::Exponent, 4, 2, "1.235E+03"},
        FmtCase{-0.00012, FloatFormat::Exponent, 3, 0, "-1.20E-4"},
        FmtCase{0.0, FloatFormat::Exponent, 3, 2, "0.00E+00"},
        FmtCase{1.0, FloatFormat::Exponent, 1, 1, "1E+0"}));

TEST(FloatToStrF, NonNumbers) {
    EXPECT_EQ(FloatToStrF(std::nan(""), FloatFormat::General, 4, 0, '.'), "NAN");
    EXPECT_EQ(FloatToStrF(-INFINITY, FloatFormat::Fixed, 4, 2, '.'), "-INF");
    EXPECT_EQ(FloatToStrF(INFINITY, FloatFormat::Exponent, 4, 2, '.'), "INF");
}

TEST(FloatToStrF, UsesGlobalSeparator) {
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(FloatToStrF(1.5, FloatFormat::Fixed, 7, 2), "1,50");
    EXPECT_EQ(numtext::listSeparator(), ';');
    numtext::setDecimalSeparator('.');
    EXPECT_EQ(FloatToStrF(1.5, FloatFormat::Fixed, 7, 2), "1.50");
    EXPECT_EQ(numtext::listSeparator(), ',');
}

TEST(StrToFloat, AcceptsAndRefuses) {
    EXPECT_DOUBLE_EQ(numtext::StrToFloat("  1.5  ", '.'), 1.5);
    EXPECT_DOUBLE_EQ(numtext::StrToFloat("-2,25", ','), -2.25);
    EXPECT_DOUBLE_EQ(numtext::StrToFloat("1.5e-3", '.'), 0.0015);
    EXPECT_DOUBLE_EQ(numtext::StrToFloat("+.5", '.'), 0.5);
    EXPECT_DOUBLE_EQ(numtext::StrToFloat("5.", '.'), 5.0);
    EXPECT_DOUBLE_EQ(numtext::StrToFloat("1E5", '.'), 1e5);
    EXPECT_EQ(numtext::StrToFloat("1e-400", '.'), 0.0);
    for (const char* bad : {"", " ", "1.5\t", "\t1.5", "nan", "inf", "0x10", "1.5x", "1,5", "1.2.3", "e5",
                            "1e", ".", "-", "1e999"})
        EXPECT_FALSE(numtext::TryStrToFloat(bad, '.').has_value()) << bad;
    try {
        numtext::StrToFloat("abc", '.');
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

TEST(StrToInt, RangeAndShape) {
    EXPECT_EQ(numtext::StrToInt(" -12 "), -12);
    EXPECT_EQ(numtext::StrToInt("+7"), 7);
    EXPECT_EQ(numtext::StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(numtext::StrToInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "-", "+", "2147483648", "1-2", "12a", "$1F", "1.0", "99999999999999999999"})
        EXPECT_FALSE(numtext::TryStrToInt(bad).has_value()) << bad;
    try {
        numtext::StrToInt("x");
        FAIL();
    } catch (const vx::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
}

TEST(ParseNumber, BulkParser) {
    const std::string s = "-1.25e2\t3,5";
    double v = 0;
    const char* end = numtext::ParseNumber(s.data(), s.data() + s.size(), '.', v);
    ASSERT_NE(end, nullptr);
    EXPECT_DOUBLE_EQ(v, -125.0);
    EXPECT_EQ(*end, '\t');
    end = numtext::ParseNumber(end + 1, s.data() + s.size(), ',', v);
    ASSERT_NE(end, nullptr);
    EXPECT_DOUBLE_EQ(v, 3.5);
    EXPECT_EQ(numtext::ParseNumber(s.data() + 2, s.data() + 2, '.', v), nullptr);
}

TEST(ShortestText, RoundTrips) {
    EXPECT_EQ(numtext::ShortestDouble(0.1), "0.1");
    EXPECT_EQ(numtext::ShortestFloat(0.1f), "0.1");
    EXPECT_EQ(numtext::ShortestDouble(std::nan("")), "NAN");
    EXPECT_EQ(numtext::ShortestFloat(-INFINITY), "-INF");
}

TEST(GeneralTextTest, ExponentDigitsArePadded) {
    numtext::setDecimalSeparator('.');
    EXPECT_EQ(numtext::GeneralText(12345.0, 2, 3), "1.2E+004");
    EXPECT_EQ(numtext::GeneralText(1.5e-7, 2, 2), "1.5E-07");
    EXPECT_EQ(numtext::GeneralText(0.25, 2, 3), "0.25");
    EXPECT_EQ(numtext::GeneralText(1e-300, 2, 1), "1E-300");
}
