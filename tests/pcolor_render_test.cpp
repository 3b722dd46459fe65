// The colour map's renderers into an index buffer, its facet lines, colour bar cells and bar marker,
// against pictures worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "app/plot/pcolor/pcolor_render.h"
#include "app/plot/pcolor/pcolor_zoom.h"

namespace {

// A buffer of w x h palette indices, rows top-down in memory as in an image.
struct Buffer {
    Buffer(int w, int h) : bytes(static_cast<std::size_t>(w * h), 77) {
        view.Bits = bytes.data();
        view.Width = w;
        view.Height = h;
        view.Stride = w;
    }
    // Row r from the bottom as a list of indices.
    std::vector<int> Row(int r) const {
        std::vector<int> v;
        for (int x = 0; x < view.Width; ++x) v.push_back(view.PixelAt(x, r));
        return v;
    }
    std::vector<uint8_t> bytes;
    TIndexView view;
};

// Values of ny rows of nx nodes over `axes`, the whole extent in view, range min..max, n colours.
TRenderInput Input(const std::vector<double>& v, int nx, int ny, TAxesExtent axes, double max, double min,
                   int n = 64) {
    TRenderInput in;
    in.Values = v.data();
    in.Nx = nx;
    in.Ny = ny;
    in.Axes = axes;
    in.Window = FullWindow(axes);
    in.Max = max;
    in.Min = min;
    in.N = n;
    return in;
}

// The 2 x 2 grid over x 0..10, y 0..20 (row 0: 1, 3; row 1: 5, 11), range 1..11, 64 colours:
// k = 6.3, so 1 -> 1, 3 -> Round(12.6) + 1 = 14, 5 -> Round(25.2) + 1 = 26, 11 -> 64.
const std::vector<double> kTwoByTwo = {1, 3, 5, 11};

TRenderInput TwoByTwoInput() { return Input(kTwoByTwo, 2, 2, {0, 10, 0, 20}, 11, 1); }

using Row = std::vector<int>;

}  // namespace

TEST(PColorRenderFlat, TwoByTwoGridFillsFourBlocks) {
    Buffer b(4, 4);
    RenderFlat(TwoByTwoInput(), b.view);
    // Blocks end at Round(4 * (1 - 0.5)) = 2 and min(4, Round(4 * 1.5)).
    EXPECT_EQ(b.Row(0), (Row{1, 1, 14, 14}));
    EXPECT_EQ(b.Row(1), (Row{1, 1, 14, 14}));
    EXPECT_EQ(b.Row(2), (Row{26, 26, 64, 64}));
    EXPECT_EQ(b.Row(3), (Row{26, 26, 64, 64}));
    EXPECT_EQ(b.bytes[0], 26);  // the bottom row of the picture is the last row in memory
}

TEST(PColorRenderFlat, BlockEndsRoundHalvesToEven) {
    Buffer b(5, 3);
    RenderFlat(TwoByTwoInput(), b.view);
    // Column 0 ends at Round(2.5) = 2; rows: Round(1.5) = 2.
    EXPECT_EQ(b.Row(0), (Row{1, 1, 14, 14, 14}));
    EXPECT_EQ(b.Row(1), (Row{1, 1, 14, 14, 14}));
    EXPECT_EQ(b.Row(2), (Row{26, 26, 64, 64, 64}));
}

TEST(PColorRenderFlat, ZoomedWindowStartsAtItsFirstNode) {
    // Three nodes over 0..2 (values 0, 1, 2), window 0.25 .. 1.25 at zoom 2 in x: D = 4 * 2 / 2 = 4,
    // f0 = 0.25, first node Trunc(0.75) = 0 ending at Round(4 * 0.25) = 1.
    const std::vector<double> v = {0, 1, 2, 0, 1, 2};
    TRenderInput in = Input(v, 3, 2, {0, 2, 0, 1}, 2, 0, 3);  // k = 1: value v -> v + 1
    SetZoom(in.Window, in.Axes, 0.75, 0.5, 2, 1);
    Buffer b(4, 2);
    RenderFlat(in, b.view);
    EXPECT_EQ(b.Row(0), (Row{1, 2, 2, 2}));
}

TEST(PColorRenderFlat, CellsSmallerThanAPixelTakeTheNearestNode) {
    // Five nodes over 0..4 (values 0..4) into 3 pixels: centres at 0.667, 2.0, 3.333.
    const std::vector<double> v = {0, 1, 2, 3, 4, 0, 1, 2, 3, 4};
    const TRenderInput in = Input(v, 5, 2, {0, 4, 0, 1}, 4, 0, 5);  // k = 1
    Buffer b(3, 1);
    RenderFlat(in, b.view);
    EXPECT_EQ(b.Row(0), (Row{2, 3, 4}));
    Buffer two(2, 1);  // at most two pixels: the first centre is the window's edge
    RenderFlat(in, two.view);
    EXPECT_EQ(two.Row(0), (Row{1, 3}));
}

