#include "app/plot/pcolor/pcolor_model.h"

#include <algorithm>
#include <cmath>

#include "platform/errors.h"

namespace {

bool Neighbours(const TGridCell& a, const TGridCell& b) {
    const int dr = std::abs(a.Row - b.Row), dc = std::abs(a.Col - b.Col);
    return dr + dc <= 1;
}

void CheckCells(int64_t nx, int64_t ny) {
    if (nx * ny > TPColorModel::kMaxCells)
        throw vx::Error("The colour map cannot hold " + std::to_string(nx) + " x " + std::to_string(ny) +
                        " values (at most 10000000).");
}

// An axis with equal ends gets a width of its own, so that index arithmetic never divides by zero.
void Widen(double& lo, double& hi) {
    if (lo != hi) return;
    hi = lo > 0 ? lo * 1.01 : (lo == 0 ? 0.01 : lo * 0.99);
}

}  // namespace

bool TPColorModel::Rectangular(const TPColorMatrix& data) {
    for (const auto& column : data)
        if (column.size() != data.front().size()) return false;
    return true;
}

void TPColorModel::Factors() {
    fx_ = (nx_ - 1) / (2.0 * (axes_.XMax - axes_.XMin));
    fy_ = (ny_ - 1) / (2.0 * (axes_.YMax - axes_.YMin));
}

bool TPColorModel::SetAxes(double x1, double x2, double y1, double y2) {
    if (!std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1) || !std::isfinite(y2))
        throw vx::Error("The axes of the colour map need finite limits.");
    if (x1 == axes_.XMin && x2 == axes_.XMax && y1 == axes_.YMin && y2 == axes_.YMax) {
        Factors();
        return false;
    }
    axes_.XMin = std::min(x1, x2);
    axes_.XMax = std::max(x1, x2);
    axes_.YMin = std::min(y1, y2);
    axes_.YMax = std::max(y1, y2);
    Widen(axes_.XMin, axes_.XMax);
    Widen(axes_.YMin, axes_.YMax);
    Factors();
    return true;
}

void TPColorModel::ResetRanges(bool found) {
    range_ = TValueRange{};
    grange_ = TValueRange{};
    range_.Found = grange_.Found = found;
}

TPColorModel::TDataResult TPColorModel::SetGridSize(int32_t nx, int32_t ny, double x1, double x2, double y1,
                                                    double y2) {
    nx = std::max(nx, 2);
    ny = std::max(ny, 2);
    CheckCells(nx, ny);
    if (nx != nx_ || ny != ny_) {
        values_.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), 0.0);
        nx_ = nx;
        ny_ = ny;
        ResetRanges(true);
    } else {
        range_.Found = grange_.Found = false;
    }
    return SetAxes(x1, x2, y1, y2) ? TDataResult::NewAxes : TDataResult::SameAxes;
}

void TPColorModel::Fill(const TPColorMatrix& data) {
    const std::size_t cols = data.size(), rows = data.front().size();
    for (int32_t r = 0; r < ny_; ++r) {
        const std::size_t sr = rows == 1 ? 0 : static_cast<std::size_t>(r);
        double* row = values_.data() + static_cast<std::size_t>(r) * nx_;
        for (int32_t c = 0; c < nx_; ++c) row[c] = data[cols == 1 ? 0 : static_cast<std::size_t>(c)][sr];
    }
}

TPColorModel::TDataResult TPColorModel::SetData(const TPColorMatrix& data, double x1, double x2, double y1,
                                                double y2) {
    if (!data.empty() && !Rectangular(data)) return TDataResult::Refused;
    if (data.empty() || data.front().empty()) {
        nx_ = ny_ = 0;
        values_.clear();
        values_.shrink_to_fit();
        ResetRanges(true);
        return TDataResult::Cleared;
    }
    const int64_t cols = static_cast<int64_t>(data.size()), rows = static_cast<int64_t>(data.front().size());
    CheckCells(std::max<int64_t>(cols, 2), std::max<int64_t>(rows, 2));
    nx_ = static_cast<int32_t>(std::max<int64_t>(cols, 2));
    ny_ = static_cast<int32_t>(std::max<int64_t>(rows, 2));
    values_.assign(static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_), 0.0);
    Fill(data);
    range_.Found = grange_.Found = false;
    return SetAxes(x1, x2, y1, y2) ? TDataResult::NewAxes : TDataResult::SameAxes;
}

