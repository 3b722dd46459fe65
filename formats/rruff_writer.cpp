#include "formats/rruff_writer.h"

#include "core/helpers.h"
#include "core/units.h"
#include "formats/file_writer.h"
#include "platform/numtext.h"

namespace {

// A header entry stays on its line.
std::string entry(const std::string& s) { return ControlCharsToBlanks(s); }

}  // namespace

std::string RruffExportText(const TSpectrumRecord& rec, const TRruffHeader& header, const TDisplayState& display) {
    using numtext::FloatFormat;
    std::string out;
    out.reserve(128 + rec.Values.size() * 24);
    out += "##NAMES=" + entry(header.Name) + "\r\n";
    out += "##LOCALITY=" + entry(header.Locality) + "\r\n";
    out += "##RRUFFID=" + entry(header.Sample) + "\r\n";
    out += "##CHEMISTRY=" + entry(header.Chemistry) + "\r\n";
    for (int32_t i = rec.PointCount() - 1; i >= 0; --i) {
        out += numtext::FloatToStrF(rec.XAt(i), FloatFormat::Fixed, 8, 3, '.');
        out += ", ";
        out += numtext::FloatToStrF(SpecYValue(rec, i, display), FloatFormat::Fixed, 7, 5, '.');
        out += "\r\n";
    }
    out += "##END= \r\n";
    return out;
}

void SaveSpecRruff(const std::string& fileName, const TSpectrumRecord& rec, const TRruffHeader& header,
                   const TDisplayState& display) {
    WriteTextFileAnsi(fileName, RruffExportText(rec, header, display));
}
