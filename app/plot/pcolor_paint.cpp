// The colour map's one paint routine (screen picture, bitmap, clipboard) and the mouse overlay that
// only the screen shows.
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "app/plot/Pcolor.h"
#include "app/plot/pcolor/pcolor_ticks.h"

namespace {

QColor ToQColor(uint32_t c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QString Text(double v, double step) { return QString::fromStdString(TickText(v, step)); }

double StepOf(const std::vector<double>& ticks) { return ticks.size() > 1 ? ticks[1] - ticks[0] : 0.0; }

int WidestLabel(const QFontMetrics& fm, const std::vector<double>& ticks) {
    int w = 0;
    const double step = StepOf(ticks);
    for (double v : ticks) w = std::max(w, fm.horizontalAdvance(Text(v, step)));
    return w;
}

constexpr int kTick = 4;  // tick mark length
constexpr int kGap = 2;   // between tick mark and label

}  // namespace

// Label counts so that labels do not crowd: rows three text lines apart, columns two lines wider than
// the widest label.
static int RowCount(int pixels, int lineHeight) { return std::max(2, pixels / std::max(3 * lineHeight, 1)); }

void TPColor::AxisRoom(int& left, int& bottom, int& barRoom) {
    left = bottom = barRoom = 0;
    if (!Axes.Visible()) return;
    const QFontMetrics fm(Axes.Font());
    const int lh = fm.height();
    const auto yt = AxisTicks(window_.Bottom, window_.Top, RowCount(height(), lh));
    left = WidestLabel(fm, yt) + kTick + 2 * kGap + (Axes.YTitle().isEmpty() ? 0 : lh + 2);
    bottom = lh + kTick + kGap + (Axes.XTitle().isEmpty() ? 0 : lh + 1);
    if (!drawColorBar_ || !model_.HasData()) return;
    double mx = 0, mn = 0;
    model_.ImageRange(mx, mn);
    if (barKind_ == sbVertical)
        barRoom = WidestLabel(fm, AxisTicks(mn, mx, RowCount(height(), lh))) + kTick + 2 * kGap;
    else
        barRoom = lh + kTick + kGap;
}

void TPColor::DrawImage(QPainter& p) {
    const TPixelRect& im = Coordinates.Image();
    if (!model_.HasData()) {
        p.fillRect(QRect(im.Left, im.Top, im.Width, im.Height), ToQColor(table_[kIndexBackground]));
        return;
    }
    dib_.Draw(p, im.Left, im.Top);
    if (!drawFacet_ || im.Empty()) return;
    TRenderInput in;
    in.Nx = model_.Nx();
    in.Ny = model_.Ny();
    in.Axes = model_.Axes();
    in.Window = window_;
    p.setPen(QPen(ToQColor(colorFacet_), 1, Qt::SolidLine));
    for (int x : FacetColumns(in, im)) p.drawLine(x, im.Top, x, im.Top + im.Height - 1);
    for (int y : FacetRows(in, im)) p.drawLine(im.Left, y, im.Left + im.Width - 1, y);
}

void TPColor::DrawColorBarCells(QPainter& p) {
    const TPixelRect& bar = Coordinates.ColorBar();
    const bool vertical = barKind_ == sbVertical;
    for (const TBarCell& c : ColorBarCells(numbCol_, bar, vertical)) {
        const QRect r = vertical ? QRect(bar.Left, c.From, bar.Width, c.To - c.From)
                                 : QRect(c.From, bar.Top, c.To - c.From, bar.Height);
        p.fillRect(r, ToQColor(table_[c.Index]));
    }
}

void TPColor::DrawAxes(QPainter& p) {
    const TPixelRect& im = Coordinates.Image();
    if (im.Empty()) return;
    p.setFont(Axes.Font());
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    const QFontMetrics fm(Axes.Font());
    const int lh = fm.height();
    p.drawRect(QRect(im.Left - 1, im.Top - 1, im.Width + 1, im.Height + 1));

    // Bottom: x ticks, labels centred below them, the title under the labels.
    const int endW = std::max(fm.horizontalAdvance(Text(window_.Left, 0)), fm.horizontalAdvance(Text(window_.Right, 0)));
    const auto xt = AxisTicks(window_.Left, window_.Right, std::max(2, im.Width / std::max(endW + 2 * lh, 1)));
    const double xs = StepOf(xt);
    const int y0 = im.Bottom();
    for (double v : xt) {
        const int x = XPixel(v, im, window_);
        p.drawLine(x, y0, x, y0 + kTick - 1);
        const QString t = Text(v, xs);
        p.drawText(QRect(x - 200, y0 + kTick + kGap - 2, 400, lh), Qt::AlignHCenter | Qt::AlignTop, t);
    }
    if (!Axes.XTitle().isEmpty())
        p.drawText(QRect(im.Left, y0 + kTick + kGap + lh - 1, im.Width, lh + 2), Qt::AlignHCenter | Qt::AlignTop,
                   Axes.XTitle());

    // Left: y ticks with labels ending beside them, the title turned up the left edge.
    const auto yt = AxisTicks(window_.Bottom, window_.Top, RowCount(height(), lh));
    const double ys = StepOf(yt);
    for (double v : yt) {
        const int y = YPixel(v, im, window_);
        p.drawLine(im.Left - kTick - 1, y, im.Left - 2, y);
        p.drawText(QRect(0, y - lh / 2, im.Left - kTick - kGap - 1, lh), Qt::AlignRight | Qt::AlignVCenter, Text(v, ys));
    }
    if (!Axes.YTitle().isEmpty()) {
        p.save();
        p.translate(3, im.Top + im.Height / 2.0);
        p.rotate(-90);
        p.drawText(QRect(-im.Height / 2, 0, im.Height, lh + 2), Qt::AlignHCenter | Qt::AlignTop, Axes.YTitle());
        p.restore();
    }

    // The colour bar's value labels.
    if (!barShown_ || !model_.HasData()) return;
    const TPixelRect& bar = Coordinates.ColorBar();
    const bool vertical = barKind_ == sbVertical;
    double mx = 0, mn = 0;
    model_.ImageRange(mx, mn);
    p.drawRect(QRect(bar.Left - 1, bar.Top - 1, bar.Width + 1, bar.Height + 1));
    const auto bt = AxisTicks(mn, mx, vertical ? RowCount(bar.Height, lh) : std::max(2, bar.Width / std::max(endW + 2 * lh, 1)));
    const double bs = StepOf(bt);
    for (double v : bt) {
        const int at = BarPixel(v, mx, mn, numbCol_, bar, vertical);
        if (vertical) {
            const int x = bar.Left + bar.Width;
            p.drawLine(x, at, x + kTick - 1, at);
            p.drawText(QRect(x + kTick + kGap, at - lh / 2, width() - x, lh), Qt::AlignLeft | Qt::AlignVCenter, Text(v, bs));
        } else {
            const int y = bar.Top + bar.Height;
            p.drawLine(at, y, at, y + kTick - 1);
            p.drawText(QRect(at - 200, y + kTick + kGap - 2, 400, lh), Qt::AlignHCenter | Qt::AlignTop, Text(v, bs));
        }
    }
}

void TPColor::DrawTitle(QPainter& p) {
    const TPixelRect& t = Coordinates.Title();
    p.setFont(Title.Font());
    p.setPen(Qt::black);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QRect(t.Left, t.Top, t.Width, t.Height),
               static_cast<int>(Title.Alignment()) | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs, Title.Text());
}

