#pragma once
// Region-of-interest shapes on the webcam picture and their editing with the mouse: point arithmetic
// and handle squares, the rectangle shapes, a list of shapes with selection, and the drag states of
// the mouse handlers. All coordinates are integer pixel positions of the image control. Drawing goes
// through TShapeCanvas, which the window backs with its painter, so everything here runs without a
// display.
#include <cstdint>
#include <memory>
#include <vector>

struct TPoint {
    int32_t x = 0, y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

TPoint PointAdd(TPoint a, TPoint b);
TPoint PointSubtract(TPoint a, TPoint b);
// True when p lies in the square (x - a, y - a)-(x + a, y + a) around the corner, right and bottom edge
// excluded.
bool HandleHit(TPoint corner, int32_t a, TPoint p);

inline constexpr int32_t kHandleHalfSize = 4;
inline constexpr uint32_t kHandleOutline = 0x000000;
inline constexpr uint32_t kHandleFillSingle = 0x00FF00;    // exactly one shape selected
inline constexpr uint32_t kHandleFillSeveral = 0x0000FF;   // several selected
inline constexpr uint32_t kRoiPenColor = 0xFFFFFF;
inline constexpr int32_t kRoiPenWidth = 2;

class TShapeCanvas {
public:
    virtual ~TShapeCanvas() = default;
    // An unfilled rectangle between two corners.
    virtual void Rectangle(TPoint a, TPoint b, uint32_t penColor, uint8_t penStyle, int32_t penWidth) = 0;
    // A filled square (x - a, y - a)-(x + a, y + a) with a solid outline of width 1.
    virtual void Handle(TPoint centre, uint32_t penColor, int32_t a, uint32_t fillColor) = 0;
};

// A filled handle square (x - a, y - a)-(x + a, y + a), solid outline of width 1.
void DrawHandle(TShapeCanvas& canvas, TPoint p, uint32_t penColor, int32_t a, uint32_t fillColor);

class TVectorGraphicsNode {
public:
    virtual ~TVectorGraphicsNode() = default;
    uint32_t PenColor = kRoiPenColor;  // 0x00BBGGRR
    uint8_t PenStyle = 0;
    int32_t PenWidth = 1;
    TPoint First, Second;
    bool Selected = false;

    // grow 0: the shape between its corners; otherwise pushed outward by grow × pen width.
    virtual void Draw(TShapeCanvas& canvas, int32_t grow) const = 0;
    virtual void MoveBy(TPoint offset) = 0;
    virtual void DrawHandles(TShapeCanvas& canvas, uint32_t penColor, int32_t a, uint32_t fillColor) const = 0;
    // 1 first corner, 2 second, 3 (first x, second y), 4 (second x, first y), 0 none.
    virtual int32_t HandleAt(int32_t x, int32_t y, int32_t a) const = 0;
    virtual bool Contains(TPoint p) const = 0;
};

class TBoundingRectangle : public TVectorGraphicsNode {
public:
    // Create: pen colour, second corner, first corner, pen width, pen style; not selected.
    TBoundingRectangle(uint32_t penColor, TPoint second, TPoint first, int32_t penWidth, uint8_t penStyle);
    // First corner := (smaller x, smaller y), second := (larger x, larger y).
    void Normalize();
    void MoveBy(TPoint offset) override;
    void DrawHandles(TShapeCanvas& canvas, uint32_t penColor, int32_t a, uint32_t fillColor) const override;
    int32_t HandleAt(int32_t x, int32_t y, int32_t a) const override;
    bool Contains(TPoint p) const override;  // right and bottom edge excluded
    // Moves the corner of handle h (1-4) to p.
    void MoveHandle(int32_t h, TPoint p);
};

class TRectangleNode : public TBoundingRectangle {
public:
    using TBoundingRectangle::TBoundingRectangle;
    void Draw(TShapeCanvas& canvas, int32_t grow) const override;
};

// The ROI: one TRectangleNode with a white pen of width 2, solid.
std::unique_ptr<TRectangleNode> MakeRoiRectangle(TPoint first, TPoint second);

class TVectorGraphicsList {
public:
    int32_t Count() const { return static_cast<int32_t>(shapes_.size()); }
    void Add(std::unique_ptr<TVectorGraphicsNode> shape);
    TVectorGraphicsNode& operator[](int32_t i) { return *shapes_.at(static_cast<size_t>(i)); }
    const TVectorGraphicsNode& operator[](int32_t i) const { return *shapes_.at(static_cast<size_t>(i)); }
    TVectorGraphicsNode* Last() { return shapes_.empty() ? nullptr : shapes_.back().get(); }
    const TVectorGraphicsNode* Last() const { return shapes_.empty() ? nullptr : shapes_.back().get(); }

    int32_t SelectedCount() const;
    bool HitSelected(TPoint p) const;  // p lies in a selected shape
    TVectorGraphicsNode* Current();    // the current shape or none
    int32_t CurrentIndex() const { return current_; }
    void SetAllSelected(bool on);      // and no current shape
    void SelectIndex(int32_t n);       // current := n; n >= 0 becomes selected
    // Without Shift all are deselected first; the first shape not selected that holds the point becomes
    // current and selected.
    void SelectAt(bool shift, int32_t x, int32_t y);
    void MoveSelected(TPoint offset);
    void DrawAll(TShapeCanvas& canvas) const;
    // The selected shapes with the given pen (the rubber band).
    void DrawSelected(TShapeCanvas& canvas, uint32_t penColor, int32_t penWidth) const;
    // The handles of every selected shape: fill green for one, red for several.
    void DrawSelectedHandles(TShapeCanvas& canvas) const;
    // 0 unless there is a current shape and exactly one is selected; then its handle at the point.
    int32_t HandleAt(int32_t x, int32_t y) const;

private:
    std::vector<std::unique_ptr<TVectorGraphicsNode>> shapes_;
    int32_t current_ = -1;
};

enum class TEditCursor { Default, SizeAll, Drag };

// What the window does after a mouse event.
struct TMouseOutcome {
    bool Redraw = false;         // draw the picture and the figures again
    bool ConfineCursor = false;  // a drag starts (ClipCursorToImage)
    bool ReleaseCursor = false;  // a drag ended (ReleaseCursorClip)
    TEditCursor Cursor = TEditCursor::Default;
};

// The mouse editing of the webcam window (left button only): drag state 0 idle, 2 resizing, 3 moving.
// While a drag runs the pointer is confined to the image: positions outside are taken at the image's
// edge, and moved shapes stop at the edge.
class TShapeEditor {
public:
    explicit TShapeEditor(TVectorGraphicsList& list) : list_(list) {}
    // The image the pointer is confined to while dragging (width x height pixels of the control).
    void ClipCursorToImage(int32_t width, int32_t height);
    void ReleaseCursorClip() { confined_ = false; }
    bool Confined() const { return confined_; }

    TMouseOutcome MouseDown(bool leftButton, bool shift, int32_t x, int32_t y);
    TMouseOutcome MouseMove(int32_t x, int32_t y);
    TMouseOutcome MouseUp(bool leftButton, int32_t x, int32_t y);
    int32_t DragState() const { return state_; }
    void SetImageSize(int32_t width, int32_t height);

private:
    TPoint confine(TPoint p) const;
    TVectorGraphicsList& list_;
    int32_t state_ = 0;
    int32_t handle_ = 0;
    TPoint last_;
    int32_t width_ = 0, height_ = 0;
    bool confined_ = false;
};

// Keeps every shape of the list inside an image of width x height (corners clamped to 0..width and
// 0..height).
void ClampShapesToImage(TVectorGraphicsList& list, int32_t width, int32_t height);
