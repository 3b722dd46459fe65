#include "tools/rruff_export.h"

#include "core/helpers.h"
#include "platform/codepage.h"

namespace {

constexpr int32_t kRruffSourceKind = 39;
constexpr std::size_t kSampleLength = 7;

// The text after the marker in `text` (found in its upper-cased form, taken as stored), up to the
// first " ##" after it when `cutAtNext`, trimmed (the reader joins header lines with two blanks).
// Nothing when the marker is missing.
bool entryAfter(const std::string& text, const std::string& marker, bool cutAtNext, std::string& out) {
    const std::string upper = UpperAscii(text);
    std::size_t at = upper.find(" " + marker);
    std::size_t start;
    if (at != std::string::npos) {
        start = at + 1 + marker.size();
    } else {
        at = upper.find(marker);
        if (at == std::string::npos) return false;
        start = at + marker.size();
    }
    std::string value = text.substr(start);
    if (cutAtNext)
        if (auto end = value.find(" ##"); end != std::string::npos) value.resize(end);
    out = Trim(value);
    return true;
}

}  // namespace

void PresetFields(const TSpectrumRecord& rec, bool copyValues, TRruffHeader& fields, std::string& status) {
    auto defaults = [&] {
        fields.Name = NameWithoutExtension(rec.FileName.str());
        fields.Locality = "none";
        fields.Sample = "SAMP001";
        fields.Chemistry = "unknown";
    };
    if (!copyValues) {
        defaults();
        status = " ";
        return;
    }
    if (rec.SourceKind != kRruffSourceKind) {
        status = kRruffNoDataText;
        defaults();
        return;
    }
    const std::string& c1 = rec.Comment1.str();
    const std::string& c2 = rec.Comment2.str();
    const bool hasLocality = UpperAscii(c1).find("##LOCALITY=") != std::string::npos;
    const bool hasChemistry = UpperAscii(c2).find("##CHEMISTRY=") != std::string::npos;
    // The name and the sample identifier end where the next entry of their comment begins.
    entryAfter(c1, "##NAMES=", hasLocality, fields.Name);
    entryAfter(c1, "##LOCALITY=", false, fields.Locality);
    if (entryAfter(c2, "##RRUFFID=", hasChemistry, fields.Sample)) fields.Sample = cp1252::cut(fields.Sample, kSampleLength);
    entryAfter(c2, "##CHEMISTRY=", false, fields.Chemistry);
}

std::string SaveRruffExport(const TSpectraList& list, const TDisplayState& display, int32_t index,
                            const std::string& chosenName, const TRruffHeader& fields) {
    const TSpectrumRecord& rec = list[index];
    const std::string name = ChangeFileExt(chosenName, ".rruff");
    SaveSpecRruff(name, rec, fields, display);
    return name;
}
