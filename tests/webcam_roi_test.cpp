// The region-of-interest rectangle and its mouse editing, driven like the window drives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/roi_shapes.h"

namespace {

struct Drawn {
    std::string what;
    TPoint a, b;
    uint32_t pen, fill;
    int32_t width;
};

class RecordingCanvas : public TShapeCanvas {
public:
    std::vector<Drawn> items;
    void Rectangle(TPoint a, TPoint b, uint32_t pen, uint8_t, int32_t width) override {
        items.push_back({"rect", a, b, pen, 0, width});
    }
    void Handle(TPoint c, uint32_t pen, int32_t a, uint32_t fill) override {
        items.push_back({"handle", c, {a, a}, pen, fill, 1});
    }
    int count(const std::string& what) const {
        int n = 0;
        for (const auto& d : items) n += d.what == what;
        return n;
    }
};

// The window's ROI on a 640 x 480 picture.
struct Roi {
    TVectorGraphicsList list;
    TShapeEditor editor{list};
    Roi() {
        list.Add(MakeRoiRectangle({50, 50}, {590, 430}));
        list.SelectIndex(0);
        editor.SetImageSize(640, 480);
    }
    TVectorGraphicsNode& r() { return list[0]; }
    void drag(TPoint from, TPoint to, bool shift = false) {
        editor.MouseDown(true, shift, from.x, from.y);
        editor.MouseMove((from.x + to.x) / 2, (from.y + to.y) / 2);
        editor.MouseMove(to.x, to.y);
        editor.MouseUp(true, to.x, to.y);
    }
};

}  // namespace

TEST(RoiShapes, PointsAndHandleSquaresExcludeTheRightAndBottomEdge) {
    EXPECT_EQ(PointAdd({1, 2}, {3, -5}), (TPoint{4, -3}));
    EXPECT_EQ(PointSubtract({1, 2}, {3, -5}), (TPoint{-2, 7}));
    struct Case {
        TPoint p;
        bool hit;
    };
    const Case cases[] = {{{6, 6}, true}, {{13, 13}, true}, {{14, 10}, false}, {{10, 14}, false},
                          {{5, 10}, false}, {{10, 10}, true}};
    for (const Case& c : cases) EXPECT_EQ(HandleHit({10, 10}, 4, c.p), c.hit) << c.p.x << "," << c.p.y;
}

TEST(RoiShapes, HandlesAreNumberedByCornerAndContainmentExcludesTheFarEdges) {
    TRectangleNode r(kRoiPenColor, {100, 80}, {10, 20}, 2, 0);  // Create: second corner before first
    EXPECT_EQ(r.First, (TPoint{10, 20}));
    EXPECT_FALSE(r.Selected);
    EXPECT_EQ(r.HandleAt(10, 20, 4), 1);
    EXPECT_EQ(r.HandleAt(103, 83, 4), 2);
    EXPECT_EQ(r.HandleAt(10, 80, 4), 3);
    EXPECT_EQ(r.HandleAt(100, 20, 4), 4);
    EXPECT_EQ(r.HandleAt(50, 50, 4), 0);
    EXPECT_TRUE(r.Contains({10, 20}));
    EXPECT_FALSE(r.Contains({100, 50}));
    EXPECT_FALSE(r.Contains({50, 80}));
    RecordingCanvas c;
    r.DrawHandles(c, kHandleOutline, 4, kHandleFillSingle);
    EXPECT_EQ(c.count("handle"), 4);
}

