#include "formats/gnuplot_writer.h"

#include <cmath>
#include <limits>

#include "core/helpers.h"
#include "core/units.h"
#include "formats/file_writer.h"
#include "platform/data_folder.h"
#include "platform/numtext.h"

namespace {

using numtext::FloatFormat;

constexpr const char* kEol = "\r\n";

// Trunc of a number towards zero; what is no number, or too large for a line count, gives 0.
long long truncated(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 1e15) return 0;
    return static_cast<long long>(std::trunc(v));
}

double reciprocal(double v) { return static_cast<double>(SafeDivide(v, 1e7L)); }

std::string general3(double v) { return numtext::FloatToStrF(v, FloatFormat::General, 3, 0, '.'); }

// Texts from the plot's labels and the user's title can hold line breaks and other control
// characters, which would end the command line inside its quotes.
std::string oneLine(const std::string& text) { return ControlCharsToBlanks(text); }

const char* const kKeyLines[] = {"set key box 1 left top rev Left", "set key box 1 left bottom rev Left",
                                 "set key box 1 right top rev Left", "set key box 1 right bottom rev Left"};

// A tick label of the top axis as gnuplot reads it: "." as decimal point; nothing for blank labels and
// for 0, which has no place on the reciprocal axis.
bool x2Label(std::string label, std::string& out) {
    CommaToPoint(label);
    label = Trim(label);
    const auto v = numtext::TryStrToFloat(label, '.');
    if (!v || *v == 0.0) return false;
    out = label;
    return true;
}

struct Ends {
    long long xanf = 0, xend = 0;
    bool matching = false;
};

Ends axisEnds(bool labelNm, bool displayNm, double lower, double upper) {
    Ends e;
    if (labelNm && displayNm) {
        e = {truncated(lower), truncated(upper), true};
    } else if (labelNm) {
        e = {truncated(reciprocal(upper)), truncated(reciprocal(lower)), false};
    } else if (displayNm) {
        e = {truncated(reciprocal(lower)), truncated(reciprocal(upper)), false};
    } else {
        e = {truncated(upper), truncated(lower), true};
    }
    return e;
}

std::string commandText(const TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& s,
                        const TGnuplotPlot& plot, const std::string& programFolder,
                        const std::vector<std::string>& templateLines, const std::string& dataFile) {
    const bool displayNm = display.DisplayXUnit == SpecXNanometer;
    const bool labelNm = s.XLabel == "Wavelength [nm]";
    const int column = labelNm ? 1 : 2;
    const Ends ends = axisEnds(labelNm, displayNm, plot.XDrawnMin, plot.XDrawnMax);

    std::string out;
    auto line = [&out](const std::string& l) {
        out += l;
        out += kEol;
    };
    line("# Creator Varolux32 Version 1.72.2p");
    line("set xlabel " + GnuplotDoubleQuoted(s.XLabel));
    line("load " + GnuplotSingleQuoted(FileBesideProgram(programFolder, "ginit.plt")));
    if (s.RawCurves) line("load " + GnuplotSingleQuoted(FileBesideProgram(programFolder, "pola36.plt")));
    if (!s.Title.empty()) line("set title " + GnuplotDoubleQuoted(s.Title));
    line("set ylabel " + GnuplotDoubleQuoted(s.YLabel));
    line("xanf=" + std::to_string(ends.xanf));
    line("xend=" + std::to_string(ends.xend));
    line("set xrange[xanf:xend]");
    line("yanf=" + general3(plot.Y1DrawnMin));
    line("yend=" + general3(plot.Y1DrawnMax));
    line("set yrange[yanf:yend]");
    line("pol(x)=((x+0.4)/1.1)*(yend-yanf)+yanf");
    if (plot.SecondXAxisOn && ends.matching) {
        line("set xtics nomirror");
        line(std::string("set x2label ") + (displayNm ? "\"Wellenzahlen [1000/cm]\"" : "\"Wellenlaenge [nm]\""));
        line("set x2range[xanf:xend]");
        line(displayNm ? "z1(x)=1e4/x" : "z1(x)=1e7/x");
        // Every label but the first, in the order the axis runs.
        std::vector<std::string> labels;
        if (plot.X2Labels.size() >= 2) {
            std::string l;
            const std::size_t n = plot.X2Labels.size();
            for (std::size_t k = 1; k < n; ++k)
                if (x2Label(plot.X2Labels[displayNm ? k : n - k], l)) labels.push_back(l);
        }
        if (!labels.empty()) {
            std::string tics = "set x2tics (";
            for (std::size_t k = 0; k < labels.size(); ++k) {
                if (k > 0) tics += ", ";
                tics += GnuplotDoubleQuoted(labels[k]) + " z1(" + labels[k] + ")";
            }
            line(tics + ")");
        }
    }
    line(kKeyLines[s.LegendPosition >= 0 && s.LegendPosition <= 3 ? s.LegendPosition : 0]);
    if (s.CommandsOn)
        for (const std::string& c : s.CommandLines) line(c);

    for (int32_t i = 0; i < list.Count(); ++i) {
        const TSpectrumRecord& rec = list[i];
        const std::string col = std::to_string(i + 3);
        // Ratio curves are drawn onto the left axis through pol().
        const std::string y = rec.SourceKind == SpecSourceRaw ? "(pol($" + col + "))" : col;
        std::string l = i == 0 ? "plot " + GnuplotSingleQuoted(dataFile) : std::string(",''");
        l += " using " + std::to_string(column) + ":" + y + " t " + GnuplotSingleQuoted(rec.Title.str() + " ");
        if (i + 1 < list.Count()) l += "\\";
        line(l);
    }
    const std::string eps = ChangeFileExt(dataFile, ".eps");
    for (const std::string& t : templateLines) {
        if (t.find("set output") != std::string::npos && t.size() > 11) line("set output" + GnuplotSingleQuoted(eps));
        else line(t);
    }
    line("");
    return out;
}

