#include "formats/jcamp_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/units.h"
#include "formats/file_writer.h"
#include "formats/text_spectra_support.h"
#include "platform/codepage.h"
#include "platform/numtext.h"

namespace {

using numtext::FloatFormat;

constexpr const char* kEol = "\r\n";

std::string fixedDot(double v, int precision, int digits) {
    return numtext::FloatToStrF(v, FloatFormat::Fixed, precision, digits, '.');
}

// FIRSTX and LASTX: 8 significant digits, never in exponent form (standard readers build the grid
// from them).
std::string gridEnd(double v) {
    std::string s = fixedDot(v, 8, 6);
    if (s.find('E') != std::string::npos) s = fixedDot(v, 18, 6);
    return s;
}

// Our own date texts "yyyy-mm-dd ..." use "/" between the date parts in JCAMP-DX.
bool isOwnDateForm(const std::string& t) {
    if (t.size() < 10 || t[4] != '-' || t[7] != '-') return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}

const char* xUnitsText(SpecXUnit u) {
    switch (u) {
    case SpecXWavenumber:
    case SpecXRamanShift: return "1/CM";
    case SpecXElectronVolt: return "eV";
    case SpecXMicrometer: return "MICROMETERS";
    default: return "NANOMETERS";
    }
}

const char* xLabelText(SpecXUnit u) {
    switch (u) {
    case SpecXWavenumber: return "Wavenumbers [1/cm]";
    case SpecXElectronVolt: return "Electron Volts [eV]";
    case SpecXMicrometer: return "Wavelength [\xC2\xB5m]";
    case SpecXRamanShift: return "Raman Shift [1/cm]";
    default: return "Wavelength [nm]";
    }
}

const char* yUnitsText(SpecYKind k) {
    switch (k) {
    case SpecYTransmittance: return "TRANSMITTANCE";
    case SpecYEpsilon: return "EPSILON";
    case SpecYLogEpsilon: return "LOGARITHM EPSILON";
    case SpecYIntensity: return "ARBITRARY UNITS";
    case SpecYReflectance: return "REFLECTANCE";
    default: return "ABSORBANCE";
    }
}

const char* yLabelText(SpecYKind k) {
    switch (k) {
    case SpecYTransmittance: return "Transmittance";
    case SpecYEpsilon: return "Molar Absorption Coefficient [l/(mol*cm)]";
    case SpecYLogEpsilon: return "log(Epsilon)";
    case SpecYIntensity: return "Intensity";
    case SpecYReflectance: return "Reflectance";
    default: return "Absorbance";
    }
}

// The display mode that shows a record in its own kind (intensity shows as stored).
SpecYKind ownMode(SpecYKind kind) {
    switch (kind) {
    case SpecYTransmittance:
    case SpecYEpsilon:
    case SpecYLogEpsilon:
    case SpecYReflectance: return kind;
    default: return SpecYAbsorbance;
    }
}

// The y numbers are written with 5 decimals. A block whose largest |y| is below 0.1 would keep fewer
// than four significant digits, so its numbers are divided by the power of ten that brings the largest
// |y| into 1..10, which YFACTOR carries (readers multiply by it); larger blocks keep the factor 1.
struct YScale {
    double factor = 1.0;
    std::string text;
};

YScale yScaleOf(const TSpectrumRecord& rec, SpecYKind mode) {
    double largest = 0.0;
    for (double v : rec.Values) {
        const double y = std::fabs(StoredToDisplayY(rec, v, mode));
        if (std::isfinite(y)) largest = std::max(largest, y);
    }
    YScale s;
    if (!(largest > 0.0 && largest < 0.1)) {
        s.text = fixedDot(1.0, 4, 6);
        return s;
    }
    int e = static_cast<int>(std::floor(std::log10(largest)));
    auto power = [](int x) { return std::strtod(("1E" + std::to_string(x)).c_str(), nullptr); };
    if (largest / power(e) >= 10.0) ++e;
    if (largest / power(e) < 1.0) --e;
    e = std::max(e, -307);  // stays a normal double
    // The factor is the very number its text reads as, so a reader's product gives the value back.
    s.text = "1E" + std::to_string(e);
    s.factor = power(e);
    return s;
}

void line(std::string& out, const std::string& label, const std::string& value) {
    out += "##";
    out += label;
    out += "= ";
    out += value;
    out += kEol;
}

}  // namespace

