#include "app/plot/pcolor/pcolor_render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

int RoundInt(double v) { return static_cast<int>(std::nearbyint(v)); }

double ColumnIndex(const TRenderInput& in, double x) {
    return (x - in.Axes.XMin) / (in.Axes.XMax - in.Axes.XMin) * (in.Nx - 1);
}
double RowIndex(const TRenderInput& in, double y) {
    return (y - in.Axes.YMin) / (in.Axes.YMax - in.Axes.YMin) * (in.Ny - 1);
}

// Node index of a pixel, kept inside the grid (rounding at the last pixel may reach one past it).
int ClampNode(double index, int count) {
    if (!(index >= 0)) return 0;
    return index >= count - 1 ? count - 1 : static_cast<int>(index);
}

// Flat picture, cells larger than a pixel: the block of node i ends at Round(D * (i + 1 - (f0 + 0.5)))
// and starts where the previous one ended; `first` is the index f0 of the window's edge.
std::vector<int> BlockNodes(double first, int pixels, double perStep, int nodes) {
    std::vector<int> of(static_cast<std::size_t>(pixels));
    const double f0 = first + 0.5;
    int start = 0;
    for (long long i = static_cast<long long>(std::trunc(f0)); start < pixels; ++i) {
        // Past the last node the rounding would name a node beyond the grid: the last one takes the rest.
        const int end = i >= nodes - 1 ? pixels : std::min(pixels, RoundInt(perStep * (static_cast<double>(i) + 1 - f0)));
        const int node = ClampNode(static_cast<double>(i), nodes);
        for (int p = start; p < end; ++p) of[static_cast<std::size_t>(p)] = node;
        start = std::max(start, end);
    }
    return of;
}

// Flat picture, cells smaller than a pixel: the node nearest to each pixel centre (`first` is the index
// of the first centre).
std::vector<int> NearestNodes(double first, int pixels, double perStep, int nodes) {
    std::vector<int> of(static_cast<std::size_t>(pixels));
    for (int p = 0; p < pixels; ++p) of[static_cast<std::size_t>(p)] = ClampNode(std::trunc(p / perStep + first + 0.5), nodes);
    return of;
}

// Fractional index at the pixel centres: the first centre half a pixel inside (at the edge itself for
// pictures of at most two pixels).
struct TCentres {
    std::vector<int> Cell;   // the cell's lower node, 0..nodes-2
    std::vector<double> T;   // position within the cell
};

TCentres Centres(double lo, double hi, int pixels, int nodes, double (*index)(const TRenderInput&, double),
                 const TRenderInput& in) {
    TCentres c;
    c.Cell.resize(static_cast<std::size_t>(pixels));
    c.T.resize(static_cast<std::size_t>(pixels));
    const double step = (hi - lo) / pixels;
    const double first = pixels > 2 ? lo + step / 2 : lo;
    for (int p = 0; p < pixels; ++p) {
        const double f = index(in, first + p * step);
        const int cell = std::clamp(ClampNode(std::trunc(f), nodes), 0, nodes - 2);
        c.Cell[static_cast<std::size_t>(p)] = cell;
        c.T[static_cast<std::size_t>(p)] = f - cell;
    }
    return c;
}

// Values interpolated along the rows at fractional row `row + t`, for every column.
void RowLine(const TRenderInput& in, int row, double t, std::vector<double>& line) {
    const double* a = in.Values + static_cast<std::size_t>(row) * in.Nx;
    const double* b = a + in.Nx;
    for (int c = 0; c < in.Nx; ++c) line[static_cast<std::size_t>(c)] = a[c] + (b[c] - a[c]) * t;
}

bool EdgeCell(const TRenderInput& in, int row, int col) {
    return row == 0 || col == 0 || row == in.Ny - 2 || col == in.Nx - 2;
}

}  // namespace

void TIndexView::Clear() const {
    for (int r = 0; r < Height; ++r) std::memset(Bits + static_cast<std::ptrdiff_t>(r) * Stride, 0, static_cast<std::size_t>(Width));
}

void RenderFlat(const TRenderInput& in, const TIndexView& out) {
    const TPColorWindow& w = in.Window;
    const int W = out.Width, H = out.Height;
    const double D = W * w.ZoomX / (in.Nx - 1), E = H * w.ZoomY / (in.Ny - 1);
    std::vector<int> colOf, rowOf;
    if (D > 1 && E > 1) {
        colOf = BlockNodes(ColumnIndex(in, w.Left), W, D, in.Nx);
        rowOf = BlockNodes(RowIndex(in, w.Bottom), H, E, in.Ny);
    } else {
        const double xc = W > 2 ? w.Left + (w.Right - w.Left) / (2.0 * W) : w.Left;
        const double yc = H > 2 ? w.Bottom + (w.Top - w.Bottom) / (2.0 * H) : w.Bottom;
        colOf = NearestNodes(ColumnIndex(in, xc), W, D, in.Nx);
        rowOf = NearestNodes(RowIndex(in, yc), H, E, in.Ny);
    }
    const TIndexScale scale(in.Max, in.Min, in.N);
    const bool gradient = in.Mode == imGradient;
    int lastRow = -1;
    uint8_t* lastLine = nullptr;
    for (int r = 0; r < H; ++r) {
        uint8_t* line = out.RowFromBottom(r);
        const int node = rowOf[static_cast<std::size_t>(r)];
        if (node == lastRow) {
            std::memcpy(line, lastLine, static_cast<std::size_t>(W));
            continue;
        }
        const double* v = in.Values + static_cast<std::size_t>(node) * in.Nx;
        const bool edgeRow = gradient && (node == 0 || node == in.Ny - 1);
        for (int h = 0; h < W; ++h) {
            const int c = colOf[static_cast<std::size_t>(h)];
            // A gradient at the first or last row or column is one-sided: not shown.
            line[h] = (edgeRow || (gradient && (c == 0 || c == in.Nx - 1))) ? kIndexBackground : scale(v[c]);
        }
        lastRow = node;
        lastLine = line;
    }
}

