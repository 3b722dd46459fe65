#pragma once
// The one paint routine of the XY plot: grid, axes, titles, curves, markers and legend at a scale factor
// on any painter (screen picture, bitmap export, metafile, printer).
#include <QImage>
#include <QPainter>
#include <QPoint>

#include <vector>

#include "app/plot/Xygraph.h"

// Collects line segments into polylines between pen moves, so a curve costs one drawing call per
// visible stretch. On raster targets a run of points in one pixel column can be reduced to its first,
// lowest, highest and last point: for solid one-pixel lines that covers exactly the same pixels.
class TPenTrack {
public:
    TPenTrack(QPainter& painter, bool reduceColumns) : painter_(painter), reduce_(reduceColumns) {}
    // Solid one-pixel lines straight into a 32-bit image: every segment covers the pixels of its
    // Bresenham line, both ends included, so a stretch covers the union of its segments' pixels.
    void setDirect(QImage* image, QRgb color) {
        image_ = image;
        color_ = color;
        bits_ = image->bits();
        bpl_ = image->bytesPerLine();
        w_ = image->width();
        h_ = image->height();
    }
    ~TPenTrack() { flush(); }
    // The tracked pen position moves without drawing (a new stretch begins unless it stays put).
    void TrackedMoveTo(QPoint q);
    // A line from the tracked position; the position follows.
    void TrackedLineTo(QPoint q) {
        if (!started_) {
            add(pos_);
            started_ = true;
        }
        add(q);
        pos_ = q;
    }
    void flush();
    QPoint pos() const { return pos_; }

private:
    // Every point of a stretch passes here (once per curve point: kept inline).
    void add(QPoint q) {
        ++added_;
        if (!reduce_) {
            // Repeated points are dropped: a zero-length piece would change how the stretch's end is drawn.
            put(q);
            return;
        }
        if (runActive_ && q.x() == runX_) {
            ++count_;
            if (q.y() < minY_) {
                minY_ = q.y();
                minAt_ = count_;
            }
            if (q.y() > maxY_) {
                maxY_ = q.y();
                maxAt_ = count_;
            }
            lastY_ = q.y();
            return;
        }
        finishRun();
        runActive_ = true;
        runX_ = q.x();
        firstY_ = minY_ = maxY_ = lastY_ = q.y();
        count_ = 1;
        minAt_ = maxAt_ = 1;
    }
    void finishRun();
    void rasterLine(QPoint a, QPoint b);
    void put(QPoint q) {
        if (image_) {
            // Straight into the image: no buffer, each new point draws its segment at once.
            if (distinct_ == 0) {
                last_ = q;
                distinct_ = 1;
            } else if (q != last_) {
                rasterLine(last_, q);
                last_ = q;
                ++distinct_;
            }
            return;
        }
        if (poly_.empty() || poly_.back() != q) poly_.push_back(q);
    }

    QPainter& painter_;
    bool reduce_;
    QImage* image_ = nullptr;
    QRgb color_ = 0;
    uchar* bits_ = nullptr;
    qsizetype bpl_ = 0;
    int w_ = 0, h_ = 0;
    QPoint last_;
    int distinct_ = 0;
    std::vector<QPoint> poly_;
    QPoint pos_;
    bool started_ = false;
    int added_ = 0;
    bool runActive_ = false;
    int runX_ = 0, firstY_ = 0, minY_ = 0, maxY_ = 0, lastY_ = 0, count_ = 0, minAt_ = 0, maxAt_ = 0;
};

// The drawing routines of the plot at scale s. At s = 1 they draw the screen picture; at any other scale
// the same geometry is what the exports and the printer call the scaled routines (DrawXAxisScaled,
// DrawX2AxisScaled, DrawY1AxisScaled, DrawY2AxisScaled): every coordinate multiplied by s and rounded.
class TXYPlotPainter {
public:
    TXYPlotPainter(TXYPlot& plot, QPainter& painter, double s, double dotLen, double dashLen, double gapLen,
                   bool raster);
    // The screen's dotted grid, silver (gray on a silver window).
    void DrawGrid();
    // The exports' and the printer's grid: always gray and dashed.
    void DrawGridScaled();
    void DrawXAxis();
    void DrawX2Axis();
    void DrawY1Axis();
    void DrawY2Axis();
    void DrawAxisTitles();
    void DrawCurve(int n);
    // Draws the legend; returns the running y after the last line (client pixels).
    int DrawLegend(bool storeFrame);

private:
    // A client coordinate at scale s in target pixels, halves to even (as std::nearbyint in the default
    // rounding mode, without a library call per point: adding 1.5 * 2^52 leaves no fraction bits, and
    // strict IEEE arithmetic never folds the sum away); far beyond the target, and NaN, at the clamp.
    int S(double v) const {
        const double t = v * s_;
        if (t > -1e8 && t < 1e8) {
            constexpr double kShift = 6755399441055744.0;
            return static_cast<int>((t + kShift) - kShift);
        }
        return t >= 1e8 ? 100000000 : -100000000;
    }
    QPoint SP(double x, double y) const { return QPoint(S(x), S(y)); }
    void line(double x1, double y1, double x2, double y2);
    void textTopLeft(int x, int y, const QString& text);
    void gridWith(bool screenStyle);
    void DrawRotatedText(QPointF topLeft, double angle, const QString& text);
    void DashedLineTo(KurvenDaten& c, TPenTrack& pen, QPoint target);
    void DrawSymbol(int n, double y, double x);
    void DrawPeakMarker(const KurvenDaten& c, double x, double y, const QString& label);
    double patternLength(int style, int phase) const;
    static void NextLegendLine(int& y, int lineHeight) { y += lineHeight; }

    TXYPlot& plot_;
    QPainter& p_;
    double s_;
    double dot_, dash_, gap_;
    bool raster_;
    double L_, R_, T_, B_;  // plot area edges, client pixels
    int W_, H_;             // client size
};