TEST(PColorRenderFlat, NonNumbersAndGradientEdges) {
    const std::vector<double> v = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(), 11};
    TRenderInput in = TwoByTwoInput();
    in.Values = v.data();
    Buffer b(2, 2);
    RenderFlat(in, b.view);
    EXPECT_EQ(b.Row(0), (Row{0, 254}));
    EXPECT_EQ(b.Row(1), (Row{253, 64}));
    in = TwoByTwoInput();
    in.Mode = imGradient;  // every node of a 2 x 2 grid is on an edge
    RenderFlat(in, b.view);
    EXPECT_EQ(b.Row(0), (Row{0, 0}));
}

TEST(PColorRenderInterpolated, BilinearAtPixelCentres) {
    Buffer two(2, 2);
    RenderInterpolated(TwoByTwoInput(), two.view);
    // Two pixels: centres at the edge and the middle, x 0, 5 and y 0, 10. Values 1, 2, 3, 5.
    EXPECT_EQ(two.Row(0), (Row{1, 7}));
    EXPECT_EQ(two.Row(1), (Row{14, 26}));
    Buffer four(4, 4);
    RenderInterpolated(TwoByTwoInput(), four.view);
    // Centres at index 0.125 .. 0.875: (0, 0) -> 1.8125 -> Round(5.11875) + 1 = 6;
    // (3, 3) -> 9.3125 -> Round(52.36875) + 1 = 53.
    EXPECT_EQ(four.view.PixelAt(0, 0), 6);
    EXPECT_EQ(four.view.PixelAt(3, 3), 53);
}

TEST(PColorRenderInterpolated, GradientModeBlanksEdgeCells) {
    // 4 x 4 grid: only the middle cell (column 1, row 1) has two-sided differences.
    std::vector<double> v(16);
    for (int i = 0; i < 16; ++i) v[static_cast<std::size_t>(i)] = i;
    TRenderInput in = Input(v, 4, 4, {0, 3, 0, 3}, 20, 0);
    in.Mode = imGradient;
    Buffer b(6, 6);
    RenderInterpolated(in, b.view);
    for (int r = 0; r < 6; ++r)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(b.view.PixelAt(x, r) != 0, r >= 2 && r <= 3 && x >= 2 && x <= 3) << x << "," << r;
}

namespace {

// 65 nodes over x 0..64 with value x / 4 (two equal rows): range 0..16, 15 lines, so b = 1 and the
// levels lie at the whole numbers 0..16. Pixel h spans values h / 4 .. (h + 1) / 4.
struct Ramp {
    Ramp() {
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c <= 64; ++c) v.push_back(c / 4.0);
        in = Input(v, 65, 2, {0, 64, 0, 1}, 16, 0);
        in.ContourLines = 15;
    }
    std::vector<double> v;
    TRenderInput in;
};

}  // namespace

TEST(PColorRenderContours, LevelsCrossOnlyPixelsThatSpanThem) {
    Ramp ramp;
    Buffer b(64, 1);
    RenderContours(ramp.in, false, b.view);
    const Row row = b.Row(0);
    // A level lies in [h/4, (h+1)/4] for h = 0, 3, 4, 7, 8, ...: band colour Round(63 j / 16) + 1.
    EXPECT_EQ(row[0], 1);
    EXPECT_EQ(row[1], 0);
    EXPECT_EQ(row[2], 0);
    EXPECT_EQ(row[3], 5);  // j = 1: Round(3.9375) + 1
    EXPECT_EQ(row[4], 5);
    EXPECT_EQ(row[5], 0);
    EXPECT_EQ(row[63], 64);  // j = 16, the range's top
    std::set<int> bands(row.begin(), row.end());
    bands.erase(0);
    EXPECT_EQ(bands.size(), 17u);  // ContourLines + 2 levels, the ends included
}

TEST(PColorRenderContours, InterpolatedWithContourLines) {
    Ramp ramp;
    Buffer b(64, 1);
    RenderContours(ramp.in, true, b.view);
    const Row row = b.Row(0);
    EXPECT_EQ(row[0], 255);
    // Between the lines: the colour of the mean of the corners, k = 63 / 16.
    EXPECT_EQ(row[1], 2);  // mean 0.375 -> Round(1.4765625) + 1
    EXPECT_EQ(row[2], 3);  // mean 0.625 -> Round(2.4609375) + 1
    EXPECT_EQ(row[3], 255);
}

TEST(PColorRenderContours, CornersAtTheLastNodeStayInsideTheGrid) {
    // The last corner lies exactly on the last node; a steep last column shows that it is read there.
    const std::vector<double> v = {0, 0, 0, 100, 0, 0, 0, 100};
    TRenderInput in = Input(v, 4, 2, {0, 3, 0, 1}, 100, 0);
    in.ContourLines = 1;  // levels at 0, 50, 100
    Buffer b(3, 2);
    RenderContours(in, false, b.view);
    // The flat zeros carry no line; the last pixel reaches 100 at the right edge.
    EXPECT_EQ(b.Row(0), (Row{0, 0, 64}));
}

