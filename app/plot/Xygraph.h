#pragma once
// TXYPlot: the XY plot of the main window. It keeps its own copy of every curve's points, fits its axes
// to the data, draws axes, ticks, titles, grid, curves (lines with dash patterns or point symbols), peak
// markers and a legend, zooms by mouse drag, stores dragged x ranges for commands, and renders itself
// into images, a metafile and onto the printer with one paint routine.
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/display_state.h"

class QPainter;
class QPrinter;

// A property whose change marks the plot's layout (scales and ticks) for recomputation at the next paint.
template <typename T>
class TDirtyValue {
public:
    TDirtyValue(bool& dirty, T value) : dirty_(&dirty), value_(value) {}
    TDirtyValue(const TDirtyValue&) = delete;
    TDirtyValue& operator=(T value) {
        if (!(value == value_)) {
            value_ = value;
            *dirty_ = true;
        }
        return *this;
    }
    TDirtyValue& operator=(const TDirtyValue& other) { return *this = other.value_; }
    operator T() const { return value_; }
    T get() const { return value_; }
    // The plot's own writes (tick rounding) that must not mark the layout again.
    void setQuiet(T value) { value_ = value; }

private:
    bool* dirty_;
    T value_;
};

// A tick-label switch: writing True switches it on, writing False leaves it as it is.
class TSwitchOnOnly {
public:
    explicit TSwitchOnOnly(bool value) : value_(value) {}
    TSwitchOnOnly(const TSwitchOnOnly&) = delete;
    TSwitchOnOnly& operator=(bool value) {
        if (value) value_ = true;
        return *this;
    }
    TSwitchOnOnly& operator=(const TSwitchOnOnly& other) { return *this = other.value_; }
    operator bool() const { return value_; }
    void force(bool value) { value_ = value; }

private:
    bool value_;
};

struct TPlotPoint {
    double x = 0.0;
    double y = 0.0;
};
using TCurvePoints = std::vector<TPlotPoint>;

// The extent of the finite values of a curve as the automatic scaling takes it: the first finite value
// starts it, each later one widens it (an equal value leaves it, so of 0 and -0 the first stays).
struct TFiniteSpan {
    double Lo = HUGE_VAL, Hi = -HUGE_VAL;  // no value yet
    bool Seen() const { return Lo <= Hi; }
    void Add(double v) {
        if (!std::isfinite(v)) return;  // a non-finite value would poison the whole range
        Lo = v < Lo ? v : Lo;
        Hi = v > Hi ? v : Hi;
    }
    // The values of a later span, with the same result as adding them one by one.
    void Add(const TFiniteSpan& later) {
        if (!later.Seen()) return;
        Add(later.Lo);
        Add(later.Hi);
    }
};

// A value written into a curve widens its running extent: above the maximum, or not at or above the
// minimum (so a NaN becomes the minimum). True when the extent changed.
inline bool GrowExtent(double& lo, double& hi, double value) {
    bool grew = false;
    if (value > hi) {
        hi = value;
        grew = true;
    }
    if (!(value >= lo)) {
        lo = value;
        grew = true;
    }
    return grew;
}

// One curve of the plot. Colours are 0x00BBGGRR as in the spectrum record.
struct KurvenDaten {
    QString LegendName;
    TCurvePoints Points;  // never empty: index 0 .. HighestIndex
    double XMin = 0.0, XMax = 0.0;   // running extents of the values written by SetCurvePoint
    double YMin = 0.0, YMax = 0.0;
    int YAxis = 1;                   // 1 left axis, else the right axis (while ZweiteYAchse)
    int HighestIndex = 0;
    uint32_t Color = 0;
    double DashRun = 0.0;            // pixels drawn or skipped in the current dash or gap
    uint8_t PenDown = 1;             // 1 in a dash, 0 in a gap
    uint8_t DashPhase = 0;           // position in the dash-dot patterns (styles 3 and 4)
    uint8_t PenStyle = 0;            // 0 solid, 1 dashed, 2 dotted, 3 dash-dot, 4 dash-dot-dot, 6 solid
    int Width = 1;
    std::vector<int> MarkerIndices;  // ascending point indices that carry a peak marker
    QStringList MarkerLabels;
    // The finite x and y extents of all points, kept by the plot for its automatic scaling while
    // SpansKnown: taken as a curve is filled, so the scaling need not read every point again.
    bool SpansKnown = false;
    TFiniteSpan XSpan, YSpan;
};