void RenderInterpolated(const TRenderInput& in, const TIndexView& out) {
    const TPColorWindow& w = in.Window;
    const int W = out.Width, H = out.Height;
    const TCentres cols = Centres(w.Left, w.Right, W, in.Nx, ColumnIndex, in);
    const TCentres rows = Centres(w.Bottom, w.Top, H, in.Ny, RowIndex, in);
    const TIndexScale scale(in.Max, in.Min, in.N);
    const bool gradient = in.Mode == imGradient;
    std::vector<double> line(static_cast<std::size_t>(in.Nx));
    for (int r = 0; r < H; ++r) {
        const int row = rows.Cell[static_cast<std::size_t>(r)];
        uint8_t* px = out.RowFromBottom(r);
        if (gradient && (row == 0 || row == in.Ny - 2)) {
            std::memset(px, kIndexBackground, static_cast<std::size_t>(W));
            continue;
        }
        RowLine(in, row, rows.T[static_cast<std::size_t>(r)], line);
        for (int h = 0; h < W; ++h) {
            const int c = cols.Cell[static_cast<std::size_t>(h)];
            if (gradient && (c == 0 || c == in.Nx - 2)) {
                px[h] = kIndexBackground;
                continue;
            }
            const double a = line[static_cast<std::size_t>(c)], b = line[static_cast<std::size_t>(c) + 1];
            px[h] = scale(a + (b - a) * cols.T[static_cast<std::size_t>(h)]);
        }
    }
}

void RenderContours(const TRenderInput& in, bool withInterpolation, const TIndexView& out) {
    out.Clear();
    const TPColorWindow& w = in.Window;
    const int W = out.Width, H = out.Height;
    const double lo = in.Min, hi = in.Max;
    const int L = std::max(in.ContourLines, 1);
    const double b = hi == lo ? 0.0 : (L + 1) / (hi - lo);
    const TIndexScale scale(hi, lo, in.N);
    const bool gradient = in.Mode == imGradient;
    // Band colour of each level, the range ends included.
    std::vector<uint8_t> band(static_cast<std::size_t>(L) + 2);
    for (int j = 0; j <= L + 1; ++j)
        band[static_cast<std::size_t>(j)] = static_cast<uint8_t>(RoundInt((in.N - 1) * static_cast<double>(j) / (L + 1)) + 1);

    // Corners c = 0..W at x = Left + c * (Right - Left) / W (rows alike); their cells and positions.
    std::vector<int> cornerCol(static_cast<std::size_t>(W) + 1);
    std::vector<double> cornerT(static_cast<std::size_t>(W) + 1);
    for (int c = 0; c <= W; ++c) {
        const double f = ColumnIndex(in, w.Left + c * (w.Right - w.Left) / W);
        const int cell = std::clamp(ClampNode(std::trunc(f), in.Nx), 0, in.Nx - 2);
        cornerCol[static_cast<std::size_t>(c)] = cell;
        cornerT[static_cast<std::size_t>(c)] = f - cell;
    }
    const TCentres centreCols = Centres(w.Left, w.Right, W, in.Nx, ColumnIndex, in);
    const TCentres centreRows = Centres(w.Bottom, w.Top, H, in.Ny, RowIndex, in);

    std::vector<double> line(static_cast<std::size_t>(in.Nx));
    std::vector<double> below(static_cast<std::size_t>(W) + 1), above(static_cast<std::size_t>(W) + 1);
    auto cornerRow = [&](int r, std::vector<double>& into) {
        const double g = RowIndex(in, w.Bottom + r * (w.Top - w.Bottom) / H);
        const int row = std::clamp(ClampNode(std::trunc(g), in.Ny), 0, in.Ny - 2);
        RowLine(in, row, g - row, line);
        for (int c = 0; c <= W; ++c) {
            const std::size_t k = static_cast<std::size_t>(cornerCol[static_cast<std::size_t>(c)]);
            into[static_cast<std::size_t>(c)] = line[k] + (line[k + 1] - line[k]) * cornerT[static_cast<std::size_t>(c)];
        }
    };
    cornerRow(0, below);
    for (int r = 0; r < H; ++r) {
        cornerRow(r + 1, above);
        uint8_t* px = out.RowFromBottom(r);
        const int row = centreRows.Cell[static_cast<std::size_t>(r)];
        const bool edgeRow = gradient && (row == 0 || row == in.Ny - 2);
        for (int h = 0; h < W && !edgeRow; ++h) {
            if (gradient && EdgeCell(in, row, centreCols.Cell[static_cast<std::size_t>(h)])) continue;
            const double v0 = below[static_cast<std::size_t>(h)], v1 = below[static_cast<std::size_t>(h) + 1];
            const double v2 = above[static_cast<std::size_t>(h)], v3 = above[static_cast<std::size_t>(h) + 1];
            const double G = std::max(std::max(v0, v1), std::max(v2, v3));
            const double Hm = std::min(std::min(v0, v1), std::min(v2, v3));
            bool crosses = false;
            double jhi = 0;
            // A pixel whose corners are all equal has no line through it, even when that value is
            // a level (a plateau at the range's minimum would otherwise fill with the line colour).
            if (G >= lo && Hm <= hi && G > Hm) {
                jhi = std::min(std::trunc((G - lo) * b), static_cast<double>(L + 1));
                crosses = jhi >= std::ceil((Hm - lo) * b);
            }
            if (withInterpolation)
                px[h] = crosses ? kIndexContour : scale((v0 + v1 + v2 + v3) / 4);
            else if (crosses)
                px[h] = band[static_cast<std::size_t>(jhi)];
        }
        std::swap(below, above);
    }
}