bool TPColorModel::UpdateData(const TPColorMatrix& data) {
    if (!HasData() || data.empty() || data.front().empty() || !Rectangular(data)) return false;
    const auto cols = std::max<std::size_t>(data.size(), 2), rows = std::max<std::size_t>(data.front().size(), 2);
    if (cols != static_cast<std::size_t>(nx_) || rows != static_cast<std::size_t>(ny_)) return false;
    Fill(data);
    range_.Found = grange_.Found = false;
    return true;
}

double TPColorModel::GetValue(int32_t column, int32_t row) const {
    if (column < 0 || row < 0 || column >= nx_ || row >= ny_) return 0.0;
    return Node(row, column);
}

bool TPColorModel::GradientScanned(int32_t row, int32_t col) const {
    if (row < 0 || col < 0 || row >= ny_ || col >= nx_) return false;
    if (nx_ < 4 || ny_ < 4) return true;
    return row >= 1 && row <= ny_ - 2 && col >= 1 && col <= nx_ - 2;
}

bool TPColorModel::SetValue(int32_t column, int32_t row, double value) {
    if (column < 0 || row < 0 || column >= nx_ || row >= ny_) return false;
    values_[static_cast<std::size_t>(row) * nx_ + column] = value;
    const TGridCell cell{row, column};
    if (auto_) {
        if (cell == range_.MaxCell || cell == range_.MinCell) {
            range_.Found = false;
        } else if (range_.Found && std::isfinite(value)) {
            if (value > range_.Max) {
                range_.Max = value;
                range_.MaxCell = cell;
            }
            if (value < range_.Min) {
                range_.Min = value;
                range_.MinCell = cell;
            }
        }
    }
    if (gauto_) {
        if (Neighbours(cell, grange_.MaxCell) || Neighbours(cell, grange_.MinCell)) {
            grange_.Found = false;
        } else if (grange_.Found) {
            // The new value changes the gradient of the cell and of its four neighbours.
            const TGridCell around[5] = {cell, {row, column - 1}, {row, column + 1}, {row - 1, column}, {row + 1, column}};
            for (const TGridCell& c : around) {
                if (!GradientScanned(c.Row, c.Col)) continue;
                const double g = Gradient(c.Row, c.Col);
                if (!std::isfinite(g)) continue;
                if (g > grange_.Max) {
                    grange_.Max = g;
                    grange_.MaxCell = c;
                }
                if (g < grange_.Min) {
                    grange_.Min = g;
                    grange_.MinCell = c;
                }
            }
        }
    }
    return true;
}

double TPColorModel::Gradient(int32_t r, int32_t c) const {
    const double* row = values_.data() + static_cast<std::size_t>(r) * nx_;
    double dx;
    if (c == 0)
        dx = row[1] - row[0];
    else if (c == nx_ - 1)
        dx = row[nx_ - 1] - row[nx_ - 2];
    else
        dx = row[c + 1] - row[c - 1];
    double dy;
    if (r == 0)
        dy = Node(1, c) - Node(0, c);
    else if (r == ny_ - 1)
        dy = Node(ny_ - 1, c) - Node(ny_ - 2, c);
    else
        dy = Node(r + 1, c) - Node(r - 1, c);
    dx *= fx_;
    dy *= fy_;
    return std::sqrt(dx * dx + dy * dy);
}

const double* TPColorModel::ImageValues(std::vector<double>& scratch) const {
    if (ImageMode == imNormal) return values_.data();
    scratch.resize(values_.size());
    for (int32_t r = 0; r < ny_; ++r)
        for (int32_t c = 0; c < nx_; ++c) scratch[static_cast<std::size_t>(r) * nx_ + c] = Gradient(r, c);
    return scratch.data();
}

// ----------------------------------------------------------------------------------------- value range

namespace {

// Maximum and minimum of value(row, col) over the given cells, with the first cell at which each
// occurs. Values that are no numbers or infinite never set a range: they would collapse the scale.
template <typename F>
TValueRange ScanCells(int32_t r0, int32_t r1, int32_t c0, int32_t c1, F value) {
    TValueRange r;
    bool any = false;
    for (int32_t row = r0; row <= r1; ++row) {
        for (int32_t col = c0; col <= c1; ++col) {
            const double v = value(row, col);
            if (!std::isfinite(v)) continue;
            if (!any || v > r.Max) {
                r.Max = v;
                r.MaxCell = {row, col};
            }
            if (!any || v < r.Min) {
                r.Min = v;
                r.MinCell = {row, col};
            }
            any = true;
        }
    }
    r.Found = true;
    return r;
}

// A manual limit; the other one follows when it would be passed.
bool WriteMax(TValueRange& r, bool automatic, double v) {
    if (automatic || v == r.Max) return false;
    r.Max = v;
    if (v < r.Min) r.Min = v;
    return true;
}

bool WriteMin(TValueRange& r, bool automatic, double v) {
    if (automatic || v == r.Min) return false;
    r.Min = v;
    if (v > r.Max) r.Max = v;
    return true;
}

}  // namespace

