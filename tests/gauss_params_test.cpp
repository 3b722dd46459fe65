// The Gauss parameter block: its 1180-byte image, the defaults, which blocks are refused, and the
// ".gss" files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/gauss_params.h"
#include "formats/gauss_params_file.h"
#include "platform/byte_order.h"
#include "platform/errors.h"
#include "tests/formats_test_util.h"

using namespace byteorder;

namespace {

// Every field a value of its own, so that a field at a wrong offset shows.
TGaussModelParams distinctBlock() {
    TGaussModelParams b;
    b.GroupCount = 3;
    b.RangeFrom = 24000.5;
    b.RangeTo = 13000.25;
    for (int g = 0; g < kGaussMaxGroups; ++g) {
        TGaussGroup& gr = b.Groups[static_cast<std::size_t>(g)];
        gr.BandCount = g % 12;
        gr.Position = 10000.0 + g;
        gr.Width = 300.0 + g;
        gr.Spacing = 1000.0 + g;
        for (int k = 0; k < kGaussMaxBands; ++k) gr.Amplitudes[static_cast<std::size_t>(k)] = g + k / 100.0;
    }
    return b;
}

std::string imageText(const TGaussModelParams& b) {
    const GaussBlockImage img = GaussParamsToImage(b);
    return std::string(reinterpret_cast<const char*>(img.data()), img.size());
}

}  // namespace

TEST(GaussBlock, FieldsLieAtTheirOffsets) {
    const TGaussModelParams b = distinctBlock();
    const GaussBlockImage img = GaussParamsToImage(b);
    ASSERT_EQ(img.size(), 1180u);
    const uint8_t* p = img.data();
    EXPECT_EQ(getI32LE(p), 3);
    EXPECT_EQ(getF64LE(p + 4), 24000.5);
    EXPECT_EQ(getF64LE(p + 12), 13000.25);
    struct {
        int group;
        std::size_t offset;  // from the start of the block
    } groups[] = {{0, 20}, {1, 136}, {4, 484}, {9, 1064}};
    for (const auto& c : groups) {
        SCOPED_TRACE(c.group);
        const uint8_t* q = p + c.offset;
        EXPECT_EQ(getI32LE(q), c.group % 12);
        EXPECT_EQ(getF64LE(q + 4), 10000.0 + c.group);
        EXPECT_EQ(getF64LE(q + 12), 300.0 + c.group);
        EXPECT_EQ(getF64LE(q + 20), 1000.0 + c.group);
        EXPECT_EQ(getF64LE(q + 28), c.group + 0.0);
        EXPECT_EQ(getF64LE(q + 28 + 8 * 10), c.group + 0.1);
    }
    // The last amplitude of group 10 fills the last eight bytes.
    EXPECT_EQ(getF64LE(p + 1172), 9.1);
    EXPECT_EQ(GaussParamsFromImage(p), b);
}

TEST(GaussBlock, DefaultsAndTheirImage) {
    const TGaussModelParams d = GaussDefaultParams();
    EXPECT_EQ(d.GroupCount, 1);
    EXPECT_EQ(d.RangeFrom, 25000.0);
    EXPECT_EQ(d.RangeTo, 12500.0);
    for (int g = 0; g < 5; ++g) {
        const TGaussGroup& gr = d.Groups[static_cast<std::size_t>(g)];
        EXPECT_EQ(gr.BandCount, 0);
        EXPECT_EQ(gr.Position, 0.0);
        EXPECT_EQ(gr.Width, 400.0);
        EXPECT_EQ(gr.Spacing, 1250.0);
        for (double a : gr.Amplitudes) EXPECT_EQ(a, 0.1);
    }
    const GaussBlockImage img = GaussParamsToImage(d);
    for (std::size_t i = 20 + 5 * 116; i < img.size(); ++i) ASSERT_EQ(img[i], 0) << "byte " << i;
    EXPECT_EQ(GaussParamsProblem(d), "");
    EXPECT_EQ(GaussModelPointCount(d), 400);
}