void RebuildImage(const TRenderInput& in, TDrawTypes type, const TIndexView& out) {
    if (in.Nx < 2 || in.Ny < 2 || !in.Values || out.Width <= 0 || out.Height <= 0 || !out.Bits) return;
    switch (type) {
    case dtFlat:
        RenderFlat(in, out);
        break;
    case dtInterp:
        RenderInterpolated(in, out);
        break;
    case dtContour:
        RenderContours(in, false, out);
        break;
    case dtInterpContour:
        RenderContours(in, true, out);
        break;
    }
}

std::vector<int> FacetColumns(const TRenderInput& in, const TPixelRect& image) {
    std::vector<int> xs;
    if (in.Nx < 2) return xs;
    const double fl = ColumnIndex(in, in.Window.Left), fr = ColumnIndex(in, in.Window.Right);
    const double k = (image.Width - 1) * in.Window.ZoomX / (in.Nx - 1);
    for (double i = std::ceil(fl); i <= std::trunc(fr); ++i) xs.push_back(image.Left + RoundInt((i - fl) * k));
    return xs;
}

std::vector<int> FacetRows(const TRenderInput& in, const TPixelRect& image) {
    std::vector<int> ys;
    if (in.Ny < 2) return ys;
    const double gb = RowIndex(in, in.Window.Bottom), gt = RowIndex(in, in.Window.Top);
    const double k = (image.Height - 1) * in.Window.ZoomY / (in.Ny - 1);
    for (double j = std::ceil(gb); j <= std::trunc(gt); ++j) ys.push_back(image.Top + RoundInt((gt - j) * k));
    return ys;
}

std::vector<TBarCell> ColorBarCells(int n, const TPixelRect& bar, bool vertical) {
    std::vector<TBarCell> cells;
    const int start = vertical ? bar.Top : bar.Left;
    const int length = vertical ? bar.Height : bar.Width;
    const double u = length / (n + 2.0);
    auto at = [&](double k) { return start + static_cast<int>(std::trunc(k * u)); };
    if (vertical) {
        cells.push_back({kIndexHigher, start, at(1)});
        for (int i = n; i >= 1; --i) cells.push_back({static_cast<uint8_t>(i), at(n - i + 1), at(n - i + 2)});
        cells.push_back({kIndexLower, at(n + 1), start + length});
    } else {
        cells.push_back({kIndexLower, start, at(1)});
        for (int i = 1; i <= n; ++i) cells.push_back({static_cast<uint8_t>(i), at(i), at(i + 1)});
        cells.push_back({kIndexHigher, at(n + 1), start + length});
    }
    return cells;
}

bool MarkerRect(uint8_t index, int n, const TPixelRect& bar, bool vertical, TPixelRect& out) {
    if (index == kIndexBackground || index == kIndexContour) return false;
    const int a = index == kIndexLower ? 0 : (index == kIndexHigher ? n + 1 : index);
    const double u = (vertical ? bar.Height : bar.Width) / (n + 2.0);
    auto t = [u](double k) { return static_cast<int>(std::trunc(u * k)); };
    int l, tp, r, b;
    if (vertical) {
        l = bar.Left - 1;
        tp = bar.Top + t(n - a + 1) - 1;
        r = bar.Left + bar.Width + 1;
        b = bar.Top + t(n - a + 2) + 1;
    } else {
        l = bar.Left + t(a) - 1;
        tp = bar.Top - 1;
        r = bar.Left + t(a + 1) + 1;
        b = bar.Top + bar.Height + 1;
    }
    out = TPixelRect{l, tp, r - l, b - tp};
    return true;
}
