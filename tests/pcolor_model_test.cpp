// The colour map's rules without a display: grid data, value and gradient ranges, colour table, value
// to index, read-out, layout and zoom. Expected figures are worked out by hand from the rules.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/plot/pcolor/pcolor_colors.h"
#include "app/plot/pcolor/pcolor_layout.h"
#include "app/plot/pcolor/pcolor_model.h"
#include "app/plot/pcolor/pcolor_ticks.h"
#include "app/plot/pcolor/pcolor_zoom.h"
#include "platform/errors.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// 2 x 2 grid over x 0..10, y 0..20: row 0 (y = 0) holds 1, 3; row 1 (y = 20) holds 5, 11.
TPColorModel TwoByTwo() {
    TPColorModel m;
    m.SetData({{1, 5}, {3, 11}}, 0, 10, 0, 20);
    return m;
}

struct Rgb {
    int r, g, b;
};

void ExpectRgb(uint32_t c, Rgb want, int entry) {
    EXPECT_EQ(RedOf(c), want.r) << "entry " << entry;
    EXPECT_EQ(GreenOf(c), want.g) << "entry " << entry;
    EXPECT_EQ(BlueOf(c), want.b) << "entry " << entry;
}

}  // namespace

// ------------------------------------------------------------------------------------- colour table

TEST(PColorColorTable, SpectralScaleOf64Colours) {
    TColorTableRequest req;
    req.N = 64;
    const TColorTable t = BuildColorTable(req);
    // 1020 / 64 = 15.9375 per step; halves go to the even neighbour (127.5 -> 128).
    const struct {
        int entry;
        Rgb rgb;
    } cases[] = {
        {1, {0, 0, 143}},    {8, {0, 0, 255}},      {9, {0, 16, 255}},   {24, {0, 255, 255}},
        {25, {16, 255, 239}}, {40, {255, 255, 0}},  {41, {255, 239, 0}}, {56, {255, 0, 0}},
        {57, {239, 0, 0}},   {64, {128, 0, 0}},
    };
    for (const auto& c : cases) ExpectRgb(t[static_cast<std::size_t>(c.entry)], c.rgb, c.entry);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(RedOf(t[i]) + GreenOf(t[i]), 0) << i;
        if (i > 1) {
            EXPECT_GT(BlueOf(t[i]), BlueOf(t[i - 1])) << i;
        }
    }
    for (int i = 57; i <= 64; ++i) {
        EXPECT_EQ(GreenOf(t[i]) + BlueOf(t[i]), 0) << i;
        if (i > 57) {
            EXPECT_LT(RedOf(t[i]), RedOf(t[i - 1])) << i;
        }
    }
}

// Scales whose steps 1020 / N are no binary fractions: channels that lie exactly on a half still go
// to the even neighbour.
TEST(PColorColorTable, SpectralHalvesOfOtherScaleLengths) {
    const struct {
        int n, entry;
        Rgb rgb;
    } cases[] = {
        {50, 1, {0, 0, 147}},       {50, 6, {0, 0, 249}},    {50, 7, {0, 15, 255}},
        {50, 20, {26, 255, 230}},   {50, 25, {128, 255, 128}}, {50, 30, {230, 255, 26}},
        {50, 45, {230, 0, 0}},      {50, 50, {128, 0, 0}},   {25, 10, {26, 255, 230}},
        {29, 29, {128, 0, 0}},      {81, 27, {0, 212, 255}}, {81, 54, {255, 212, 0}},
    };
    for (const auto& c : cases) {
        TColorTableRequest req;
        req.N = c.n;
        ExpectRgb(BuildColorTable(req)[static_cast<std::size_t>(c.entry)], c.rgb, c.entry);
    }
}

