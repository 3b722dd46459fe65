#include "formats/prn_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/binary_values.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_lines.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

constexpr std::string_view kOne = "1.00000";

// Tabs count as blanks (the files are read with every tab as two blanks).
constexpr const char* kBlanks = " \t";

// The x of a line: its first token with the first "," removed.
double xOf(std::string_view line) {
    std::string_view token = line.substr(0, line.find_first_of(kBlanks));
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos) return ReadNumberToken(token);
    std::string t(token);
    t.erase(comma, 1);
    return ReadNumberToken(t);
}

// The y of a single-column line: the text after its "1.00000" column (a token of its own; failing
// that, the first place the text occurs).
double yAfterOne(std::string_view line) {
    std::size_t at = std::string_view::npos;
    for (std::size_t p = 0; p < line.size();) {
        const std::size_t b = line.find_first_not_of(kBlanks, p);
        if (b == std::string_view::npos) break;
        const std::size_t e = std::min(line.find_first_of(kBlanks, b), line.size());
        if (line.substr(b, e - b) == kOne) {
            at = b;
            break;
        }
        p = e;
    }
    if (at == std::string_view::npos) at = line.find(kOne);
    return ReadNumberToken(at == std::string_view::npos ? std::string_view() : TrimView(line.substr(at + kOne.size())));
}

void readPrn(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName, const std::string& dateText) {
    TSpectrumRecord r =
        StartReaderRecord(rec, fileName, NameWithoutExtension(fileName), "ccd_flasche", SpecSourcePrn, dateText);
    r.YKind = SpecYIntensity;
    // A name that ends in the excitation wavelength ("..._450") gives it.
    const std::string& title = r.Title;
    r.Comment2 = title.size() > 3 ? title.substr(title.size() - 3) : title;
    if (IsIntegerText(r.Comment2)) r.ExcitationWl = numtext::StrToInt(Trim(r.Comment2));

    LineCursor lines(text.Bytes());
    std::string_view line;
    // The values go straight into the record: no x is kept but the first two.
    std::vector<double> values;
    double x1 = 0.0, x2 = 0.0;
    std::size_t index = 0;
    if (lines.Next(line) && TrimView(line) == "576.00000") {
        // One column of 576 values; the first two lines carry the x of the step as well.
        const std::size_t count = 576;
        values.reserve(count);
        for (index = 1; index <= count; ++index) {
            if (!lines.Next(line)) throw vx::ListIndexError(static_cast<long long>(index));
            const std::string_view t = TrimView(line);
            if (index == 1) x1 = xOf(t);
            if (index == 2) x2 = xOf(t);
            values.push_back(yAfterOne(t));
        }
    } else if (!text.Bytes().empty()) {
        lines.Seek(0);
        values.reserve(CountLines(text.Bytes()));  // a value a line at most
        binvalues::FaultAhead ahead;
        std::string_view rest;
        for (; lines.Next(line); ++index) {
            double x = 0.0, y = 0.0;
            // x with a "," is the general case: the mark is dropped, not read as a decimal sign.
            if (!ScanBlankPair(line, true, ',', x, y, rest) || !TrimView(rest).empty()) {
                const std::string_view t = TrimView(line);
                if (index >= 2 && t.size() <= 1) continue;
                const std::size_t blank = t.find_first_of(kBlanks);
                x = xOf(t);
                y = ReadNumberToken(blank == std::string_view::npos ? std::string_view() : TrimView(t.substr(blank)));
            }
            if (values.empty()) x1 = x;
            if (values.size() == 1) x2 = x;
            AppendFaultingAhead(values, ahead, y);
        }
    }
    // One line, or two equal x, give no step.
    if (values.size() >= 2 && x1 != x2) {
        const std::size_t n = values.size();
        r.StepX = std::fabs(x1 - x2);
        r.FirstX = x1;
        TrimRoom(values);
        r.Values = std::move(values);
        if (x1 > x2) {
            r.FirstX = x1 - (x1 - x2) * static_cast<double>(n - 1);
            std::reverse(r.Values.begin(), r.Values.end());
        }
        if (LargestNonNegative(r.Values) > 10.0)
            for (double& y : r.Values) y /= 15000.0;
        if (!r.IsComplete()) r.Values.clear();
    }
    rec = std::move(r);
}

}  // namespace

void ReadSpecPrnBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                      const std::string& dateText) {
    readPrn(rec, MappedText::FromStoredBytes(bytes), fileName, dateText);
}

void LoadSpecPrn(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    readPrn(rec, MappedText::OpenFile(fileName, maxBytes, "PRN"), fileName,
            DateTimeToText(FileDateTimeOf(fileName)));
}