TEST(GaussBlock, UnusableBlocksAreNamed) {
    struct Case {
        const char* what;
        void (*change)(TGaussModelParams&);
        const char* problem;  // "" = usable
    };
    const Case cases[] = {
        {"ten groups", [](TGaussModelParams& b) { b.GroupCount = 10; }, ""},
        {"no group", [](TGaussModelParams& b) { b.GroupCount = 0; }, ""},
        {"eleven groups", [](TGaussModelParams& b) { b.GroupCount = 11; },
         "Number of groups of curves must be 0 to 10 (is 11)"},
        {"negative groups", [](TGaussModelParams& b) { b.GroupCount = -1; },
         "Number of groups of curves must be 0 to 10 (is -1)"},
        {"eleven bands", [](TGaussModelParams& b) { b.Groups[0].BandCount = 11; }, ""},
        {"twelve bands in an unused group", [](TGaussModelParams& b) { b.Groups[7].BandCount = 12; },
         "Group 8: number of bands must be 0 to 11 (is 12)"},
        {"negative bands", [](TGaussModelParams& b) { b.Groups[0].BandCount = -2; },
         "Group 1: number of bands must be 0 to 11 (is -2)"},
        {"NaN amplitude in an unused group", [](TGaussModelParams& b) { b.Groups[9].Amplitudes[10] = std::nan(""); },
         "Gauss parameters: a value is not a finite number"},
        {"infinite range end", [](TGaussModelParams& b) { b.RangeTo = HUGE_VAL; },
         "Gauss parameters: a value is not a finite number"},
        {"width 0 with bands", [](TGaussModelParams& b) { b.Groups[0].BandCount = 2, b.Groups[0].Width = 0; },
         "Group 1: the width must not be 0"},
        {"width 0 without bands", [](TGaussModelParams& b) { b.Groups[0].Width = 0; }, ""},
        {"width 0 beyond the groups in use",
         [](TGaussModelParams& b) { b.Groups[3].BandCount = 2, b.Groups[3].Width = 0; }, ""},
        {"rising range", [](TGaussModelParams& b) { b.RangeFrom = 12500, b.RangeTo = 25000; }, ""},
        {"range end 0", [](TGaussModelParams& b) { b.RangeTo = 0; },
         "Fit range: both ends must be greater than 0 and different"},
        {"negative range end", [](TGaussModelParams& b) { b.RangeFrom = -25000; },
         "Fit range: both ends must be greater than 0 and different"},
        {"equal range ends", [](TGaussModelParams& b) { b.RangeFrom = b.RangeTo = 20000; },
         "Fit range: both ends must be greater than 0 and different"},
        {"999500 points", [](TGaussModelParams& b) { b.RangeFrom = 10, b.RangeTo = 20000; }, ""},
        {"over a million points", [](TGaussModelParams& b) { b.RangeFrom = 9, b.RangeTo = 20000; },
         "Fit range too wide: the model spectrum would have more than 1000000 points"},
        // 1e7 over either end overflows: the count is inf, or inf - inf and no number at all.
        {"one end near 0", [](TGaussModelParams& b) { b.RangeFrom = 1e-305; },
         "Fit range too wide: the model spectrum would have more than 1000000 points"},
        {"both ends near 0", [](TGaussModelParams& b) { b.RangeFrom = 1e-305, b.RangeTo = 2e-305; },
         "Fit range too wide: the model spectrum would have more than 1000000 points"},
        {"smallest ends", [](TGaussModelParams& b) { b.RangeFrom = 5e-324, b.RangeTo = 1e-323; },
         "Fit range too wide: the model spectrum would have more than 1000000 points"},
    };
    for (const Case& c : cases) {
        TGaussModelParams b = GaussDefaultParams();
        c.change(b);
        EXPECT_EQ(GaussParamsProblem(b), c.problem) << c.what;
    }
    TGaussModelParams tiny = GaussDefaultParams();
    tiny.RangeFrom = 1e-305;
    tiny.RangeTo = 2e-305;
    EXPECT_EQ(GaussModelPointCount(tiny), 1000000000000000LL);
}

TEST(GaussFile, SavedFileIsTheBlockAndReloadsIdentically) {
    fmt_test::TempDir dir;
    const std::string name = dir.file("model.gss");
    const TGaussModelParams b = distinctBlock();
    dir.write("model.gss", std::string(3000, 'x'));  // an existing file is replaced
    EXPECT_TRUE(SaveGaussParams(name, b));
    const std::string bytes = fmt_test::TempDir::read(name);
    ASSERT_EQ(bytes.size(), 1180u);
    EXPECT_EQ(bytes, imageText(b));
    TGaussModelParams loaded = GaussDefaultParams();
    EXPECT_TRUE(LoadGaussParams(name, loaded));
    EXPECT_EQ(loaded, b);
    EXPECT_EQ(imageText(loaded), bytes);
}

TEST(GaussFile, LongerFileLoadsItsFirstBlock) {
    fmt_test::TempDir dir;
    const TGaussModelParams b = distinctBlock();
    const std::string name = dir.write("long.gss", imageText(b) + std::string(820, '\xff'));
    TGaussModelParams loaded;
    LoadGaussParams(name, loaded);
    EXPECT_EQ(loaded, b);
}

TEST(GaussFile, RefusedFilesLeaveTheBlockAlone) {
    fmt_test::TempDir dir;
    TGaussModelParams bad = distinctBlock();
    bad.GroupCount = 11;
    TGaussModelParams widthless = distinctBlock();
    widthless.Groups[1].Width = 0.0;  // group 2 is in use with one band
    TGaussModelParams nanRange = distinctBlock();
    nanRange.RangeFrom = std::numeric_limits<double>::quiet_NaN();
    TGaussModelParams nearZero = distinctBlock();
    nearZero.RangeFrom = 1e-305;
    nearZero.RangeTo = 3e-305;
    struct {
        const char* what;
        std::string name;
        std::string message;  // part of the error text
    } cases[] = {
        {"missing", dir.file("none.gss"), "Cannot open file \"" + dir.file("none.gss") + "\". No such file or directory"},
        {"empty", dir.write("empty.gss", ""), "Stream read error"},
        {"one byte short", dir.write("short.gss", imageText(distinctBlock()).substr(0, 1179)), "Stream read error"},
        {"eleven groups", dir.write("groups.gss", imageText(bad)), "must be 0 to 10"},
        {"width 0 in use", dir.write("width.gss", imageText(widthless)), "Group 2: the width must not be 0"},
        {"NaN range", dir.write("nan.gss", imageText(nanRange)), "not a finite number"},
        {"range ends near 0", dir.write("tiny.gss", imageText(nearZero)), "Fit range too wide"},
        {"a folder", dir.file(""), "Is a directory"},
    };
    for (const auto& c : cases) {
        TGaussModelParams block = GaussDefaultParams();
        try {
            LoadGaussParams(c.name, block);
            ADD_FAILURE() << c.what << " was loaded";
        } catch (const vx::FileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
        }
        EXPECT_EQ(block, GaussDefaultParams()) << c.what;
    }
}

TEST(GaussFile, SaveIntoAMissingFolderFails) {
    fmt_test::TempDir dir;
    EXPECT_THROW(SaveGaussParams(dir.file("no/such/folder.gss"), GaussDefaultParams()), vx::FileError);
}