TEST(PColorColorTable, LineScaleAndTheFourFixedEntries) {
    TColorTableRequest req;
    req.Map = cmLine;
    req.N = 3;
    req.MinValue = RGBColor(10, 0, 200);
    req.MaxValue = RGBColor(15, 100, 0);
    req.ImageFon = RGBColor(1, 2, 3);
    req.Lower = RGBColor(4, 5, 6);
    req.Higher = RGBColor(7, 8, 9);
    req.Contour = RGBColor(10, 11, 12);
    const TColorTable t = BuildColorTable(req);
    ExpectRgb(t[1], {10, 0, 200}, 1);
    ExpectRgb(t[2], {12, 50, 100}, 2);  // 10 + Round(2.5) = 12: the half goes to the even neighbour
    ExpectRgb(t[3], {15, 100, 0}, 3);
    ExpectRgb(t[0], {1, 2, 3}, 0);
    ExpectRgb(t[253], {4, 5, 6}, 253);
    ExpectRgb(t[254], {7, 8, 9}, 254);
    ExpectRgb(t[255], {10, 11, 12}, 255);
    EXPECT_EQ(t[4], 0u);  // beyond the scale
}

TEST(PColorColorTable, UserAndRandomScales) {
    TColorTableRequest req;
    req.Map = cmUser;
    req.N = 4;
    EXPECT_EQ(BuildColorTable(req)[2], 0u);  // no user table: black
    TUserColorTable user{};
    user[1] = RGBColor(9, 8, 7);
    req.User = &user;
    EXPECT_EQ(BuildColorTable(req)[2], RGBColor(9, 8, 7));
    req.Map = cmRandom;
    req.N = 252;
    req.RandomSeed = 7;
    const TColorTable t = BuildColorTable(req);
    for (int i = 1; i <= 252; ++i) {
        EXPECT_LE(RedOf(t[i]), 254);
        EXPECT_LE(GreenOf(t[i]), 254);
        EXPECT_LE(BlueOf(t[i]), 254);
    }
    EXPECT_EQ(t, BuildColorTable(req));  // one seed, one table
}

TEST(PColorIndex, ValuesToPaletteIndices) {
    const TIndexScale s(10.0, 0.0, 64);  // k = 6.3
    EXPECT_EQ(s(10.0), 64);               // the maximum is colour N
    EXPECT_EQ(s(std::nextafter(10.0, 11.0)), kIndexHigher);
    EXPECT_EQ(s(0.0), 1);
    EXPECT_EQ(s(-1e-12), kIndexLower);
    EXPECT_EQ(s(kNaN), kIndexBackground);
    EXPECT_EQ(s(kInf), kIndexHigher);
    EXPECT_EQ(s(-kInf), kIndexLower);
    const TIndexScale half(4.0, 0.0, 3);  // k = 0.5: 1 -> Round(0.5) = 0, 3 -> Round(1.5) = 2
    EXPECT_EQ(half(1.0), 1);
    EXPECT_EQ(half(3.0), 3);
    const TIndexScale flat(2.0, 2.0, 64);  // max = min: every value in range is colour 1
    EXPECT_EQ(flat(2.0), 1);
    EXPECT_EQ(flat(2.5), kIndexHigher);
}

// --------------------------------------------------------------------------------------------- grid

TEST(PColorGrid, SetDataCopiesColumnsAndWidensSingles) {
    TPColorModel m;
    EXPECT_EQ(m.SetData({{1, 2, 3, 4, 5}}, 0, 1, 0, 4), TPColorModel::TDataResult::NewAxes);
    ASSERT_EQ(m.Nx(), 2);
    ASSERT_EQ(m.Ny(), 5);
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(m.GetValue(0, r), r + 1.0);
        EXPECT_EQ(m.GetValue(1, r), r + 1.0);
    }
    TPColorModel t = TwoByTwo();
    EXPECT_EQ(t.GetValue(1, 0), 3.0);  // column 1, row 0
    EXPECT_EQ(t.GetValue(0, 1), 5.0);
}

TEST(PColorGrid, RaggedDataIsRefusedAndEmptyDataClears) {
    TPColorModel m = TwoByTwo();
    EXPECT_EQ(m.SetData({{1, 2}, {3}}, 0, 1, 0, 1), TPColorModel::TDataResult::Refused);
    EXPECT_EQ(m.Nx(), 2);
    EXPECT_EQ(m.GetValue(1, 1), 11.0);
    EXPECT_EQ(m.Axes().XMax, 10.0);
    EXPECT_FALSE(m.UpdateData({{1, 2}, {3}}));
    EXPECT_EQ(m.SetData({}, 0, 1, 0, 1), TPColorModel::TDataResult::Cleared);
    EXPECT_FALSE(m.HasData());
    EXPECT_EQ(m.ValueAt(5, 5, dtInterp), 0.0);
    EXPECT_EQ(m.MaxValGraph(), 0.0);
}

