#include "formats/jcamp_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Labels are compared without blanks, "-", "/", "\", "_" and tabs, upper-cased.
std::string labelForm(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == '/' || c == '\\' || c == ' ' || c == '-' || c == '_' || c == '\t') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::string cutComment(std::string_view view) {
    std::string s(view);
    auto p = s.find("$$");
    if (p != std::string::npos) s.erase(p);
    return s;
}

std::string labelValue(std::string_view line, bool cut, bool noQuotes) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    std::string v(line.substr(eq + 1));
    if (cut) v = cutComment(v);
    if (noQuotes) v.erase(std::remove(v.begin(), v.end(), '"'), v.end());
    return Trim(v);
}

bool readReal(std::string_view line, double& out) {
    std::string v = labelValue(line, true, true);
    return ParseNumberToken(v, out);
}

bool isSubstringOf(const std::string& text, const std::string& list) { return ContainsText(list, text); }

// Characters of the compressed table forms (squeezed, difference and duplicate digits).
bool isCompressedToken(std::string_view tok) {
    if (tok.empty()) return false;
    if (tok[0] == 'E' || tok[0] == 'e') return true;
    for (char c : tok) {
        if (c == '@' || c == '%') return true;
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter && c != 'E' && c != 'e') return true;
    }
    return false;
}

// Splits a packed data line: blanks, tabs, and commas followed by a blank, a sign or the line end
// separate numbers, and a sign starts a new number unless it follows an exponent "E" or "e".
void tokenizePacked(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    std::size_t start = std::string_view::npos;
    auto flush = [&](std::size_t end) {
        if (start != std::string_view::npos && end > start) out.push_back(line.substr(start, end - start));
        start = std::string_view::npos;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            flush(i);
            continue;
        }
        if (c == ',') {
            const char nx = i + 1 < line.size() ? line[i + 1] : ' ';
            if (nx == ' ' || nx == '+' || nx == '-' || nx == '\t') {
                flush(i);
                continue;
            }
        }
        if ((c == '+' || c == '-') && start != std::string_view::npos &&
            !(line[i - 1] == 'E' || line[i - 1] == 'e'))
            flush(i);
        if (start == std::string_view::npos) start = i;
    }
    flush(line.size());
}

struct Block {
    double xFactor = 1.0, yFactor = 1.0;
    double firstX = kNaN, lastX = kNaN, deltaX = kNaN;
    long long nPoints = -1;
    std::string xUnits, yUnits, origin, tableForm, dataClass = "xydata";
    bool classEmptied = false;
    std::string comment1, comment2, legend;
    std::string date, time, longDate;
    bool haveDate = false, haveTime = false, haveLongDate = false;
    int32_t xUnit = SpecXNanometer;
};

enum class XRule { Nm, Wavenumber };

class Reader {
public:
    Reader(const std::string& text, const std::string& path, const std::string& fileDate, TSpectraList& list)
        : text_(text), path_(path), fileDate_(fileDate), list_(list), lines_(SplitLineViews(text)) {}

    void run();

private:
    const std::string& text_;
    const std::string& path_;
    const std::string& fileDate_;
    TSpectraList& list_;
    std::vector<std::string_view> lines_;  // views into text_
    bool fluorescence_ = false;
    std::string firstTitle_;
    int32_t firstRecordIndex_ = -1;
    std::vector<std::string_view> tokens_;

    int blockCount() const;
    std::size_t nextLabelLine(std::size_t from) const;
    void refuse() const;
    std::size_t readPacked(std::size_t start, const Block& b, std::vector<double>& values, double& tFirst,
                           double& tLast, bool& compressed);
    std::size_t readPairs(std::size_t start, const Block& b, bool xyPoints, std::vector<XYPair>& pairs,
                          std::vector<double>& values);
};

int Reader::blockCount() const {
    int blocks = 1;
    for (std::size_t i = 0; i + 1 < lines_.size(); ++i) {
        std::string form = labelForm(lines_[i]);
        if (form.find("##BLOCKS=") != std::string::npos) {
            std::string v = labelValue(lines_[i], true, true);
            if (auto n = numtext::TryStrToInt(v)) blocks = *n;
        }
        if (form.find("##XYDATA=") != std::string::npos || form.find("##XYPAIRS=") != std::string::npos ||
            form.find("##XYPOINTS=") != std::string::npos)
            break;
    }
    int count = CountSubstring("##XY", text_);
    if (count == 0) count = CountSubstring("## XY", text_);
    if (count != 0 && count < blocks) blocks = count;
    return std::max(blocks, 1);
}