std::string JcampBlockText(const TSpectrumRecord& rec, int blockId) {
    std::string out;
    const int32_t n = rec.PointCount();
    out.reserve(600 + static_cast<std::size_t>(n) * 10);
    line(out, "TITLE", cp1252::cut(rec.Title.str(), 255 - 9));
    out += "##JCAMP-DX= 5.01  $$ datafile exported by Varolux32 v.1.72.2p";
    out += kEol;
    if (blockId > 0) line(out, "BLOCK_ID", std::to_string(blockId));

    const std::string& date = rec.DateText.str();
    if (!date.empty()) {
        if (rec.SourceKind != SpecSourceJcamp || date.find(' ') != std::string::npos) {
            std::string t = date;
            if (std::count(t.begin(), t.end(), '.') >= 2) std::replace(t.begin(), t.end(), '.', '/');
            if (isOwnDateForm(t)) std::replace(t.begin(), t.end(), '-', '/');
            line(out, "LONGDATE", t);
        } else {
            line(out, "DATE", date);
        }
    }
    line(out, "OWNER", "unknown");
    line(out, "ORIGIN", "unknown");

    const std::string& c1 = rec.Comment1.str();
    std::string type = c1, processing;
    bool hasProcessing = false;
    if (auto p = c1.find(", "); p != std::string::npos) {
        type = c1.substr(0, p);
        processing = c1.substr(p + 2);
        hasProcessing = true;
    }
    if (rec.XUnit == SpecXRamanShift) {
        // The type carries "RAMAN" so that a reader takes x as Raman shift; the comment is kept.
        if (!hasProcessing && !c1.empty() && c1 != "RAMAN SPECTRUM") {
            processing = c1;
            hasProcessing = true;
        }
        type = "RAMAN SPECTRUM";
    }
    line(out, "DATA TYPE", type);
    if (hasProcessing) line(out, "DATA PROCESSING", processing);
    line(out, "DATA CLASS", "XYDATA");
    line(out, "SPECTROMETER/DATASYSTEM", rec.Comment2.empty() ? std::string("unknown") : rec.Comment2.str());
    line(out, "XUNITS", xUnitsText(rec.XUnit));
    line(out, "YUNITS", yUnitsText(rec.YKind));
    line(out, "XLABEL", xLabelText(rec.XUnit));
    line(out, "YLABEL", yLabelText(rec.YKind));
    const SpecYKind mode = ownMode(rec.YKind);
    const YScale scale = yScaleOf(rec, mode);
    line(out, "XFACTOR", fixedDot(1.0, 4, 6));
    line(out, "YFACTOR", scale.text);
    line(out, "FIRSTX", gridEnd(rec.FirstX));
    line(out, "LASTX", gridEnd(rec.FirstX + (n - 1) * rec.StepX));
    line(out, "DELTAX", fixedDot(rec.StepX, 6, 6));
    line(out, "NPOINTS", std::to_string(n));
    line(out, "XYDATA", "(X++(Y..Y))");

    out += fixedDot(rec.XAt(0), 8, 3);
    for (int32_t i = 0; i < n; ++i) {
        if (i >= 10 && i % 10 == 0) {
            out += kEol;
            out += fixedDot(rec.XAt(i), 8, 3);
        }
        out += ' ';
        const double y = StoredToDisplayY(rec, rec.Values[static_cast<std::size_t>(i)], mode);
        out += fixedDot(scale.factor == 1.0 ? y : y / scale.factor, 7, 5);
    }
    out += kEol;
    out += "##END= ";
    out += kEol;
    return out;
}

std::string JcampLinkedText(const TSpectraList& list, const std::string& fileName) {
    std::string out;
    line(out, "TITLE", NameWithoutFolder(fileName));
    line(out, "JCAMP-DX", "5.01");
    line(out, "DATA TYPE", "LINK");
    line(out, "BLOCKS", std::to_string(list.Count()));
    for (int32_t k = 0; k < list.Count(); ++k) out += JcampBlockText(list[k], k + 1);
    out += "##END= ";
    out += kEol;
    return out;
}

void SaveSpecJcamp(const std::string& fileName, const TSpectrumRecord& rec) {
    WriteTextFileAnsi(fileName, JcampBlockText(rec));
}

void SaveSpecJcampLinked(const std::string& fileName, const TSpectraList& list) {
    WriteTextFileAnsi(fileName, JcampLinkedText(list, fileName));
}