TEST(PColorGrid, OutOfRangeCellsReadZeroAndWriteNothing) {
    TPColorModel m = TwoByTwo();
    for (auto [c, r] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {1 << 30, 1 << 30}}) {
        EXPECT_EQ(m.GetValue(c, r), 0.0);
        EXPECT_FALSE(m.SetValue(c, r, 99.0));
    }
    EXPECT_EQ(m.Values(), (std::vector<double>{1, 3, 5, 11}));
}

TEST(PColorGrid, EqualAxisEndsAreWidened) {
    const struct {
        double v, hi;
    } cases[] = {{0, 0.01}, {-5, -4.95}, {5, 5.05}};
    for (const auto& c : cases) {
        TPColorModel m;
        m.SetGridSize(3, 3, c.v, c.v, 1, 2);
        EXPECT_EQ(m.Axes().XMin, c.v);
        EXPECT_DOUBLE_EQ(m.Axes().XMax, c.hi);
    }
    TPColorModel m;
    m.SetGridSize(3, 3, 10, 2, 8, 4);  // ends in either order
    EXPECT_EQ(m.Axes().XMin, 2.0);
    EXPECT_EQ(m.Axes().YMax, 8.0);
    EXPECT_THROW(m.SetGridSize(3, 3, 0, kNaN, 0, 1), vx::Error);
}

TEST(PColorGrid, GridSizeKeepsValuesOnlyWhenUnchanged) {
    TPColorModel m = TwoByTwo();
    EXPECT_EQ(m.SetGridSize(2, 2, 0, 10, 0, 20), TPColorModel::TDataResult::SameAxes);
    EXPECT_EQ(m.GetValue(1, 1), 11.0);
    EXPECT_EQ(m.MaxValGraph(), 11.0);  // not found: rescanned
    EXPECT_EQ(m.SetGridSize(1, 1, 0, 10, 0, 20), TPColorModel::TDataResult::SameAxes);  // at least 2
    EXPECT_EQ(m.GetValue(1, 1), 11.0);
    EXPECT_EQ(m.SetGridSize(3, 2, 0, 5, 0, 20), TPColorModel::TDataResult::NewAxes);
    EXPECT_EQ(m.GetValue(1, 1), 0.0);
    EXPECT_EQ(m.MaxValGraph(), 0.0);
}

TEST(PColorGrid, TooManyCellsAreRefused) {
    TPColorModel m;
    EXPECT_THROW(m.SetGridSize(10001, 1000, 0, 1, 0, 1), vx::Error);
    EXPECT_NO_THROW(m.SetGridSize(10000, 1000, 0, 1, 0, 1));
    EXPECT_EQ(m.Nx(), 10000);
}

