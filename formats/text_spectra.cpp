#include "formats/text_spectra.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/binary_values.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

enum class Layout { Pairs, OneX, Eem };

// A header line as the later steps read it: UTF-8, with the closing separator it gets in step 3.
struct HeaderLine {
    int index = -1;
    std::string text;
};

// What the header says about the table, found step by step and then used to read and name the spectra.
struct TableShape {
    char sep = ',';
    char dec = '.';
    int firstData = 0;          // d: the first data line (the last line when there is none)
    std::size_t dataStart = 0;  // byte offset of line d
    int titleLine = -1;         // G: the line that names the spectra, -1 for none
    int fields = 0;             // H: separators in line d
    Layout layout = Layout::Pairs;
    int spectra = 0;  // c
    bool wavenumber = false, raman = false, transmittance = false;
    // Non-empty lines from `closeFrom` up to the first empty line end with a separator.
    int closeFrom = 0;
    int closeTo = std::numeric_limits<int>::max();
    std::string line0;
    HeaderLine title;   // line G
    HeaderLine units;   // line d - 1: the column titles
    HeaderLine counts;  // line G, else line d - 1: its fields name EEM excitation wavelengths
};

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string removeChars(std::string_view s, std::string_view drop) {
    std::string out;
    for (char c : s)
        if (drop.find(c) == std::string_view::npos) out += c;
    return out;
}

bool contains(std::string_view s, const char* sub) { return s.find(sub) != std::string_view::npos; }
// The title is one of the words (or part of the text) of a keyword list; empty never matches.
bool within(const std::string& title, const char* list) { return ContainsText(list, title); }

bool closesAt(const TableShape& t, int k, std::string_view line) {
    return k >= t.closeFrom && k < t.closeTo && !line.empty() && line.back() != t.sep;
}

HeaderLine headerLine(const MappedText& text, const TableShape& t, int k, std::string_view line) {
    HeaderLine h{k, text.Utf8(line)};
    if (closesAt(t, k, line)) h.text += t.sep;
    return h;
}

int separatorsIn(const TableShape& t, int k, std::string_view line) {
    return static_cast<int>(std::count(line.begin(), line.end(), t.sep)) + (closesAt(t, k, line) ? 1 : 0);
}

