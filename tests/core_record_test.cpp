#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/spectra_list.h"
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