void TPColorModel::ScanRange() {
    range_ = ScanCells(0, ny_ - 1, 0, nx_ - 1, [this](int32_t r, int32_t c) { return Node(r, c); });
}

void TPColorModel::ScanGRange() {
    // Edge cells have one-sided differences that are not comparable; small grids have nothing else.
    const bool all = nx_ < 4 || ny_ < 4;
    grange_ = ScanCells(all ? 0 : 1, all ? ny_ - 1 : ny_ - 2, all ? 0 : 1, all ? nx_ - 1 : nx_ - 2,
                        [this](int32_t r, int32_t c) { return Gradient(r, c); });
}

// Switching an automatic range on rescans it when the picture shows it (value range in imNormal,
// gradient range in imGradient) and otherwise only marks it; switching it off keeps the current
// automatic values as the manual ones.
bool TPColorModel::SwitchAuto(bool on, bool gradient) {
    bool& automatic = gradient ? gauto_ : auto_;
    TValueRange& r = gradient ? grange_ : range_;
    auto scan = [&] {
        if (gradient)
            ScanGRange();
        else
            ScanRange();
    };
    if (on == automatic) return false;
    if (!on && !r.Found) scan();
    automatic = on;
    if (!on) return false;
    if ((ImageMode == imGradient) != gradient) {
        r.Found = false;
        return false;
    }
    const double mx = r.Max, mn = r.Min;
    scan();
    return mx != r.Max || mn != r.Min;
}

double TPColorModel::MaxValGraph() {
    if (auto_ && !range_.Found) ScanRange();
    return range_.Max;
}

double TPColorModel::MinValGraph() {
    if (auto_ && !range_.Found) ScanRange();
    return range_.Min;
}

bool TPColorModel::SetMaxValGraph(double v) { return WriteMax(range_, auto_, v); }
bool TPColorModel::SetMinValGraph(double v) { return WriteMin(range_, auto_, v); }
bool TPColorModel::SetMaxMinValGraphAuto(bool on) { return SwitchAuto(on, false); }

double TPColorModel::GMaxValGraph() {
    if (gauto_ && !grange_.Found) ScanGRange();
    return grange_.Max;
}

double TPColorModel::GMinValGraph() {
    if (gauto_ && !grange_.Found) ScanGRange();
    return grange_.Min;
}

bool TPColorModel::SetGMaxValGraph(double v) { return WriteMax(grange_, gauto_, v); }
bool TPColorModel::SetGMinValGraph(double v) { return WriteMin(grange_, gauto_, v); }
bool TPColorModel::SetGMaxMinValGraphAuto(bool on) { return SwitchAuto(on, true); }

void TPColorModel::ImageRange(double& max, double& min) {
    if (ImageMode == imNormal) {
        max = MaxValGraph();
        min = MinValGraph();
    } else {
        max = GMaxValGraph();
        min = GMinValGraph();
    }
}

// ------------------------------------------------------------------------------------------ read-out

double TPColorModel::ValueAt(double x, double y, TDrawTypes type) const {
    if (!HasData()) return 0.0;
    x = ClampInto(x, axes_.XMin, axes_.XMax);
    y = ClampInto(y, axes_.YMin, axes_.YMax);
    double fi, gi;
    DataToIndex(x, y, fi, gi);
    if (type == dtFlat) {
        fi = std::trunc(fi + 0.5);
        gi = std::trunc(gi + 0.5);
    }
    const int32_t row = std::clamp(static_cast<int32_t>(gi), 0, ny_ - 2);
    const int32_t col = std::clamp(static_cast<int32_t>(fi), 0, nx_ - 2);
    const double ty = gi - row, tx = fi - col;
    const double v00 = ImageValue(row, col), v10 = ImageValue(row + 1, col);
    const double v01 = ImageValue(row, col + 1), v11 = ImageValue(row + 1, col + 1);
    const double a = v00 + (v10 - v00) * ty;
    const double b = v01 + (v11 - v01) * ty;
    return a + (b - a) * tx;
}