bool holdsDigit(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The last line of the text that holds a digit; empty when none does.
std::string_view lastLineWithDigit(std::string_view bytes) {
    for (std::size_t end = bytes.size(); end > 0;) {
        const std::size_t lineEnd = bytes.find_last_of("\r\n", end - 1);
        const std::size_t start = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
        const std::string_view line = bytes.substr(start, end - start);
        if (holdsDigit(line)) return line;
        if (lineEnd == std::string_view::npos) break;
        end = lineEnd;
    }
    return {};
}

// Step 1: separator and decimal character from a probe line, the largest of 95, 90, 85, ... with two
// lines after it. A probe line without a digit (the column titles of a table of fewer than eight lines)
// tells nothing of the numbers: the last line that holds one is probed instead.
void guessSeparators(std::string_view bytes, TableShape& t) {
    std::array<std::string_view, 20> probes{};  // lines 0, 5, ..., 95
    int count = 0;
    LineCursor lines(bytes);
    for (std::string_view line; count < 98 && lines.Next(line); ++count)
        if (count % 5 == 0) probes[static_cast<std::size_t>(count / 5)] = line;
    int probe = 95;
    while (probe + 2 >= count && probe >= 0) probe -= 5;
    if (probe < 0) throw vx::ListIndexError(-5);
    t.sep = numtext::listSeparator();
    t.dec = numtext::decimalSeparator();
    std::string_view p = probes[static_cast<std::size_t>(probe / 5)];
    if (!holdsDigit(p)) {
        const std::string_view last = lastLineWithDigit(bytes);
        if (!last.empty()) p = last;
    }
    const bool D = contains(p, "."), C = contains(p, ","), S = contains(p, ";");
    if (D && C) {
        t.dec = '.';
        t.sep = ',';
    } else if (C && S) {
        t.dec = ',';
        t.sep = ';';
    } else if (D && S) {
        t.dec = '.';
        t.sep = ';';
    } else if (S) {
        t.dec = ',';
        t.sep = ';';
    } else if (contains(p, "\t") || contains(p, " ")) {
        t.sep = contains(p, "\t") ? '\t' : ' ';
        t.dec = D ? '.' : (C ? ',' : t.dec);
    }
}

void scanKeywords(std::string_view line, std::string& scratch, TableShape& t) {
    if (contains(line, "1/CM")) t.wavenumber = true;
    scratch.clear();
    for (char c : line)
        if (c != '/' && c != '\\' && c != ' ' && c != '-' && c != '_' && c != '\t')
            scratch += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (contains(scratch, "WAVENUMBER") || contains(scratch, "WELLENZAHLEN")) t.wavenumber = true;
    if (contains(scratch, "RAMAN")) t.raman = true;
    if (contains(scratch, "TRANSMISSION") || contains(scratch, "TRANSMITTANCE") || contains(scratch, "%T"))
        t.transmittance = true;
}

// A field that starts a data line: with every "X" read as "0", a whole number before its decimal sign.
bool wholeNumberField(std::string_view field, char dec, std::string& scratch) {
    scratch.assign(field);
    std::replace(scratch.begin(), scratch.end(), 'X', '0');
    return IsWholeNumberBeforeDecimal(scratch, dec);
}

bool isDataLine(std::string_view line, const TableShape& t, std::string& scratch) {
    const auto p = line.find(t.sep);
    if (p == std::string_view::npos || !wholeNumberField(line.substr(0, p), t.dec, scratch)) return false;
    const std::string_view rest = line.substr(p + 1);
    return wholeNumberField(rest.substr(0, rest.find(t.sep)), t.dec, scratch);
}

// A line whose every field is a number (a closing separator may end it): data even as the first line,
// which otherwise is taken for the title line. A headerless file thus keeps its first point.
bool onlyNumbers(std::string_view line, char sep) {
    if (line.find(sep) == std::string_view::npos) return false;
    if (line.back() == sep) line.remove_suffix(1);
    for (;;) {
        const auto p = line.find(sep);
        double v = 0.0;
        if (!ParseNumberToken(line.substr(0, p), v)) return false;
        if (p == std::string_view::npos) return true;
        line.remove_prefix(p + 1);
    }
}

// Steps 2 and 3: the first data line, the header keywords of every line up to it, the lines that get a
// closing separator, and the column titles above the data.
void findFirstDataLine(const MappedText& text, TableShape& t) {
    LineCursor lines(text.Bytes());
    std::string scratch;
    std::array<std::string_view, 3> recent{};  // lines d - 2, d - 1, d
    std::string_view line;
    int j = 0;
    for (; lines.Next(line); ++j) {
        recent[0] = recent[1];
        recent[1] = recent[2];
        recent[2] = line;
        scanKeywords(line, scratch, t);
        t.firstData = j;
        t.dataStart = static_cast<std::size_t>(line.data() - text.Bytes().data());
        if ((j >= 1 || onlyNumbers(line, t.sep)) && isDataLine(line, t, scratch)) break;
    }
    const int d = t.firstData;
    // Step 3: from line max(d - 2, 0), past empty lines, up to the next empty one.
    auto at = [&](int k) { return recent[static_cast<std::size_t>(2 - (d - k))]; };
    int k = std::max(d - 2, 0);
    while (k <= d && at(k).empty()) ++k;
    t.closeFrom = k;
    while (k <= d && !at(k).empty()) ++k;
    if (k <= d) t.closeTo = k;
    if (d >= 1) t.units = headerLine(text, t, d - 1, at(d - 1));
}

// Step 4: the title line, the first above the data with as many fields as the data or one fewer.
void findTitleLine(const MappedText& text, TableShape& t) {
    LineCursor lines(text.Bytes());
    std::string_view line;
    lines.Next(line);
    t.line0 = text.Utf8(line);
    std::string_view dataLine;
    LineCursor(text.Bytes(), t.dataStart).Next(dataLine);
    t.fields = separatorsIn(t, t.firstData, dataLine);
    lines.Seek(0);
    for (int k = 0; k < t.firstData && lines.Next(line); ++k) {
        int n = separatorsIn(t, k, line);
        if (t.sep == '\t' && contains(line, "Sample")) ++n;
        if (n == t.fields || n == t.fields - 1) {
            t.titleLine = k;
            t.title = headerLine(text, t, k, line);
            break;
        }
    }
    if (contains(t.line0, "Thorlabs")) t.titleLine = -1;
    if (t.titleLine >= 0)
        for (const char* w : {"PeakDirection", "Std.Dev.", "DataCalibAbs", "Absorbance_ABS", "Reflectance_ABS"})
            if (contains(t.title.text, w)) t.titleLine = -1;
    t.counts = t.titleLine >= 0 ? t.title : t.units;
}

// Step 5: layout and number of spectra; asks the user when the columns do not tell. False: read nothing.
bool chooseLayout(TableShape& t, const std::string& fileName, int mode) {
    const int H = t.fields;
    if (H < 2) return false;
    if (H > 5000) {
        ui::messageBox("Limited to 5000 spectra!");
        return false;
    }
    t.layout = Layout::Pairs;
    t.spectra = 1;
    if (H == 3) {
        t.layout = Layout::OneX;
        t.spectra = 2;
    } else if (H >= 4) {
        bool eem = false;
        if (contains(t.line0, "Wavelength") && t.counts.index >= 0) {
            // The fields after the first, walked once: a title line may hold far more fields than the table.
            int whole = 0;
            std::string_view rest(t.counts.text);
            for (auto p = rest.find(t.sep); p != std::string_view::npos;) {
                rest.remove_prefix(p + 1);
                p = rest.find(t.sep);
                if (numtext::TryStrToInt(rest.substr(0, p))) ++whole;
            }
            eem = whole == H - 1;
        }
        if (eem) {
            t.layout = Layout::Eem;
            t.spectra = H - 1;
        } else {
            ui::Query q;
            q.dialog = "TChooseDia";
            q.caption = "Choose your data option!";
            q.fields["Label2"] = mode == 1 ? std::string("pasted from clipboard") : fileName;
            q.fields["RadioGroup1"] = "0";
            q.items = {"x  y  x  y  x  y", "x  y  y  y  y  y"};
            if (!ui::ask(q)) return false;
            auto chosen = numtext::TryStrToInt(q.fields["RadioGroup1"]);
            if (!chosen || *chosen < 0) return false;
            if (*chosen == 1) {
                t.layout = Layout::OneX;
                t.spectra = H - 1;
            } else {
                t.layout = Layout::Pairs;
                t.spectra = H / 2;
            }
        }
    }
    if (contains(t.line0, "Std.Dev.")) t.spectra = 1;
    return true;
}

struct SpectrumPoints {
    std::optional<std::string> error;  // the first number that did not convert
    // The spectrum's points in line order. Kept per spectrum rather than in a lines-by-columns table,
    // so that memory follows the numbers present, not the lines times the columns a header promises.
    PairList xs, ys;
    binvalues::FaultAhead xsAhead, ysAhead;
};

struct Field {
    std::size_t begin, end;
    bool hasX;
};

// Step 6: the points of every spectrum, in one pass over the lines from d on.
std::vector<SpectrumPoints> readPoints(const MappedText& text, const TableShape& t) {
    std::vector<SpectrumPoints> spectra(static_cast<std::size_t>(t.spectra));
    // A point takes a line of at least four bytes ("1;2" and its ending), which bounds the points a few
    // spectra can get by the bytes present; wide tables grow their lists instead.
    if (t.spectra <= 8) {
        const std::size_t bound = (text.Bytes().size() - t.dataStart) / 4 + 1;
        for (auto& sp : spectra) {
            sp.xs.reserve(bound);
            sp.ys.reserve(bound);
        }
    }
    const bool ownX = t.layout == Layout::Pairs;
    const bool eem = t.layout == Layout::Eem;
    std::vector<Field> fields;
    auto noNumber = [&](SpectrumPoints& sp, std::string_view field) {
        std::string s = text.Utf8(field);
        FixDecimalSeparator(s);
        sp.error = s;
    };
    LineCursor lines(text.Bytes(), t.dataStart);
    std::string_view line;
    for (int li = t.firstData; lines.Next(line); ++li) {
        const bool closed = closesAt(t, li, line);
        // Field boundaries; whether a field holds a capital X is only looked at when the line has one.
        if (fields.size() < line.size() + 2) fields.resize(line.size() + 2);
        std::size_t fieldCount = 0;
        {
            Field* out = fields.data();
            std::size_t b = 0;
            ForEachByte(line, t.sep, [&](std::size_t i) {
                out[fieldCount++] = {b, i, false};
                b = i + 1;
            });
            out[fieldCount++] = {b, line.size(), false};
            if (closed) out[fieldCount++] = {line.size(), line.size(), false};
            if (std::memchr(line.data(), 'X', line.size()) != nullptr)
                for (std::size_t k = 0; k < fieldCount; ++k)
                    out[k].hasX = line.substr(out[k].begin, out[k].end - out[k].begin).find('X') != std::string_view::npos;
        }
        const std::size_t sepCount = fieldCount - 1;
        if (sepCount == 0 || line.size() + (closed ? 1 : 0) <= sepCount) break;
        if (sepCount < 2) continue;
        auto field = [&](int k) -> const Field* {  // k from 1; nullptr beyond the line
            return k >= 1 && static_cast<std::size_t>(k) <= fieldCount ? &fields[static_cast<std::size_t>(k) - 1]
                                                                       : nullptr;
        };
        auto textOf = [&](const Field* f) {
            return f ? trimBlanks(line.substr(f->begin, f->end - f->begin)) : std::string_view();
        };
        // A shared x column is parsed once per line.
        std::string_view sharedX;
        bool sharedXOk = false, sharedXHasX = false;
        double sharedXValue = 0.0;
        if (!ownX) {
            const Field* f = field(1);
            sharedXHasX = f->hasX;
            sharedX = textOf(f);
            if (eem && sharedX == "-") sharedX = "0";
            sharedXOk = ParseNumberToken(sharedX, sharedXValue);
        }
        // Spectra whose y field lies beyond this line's fields get no point from it.
        const std::size_t reach = ownX ? fieldCount / 2 : fieldCount - 1;
        const int present = static_cast<int>(std::min(reach, static_cast<std::size_t>(t.spectra)));
        for (int I = 0; I < present; ++I) {
            SpectrumPoints& sp = spectra[static_cast<std::size_t>(I)];
            if (sp.error) continue;
            std::string_view xs, ys;
            double x = 0.0, y = 0.0;
            bool xOk = false;
            if (ownX) {
                const Field* fx = field(2 * I + 1);
                const Field* fy = field(2 * I + 2);
                if ((fx && fx->hasX) || (fy && fy->hasX)) continue;
                xs = textOf(fx);
                ys = textOf(fy);
                if (!xs.empty()) xOk = ParseNumberToken(xs, x);
            } else {
                const Field* fy = field(I + 2);
                if (t.layout == Layout::OneX && fy && fy->hasX) continue;
                if (eem && sharedXHasX) continue;
                xs = sharedX;
                ys = textOf(fy);
                xOk = sharedXOk;
                x = sharedXValue;
            }
            if (eem && ys == "-") ys = "0";
            if (xs.empty() || ys.empty()) continue;
            if (!xOk) {
                noNumber(sp, xs);
                continue;
            }
            if (!ParseNumberToken(ys, y)) {
                noNumber(sp, ys);
                continue;
            }
            if (std::isnan(y)) continue;
            sp.xs.push_back(x);
            sp.ys.push_back(y);
            sp.xsAhead(sp.xs);
            sp.ysAhead(sp.ys);
        }
    }
    return spectra;
}

struct ColumnKinds {
    SpecYKind yKind;
    SpecXUnit xUnit;
    bool percent = false;
};

void applyYTitle(const std::string& t, ColumnKinds& k) {
    if (within(t, "TRANSMISSION TRANSMITTANCE TRANS. %T T%")) k.yKind = SpecYTransmittance;
    if (within(t, "COUNTS INT. REL. INT. RELATIVE INTENSITAET INTENSIT\xC3\x84T RELATIVE INTENSITY AU A.U. "
                  "A. U. ARBITRARY UNITS"))
        k.yKind = SpecYIntensity;
    if (within(t, "A ABS ABS. ABSORBANCE EXTINKTION EXT.")) k.yKind = SpecYAbsorbance;
    if (contains(t, "ABSORBANCE") || contains(t, "ABSORPTION")) k.yKind = SpecYAbsorbance;
    if (contains(t, "REFLECTANCE") || contains(t, "REFLEKTION")) k.yKind = SpecYReflectance;
    if (contains(t, "%T") || contains(t, "T%")) {
        k.yKind = SpecYTransmittance;
        k.percent = true;
    }
    if (contains(t, "%R") || contains(t, "R%")) {
        k.yKind = SpecYReflectance;
        k.percent = true;
    }
    if (contains(t, "TRANSMITTANCE") || contains(t, "TRANSMISSION")) k.yKind = SpecYTransmittance;
    if (contains(t, "EMISSION")) k.yKind = SpecYIntensity;
    if (within(t, "EPSILON EPS.")) k.yKind = SpecYEpsilon;
    // Only a logarithm title means the logarithm ("EPSILON" is part of "LOG(EPSILON)").
    if (contains(t, "LOG") && within(t, "LOG(EPSILON) LOGEPS LOG(EPS) LOG(EPS.)")) k.yKind = SpecYLogEpsilon;
}

void applyXTitle(const std::string& t, ColumnKinds& k) {
    if (within(t, "WAVELENGTH [\xC2\xB5M] (\xC2\xB5M) WELLENLAENGEN WELLENL\xC3\x84NGE MIKROMETERS MICROMETRE "
                  "MICROMETRES MICROMETERS MICRONS"))
        k.xUnit = SpecXMicrometer;
    if (within(t, "WAVELENGTH [NM] (NM) WELLENLAENGEN WELLENL\xC3\x84NGE NANOMETERS NANOMETRE"))
        k.xUnit = SpecXNanometer;
    if (within(t, " WAVENUMBERS 1/CM WELLENZAHLEN CM-1 CM^-1 ")) k.xUnit = SpecXWavenumber;
    if (within(t, " RAMANSHIFT 1/CM RAMAN SHIFT ramanshift CM^-1")) {
        k.xUnit = SpecXRamanShift;
        k.yKind = SpecYIntensity;
    }
    if (contains(t, "WAVELENGTH")) k.xUnit = SpecXNanometer;
    if (contains(t, "WAVENUMBERS")) k.xUnit = SpecXWavenumber;
    if (contains(t, "RAMAN")) {
        k.xUnit = SpecXRamanShift;
        k.yKind = SpecYIntensity;
    }
}

// Step 7: the units a single spectrum starts with, from the header keywords.
ColumnKinds startingUnits(const TableShape& t) {
    ColumnKinds k{SpecYAbsorbance, SpecXNanometer};
    if (t.spectra == 1) {
        k.xUnit = t.raman ? SpecXRamanShift : (t.wavenumber ? SpecXWavenumber : SpecXNanometer);
        if (t.transmittance) k.yKind = SpecYTransmittance;
    }
    return k;
}

// Step 8: the legend title of spectrum I; EEM columns also give their excitation wavelength.
std::string legendTitle(const TableShape& t, int I, int mode, const std::string& nameOnly, double& excitation) {
    const bool last = I == t.spectra - 1;
    const int G = t.titleLine, d = t.firstData;
    const char sep = t.sep;
    std::string title;
    if (G == -1 && mode == 0) title = nameOnly;
    if (G >= 0) {
        const std::string& g = t.title.text;
        if (G + 2 == d) {
            title = std::string(FieldAt(g, sep, 2 * I + 1));
            if (title.empty()) title = std::string(FieldAt(g, sep, 2 * I + 2));
        }
        if (G == 5) {
            if (last) {
                title = std::string(RestFrom(g, sep, 2 * I + 2));
                if (!title.empty()) title.pop_back();
            } else {
                title = std::string(FieldAt(g, sep, 2 * I + 2));
            }
        }
        // A last title runs to the line end, but not into the separator that closes the line (read or
        // added): it ends the cell, and a table of ours would otherwise read its last title back as "name,".
        const auto rest = [&](int field) {
            std::string_view r = RestFrom(g, sep, field);
            if (!r.empty() && r.back() == sep) r.remove_suffix(1);
            return std::string(r);
        };
        if (G == 3 && d == 9) title = last ? rest(2 * I + 2) : std::string(FieldAt(g, sep, 2 * I + 2));
        if (t.layout == Layout::OneX && G < d - 1) title = last ? rest(I + 2) : std::string(FieldAt(g, sep, I + 2));
    }
    if (t.layout == Layout::Eem) {
        const int32_t ex = numtext::StrToInt(FieldAt(t.counts.text, sep, I + 2));
        excitation = ex;
        title = "EEM Fluorescence, EX=" + std::to_string(ex);
    }
    if (title.empty() && mode == 0) title = nameOnly;
    // Blanks and tabs around it go (a last title runs to the line end, tabs included).
    std::string_view trimmed(title);
    while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t')) trimmed.remove_prefix(1);
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
    return std::string(trimmed);
}

// Step 9: a title ending in "RT" means 295 K; one ending in a number and "K" gives that number.
double temperatureFromTitle(const std::string& title) {
    double temperature = -1.0;
    std::string s = UpperAscii(Trim(title));
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, "RT") == 0) temperature = 295.0;
    if (!s.empty() && s.back() == 'K') {
        for (std::size_t len : {2u, 3u, 4u}) {
            if (s.size() < len + 1) break;
            if (auto v = numtext::TryStrToInt(s.substr(s.size() - 1 - len, len))) temperature = *v;
        }
    }
    return temperature;
}