void TPColor::Render(QPainter& p) {
    Prepare();
    p.save();
    p.fillRect(QRect(0, 0, width(), height()), ToQColor(colorFon_));
    DrawImage(p);
    if (Axes.Visible()) DrawAxes(p);
    if (barShown_) DrawColorBarCells(p);
    if (titleShown_) DrawTitle(p);
    p.restore();
}

void TPColor::PaintOverlay(QPainter& p) {
    // Inverting the pixels (black in not-xor mode) keeps marker and drag rectangle visible on any colour.
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setBrush(Qt::NoBrush);
    TPixelRect r;
    if (mouseOn_ && barShown_ && MarkerRect(markIndex_, numbCol_, Coordinates.ColorBar(), barKind_ == sbVertical, r)) {
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        p.drawRect(QRect(r.Left, r.Top, r.Width - 1, r.Height - 1));
    }
    if (dragging_ && dragStart_ != dragEnd_) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(QRect(dragStart_, dragEnd_).normalized());
    }
    p.restore();
}

void TPColor::paintEvent(QPaintEvent*) {
    Prepare();
    if (pictureDirty_ || picture_.size() != size()) {
        picture_ = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
        QPainter pp(&picture_);
        Render(pp);
        pictureDirty_ = false;
    }
    QPainter p(this);
    p.drawImage(0, 0, picture_);
    PaintOverlay(p);
    p.end();
    if (OnPaint) OnPaint();
}

QImage TPColor::RenderToImage() {
    QImage img(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    QPainter p(&img);
    Render(p);
    return img;
}

QImage TPColor::ScreenImage() {
    Prepare();
    if (pictureDirty_ || picture_.size() != size()) {
        picture_ = RenderToImage();
        pictureDirty_ = false;
    }
    QImage img = picture_.copy();
    QPainter p(&img);
    PaintOverlay(p);
    return img;
}

void TPColor::CopyToClipboard() { QGuiApplication::clipboard()->setImage(RenderToImage()); }