// The rectangle of the last finished range selection: pixels and data values.
struct TSelectedRange {
    QRect Pixels;  // left = start x, top = end y, right = end x, bottom = start y
    double XFrom = 0.0, XTo = 0.0;
    double Y1Low = 0.0, Y1High = 0.0;
    double Y2Low = 0.0, Y2High = 0.0;
};

struct TCursorDataPosition {
    double X = 0.0;
    double Y1 = 0.0;
    double Y2 = 0.0;  // 0 while ZweiteYAchse is off
};

// The looks of the spectrum a curve shows, which a new curve takes.
struct TCurveLooks {
    uint32_t Color = 0;     // 0x00BBGGRR
    uint8_t LineStyle = 0;  // 0 solid, 1 dashed, 2 dotted
    int LineWidth = 1;
};

// What the plot needs of its host window. Every member may be left empty; the plot then does without.
struct TXYPlotHost {
    // The units the curves are shown in (the bottom axis's ticks, the side the peak labels stand on,
    // the position read-out); nm and absorbance when empty.
    std::function<TDisplayState()> displayUnits;
    // The looks of the spectrum that curve n (1-based) shows, nothing when there is none. A new curve
    // takes its width, and its colour and pen style while curveAppearanceRestore says so.
    std::function<std::optional<TCurveLooks>(int n)> curveLooks;
    std::function<QString(int panel)> statusText;              // status bar panel text
    std::function<void(int panel, const QString&)> setStatusText;
    std::function<int()> peakLabelAngle;                       // degrees, 90 when empty
    std::function<bool()> curveAppearanceRestore;              // new curves take the records' looks
    std::function<uint32_t()> windowColor;                     // 0x00BBGGRR; silver gives a gray grid
    std::function<bool()> spectroscopeViewShown;
    std::function<void()> redrawSpectroscopeImage;
    std::function<bool()> peakLabelsShown;
    std::function<void()> syncPeakLabelBar;
    std::function<bool()> printerInstalled;                    // a printer is there (empty: the system's list)
    std::function<bool()> printerBusy;                          // the printer still prints
    std::function<void(int ms)> delay;                         // wait keeping the message loop alive
};

// Tick state of one axis as the last layout left it.
struct TAxisTicks {
    static constexpr int kMaxTicks = 51;
    std::array<int, kMaxTicks> Offsets{};  // pixels from the axis origin
    std::array<QString, kMaxTicks> Labels;  // at most 15 characters each
    double Scale = 0.0;                     // pixels per data unit
    double DrawnMin = 0.0, DrawnMax = 0.0;
};

class TXYPlot : public QWidget {
    Q_OBJECT
public:
    explicit TXYPlot(QWidget* parent = nullptr);
    ~TXYPlot() override;

    TXYPlotHost Host;
    // The host's display units (nm and absorbance without a host).
    TDisplayState DisplayUnits() const { return Host.displayUnits ? Host.displayUnits() : TDisplayState{}; }

    // ----- flags
    bool Dirty = false;          // layout, scales and ticks are recomputed at the next paint
    bool Legende = false;
    bool Autoscaling = true;
    bool ZweiteYAchse = true;
    bool DrawAsLines = false;
    bool GridOn = false;
    bool SecondXAxisOn = false;
    bool AlternateTickLabels = false;
    bool ZoomOnDrag = true;
    bool SelectionDone = false;
    bool KeepXRangeOnce = false;
    bool Y1AchseFix = false;
    bool Y2AchseFix = false;

    // ----- margins without the titles; each visible title adds 3 x LegendeFont size on its side
    int RandLinks = 60, RandRechts = 60, RandOben = 20, RandUnten = 30;
    int BaseLineWidth = 1;