std::string dataText(TSpectraList& list, const TDisplayState& display, const TGnuplotPlot& plot) {
    const bool displayNm = display.DisplayXUnit == SpecXNanometer;
    const std::size_t yWidth = displayNm ? 10 : 8;
    // The grid of the display unit's own axis ends: rising wavelengths, falling wavenumbers.
    long long from, to, step;
    if (displayNm) {
        from = truncated(plot.XDrawnMin) + 1;
        to = truncated(plot.XDrawnMax);
        step = 1;
    } else {
        from = truncated(plot.XDrawnMax) - 1;
        to = truncated(plot.XDrawnMin);
        step = -1;
    }
    // Where each spectrum has values: from its second point to its last, in display units.
    std::vector<std::pair<double, double>> ranges;
    for (const auto& rec : list) {
        const int32_t last = rec->PointCount() - 1;
        double a = SpecXValue(*rec, std::min(1, last), display), b = SpecXValue(*rec, last, display);
        if (a > b) std::swap(a, b);
        ranges.emplace_back(a, b);
    }
    std::string out, previous, current;
    for (long long v = from; step > 0 ? v <= to : v >= to; v += step) {
        if (v == 0) continue;  // no reciprocal
        const double x = static_cast<double>(v);
        const std::string other = numtext::ShortestDouble(reciprocal(x));
        current = displayNm ? std::to_string(v) + "  " + GnuplotFitNumber(other, 8)
                            : GnuplotFitNumber(other, 6) + "  " + std::to_string(v);
        for (int32_t i = 0; i < list.Count(); ++i) {
            current += "  ";
            const auto& [a, b] = ranges[std::size_t(i)];
            if (x < a || x > b) current += "?";
            else current += GnuplotFitNumber(general3(SpecYAtX(list[i], x, display)), yWidth);
        }
        if (current == previous) continue;
        out += current;
        out += kEol;
        previous.swap(current);
    }
    return out;
}

}  // namespace

std::string GnuplotSingleQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : oneLine(text)) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

std::string GnuplotDoubleQuoted(const std::string& text) {
    std::string out = "\"";
    for (char c : oneLine(text)) {
        if (c == '\\' || c == '"') out += '\\';
        out += c == '`' ? '\'' : c;
    }
    return out + "\"";
}

std::string GnuplotFitNumber(const std::string& text, std::size_t width) {
    if (text.size() <= width || text.find_first_of("eE") != std::string::npos) return text;
    const auto value = numtext::TryStrToFloat(text, '.');
    if (!value) return text;
    const std::size_t point = text.find('.');
    const std::size_t integerPart = point == std::string::npos ? text.size() : point;
    int decimals = integerPart + 1 < width ? static_cast<int>(width - integerPart - 1) : 0;
    std::string s;
    for (;; --decimals) {
        s = numtext::FloatToStrF(*value, FloatFormat::Fixed, 18, decimals, '.');
        if (s.size() <= width || decimals == 0) break;  // a carry made it one longer
    }
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

TGnuplotTexts GnuplotExportTexts(TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& settings,
                                 const TGnuplotPlot& plot, const std::string& programFolder,
                                 const std::vector<std::string>& templateLines) {
    TGnuplotTexts t;
    const std::string dataFile = ChangeFileExt(settings.FileName, ".tat");
    t.Command = commandText(list, display, settings, plot, programFolder, templateLines, dataFile);
    t.Data = dataText(list, display, plot);
    return t;
}

void SaveGnuplotFiles(TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& settings,
                      const TGnuplotPlot& plot, const std::string& programFolder) {
    const std::vector<std::string> templateLines =
        LoadStringsShared(FileBesideProgram(programFolder, settings.PostScriptOutput ? "postcol.plt" : "postmon.plt"));
    const TGnuplotTexts t = GnuplotExportTexts(list, display, settings, plot, programFolder, templateLines);
    // UTF-8, as the names of the files it loads are on this system; gnuplot reads it so (ginit.plt).
    // Both are written before either is replaced, the command file last: it never names older data.
    WriteFilesAtomically({{ChangeFileExt(settings.FileName, ".tat"), {t.Data}}, {settings.FileName, {t.Command}}});
}