std::size_t Reader::nextLabelLine(std::size_t from) const {
    while (from < lines_.size() && lines_[from].find("##") == std::string_view::npos) ++from;
    return from;
}

void Reader::refuse() const {
    ui::messageBox(path_ + "\r\n\r\ncan not be read by Varolux32!", "Varolux32", ui::Buttons::Ok,
                   ui::Icon::Information);
}

std::size_t Reader::readPacked(std::size_t i, const Block& b, std::vector<double>& values, double& tFirst,
                               double& tLast, bool& compressed) {
    bool first = true;
    double running = 0.0;
    compressed = false;
    for (; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        if (line.find("##") != std::string_view::npos) break;
        std::string_view view(line);
        auto cut = view.find("$$");
        if (cut != std::string_view::npos) view = view.substr(0, cut);
        tokenizePacked(view, tokens_);
        if (tokens_.empty()) continue;
        double x = 0.0;
        if (!ParseNumberToken(tokens_[0], x)) {
            if (isCompressedToken(tokens_[0])) {
                compressed = true;
                return nextLabelLine(i);
            }
            x = ReadNumberToken(tokens_[0]);
        }
        x *= b.xFactor;
        if (first) {
            tFirst = x;
            first = false;
        }
        running = x;
        for (std::size_t k = 1; k < tokens_.size(); ++k) {
            double y = 1.0;
            if (!ParseNumberToken(tokens_[k], y)) {
                // The compressed forms' digit letters are not read as numbers.
                if (isCompressedToken(tokens_[k])) {
                    compressed = true;
                    return nextLabelLine(i);
                }
                y = 1.0;
            }
            values.push_back(y * b.yFactor);
            if (k + 1 < tokens_.size() && values.size() > 1)
                running += (running - tFirst) / static_cast<double>(values.size() - 1);
        }
    }
    tLast = running;
    return i;
}

std::size_t Reader::readPairs(std::size_t i, const Block& b, bool xyPoints, std::vector<XYPair>& pairs,
                              std::vector<double>& values) {
    const long long n = b.nPoints;  // -1: up to the next label line
    long long read = 0;
    for (; n < 0 || read < n; ++i) {
        if (i >= lines_.size()) {
            if (n < 0) break;
            throw vx::ListIndexError(static_cast<long long>(i));
        }
        const std::string_view raw = lines_[i];
        if (raw.find("##") != std::string_view::npos) {
            if (n < 0) break;
            throw vx::ListIndexError(static_cast<long long>(i));
        }
        std::string line = cutComment(raw);
        std::replace(line.begin(), line.end(), '\t', ' ');
        if (line.find('.') != std::string::npos) std::replace(line.begin(), line.end(), ',', ' ');
        line = Trim(line);
        if (line.empty()) continue;
        ++read;
        if (xyPoints) {
            auto blank = line.find(' ');
            std::string_view xs = std::string_view(line).substr(0, blank);
            std::string ys = blank == std::string::npos ? std::string() : Trim(line.substr(blank));
            double x = ReadNumberToken(xs) * b.xFactor;
            double y = 1.0;
            ParseNumberToken(ys, y);
            pairs.push_back({x, y * b.yFactor});
        } else {
            std::string ys;
            auto comma = line.find(',');
            if (comma != std::string::npos)
                ys = line.substr(comma + 1);
            else {
                auto blank = line.find(' ');
                ys = blank == std::string::npos ? std::string() : line.substr(blank);
            }
            double y = 1.0;
            ParseNumberToken(Trim(ys), y);
            values.push_back(y * b.yFactor);
        }
    }
    return i;
}

