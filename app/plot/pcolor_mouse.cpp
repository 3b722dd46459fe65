// The colour map's mouse: drag to zoom to a rectangle, click to zoom in or out, both buttons for the
// whole data, and the colour under the mouse marked in the bar. Moves only change the overlay.
#include <QMouseEvent>

#include "app/plot/Pcolor.h"

namespace {

TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return TMouseButton::Right;
    if (b == Qt::LeftButton) return TMouseButton::Left;
    return TMouseButton::Middle;
}

}  // namespace

void TPColor::MarkBarColor(uint8_t index) {
    if (index == markIndex_) return;
    markIndex_ = index;
    update();
}

void TPColor::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && model_.HasData() && mouseOn_ && PixelToData(p.x(), p.y()).Inside) {
        dragging_ = true;
        dragStart_ = dragEnd_ = p;
    }
    if (OnMouseDown) OnMouseDown(event);
}

void TPColor::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (mouseOn_ && PixelToData(p.x(), p.y()).Inside) {
        const TPixelRect& im = Coordinates.Image();
        const uint8_t index = model_.HasData() ? dib_.PixelAt(p.x() - im.Left, im.Top + im.Height - p.y() - 1) : 0;
        const bool moved = dragging_ && p != dragEnd_;
        if (dragging_) dragEnd_ = p;
        MarkBarColor(index);
        if (moved) update();
    }
    if (OnMouseMove) OnMouseMove(event);
}

void TPColor::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    // Only a left press inside the image starts a drag; any other release is measured from itself, so
    // that the ends of an earlier gesture (an Alt- or Shift-drag) never turn a right click into a zoom
    // to their rectangle.
    if (!dragging_) dragStart_ = dragEnd_ = p;
    if (model_.HasData() && mouseOn_) {
        TMouseRelease m;
        m.Button = ButtonOf(event->button());
        m.LeftHeld = event->buttons() & Qt::LeftButton;
        m.RightHeld = event->buttons() & Qt::RightButton;
        m.Shift = event->modifiers() & Qt::ShiftModifier;
        m.Alt = event->modifiers() & Qt::AltModifier;
        m.Ctrl = event->modifiers() & Qt::ControlModifier;
        m.StartX = dragStart_.x();
        m.StartY = dragStart_.y();
        m.EndX = dragEnd_.x();
        m.EndY = dragEnd_.y();
        const TDataPoint at = PixelToData(p.x(), p.y());
        m.ReleaseInside = at.Inside;
        m.HalfClickW = halfClickW_;
        m.HalfClickH = halfClickH_;
        // The drag rectangle goes with the drag (the overlay no longer shows it once dragging ends).
        switch (ClassifyRelease(m)) {
        case TZoomGesture::Reset:
            ZoomReset();
            dragEnd_ = dragStart_;
            break;
        case TZoomGesture::Rect: {
            const TDataPoint a = PixelToData(dragStart_.x(), dragStart_.y());
            const TDataPoint b = PixelToData(dragEnd_.x(), dragEnd_.y());
            dragEnd_ = dragStart_;
            ZoomRect(a.X, a.Y, b.X, b.Y);
            break;
        }
        case TZoomGesture::Centre:
            ZoomCentre(at.X, at.Y);
            break;
        case TZoomGesture::In:
            SetZoom(at.X, at.Y, window_.ZoomX * 2, window_.ZoomY * 2);
            break;
        case TZoomGesture::Out:
            SetZoom(at.X, at.Y, window_.ZoomX / 2, window_.ZoomY / 2);
            break;
        case TZoomGesture::None:
            break;
        }
        update();
    }
    dragging_ = false;
    if (OnMouseUp) OnMouseUp(event);
}
