#pragma once
// Resampling of x/y pairs onto the equidistant grid that a spectrum record needs. Every text reader uses
// this one routine, so all of them bracket and interpolate the same way.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/spectrum_record.h"
#include "formats/binary_values.h"
#include "platform/list_memory.h"

// The x and y lists a reader fills before resampling (platform/list_memory.h).
using PairList = std::vector<double, vxmem::BulkAllocator<double>>;

// Appends a value to a list whose room is reserved, faulting the room in a block ahead as values arrive
// (the block is a megabyte, so looking every 1024th value is often enough and costs nothing per value).
[[gnu::always_inline]] inline void AppendFaultingAhead(std::vector<double>& list, binvalues::FaultAhead& ahead, double v) {
    list.push_back(v);
    if ((list.size() & 1023) == 1) ahead(list);
}

// The x and y lists of a reader that knows how many pairs it can get at most (one a line, say). The
// room is reserved once, and faulted in a block ahead of the pairs as they arrive, which on a large
// file costs less than touching fresh pages one by one; a file whose lines turn out to hold few pairs
// costs only the address space of the rest.
struct PairColumns {
    explicit PairColumns(std::size_t room) {
        xs.reserve(room);
        ys.reserve(room);
    }
    [[gnu::always_inline]] void add(double x, double y) {
        AppendFaultingAhead(xs, xsAhead, x);
        AppendFaultingAhead(ys, ysAhead, y);
    }
    std::vector<double> xs, ys;

private:
    binvalues::FaultAhead xsAhead, ysAhead;
};

// Gives back the room a list holds beyond its values when that is more than an eighth of them (a
// list reserved for more lines than turned out to hold values), so a record keeps no idle memory.
void TrimRoom(std::vector<double>& list);

// Pairs whose first x lies above their last turned to rising order, x and y alike (in place).
void ToRisingPairs(std::span<double> xs, std::span<double> ys);

// Appends to `out` the y values at x0 + i * step for i = 0 .. n-1, linearly interpolated between the two
// pairs that bracket each grid point. The search for the bracket starts at pair i and walks from there,
// so pairs roughly in step with the grid cost almost nothing; a grid point within 1e-10 of that pair
// takes the pair's own y. The bracket never leaves pairs 0 .. m-2, so a grid point a rounding error
// beyond the last pair is extrapolated from the last two pairs instead of reading past them.
// Needs at least two pairs (xs and ys of equal size).
void ResampleOntoGrid(std::span<const double> xs, std::span<const double> ys, double x0, double step,
                      int32_t n, std::vector<double>& out);

// Makes `ys` the values ResampleOntoGrid gives for as many grid points as there are pairs. When every
// pair lies within the tolerance of its own grid point (a file written on a regular grid) those values
// are the pairs' own y: the list stays as it is and no third list is filled. Needs at least two pairs.
void ResampleInPlace(std::span<const double> xs, std::vector<double>& ys, double x0, double step);

// Pairs in either order onto the record's grid: first x = the first pair's x, a point per pair, step =
// (last x - first x)/(n - 1). The y list becomes the record's values (ResampleInPlace); FirstX and StepX
// are set. False, with the record untouched, for fewer than two pairs or a step that is zero or not
// finite.
bool MovePairsOntoGrid(PairColumns& pairs, TSpectrumRecord& rec);
