#include "app/plot/xy_render.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/plot/xy_fonts.h"
#include "core/units.h"

namespace {

QColor ColorOf(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QPen CurvePen(uint32_t color, int width) {
    QPen pen(ColorOf(color), std::max(width, 1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (width <= 1) {
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::SquareCap);
    }
    return pen;
}

// The point of the line through (x1, y1) and (x2, y2) at x, and at y. A vertical line gives y2 and x2.
double YAtX(double x, double x1, double y1, double x2, double y2) {
    if (x1 == x2) return y2;
    return y2 + (y2 - y1) / (x2 - x1) * (x - x2);
}

double XAtY(double y, double x1, double y1, double x2, double y2) {
    if (x1 == x2 || y1 == y2) return x2;
    return x2 + (x2 - x1) / (y2 - y1) * (y - y2);
}

// Clips the segment (x1,y1)-(x2,y2) to the closed rectangle; false when nothing of it lies inside. An end
// beyond the area moves along the segment onto the bottom or top edge (XAtY), then onto the left or right
// edge (YAtX); both ends may lie outside, so a segment that only crosses the area is drawn where it does.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double l, double t, double r, double b) {
    // Ends so far apart that their distance overflows give no usable line.
    if (!std::isfinite(x2 - x1) || !std::isfinite(y2 - y1)) return false;
    enum : unsigned { Left = 1, Right = 2, Top = 4, Bottom = 8 };
    auto code = [&](double x, double y) {
        return (x < l ? Left : 0u) | (x > r ? Right : 0u) | (y < t ? Top : 0u) | (y > b ? Bottom : 0u);
    };
    const double ax = x1, ay = y1, bx = x2, by = y2;  // the line stays the one of the whole segment
    auto clipEnd = [&](double& x, double& y, unsigned c) {
        if (c & Bottom) {
            x = XAtY(b, ax, ay, bx, by);
            y = b;
        } else if (c & Top) {
            x = XAtY(t, ax, ay, bx, by);
            y = t;
        } else if (c & Left) {
            y = YAtX(l, ax, ay, bx, by);
            x = l;
        } else {
            y = YAtX(r, ax, ay, bx, by);
            x = r;
        }
    };
    // Each pass puts one end on one more edge line; four passes reach every corner case.
    for (int pass = 0; pass < 8; ++pass) {
        const unsigned c1 = code(x1, y1), c2 = code(x2, y2);
        if ((c1 | c2) == 0) return true;
        if (c1 & c2) return false;
        if (c1)
            clipEnd(x1, y1, c1);
        else
            clipEnd(x2, y2, c2);
    }
    // Rounding can leave an end a hair beyond an edge it was put on.
    x1 = std::clamp(x1, l, r);
    x2 = std::clamp(x2, l, r);
    y1 = std::clamp(y1, t, b);
    y2 = std::clamp(y2, t, b);
    return true;
}

// The end of a dash or gap of `length` pixels from `from` toward `target` (the target itself when it is
// nearer), each coordinate rounded.
QPoint ShortenSegment(QPoint from, QPoint target, double length) {
    const double dx = target.x() - from.x(), dy = target.y() - from.y();
    double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0.0) d = 0.1;
    if (!(length < d)) return target;
    return QPoint(static_cast<int>(std::nearbyint(from.x() + dx * length / d)),
                  static_cast<int>(std::nearbyint(from.y() + dy * length / d)));
}

}  // namespace

// ------------------------------------------------------------------------------------------- TPenTrack

void TPenTrack::TrackedMoveTo(QPoint q) {
    if (started_ && q == pos_) return;  // a continuation, not a new stretch
    flush();
    pos_ = q;
}

void TPenTrack::finishRun() {
    if (!runActive_) return;
    runActive_ = false;
    // A run of points in one pixel column covers the span from its lowest to its highest point; first,
    // extremes in their order, and last cover the same span and join the neighbours the same way.
    auto push = [this](int y) { put(QPoint(runX_, y)); };
    push(firstY_);
    if (count_ == 1) return;
    if (minAt_ < maxAt_) {
        push(minY_);
        push(maxY_);
    } else {
        push(maxY_);
        push(minY_);
    }
    push(lastY_);
}

