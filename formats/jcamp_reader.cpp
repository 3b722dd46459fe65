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
#include "formats/binary_values.h"
#include "formats/reader_messages.h"
#include "formats/resample.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "formats/value_gaps.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The format's lines hold 80 characters, and no label line of a real file comes near this length. A
// longer one makes the text no JCAMP-DX file; read as a label it would cost time and memory in
// proportion to its length.
constexpr std::size_t kMaxLabelLineBytes = 64 * 1024;
// A block's labels follow each other with at most comment lines or a peak table between them; the label
// scan gives up after this many bytes without one.
constexpr std::size_t kMaxLabelGapBytes = 16 * 1024 * 1024;

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

std::string_view cutComment(std::string_view s) {
    auto p = s.find("$$");
    return p == std::string_view::npos ? s : s.substr(0, p);
}

// Trim's rule on a view: every character up to the blank goes at both ends.
std::string_view trimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

std::string labelValue(std::string_view line, bool cut, bool noQuotes) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    std::string_view raw = line.substr(eq + 1);
    std::string v(cut ? cutComment(raw) : raw);
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

// The numbers of a packed data line, one after another: blanks, tabs, and commas followed by a blank,
// a sign or the line end separate them, and a sign starts a new number unless it follows an exponent
// "E" or "e". Taken one at a time, so that a table of one long line costs no list of its pieces.
class PackedTokens {
public:
    explicit PackedTokens(std::string_view line) : line_(line) {}
    bool next(std::string_view& token) {
        std::size_t start = std::string_view::npos;
        for (; pos_ < line_.size(); ++pos_) {
            const char c = line_[pos_];
            bool sep = c == ' ' || c == '\t';
            if (c == ',') {
                const char nx = pos_ + 1 < line_.size() ? line_[pos_ + 1] : ' ';
                sep = nx == ' ' || nx == '+' || nx == '-' || nx == '\t';
            }
            if (sep) {
                if (start != std::string_view::npos) break;
                continue;
            }
            if ((c == '+' || c == '-') && start != std::string_view::npos &&
                !(line_[pos_ - 1] == 'E' || line_[pos_ - 1] == 'e'))
                break;
            if (start == std::string_view::npos) start = pos_;
        }
        if (start == std::string_view::npos) return false;
        token = line_.substr(start, pos_ - start);
        return true;
    }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

// The numbers of an (XY..XY) line, one after another: blanks, tabs and ";" separate them, and "," too
// when `commas`.
class PairFields {
public:
    PairFields(std::string_view line, bool commas) : line_(line), commas_(commas) {}
    bool next(std::string_view& field) {
        while (pos_ < line_.size() && separates(line_[pos_])) ++pos_;
        if (pos_ == line_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !separates(line_[pos_])) ++pos_;
        field = line_.substr(start, pos_ - start);
        return true;
    }

private:
    bool separates(char c) const {
        return static_cast<unsigned char>(c) <= ' ' || c == ';' || (commas_ && c == ',');
    }
    std::string_view line_;
    bool commas_;
    std::size_t pos_ = 0;
};

std::size_t countPairFields(std::string_view line, bool commas) {
    PairFields fields(line, commas);
    std::size_t n = 0;
    for (std::string_view f; fields.next(f);) ++n;
    return n;
}

// Whether the x of a line read with its commas as separators run one way, as a table's x do.
bool xRunOneWay(std::string_view line) {
    PairFields fields(line, true);
    std::string_view xt, yt;
    double previous = 0.0;
    int direction = 0;  // 1 rising, -1 falling
    for (std::size_t k = 0; fields.next(xt); ++k) {
        double x = 0.0;
        if (!ParseNumberToken(xt, x)) return false;
        if (k > 0) {
            const int d = x > previous ? 1 : (x < previous ? -1 : 0);
            if (d == 0 || (direction != 0 && d != direction)) return false;
            direction = d;
        }
        previous = x;
        if (!fields.next(yt)) break;
    }
    return direction != 0;
}

// Whether the commas of an (XY..XY) line separate its numbers. They do in a line that holds a "." (its
// decimal sign). In a line without one, the commas of a line of one pair are decimal signs ("400,5
// 0,25"), unless that leaves an x without its y ("400,12" is x 400 and y 12). A line of several pairs
// whose x, read with the commas as separators, run one way holds whole-number pairs ("400,3 401,5 402,1
// 403,7"), and so does every later line of its table (`wholePairs`), its last line of one pair too.
bool commasSeparate(std::string_view line, bool& wholePairs) {
    if (line.find('.') != std::string_view::npos) return true;
    if (line.find(',') == std::string_view::npos) return false;
    const std::size_t fields = countPairFields(line, false);
    if (fields % 2 == 1 || wholePairs) return true;
    if (fields > 2 && xRunOneWay(line)) wholePairs = true;
    return wholePairs;
}

// Between two numbers of a packed line: blanks, tabs and the commas that separate (those followed by a
// blank, a sign, a tab or the line end). Returns where the next token starts.
const char* skipPackedSeparators(const char* p, const char* e) {
    while (p < e) {
        if (*p == ' ' || *p == '\t') {
            ++p;
        } else if (*p == ',' && (p + 1 == e || p[1] == ' ' || p[1] == '+' || p[1] == '-' || p[1] == '\t')) {
            ++p;
        } else {
            break;
        }
    }
    return p;
}

// A number that the tokenizer would take as one whole token and ParseNumberToken would read: it ends at
// the line end, a blank or tab, a separating comma, or a sign. Null for anything else.
const char* scanPackedNumber(const char* p, const char* e, double& out) {
    if (p == e) return nullptr;
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')) return nullptr;
    const char* q = ScanNumber(p, e, out);
    if (!q || q == e || *q == ' ' || *q == '\t' || *q == '+' || *q == '-') return q;
    if (*q == ',' && (q + 1 == e || q[1] == ' ' || q[1] == '+' || q[1] == '-' || q[1] == '\t')) return q;
    return nullptr;
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
    SpecXUnit xUnit = SpecXNanometer;
};

// A line of the text: where it starts and its number (from 0).
struct LinePos {
    std::size_t offset = 0;
    long long index = 0;
};

// What a label's handler leaves to the scan of its line.
enum class After { NextLabel, LineDone, TableStarts };

class Reader;

// One block's label scan: the block being filled and the reader it belongs to.
struct BlockScan {
    Reader& reader;
    Block& b;
    int blockNo;
    std::string_view line;  // UTF-8
};

using LabelHandler = After (*)(BlockScan&);

struct LabelRule {
    const char* label;  // in label form
    LabelHandler handle;
};

// A block's table as read: its values on an equidistant grid from `first` to `last` (packed and xydata
// tables), or its pairs (xypoints tables); and what became of the values that were no numbers.
struct Table {
    bool packed = false;
    bool xyPoints = false;
    std::vector<double> values;
    PairList xs, ys;
    double first = kNaN, last = kNaN;
    bool refused = false;
    std::uint64_t leftOut = 0;   // pairs left out, or places cut off at an end of the grid
    std::uint64_t filledIn = 0;  // places filled in between their neighbours
};

// The x of a packed table's first and last value: the table's own, or the header's exact ones where
// they agree with the table's rounded ones; a table of one line takes its spacing from the header. False
// when nothing gives one.
bool packedEnds(const Block& b, double tFirst, double tLast, Table& t) {
    if (tFirst == tLast) {
        t.first = std::isnan(b.firstX) ? tFirst : b.firstX;
        if (!std::isnan(b.lastX))
            t.last = b.lastX;
        else if (!std::isnan(b.deltaX))
            t.last = t.first + static_cast<double>(t.values.size() - 1) * b.deltaX;
        else
            return false;
        return true;
    }
    t.first = tFirst;
    t.last = tLast;
    const double tol = std::fabs(tLast - tFirst) / static_cast<double>(t.values.size() - 1) / 2.0;
    if (!std::isnan(b.firstX) && !std::isnan(b.lastX) && std::fabs(b.firstX - tFirst) <= tol &&
        std::fabs(b.lastX - tLast) <= tol) {
        t.first = b.firstX;
        t.last = b.lastX;
    }
    return true;
}

class Reader {
public:
    Reader(const MappedText& text, const std::string& path, const std::string& fileDate, TSpectraList& list)
        : text_(text), bytes_(text.Bytes()), path_(path), fileDate_(fileDate), list_(list) {}

