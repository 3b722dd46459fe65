#include "formats/text_spectra.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

enum class Layout { Pairs, OneX, Eem };

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

bool contains(const std::string& s, const char* sub) { return s.find(sub) != std::string::npos; }
// The title is one of the words (or part of the text) of a keyword list; empty never matches.
bool within(const std::string& title, const char* list) { return ContainsText(list, title); }

void scanKeywords(const std::string& copy, bool& wavenumber, bool& raman, bool& transmittance) {
    if (contains(copy, "1/CM")) wavenumber = true;
    std::string f = UpperAscii(removeChars(copy, "/\\ -_\t"));
    if (contains(f, "WAVENUMBER") || contains(f, "WELLENZAHLEN")) wavenumber = true;
    if (contains(f, "RAMAN")) raman = true;
    if (contains(f, "TRANSMISSION") || contains(f, "TRANSMITTANCE") || contains(f, "%T")) transmittance = true;
}

struct SpectrumData {
    std::optional<std::string> error;  // the first number that did not convert
    // The spectrum's points in line order. Kept per spectrum rather than in a lines-by-columns table,
    // so that memory follows the numbers present, not the lines times the columns a header promises.
    std::vector<double> xs, ys;
};

struct ColumnKinds {
    int32_t yKind;
    int32_t xUnit;
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

void temperatureFromTitle(const std::string& title, double& temperature) {
    std::string t = UpperAscii(Trim(title));
    if (t.size() >= 2 && t.compare(t.size() - 2, 2, "RT") == 0) temperature = 295.0;
    if (!t.empty() && t.back() == 'K') {
        for (std::size_t len : {2u, 3u, 4u}) {
            if (t.size() < len + 1) break;
            if (auto v = numtext::TryStrToInt(t.substr(t.size() - 1 - len, len))) temperature = *v;
        }
    }
}

}  // namespace