void TPenTrack::rasterLine(QPoint a, QPoint b) {
    const int w = w_, h = h_;
    uchar* const bits = bits_;
    const qsizetype bpl = bpl_;
    if (a.x() == b.x()) {
        const int x = a.x();
        if (x < 0 || x >= w) return;
        const int y0 = std::max(std::min(a.y(), b.y()), 0), y1 = std::min(std::max(a.y(), b.y()), h - 1);
        for (int y = y0; y <= y1; ++y) reinterpret_cast<QRgb*>(bits + y * bpl)[x] = color_;
        return;
    }
    int x0 = a.x(), y0 = a.y();
    const int x1 = b.x(), y1 = b.y();
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    // The line never leaves the rectangle of its ends: with both ends in the image no pixel needs a test.
    const auto inImage = [w, h](QPoint q) { return q.x() >= 0 && q.y() >= 0 && q.x() < w && q.y() < h; };
    if (inImage(a) && inImage(b)) {
        QRgb* px = reinterpret_cast<QRgb*>(bits + y0 * bpl) + x0;
        const qsizetype rowStep = sy * (bpl / qsizetype(sizeof(QRgb)));
        for (;;) {
            *px = color_;
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
                px += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
                px += rowStep;
            }
        }
        return;
    }
    for (;;) {
        if (x0 >= 0 && y0 >= 0 && x0 < w && y0 < h) reinterpret_cast<QRgb*>(bits + y0 * bpl)[x0] = color_;
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void TPenTrack::flush() {
    finishRun();
    if (image_) {
        if (distinct_ == 1 && added_ >= 2) rasterLine(last_, last_);  // a stretch that never left its pixel
        distinct_ = 0;
    } else if (poly_.size() >= 2) {
        painter_.drawPolyline(poly_.data(), static_cast<int>(poly_.size()));
    } else if (poly_.size() == 1 && added_ >= 2) {
        painter_.drawPoint(poly_.front());  // a stretch that never left its pixel
    }
    poly_.clear();
    added_ = 0;
    started_ = false;
}

// -------------------------------------------------------------------------------------- TXYPlotPainter

TXYPlotPainter::TXYPlotPainter(TXYPlot& plot, QPainter& painter, double s, double dotLen, double dashLen,
                               double gapLen, bool raster)
    : plot_(plot), p_(painter), s_(s), dot_(std::max(dotLen, 1.0)), dash_(std::max(dashLen, 1.0)),
      gap_(std::max(gapLen, 1.0)), raster_(raster) {
    const QRect a = plot.PlotArea();
    L_ = a.left();
    T_ = a.top();
    R_ = plot.width() - plot.marginR_;
    B_ = plot.height() - plot.marginB_;
    W_ = plot.width();
    H_ = plot.height();
}


void TXYPlotPainter::line(double x1, double y1, double x2, double y2) {
    p_.drawLine(SP(x1, y1), SP(x2, y2));
}

void TXYPlotPainter::textTopLeft(int x, int y, const QString& text) {
    const QFontMetrics fm(p_.font());
    p_.drawText(QPoint(x, y + fm.ascent()), text);
}

void TXYPlotPainter::DrawRotatedText(QPointF topLeft, double angle, const QString& text) {
    p_.save();
    p_.translate(topLeft);
    p_.rotate(-angle);
    const QFontMetrics fm(p_.font());
    p_.drawText(QPoint(0, fm.ascent()), text);
    p_.restore();
}

// ------------------------------------------------------------------------------------------------- axes

void TXYPlotPainter::DrawGrid() { gridWith(true); }

void TXYPlotPainter::DrawGridScaled() { gridWith(false); }

void TXYPlotPainter::gridWith(bool screenStyle) {
    QColor color(0xC0, 0xC0, 0xC0);
    if (!screenStyle || (plot_.Host.windowColor && plot_.Host.windowColor() == 0xC0C0C0))
        color = QColor(0x80, 0x80, 0x80);
    p_.setPen(QPen(color, 1, screenStyle ? Qt::DotLine : Qt::DashLine));
    line(L_ + 1, T_, R_, T_);
    const TAxisTicks& x = plot_.ticks_[0];
    for (int i = 1; i < plot_.XMajorTics.get() && i < TAxisTicks::kMaxTicks; ++i) {
        const double px = plot_.Direction == 2 ? R_ - x.Offsets[i] : L_ + x.Offsets[i];
        line(px, B_ - 1, px, T_);
    }
    line(R_, T_, R_, B_);
    const TAxisTicks& y = plot_.ticks_[2];
    for (int i = 1; i < plot_.Y1MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i) {
        const double py = B_ - y.Offsets[i];
        line(L_ + 1, py, R_, py);
    }
}

void TXYPlotPainter::DrawXAxis() {
    p_.setPen(QPen(Qt::black, 2));
    p_.setFont(xyfont::Scaled(plot_.PlotFont, s_));
    line(L_, B_, R_, B_);
    const TAxisTicks& t = plot_.ticks_[0];
    for (int i = 0; i < plot_.XMajorTics.get() && i < TAxisTicks::kMaxTicks; ++i) {
        const double x = plot_.Direction == 2 ? R_ - t.Offsets[i] : L_ + t.Offsets[i];
        line(x, B_, x, B_ + 8);
        const int w = xyfont::TextWidth(plot_.PlotFont, t.Labels[i]);
        textTopLeft(S(x - std::nearbyint(w / 2.0)), S(B_ + 11), t.Labels[i]);
    }
}

void TXYPlotPainter::DrawX2Axis() {
    p_.setPen(QPen(Qt::black, 2));
    p_.setFont(xyfont::Scaled(plot_.PlotFont, s_));
    line(L_ - 1, T_, R_, T_);
    const TAxisTicks& t = plot_.ticks_[1];
    const int h = xyfont::TextHeight(plot_.PlotFont);
    for (int i = 0; i < plot_.X2MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i) {
        const int off = t.Offsets[i];
        if (off < 0 || off > R_ - L_) continue;  // outside the axis: kept in the list, not drawn
        const double x = plot_.X2Direction == 2 ? R_ - off : L_ + off;
        line(x, T_, x, T_ - 8);
        const int w = xyfont::TextWidth(plot_.PlotFont, t.Labels[i]);
        textTopLeft(S(x - std::nearbyint(w / 2.0)), S(T_ - h - 8), t.Labels[i]);
    }
}

void TXYPlotPainter::DrawY1Axis() {
    p_.setPen(QPen(Qt::black, 2));
    p_.setFont(xyfont::Scaled(plot_.PlotFont, s_));
    line(L_, B_, L_, T_);
    const TAxisTicks& t = plot_.ticks_[2];
    const int h = xyfont::TextHeight(plot_.PlotFont);
    for (int i = 0; i < plot_.Y1MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i) {
        const double y = B_ - t.Offsets[i];
        line(L_, y, L_ - 8, y);
        const int w = xyfont::TextWidth(plot_.PlotFont, t.Labels[i]);
        textTopLeft(S(L_ - 11 - w), S(y - std::nearbyint(h / 2.0)), t.Labels[i]);
    }
}

void TXYPlotPainter::DrawY2Axis() {
    p_.setPen(QPen(Qt::black, 2));
    p_.setFont(xyfont::Scaled(plot_.PlotFont, s_));
    line(R_, B_, R_, T_);
    const TAxisTicks& t = plot_.ticks_[3];
    const int h = xyfont::TextHeight(plot_.PlotFont);
    for (int i = 0; i < plot_.Y2MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i) {
        const double y = B_ - t.Offsets[i];
        line(R_, y, R_ + 8, y);
        textTopLeft(S(R_ + 11), S(y - std::nearbyint(h / 2.0)), t.Labels[i]);
    }
}

void TXYPlotPainter::DrawAxisTitles() {
    p_.setPen(QPen(Qt::black, 2));
    const QFont font = xyfont::Scaled(plot_.LegendeFont, s_);
    p_.setFont(font);
    const double h = xyfont::HeightPx(plot_.PlotFont);
    const double fh = -static_cast<double>(font.pixelSize());  // negative, as for point-sized fonts
    const QFont& lf = plot_.LegendeFont;
    const double mid = (S(L_) + S(R_)) / 2.0;

    if (plot_.XAchsenTextAn) {
        const double r = s_ * (H_ + 2 * h - plot_.marginB_);
        const double y0 = s_ * H_;
        const double tw = s_ * xyfont::TextWidth(lf, plot_.XachsenText);
        textTopLeft(static_cast<int>(std::nearbyint(mid - tw / 2)),
                    static_cast<int>(std::nearbyint(r + (y0 - r + fh) / 2)), plot_.XachsenText);
    }
    if (plot_.X2AchsenTextAn) {
        // Centred in the band above the top tick labels.
        const double r = s_ * (plot_.marginT_ - 2 * h);
        const double y0 = 0.0;
        const double tw = s_ * xyfont::TextWidth(lf, plot_.X2achsenText);
        textTopLeft(static_cast<int>(std::nearbyint(mid - tw / 2)),
                    static_cast<int>(std::nearbyint(r - (y0 + r - fh) / 2)), plot_.X2achsenText);
    }
    if (plot_.Y1AchsenTextAn) {
        const TAxisTicks& t = plot_.ticks_[2];
        double labelColumn = 0;
        if (t.Labels[4].size() < 2) {
            labelColumn = 2 * h;
        } else {
            for (int i = 0; i < plot_.Y1MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i)
                labelColumn = std::max<double>(labelColumn, xyfont::TextWidth(plot_.PlotFont, t.Labels[i]));
        }
        const double bandLeft = 0.0;
        const double bandRight = s_ * (L_ - labelColumn);
        const double x = (bandLeft + bandRight + fh) / 2;
        const double tw = s_ * xyfont::TextWidth(lf, plot_.Y1achsenText);
        const double y = s_ * (T_ + B_) / 2 + tw / 2;
        DrawRotatedText(QPointF(std::nearbyint(x), std::nearbyint(y)), 90.0, plot_.Y1achsenText);
    }
    if (plot_.Y2AchsenTextAn && plot_.ZweiteYAchse && !plot_.Y2achsenText.isEmpty()) {
        const int size = xyfont::SizePt(lf);
        const int lh = xyfont::HeightPx(lf);
        double centre = (W_ - plot_.marginR_ + 7.0 * lh) + std::nearbyint(2.5 * size);
        if (centre + lh / 2.0 > W_) {
            // The column would leave the control: put it between the right tick labels and the edge.
            const TAxisTicks& t = plot_.ticks_[3];
            int widest = 0;
            for (int i = 0; i < plot_.Y2MajorTics.get() && i < TAxisTicks::kMaxTicks; ++i)
                widest = std::max(widest, xyfont::TextWidth(plot_.PlotFont, t.Labels[i]));
            centre = (R_ + 11 + widest + W_) / 2.0;
        }
        const int n = static_cast<int>(plot_.Y2achsenText.size());
        const double block = std::nearbyint(n * size * 1.2);
        double top = std::nearbyint(H_ / 2.0 - block / 2);
        const double step = std::nearbyint(0.85 * xyfont::TextHeight(lf));
        for (const QChar ch : plot_.Y2achsenText) {
            const int w = xyfont::TextWidth(lf, QString(ch));
            textTopLeft(S(centre - w / 2.0), S(top), QString(ch));
            top += step;
        }
    }
}

// ----------------------------------------------------------------------------------------------- curves

double TXYPlotPainter::patternLength(int style, int phase) const {
    switch (style) {
    case 1: return phase == 0 ? dash_ : gap_;
    case 2: return dot_;
    case 3: return phase == 0 ? dash_ : (phase == 2 ? dot_ : gap_);
    case 4: return phase == 0 ? dash_ : ((phase == 2 || phase == 4) ? dot_ : gap_);
    default: return dash_;
    }
}

void TXYPlotPainter::DashedLineTo(KurvenDaten& c, TPenTrack& pen, QPoint target) {
    const int style = c.PenStyle;
    if (style == 0 || style == 6) {
        pen.TrackedLineTo(target);
        return;
    }
    if (style > 4) return;
    const int phases = style == 3 ? 4 : (style == 4 ? 6 : 2);
    if (c.DashPhase >= phases) c.DashPhase = 0;
    // Every pass either ends the call or finishes a dash or gap of at least one pixel, but rounding of
    // the shortened end can stall on a remnant below half a pixel; the bound keeps that finite.
    for (int guard = 0; guard < 1000000; ++guard) {
        const QPoint from = pen.pos();
        const double dx = target.x() - from.x(), dy = target.y() - from.y();
        const double d = std::sqrt(dx * dx + dy * dy);
        const double len = patternLength(style, c.DashPhase);
        const bool down = (c.DashPhase % 2) == 0;
        const bool ends = style == 2 ? (c.DashRun + d >= len) : (c.DashRun + d > len);
        if (!ends) {
            c.DashRun += d;
            down ? pen.TrackedLineTo(target) : pen.TrackedMoveTo(target);
            return;
        }
        const QPoint cut = ShortenSegment(from, target, len - c.DashRun);
        down ? pen.TrackedLineTo(cut) : pen.TrackedMoveTo(cut);
        c.DashRun = 0.0;
        c.DashPhase = static_cast<uint8_t>((c.DashPhase + 1) % phases);
        c.PenDown = (c.DashPhase % 2) == 0 ? 1 : 0;
        if (cut == target && d == 0.0) return;
    }
    pen.TrackedMoveTo(target);
}

void TXYPlotPainter::DrawSymbol(int n, double y, double x) {
    const auto [r0, shape] = plot_.symbolOf(n);
    switch (shape) {
    case 1:
        p_.drawRect(QRect(SP(x - r0, y - r0), SP(x + r0, y + r0) - QPoint(1, 1)));
        break;
    case 2:
        line(x - r0, y - r0, x + r0, y + r0);
        line(x + r0, y - r0, x - r0, y + r0);
        break;
    default: {
        const double r = std::nearbyint(r0 * std::sqrt(2.0));
        p_.drawEllipse(QRect(SP(x - r, y - r), SP(x + r, y + r) - QPoint(1, 1)));
        break;
    }
    }
}

void TXYPlotPainter::DrawPeakMarker(const KurvenDaten& c, double x, double y, const QString& label) {
    const double a = plot_.Host.peakLabelAngle ? plot_.Host.peakLabelAngle() : 90.0;
    const double k = (90.0 - a) / 90.0;
    const double fh = xyfont::HeightPx(plot_.PlotFont);
    QPointF start;
    if (plot_.DisplayUnits().DisplayYMode == SpecYTransmittance) {
        line(x, y + 20, x, y + 45);
        const double w = xyfont::TextWidth(plot_.PlotFont, label);
        start = QPointF(x - fh / 2 * (1 - k) - w * k / 2, y + 52 + w * (1 - k));
    } else {
        line(x, y - 20, x, y - 45 + (90.0 - a) / 10.0);
        start = QPointF(x - fh / 2, y - 52);
    }
    const QPen old = p_.pen();
    p_.setPen(ColorOf(c.Color));
    DrawRotatedText(QPointF(S(start.x()), S(start.y())), a, label);
    p_.setPen(old);
}

void TXYPlotPainter::DrawCurve(int n) {
    KurvenDaten& c = plot_.curves_[static_cast<std::size_t>(n - 1)];
    p_.setFont(xyfont::Scaled(plot_.PlotFont, s_));
    p_.setPen(CurvePen(c.Color, c.Width));
    p_.setBrush(ColorOf(plot_.BackgroundColor()));  // hollow symbols
    c.DashRun = 0.0;
    c.PenDown = 1;
    c.DashPhase = 0;

    const bool lines = plot_.DrawAsLines;
    const bool solid = c.PenStyle == 0 || c.PenStyle == 6;
    TPenTrack pen(p_, raster_ && plot_.ReduceDenseCurves && lines && solid && c.Width <= 1);
    QImage* image = (raster_ && p_.device() && p_.device()->devType() == QInternal::Image)
                        ? static_cast<QImage*>(p_.device())
                        : nullptr;
    if (image && lines && solid && c.Width <= 1 && p_.worldTransform().isIdentity() && !p_.hasClipping() &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32)) {
        pen.setDirect(image, 0xFF000000u | ColorOf(c.Color).rgb());
    }

    const bool right = c.YAxis != 1 && plot_.ZweiteYAchse;
    const TAxisTicks& ty = plot_.ticks_[right ? 3 : 2];
    const double yMin = right ? plot_.MinY2Value.get() : plot_.MinY1Value.get();
    const double kx = plot_.ticks_[0].Scale, ky = ty.Scale;
    const double x0 = plot_.MinXValue.get();
    const bool mirror = plot_.Direction == 2;
    const double m = 0 + W_ + plot_.marginL_ - plot_.marginR_;
    auto mapX = [&](double x) {
        const double px = L_ + (x - x0) * kx;
        return mirror ? m - px : px;
    };
    auto mapY = [&](double y) { return B_ - (y - yMin) * ky; };
    auto inside = [&](double px, double py) { return px > L_ && px < R_ && py < B_ && py > T_; };

    const std::size_t count = static_cast<std::size_t>(c.HighestIndex) + 1;
    double ex = mapX(c.Points[0].x), ey = mapY(c.Points[0].y);
    if (std::fabs(ex) > 10000 || std::fabs(ey) > 10000) ex = ey = 0;
    if (lines) pen.TrackedMoveTo(SP(ex, ey));
    ex = mapX(c.Points[0].x);
    ey = mapY(c.Points[0].y);

    std::size_t cursor = 0;
    const bool hasMarkers = !c.MarkerIndices.empty();
    const double clipTop = T_ + 1;
    const TPlotPoint* const points = c.Points.data();
    bool prevIn = inside(ex, ey);
    for (std::size_t j = 0; j < count; ++j) {
        const double px = mapX(points[j].x), py = mapY(points[j].y);
        const bool in = inside(px, py);
        if (lines) {
            if (in && prevIn) {
                if (solid)
                    pen.TrackedLineTo(SP(px, py));  // what DashedLineTo does for a solid style
                else
                    DashedLineTo(c, pen, SP(px, py));
            } else {
                double ax = ex, ay = ey, bx = px, by = py;
                if (ClipSegment(ax, ay, bx, by, L_, clipTop, R_, B_)) {
                    pen.TrackedMoveTo(SP(ax, ay));
                    DashedLineTo(c, pen, SP(bx, by));
                }
            }
        } else if (in) {
            DrawSymbol(n, py, px);
        }
        if (hasMarkers && static_cast<int>(j) == c.MarkerIndices[cursor]) {
            if (in) {
                pen.flush();
                const QString label = cursor < static_cast<std::size_t>(c.MarkerLabels.size())
                                          ? c.MarkerLabels[static_cast<int>(cursor)]
                                          : QString();
                DrawPeakMarker(c, px, py, label);
                if (lines) pen.TrackedMoveTo(SP(px, py));
            }
            if (cursor + 1 < c.MarkerIndices.size()) ++cursor;
        }
        ex = px;
        ey = py;
        prevIn = in;
    }
    pen.flush();
}

