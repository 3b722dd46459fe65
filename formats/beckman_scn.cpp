#include "formats/beckman_scn.h"

#include <algorithm>
#include <cmath>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/units.h"
#include "platform/byte_order.h"
#include "formats/binary_values.h"
#include "formats/reader_record.h"
#include "formats/text_loader.h"
#include "formats/text_spectra_support.h"
#include "platform/errors.h"

namespace {

constexpr std::size_t kHeaderSize = 59;
constexpr int32_t kSourceBeckman = 38;

}  // namespace

void ReadSpecBeckmanScnBytes(TSpectrumRecord& rec, std::string_view bytes, const std::string& fileName,
                             const std::string& dateText) {
    TSpectrumRecord r = StartReaderRecord(rec, fileName, NameWithoutFolder(fileName), "beckman_coulter_du_binary",
                                          kSourceBeckman, dateText);
    // Other files are not scans of this kind: nothing is read from them.
    if (bytes.size() < 6 || !ContainsText("S_SCAN S_NSCN", std::string(bytes.substr(0, 6)))) {
        rec = std::move(r);
        return;
    }
    if (bytes.size() < kHeaderSize) vx::throwStreamRead();
    const auto* d = reinterpret_cast<const uint8_t*>(bytes.data());
    const double first = BigEndianSingle(d + 38);
    const double last = BigEndianSingle(d + 42);
    const bool transmittance = d[46] != 0;
    const double step = BigEndianSingle(d + 51);
    r.YKind = transmittance ? SpecYTransmittance : SpecYAbsorbance;
    if (!std::isfinite(first) || !std::isfinite(last) || !std::isfinite(step) || step == 0.0)
        vx::throwInvalidFloatOp();
    // The count follows from the range; it must fit the values the file holds.
    const double intervals = std::nearbyint(std::fabs(last - first) / std::fabs(step));
    const std::size_t available = (bytes.size() - kHeaderSize) / 4;
    if (!(intervals + 1 <= static_cast<double>(available))) vx::throwStreamRead();
    const std::size_t n = static_cast<std::size_t>(intervals) + 1;
    if (n >= 2) {
        binvalues::AssignConverted<4>(r.Values, d + kHeaderSize, n, [](const uint8_t* p) { return double(BigEndianSingle(p)); });
        if (transmittance)
            for (double& y : r.Values) y = TransmittanceToStored(y, true, 1e-6, 6.0);
        r.StepX = std::fabs(step);
        r.FirstX = first;
        if (last < first) {
            r.FirstX = last;
            std::reverse(r.Values.begin(), r.Values.end());
        }
        if (!r.HasUsableGrid()) r.Values.clear();
    }
    rec = std::move(r);
}

void LoadSpecBeckmanScn(TSpectrumRecord& rec, const std::string& fileName, std::uint64_t maxBytes) {
    const MappedText file = MappedText::OpenBinaryFile(fileName, maxBytes, "SCN");
    ReadSpecBeckmanScnBytes(rec, file.Bytes(), fileName, DateTimeToText(FileDateTimeOf(fileName)));
}
