#pragma once
// The settings the main window gives its plot at start (before the stored options are applied).
class TXYPlot;

// Axes, ranges, switches, fonts and titles of the start-up plot: one top and no right axis, 300..900 nm
// by 0..1 absorbance, lines, legend and grid, Arial 10 for axes and legend.
void SetUpStartPlot(TXYPlot& p);