// ----------------------------------------------------------------------------------------------- legend

int TXYPlotPainter::DrawLegend(bool storeFrame) {
    if (plot_.curves_.empty()) return plot_.legendTop_;
    p_.setFont(xyfont::Scaled(plot_.LegendeFont, s_));
    const int lh = static_cast<int>(std::trunc(1.2 * xyfont::HeightPx(plot_.LegendeFont)));
    int y = plot_.legendTop_;
    int widest = 0;
    const int sx = plot_.legendSampleX_, tx = plot_.legendTextX_;
    // A name longer than the room left of the plot area's right edge goes on several lines, so that the
    // frame stays inside the plot (the names of Gauss groups are long).
    const int room = static_cast<int>(R_) - 7 - tx;
    for (int n = 1; n <= plot_.KurvenAnzahl(); ++n) {
        KurvenDaten& c = plot_.curves_[static_cast<std::size_t>(n - 1)];
        const int cy = y + lh / 2;
        if (plot_.DrawAsLines) {
            p_.setPen(CurvePen(c.Color, c.Width));
            c.DashRun = 0.0;
            c.PenDown = 1;
            c.DashPhase = 0;
            TPenTrack pen(p_, false);
            pen.TrackedMoveTo(SP(sx, cy));
            DashedLineTo(c, pen, SP(tx - 5, cy));
        } else {
            p_.setPen(CurvePen(c.Color, 1));
            p_.setBrush(ColorOf(plot_.BackgroundColor()));
            DrawSymbol(n, cy, std::nearbyint((sx + tx) / 2.0));
        }
        p_.setPen(Qt::black);
        for (const QString& line : xyfont::WrapToWidth(plot_.LegendeFont, c.LegendName, room)) {
            textTopLeft(S(tx), S(y), line);
            widest = std::max(widest, xyfont::TextWidth(plot_.LegendeFont, line));
            NextLegendLine(y, lh);
        }
    }
    const QRect frame(QPoint(S(sx - 7), S(plot_.legendTop_ - 7)), QPoint(S(widest + tx + 7), S(y + 7)));
    p_.setPen(QPen(Qt::black, 1));
    p_.drawLine(frame.topLeft(), QPoint(frame.right(), frame.top()));
    p_.drawLine(QPoint(frame.right(), frame.top()), frame.bottomRight());
    p_.drawLine(frame.bottomRight(), QPoint(frame.left(), frame.bottom()));
    p_.drawLine(QPoint(frame.left(), frame.bottom()), frame.topLeft());
    if (storeFrame) plot_.legendFrame_ = QRect(QPoint(sx - 7, plot_.legendTop_ - 7), QPoint(widest + tx + 7, y + 7));
    return y;
}

