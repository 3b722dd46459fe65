#pragma once
// The colour map's picture as palette indices: the four draw types rendered into an 8-bit buffer, the
// facet lines through the nodes, the cells of the colour bar and its mouse marker.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/plot/pcolor/pcolor_colors.h"
#include "app/plot/pcolor/pcolor_types.h"

// An 8-bit pixel buffer addressed by rows counted from the bottom of the picture (the rows themselves
// may lie top-down in memory, as in an image).
struct TIndexView {
    uint8_t* Bits = nullptr;
    int Width = 0, Height = 0;
    std::ptrdiff_t Stride = 0;
    uint8_t* RowFromBottom(int r) const { return Bits + static_cast<std::ptrdiff_t>(Height - 1 - r) * Stride; }
    uint8_t PixelAt(int x, int rowFromBottom) const { return RowFromBottom(rowFromBottom)[x]; }
    void Clear() const;
};

// What the renderers read: the image values of the nodes (ny rows of nx, row 0 at the axes' minimum y),
// the data extent, the visible window, the value range of the image values and the scale.
struct TRenderInput {
    const double* Values = nullptr;
    int32_t Nx = 0, Ny = 0;
    TAxesExtent Axes;
    TPColorWindow Window;
    TImageModes Mode = imNormal;
    double Max = 0.0, Min = 0.0;
    int N = 64;             // NumbCol
    int ContourLines = 10;  // at least 1
};

// dtFlat: each node fills the cell centred on it.
void RenderFlat(const TRenderInput& in, const TIndexView& out);
// dtInterp: bilinear interpolation at each pixel centre.
void RenderInterpolated(const TRenderInput& in, const TIndexView& out);
// dtContour (withInterpolation false) and dtInterpContour: levels through the pixel corners.
void RenderContours(const TRenderInput& in, bool withInterpolation, const TIndexView& out);
// The renderer of `type`; nothing without data or with an empty buffer.
void RebuildImage(const TRenderInput& in, TDrawTypes type, const TIndexView& out);

// Facet lines through the nodes: x of each vertical line and y of each horizontal line, in control
// pixels, for the image rectangle `image`.
std::vector<int> FacetColumns(const TRenderInput& in, const TPixelRect& image);
std::vector<int> FacetRows(const TRenderInput& in, const TPixelRect& image);

// One cell of the colour bar: palette index and its pixel span [From, To) along the bar.
struct TBarCell {
    uint8_t Index = 0;
    int From = 0, To = 0;
};
// N colours plus one cell each for values below and above the range; highest values at the top of a
// vertical bar and at the right of a horizontal one; the cells come in pixel order.
std::vector<TBarCell> ColorBarCells(int n, const TPixelRect& bar, bool vertical);
// The marker rectangle around the bar cell of palette index `index` (corners as the platform's
// rectangle takes them: right and bottom exclusive); false for 0 and 255.
bool MarkerRect(uint8_t index, int n, const TPixelRect& bar, bool vertical, TPixelRect& out);