void Reader::run() {
    const int blocks = blockCount();
    const std::string baseName = NameWithoutFolder(path_);
    std::size_t pos = 0;
    for (int blockNo = 0; blockNo < blocks && pos < lines_.size(); ++blockNo) {
        Block b;
        b.legend = blocks == 1 ? baseName : baseName + " subfile " + std::to_string(blockNo + 1);
        // Label scan.
        std::size_t tableStart = lines_.size();
        bool tableFound = false;
        for (std::size_t i = pos; i + 1 < lines_.size(); ++i) {
            const std::string_view line = lines_[i];
            auto hash = line.find("##");
            if (hash == std::string_view::npos) continue;
            // A label behind a "$$" is commented out.
            auto dollars = line.find("$$");
            if (dollars != std::string_view::npos && dollars < hash) continue;
            const std::string form = labelForm(line);
            auto has = [&](const char* label) { return form.find(label) != std::string::npos; };
            if (has("##DATACLASS=")) {
                std::string v = cutComment(line.substr(line.find('=') + 1));
                v.erase(std::remove_if(v.begin(), v.end(), [](char c) { return c == '#' || c == '='; }), v.end());
                if (!b.classEmptied) b.dataClass = Trim(v);
                continue;
            }
            if (has("##TITLE=")) {
                std::string v = labelValue(line, true, true);
                if (!v.empty()) {
                    if (blockNo == 0) {
                        b.legend = v;
                        firstTitle_ = v;
                    } else if (v != firstTitle_) {
                        b.legend = v;
                    } else if (blockNo == 1 && firstRecordIndex_ >= 0) {
                        if (auto* first = list_.Get(firstRecordIndex_)) first->Title = baseName + " subfile 1";
                    }
                }
            }
            if (has("##SAMPLEDESCRIPTION")) {
                std::string v = labelValue(line, true, true);
                if (!v.empty() && b.legend.find("Sample Description: ") == std::string::npos)
                    b.legend += ", Sample Description: " + v;
            }
            if (has("##DATATYPE=")) {
                b.comment1 = labelValue(line, false, false);
                std::string up = UpperAscii(b.comment1);
                if (up.find("RAMAN") != std::string::npos) b.xUnit = SpecXRamanShift;
                if (up.find("NMR") != std::string::npos || up.find("MASS") != std::string::npos) {
                    b.dataClass.clear();
                    b.classEmptied = true;
                }
            }
            if (has("##DATAPROCESSING=")) b.comment1 += ", " + labelValue(line, false, false);
            if (has("##SPECTROMETERDATASYSTEM=")) b.comment2 = labelValue(line, false, false);
            if (has("##DATE=")) {
                b.date = labelValue(line, false, false);
                std::replace(b.date.begin(), b.date.end(), '.', '/');
                std::replace(b.date.begin(), b.date.end(), '-', '/');
                b.haveDate = true;
            }
            if (has("##TIME=")) {
                b.time = labelValue(line, false, false);
                b.haveTime = true;
            }
            if (has("##LONGDATE=")) {
                b.longDate = labelValue(line, false, false);
                std::replace(b.longDate.begin(), b.longDate.end(), '-', '/');
                b.haveLongDate = true;
            }
            if (has("##ORIGIN=")) b.origin = labelValue(line, false, false);
            if (has("##NPOINTS=")) {
                if (auto n = numtext::TryStrToInt(labelValue(line, true, true))) b.nPoints = *n;
            }
            double v = 0.0;
            if (has("##FIRSTX=") && readReal(line, v)) b.firstX = v;
            if (has("##LASTX=") && readReal(line, v)) b.lastX = v;
            if (has("##DELTAX=") && readReal(line, v)) b.deltaX = v;
            if (has("##XFACTOR=") && readReal(line, v)) b.xFactor = v;
            if (has("##YFACTOR=") && readReal(line, v)) b.yFactor = v;
            if (has("##XUNITS=")) b.xUnits = labelValue(line, true, true);
            if (has("##YUNITS=")) b.yUnits = labelValue(line, true, true);
            if (has("##XYDATA=")) {
                b.tableForm = labelValue(line, true, false);
                tableStart = i + 1;
                tableFound = true;
                break;
            }
            if (has("##XYPAIRS=") || has("##XYPOINTS=")) {
                b.tableForm = labelValue(line, true, false);
                if (!b.classEmptied) b.dataClass = "xypoints";
                tableStart = i + 1;
                tableFound = true;
                break;
            }
        }
        if (!tableFound) break;

        const std::string dataClass = UpperAscii(b.dataClass);
        if (!isSubstringOf(dataClass, " XYDATA XYPOINTS ")) {
            refuse();
            pos = nextLabelLine(tableStart);
            continue;
        }
        if (tableStart < lines_.size() && Trim(cutComment(lines_[tableStart])).empty()) ++tableStart;
        if (UpperAscii(b.origin).find("BENTLEY") != std::string::npos &&
            UpperAscii(b.xUnits).find("CENTIMETER") != std::string::npos)
            b.xUnits = "wavenumbers";

        std::string form = UpperAscii(b.tableForm);
        form.erase(std::remove(form.begin(), form.end(), ' '), form.end());
        const bool packed = form == "(X++(Y..Y))";
        const bool xyForm = form == "(XY..XY)";
        const bool xyPoints = dataClass == "XYPOINTS";

        auto rec = std::make_unique<TSpectrumRecord>();
        std::vector<double> values;
        std::vector<XYPair> pairs;
        bool gridFromPairs = false;
        double first = kNaN, last = kNaN;
        bool refused = false;

        if (packed) {
            double tFirst = kNaN, tLast = kNaN;
            bool compressed = false;
            pos = readPacked(tableStart, b, values, tFirst, tLast, compressed);
            if (compressed || values.size() < 2) {
                refused = true;
            } else if (tFirst == tLast) {
                // One data line: the table itself gives no spacing.
                first = std::isnan(b.firstX) ? tFirst : b.firstX;
                if (!std::isnan(b.lastX))
                    last = b.lastX;
                else if (!std::isnan(b.deltaX))
                    last = first + static_cast<double>(values.size() - 1) * b.deltaX;
                else
                    refused = true;
            } else {
                first = tFirst;
                last = tLast;
                // The header's exact ends replace the table's rounded ones when they agree.
                double tol = std::fabs(tLast - tFirst) / static_cast<double>(values.size() - 1) / 2.0;
                if (!std::isnan(b.firstX) && !std::isnan(b.lastX) && std::fabs(b.firstX - tFirst) <= tol &&
                    std::fabs(b.lastX - tLast) <= tol) {
                    first = b.firstX;
                    last = b.lastX;
                }
            }
        } else if (xyForm && xyPoints) {
            pos = readPairs(tableStart, b, true, pairs, values);
            gridFromPairs = true;
        } else if (xyForm) {
            pos = readPairs(tableStart, b, false, pairs, values);
            first = b.firstX;
            last = b.lastX;
            if (std::isnan(first) || std::isnan(last)) refused = true;
        } else if (xyPoints) {
            refused = true;
            pos = nextLabelLine(tableStart);
        } else {
            throw vx::ListIndexError(static_cast<long long>(lines_.size()));
        }
        if (b.nPoints >= 0 && b.nPoints < 2 && !packed) refused = true;

        // x axis rules.
        const std::string xu = UpperAscii(b.xUnits);
        bool eV = false;
        XRule rule = XRule::Nm;
        if (isSubstringOf(xu, "NM NANOMETERS NANOMETRE WAVELENGTH (NM) MICROMETERS")) {
            rule = XRule::Nm;
        } else if (isSubstringOf(xu, " 1/CM WAVENUMBERS CM-1")) {
            rule = XRule::Wavenumber;
        } else if (xu == "EV") {
            rule = XRule::Wavenumber;
            eV = true;
        }
        const bool micrometers = isSubstringOf(xu, " MICROMETERS ");
        const double xScale = (eV ? kWavenumberPerEv : 1.0) * (micrometers ? 1000.0 : 1.0);
        rec->XUnit = rule == XRule::Nm ? SpecXNanometer : (b.xUnit == SpecXRamanShift ? SpecXRamanShift : SpecXWavenumber);

        if (!refused && gridFromPairs) {
            for (auto& p : pairs) p.x *= xScale;
            if (pairs.size() >= 2 && pairs.front().x > pairs.back().x) std::reverse(pairs.begin(), pairs.end());
            if (!ResamplePairs(pairs, *rec)) refused = true;
        } else if (!refused) {
            const std::size_t n = values.size();
            first *= xScale;
            last *= xScale;
            if (n < 2) {
                refused = true;
            } else {
                const double size = std::fabs(last - first) / static_cast<double>(n - 1);
                const bool rising = last > first;
                rec->Values = std::move(values);
                if (rule == XRule::Nm) {
                    rec->FirstX = std::min(first, last);
                    rec->StepX = size;
                    if (!rising) std::reverse(rec->Values.begin(), rec->Values.end());
                } else {
                    rec->FirstX = std::max(first, last);
                    rec->StepX = -size;
                    if (rising) std::reverse(rec->Values.begin(), rec->Values.end());
                }
            }
        }
        if (refused || rec->PointCount() < 2 || !std::isfinite(rec->StepX) || rec->StepX == 0.0) {
            refuse();
            if (pos < tableStart) pos = nextLabelLine(tableStart);
            continue;
        }

        // Tag and the fluorescence flag of instrument files.
        rec->SpecType = "jcamp_dx";
        if (packed && (ContainsText(b.origin, "WinLab") || ContainsText(b.origin, "PE"))) {
            rec->SpecType = "perkinelmer_dx";
            std::string up = UpperAscii(b.comment1);
            if (up.find("FLUORESCENCE") != std::string::npos) fluorescence_ = true;
            if (up.find("UV/VIS") != std::string::npos || up.find("ULTRAVIOLET") != std::string::npos)
                fluorescence_ = false;
        }

        // y values.
        auto& vals = rec->Values;
        double ymax = 0.0;
        for (double y : vals) ymax = std::max(ymax, y);
        if (packed && fluorescence_)
            for (double& y : vals) y /= 250.0;
        const std::string yu = UpperAscii(b.yUnits);
        rec->Concentration = 0.0;
        rec->PathLength = 1.0;
        if (isSubstringOf(yu, " A.U. A U. A U RFU ARBITRARY UNITS INT INTENSITY (COUNTS) EMISSION RELATIVE "
                              "ABUNDANCE COUNTS ABSORBANCE A (MICROMOL/MOL)-1M-1 (BASE 10) ")) {
            rec->YKind = SpecYIntensity;
            if (isSubstringOf(yu, " ABSORBANCE A ")) rec->YKind = SpecYAbsorbance;
            if (yu.find("MICROMOL/MOL") != std::string::npos) {
                rec->YKind = SpecYAbsorbance;
                rec->Concentration = 1e-5;
                for (double& y : vals) y *= 100.0;
            }
        } else if (isSubstringOf(yu, " LOGARITHM EPSILON ")) {
            rec->Concentration = 1e-5;
            const double cd = rec->Concentration * rec->PathLength;
            if (yu.find("LOGARITHM") != std::string::npos) {
                rec->YKind = SpecYLogEpsilon;
                for (double& y : vals) y = Pow10Ext(y) * cd;
            } else {
                rec->YKind = SpecYEpsilon;
                for (double& y : vals) y *= cd;
            }
        } else {
            rec->YKind = isSubstringOf(yu, " REFLECTION (%) REFLECTANCE (%) %R ") ? SpecYReflectance
                                                                                 : SpecYTransmittance;
            const bool percent = ymax > 1.2;
            for (double& y : vals) y = TransmittanceToStored(y, percent, 1e-6, 6.0);
        }

        rec->FileName = path_;
        rec->Title = b.legend;
        rec->Comment1 = b.comment1;
        rec->Comment2 = b.comment2;
        rec->Solvent = "";
        if (b.haveLongDate)
            rec->DateText = b.longDate;
        else if (b.haveDate)
            rec->DateText = b.haveTime ? b.date + " " + b.time : b.date;
        else
            rec->DateText = fileDate_;
        rec->ExcitationWl = -1.0;
        rec->Temperature = -1.0;
        rec->ExposureTime = -1.0;
        rec->SourceKind = SpecSourceJcamp;
        rec->LineWidth = 1;
        rec->LineStyle = 0;
        if (!rec->IsComplete()) {
            refuse();
            continue;
        }
        rec->Color = CurveColor(list_.Count() + 1);
        int32_t index = list_.Add(std::move(rec));
        if (blockNo == 0) firstRecordIndex_ = index;
    }
}

}  // namespace

void LoadSpecJcampText(const std::string& text, const std::string& path, const std::string& fileDateText,
                       TSpectraList& list) {
    Reader(text, path, fileDateText, list).run();
}

void LoadSpecJcamp(const std::string& path, TSpectraList& list) {
    std::string text = LoadFileText(path);
    LoadSpecJcampText(text, path, DateTimeToText(FileDateTimeOf(path)), list);
}