TEST(RoiShapes, DrawingGrowsOutwardByPenWidths) {
    struct Case {
        TPoint first, second;
        int32_t grow;
        TPoint a, b;
    };
    const Case cases[] = {
        {{10, 10}, {20, 30}, 0, {10, 10}, {20, 30}},
        {{10, 10}, {20, 30}, 1, {8, 8}, {22, 32}},
        {{20, 30}, {10, 10}, 1, {22, 32}, {8, 8}},  // corners the other way: still outward
        {{10, 10}, {10, 30}, 2, {10, 6}, {10, 34}},  // no width: x stays
    };
    for (const Case& k : cases) {
        TRectangleNode r(kRoiPenColor, k.second, k.first, 2, 0);
        RecordingCanvas c;
        r.Draw(c, k.grow);
        ASSERT_EQ(c.items.size(), 1u);
        EXPECT_EQ(c.items[0].a, k.a);
        EXPECT_EQ(c.items[0].b, k.b);
        EXPECT_EQ(c.items[0].pen, kRoiPenColor);
        EXPECT_EQ(c.items[0].width, 2);
    }
}

TEST(RoiEditing, DraggingTheBottomLeftHandlePastTheOtherCornerNormalises) {
    Roi roi;
    // Handle 3 sits at (first x, second y) = (50, 430): drag it to the upper right of (590, 50).
    roi.drag({50, 430}, {620, 20});
    EXPECT_EQ(roi.r().First, (TPoint{590, 20}));
    EXPECT_EQ(roi.r().Second, (TPoint{620, 50}));
    EXPECT_EQ(roi.editor.DragState(), 0);
    EXPECT_FALSE(roi.editor.Confined());
}

TEST(RoiEditing, EachHandleMovesItsCorner) {
    struct Case {
        TPoint grab, to, first, second;
    };
    const Case cases[] = {
        {{50, 50}, {60, 70}, {60, 70}, {590, 430}},
        {{590, 430}, {500, 400}, {50, 50}, {500, 400}},
        {{50, 430}, {40, 420}, {40, 50}, {590, 420}},
        {{590, 50}, {600, 60}, {50, 60}, {600, 430}},
    };
    for (const Case& c : cases) {
        Roi roi;
        roi.drag(c.grab, c.to);
        EXPECT_EQ(roi.r().First, c.first) << c.grab.x << "," << c.grab.y;
        EXPECT_EQ(roi.r().Second, c.second) << c.grab.x << "," << c.grab.y;
    }
}

TEST(RoiEditing, ADragInsideMovesAndStopsAtTheImageEdge) {
    Roi roi;
    TMouseOutcome down = roi.editor.MouseDown(true, false, 300, 200);
    EXPECT_TRUE(down.ConfineCursor);
    EXPECT_EQ(down.Cursor, TEditCursor::Drag);
    roi.editor.MouseMove(310, 195);
    EXPECT_EQ(roi.r().First, (TPoint{60, 45}));
    // The pointer far outside the picture: the rectangle ends at the edge and keeps its size.
    roi.editor.MouseMove(2000, -900);
    EXPECT_EQ(roi.r().Second.x, 640);
    EXPECT_EQ(roi.r().First.y, 0);
    EXPECT_EQ(roi.r().Second.x - roi.r().First.x, 540);
    EXPECT_EQ(roi.r().Second.y - roi.r().First.y, 380);
    const TMouseOutcome up = roi.editor.MouseUp(true, 2000, -900);
    EXPECT_TRUE(up.ReleaseCursor);
    EXPECT_TRUE(up.Redraw);
    // A resize handle dragged outside stops at the edge too.
    roi.drag({640, 0}, {900, -50});  // handle 4 = (second x, first y)
    EXPECT_EQ(roi.r().Second.x, 640);
    EXPECT_EQ(roi.r().First.y, 0);
}

TEST(RoiEditing, AClickOutsideDeselectsAndLaterDragsDoNothingUntilTheRoiIsClicked) {
    Roi roi;
    const TMouseOutcome out = roi.editor.MouseDown(true, false, 10, 10);
    EXPECT_TRUE(out.Redraw);
    EXPECT_FALSE(out.ConfineCursor);
    roi.editor.MouseUp(true, 10, 10);
    EXPECT_EQ(roi.list.SelectedCount(), 0);
    RecordingCanvas c;
    roi.list.DrawSelectedHandles(c);
    EXPECT_EQ(c.count("handle"), 0);
    // The corner handle is no handle now, and a drag from outside moves nothing.
    EXPECT_EQ(roi.list.HandleAt(50, 50), 0);
    roi.drag({50, 48}, {100, 100});
    roi.drag({5, 5}, {100, 100});
    EXPECT_EQ(roi.r().First, (TPoint{50, 50}));
    // Clicking into it selects it and the same press drags it.
    roi.drag({300, 200}, {310, 200});
    EXPECT_EQ(roi.list.SelectedCount(), 1);
    EXPECT_EQ(roi.r().First, (TPoint{60, 50}));
}

