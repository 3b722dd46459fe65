#pragma once
// Gnuplot export: a command file (*.plt) that redraws the current plot from a data file (*.tat) beside
// it on the integer grid of the display unit, with a PostScript section taken from the template
// "postcol.plt" or "postmon.plt" beside the program (or in the per-user data folder); it loads
// "ginit.plt" (and "pola36.plt" for ratio curves) from there too. Every text that goes between gnuplot's quotes is escaped, so that no
// title can end its string and run a command.
#include <string>
#include <vector>

#include "core/display_state.h"
#include "core/program_settings.h"
#include "core/spectra_list.h"

// What the export copies of the plot.
struct TGnuplotPlot {
    double XDrawnMin = 0.0;  // the x axis ends as last drawn, in display units
    double XDrawnMax = 0.0;
    double Y1DrawnMin = 0.0;  // the left y axis ends as last drawn
    double Y1DrawnMax = 0.0;
    bool SecondXAxisOn = false;
    std::vector<std::string> X2Labels;  // the top axis's tick labels as drawn (regional separator)
};

// 'text' for gnuplot: every "'" doubled. "text" for gnuplot: "\" and '"' get a backslash and "`"
// becomes "'" (backquotes run commands even inside double quotes). Line breaks and other control
// characters become blanks in both, so a text never leaves its line.
std::string GnuplotSingleQuoted(const std::string& text);
std::string GnuplotDoubleQuoted(const std::string& text);

// A number text made to fit `width` characters by rounding its decimals (never cut): the integer part
// always stays whole, and a text in exponent form is kept as it is.
std::string GnuplotFitNumber(const std::string& text, std::size_t width);

struct TGnuplotTexts {
    std::string Command;  // the .plt file (UTF-8, CR LF), template section included
    std::string Data;     // the .tat file
};

// The two files for display unit nm or 1/cm. `settings` carries the choices of the dialog (file
// name, title, axis titles, legend position, raw flag, colour, commands); `templateLines` the
// PostScript template's lines. The data grid runs over the display unit's own axis ends; the x label
// chooses the column (1 nm, 2 1/cm) and the xrange.
TGnuplotTexts GnuplotExportTexts(TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& settings,
                                 const TGnuplotPlot& plot, const std::string& programFolder,
                                 const std::vector<std::string>& templateLines);

// Reads the template from `programFolder`, then writes the command file `settings.FileName` and the
// data file with the extension ".tat" beside it, both whole before the data file and then the command
// file replace the old ones. A missing template or a file that cannot be written raises vx::FileError
// before anything is replaced.
void SaveGnuplotFiles(TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& settings,
                      const TGnuplotPlot& plot, const std::string& programFolder);
