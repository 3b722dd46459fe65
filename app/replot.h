#pragma once
// Copies the spectra of SpectraList into the plot's curves in the current display units, and chooses
// the axis titles and x directions.
#include <functional>
#include <optional>
#include <string>

#include "app/plot/Xygraph.h"
#include "core/spectra_list.h"

// Fills curve n (1-based) from the record: points converted into DisplayXUnit / DisplayYMode, y axis
// 2 for kind 7, the pen style read back into the record, legend name, then the peak-label hook. The
// record's colour is left as it is: the curve's colour comes from the record (ApplyCurveLooks), never
// the other way.
void PlotSpectrumCurve(TXYPlot& plot, TSpectrumRecord& rec, int n);

// The Raman override: when a record holds a Raman shift, the display shows 1/cm unless records in nm,
// 1/cm, µm and eV are all present. Returns true when DisplayXUnit changed.
bool SettleDisplayXUnit(const TSpectraList& list);

// Axis titles and x directions from the records and the display settings (runs the Raman override
// too; returns true when that changed DisplayXUnit, so the caller re-computes the curves).
bool UpdateAxisTitles(TXYPlot& plot, const TSpectraList& list);

// Curve count := list count, then every curve's colour, pen style with the effective width, and
// points. The caller writes the status text and repaints.
void ReplotCurves(TXYPlot& plot, TSpectraList& list);
// One curve of that re-plot: colour, pen style with the effective width, points.
void ReplotCurve(TXYPlot& plot, TSpectrumRecord& rec, int n);

// A curve's line width: the record's width plus the plot's BaseLineWidth - 1 (Thicker and Thinner
// Lines move BaseLineWidth).
int EffectiveLineWidth(const TXYPlot& plot, const TSpectrumRecord& rec);
// Curve n takes the looks of its record: colour and pen style with the effective width, and the legend
// name when `name` is set. The points stay.
void ApplyCurveLooks(TXYPlot& plot, const TSpectrumRecord& rec, int n, bool name);
// Every curve that has a record takes its looks and legend name.
void ApplyAllCurveLooks(TXYPlot& plot, const TSpectraList& list);
// The looks of record n - 1, which a new curve n takes (nothing when the list is shorter).
std::optional<TCurveLooks> CurveLooksOf(const TSpectraList& list, int n);
// Every curve black (the records keep their colours): Plot All Black.
void PlotAllBlack(TXYPlot& plot);
// Curve n gets pen style 0, 2 or 1 as n mod 3 is 1, 2 or 0, at the plot's default width: Cycling Line
// Types.
void CycleLineTypes(TXYPlot& plot);

// Peak labels of one curve, run by PlotSpectrumCurve when the main window shows the peak-label bar
// and the curve is chosen (all spectra, or the selected one). Filled by the peak-search work.
using PeakLabelFn = std::function<void(TXYPlot& plot, TSpectrumRecord& rec, int n)>;
void SetPeakLabelHook(PeakLabelFn fn);
// Whether the peak-label bar is visible (set by the main window's peak-label view).
void SetPeakLabelsShown(bool shown);
bool PeakLabelsShown();