TEST(RoiEditing, ShiftClickKeepsTheSelectionAndSeveralSelectedShowRedHandles) {
    Roi roi;
    roi.list.Add(MakeRoiRectangle({600, 440}, {630, 470}));
    roi.editor.MouseDown(true, true, 610, 450);
    roi.editor.MouseUp(true, 610, 450);
    EXPECT_EQ(roi.list.SelectedCount(), 2);
    EXPECT_EQ(roi.list.HandleAt(50, 50), 0);  // handles work with one shape selected only
    RecordingCanvas c;
    roi.list.DrawSelectedHandles(c);
    ASSERT_EQ(c.count("handle"), 8);
    EXPECT_EQ(c.items[0].fill, kHandleFillSeveral);
    EXPECT_EQ(c.items[0].pen, kHandleOutline);
    // Without Shift only the clicked one stays.
    roi.editor.MouseDown(true, false, 610, 450);
    roi.editor.MouseUp(true, 610, 450);
    EXPECT_EQ(roi.list.SelectedCount(), 2);  // the point lay in a selected shape: a move, no new choice
    roi.editor.MouseDown(true, false, 5, 470);
    roi.editor.MouseUp(true, 5, 470);
    EXPECT_EQ(roi.list.SelectedCount(), 0);
    roi.editor.MouseDown(true, false, 610, 450);
    roi.editor.MouseUp(true, 610, 450);
    EXPECT_EQ(roi.list.SelectedCount(), 1);
    EXPECT_EQ(roi.list.CurrentIndex(), 1);
    RecordingCanvas one;
    roi.list.DrawSelectedHandles(one);
    EXPECT_EQ(one.items[0].fill, kHandleFillSingle);
}

TEST(RoiEditing, IdleCursorAndOtherButtons) {
    Roi roi;
    EXPECT_EQ(roi.editor.MouseMove(52, 48).Cursor, TEditCursor::SizeAll);
    EXPECT_EQ(roi.editor.MouseMove(300, 200).Cursor, TEditCursor::Default);
    // The right button starts nothing.
    roi.editor.MouseDown(false, false, 300, 200);
    EXPECT_EQ(roi.editor.DragState(), 0);
    roi.editor.MouseMove(400, 300);
    EXPECT_EQ(roi.r().First, (TPoint{50, 50}));
    // The list's selection helpers.
    roi.list.SetAllSelected(true);
    EXPECT_EQ(roi.list.Current(), nullptr);
    EXPECT_TRUE(roi.list.HitSelected({100, 100}));
    roi.list.SelectIndex(-1);
    EXPECT_EQ(roi.list.CurrentIndex(), -1);
    RecordingCanvas rubber;
    roi.list.DrawSelected(rubber, 0x123456, 2);
    ASSERT_EQ(rubber.items.size(), 1u);
    EXPECT_EQ(rubber.items[0].pen, 0x123456u);
    EXPECT_EQ(roi.r().PenColor, kRoiPenColor);
}

TEST(RoiEditing, ShapesAreClampedToTheImage) {
    TVectorGraphicsList list;
    list.Add(MakeRoiRectangle({-10, 50}, {700, 500}));
    ClampShapesToImage(list, 640, 480);
    EXPECT_EQ(list[0].First, (TPoint{0, 50}));
    EXPECT_EQ(list[0].Second, (TPoint{640, 480}));
}
