#include "app/plot/Xygraph.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

#include "core/spectra_list.h"
#include "platform/errors.h"

namespace {

constexpr int kSymbolTableSize = 250;

std::pair<int, int> defaultSymbol(int n) {
    const int r = n % 3;
    return {2, r == 1 ? 1 : (r == 2 ? 2 : 3)};
}

}  // namespace

TXYPlot::TXYPlot(QWidget* parent) : QWidget(parent) {
    PlotFont = font();
    LegendeFont = font();
    symbols_.resize(kSymbolTableSize);
    for (int n = 1; n <= kSymbolTableSize; ++n) symbols_[n - 1] = defaultSymbol(n);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

TXYPlot::~TXYPlot() = default;

KurvenDaten& TXYPlot::curve(int n) {
    if (n < 1 || n > KurvenAnzahl()) throw vx::ListIndexError(n - 1);
    return curves_[static_cast<std::size_t>(n - 1)];
}

const KurvenDaten& TXYPlot::Curve(int n) const {
    if (n < 1 || n > KurvenAnzahl()) throw vx::ListIndexError(n - 1);
    return curves_[static_cast<std::size_t>(n - 1)];
}

void TXYPlot::SetKurvenAnzahl(int count) {
    count = std::max(count, 0);
    while (KurvenAnzahl() > count) DeleteCurve(KurvenAnzahl());
    while (KurvenAnzahl() < count) AddCurve();
}

void TXYPlot::AddCurve() {
    curves_.emplace_back();
    KurvenDaten& c = curves_.back();
    initNewCurve(c, KurvenAnzahl());
    c.Points.assign(1, TPlotPoint{0.0, 1.0});
    c.HighestIndex = 0;
}

void TXYPlot::initNewCurve(KurvenDaten& c, int m) {
    c.LegendName.clear();
    c.XMin = c.XMax = c.YMin = c.YMax = 0.0;
    c.YAxis = 1;
    c.HighestIndex = 0;
    c.DashRun = 0.0;
    c.PenDown = 1;
    const TSpectrumRecord* rec = SpectraList.Get(m - 1);
    const bool restore = Host.curveAppearanceRestore && Host.curveAppearanceRestore();
    if (restore && rec) {
        c.Color = rec->Color;
        c.PenStyle = rec->LineStyle;
    } else {
        c.Color = CurveColor(m);
        c.PenStyle = 0;
    }
    c.Width = rec ? rec->LineWidth : 1;
}

void TXYPlot::DeleteCurve(int n) {
    curve(n);
    curves_.erase(curves_.begin() + (n - 1));
}

void TXYPlot::ResetCurve(int n) {
    KurvenDaten& c = curve(n);
    c.Points.assign(1, TPlotPoint{0.0, 1.0});
    c.HighestIndex = 0;
    c.MarkerIndices.clear();
    c.MarkerLabels.clear();
}

void TXYPlot::SetCurvePoint(int n, int kind, double value, int index) {
    KurvenDaten& c = curve(n);
    if (index < 0) throw vx::ListIndexError(index);
    if (index > c.HighestIndex) {
        c.Points.resize(static_cast<std::size_t>(index) + 1);
        c.HighestIndex = index;
    }
    TPlotPoint& p = c.Points[static_cast<std::size_t>(index)];
    if (kind == 1) {
        if (value > c.XMax) { c.XMax = value; Dirty = true; }
        if (!(value >= c.XMin)) { c.XMin = value; Dirty = true; }
        p.x = value;
    } else if (kind == 2) {
        if (value > c.YMax) { c.YMax = value; Dirty = true; }
        if (!(value >= c.YMin)) { c.YMin = value; Dirty = true; }
        p.y = value;
    }
}

void TXYPlot::ReserveCurvePoints(int n, int count) {
    if (count > 0) curve(n).Points.reserve(static_cast<std::size_t>(count));
}

void TXYPlot::SetCurveName(int n, const QString& name) { curve(n).LegendName = name; }
void TXYPlot::SetCurveColor(int n, uint32_t color) { curve(n).Color = color; }
uint32_t TXYPlot::GetCurveColor(int n) const { return Curve(n).Color; }

void TXYPlot::SetCurveStyle(int n, int style, int width) {
    KurvenDaten& c = curve(n);
    c.PenStyle = (style >= 0 && style <= 4) || style == 6 ? static_cast<uint8_t>(style) : 0;
    c.Width = (width >= 1 && width <= 10) ? width : BaseLineWidth;
}

uint8_t TXYPlot::GetCurveStyle(int n) const { return Curve(n).PenStyle; }

void TXYPlot::SetCurveAxis(int n, int axis) {
    KurvenDaten& c = curve(n);
    if (c.YAxis != axis) {
        c.YAxis = axis;
        Dirty = true;
    }
}

void TXYPlot::SetCurveWidth(int n, int width) {
    KurvenDaten& c = curve(n);
    if (c.Width >= 4) return;
    c.Width = width == -1 ? BaseLineWidth : width;
    update();
}

void TXYPlot::AddMarkers(int n, const std::vector<int>& indices, const QStringList& labels) {
    KurvenDaten& c = curve(n);
    c.MarkerIndices.insert(c.MarkerIndices.end(), indices.begin(), indices.end());
    c.MarkerLabels.append(labels);
}

void TXYPlot::SetCurveSymbol(int n, int size, int shape) {
    if (n >= 1 && n <= kSymbolTableSize) symbols_[static_cast<std::size_t>(n - 1)] = {size, shape};
}

const TAxisTicks& TXYPlot::Ticks(int axis) const { return ticks_.at(static_cast<std::size_t>(axis)); }

void TXYPlot::computeMargins(int& left, int& right, int& top, int& bottom) const {
    const int t = 3 * std::max(LegendeFont.pointSize(), 0);
    left = std::max(0, RandLinks + (Y1AchsenTextAn ? t : 0));
    right = std::max(0, RandRechts + (Y2AchsenTextAn ? t : 0));
    top = std::max(0, RandOben + (X2AchsenTextAn ? t : 0));
    bottom = std::max(0, RandUnten + (XAchsenTextAn ? t : 0));
}

QRect TXYPlot::PlotArea() const {
    return QRect(QPoint(marginL_, marginT_), QPoint(width() - marginR_, height() - marginB_));
}

void TXYPlot::autoScale() {
    if (curves_.empty()) return;
    double xmin = curves_[0].Points[0].x, xmax = xmin;
    bool y1Seen = false;
    double y1min = 0, y1max = 0;
    for (const KurvenDaten& c : curves_) {
        for (int j = 0; j <= c.HighestIndex; ++j) {
            const TPlotPoint& p = c.Points[static_cast<std::size_t>(j)];
            xmin = std::min(xmin, p.x);
            xmax = std::max(xmax, p.x);
            if (!y1Seen) { y1min = y1max = p.y; y1Seen = true; }
            y1min = std::min(y1min, p.y);
            y1max = std::max(y1max, p.y);
        }
    }
    MinXValue.setQuiet(xmin);
    MaxXValue.setQuiet(xmax);
    if (y1Seen && !Y1AchseFix) {
        MinY1Value.setQuiet(y1min - 0.05 * std::fabs(y1min));
        MaxY1Value.setQuiet(y1max + 0.05 * std::fabs(y1max));
    }
}

void TXYPlot::layout() {
    computeMargins(marginL_, marginR_, marginT_, marginB_);
    if (Autoscaling) autoScale();
    if (MinXValue.get() == MaxXValue.get()) MaxXValue.setQuiet(MinXValue + 1.0);
    if (MinY1Value.get() == MaxY1Value.get()) MaxY1Value.setQuiet(MinY1Value + 1.0);
    const QRect a = PlotArea();
    ticks_[0].Scale = a.width() / (MaxXValue - MinXValue);
    ticks_[0].DrawnMin = MinXValue;
    ticks_[0].DrawnMax = MaxXValue;
    XDrawnMin = MinXValue;
    XDrawnMax = MaxXValue;
    ticks_[2].Scale = a.height() / (MaxY1Value - MinY1Value);
    ticks_[2].DrawnMin = MinY1Value;
    ticks_[2].DrawnMax = MaxY1Value;
    layoutDone_ = true;
    Dirty = false;
}

void TXYPlot::UpdateLayout() {
    if (Dirty || !layoutDone_) layout();
}

void TXYPlot::Render(QPainter& painter, double s, bool /*printerOrder*/) {
    const QRect a = PlotArea();
    auto sc = [s](double v) { return static_cast<int>(std::nearbyint(v * s)); };
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(QRect(QPoint(sc(a.left()), sc(a.top())), QPoint(sc(a.right()), sc(a.bottom()))));
    painter.save();
    painter.setClipRect(QRect(QPoint(sc(a.left()), sc(a.top())), QPoint(sc(a.right()), sc(a.bottom()))));
    for (const KurvenDaten& c : curves_) {
        const uint32_t col = c.Color;
        painter.setPen(QPen(QColor(col & 0xFF, (col >> 8) & 0xFF, (col >> 16) & 0xFF), c.Width));
        std::vector<QPointF> pts;
        pts.reserve(c.Points.size());
        for (const TPlotPoint& p : c.Points) {
            pts.emplace_back(s * (a.left() + (p.x - MinXValue) * ticks_[0].Scale),
                             s * (a.bottom() - (p.y - MinY1Value) * ticks_[2].Scale));
        }
        painter.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    }
    painter.restore();
}

QImage TXYPlot::RenderToImage() {
    UpdateLayout();
    QImage img(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    Render(p, 1.0);
    return img;
}

void TXYPlot::Repaint() { repaint(); }

void TXYPlot::paintEvent(QPaintEvent*) {
    if (Host.statusText && Host.setStatusText && Host.statusText(0) == QLatin1String("1 Spectra"))
        Host.setStatusText(0, QStringLiteral("1 Spectrum"));
    UpdateLayout();
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    Render(p, 1.0);
}

void TXYPlot::resizeEvent(QResizeEvent* event) {
    Dirty = true;
    QWidget::resizeEvent(event);
}

void TXYPlot::mousePressEvent(QMouseEvent* event) { QWidget::mousePressEvent(event); }
void TXYPlot::mouseMoveEvent(QMouseEvent* event) { QWidget::mouseMoveEvent(event); }
void TXYPlot::mouseReleaseEvent(QMouseEvent* event) { QWidget::mouseReleaseEvent(event); }

void TXYPlot::SaveMetafile(bool) {}
void TXYPlot::SaveGif(const QString&) {}
void TXYPlot::SaveTiff(const QString&) {}
void TXYPlot::SavePng(const QString& fileName) { RenderToImage().save(fileName, "PNG"); }
void TXYPlot::SaveBmp(const QString&) {}
void TXYPlot::PrintPlot() {}
