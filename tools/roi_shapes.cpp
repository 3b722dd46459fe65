#include "tools/roi_shapes.h"

#include <algorithm>

TPoint PointAdd(TPoint a, TPoint b) { return {a.x + b.x, a.y + b.y}; }
TPoint PointSubtract(TPoint a, TPoint b) { return {a.x - b.x, a.y - b.y}; }

bool HandleHit(TPoint c, int32_t a, TPoint p) {
    return p.x >= c.x - a && p.x < c.x + a && p.y >= c.y - a && p.y < c.y + a;
}

void DrawHandle(TShapeCanvas& canvas, TPoint p, uint32_t penColor, int32_t a, uint32_t fillColor) {
    canvas.Handle(p, penColor, a, fillColor);
}

// ----- rectangles

TBoundingRectangle::TBoundingRectangle(uint32_t penColor, TPoint second, TPoint first, int32_t penWidth,
                                       uint8_t penStyle) {
    PenColor = penColor;
    Second = second;
    First = first;
    PenWidth = penWidth;
    PenStyle = penStyle;
    Selected = false;
}

void TBoundingRectangle::Normalize() {
    const TPoint a = First, b = Second;
    First = {std::min(a.x, b.x), std::min(a.y, b.y)};
    Second = {std::max(a.x, b.x), std::max(a.y, b.y)};
}

void TBoundingRectangle::MoveBy(TPoint d) {
    First = PointAdd(First, d);
    Second = PointAdd(Second, d);
}

void TBoundingRectangle::DrawHandles(TShapeCanvas& canvas, uint32_t penColor, int32_t a, uint32_t fill) const {
    for (TPoint p : {First, Second, TPoint{First.x, Second.y}, TPoint{Second.x, First.y}})
        DrawHandle(canvas, p, penColor, a, fill);
}

int32_t TBoundingRectangle::HandleAt(int32_t x, int32_t y, int32_t a) const {
    const TPoint p{x, y};
    if (HandleHit(First, a, p)) return 1;
    if (HandleHit(Second, a, p)) return 2;
    if (HandleHit({First.x, Second.y}, a, p)) return 3;
    if (HandleHit({Second.x, First.y}, a, p)) return 4;
    return 0;
}

bool TBoundingRectangle::Contains(TPoint p) const {
    const int32_t l = std::min(First.x, Second.x), r = std::max(First.x, Second.x);
    const int32_t t = std::min(First.y, Second.y), b = std::max(First.y, Second.y);
    return p.x >= l && p.x < r && p.y >= t && p.y < b;
}

void TBoundingRectangle::MoveHandle(int32_t h, TPoint p) {
    switch (h) {
    case 1: First = p; break;
    case 2: Second = p; break;
    case 3: First.x = p.x; Second.y = p.y; break;
    case 4: Second.x = p.x; First.y = p.y; break;
    default: break;
    }
}

void TRectangleNode::Draw(TShapeCanvas& canvas, int32_t grow) const {
    TPoint a = First, b = Second;
    if (grow != 0) {
        const int32_t g = grow * PenWidth;
        const int32_t sx = (b.x > a.x) - (b.x < a.x), sy = (b.y > a.y) - (b.y < a.y);
        a = {a.x - sx * g, a.y - sy * g};
        b = {b.x + sx * g, b.y + sy * g};
    }
    canvas.Rectangle(a, b, PenColor, PenStyle, PenWidth);
}

std::unique_ptr<TRectangleNode> MakeRoiRectangle(TPoint first, TPoint second) {
    return std::make_unique<TRectangleNode>(kRoiPenColor, second, first, kRoiPenWidth, 0);
}

// ----- the list

void TVectorGraphicsList::Add(std::unique_ptr<TVectorGraphicsNode> shape) { shapes_.push_back(std::move(shape)); }

int32_t TVectorGraphicsList::SelectedCount() const {
    return static_cast<int32_t>(std::count_if(shapes_.begin(), shapes_.end(), [](const auto& s) { return s->Selected; }));
}

bool TVectorGraphicsList::HitSelected(TPoint p) const {
    return std::any_of(shapes_.begin(), shapes_.end(), [&](const auto& s) { return s->Selected && s->Contains(p); });
}

TVectorGraphicsNode* TVectorGraphicsList::Current() {
    return current_ >= 0 && current_ < Count() ? shapes_[static_cast<size_t>(current_)].get() : nullptr;
}

void TVectorGraphicsList::SetAllSelected(bool on) {
    for (auto& s : shapes_) s->Selected = on;
    current_ = -1;
}

void TVectorGraphicsList::SelectIndex(int32_t n) {
    current_ = n < Count() ? n : -1;
    if (current_ >= 0) shapes_[static_cast<size_t>(current_)]->Selected = true;
}

void TVectorGraphicsList::SelectAt(bool shift, int32_t x, int32_t y) {
    if (!shift) SetAllSelected(false);
    for (int32_t i = 0; i < Count(); ++i) {
        auto& s = shapes_[static_cast<size_t>(i)];
        if (!s->Selected && s->Contains({x, y})) {
            current_ = i;
            s->Selected = true;
            return;
        }
    }
}

void TVectorGraphicsList::MoveSelected(TPoint offset) {
    for (auto& s : shapes_)
        if (s->Selected) s->MoveBy(offset);
}

void TVectorGraphicsList::DrawAll(TShapeCanvas& canvas) const {
    for (const auto& s : shapes_) s->Draw(canvas, 0);
}

