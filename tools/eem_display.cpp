#include "tools/eem_display.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/helpers.h"
#include "core/units.h"
#include "platform/numtext.h"

bool IsExcitationTypeSet(const TSpectrumRecord& first) {
    static const std::string kTags = "ccdex ccdey polccde ccdeg dms cary50_csv milton_asc ex ey pole";
    const int32_t k = first.SourceKind;
    return ContainsText(kTags, first.SpecType.str()) || k == 15 || k == 17 || k == 20 || k == 23 || k == 25;
}

TEEMBuild BuildEEMGrid(TSpectraList& list, const TDisplayState& display, double plotXMin, double plotXMax,
                       TEEMGrid& out) {
    out = TEEMGrid{};
    if (list.Empty()) return TEEMBuild::NoSpectra;
    if (display.DisplayXUnit != SpecXNanometer) return TEEMBuild::NotNm;
    const int32_t n = list.Count();

    // The rows run over the plot's whole nanometres, but never beyond the data: a plot zoomed out
    // far would otherwise ask for a grid of empty rows.
    double dataLo = std::numeric_limits<double>::infinity(), dataHi = -dataLo;
    for (const auto& rec : list) {
        if (rec->PointCount() < 1) continue;
        const double a = SpecXValue(*rec, 0, display), b = SpecXValue(*rec, rec->PointCount() - 1, display);
        dataLo = std::min({dataLo, a, b});
        dataHi = std::max({dataHi, a, b});
    }
    double lo = std::nearbyint(plotXMin), hi = std::nearbyint(plotXMax);
    if (lo > hi) std::swap(lo, hi);
    lo = std::max(lo, std::floor(dataLo));
    hi = std::min(hi, std::ceil(dataHi));
    if (!(lo <= hi) || !std::isfinite(lo) || !std::isfinite(hi)) return TEEMBuild::NoOverlap;
    const int64_t rows = static_cast<int64_t>(hi - lo) + 1;
    // The map shows a single spectrum (or a single row) as two equal ones: count it so.
    if (std::max<int64_t>(rows, 2) * std::max<int64_t>(n, 2) > kMaxEEMCells) return TEEMBuild::TooLarge;

    TEEMGrid g;
    g.ExcitationType = IsExcitationTypeSet(list[0]);
    g.Lo = static_cast<int32_t>(lo);
    g.Hi = static_cast<int32_t>(hi);
    g.SpectraFirst = list[0].ExcitationWl > 0 ? list[0].ExcitationWl : 0.0;
    g.SpectraLast = list[n - 1].ExcitationWl > 0 ? list[n - 1].ExcitationWl : n - 1.0;
    // values[i][w - lo]: spectrum i at whole nanometre w, from its second point to its last.
    TEEMMatrix values(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(rows), 0.0));
    for (int32_t i = 0; i < n; ++i) {
        TSpectrumRecord& rec = list[i];
        if (rec.PointCount() < 2) continue;
        const double a = SpecXValue(rec, 1, display), b = SpecXValue(rec, rec.PointCount() - 1, display);
        const double from = std::min(a, b), to = std::max(a, b);
        std::vector<double>& column = values[static_cast<std::size_t>(i)];
        for (int64_t k = 0; k < rows; ++k) {
            const double w = lo + static_cast<double>(k);
            if (w >= from && w <= to) column[static_cast<std::size_t>(k)] = SpecYAtX(rec, w, display);
        }
    }
    // The map places its first node at the low end of each axis. A series taken from the longest
    // excitation (detection) wavelength down would be drawn mirrored under its own axis labels: the
    // spectra are put in ascending order instead.
    double spectraLo = g.SpectraFirst, spectraHi = g.SpectraLast;
    if (spectraLo > spectraHi) {
        std::reverse(values.begin(), values.end());
        std::swap(spectraLo, spectraHi);
    }
    if (!g.ExcitationType) {
        g.Nx = n;
        g.Ny = static_cast<int32_t>(rows);
        g.X1 = spectraLo;
        g.X2 = spectraHi;
        g.Y1 = lo;
        g.Y2 = hi;
        g.Data = std::move(values);
    } else {
        // Excitation spectra: their own x is the excitation axis, the spectra run along the emission.
        g.Nx = static_cast<int32_t>(rows);
        g.Ny = n;
        g.X1 = lo;
        g.X2 = hi;
        g.Y1 = spectraLo;
        g.Y2 = spectraHi;
        TEEMGrid t;
        t.Data = std::move(values);
        g.Data = Transposed(t).Data;
    }
    out = std::move(g);
    return TEEMBuild::Built;
}

TEEMGrid Transposed(const TEEMGrid& g) {
    TEEMGrid t = g;
    std::swap(t.Nx, t.Ny);
    std::swap(t.X1, t.Y1);
    std::swap(t.X2, t.Y2);
    const std::size_t cols = g.Data.size(), rows = cols ? g.Data.front().size() : 0;
    t.Data.assign(rows, std::vector<double>(cols));
    for (std::size_t c = 0; c < cols; ++c)
        for (std::size_t r = 0; r < rows; ++r) t.Data[r][c] = g.Data[c][r];
    return t;
}

bool LogarithmOf(const TEEMMatrix& in, double max, TEEMMatrix& out) {
    if (!(max > 0) || !std::isfinite(max)) return false;
    const double floorValue = Log10Ext(max / 1000);
    out = in;
    for (auto& column : out)
        for (double& v : column) v = v > 0 ? Log10Ext(v) : floorValue;
    return true;
}

std::string EEMReadoutText(double ex, double em, double value) {
    using numtext::FloatFormat;
    return "EX: " + numtext::FloatToStrF(ex, FloatFormat::Fixed, 15, 1) +
           "   EM: " + numtext::FloatToStrF(em, FloatFormat::Fixed, 15, 1) +
           "   INT: " + numtext::GeneralText(value, 2, 3);
}

std::string EEMLimitText(double v) { return numtext::GeneralText(v, 5, 3); }