    // ----- axes
    TDirtyValue<double> MinXValue{Dirty, 0.0}, MaxXValue{Dirty, 1000.0};
    TDirtyValue<double> MinX2Value{Dirty, 0.0}, MaxX2Value{Dirty, 0.0};
    TDirtyValue<double> MinY1Value{Dirty, 0.0}, MaxY1Value{Dirty, 1000.0};
    TDirtyValue<double> MinY2Value{Dirty, 0.0}, MaxY2Value{Dirty, 1000.0};
    TDirtyValue<bool> XAutoTics{Dirty, true}, X2AutoTics{Dirty, true};
    TDirtyValue<bool> Y1AutoTics{Dirty, true}, Y2AutoTics{Dirty, true};
    TDirtyValue<int> XMajorTics{Dirty, 10}, X2MajorTics{Dirty, 0};
    TDirtyValue<int> Y1MajorTics{Dirty, 0}, Y2MajorTics{Dirty, 0};
    TSwitchOnOnly XAutoText{true}, X2AutoText{true}, Y1AutoText{true}, Y2AutoText{true};
    int Direction = 1;    // 2: bottom axis and curves right to left
    int X2Direction = 2;  // 2: top axis offsets measured from its right end
    double XDrawnMin = 0.0, XDrawnMax = 0.0;  // the x range as last drawn (or to keep once)

    QString XachsenText, X2achsenText, Y1achsenText, Y2achsenText;
    bool XAchsenTextAn = false, X2AchsenTextAn = false, Y1AchsenTextAn = false, Y2AchsenTextAn = false;

    QFont PlotFont;     // axes, tick labels, marker labels
    QFont LegendeFont;  // legend and axis titles
    QString PlotName;
    QString MetafileName = QStringLiteral("noname.wmf");

    // ----- mouse results
    TSelectedRange SelectedRange;
    TCursorDataPosition CursorDataPosition;

    // ----- curves (n is 1-based; a number outside 1..KurvenAnzahl raises "List index out of bounds")
    int KurvenAnzahl() const { return static_cast<int>(curves_.size()); }
    void SetKurvenAnzahl(int count);
    void AddCurve();
    void DeleteCurve(int n);
    void ResetCurve(int n);
    // kind 1 writes x, kind 2 writes y of point `index`; the curve grows to index+1 points.
    void SetCurvePoint(int n, int kind, double value, int index);
    // Room for `count` points without regrowing (bulk re-plots).
    void ReserveCurvePoints(int n, int count);
    // Curve n reset and refilled with `count` points, point i being pointOf(i) (a TPlotPoint): the
    // points, extents and Dirty flag that ResetCurve and SetCurvePoint(n, 1, x, i), SetCurvePoint(n, 2,
    // y, i) for i = 0 .. count-1 leave, in one pass. A count below 1 leaves the reset point.
    template <class PointOf>
    void FillCurve(int n, int count, PointOf&& pointOf);
    void SetCurveName(int n, const QString& name);
    void SetCurveColor(int n, uint32_t color);
    uint32_t GetCurveColor(int n) const;
    void SetCurveStyle(int n, int style, int width);
    uint8_t GetCurveStyle(int n) const;
    void SetCurveAxis(int n, int axis);
    void SetCurveWidth(int n, int width);
    void AddMarkers(int n, const std::vector<int>& indices, const QStringList& labels);
    const KurvenDaten& Curve(int n) const;
    // Symbol table: half size in pixels and shape (1 square, 2 diagonal cross, 3 circle) of curve n.
    void SetCurveSymbol(int n, int size, int shape);

    // ----- layout state left by the last layout recomputation
    const TAxisTicks& Ticks(int axis) const;  // 0 X, 1 X2, 2 Y1, 3 Y2
    QRect PlotArea() const;                   // the plot rectangle inside the margins
    int LegendTop() const { return legendTop_; }
    QRect LegendFrame() const { return legendFrame_; }

    // ----- painting
    // The colour behind the plot (0x00BBGGRR): the host window's colour, as the plot takes its parent's
    // colour; white without a host. Screen, image exports, metafile and print all paint it.
    uint32_t BackgroundColor() const;
    // Repaints now (the full paint order, including post-paint work).
    void Repaint();
    // Runs the layout recomputation (when Dirty) without drawing: what Paint step 3 does.
    void UpdateLayout();
    // Renders the whole plot at scale s onto any painter (images, metafile, printer).
    void Render(QPainter& painter, double s, bool printerOrder = false);
    // The screen picture at the control's size.
    QImage RenderToImage();