TEST(PColorRenderContours, PlateausOnALevelAreNoLine) {
    // Nodes 0, 0, 8 over x 0..2 (two equal rows); range 0..8, one line: levels 0, 4, 8 (b = 0.25).
    // Corners at 0, 0.5, 1, 1.5, 2 carry 0, 0, 0, 4, 8.
    const std::vector<double> v = {0, 0, 8, 0, 0, 8};
    TRenderInput in = Input(v, 3, 2, {0, 2, 0, 1}, 8, 0);
    in.ContourLines = 1;
    Buffer b(4, 1);
    RenderContours(in, false, b.view);
    // The flat stretch at the minimum stays background; band 1 is Round(31.5) + 1 = 33.
    EXPECT_EQ(b.Row(0), (Row{0, 0, 33, 64}));
    RenderContours(in, true, b.view);
    EXPECT_EQ(b.Row(0), (Row{1, 1, 255, 255}));
}

TEST(PColorRender, NothingIsDrawnWithoutData) {
    Buffer b(3, 3);
    TRenderInput in;
    RebuildImage(in, dtInterp, b.view);
    EXPECT_TRUE(std::all_of(b.bytes.begin(), b.bytes.end(), [](uint8_t x) { return x == 77; }));
}

TEST(PColorFacets, LinesThroughTheNodes) {
    const std::vector<double> v(9, 0.0);
    TRenderInput in = Input(v, 3, 3, {0, 2, 0, 2}, 0, 0);
    const TPixelRect im{3, 21, 101, 51};
    EXPECT_EQ(FacetColumns(in, im), (std::vector<int>{3, 53, 103}));
    EXPECT_EQ(FacetRows(in, im), (std::vector<int>{71, 46, 21}));  // 21 + Round((2 - j) * 25)
    SetZoom(in.Window, in.Axes, 1, 1, 2, 2);  // window 0.5 .. 1.5: only the middle node
    EXPECT_EQ(FacetColumns(in, im), (std::vector<int>{53}));
    EXPECT_EQ(FacetRows(in, im), (std::vector<int>{46}));
}

TEST(PColorBar, CellsInOrder) {
    // Vertical, 64 colours over 126 pixels: u = 126 / 66.
    const auto v = ColorBarCells(64, {141, 21, 6, 126}, true);
    ASSERT_EQ(v.size(), 66u);
    EXPECT_EQ(v.front().Index, kIndexHigher);
    EXPECT_EQ(v.front().From, 21);
    EXPECT_EQ(v.front().To, 22);
    EXPECT_EQ(v[1].Index, 64);  // the highest colour right below the higher-values cell
    EXPECT_EQ(v[1].From, 22);
    EXPECT_EQ(v[1].To, 24);
    EXPECT_EQ(v[64].Index, 1);
    EXPECT_EQ(v[64].From, 143);  // 21 + Trunc(64 u) = 21 + 122
    EXPECT_EQ(v[64].To, 145);
    EXPECT_EQ(v.back().Index, kIndexLower);
    EXPECT_EQ(v.back().From, 145);
    EXPECT_EQ(v.back().To, 147);
    for (std::size_t i = 1; i < v.size(); ++i) EXPECT_EQ(v[i].From, v[i - 1].To);
    // Horizontal, u = 1: lower values at the left.
    const auto h = ColorBarCells(64, {3, 141, 66, 6}, false);
    EXPECT_EQ(h.front().Index, kIndexLower);
    EXPECT_EQ(h.front().To, 4);
    EXPECT_EQ(h[5].Index, 5);
    EXPECT_EQ(h[5].From, 8);
    EXPECT_EQ(h.back().Index, kIndexHigher);
    EXPECT_EQ(h.back().From, 68);
    EXPECT_EQ(h.back().To, 69);
}

TEST(PColorBar, MarkerAroundTheCellOfAnIndex) {
    const TPixelRect bar{141, 21, 6, 126};
    TPixelRect r;
    ASSERT_TRUE(MarkerRect(64, 64, bar, true, r));
    EXPECT_EQ(r, (TPixelRect{140, 21, 8, 4}));  // (140, 21) .. (148, 25)
    ASSERT_TRUE(MarkerRect(kIndexLower, 64, bar, true, r));
    EXPECT_EQ(r, (TPixelRect{140, 144, 8, 4}));  // (140, 21 + 124 - 1) .. (148, 21 + 126 + 1)
    EXPECT_FALSE(MarkerRect(0, 64, bar, true, r));
    EXPECT_FALSE(MarkerRect(kIndexContour, 64, bar, true, r));
    ASSERT_TRUE(MarkerRect(kIndexHigher, 64, {3, 141, 66, 6}, false, r));
    EXPECT_EQ(r, (TPixelRect{67, 140, 3, 8}));  // (3 + 65 - 1, 140) .. (3 + 66 + 1, 148)
}