void LoadTextSpectraData(const std::string& data, const std::string& fileName, int mode,
                         const std::string& dateText, TSpectraList& list) {
    const std::vector<std::string_view> lines = SplitLineViews(data);
    const int count = static_cast<int>(lines.size());
    // Lines of the table get a closing separator (step 3); it is kept as a flag, not copied in.
    std::vector<char> closed(lines.size(), 0);

    // 1. Separator and decimal character from a probe line.
    int probe = 95;
    while (probe + 2 >= count && probe >= 0) probe -= 5;
    if (probe < 0) throw vx::ListIndexError(-5);
    char sep = numtext::listSeparator();
    char dec = numtext::decimalSeparator();
    {
        std::string_view p = lines[static_cast<std::size_t>(probe)];
        const bool D = p.find('.') != std::string_view::npos;
        const bool C = p.find(',') != std::string_view::npos;
        const bool S = p.find(';') != std::string_view::npos;
        if (D && C) {
            dec = '.';
            sep = ',';
        } else if (C && S) {
            dec = ',';
            sep = ';';
        } else if (D && S) {
            dec = '.';
            sep = ';';
        } else if (S) {
            dec = ',';
            sep = ';';
        } else if (p.find('\t') != std::string::npos || p.find(' ') != std::string::npos) {
            sep = p.find('\t') != std::string::npos ? '\t' : ' ';
            dec = D ? '.' : (C ? ',' : dec);
        }
    }

    // 2. First data line and the header keywords.
    bool wavenumber = false, raman = false, transmittance = false;
    int d = 0;
    for (int j = 0; j < count; ++j) {
        std::string copy(lines[static_cast<std::size_t>(j)]);
        std::replace(copy.begin(), copy.end(), 'X', '0');
        scanKeywords(copy, wavenumber, raman, transmittance);
        bool isData = false;
        auto p = copy.find(sep);
        std::string_view f1 = p == std::string::npos ? std::string_view() : std::string_view(copy).substr(0, p);
        if (IsWholeNumberBeforeDecimal(f1, dec)) {
            std::string_view rest = std::string_view(copy).substr(p + 1);
            std::string_view f2 = rest.substr(0, rest.find(sep));
            isData = IsWholeNumberBeforeDecimal(f2, dec);
        }
        d = j;
        if (isData && j >= 1) break;
    }

    // 3. Every line of the table ends with a separator.
    {
        std::size_t k = static_cast<std::size_t>(std::max(d - 2, 0));
        while (k < lines.size() && lines[k].empty()) ++k;
        for (; k < lines.size() && !lines[k].empty(); ++k)
            if (lines[k].back() != sep) closed[k] = 1;
    }
    auto fullLine = [&](int k) {
        std::string s(lines[static_cast<std::size_t>(k)]);
        if (closed[static_cast<std::size_t>(k)]) s += sep;
        return s;
    };
    const int nd = CountChar(sep, fullLine(d));

    // 4. Title line.
    int G = -1;
    for (int k = 0; k < d; ++k) {
        const std::string l = fullLine(k);
        int n = CountChar(sep, l);
        if (sep == '\t' && contains(l, "Sample")) ++n;
        if (n == nd || n == nd - 1) {
            G = k;
            break;
        }
    }
    const std::string line0(lines[0]);
    if (contains(line0, "Thorlabs")) G = -1;
    if (G >= 0) {
        const std::string l = fullLine(G);
        for (const char* w : {"PeakDirection", "Std.Dev.", "DataCalibAbs", "Absorbance_ABS", "Reflectance_ABS"})
            if (contains(l, w)) G = -1;
    }

    // 5. Layout and number of spectra.
    const int H = nd;
    if (H < 2) return;
    if (H > 5000) {
        ui::messageBox("Limited to 5000 spectra!");
        return;
    }
    Layout layout = Layout::Pairs;
    int c = 1;
    const int titleSource = G >= 0 ? G : d - 1;  // the line that names EEM excitation wavelengths
    if (H == 3) {
        layout = Layout::OneX;
        c = 2;
    } else if (H >= 4) {
        bool eem = false;
        if (contains(line0, "Wavelength") && titleSource >= 0) {
            const std::string l = fullLine(titleSource);
            // The fields after the first, walked once: a title line may hold far more fields than the table.
            int whole = 0;
            std::string_view rest(l);
            for (auto p = rest.find(sep); p != std::string_view::npos;) {
                rest.remove_prefix(p + 1);
                p = rest.find(sep);
                if (numtext::TryStrToInt(rest.substr(0, p))) ++whole;
            }
            eem = whole == H - 1;
        }
        if (eem) {
            layout = Layout::Eem;
            c = H - 1;
        } else {
            ui::Query q;
            q.dialog = "TChooseDia";
            q.caption = "Choose your data option!";
            q.fields["Label2"] = mode == 1 ? std::string("pasted from clipboard") : fileName;
            q.fields["RadioGroup1"] = "0";
            q.items = {"x  y  x  y  x  y", "x  y  y  y  y  y"};
            if (!ui::ask(q)) return;
            auto chosen = numtext::TryStrToInt(q.fields["RadioGroup1"]);
            if (!chosen || *chosen < 0) return;
            if (*chosen == 1) {
                layout = Layout::OneX;
                c = H - 1;
            } else {
                layout = Layout::Pairs;
                c = H / 2;
            }
        }
    }
    if (contains(line0, "Std.Dev.")) c = 1;

    // 6. Points of every spectrum, in one pass over the lines.
    std::vector<SpectrumData> spectra(static_cast<std::size_t>(c));
    const bool ownX = layout == Layout::Pairs;
    struct Field {
        std::size_t begin, end;
        bool hasX;
    };
    std::vector<Field> fields;
    auto noNumber = [](SpectrumData& sd, std::string_view text) {
        std::string t(text);
        FixDecimalSeparator(t);
        sd.error = t;
    };
    for (std::size_t li = static_cast<std::size_t>(d); li < lines.size(); ++li) {
        const std::string_view line = lines[li];
        // Field boundaries; whether a field holds a capital X is only looked at when the line has one.
        if (fields.size() < line.size() + 2) fields.resize(line.size() + 2);
        std::size_t fieldCount = 0;
        {
            Field* out = fields.data();
            std::size_t b = 0;
            ForEachByte(line, sep, [&](std::size_t i) {
                out[fieldCount++] = {b, i, false};
                b = i + 1;
            });
            out[fieldCount++] = {b, line.size(), false};
            if (closed[li]) out[fieldCount++] = {line.size(), line.size(), false};
            if (std::memchr(line.data(), 'X', line.size()) != nullptr)
                for (std::size_t k = 0; k < fieldCount; ++k)
                    out[k].hasX = line.substr(out[k].begin, out[k].end - out[k].begin).find('X') != std::string_view::npos;
        }
        const std::size_t sepCount = fieldCount - 1;
        if (sepCount == 0 || line.size() + static_cast<std::size_t>(closed[li]) <= sepCount) break;
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
            if (layout == Layout::Eem && sharedX == "-") sharedX = "0";
            sharedXOk = ParseNumberToken(sharedX, sharedXValue);
        }
        // Spectra whose y field lies beyond this line's fields get no point from it.
        const std::size_t reach = ownX ? fieldCount / 2 : fieldCount - 1;
        const int present = static_cast<int>(std::min(reach, static_cast<std::size_t>(c)));
        for (int I = 0; I < present; ++I) {
            SpectrumData& sd = spectra[static_cast<std::size_t>(I)];
            if (sd.error) continue;
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
                if (layout == Layout::OneX && fy && fy->hasX) continue;
                if (layout == Layout::Eem && sharedXHasX) continue;
                xs = sharedX;
                ys = textOf(fy);
                xOk = sharedXOk;
                x = sharedXValue;
            }
            if (layout == Layout::Eem && ys == "-") ys = "0";
            if (xs.empty() || ys.empty()) continue;
            if (!xOk) {
                noNumber(sd, xs);
                continue;
            }
            if (!ParseNumberToken(ys, y)) {
                noNumber(sd, ys);
                continue;
            }
            if (std::isnan(y)) continue;
            sd.xs.push_back(x);
            sd.ys.push_back(y);
        }
    }

    // 7. Starting units.
    int32_t startX = SpecXNanometer, startY = SpecYAbsorbance;
    if (c == 1) {
        startX = raman ? SpecXRamanShift : (wavenumber ? SpecXWavenumber : SpecXNanometer);
        if (transmittance) startY = SpecYTransmittance;
    }

    const std::string nameOnly = mode == 0 ? NameWithoutExtension(fileName) : std::string();
    for (int I = 0; I < c; ++I) {
        SpectrumData& sd = spectra[static_cast<std::size_t>(I)];
        if (sd.error) vx::throwNotFloat(*sd.error);
        auto rec = std::make_unique<TSpectrumRecord>();
        const bool last = I == c - 1;

        // 8. Legend title.
        std::string title;
        if (G == -1 && mode == 0) title = nameOnly;
        if (G >= 0) {
            const std::string g = fullLine(G);
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
            if (G == 3 && d == 9)
                title = std::string(last ? RestFrom(g, sep, 2 * I + 2) : FieldAt(g, sep, 2 * I + 2));
            if (layout == Layout::OneX && G < d - 1)
                title = std::string(last ? RestFrom(g, sep, I + 2) : FieldAt(g, sep, I + 2));
        }
        if (layout == Layout::Eem) {
            const std::string e = fullLine(titleSource);
            int32_t ex = numtext::StrToInt(FieldAt(e, sep, I + 2));
            rec->ExcitationWl = ex;
            title = "EEM Fluorescence, EX=" + std::to_string(ex);
        }
        if (title.empty() && mode == 0) title = nameOnly;
        title = std::string(trimBlanks(title));

        // 9. Temperature from the title.
        double temperature = -1.0;
        temperatureFromTitle(title, temperature);

        // 10. Grid.
        std::vector<double> xs = std::move(sd.xs), ys = std::move(sd.ys);
        if (xs.size() >= 2 && xs.front() > xs.back()) {
            std::reverse(xs.begin(), xs.end());
            std::reverse(ys.begin(), ys.end());
        }
        if (!ResampleXY(xs, ys, *rec)) continue;
        const double M = LargestNonNegative(rec->Values);

        // 11. Units from the column titles of line d - 1.
        ColumnKinds kinds{startY, startX};
        if (d >= 1) {
            const std::string t = fullLine(d - 1);
            int a = 1, b = 2;
            if (I >= 1) {
                if (layout == Layout::Pairs) {
                    a = 2 * I + 1;
                    b = 2 * I + 2;
                } else {
                    b = I + 2;
                }
            }
            std::string_view fa = FieldAt(t, sep, a), fb = FieldAt(t, sep, b);
            if (!fa.empty() || !fb.empty()) {
                std::string yTitle = UpperAscii(removeChars(fb, std::string("/\\ -_\"\t") + sep));
                applyYTitle(yTitle, kinds);
                std::string xTitle = removeChars(fa, "/\\ -_\t");
                if (xTitle.size() > 2) applyXTitle(UpperAscii(xTitle), kinds);
            }
        }

        // 12. Values by y kind.
        rec->Concentration = 0.0;
        rec->PathLength = 1.0;
        auto& vals = rec->Values;
        switch (kinds.yKind) {
        case SpecYTransmittance:
        case SpecYReflectance: {
            const bool percent = kinds.percent || M > 1.2;
            for (double& v : vals) v = TransmittanceToStored(v, percent, 1e-6, 6.0);
            break;
        }
        case SpecYEpsilon:
            rec->Concentration = 1e-5;
            for (double& v : vals) v *= rec->Concentration * rec->PathLength;
            break;
        case SpecYLogEpsilon:
            rec->Concentration = 1e-5;
            for (double& v : vals) v = Pow10Ext(v) * rec->Concentration * rec->PathLength;
            break;
        default: break;
        }
        rec->XUnit = kinds.xUnit;
        rec->YKind = kinds.yKind;

        // 13. nm and µm rise, wavenumbers and Raman shifts fall.
        if ((rec->StepX < 0 && (rec->XUnit == SpecXNanometer || rec->XUnit == SpecXMicrometer)) ||
            (rec->StepX > 0 && (rec->XUnit == SpecXWavenumber || rec->XUnit == SpecXRamanShift)))
            ReverseGrid(*rec);

        rec->FileName = mode == 0 ? fileName : std::string("cliptmp");
        rec->Title = title;
        rec->SpecType = (G == 0 && d == 2) ? "cary50_csv" : "generic_csv";
        rec->DateText = dateText;
        rec->Temperature = temperature;
        rec->ExposureTime = -1.0;
        if (layout != Layout::Eem) rec->ExcitationWl = -1.0;
        rec->SourceKind = SpecSourceText;
        rec->LineWidth = 1;
        rec->LineStyle = 0;
        if (!rec->IsComplete()) continue;
        rec->Color = CurveColor(list.Count() + 1);
        list.Add(std::move(rec));
    }
}

void LoadTextSpectra(const std::string& text, int mode, TSpectraList& list) {
    if (mode == 0)
        LoadTextSpectraData(LoadFileText(text), text, 0, DateTimeToText(FileDateTimeOf(text)), list);
    else
        LoadTextSpectraData(text, std::string(), 1, DateTimeToText(0.0), list);
}

void LoadTextSpectraFile(const std::string& path, TSpectraList& list) { LoadTextSpectra(path, 0, list); }

void LoadTextSpectraFromClipboard(TSpectraList& list) { LoadTextSpectra(ui::clipboardText(), 1, list); }