namespace {

// Draws a shape with another pen, its own pen left as it is.
class PenOverride : public TShapeCanvas {
public:
    PenOverride(TShapeCanvas& c, uint32_t color, int32_t width) : c_(c), color_(color), width_(width) {}
    void Rectangle(TPoint a, TPoint b, uint32_t, uint8_t, int32_t) override { c_.Rectangle(a, b, color_, 0, width_); }
    void Handle(TPoint p, uint32_t pen, int32_t a, uint32_t fill) override { c_.Handle(p, pen, a, fill); }

private:
    TShapeCanvas& c_;
    uint32_t color_;
    int32_t width_;
};

}  // namespace

void TVectorGraphicsList::DrawSelected(TShapeCanvas& canvas, uint32_t penColor, int32_t penWidth) const {
    PenOverride pen(canvas, penColor, penWidth);
    for (const auto& s : shapes_)
        if (s->Selected) s->Draw(pen, 0);
}

void TVectorGraphicsList::DrawSelectedHandles(TShapeCanvas& canvas) const {
    const uint32_t fill = SelectedCount() == 1 ? kHandleFillSingle : kHandleFillSeveral;
    for (const auto& s : shapes_)
        if (s->Selected) s->DrawHandles(canvas, kHandleOutline, kHandleHalfSize, fill);
}

int32_t TVectorGraphicsList::HandleAt(int32_t x, int32_t y) const {
    if (current_ < 0 || current_ >= Count() || SelectedCount() != 1) return 0;
    return shapes_[static_cast<size_t>(current_)]->HandleAt(x, y, kHandleHalfSize);
}

// ----- mouse editing

void TShapeEditor::SetImageSize(int32_t width, int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void TShapeEditor::ClipCursorToImage(int32_t width, int32_t height) {
    SetImageSize(width, height);
    confined_ = true;
}

TPoint TShapeEditor::confine(TPoint p) const {
    if (!confined_) return p;
    return {std::clamp(p.x, 0, width_), std::clamp(p.y, 0, height_)};
}

TMouseOutcome TShapeEditor::MouseDown(bool left, bool shift, int32_t x, int32_t y) {
    TMouseOutcome out;
    if (!left) return out;
    const int32_t h = list_.HandleAt(x, y);
    if (h >= 1 && h <= 4 && dynamic_cast<TBoundingRectangle*>(list_.Current())) {
        handle_ = h;
        state_ = 2;
        ClipCursorToImage(width_, height_);
        out.ConfineCursor = true;
        out.Cursor = TEditCursor::SizeAll;
        return out;
    }
    if (!list_.HitSelected({x, y})) {
        list_.SelectAt(shift, x, y);
        out.Redraw = true;
        if (list_.SelectedCount() == 0) return out;
    }
    last_ = {x, y};
    state_ = 3;
    ClipCursorToImage(width_, height_);
    out.ConfineCursor = true;
    out.Cursor = TEditCursor::Drag;
    return out;
}

TMouseOutcome TShapeEditor::MouseMove(int32_t x, int32_t y) {
    TMouseOutcome out;
    const TPoint p = confine({x, y});
    if (state_ == 2) {
        if (auto* r = dynamic_cast<TBoundingRectangle*>(list_.Current())) r->MoveHandle(handle_, p);
        out.Redraw = true;
        out.Cursor = TEditCursor::SizeAll;
    } else if (state_ == 3) {
        TPoint d = PointSubtract(p, last_);
        // The selected shapes stop at the image's edge.
        if (confined_) {
            for (int32_t i = 0; i < list_.Count(); ++i) {
                const TVectorGraphicsNode& s = list_[i];
                if (!s.Selected) continue;
                const int32_t l = std::min(s.First.x, s.Second.x), r = std::max(s.First.x, s.Second.x);
                const int32_t t = std::min(s.First.y, s.Second.y), b = std::max(s.First.y, s.Second.y);
                d.x = std::clamp(d.x, -l, std::max(width_ - r, -l));
                d.y = std::clamp(d.y, -t, std::max(height_ - b, -t));
            }
        }
        list_.MoveSelected(d);
        last_ = PointAdd(last_, d);
        out.Redraw = true;
        out.Cursor = TEditCursor::Drag;
    } else {
        out.Cursor = list_.HandleAt(x, y) != 0 ? TEditCursor::SizeAll : TEditCursor::Default;
    }
    return out;
}

TMouseOutcome TShapeEditor::MouseUp(bool left, int32_t x, int32_t y) {
    TMouseOutcome out;
    if (!left || (state_ != 2 && state_ != 3)) return out;
    if (state_ == 2) MouseMove(x, y);
    ReleaseCursorClip();
    out.ReleaseCursor = true;
    out.Cursor = TEditCursor::Default;
    if (auto* r = dynamic_cast<TBoundingRectangle*>(list_.Current())) r->Normalize();
    out.Redraw = true;
    state_ = 0;
    handle_ = 0;
    return out;
}

void ClampShapesToImage(TVectorGraphicsList& list, int32_t width, int32_t height) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        TVectorGraphicsNode& s = list[i];
        for (TPoint* c : {&s.First, &s.Second}) {
            c->x = std::clamp(c->x, 0, std::max(width, 0));
            c->y = std::clamp(c->y, 0, std::max(height, 0));
        }
    }
}
