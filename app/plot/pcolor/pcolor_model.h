#pragma once
// The colour map's data: a grid of values evenly spaced over the axes' extent, its gradient, and the
// value and gradient ranges with their automatic upkeep. The control asks it what must be redrawn.
#include <cstdint>
#include <vector>

#include "app/plot/pcolor/pcolor_types.h"

// Data handed in by the caller, indexed [column][row] (x first).
using TPColorMatrix = std::vector<std::vector<double>>;

struct TGridCell {
    int32_t Row = 0, Col = 0;
    bool operator==(const TGridCell&) const = default;
};

struct TValueRange {
    double Max = 0.0, Min = 0.0;
    TGridCell MaxCell, MinCell;
    bool Found = true;
};

class TPColorModel {
public:
    // More cells than this are refused: the grid, its gradient and the picture would not fit sensibly.
    static constexpr int64_t kMaxCells = 10'000'000;

    // What the control has to do after a data operation.
    enum class TDataResult {
        Refused,   // nothing changed (ragged matrix, other size)
        Cleared,   // no data any more: zoom reset, image refresh
        SameAxes,  // image refresh
        NewAxes,   // zoom reset (which rebuilds and refreshes)
    };

    int32_t Nx() const { return nx_; }
    int32_t Ny() const { return ny_; }
    bool HasData() const { return nx_ > 0 && ny_ > 0; }
    const TAxesExtent& Axes() const { return axes_; }
    // Derivative factors of the gradient.
    double Fx() const { return fx_; }
    double Fy() const { return fy_; }

    TImageModes ImageMode = imNormal;

    // New size (each at least 2); a changed size starts from zeros, an unchanged one keeps the values.
    TDataResult SetGridSize(int32_t nx, int32_t ny, double x1, double x2, double y1, double y2);
    // An empty matrix clears the control; a single column or row becomes two equal ones. Ragged input
    // is refused. Throws vx::Error for more than kMaxCells cells.
    TDataResult SetData(const TPColorMatrix& data, double x1, double x2, double y1, double y2);
    // New axes for the grid as it is (true when they changed).
    bool AssignAxes(const TAxesExtent& a) { return SetAxes(a.XMin, a.XMax, a.YMin, a.YMax); }
    // New values of the same size; false (nothing changed) otherwise.
    bool UpdateData(const TPColorMatrix& data);
    // Outside the grid: 0, and writes nothing (false).
    double GetValue(int32_t column, int32_t row) const;
    bool SetValue(int32_t column, int32_t row, double value);
    // The stored value of node (row, col), unchecked.
    double Node(int32_t row, int32_t col) const { return values_[static_cast<std::size_t>(row) * nx_ + col]; }
    const std::vector<double>& Values() const { return values_; }
    // Gradient magnitude at node (row, col); one-sided differences at the edges.
    double Gradient(int32_t row, int32_t col) const;
    // The value the picture shows at a node: the value or its gradient magnitude.
    double ImageValue(int32_t row, int32_t col) const {
        return ImageMode == imNormal ? Node(row, col) : Gradient(row, col);
    }
    // The image values of all nodes, row by row: the grid itself, or the gradient field in `scratch`.
    const double* ImageValues(std::vector<double>& scratch) const;

    // ----- value range. Setters return true when the picture must be rebuilt.
    bool MaxMinValGraphAuto() const { return auto_; }
    bool SetMaxMinValGraphAuto(bool on);
    double MaxValGraph();
    double MinValGraph();
    bool SetMaxValGraph(double v);
    bool SetMinValGraph(double v);
    // ----- gradient range
    bool GMaxMinValGraphAuto() const { return gauto_; }
    bool SetGMaxMinValGraphAuto(bool on);
    double GMaxValGraph();
    double GMinValGraph();
    bool SetGMaxValGraph(double v);
    bool SetGMinValGraph(double v);
    // The range of the image values in the current mode: (max, min).
    void ImageRange(double& max, double& min);
    const TValueRange& Range() const { return range_; }
    const TValueRange& GRange() const { return grange_; }

    // Fractional column and row index of a data position.
    double ColumnIndex(double x) const { return (x - axes_.XMin) / (axes_.XMax - axes_.XMin) * (nx_ - 1); }
    double RowIndex(double y) const { return (y - axes_.YMin) / (axes_.YMax - axes_.YMin) * (ny_ - 1); }
    // Both at once: the fractional column and row index of the data position (x, y).
    void DataToIndex(double x, double y, double& column, double& row) const {
        column = ColumnIndex(x);
        row = RowIndex(y);
    }
    // The value shown at a data position: nearest node in dtFlat, bilinear otherwise; positions
    // outside the axes take the nearest edge; 0 without data.
    double ValueAt(double x, double y, TDrawTypes type) const;

private:
    bool SetAxes(double x1, double x2, double y1, double y2);
    void Factors();
    void ScanRange();
    void ScanGRange();
    bool SwitchAuto(bool on, bool gradient);
    void ResetRanges(bool found);
    bool GradientScanned(int32_t row, int32_t col) const;
    void Fill(const TPColorMatrix& data);
    static bool Rectangular(const TPColorMatrix& data);

    int32_t nx_ = 0, ny_ = 0;
    std::vector<double> values_;  // ny_ rows of nx_ values, row 0 at YMin
    TAxesExtent axes_;
    double fx_ = 0.0, fy_ = 0.0;
    TValueRange range_, grange_;
    bool auto_ = true, gauto_ = true;
};
