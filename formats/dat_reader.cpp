#include "formats/dat_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/numtext.h"

namespace {

bool isBlankLine(std::string_view s) { return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; }); }

std::unique_ptr<TSpectrumRecord> newRecord(const std::string& path, const std::string& dateText) {
    auto rec = std::make_unique<TSpectrumRecord>();
    rec->FileName = path;
    rec->DateText = dateText;
    rec->Solvent = "";
    rec->Concentration = 0.0;
    rec->PathLength = 1.0;
    rec->ExcitationWl = -1.0;
    rec->Temperature = -1.0;
    rec->ExposureTime = -1.0;
    rec->LineWidth = 1;
    rec->LineStyle = 0;
    return rec;
}

void append(TSpectraList& list, std::unique_ptr<TSpectrumRecord> rec) {
    if (!rec->IsComplete()) return;
    rec->Color = CurveColor(list.Count() + 1);
    list.Add(std::move(rec));
}

// The first lines of the text (up to five) and where line 1 starts.
struct Head {
    std::array<std::string_view, 5> lines{};
    std::size_t count = 0;  // lines present, at most 5
    std::size_t line1 = 0;  // byte offset of line 1
};

Head headOf(std::string_view bytes) {
    Head h;
    LineCursor c(bytes);
    for (std::string_view l; h.count < h.lines.size() && c.Next(l); ++h.count) {
        h.lines[h.count] = l;
        if (h.count == 0) h.line1 = c.Position();
    }
    return h;
}

void loadInstrument(const MappedText& text, const std::string& path, const std::string& dateText,
                    TSpectraList& list) {
    auto rec = newRecord(path, dateText);
    LineCursor lines(text.Bytes());
    std::string_view l;
    lines.Next(l);
    rec->Title = l.empty() ? NameWithoutFolder(path) : text.Utf8(l);
    lines.Next(l);
    rec->Comment1 = text.Utf8(l);
    lines.Next(l);
    rec->Comment2 = text.Utf8(l);
    rec->SpecType = "zeiss_dat";
    rec->SourceKind = 34;
    rec->XUnit = SpecXNanometer;
    rec->YKind = SpecYTransmittance;
    PairList xs, ys;
    lines.Skip(3);
    while (lines.Next(l)) {
        if (isBlankLine(l)) continue;
        std::string_view xt = FieldAt(l, ';', 2), yt = FieldAt(l, ';', 4);
        if (xt.empty() && yt.empty()) continue;
        const double x = ReadNumberField(text, xt);
        xs.push_back(x);
        ys.push_back(ReadNumberField(text, yt));
    }
    if (!ResampleXYEitherOrder(xs, ys, *rec)) return;
    for (double& v : rec->Values) v = TransmittanceToStored(v, true, 1e-5, 5.0);
    append(list, std::move(rec));
}

enum class XColumn { Nm, Micrometer, Wavenumber, ElectronVolt, Unknown };

XColumn xColumnOf(std::string_view title) {
    if (title == "Wavelength [nm]") return XColumn::Nm;
    if (title == "Wavelength [\xC2\xB5m]") return XColumn::Micrometer;
    if (title == "Wavenumbers [1/cm]") return XColumn::Wavenumber;
    if (title == "Electron Volts [eV]") return XColumn::ElectronVolt;
    return XColumn::Unknown;
}

// |standard deviation / mean| of the differences of consecutive samples; infinite for a zero mean.
double relativeSpread(const std::array<double, 20>& samples) {
    const std::size_t n = samples.size() - 1;
    double mean = 0.0;
    for (std::size_t i = 0; i < n; ++i) mean += samples[i + 1] - samples[i];
    mean /= static_cast<double>(n);
    double ss = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        double dlt = samples[i + 1] - samples[i] - mean;
        ss += dlt * dlt;
    }
    double sd = std::sqrt(ss / static_cast<double>(n - 1));
    if (mean == 0.0) return std::numeric_limits<double>::infinity();
    return std::fabs(sd / mean);
}

// Where each tab-separated field of a line starts, found once per line.
class FieldStarts {
public:
    void split(std::string_view line) {
        line_ = line;
        starts_.assign(1, 0);
        ForEachByte(line, '\t', [&](std::size_t p) { starts_.push_back(p + 1); });
    }
    std::size_t count() const { return starts_.size(); }
    // Field n (from 1); empty beyond the line.
    std::string_view field(std::size_t n) const {
        if (n > starts_.size()) return {};
        const std::size_t b = starts_[n - 1];
        return line_.substr(b, n < starts_.size() ? starts_[n] - 1 - b : std::string_view::npos);
    }
    // Everything from field n's start to the line end.
    std::string_view rest(std::size_t n) const { return line_.substr(starts_[n - 1]); }

private:
    std::string_view line_;
    std::vector<std::size_t> starts_;
};

struct Column {
    PairList xs, ys;
};