// Step 11: x unit and y kind from the column titles of line d - 1.
ColumnKinds unitsFromColumnTitles(const TableShape& t, int I, ColumnKinds kinds) {
    if (t.firstData < 1) return kinds;
    int a = 1, b = 2;
    if (I >= 1) {
        if (t.layout == Layout::Pairs) {
            a = 2 * I + 1;
            b = 2 * I + 2;
        } else {
            b = I + 2;
        }
    }
    const std::string& line = t.units.text;
    std::string_view fa = FieldAt(line, t.sep, a), fb = FieldAt(line, t.sep, b);
    if (fa.empty() && fb.empty()) return kinds;
    applyYTitle(UpperAscii(removeChars(fb, std::string("/\\ -_\"\t") + t.sep)), kinds);
    std::string xTitle = removeChars(fa, "/\\ -_\t");
    if (xTitle.size() > 2) applyXTitle(UpperAscii(xTitle), kinds);
    return kinds;
}

// Step 12: values to the stored form of their y kind.
void storeValues(const ColumnKinds& kinds, double largest, TSpectrumRecord& rec) {
    rec.Concentration = 0.0;
    rec.PathLength = 1.0;
    auto& vals = rec.Values;
    switch (kinds.yKind) {
    case SpecYTransmittance:
    case SpecYReflectance: {
        const bool percent = kinds.percent || largest > 1.2;
        for (double& v : vals) v = TransmittanceToStored(v, percent, 1e-6, 6.0);
        break;
    }
    case SpecYEpsilon:
    case SpecYLogEpsilon:
        EpsilonToStored(rec, kinds.yKind == SpecYLogEpsilon);  // a value that overflows fails IsComplete
        break;
    default: break;
    }
    rec.XUnit = kinds.xUnit;
    rec.YKind = kinds.yKind;
}

