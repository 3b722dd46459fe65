// The plot's mouse: zoom by drag, range selection for commands, legend drag and the position read-out.
#include <QMouseEvent>

#include <cmath>
#include <cstdlib>

#include "app/plot/Xygraph.h"
#include "core/units.h"
#include "platform/numtext.h"

namespace {

QString GeneralText(double v, int precision, int minDigits) {
    return QString::fromStdString(numtext::GeneralText(v, precision, minDigits));
}

}  // namespace

QPointF TXYPlot::dataAt(QPoint pixel) const {
    double px = pixel.x();
    if (Direction == 2) px = (0 + width() + marginL_ - marginR_) - px;
    const double x = (px - marginL_) / ticks_[0].Scale + MinXValue.get();
    const double y = (height() - marginB_ - pixel.y()) / ticks_[2].Scale + MinY1Value.get();
    return QPointF(x, y);
}

bool TXYPlot::pointInLegend(QPoint p) const {
    return p.x() > legendFrame_.left() && p.x() < legendFrame_.right() && p.y() > legendFrame_.top() &&
           p.y() < legendFrame_.bottom();
}

void TXYPlot::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    MouseDown(event);
}

void TXYPlot::MouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    legendDrag_ = Legende && !legendFrame_.isNull() && pointInLegend(p);
    dragStart_ = p;
    lastCorner_ = p;
    bandShown_ = false;
    mouseDown_ = true;
}

void TXYPlot::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    MouseMove(event);
}

void TXYPlot::MouseMove(QMouseEvent* event) {
    if (!layoutDone_ || ticks_[0].Scale == 0.0 || ticks_[2].Scale == 0.0) return;
    const QPoint p = event->position().toPoint();
    const QPointF d = dataAt(p);
    CursorDataPosition.X = d.x();
    CursorDataPosition.Y1 = d.y();
    CursorDataPosition.Y2 = (ZweiteYAchse && ticks_[3].Scale != 0.0)
                                ? (height() - marginB_ - p.y()) / ticks_[3].Scale + MinY2Value.get()
                                : 0.0;
    const Qt::MouseButtons buttons = event->buttons();
    const bool noKeys = event->modifiers() == Qt::NoModifier;
    if (buttons == Qt::LeftButton && noKeys && mouseDown_) {
        lastCorner_ = p;
        bandShown_ = true;
        overlayOnly_ = true;
        update();
    }
    if (buttons == Qt::NoButton && noKeys) {
        const bool epsilon = DisplayUnits().DisplayYMode == SpecYEpsilon;
        const QString y = epsilon ? GeneralText(d.y(), 6, 1) : GeneralText(d.y(), 4, 2);
        const QString text = QStringLiteral("Position: ") + GeneralText(d.x(), 5, 2) + QStringLiteral("  |  ") + y;
        if (Host.setStatusText) Host.setStatusText(2, text);
        emit positionText(text);
    }
}

void TXYPlot::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    MouseUp(event);
}

void TXYPlot::MouseUp(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    const QPoint p = event->position().toPoint();
    if (button == Qt::LeftButton && mouseDown_) {
        mouseDown_ = false;
        const bool hadBand = bandShown_;
        bandShown_ = false;
        if (legendDrag_) {
            legendDrag_ = false;
            legendSampleX_ += p.x() - dragStart_.x();
            legendTextX_ += p.x() - dragStart_.x();
            legendTop_ += p.y() - dragStart_.y();
        } else {
            dragEnd_ = p;
            int sx = dragStart_.x(), sy = dragStart_.y(), ex = dragEnd_.x(), ey = dragEnd_.y();
            if (sx == ex || sy == ey || std::abs(ex - sx) < 10 || std::abs(ey - sy) < 10 || !layoutDone_ ||
                ticks_[0].Scale == 0.0 || ticks_[2].Scale == 0.0) {
                // Too small to mean anything: only the band goes away.
                if (hadBand) {
                    overlayOnly_ = true;
                    update();
                }
                return;
            }
            if (sx > ex) std::swap(sx, ex);
            if (sy < ey) std::swap(sy, ey);  // start y is the lower edge on screen
            const QPointF lo = dataAt(QPoint(sx, sy));
            const QPointF hi = dataAt(QPoint(ex, ey));
            auto y2At = [this](int py) {
                return (height() - marginB_ - py) / ticks_[3].Scale + MinY2Value.get();
            };
            const bool y2 = ZweiteYAchse && ticks_[3].Scale != 0.0;
            if (ZoomOnDrag) {
                MinXValue = std::min(lo.x(), hi.x());
                MaxXValue = std::max(lo.x(), hi.x());
                if (!Y1AchseFix) {
                    MinY1Value = lo.y();
                    MaxY1Value = hi.y();
                }
                if (y2 && !Y2AchseFix) {
                    MinY2Value = y2At(sy);
                    MaxY2Value = y2At(ey);
                }
                Autoscaling = false;
                Dirty = true;
            } else {
                SelectedRange.Pixels = QRect(QPoint(sx, ey), QPoint(ex, sy));
                SelectedRange.XFrom = lo.x();
                SelectedRange.XTo = hi.x();
                SelectedRange.Y1Low = lo.y();
                SelectedRange.Y1High = hi.y();
                SelectedRange.Y2Low = y2 ? y2At(sy) : 0.0;
                SelectedRange.Y2High = y2 ? y2At(ey) : 0.0;
                // Only a finished selection that stored a range lets a waiting command go on.
                SelectionDone = true;
            }
        }
    }
    if (button == Qt::LeftButton || button == Qt::MiddleButton) {
        Repaint();
    } else if (button == Qt::RightButton) {
        Autoscaling = true;
        Dirty = true;
        Repaint();
    }
}