    void run();

    // State the label handlers share across blocks.
    const std::string& baseName() const { return baseName_; }
    std::string firstTitle;
    int32_t firstRecordIndex = -1;
    TSpectraList& list() { return list_; }

private:
    const MappedText& text_;
    std::string_view bytes_;
    const std::string& path_;
    const std::string& fileDate_;
    TSpectraList& list_;
    std::string baseName_;
    bool fluorescence_ = false;
    int refused_ = 0;          // blocks skipped
    int tables_ = 0;           // blocks whose table was found
    // Of the records added: pairs left out (or cut off at a grid's end) and places filled in, their
    // y being no number.
    std::uint64_t leftOut_ = 0;
    std::uint64_t filledIn_ = 0;
    std::vector<std::size_t> gaps_;  // of the block being read: the places of the pairs left out
    std::string scratch_;

    bool lineAt(LinePos pos, std::string_view& line) const;
    LinePos nextLine(LinePos pos) const;
    int blockCount();
    LinePos nextLabelLine(LinePos from) const;
    bool scanLabels(Block& b, int blockNo, LinePos& pos);
    void runBlock(int blocks, int blockNo, LinePos& pos);
    bool tableReadable(Block& b, LinePos& tableStart) const;
    Table readTable(const Block& b, LinePos tableStart, LinePos& pos);
    bool placeOnGrid(const Block& b, Table& t, TSpectrumRecord& rec) const;
    void setYValues(const Block& b, bool packed, TSpectrumRecord& rec);
    void setTexts(const Block& b, TSpectrumRecord& rec) const;
    LinePos readPacked(LinePos start, const Block& b, std::vector<double>& values, double& tFirst,
                       double& tLast, bool& compressed);
    bool packedLineFast(std::string_view line, const Block& b, std::vector<double>& values, bool& first,
                        double& tFirst, double& lineX, std::size_t& yCount);
    // False for a line without tokens.
    bool packedLineGeneral(std::string_view line, const Block& b, std::vector<double>& values, bool& first,
                           double& tFirst, double& lineX, std::size_t& yCount, bool& compressed);
    LinePos readPairs(LinePos start, const Block& b, bool xyPoints, PairList& xs, PairList& ys,
                      std::vector<double>& values, bool& compressed);
    [[noreturn]] void refuseLongLabelLine(std::string_view line, long long index) const;
    [[noreturn]] void refuseLabelGap(long long fromIndex) const;
    void report() const;
};

bool Reader::lineAt(LinePos pos, std::string_view& line) const {
    LineCursor c(bytes_, pos.offset);
    return c.Next(line);
}

LinePos Reader::nextLine(LinePos pos) const {
    LineCursor c(bytes_, pos.offset);
    std::string_view line;
    c.Next(line);
    return {c.Position(), pos.index + 1};
}

int Reader::blockCount() {
    int blocks = 1;
    LineCursor lines(bytes_);
    std::string_view raw;
    std::size_t lastLabel = 0;
    // Every line but the last, up to the first table label. Lines beyond the label scan's limits are
    // left to it, which refuses the file for them.
    while (lines.Next(raw) && !lines.AtEnd()) {
        const bool hash = raw.find('#') != std::string_view::npos;  // a label form needs two of them
        if (!hash || raw.size() > kMaxLabelLineBytes) {
            if (hash && raw.find("##") != std::string_view::npos) break;
            if (lines.Position() - lastLabel > kMaxLabelGapBytes) break;
            continue;
        }
        lastLabel = lines.Position();
        const std::string_view line = text_.Utf8(raw, scratch_);
        std::string form = labelForm(line);
        if (form.find("##BLOCKS=") != std::string::npos) {
            std::string v = labelValue(line, true, true);
            if (auto n = numtext::TryStrToInt(v)) blocks = *n;
        }
        if (form.find("##XYDATA=") != std::string::npos || form.find("##XYPAIRS=") != std::string::npos ||
            form.find("##XYPOINTS=") != std::string::npos)
            break;
    }
    // The tables present bound the blocks announced. A single block needs no count (and a large file
    // no second pass): a count never lowers 1.
    if (blocks > 1) {
        int32_t count = CountSubstring("##XY", bytes_);
        if (count == 0) count = CountSubstring("## XY", bytes_);
        if (count != 0 && count < blocks) blocks = count;
    }
    return std::max(blocks, 1);
}

LinePos Reader::nextLabelLine(LinePos from) const {
    LineCursor c(bytes_, from.offset);
    std::string_view line;
    for (;;) {
        const std::size_t at = c.Position();
        if (!c.Next(line)) return {at, from.index};
        if (line.find("##") != std::string_view::npos) return {at, from.index};
        ++from.index;
    }
}

// One message for the file, however many of its blocks were skipped and values were no numbers.
void Reader::report() const {
    if (refused_ == 0 && leftOut_ == 0 && filledIn_ == 0) return;
    std::vector<std::string> notes;
    if (refused_ > 0) {
        notes.emplace_back("can not be read by Varolux32!");
        if (tables_ > 1)
            notes.push_back(std::to_string(refused_) + " of " + std::to_string(tables_) + " blocks were skipped.");
    }
    if (leftOut_ == 1)
        notes.emplace_back("1 pair was left out: its y value is not a number.");
    else if (leftOut_ > 1)
        notes.push_back(std::to_string(leftOut_) + " pairs were left out: their y values are not numbers.");
    if (filledIn_ > 0) notes.push_back(FilledInValuesText(filledIn_));
    std::string text = path_ + "\r\n";
    for (const std::string& note : notes) text += "\r\n" + note;
    ui::messageBox(text, "Varolux32", ui::Buttons::Ok, ui::Icon::Information);
}

void Reader::refuseLongLabelLine(std::string_view line, long long index) const {
    throw vx::FileError("Line " + std::to_string(index + 1) + " is a label line of " + std::to_string(line.size()) +
                        " bytes, far longer than any JCAMP-DX label line (at most " +
                        std::to_string(kMaxLabelLineBytes) + " bytes are taken): the file is not read.");
}

void Reader::refuseLabelGap(long long fromIndex) const {
    throw vx::FileError("No JCAMP-DX label in the " + std::to_string(kMaxLabelGapBytes >> 20) + " MB from line " +
                        std::to_string(fromIndex + 1) + " on: the file is not read.");
}

// The labels of a block, each tested on every label line in this order (a test asks whether the
// line's label form contains the label).
const LabelRule kLabelRules[] = {
    {"##DATACLASS=",
     [](BlockScan& s) {
         std::string v(cutComment(s.line.substr(s.line.find('=') + 1)));
         v.erase(std::remove_if(v.begin(), v.end(), [](char c) { return c == '#' || c == '='; }), v.end());
         if (!s.b.classEmptied) s.b.dataClass = Trim(v);
         return After::LineDone;
     }},
    {"##TITLE=",
     [](BlockScan& s) {
         std::string v = labelValue(s.line, true, true);
         if (!v.empty()) {
             Reader& r = s.reader;
             if (s.blockNo == 0) {
                 s.b.legend = v;
                 r.firstTitle = v;
             } else if (v != r.firstTitle) {
                 s.b.legend = v;
             } else if (s.blockNo == 1 && r.firstRecordIndex >= 0) {
                 if (auto* first = r.list().Get(r.firstRecordIndex)) first->Title = r.baseName() + " subfile 1";
             }
         }
         return After::NextLabel;
     }},
    {"##SAMPLEDESCRIPTION",
     [](BlockScan& s) {
         std::string v = labelValue(s.line, true, true);
         if (!v.empty() && s.b.legend.find("Sample Description: ") == std::string::npos)
             s.b.legend += ", Sample Description: " + v;
         return After::NextLabel;
     }},
    {"##DATATYPE=",
     [](BlockScan& s) {
         s.b.comment1 = labelValue(s.line, false, false);
         std::string up = UpperAscii(s.b.comment1);
         if (up.find("RAMAN") != std::string::npos) s.b.xUnit = SpecXRamanShift;
         if (up.find("NMR") != std::string::npos || up.find("MASS") != std::string::npos) {
             s.b.dataClass.clear();
             s.b.classEmptied = true;
         }
         return After::NextLabel;
     }},
    {"##DATAPROCESSING=",
     [](BlockScan& s) {
         s.b.comment1 += ", " + labelValue(s.line, false, false);
         return After::NextLabel;
     }},
    {"##SPECTROMETERDATASYSTEM=",
     [](BlockScan& s) {
         s.b.comment2 = labelValue(s.line, false, false);
         return After::NextLabel;
     }},
    {"##DATE=",
     [](BlockScan& s) {
         s.b.date = labelValue(s.line, false, false);
         std::replace(s.b.date.begin(), s.b.date.end(), '.', '/');
         std::replace(s.b.date.begin(), s.b.date.end(), '-', '/');
         s.b.haveDate = true;
         return After::NextLabel;
     }},
    {"##TIME=",
     [](BlockScan& s) {
         s.b.time = labelValue(s.line, false, false);
         s.b.haveTime = true;
         return After::NextLabel;
     }},
    {"##LONGDATE=",
     [](BlockScan& s) {
         s.b.longDate = labelValue(s.line, false, false);
         std::replace(s.b.longDate.begin(), s.b.longDate.end(), '-', '/');
         s.b.haveLongDate = true;
         return After::NextLabel;
     }},
    {"##ORIGIN=",
     [](BlockScan& s) {
         s.b.origin = labelValue(s.line, false, false);
         return After::NextLabel;
     }},
    {"##NPOINTS=",
     [](BlockScan& s) {
         if (auto n = numtext::TryStrToInt(labelValue(s.line, true, true))) s.b.nPoints = *n;
         return After::NextLabel;
     }},
    {"##FIRSTX=",
     [](BlockScan& s) {
         double v = 0.0;
         if (readReal(s.line, v)) s.b.firstX = v;
         return After::NextLabel;
     }},
    {"##LASTX=",
     [](BlockScan& s) {
         double v = 0.0;
         if (readReal(s.line, v)) s.b.lastX = v;
         return After::NextLabel;
     }},
    {"##DELTAX=",
     [](BlockScan& s) {
         double v = 0.0;
         if (readReal(s.line, v)) s.b.deltaX = v;
         return After::NextLabel;
     }},
    {"##XFACTOR=",
     [](BlockScan& s) {
         double v = 0.0;
         if (readReal(s.line, v)) s.b.xFactor = v;
         return After::NextLabel;
     }},
    {"##YFACTOR=",
     [](BlockScan& s) {
         double v = 0.0;
         if (readReal(s.line, v)) s.b.yFactor = v;
         return After::NextLabel;
     }},
    {"##XUNITS=",
     [](BlockScan& s) {
         s.b.xUnits = labelValue(s.line, true, true);
         return After::NextLabel;
     }},
    {"##YUNITS=",
     [](BlockScan& s) {
         s.b.yUnits = labelValue(s.line, true, true);
         return After::NextLabel;
     }},
    {"##XYDATA=",
     [](BlockScan& s) {
         s.b.tableForm = labelValue(s.line, true, false);
         return After::TableStarts;
     }},
    {"##XYPAIRS=",
     [](BlockScan& s) {
         s.b.tableForm = labelValue(s.line, true, false);
         if (!s.b.classEmptied) s.b.dataClass = "xypoints";
         return After::TableStarts;
     }},
    {"##XYPOINTS=",
     [](BlockScan& s) {
         s.b.tableForm = labelValue(s.line, true, false);
         if (!s.b.classEmptied) s.b.dataClass = "xypoints";
         return After::TableStarts;
     }},
};

// The label scan of a block from `pos`: true with `pos` at the table's first line when a table label
// was found before the last line of the text.
bool Reader::scanLabels(Block& b, int blockNo, LinePos& pos) {
    LineCursor lines(bytes_, pos.offset);
    std::string_view raw;
    // Where the last label line ended, and the line after it.
    std::size_t lastLabel = pos.offset;
    long long afterLabel = pos.index;
    for (long long index = pos.index; lines.Next(raw) && !lines.AtEnd(); ++index) {
        auto hash = raw.find("##");
        // A label behind a "$$" is commented out.
        auto dollars = hash == std::string_view::npos ? hash : raw.find("$$");
        if (hash == std::string_view::npos || (dollars != std::string_view::npos && dollars < hash)) {
            if (lines.Position() - lastLabel > kMaxLabelGapBytes) refuseLabelGap(afterLabel);
            continue;
        }
        if (raw.size() > kMaxLabelLineBytes) refuseLongLabelLine(raw, index);
        lastLabel = lines.Position();
        afterLabel = index + 1;
        BlockScan scan{*this, b, blockNo, text_.Utf8(raw, scratch_)};
        const std::string form = labelForm(scan.line);
        for (const LabelRule& rule : kLabelRules) {
            if (form.find(rule.label) == std::string::npos) continue;
            const After after = rule.handle(scan);
            if (after == After::LineDone) break;
            if (after == After::TableStarts) {
                pos = {lines.Position(), index + 1};
                return true;
            }
        }
    }
    return false;
}

// One (X++(Y..Y)) line of the usual form read without tokens; false (nothing stored) for any line that
// needs the tokenizer's rules.
bool Reader::packedLineFast(std::string_view line, const Block& b, std::vector<double>& values, bool& first,
                            double& tFirst, double& lineX, std::size_t& yCount) {
    const char* p = line.data();
    const char* const e = p + line.size();
    p = skipPackedSeparators(p, e);
    if (p == e) return false;  // no token: the general path skips the line
    double x = 0.0;
    const char* q = scanPackedNumber(p, e, x);
    if (!q) return false;
    const std::size_t before = values.size();
    std::size_t n = 0;
    for (p = skipPackedSeparators(q, e); p < e; p = skipPackedSeparators(q, e)) {
        double y = 0.0;
        q = scanPackedNumber(p, e, y);
        if (!q) {
            values.resize(before);
            return false;
        }
        values.push_back(y * b.yFactor);
        ++n;
    }
    x *= b.xFactor;
    if (first) {
        tFirst = x;
        first = false;
    }
    lineX = x;
    yCount = n;
    return true;
}

bool Reader::packedLineGeneral(std::string_view line, const Block& b, std::vector<double>& values, bool& first,
                               double& tFirst, double& lineX, std::size_t& yCount, bool& compressed) {
    PackedTokens tokens(line);
    std::string_view token;
    if (!tokens.next(token)) return false;
    double x = 0.0;
    if (!ParseNumberToken(token, x)) {
        if (isCompressedToken(token)) {
            compressed = true;
            return true;
        }
        x = ReadNumberToken(text_.Utf8(token));
    }
    x *= b.xFactor;
    if (first) {
        tFirst = x;
        first = false;
    }
    lineX = x;
    yCount = 0;
    while (tokens.next(token)) {
        double y = 0.0;
        if (!ParseNumberToken(token, y)) {
            // The compressed forms' digit letters are not read as numbers.
            if (isCompressedToken(token)) {
                compressed = true;
                return true;
            }
            // Any other text keeps its place, so that the values after it keep their x.
            gaps_.push_back(values.size());
            values.push_back(kNaN);
        } else {
            values.push_back(y * b.yFactor);
        }
        ++yCount;
    }
    return true;
}

LinePos Reader::readPacked(LinePos start, const Block& b, std::vector<double>& values, double& tFirst,
                           double& tLast, bool& compressed) {
    bool first = true;
    compressed = false;
    // The running x: it starts at each line's x and, after each y of that line but its last, advances
    // by (running x - table's first x) / (values stored - 1). Only the last line's survives, so it is
    // worked out for that line alone, with the same operations in the same order.
    bool anyLine = false;
    double lastLineX = 0.0;
    std::size_t lastBefore = 0, lastCount = 0;
    binvalues::FaultAhead ahead;
    LineCursor lines(bytes_, start.offset);
    std::string_view line;
    long long index = start.index;
    for (std::size_t at = lines.Position(); lines.Next(line); at = lines.Position(), ++index) {
        if (line.find("##") != std::string_view::npos) {
            start = {at, index};
            break;
        }
        start = {lines.Position(), index + 1};
        const std::string_view view = cutComment(line);
        const std::size_t before = values.size();
        double lineX = 0.0;
        std::size_t count = 0;
        if (!packedLineFast(view, b, values, first, tFirst, lineX, count)) {
            if (!packedLineGeneral(view, b, values, first, tFirst, lineX, count, compressed)) continue;
            if (compressed) return nextLabelLine({at, index});
        }
        ahead(values);
        anyLine = true;
        lastLineX = lineX;
        lastBefore = before;
        lastCount = count;
    }
    double running = 0.0;
    if (anyLine) {
        running = lastLineX;
        for (std::size_t k = 1; k < lastCount; ++k) {
            const std::size_t stored = lastBefore + k;
            if (stored > 1) running += (running - tFirst) / static_cast<double>(stored - 1);
        }
    }
    tLast = running;
    return start;
}

// Pairs of an (XY..XY) table, several to a line where the file has them, up to ##NPOINTS= pairs (to
// the next label line without it). A pair whose y is no number is left out: xypoints keep the other
// pairs, xydata keep the place (in `gaps_`) for CloseValueGaps. An x that is no number raises the
// conversion error where x is read (xypoints).
LinePos Reader::readPairs(LinePos start, const Block& b, bool xyPoints, PairList& xs, PairList& ys,
                          std::vector<double>& values, bool& compressed) {
    const long long n = b.nPoints;  // -1: up to the next label line
    long long read = 0;
    LineCursor lines(bytes_, start.offset);
    long long i = start.index;
    std::string_view raw;
    bool wholePairs = false;
    for (; n < 0 || read < n; ++i) {
        const std::size_t at = lines.Position();
        if (!lines.Next(raw) || raw.find("##") != std::string_view::npos) {
            if (n < 0) return {at, i};
            throw vx::ListIndexError(i);
        }
        const std::string_view line = cutComment(raw);
        PairFields fields(line, commasSeparate(line, wholePairs));
        for (std::string_view xt, yt; (n < 0 || read < n) && fields.next(xt); ++read) {
            if (!fields.next(yt)) yt = {};
            double x = 0.0, y = 0.0;
            const bool xOk = ParseNumberToken(xt, x);
            const bool yOk = !yt.empty() && ParseNumberToken(yt, y);
            // The compressed forms' digit letters are not read as numbers.
            if ((!xOk && isCompressedToken(xt)) || (!yOk && isCompressedToken(yt))) {
                compressed = true;
                return nextLabelLine({lines.Position(), i + 1});
            }
            if (xyPoints) {
                if (!xOk) x = ReadNumberToken(text_.Utf8(xt));  // raises the conversion error
                if (!yOk) {
                    gaps_.push_back(xs.size());
                    continue;
                }
                xs.push_back(x * b.xFactor);
                ys.push_back(y * b.yFactor);
            } else if (!yOk) {
                gaps_.push_back(values.size());
                values.push_back(kNaN);
            } else {
                values.push_back(y * b.yFactor);
            }
        }
    }
    // Lines of the table beyond its point count are no labels: the next block starts at the next label.
    return nextLabelLine({lines.Position(), i});
}

void Reader::run() {
    const int blocks = blockCount();
    baseName_ = NameWithoutFolder(path_);
    LinePos pos;
    try {
        for (int blockNo = 0; blockNo < blocks && pos.offset < bytes_.size(); ++blockNo) runBlock(blocks, blockNo, pos);
    } catch (...) {
        report();
        throw;
    }
    report();
}

void Reader::runBlock(int blocks, int blockNo, LinePos& pos) {
    Block b;
    gaps_.clear();
    b.legend = blocks == 1 ? baseName_ : baseName_ + " subfile " + std::to_string(blockNo + 1);
    LinePos tableStart = pos;
    if (!scanLabels(b, blockNo, tableStart)) {
        pos.offset = bytes_.size();  // no further table: the reading ends
        return;
    }
    ++tables_;
    if (!tableReadable(b, tableStart)) {
        ++refused_;
        pos = nextLabelLine(tableStart);
        return;
    }
    Table t = readTable(b, tableStart, pos);
    auto rec = std::make_unique<TSpectrumRecord>();
    if (!placeOnGrid(b, t, *rec)) {
        ++refused_;
        if (pos.offset < tableStart.offset) pos = nextLabelLine(tableStart);
        return;
    }
    setYValues(b, t.packed, *rec);
    setTexts(b, *rec);
    if (!rec->IsComplete()) {
        ++refused_;
        return;
    }
    leftOut_ += t.leftOut;
    filledIn_ += t.filledIn;
    rec->Color = CurveColor(list_.Count() + 1);
    int32_t index = list_.Add(std::move(rec));
    if (blockNo == 0) firstRecordIndex = index;
}

// The data class check, and the table's start past an empty first line. False for a block that is
// not read.
bool Reader::tableReadable(Block& b, LinePos& tableStart) const {
    if (!isSubstringOf(UpperAscii(b.dataClass), " XYDATA XYPOINTS ")) return false;
    std::string_view first;
    if (lineAt(tableStart, first) && trimControls(cutComment(first)).empty()) tableStart = nextLine(tableStart);
    if (UpperAscii(b.origin).find("BENTLEY") != std::string::npos &&
        UpperAscii(b.xUnits).find("CENTIMETER") != std::string::npos)
        b.xUnits = "wavenumbers";
    return true;
}

// Reads the block's table from `tableStart`; `pos` becomes where the next block's label scan starts.
Table Reader::readTable(const Block& b, LinePos tableStart, LinePos& pos) {
    Table t;
    std::string form = UpperAscii(b.tableForm);
    form.erase(std::remove(form.begin(), form.end(), ' '), form.end());
    t.packed = form == "(X++(Y..Y))";
    const bool xyForm = form == "(XY..XY)";
    const bool xyPoints = UpperAscii(b.dataClass) == "XYPOINTS";
    // A header's point count sizes the lists, as far as the bytes left can hold that many (a value
    // takes at least two bytes, a pair four).
    const std::size_t left = bytes_.size() - std::min(bytes_.size(), tableStart.offset);
    if (b.nPoints > 0) {
        const std::size_t promised = static_cast<std::size_t>(b.nPoints);
        if (t.packed || !xyPoints) t.values.reserve(std::min(promised, left / 2 + 1));
        if (xyForm && xyPoints) {
            t.xs.reserve(std::min(promised, left / 4 + 1));
            t.ys.reserve(std::min(promised, left / 4 + 1));
        }
    }
    bool compressed = false;
    if (t.packed) {
        double tFirst = kNaN, tLast = kNaN;
        pos = readPacked(tableStart, b, t.values, tFirst, tLast, compressed);
        t.refused = compressed || t.values.size() < 2 || !packedEnds(b, tFirst, tLast, t);
    } else if (xyForm) {
        pos = readPairs(tableStart, b, xyPoints, t.xs, t.ys, t.values, compressed);
        t.xyPoints = xyPoints;
        if (!xyPoints) {
            t.first = b.firstX;
            t.last = b.lastX;
            t.refused = std::isnan(t.first) || std::isnan(t.last);
        }
        t.refused = t.refused || compressed;
    } else if (xyPoints) {
        t.refused = true;
        pos = nextLabelLine(tableStart);
    } else {
        throw vx::ListIndexError(static_cast<long long>(CountLines(bytes_)));
    }
    if (b.nPoints >= 0 && b.nPoints < 2 && !t.packed) t.refused = true;
    return t;
}

// The x axis rules: the record's unit, and its grid from the pairs or from the table's ends, running
// the unit's way. False for a block that gives no record.
bool Reader::placeOnGrid(const Block& b, Table& t, TSpectrumRecord& rec) const {
    const std::string xu = UpperAscii(b.xUnits);
    bool eV = false;
    bool nmRule = true;
    if (isSubstringOf(xu, "NM NANOMETERS NANOMETRE WAVELENGTH (NM) MICROMETERS")) {
        nmRule = true;
    } else if (isSubstringOf(xu, " 1/CM WAVENUMBERS CM-1")) {
        nmRule = false;
    } else if (xu == "EV") {
        nmRule = false;
        eV = true;
    }
    const bool micrometers = isSubstringOf(xu, " MICROMETERS ");
    const double xScale = (eV ? kWavenumberPerEv : 1.0) * (micrometers ? 1000.0 : 1.0);
    rec.XUnit = nmRule ? SpecXNanometer : (b.xUnit == SpecXRamanShift ? SpecXRamanShift : SpecXWavenumber);
    if (t.refused) return false;

    if (t.xyPoints) {
        for (double& x : t.xs) x *= xScale;
        t.leftOut = gaps_.size();
        return ResampleXYEitherOrder(t.xs, t.ys, rec) && rec.PointCount() >= 2 && std::isfinite(rec.StepX) &&
               rec.StepX != 0.0;
    }
    const GapEnds ends = CloseValueGaps(t.values, gaps_, t.first, t.last);
    t.leftOut = ends.lead + ends.trail;
    t.filledIn = gaps_.size() - t.leftOut;
    const std::size_t n = t.values.size();
    if (n < 2) return false;
    const double first = t.first * xScale, last = t.last * xScale;
    const double size = std::fabs(last - first) / static_cast<double>(n - 1);
    const bool rising = last > first;
    rec.Values = std::move(t.values);
    if (nmRule) {
        rec.FirstX = std::min(first, last);
        rec.StepX = size;
        if (!rising) std::reverse(rec.Values.begin(), rec.Values.end());
    } else {
        rec.FirstX = std::max(first, last);
        rec.StepX = -size;
        if (rising) std::reverse(rec.Values.begin(), rec.Values.end());
    }
    return std::isfinite(rec.StepX) && rec.StepX != 0.0;
}

// The tag, the fluorescence scaling of instrument files and the y units.
void Reader::setYValues(const Block& b, bool packed, TSpectrumRecord& rec) {
    rec.SpecType = "jcamp_dx";
    if (packed && (ContainsText(b.origin, "WinLab") || ContainsText(b.origin, "PE"))) {
        rec.SpecType = "perkinelmer_dx";
        std::string up = UpperAscii(b.comment1);
        if (up.find("FLUORESCENCE") != std::string::npos) fluorescence_ = true;
        if (up.find("UV/VIS") != std::string::npos || up.find("ULTRAVIOLET") != std::string::npos)
            fluorescence_ = false;
    }
    auto& vals = rec.Values;
    double ymax = 0.0;
    for (double y : vals) ymax = std::max(ymax, y);
    if (packed && fluorescence_)
        for (double& y : vals) y /= 250.0;
    const std::string yu = UpperAscii(b.yUnits);
    rec.Concentration = 0.0;
    rec.PathLength = 1.0;
    if (isSubstringOf(yu, " A.U. A U. A U RFU ARBITRARY UNITS INT INTENSITY (COUNTS) EMISSION RELATIVE "
                          "ABUNDANCE COUNTS ABSORBANCE A (MICROMOL/MOL)-1M-1 (BASE 10) ")) {
        rec.YKind = SpecYIntensity;
        if (isSubstringOf(yu, " ABSORBANCE A ")) rec.YKind = SpecYAbsorbance;
        if (yu.find("MICROMOL/MOL") != std::string::npos) {
            rec.YKind = SpecYAbsorbance;
            rec.Concentration = 1e-5;
            for (double& y : vals) y *= 100.0;
        }
    } else if (isSubstringOf(yu, " LOGARITHM EPSILON ")) {
        rec.YKind = yu.find("LOGARITHM") != std::string::npos ? SpecYLogEpsilon : SpecYEpsilon;
        EpsilonToStored(rec, rec.YKind == SpecYLogEpsilon);  // IsComplete refuses a value that overflows
    } else {
        rec.YKind = isSubstringOf(yu, " REFLECTION (%) REFLECTANCE (%) %R ") ? SpecYReflectance : SpecYTransmittance;
        const bool percent = ymax > 1.2;
        for (double& y : vals) y = TransmittanceToStored(y, percent, 1e-6, 6.0);
    }
}

// The record's texts and the fields every block gets alike.
void Reader::setTexts(const Block& b, TSpectrumRecord& rec) const {
    rec.FileName = path_;
    rec.Title = b.legend;
    rec.Comment1 = b.comment1;
    rec.Comment2 = b.comment2;
    rec.Solvent = "";
    if (b.haveLongDate)
        rec.DateText = b.longDate;
    else if (b.haveDate)
        rec.DateText = b.haveTime ? b.date + " " + b.time : b.date;
    else
        rec.DateText = fileDate_;
    rec.ExcitationWl = -1.0;
    rec.Temperature = -1.0;
    rec.ExposureTime = -1.0;
    rec.SourceKind = SpecSourceJcamp;
    rec.LineWidth = 1;
    rec.LineStyle = 0;
}

}  // namespace

void LoadSpecJcampText(const std::string& text, const std::string& path, const std::string& fileDateText,
                       TSpectraList& list) {
    const MappedText mapped = MappedText::FromUtf8(text);
    Reader(mapped, path, fileDateText, list).run();
}

void LoadSpecJcamp(const std::string& path, TSpectraList& list, std::uint64_t maxBytes) {
    const MappedText text = MappedText::OpenFile(path, maxBytes, "JCAMP-DX");
    Reader(text, path, DateTimeToText(FileDateTimeOf(path)), list).run();
}
