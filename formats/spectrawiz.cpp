#include "formats/spectrawiz.h"

#include <cstdint>

#include "core/date_time.h"
#include "core/helpers.h"
#include "formats/ascii_reader.h"
#include "formats/reader_record.h"
#include "formats/text_loader.h"
#include "platform/errors.h"

namespace {

constexpr int32_t kSourceSpectraWiz = 45;

void readSpectraWiz(TSpectrumRecord& rec, const MappedText& text, const std::string& fileName,
                    const std::string& dateText) {
    TSpectrumRecord r =
        StartReaderRecord(rec, fileName, NameWithoutExtension(fileName), "spectrawiz", kSourceSpectraWiz, dateText);
    LineCursor lines(text.Bytes());
    std::string_view line0, line1;
    if (!lines.Next(line0)) throw vx::ListIndexError(0);
    if (!lines.Next(line1)) throw vx::ListIndexError(1);
    r.Comment1 = text.Utf8(line0.empty() ? line0 : line0.substr(1));
    // The third character of line 1 names the kind; intensity when there is none.
    r.YKind = SpecYIntensity;
    if (line1.size() >= 3) {
        switch (line1[2]) {
        case 'A': r.YKind = SpecYAbsorbance; break;
        case 'T': r.YKind = SpecYTransmittance; break;
        default: break;
        }
    }
    ReadAsciiPairsFromLine(r, text, 2, 2);
    rec = std::move(r);
}

}  // namespace

void ReadSpecSpectraWizBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                             const std::string& dateText) {
    readSpectraWiz(rec, MappedText::FromStoredBytes(bytes), fileName, dateText);
}

void LoadSpecSpectraWiz(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    readSpectraWiz(rec, MappedText::OpenFile(fileName, maxBytes, "SpectraWiz"), fileName,
                   DateTimeToText(FileDateTimeOf(fileName)));
}
