#include "app/plot/pcolor/pcolor_zoom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

double Factor(double f) {
    f = std::fabs(f);
    if (!(f >= 1.0)) return 1.0;  // also NaN
    return std::min(f, kMaxZoom);
}

// Keeps the half window [c - h, c + h] inside [lo, hi].
double KeepInside(double c, double h, double lo, double hi) {
    if (lo > c - h) c = lo + h;
    if (hi < c + h) c = hi - h;
    return c;
}

}  // namespace

TPColorWindow FullWindow(const TAxesExtent& a) {
    TPColorWindow w;
    w.Left = a.XMin;
    w.Right = a.XMax;
    w.Bottom = a.YMin;
    w.Top = a.YMax;
    w.CentreX = (a.XMin + a.XMax) / 2;
    w.CentreY = (a.YMin + a.YMax) / 2;
    w.ZoomX = w.ZoomY = 1.0;
    return w;
}

bool SetZoom(TPColorWindow& w, const TAxesExtent& a, double cx, double cy, double fx, double fy) {
    fx = Factor(fx);
    fy = Factor(fy);
    const double hx = (a.XMax - a.XMin) / (2 * fx);
    const double hy = (a.YMax - a.YMin) / (2 * fy);
    if (!std::isfinite(cx)) cx = (a.XMin + a.XMax) / 2;
    if (!std::isfinite(cy)) cy = (a.YMin + a.YMax) / 2;
    cx = KeepInside(cx, hx, a.XMin, a.XMax);
    cy = KeepInside(cy, hy, a.YMin, a.YMax);
    const double left = cx - hx, right = cx + hx, top = cy + hy, bottom = cy - hy;
    if (fx == w.ZoomX && fy == w.ZoomY && left == w.Left && right == w.Right && top == w.Top && bottom == w.Bottom)
        return false;
    w.ZoomX = fx;
    w.ZoomY = fy;
    w.CentreX = cx;
    w.CentreY = cy;
    w.Left = left;
    w.Right = right;
    w.Top = top;
    w.Bottom = bottom;
    return true;
}

bool ZoomRect(TPColorWindow& w, const TAxesExtent& a, double x1, double y1, double x2, double y2) {
    x1 = ClampInto(x1, a.XMin, a.XMax);
    x2 = ClampInto(x2, a.XMin, a.XMax);
    y1 = ClampInto(y1, a.YMin, a.YMax);
    y2 = ClampInto(y2, a.YMin, a.YMax);
    const double fx = x2 == x1 ? kMaxZoom : (a.XMax - a.XMin) / (x2 - x1);
    const double fy = y2 == y1 ? kMaxZoom : (a.YMax - a.YMin) / (y2 - y1);
    return SetZoom(w, a, (x1 + x2) / 2, (y1 + y2) / 2, fx, fy);
}

TDataPoint PixelToData(int x, int y, const TPixelRect& im, const TPColorWindow& w, const TAxesExtent& a) {
    TDataPoint p;
    const int right = im.Left + im.Width - 1, bottom = im.Top + im.Height - 1;
    p.Inside = x >= im.Left && x <= right && y >= im.Top && y <= bottom;
    x = std::max(im.Left, std::min(x, right));
    y = std::max(im.Top, std::min(y, bottom));
    p.X = im.Width == 1 ? a.XMin : w.Left + (w.Right - w.Left) * (x - im.Left) / (im.Width - 1);
    p.Y = im.Height == 1 ? a.YMin : w.Top - (w.Top - w.Bottom) * (y - im.Top) / (im.Height - 1);
    return p;
}

TZoomGesture ClassifyRelease(const TMouseRelease& m) {
    if ((m.Button == TMouseButton::Left && m.RightHeld) || (m.Button == TMouseButton::Right && m.LeftHeld))
        return TZoomGesture::Reset;
    const bool keys = m.Shift || m.Alt || m.Ctrl;
    const bool click =
        (std::abs(m.StartX - m.EndX) <= m.HalfClickW && std::abs(m.StartY - m.EndY) <= m.HalfClickH) || keys;
    if (!click) return TZoomGesture::Rect;
    if (!m.ReleaseInside) return TZoomGesture::None;
    if (m.Shift && m.Button == TMouseButton::Left) return TZoomGesture::Centre;
    if (keys) return TZoomGesture::None;
    if (m.Button == TMouseButton::Left) return TZoomGesture::In;
    if (m.Button == TMouseButton::Right) return TZoomGesture::Out;
    return TZoomGesture::None;
}