    // ----- export
    void SaveMetafile(bool toClipboard);
    void SaveGif(const QString& fileName);
    void SaveTiff(const QString& fileName);
    void SavePng(const QString& fileName);
    void SaveBmp(const QString& fileName);
    // True when the system has a printer (the Print command does nothing without one); the host's
    // answer when it gives one.
    bool PrinterInstalled() const;
    // Prints on the default printer; nothing when none is installed.
    void PrintPlot();
    // Prints on a printer the caller has set up (print dialog, PDF file).
    void PrintPlot(QPrinter& printer);
    int PrintJobCount() const { return printJobs_; }
    // The bytes of the enhanced metafile that SaveMetafile writes (and puts on the clipboard).
    QByteArray MetafileBytes(const QString& createdBy = QStringLiteral("Graph Made by Varolux32"));
    // The metafile's picture as a bitmap (twice the control's size), which the clipboard copy carries
    // beside the metafile as PNG.
    QImage MetafileImage();
    // A bitmap export's picture: nominal size reduced to the plot's proportions, rendered.
    QImage ExportImage(QSize nominal);
    // Per-pixel-column reduction of dense solid curves on raster targets (on by default; same picture).
    bool ReduceDenseCurves = true;

signals:
    // The status-bar text of the position read-out ("Position: x  |  y").
    void positionText(const QString& text);

protected:
    // Qt's events run the plot's own handlers: Paint, MouseDown, MouseMove, MouseUp.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The paint order on screen (only inside a paint event).
    void Paint();
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseUp(QMouseEvent* event);

private:
    friend class TXYPlotPainter;
    enum class Order { Screen, Export, Printer };
    void renderWith(QPainter& painter, double s, Order order, double dotLen, double dashLen, double gapLen,
                    bool raster);
    void renderScreen(QImage& target);
    void postPaint();
    void fixSpectrumCount();
    friend struct TXYPlotTestAccess;

    KurvenDaten& curve(int n);
    void InitNewCurve(KurvenDaten& c, int m);
    // Room for `count` points in c, faulted in at once when it is new.
    static void reservePoints(KurvenDaten& c, int count);
    // c holds the one point (0, 1.0) of a new or reset curve.
    static void resetPoints(KurvenDaten& c);
    // Fits the ranges to the data (while Autoscaling, in the layout recomputation).
    void AutoScale();
    void layout();
    void computeMargins(int& left, int& right, int& top, int& bottom) const;

    std::vector<KurvenDaten> curves_;
    std::pair<int, int> symbolOf(int n) const;
    QPointF dataAt(QPoint pixel) const;
    bool pointInLegend(QPoint p) const;

    std::vector<std::pair<int, int>> symbols_;  // (size, shape) for curves 1..250
    std::array<TAxisTicks, 4> ticks_;
    int marginL_ = 60, marginR_ = 60, marginT_ = 20, marginB_ = 30;  // in use since the last layout
    double dotLen_ = 5.0, dashLen_ = 25.0, gapLen_ = 25.0;
    int legendTop_ = 70, legendSampleX_ = 150, legendTextX_ = 180;
    QRect legendFrame_;
    bool layoutDone_ = false;
    int printJobs_ = 0;

    // mouse state
    QPoint dragStart_, dragEnd_, lastCorner_;
    bool bandShown_ = false, mouseDown_ = false, legendDrag_ = false;
    QImage screenCache_;
    bool overlayOnly_ = false;
    bool postPaintQueued_ = false;
    bool painted_ = false;
};

template <class PointOf>
void TXYPlot::FillCurve(int n, int count, PointOf&& pointOf) {
    ResetCurve(n);
    if (count < 1) return;
    KurvenDaten& c = curve(n);
    TCurvePoints& points = c.Points;
    points.clear();
    reservePoints(c, count);
    for (int i = 0; i < count; ++i) points.push_back(pointOf(i));
    // The extents in a second pass over the points just written, while they are in the cache: the loop
    // above calls out, which would cost the running extents a trip through memory on every point.
    double xlo = c.XMin, xhi = c.XMax, ylo = c.YMin, yhi = c.YMax;
    TFiniteSpan xs, ys;
    bool grew = false;
    for (const TPlotPoint& p : points) {
        grew |= GrowExtent(xlo, xhi, p.x);
        grew |= GrowExtent(ylo, yhi, p.y);
        xs.Add(p.x);
        ys.Add(p.y);
    }
    c.XMin = xlo;
    c.XMax = xhi;
    c.YMin = ylo;
    c.YMax = yhi;
    c.HighestIndex = count - 1;
    c.XSpan = xs;
    c.YSpan = ys;
    c.SpansKnown = true;
    if (grew) Dirty = true;
}