// ------------------------------------------------------------------------------------- the paint routine

void TXYPlot::renderWith(QPainter& painter, double s, Order order, double dotLen, double dashLen,
                         double gapLen, bool raster) {
    TXYPlotPainter d(*this, painter, s, dotLen, dashLen, gapLen, raster);
    const bool screen = order == Order::Screen;
    // The whole target first, in the background colour (a rounded image size can reach a pixel beyond
    // the scaled plot).
    if (const QPaintDevice* dev = painter.device()) {
        const QRectF all = painter.worldTransform().inverted().mapRect(QRectF(0, 0, dev->width(), dev->height()));
        painter.fillRect(all, ColorOf(BackgroundColor()));
    }
    painter.setFont(xyfont::Scaled(PlotFont, s));
    if (GridOn) screen ? d.DrawGrid() : d.DrawGridScaled();
    d.DrawXAxis();
    X2AchsenTextAn = SecondXAxisOn;
    // Screen and printer draw the top axis before the left one, the exports after it.
    if (order != Order::Export && SecondXAxisOn) d.DrawX2Axis();
    d.DrawY1Axis();
    if (order == Order::Export && SecondXAxisOn) d.DrawX2Axis();
    if (ZweiteYAchse) d.DrawY2Axis();
    if (screen) d.DrawAxisTitles();
    if (KurvenAnzahl() > 0) {
        for (int n = 1; n <= KurvenAnzahl(); ++n) d.DrawCurve(n);
        if (Legende) {
            if (screen) {
                // A legend dragged so far up that its last line ends above y = 15 goes back to its start.
                const int lh = static_cast<int>(std::trunc(1.2 * xyfont::HeightPx(LegendeFont)));
                if (legendTop_ + lh * KurvenAnzahl() < 15) legendTop_ = 70;
            }
            d.DrawLegend(screen);
        }
    }
    if (!screen) d.DrawAxisTitles();
}