// Steps 7 to 13 for spectrum I: nothing when its points give no record.
std::unique_ptr<TSpectrumRecord> buildSpectrum(const TableShape& t, int I, SpectrumPoints& points, int mode,
                                               const std::string& fileName, const std::string& dateText) {
    auto rec = std::make_unique<TSpectrumRecord>();
    double excitation = -1.0;
    const std::string title =
        legendTitle(t, I, mode, mode == 0 ? NameWithoutExtension(fileName) : std::string(), excitation);
    const double temperature = temperatureFromTitle(title);

    // Step 10: the grid.
    PairList xs = std::move(points.xs), ys = std::move(points.ys);
    if (!ResampleXYEitherOrder(xs, ys, *rec)) return nullptr;
    storeValues(unitsFromColumnTitles(t, I, startingUnits(t)), LargestNonNegative(rec->Values), *rec);

    // Step 13: nm and µm rise, wavenumbers and Raman shifts fall.
    if ((rec->StepX < 0 && (rec->XUnit == SpecXNanometer || rec->XUnit == SpecXMicrometer)) ||
        (rec->StepX > 0 && (rec->XUnit == SpecXWavenumber || rec->XUnit == SpecXRamanShift)))
        ReverseGrid(*rec);

    rec->FileName = mode == 0 ? fileName : std::string("cliptmp");
    rec->Title = title;
    rec->SpecType = (t.titleLine == 0 && t.firstData == 2) ? "cary50_csv" : "generic_csv";
    rec->DateText = dateText;
    rec->Temperature = temperature;
    rec->ExposureTime = -1.0;
    rec->ExcitationWl = excitation;
    rec->SourceKind = SpecSourceText;
    rec->LineWidth = 1;
    rec->LineStyle = 0;
    if (!rec->IsComplete()) return nullptr;
    return rec;
}

