#include "app/plot/Xygraph.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

#include "app/plot/xy_fonts.h"
#include "app/plot/xy_render.h"
#include "app/plot/xy_ticks.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/errors.h"
#include "platform/fault_in.h"
#include "platform/list_memory.h"

namespace {

constexpr int kSymbolTableSize = 250;

// The constructor's symbol rule, also used for curves beyond the table.
std::pair<int, int> defaultSymbol(int n) {
    const int r = n % 3;
    return {2, r == 1 ? 1 : (r == 2 ? 2 : 3)};
}

// The labels stay as they are while an axis's automatic labels are off.
xyticks::TickSet withLabels(const TAxisTicks& from) {
    xyticks::TickSet t;
    for (std::size_t i = 0; i < t.Labels.size(); ++i) t.Labels[i] = from.Labels[i].toStdString();
    return t;
}

void copyTicks(const xyticks::TickSet& from, TAxisTicks& to) {
    to.Offsets = from.Offsets;
    for (std::size_t i = 0; i < from.Labels.size(); ++i) to.Labels[i] = QString::fromStdString(from.Labels[i]);
    to.Scale = from.Scale;
    to.DrawnMin = from.DrawnMin;
    to.DrawnMax = from.DrawnMax;
}

}  // namespace

TXYPlot::TXYPlot(QWidget* parent) : QWidget(parent) {
    PlotFont = font();
    LegendeFont = font();
    symbols_.resize(kSymbolTableSize);
    for (int n = 1; n <= kSymbolTableSize; ++n) symbols_[static_cast<std::size_t>(n - 1)] = defaultSymbol(n);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

TXYPlot::~TXYPlot() = default;

// ----------------------------------------------------------------------------------------------- curves

KurvenDaten& TXYPlot::curve(int n) {
    if (n < 1 || n > KurvenAnzahl()) throw vx::ListIndexError(n - 1);
    return curves_[static_cast<std::size_t>(n - 1)];
}

const KurvenDaten& TXYPlot::Curve(int n) const {
    if (n < 1 || n > KurvenAnzahl()) throw vx::ListIndexError(n - 1);
    return curves_[static_cast<std::size_t>(n - 1)];
}

void TXYPlot::SetKurvenAnzahl(int count) {
    overlayOnly_ = false;
    count = std::max(count, 0);
    const bool dropping = KurvenAnzahl() > count;
    while (KurvenAnzahl() > count) DeleteCurve(KurvenAnzahl());
    // Fewer curves: spectra were deleted (every command that deletes re-plots through here), and the
    // memory of their records and curves goes back to the system now, not at the next load.
    if (dropping) vxmem::GiveBackFreedMemory();
    curves_.reserve(static_cast<std::size_t>(count));
    while (KurvenAnzahl() < count) AddCurve();
}

void TXYPlot::AddCurve() {
    curves_.emplace_back();
    KurvenDaten& c = curves_.back();
    InitNewCurve(c, KurvenAnzahl());
    resetPoints(c);
}

void TXYPlot::resetPoints(KurvenDaten& c) {
    c.Points.assign(1, TPlotPoint{0.0, 1.0});  // keeps the room of earlier points for a refill
    c.HighestIndex = 0;
    c.XSpan = TFiniteSpan{0.0, 0.0};
    c.YSpan = TFiniteSpan{1.0, 1.0};
    c.SpansKnown = true;
}

void TXYPlot::InitNewCurve(KurvenDaten& c, int m) {
    c.LegendName.clear();
    c.XMin = c.XMax = c.YMin = c.YMax = 0.0;
    c.YAxis = 1;
    c.HighestIndex = 0;
    c.DashRun = 0.0;
    c.PenDown = 1;
    const std::optional<TCurveLooks> looks = Host.curveLooks ? Host.curveLooks(m) : std::nullopt;
    const bool restore = Host.curveAppearanceRestore && Host.curveAppearanceRestore();
    if (restore && looks) {
        c.Color = looks->Color;
        c.PenStyle = looks->LineStyle;
    } else {
        c.Color = CurveColor(m);
        c.PenStyle = 0;
    }
    c.Width = looks ? looks->LineWidth : 1;
}

void TXYPlot::DeleteCurve(int n) {
    curve(n);
    curves_.erase(curves_.begin() + (n - 1));
}

void TXYPlot::ResetCurve(int n) {
    overlayOnly_ = false;
    KurvenDaten& c = curve(n);
    resetPoints(c);
    c.MarkerIndices.clear();
    c.MarkerLabels.clear();
}

void TXYPlot::SetCurvePoint(int n, int kind, double value, int index) {
    overlayOnly_ = false;
    KurvenDaten& c = curve(n);
    if (index < 0) throw vx::ListIndexError(index);
    if (index > c.HighestIndex) {
        // Points written in order grow the list by one, without the general resize.
        if (static_cast<std::size_t>(index) == c.Points.size())
            c.Points.emplace_back();
        else
            c.Points.resize(static_cast<std::size_t>(index) + 1);
        c.HighestIndex = index;
    }
    TPlotPoint& p = c.Points[static_cast<std::size_t>(index)];
    c.SpansKnown = false;  // also after growing: the new points hold (0, 0)
    if (kind != 1 && kind != 2) return;
    if (kind == 1 ? GrowExtent(c.XMin, c.XMax, value) : GrowExtent(c.YMin, c.YMax, value)) Dirty = true;
    (kind == 1 ? p.x : p.y) = value;
}

void TXYPlot::reservePoints(KurvenDaten& c, int count) {
    TCurvePoints& points = c.Points;
    if (count < 1 || static_cast<std::size_t>(count) <= points.capacity()) return;
    vxmem::AdviseHeapHugePages();
    points.reserve(static_cast<std::size_t>(count));
    vxmem::AdviseHeapHugePages();
    // New room: present in one call rather than page by page as the points arrive. Below a few pages it
    // mostly lies in memory already in use, and the call would cost more than it saves.
    const std::size_t bytes = (points.capacity() - points.size()) * sizeof(TPlotPoint);
    if (bytes >= 2 * 4096) vxmem::FaultIn(points.data() + points.size(), bytes);
}

void TXYPlot::ReserveCurvePoints(int n, int count) { reservePoints(curve(n), count); }

void TXYPlot::SetCurveName(int n, const QString& name) {
    curve(n).LegendName = name;
    overlayOnly_ = false;
}
void TXYPlot::SetCurveColor(int n, uint32_t color) {
    curve(n).Color = color;
    overlayOnly_ = false;
}
uint32_t TXYPlot::GetCurveColor(int n) const { return Curve(n).Color; }

void TXYPlot::SetCurveStyle(int n, int style, int width) {
    KurvenDaten& c = curve(n);
    c.PenStyle = ((style >= 0 && style <= 4) || style == 6) ? static_cast<uint8_t>(style) : 0;
    c.Width = (width >= 1 && width <= 10) ? width : BaseLineWidth;
    overlayOnly_ = false;
}

uint8_t TXYPlot::GetCurveStyle(int n) const { return Curve(n).PenStyle; }

void TXYPlot::SetCurveAxis(int n, int axis) {
    KurvenDaten& c = curve(n);
    if (c.YAxis != axis) {
        c.YAxis = axis;
        Dirty = true;
    }
}

void TXYPlot::AddMarkers(int n, const std::vector<int>& indices, const QStringList& labels) {
    overlayOnly_ = false;
    KurvenDaten& c = curve(n);
    c.MarkerIndices.insert(c.MarkerIndices.end(), indices.begin(), indices.end());
    c.MarkerLabels.append(labels);
}

void TXYPlot::SetCurveSymbol(int n, int size, int shape) {
    if (n >= 1 && n <= kSymbolTableSize) symbols_[static_cast<std::size_t>(n - 1)] = {size, shape};
}

std::pair<int, int> TXYPlot::symbolOf(int n) const {
    if (n >= 1 && n <= kSymbolTableSize) return symbols_[static_cast<std::size_t>(n - 1)];
    return defaultSymbol(n);
}

const TAxisTicks& TXYPlot::Ticks(int axis) const { return ticks_.at(static_cast<std::size_t>(axis)); }

// ----------------------------------------------------------------------------------------------- layout

void TXYPlot::computeMargins(int& left, int& right, int& top, int& bottom) const {
    const int t = 3 * xyfont::SizePt(LegendeFont);
    left = std::max(0, RandLinks + (Y1AchsenTextAn ? t : 0));
    right = std::max(0, RandRechts + (Y2AchsenTextAn ? t : 0));
    top = std::max(0, RandOben + (X2AchsenTextAn ? t : 0));
    bottom = std::max(0, RandUnten + (XAchsenTextAn ? t : 0));
}

QRect TXYPlot::PlotArea() const {
    return QRect(QPoint(marginL_, marginT_), QPoint(width() - marginR_, height() - marginB_));
}

void TXYPlot::AutoScale() {
    if (curves_.empty()) return;
    TFiniteSpan x, y1, y2;
    const int clientH = height();
    const bool transmittance = DisplayUnits().DisplayYMode == SpecYTransmittance;
    for (KurvenDaten& c : curves_) {
        if (!c.SpansKnown) {
            // Points were written one by one since the curve was last filled: read them once.
            TFiniteSpan xs, ys;
            for (int j = 0; j <= c.HighestIndex; ++j) {
                const TPlotPoint& p = c.Points[static_cast<std::size_t>(j)];
                xs.Add(p.x);
                ys.Add(p.y);
            }
            c.XSpan = xs;
            c.YSpan = ys;
            c.SpansKnown = true;
        }
        const bool onY1 = c.YAxis == 1 || !ZweiteYAchse;
        x.Add(c.XSpan);
        (onY1 ? y1 : y2).Add(c.YSpan);
        if (x.Seen()) {
            MinXValue.setQuiet(x.Lo);
            MaxXValue.setQuiet(x.Hi);
        }
        if (y1.Seen() && !Y1AchseFix) {
            MinY1Value.setQuiet((y1.Lo > -0.01 && y1.Lo < 0.0) ? 1e-6 : y1.Lo - 0.05 * std::fabs(y1.Lo));
            MaxY1Value.setQuiet(y1.Hi + 0.05 * std::fabs(y1.Hi));
        }
        if (y2.Seen() && !Y2AchseFix) {
            MinY2Value.setQuiet(y2.Lo - 0.06 * std::fabs(y2.Lo));
            MaxY2Value.setQuiet(y2.Hi + 0.06 * std::fabs(y2.Hi));
        }
        // Room for the peak labels of the curve; a fixed axis is left as the user set it.
        if (!c.MarkerIndices.empty() && !c.MarkerLabels.isEmpty() && clientH > 0 && !Y1AchseFix) {
            const double w = xyfont::TextWidth(PlotFont, c.MarkerLabels.front()) + (transmittance ? 50 : 30);
            const double extra = w * (MaxY1Value - MinY1Value) / clientH;
            if (transmittance)
                MinY1Value.setQuiet(MinY1Value - extra);
            else
                MaxY1Value.setQuiet(MaxY1Value + extra);
        }
    }
}

void TXYPlot::layout() {
    // The top title follows the top axis before the margins are taken, so the scales fit the layout.
    X2AchsenTextAn = SecondXAxisOn;
    computeMargins(marginL_, marginR_, marginT_, marginB_);
    const double w = width();
    dotLen_ = w / 200.0;
    dashLen_ = w / 80.0;
    gapLen_ = w / 100.0;
    if (Autoscaling) AutoScale();
    if (KeepXRangeOnce) {
        MinXValue.setQuiet(XDrawnMin);
        MaxXValue.setQuiet(XDrawnMax);
    }
    auto sane = [](TDirtyValue<double>& lo, TDirtyValue<double>& hi) {
        if (!std::isfinite(lo.get()) || !std::isfinite(hi.get())) {
            lo.setQuiet(0.0);
            hi.setQuiet(1.0);
        }
        if (lo.get() == hi.get()) hi.setQuiet(lo + 1.0);
    };
    sane(MinXValue, MaxXValue);
    sane(MinX2Value, MaxX2Value);
    sane(MinY1Value, MaxY1Value);
    sane(MinY2Value, MaxY2Value);

    const QRect a = PlotArea();
    const int pw = std::max(a.right() - a.left(), 0);
    const int ph = std::max(a.bottom() - a.top(), 0);
    const SpecXUnit unit = DisplayUnits().DisplayXUnit;

    xyticks::TickSet t = withLabels(ticks_[0]);
    xyticks::AxisRequest rx{MinXValue, MaxXValue, pw, XAutoTics, XMajorTics, XAutoText, AlternateTickLabels};
    xyticks::CalcXTicks(rx, unit, Autoscaling, KeepXRangeOnce, t);
    copyTicks(t, ticks_[0]);
    MinXValue.setQuiet(t.DrawnMin);
    MaxXValue.setQuiet(t.DrawnMax);
    XDrawnMin = t.DrawnMin;
    XDrawnMax = t.DrawnMax;
    XMajorTics.setQuiet(t.Count);
    KeepXRangeOnce = false;

    if (SecondXAxisOn) {
        xyticks::TickSet t2 = withLabels(ticks_[1]);
        double lo = 0, hi = 0;
        xyticks::CalcX2Ticks(XDrawnMin, XDrawnMax, unit, pw, X2AutoText, t2, lo, hi);
        copyTicks(t2, ticks_[1]);
        MinX2Value.setQuiet(lo);
        MaxX2Value.setQuiet(hi);
        X2MajorTics.setQuiet(t2.Count);
    }

    xyticks::TickSet t3 = withLabels(ticks_[2]);
    xyticks::AxisRequest ry1{MinY1Value, MaxY1Value, ph, Y1AutoTics, Y1MajorTics, Y1AutoText, false};
    xyticks::CalcYTicks(ry1, xyticks::YAxis::Left, Y1AchseFix, t3);
    copyTicks(t3, ticks_[2]);
    MinY1Value.setQuiet(t3.DrawnMin);
    Y1MajorTics.setQuiet(t3.Count);

    if (ZweiteYAchse) {
        xyticks::TickSet t4 = withLabels(ticks_[3]);
        xyticks::AxisRequest ry2{MinY2Value, MaxY2Value, ph, Y2AutoTics, Y2MajorTics, Y2AutoText, false};
        xyticks::CalcYTicks(ry2, xyticks::YAxis::Right, Y2AchseFix, t4);
        copyTicks(t4, ticks_[3]);
        MinY2Value.setQuiet(t4.DrawnMin);
        Y2MajorTics.setQuiet(t4.Count);
    }
    layoutDone_ = true;
    Dirty = false;
}

void TXYPlot::UpdateLayout() {
    int l, r, t, b;
    const bool x2 = X2AchsenTextAn;
    X2AchsenTextAn = SecondXAxisOn;
    computeMargins(l, r, t, b);
    X2AchsenTextAn = x2;
    if (l != marginL_ || r != marginR_ || t != marginT_ || b != marginB_) Dirty = true;
    if (Dirty || !layoutDone_) layout();
}

// --------------------------------------------------------------------------------------------- painting

uint32_t TXYPlot::BackgroundColor() const {
    return Host.windowColor ? (Host.windowColor() & 0xFFFFFF) : 0xFFFFFFu;
}

void TXYPlot::Render(QPainter& painter, double s, bool printerOrder) {
    renderWith(painter, s, printerOrder ? Order::Printer : Order::Export, dotLen_, dashLen_, gapLen_,
               painter.device() && painter.device()->devType() == QInternal::Image);
}

void TXYPlot::renderScreen(QImage& target) {
    if (target.size() != size() || target.isNull())
        target = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    QPainter p(&target);
    renderWith(p, 1.0, Order::Screen, dotLen_, dashLen_, gapLen_, true);
}

QImage TXYPlot::RenderToImage() {
    UpdateLayout();
    QImage img;
    renderScreen(img);
    return img;
}

void TXYPlot::Repaint() {
    overlayOnly_ = false;
    painted_ = false;
    repaint();
    if (!painted_) {
        // Not on screen (hidden, minimised): the layout and the picture are still brought up to date.
        fixSpectrumCount();
        UpdateLayout();
        renderScreen(screenCache_);
    }
}

void TXYPlot::fixSpectrumCount() {
    if (Host.statusText && Host.setStatusText && Host.statusText(0) == QLatin1String("1 Spectra"))
        Host.setStatusText(0, QStringLiteral("1 Spectrum"));
}

void TXYPlot::paintEvent(QPaintEvent*) { Paint(); }

void TXYPlot::Paint() {
    fixSpectrumCount();
    if (!overlayOnly_ || Dirty || screenCache_.size() != size()) {
        UpdateLayout();
        renderScreen(screenCache_);
    }
    overlayOnly_ = false;
    painted_ = true;
    QPainter p(this);
    p.drawImage(0, 0, screenCache_);
    if (bandShown_) {
        // The rubber band (or the dragged legend frame) is drawn over the picture, never into it.
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        if (legendDrag_)
            p.drawRect(legendFrame_.translated(lastCorner_ - dragStart_));
        else
            p.drawRect(QRect(dragStart_, lastCorner_).normalized());
    }
    if (!postPaintQueued_ && (Host.spectroscopeViewShown || Host.peakLabelsShown)) {
        postPaintQueued_ = true;
        QMetaObject::invokeMethod(this, [this] { postPaint(); }, Qt::QueuedConnection);
    }
}

void TXYPlot::postPaint() {
    postPaintQueued_ = false;
    if (Host.spectroscopeViewShown && Host.spectroscopeViewShown() && Host.redrawSpectroscopeImage)
        Host.redrawSpectroscopeImage();
    if (Host.peakLabelsShown && Host.peakLabelsShown() && Host.syncPeakLabelBar) Host.syncPeakLabelBar();
}

void TXYPlot::resizeEvent(QResizeEvent* event) {
    Dirty = true;
    overlayOnly_ = false;
    QWidget::resizeEvent(event);
}

void TXYPlot::SetCurveWidth(int n, int width) {
    KurvenDaten& c = curve(n);
    if (c.Width >= 4) return;
    c.Width = width == -1 ? BaseLineWidth : width;
    if (screenCache_.isNull() || screenCache_.size() != size() || !layoutDone_) return;
    // Drawn over the picture at once, without clearing it.
    QPainter p(&screenCache_);
    TXYPlotPainter painter(*this, p, 1.0, dotLen_, dashLen_, gapLen_, true);
    painter.DrawCurve(n);
    p.end();
    overlayOnly_ = true;
    update();
}