void loadColumns(const MappedText& text, const Head& head, const std::string& path, const std::string& dateText,
                 TSpectraList& list) {
    if (head.count < 2) return;
    const std::string_view line0 = head.lines[0], line1 = head.lines[1];
    const auto t0 = std::count(line0.begin(), line0.end(), '\t');
    const auto t1 = std::count(line1.begin(), line1.end(), '\t');
    {
        std::string first(FieldAt(line1, '\t', 1));
        StripTrailingBlanks(first);
        StripLeadingBlanks(first);
        FixDecimalSeparator(first);
        auto p = first.find(numtext::decimalSeparator());
        if (p != std::string::npos) first.erase(p);
        if (!IsIntegerText(first) || t1 != t0) return;
    }

    // Our writer names its x columns; its µm and eV columns are not x candidates.
    const std::string titles = text.Utf8(line0);
    int nmField = 1, wnField = 2, xColumns = 2;
    {
        int recognised = 0;
        int nm = 0, wn = 0;
        for (int k = 1; k <= 3; ++k) {
            XColumn c = xColumnOf(FieldAt(titles, '\t', k));
            if (c == XColumn::Unknown) break;
            recognised = k;
            if (c == XColumn::Nm && nm == 0) nm = k;
            if (c == XColumn::Wavenumber && wn == 0) wn = k;
        }
        if (recognised >= 2 && nm > 0 && wn > 0) {
            nmField = nm;
            wnField = wn;
            xColumns = recognised;
        }
    }
    const long long m = static_cast<long long>(t1) - (xColumns - 1);
    if (m < 1) return;

    // The x column whose steps are the more regular, judged from 20 lines spread over the file.
    SpecXUnit xUnit = SpecXNanometer;
    const LineIndex index(text.Bytes());
    if (index.Count() > 20) {
        const std::size_t r = index.Count() / 20;
        std::array<double, 20> a{}, b{};
        std::string_view l;
        for (std::size_t s = 0; s < 20; ++s) {
            index.At(s * r + 1).Next(l);
            a[s] = ReadNumberField(text, FieldAt(l, '\t', nmField));
            b[s] = ReadNumberField(text, FieldAt(l, '\t', wnField));
        }
        xUnit = relativeSpread(b) >= relativeSpread(a) ? SpecXNanometer : SpecXWavenumber;
    }
    const std::size_t xField = static_cast<std::size_t>(xUnit == SpecXNanometer ? nmField : wnField);

    std::vector<Column> columns(static_cast<std::size_t>(m));
    // A value takes a line of at least four bytes, which bounds what a few columns can get.
    if (m <= 8) {
        const std::size_t bound = (text.Bytes().size() - head.line1) / 4 + 1;
        for (auto& c : columns) {
            c.xs.reserve(bound);
            c.ys.reserve(bound);
        }
    }
    FieldStarts f;
    LineCursor lines(text.Bytes(), head.line1);
    const std::size_t firstColumn = static_cast<std::size_t>(xColumns);
    for (std::string_view l; lines.Next(l);) {
        if (isBlankLine(l)) continue;
        f.split(l);
        const double x = ReadNumberField(text, f.field(xField));
        // Columns beyond the line's fields are missing, as "-" is.
        const std::size_t present =
            std::min<std::size_t>(static_cast<std::size_t>(m), f.count() > firstColumn ? f.count() - firstColumn : 0);
        for (std::size_t c = 1; c <= present; ++c) {
            std::string_view v = c == static_cast<std::size_t>(m) ? f.rest(firstColumn + c) : f.field(firstColumn + c);
            while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
            while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
            if (v.empty() || v == "-") continue;  // a missing field counts as "-"
            Column& col = columns[c - 1];
            const double y = ReadNumberField(text, v);
            col.xs.push_back(x);
            col.ys.push_back(y);
        }
    }

    // The column titles of line 0, split once.
    f.split(titles);
    for (std::size_t c = 1; c <= static_cast<std::size_t>(m); ++c) {
        Column& col = columns[c - 1];
        auto rec = newRecord(path, dateText);
        const std::size_t n = firstColumn + c;
        if (n <= f.count())
            rec->Title = std::string(c == static_cast<std::size_t>(m) || n == f.count() ? f.rest(n) : f.field(n));
        rec->SpecType = "ascii_dat";
        rec->SourceKind = 32;
        rec->XUnit = xUnit;
        rec->YKind = SpecYAbsorbance;
        if (!ResampleXYEitherOrder(col.xs, col.ys, *rec)) continue;
        col = Column{};
        if (xUnit == SpecXWavenumber) ReverseGrid(*rec);  // wavenumbers fall
        append(list, std::move(rec));
    }
}

void readDat(const MappedText& text, const std::string& path, const std::string& dateText, TSpectraList& list) {
    const Head head = headOf(text.Bytes());
    if (head.count > 4) {
        const std::string line4 = UpperAscii(text.Utf8(head.lines[4]));
        if (line4.find("WELLENL\xC3\x84NGE") != std::string::npos || line4.find("WELLENZAHL") != std::string::npos)
            return loadInstrument(text, path, dateText, list);
    }
    loadColumns(text, head, path, dateText, list);
}

}  // namespace

void LoadDatText(const std::string& text, const std::string& path, const std::string& dateText,
                 TSpectraList& list) {
    readDat(MappedText::FromUtf8(text), path, dateText, list);
}

void LoadDatLines(const std::vector<std::string>& lines, const std::string& path, const std::string& dateText,
                  TSpectraList& list) {
    std::string text;
    for (const auto& l : lines) {
        text += l;
        text += "\r\n";
    }
    LoadDatText(text, path, dateText, list);
}

void LoadDatFile(const std::string& path, TSpectraList& list, std::uint64_t maxBytes) {
    const MappedText text = MappedText::OpenFile(path, maxBytes, "DAT");
    readDat(text, path, DateTimeToText(FileDateTimeOf(path)), list);
}