void readTextSpectra(const MappedText& text, const std::string& fileName, int mode, const std::string& dateText,
                     TSpectraList& list) {
    TableShape t;
    guessSeparators(text.Bytes(), t);
    findFirstDataLine(text, t);
    findTitleLine(text, t);
    if (!chooseLayout(t, fileName, mode)) return;
    std::vector<SpectrumPoints> points = readPoints(text, t);
    for (int I = 0; I < t.spectra; ++I) {
        SpectrumPoints& p = points[static_cast<std::size_t>(I)];
        if (p.error) vx::throwNotFloat(*p.error);
        auto rec = buildSpectrum(t, I, p, mode, fileName, dateText);
        if (!rec) continue;
        // Step 14.
        rec->Color = CurveColor(list.Count() + 1);
        list.Add(std::move(rec));
    }
}

}  // namespace

void LoadTextSpectraData(const std::string& data, const std::string& fileName, int mode,
                         const std::string& dateText, TSpectraList& list) {
    readTextSpectra(MappedText::FromUtf8(data), fileName, mode, dateText, list);
}

namespace {

// Pasted text is no file: it has neither a name nor a date, nor a size to refuse.
void readPasted(const std::string& text, TSpectraList& list) {
    LoadTextSpectraData(text, std::string(), 1, DateTimeToText(0.0), list);
}

}  // namespace

void LoadTextSpectra(const std::string& text, int mode, TSpectraList& list, std::uint64_t maxBytes) {
    if (mode == 0) {
        const MappedText file = MappedText::OpenFile(text, maxBytes, "CSV");
        readTextSpectra(file, text, 0, DateTimeToText(FileDateTimeOf(text)), list);
    } else {
        readPasted(text, list);
    }
}

void LoadTextSpectraFile(const std::string& path, TSpectraList& list, std::uint64_t maxBytes) {
    LoadTextSpectra(path, 0, list, maxBytes);
}

void LoadTextSpectraFromClipboard(TSpectraList& list) { readPasted(ui::clipboardText(), list); }
