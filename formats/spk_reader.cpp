#include "formats/spk_reader.h"

#include <cmath>
#include <cstdint>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/reader_record.h"
#include "formats/resample.h"
#include "formats/text_lines.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

// The first blank-separated token of a text.
std::string_view firstToken(std::string_view s) {
    s = TrimView(s);
    return s.substr(0, s.find_first_of(" \t"));
}

void readSpk(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName) {
    // SPK files name no kind code, tag or y kind of their own: the caller's stay.
    TSpectrumRecord r = StartReaderRecord(rec, fileName, "", "", rec.SourceKind, "");
    r.YKind = rec.YKind;

    LineCursor lines(text.Bytes());
    std::size_t taken = 0;  // lines read so far
    std::string_view line;
    const auto next = [&]() -> std::string_view {
        if (!lines.Next(line)) throw vx::ListIndexError(static_cast<long long>(taken));
        ++taken;
        return line;
    };
    const int32_t headerLines = numtext::StrToInt(firstToken(next()));
    next();                                    // the title, overwritten below
    r.DateText = text.Utf8(TrimView(next()));  // kept to its first 50 characters
    next();                                    // a comment that is not kept
    for (int i = 5; i <= 8; ++i) r.Title = text.Utf8(TrimView(next()));
    const int32_t xCode = numtext::StrToInt(firstToken(next()));
    const int32_t yCode = numtext::StrToInt(firstToken(next()));
    for (int32_t i = 11; i <= headerLines + 1; ++i) r.Title = text.Utf8(TrimView(next()));
    // Other x codes give a step of 0 or of a reciprocal length, y codes 3 and 5 no values at all: such
    // files are not read rather than read wrongly.
    if (xCode != 1)
        throw vx::FileError(fileName + ": SPK files with x code " + std::to_string(xCode) +
                            " cannot be read; only x code 1 (wavelengths in nm) can.");
    if (yCode == 3 || yCode == 5)
        throw vx::FileError(fileName + ": SPK files with y code " + std::to_string(yCode) + " cannot be read.");

    // x/y lines up to the end or the first line whose x falls; that line's value is not kept.
    PairList values;
    double firstX = 0.0, lastX = 0.0;
    std::string_view rest;
    while (lines.Next(line)) {
        double x = 0.0, y = 0.0;
        if (ScanBlankPair(line, true, '\0', x, y, rest)) {
            if (!values.empty() && x < lastX) break;
        } else {
            const std::string_view t = TrimView(line);
            if (t.empty()) continue;
            const std::size_t blank = t.find_first_of(" \t");
            x = ReadNumberToken(t.substr(0, blank));
            if (!values.empty() && x < lastX) break;
            y = ReadNumberToken(blank == std::string_view::npos ? std::string_view() : firstToken(t.substr(blank)));
        }
        if (values.empty()) firstX = x;
        lastX = x;
        values.push_back(y);
    }
    if (values.size() >= 2) {
        r.FirstX = std::trunc(firstX);
        r.StepX = (lastX - firstX) / static_cast<double>(values.size() - 1);
        r.Values.assign(values.begin(), values.end());
        if (yCode == 1) {
            // Transmittance as a fraction; above 1 it is taken as 1.
            r.YKind = SpecYTransmittance;
            for (double& y : r.Values) y = y > 1.0 ? 0.0 : TransmittanceToStored(y, false, 1e-6, 6.0);
        }
        if (!r.IsComplete()) r.Values.clear();
    }
    rec = std::move(r);
}

}  // namespace

void ReadSpecSpkBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName) {
    readSpk(rec, MappedText::FromStoredBytes(bytes), fileName);
}

void LoadSpecSpk(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    readSpk(rec, MappedText::OpenFile(fileName, maxBytes, "SPK"), fileName);
}