TEST(PColorGrid, UpdateDataOfAnotherSizeChangesNothing) {
    TPColorModel m = TwoByTwo();
    EXPECT_FALSE(m.UpdateData({{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(m.GetValue(0, 0), 1.0);
    EXPECT_TRUE(m.UpdateData({{7}, {8}}));  // one row counts as two equal rows
    EXPECT_EQ(m.GetValue(1, 1), 8.0);
    TPColorModel empty;
    EXPECT_FALSE(empty.UpdateData({{1, 2}, {3, 4}}));
}

// ------------------------------------------------------------------------------------------ ranges

TEST(PColorRange, AutomaticScanSkipsNonNumbers) {
    TPColorModel m;
    m.SetData({{kNaN, -kInf}, {4, kInf}, {-2, 3}}, 0, 2, 0, 1);
    EXPECT_EQ(m.MaxValGraph(), 4.0);
    EXPECT_EQ(m.MinValGraph(), -2.0);
    EXPECT_EQ(m.Range().MaxCell, (TGridCell{0, 1}));
    EXPECT_EQ(m.Range().MinCell, (TGridCell{0, 2}));
}

TEST(PColorRange, ManualLimitsPushEachOther) {
    TPColorModel m = TwoByTwo();
    EXPECT_FALSE(m.SetMaxValGraph(5));  // ignored while automatic
    EXPECT_EQ(m.MaxValGraph(), 11.0);
    m.SetMaxMinValGraphAuto(false);
    EXPECT_TRUE(m.SetMinValGraph(7));
    EXPECT_TRUE(m.SetMaxValGraph(5));
    EXPECT_EQ(m.MaxValGraph(), 5.0);
    EXPECT_EQ(m.MinValGraph(), 5.0);
    EXPECT_TRUE(m.SetMinValGraph(9));
    EXPECT_EQ(m.MaxValGraph(), 9.0);
    EXPECT_FALSE(m.SetMinValGraph(9));  // unchanged
    // Switching back on rescans and reports the change.
    EXPECT_TRUE(m.SetMaxMinValGraphAuto(true));
    EXPECT_EQ(m.MaxValGraph(), 11.0);
    EXPECT_EQ(m.MinValGraph(), 1.0);
}

TEST(PColorRange, SetValueKeepsTheRangeUpToDate) {
    TPColorModel m = TwoByTwo();
    ASSERT_EQ(m.MaxValGraph(), 11.0);
    m.SetValue(0, 0, 20);  // beyond the maximum: the new extreme
    EXPECT_EQ(m.MaxValGraph(), 20.0);
    EXPECT_EQ(m.Range().MaxCell, (TGridCell{0, 0}));
    m.SetValue(0, 0, 2);  // the maximum's own cell got smaller: rescan on the next read
    EXPECT_FALSE(m.Range().Found);
    EXPECT_EQ(m.MaxValGraph(), 11.0);
    EXPECT_EQ(m.MinValGraph(), 2.0);
    m.SetValue(1, 0, -1);
    EXPECT_TRUE(m.Range().Found);
    EXPECT_EQ(m.MinValGraph(), -1.0);
}

TEST(PColorRange, GradientMagnitudesWithOneSidedEdges) {
    // 3 x 3 over 0..2: fx = fy = (3 - 1) / (2 * 2) = 0.5; v[r][c] = c^2 + 10 r.
    TPColorModel m;
    m.SetData({{0, 10, 20}, {1, 11, 21}, {4, 14, 24}}, 0, 2, 0, 2);
    EXPECT_EQ(m.Fx(), 0.5);
    EXPECT_DOUBLE_EQ(m.Gradient(1, 1), std::sqrt(2.0 * 2.0 + 10.0 * 10.0));
    EXPECT_DOUBLE_EQ(m.Gradient(0, 0), std::sqrt(0.5 * 0.5 + 5.0 * 5.0));
    EXPECT_DOUBLE_EQ(m.Gradient(2, 2), std::sqrt(1.5 * 1.5 + 5.0 * 5.0));
    // Below 4 x 4 every cell counts for the range.
    EXPECT_DOUBLE_EQ(m.GMinValGraph(), std::sqrt(0.5 * 0.5 + 5.0 * 5.0));
}

TEST(PColorRange, GradientRangeOfLargerGridsIgnoresTheEdges) {
    // 4 x 4 over 0..3 (fx = fy = 0.5): a step of 100 between the last two columns only.
    TPColorMatrix d(4, std::vector<double>(4, 0.0));
    d[3] = {100, 100, 100, 100};
    TPColorModel m;
    m.SetData(d, 0, 3, 0, 3);
    // Interior column 2 sees 0.5 * (100 - 0) = 50; edge column 3 would see 0.5 * 100 as well, column 1
    // sees 0: the range comes from columns 1 and 2 only.
    EXPECT_DOUBLE_EQ(m.GMaxValGraph(), 50.0);
    EXPECT_DOUBLE_EQ(m.GMinValGraph(), 0.0);
    EXPECT_EQ(m.GRange().MaxCell.Col, 2);
    // Changing a cell next to the gradient maximum marks the range for a new scan.
    m.SetValue(1, 1, 0.0);
    EXPECT_FALSE(m.GRange().Found);
    m.GMaxValGraph();
    // A cell away from both extremes extends the range by its own and its neighbours' gradients.
    m.SetValue(1, 3, -400);  // column 1, edge row 3: the gradient of interior cell (2, 1) is now 200
    EXPECT_TRUE(m.GRange().Found);
    EXPECT_DOUBLE_EQ(m.GMaxValGraph(), 200.0);
    EXPECT_EQ(m.GRange().MaxCell, (TGridCell{2, 1}));
}

TEST(PColorRange, SwitchingAutomaticOnInTheOtherModeOnlyMarks) {
    TPColorModel m = TwoByTwo();
    m.SetMaxMinValGraphAuto(false);
    m.SetMaxValGraph(50);
    m.ImageMode = imGradient;
    EXPECT_FALSE(m.SetMaxMinValGraphAuto(true));  // no scan in gradient mode
    EXPECT_FALSE(m.Range().Found);
    EXPECT_EQ(m.MaxValGraph(), 11.0);
}

// ---------------------------------------------------------------------------------------- read-out

TEST(PColorReadout, BilinearAndNearestValues) {
    const TPColorModel m = TwoByTwo();
    const struct {
        double x, y;
        TDrawTypes type;
        double want;
    } cases[] = {
        {5, 10, dtInterp, 5.0},       // a = 3, b = 7
        {2.5, 15, dtInterp, 5.25},    // fi 0.25, gi 0.75: a = 4, b = 9
        {2.5, 15, dtContour, 5.25},
        {2.5, 15, dtFlat, 5.0},       // nearest node: column 0, row 1
        {7.6, 4, dtFlat, 3.0},
        {-100, 100, dtInterp, 5.0},   // outside: the nearest edge
        {100, -5, dtInterpContour, 3.0},
        {10, 20, dtInterp, 11.0},     // the last node itself
        {kNaN, 20, dtInterp, 5.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(m.ValueAt(c.x, c.y, c.type), c.want) << c.x << " " << c.y;
}

TEST(PColorReadout, GradientModeReadsGradientMagnitudes) {
    TPColorModel m;
    m.SetData({{0, 10, 20}, {1, 11, 21}, {4, 14, 24}}, 0, 2, 0, 2);
    m.ImageMode = imGradient;
    EXPECT_DOUBLE_EQ(m.ValueAt(1, 1, dtFlat), std::sqrt(104.0));
}

// ------------------------------------------------------------------------------------------- layout

namespace {

TLayoutInput Control150(bool title, bool bar, bool vertical) {
    TLayoutInput in;
    in.Width = in.Height = 150;
    in.TitleVisible = title;
    in.TitleFontHeight = 11;
    in.MeasureTitle = [](int) { return 13; };
    in.DrawColorBar = bar;
    in.VerticalBar = vertical;
    return in;
}

}  // namespace

TEST(PColorLayout, Rectangles150x150) {
    const struct {
        const char* what;
        bool title, bar, vertical;
        TPixelRect image, colorBar;
    } cases[] = {
        // Vertical bar: 14 wide first, then Trunc(0.05 * 127) = 6 < 14 makes it 6.
        {"no title, vertical bar", false, true, true, {3, 3, 135, 144}, {141, 3, 6, 144}},
        // Title top |Round(5.5)| = 6, image top 13 + 2 * 6 = 25.
        {"title, vertical bar", true, true, true, {3, 25, 135, 122}, {141, 25, 6, 122}},
        {"no title, horizontal bar", false, true, false, {3, 3, 144, 135}, {3, 141, 144, 6}},
        {"no bar", false, false, true, {3, 3, 144, 144}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const TLayoutResult r = AutomaticLayout(Control150(c.title, c.bar, c.vertical));
        EXPECT_EQ(r.Image, c.image) << c.what;
        if (c.bar) {
            EXPECT_EQ(r.ColorBar, c.colorBar) << c.what;
        }
        EXPECT_EQ(r.TitleShown, c.title) << c.what;
        EXPECT_EQ(r.ColorBarShown, c.bar) << c.what;
    }
    const TLayoutResult t = AutomaticLayout(Control150(true, true, true));
    EXPECT_EQ(t.Title, (TPixelRect{3, 6, 144, 13}));
}

TEST(PColorLayout, SmallControlsAndEmptyTitles) {
    TLayoutInput in = Control150(false, true, true);
    in.Width = in.Height = 5;  // image height 5 - 3 - 3 < 0: no image, no bar
    TLayoutResult r = AutomaticLayout(in);
    EXPECT_EQ(r.Image.Width, 0);
    EXPECT_EQ(r.Image.Height, 0);
    EXPECT_FALSE(r.ColorBarShown);
    in = Control150(true, true, true);
    in.TitleTextEmpty = true;
    EXPECT_FALSE(AutomaticLayout(in).TitleShown);
    in = Control150(true, true, true);
    in.Height = 18;  // lower than title height 13 + top 6
    EXPECT_FALSE(AutomaticLayout(in).TitleShown);
}

TEST(PColorLayout, CoordinatesIgnoreWritesWhileAutomatic) {
    TPColorCoordinates c;
    EXPECT_EQ(c.Image(), (TPixelRect{3, 21, 135, 126}));
    EXPECT_EQ(c.Title(), (TPixelRect{3, 5, 146, 11}));
    EXPECT_EQ(c.ColorBar(), (TPixelRect{141, 21, 6, 126}));
    int changes = 0;
    c.OnChange = [&] { ++changes; };
    c.SetImageLeft(50);
    EXPECT_EQ(c.Image().Left, 3);
    EXPECT_EQ(changes, 0);
    c.SetAutomatic(false);
    EXPECT_EQ(changes, 1);
    c.SetImageLeft(50);
    c.SetImageWidth(-4);
    c.SetImageWidth(-4);  // unchanged: no event
    EXPECT_EQ(c.Image().Left, 50);
    EXPECT_EQ(c.Image().Width, 0);
    EXPECT_EQ(changes, 3);
    TPColorCoordinates other;
    other.Assign(c);
    EXPECT_FALSE(other.Automatic());
    EXPECT_EQ(other.Image(), c.Image());
}

// --------------------------------------------------------------------------------------------- zoom

TEST(PColorZoom, FactorsAreClampedAndTheWindowStaysInside) {
    const TAxesExtent a{0, 100, 0, 100};
    TPColorWindow w = FullWindow(a);
    EXPECT_FALSE(SetZoom(w, a, 10, 10, 0.5, 0.5));  // a right click at zoom 1: nothing happens
    EXPECT_TRUE(SetZoom(w, a, 95, 50, 2, 2));       // near the edge: moved back inside
    EXPECT_EQ(w.Left, 50.0);
    EXPECT_EQ(w.Right, 100.0);
    EXPECT_EQ(w.CentreX, 75.0);
    EXPECT_EQ(w.Bottom, 25.0);
    EXPECT_TRUE(SetZoom(w, a, 50, 50, -4, 1e9));
    EXPECT_EQ(w.ZoomX, 4.0);
    EXPECT_EQ(w.ZoomY, kMaxZoom);
    EXPECT_NEAR(w.Top - w.Bottom, 100.0 / kMaxZoom, 1e-12);
}

TEST(PColorZoom, ZoomToARectangle) {
    const TAxesExtent a{0, 100, 0, 50};
    TPColorWindow w = FullWindow(a);
    EXPECT_TRUE(ZoomRect(w, a, 20, 40, -30, 10));  // corners clamped: x 0..20, y 10..40
    EXPECT_EQ(w.ZoomX, 5.0);
    EXPECT_DOUBLE_EQ(w.ZoomY, 50.0 / 30.0);
    EXPECT_EQ(w.Left, 0.0);
    EXPECT_EQ(w.Right, 20.0);
    EXPECT_TRUE(ZoomRect(w, a, 30, 10, 30, 20));  // one column wide
    EXPECT_EQ(w.ZoomX, kMaxZoom);
}

TEST(PColorZoom, PixelToData) {
    const TAxesExtent a{0, 100, 0, 200};
    const TPColorWindow w = FullWindow(a);
    const TPixelRect im{3, 3, 135, 144};
    const struct {
        int x, y;
        bool inside;
        double dx, dy;
    } cases[] = {
        {3, 3, true, 0, 200},        {137, 146, true, 100, 0}, {70, 74, true, 50, 200 - 200.0 * 71 / 143},
        {-10, 50, false, 0, 200 - 200.0 * 47 / 143}, {500, 500, false, 100, 0},
    };
    for (const auto& c : cases) {
        const TDataPoint p = PixelToData(c.x, c.y, im, w, a);
        EXPECT_EQ(p.Inside, c.inside) << c.x;
        EXPECT_DOUBLE_EQ(p.X, c.dx) << c.x;
        EXPECT_NEAR(p.Y, c.dy, 1e-9) << c.x;
    }
    const TDataPoint one = PixelToData(9, 9, {9, 9, 1, 1}, w, a);
    EXPECT_EQ(one.X, 0.0);
    EXPECT_EQ(one.Y, 0.0);
}

TEST(PColorZoom, WhatAMouseReleaseMeans) {
    auto m = [](TMouseButton b, int dx, int dy) {
        TMouseRelease r;
        r.Button = b;
        r.StartX = 50;
        r.StartY = 50;
        r.EndX = 50 + dx;
        r.EndY = 50 + dy;
        r.ReleaseInside = true;
        return r;
    };
    const TMouseButton L = TMouseButton::Left, R = TMouseButton::Right;
    EXPECT_EQ(ClassifyRelease(m(L, 2, -2)), TZoomGesture::In);  // within half the double-click distance
    EXPECT_EQ(ClassifyRelease(m(L, 3, 0)), TZoomGesture::Rect);
    EXPECT_EQ(ClassifyRelease(m(R, 0, 0)), TZoomGesture::Out);
    EXPECT_EQ(ClassifyRelease(m(TMouseButton::Middle, 0, 0)), TZoomGesture::None);
    TMouseRelease both = m(L, 40, 40);
    both.RightHeld = true;
    EXPECT_EQ(ClassifyRelease(both), TZoomGesture::Reset);
    both = m(R, 0, 0);
    both.LeftHeld = true;
    EXPECT_EQ(ClassifyRelease(both), TZoomGesture::Reset);
    TMouseRelease shift = m(L, 40, 40);  // a key makes any gesture a click
    shift.Shift = true;
    EXPECT_EQ(ClassifyRelease(shift), TZoomGesture::Centre);
    TMouseRelease ctrl = m(L, 40, 40);
    ctrl.Ctrl = true;
    EXPECT_EQ(ClassifyRelease(ctrl), TZoomGesture::None);
    TMouseRelease alt = m(R, 0, 0);
    alt.Alt = true;
    EXPECT_EQ(ClassifyRelease(alt), TZoomGesture::None);
    TMouseRelease outside = m(L, 0, 0);
    outside.ReleaseInside = false;
    EXPECT_EQ(ClassifyRelease(outside), TZoomGesture::None);
}

// -------------------------------------------------------------------------------------------- ticks

TEST(PColorTicks, RoundStepsWithinTheRange) {
    EXPECT_EQ(AxisTicks(0, 100, 5), (std::vector<double>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(AxisTicks(250, 600, 8), (std::vector<double>{250, 300, 350, 400, 450, 500, 550, 600}));
    const auto small = AxisTicks(-0.3, 0.25, 6);
    const double want[] = {-0.3, -0.2, -0.1, 0, 0.1, 0.2};
    ASSERT_EQ(small.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(small[i], want[i], 1e-12);
    EXPECT_EQ(small[3], 0.0);  // exactly zero, not a rounding rest
    EXPECT_EQ(AxisTicks(7, 7, 5), (std::vector<double>{7}));
    EXPECT_TRUE(AxisTicks(0, kInf, 5).empty());
    EXPECT_EQ(TickText(0.1 + 0.2 - 0.3, 0.1), "0");
}

TEST(PColorRange, ManualLimitsStartFromTheCurrentValues) {
    TPColorModel m = TwoByTwo();
    ASSERT_EQ(m.MaxValGraph(), 11.0);
    m.UpdateData({{2, 6}, {4, 30}});  // not scanned yet
    m.SetMaxMinValGraphAuto(false);
    EXPECT_EQ(m.MaxValGraph(), 30.0);
    EXPECT_EQ(m.MinValGraph(), 2.0);
}
