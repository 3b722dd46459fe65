#include "formats/spc_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/spc_binding.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

// The SPC axis type of a stored x unit; -1 for none.
int32_t spcXTypeOf(const TSpectrumRecord& rec) {
    if (ContainsText(LowerAscii(rec.Comment2), "raman") || rec.XUnit == SpecXRamanShift) return spcXRamans;
    switch (rec.XUnit) {
    case SpecXNanometer: return spcXNMetr;
    case SpecXWavenumber: return spcXWaven;
    // Without a type of their own these read back as nm, 1000 times off or in the wrong direction.
    case SpecXMicrometer: return spcXUMetr;
    case SpecXElectronVolt: return spcXeV;
    default: return -1;
    }
}

// The y mode in which a kind's values are written. The file has no logarithmic type: a log-epsilon
// spectrum is written as epsilon values, the values its type names.
SpecYKind writtenModeOf(SpecYKind kind) {
    switch (kind) {
    case SpecYTransmittance: return SpecYTransmittance;
    case SpecYEpsilon:
    case SpecYLogEpsilon: return SpecYEpsilon;
    case SpecYReflectance: return SpecYReflectance;
    default: return SpecYAbsorbance;  // absorbance, and intensity as stored
    }
}

int32_t spcYTypeOf(SpecYKind kind) {
    switch (kind) {
    case SpecYTransmittance: return spcYTrans;
    case SpecYAbsorbance: return spcYAbsrb;
    case SpecYEpsilon: case SpecYLogEpsilon: return spcYExtCf;
    case SpecYIntensity: return spcYRelInt;
    case SpecYReflectance: return spcYReflec;
    default: return -1;
    }
}

void appendKey(IGTarnvik* g, const char* key, const std::string& value) {
    com::Bstr k(key), v(value);
    CheckSpc(g->AppendLogKey(k.get(), v.get()));
}

// A fresh evenly spaced document on the grid, axis types and date of `ref`.
void beginEvenSpc(IGTarnvik* g, const TSpectrumRecord& ref, const std::string& comment) {
    CheckSpc(g->CreateSpc(spcFileTypeEven));
    CheckSpc(g->put_FirstPoint(ref.FirstX));
    CheckSpc(g->put_LastPoint(ref.FirstX + (ref.PointCount() - 1) * ref.StepX));
    if (int32_t xt = spcXTypeOf(ref); xt >= 0) CheckSpc(g->put_XType(static_cast<spcXType>(xt)));
    if (int32_t yt = spcYTypeOf(ref.YKind); yt >= 0) CheckSpc(g->put_YType(static_cast<spcYType>(yt)));
    VARIANT date;
    VariantInit(&date);
    date.vt = VT_R8;
    date.dblVal = NowDateTime();
    CheckSpc(g->put_Date(date));
    com::Bstr text(comment);
    CheckSpc(g->put_Comment(text.get()));
}

// The values in the spectrum's own kind (intensity as stored, raw spectra as stored) as 4-byte floats.
void yValuesOf(const TSpectrumRecord& rec, std::vector<float>& y, com::Variant& out) {
    const SpecYKind mode = writtenModeOf(rec.YKind);
    y.resize(rec.Values.size());
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = static_cast<float>(StoredToDisplayY(rec, rec.Values[i], mode));
    static_cast<VARIANT&>(out) = com::floatArrayVariant(y.data(), y.size());
}

void finishSpc(IGTarnvik* g, const std::string& name, const std::string& fileName) {
    appendKey(g, "Instrum", "Unknown Instrument");
    appendKey(g, "Origin", "saved by Varolux32");
    appendKey(g, "Name", name);
    appendKey(g, "User", "Me");
    com::Bstr file(fileName);
    CheckSpc(g->SaveFile(file.get(), -1));
}

// Values the library could not store for a reason of the system (the file-size limit, a full disk)
// fail the save of `fileName`, told as every other failed save is; its refusals are told as they are.
void checkStored(HRESULT hr, const std::string& fileName) {
    const bool system = (static_cast<uint32_t>(hr) & 0xFFFF0000u) == 0x80070000u && hr != E_INVALIDARG &&
                        hr != E_OUTOFMEMORY;
    if (!system) return CheckSpc(hr);
    ClearErrorInfo();
    throw vx::FileError("Cannot write file \"" + fileName + "\". " + systemMessage(hr));
}

bool nearlyEqual(double a, double b) { return a == b || std::fabs(a - b) <= 1e-4 * std::max(std::fabs(a), std::fabs(b)); }

}  // namespace

void SaveSpectrumSpc(const TSpectrumRecord& rec, const std::string& fileName, const std::string& programFolder) {
    ProbeTarnvikServer(SpcBindCaller::Saver, programFolder);
    TarnvikPtr g = CreateTarnvik();
    beginEvenSpc(g.get(), rec, rec.Title.str());
    std::vector<float> y;
    com::Variant yv;
    yValuesOf(rec, y, yv);
    checkStored(g->AddPoints(yv, com::missingArg()), fileName);
    finishSpc(g.get(), rec.FileName.str(), fileName);
}

bool SameSpcDimensions(const TSpectraList& list) {
    if (list.Empty()) return false;
    const TSpectrumRecord& s0 = list[0];
    for (const auto& r : list) {
        // Every subfile lies on the grid of the first spectrum and carries its axis types.
        if (r->PointCount() != s0.PointCount() || !nearlyEqual(r->FirstX, s0.FirstX) ||
            !nearlyEqual(r->StepX, s0.StepX) || r->XUnit != s0.XUnit || r->YKind != s0.YKind)
            return false;
    }
    return true;
}

bool SaveSpectraSpcMultiFile(const TSpectraList& list, const std::string& fileName, const std::string& programFolder) {
    ProbeTarnvikServer(SpcBindCaller::Saver, programFolder);
    if (!SameSpcDimensions(list)) {
        ui::showMessage("Saving *.spc multi-file works only for spectra of same dimensions");
        return false;
    }
    TarnvikPtr g = CreateTarnvik();
    const TSpectrumRecord& s0 = list[0];
    const std::string name = NameWithoutFolder(fileName);
    const int32_t n = list.Count();
    beginEvenSpc(g.get(), s0, name);
    CheckSpc(g->put_ZIncrementTypeDefault(spcZIncTypeEven));

    // Excitation wavelengths as z values, rounded halves to even; unset ones count the subfiles.
    std::vector<double> e(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) e[std::size_t(i)] = std::nearbyint(list[i].ExcitationWl);
    if (n > 1 && e[1] - e[0] > 0) CheckSpc(g->put_ZIncrement(static_cast<float>(e[1] - e[0])));
    CheckSpc(g->put_ZStart(e[0] > 0 ? static_cast<float>(e[0]) : 1.0f));
    CheckSpc(g->put_ZType(e[0] > 0 ? spcXNMetr : spcXArb));

    std::vector<float> y;
    {
        com::Variant yv;
        yValuesOf(s0, y, yv);
        checkStored(g->AddPoints(yv, com::missingArg()), fileName);
    }
    const float zFirst = static_cast<float>(s0.ExcitationWl);
    const float zLast = static_cast<float>(list[n - 1].ExcitationWl);
    for (int32_t i = 1; i < n; ++i) {
        com::Variant yv;
        yValuesOf(list[i], y, yv);
        const bool excited = e[std::size_t(i)] > 0;
        checkStored(g->AddSubFile(yv, com::missingArg(), excited ? zFirst : 1.0f,
                                  excited ? zLast : static_cast<float>(n - 1)),
                    fileName);
    }
    finishSpc(g.get(), name, fileName);
    return true;
}
