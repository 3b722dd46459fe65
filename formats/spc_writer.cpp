#include "formats/spc_writer.h"

#include <vector>

#include "core/date_time.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/spc_binding.h"
#include "platform/numtext.h"
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
int32_t writtenModeOf(int32_t kind) {
    switch (kind) {
    case SpecYTransmittance: return SpecYTransmittance;
    case SpecYEpsilon:
    case SpecYLogEpsilon: return SpecYEpsilon;
    case SpecYReflectance: return SpecYReflectance;
    default: return SpecYAbsorbance;  // absorbance, and intensity as stored
    }
}

int32_t spcYTypeOf(int32_t kind) {
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

}  // namespace

void SaveSpectrumSpc(const TSpectrumRecord& rec, const std::string& fileName) {
    ProbeTarnvikServer(SpcBindCaller::Saver);
    TarnvikPtr g = CreateTarnvik();
    const int32_t n = rec.PointCount();

    CheckSpc(g->CreateSpc(spcFileTypeEven));
    CheckSpc(g->put_FirstPoint(rec.FirstX));
    CheckSpc(g->put_LastPoint(rec.FirstX + (n - 1) * rec.StepX));
    if (int32_t xt = spcXTypeOf(rec); xt >= 0) CheckSpc(g->put_XType(static_cast<spcXType>(xt)));
    if (int32_t yt = spcYTypeOf(rec.YKind); yt >= 0) CheckSpc(g->put_YType(static_cast<spcYType>(yt)));
    VARIANT date;
    VariantInit(&date);
    date.vt = VT_R8;
    date.dblVal = NowDateTime();
    CheckSpc(g->put_Date(date));
    com::Bstr title(rec.Title.str());
    CheckSpc(g->put_Comment(title.get()));

    // The values in the spectrum's own kind (intensity as stored, raw spectra as stored).
    std::vector<float> y(static_cast<std::size_t>(n));
    const int32_t mode = writtenModeOf(rec.YKind);
    for (int32_t i = 0; i < n; ++i)
        y[static_cast<std::size_t>(i)] = static_cast<float>(StoredToDisplayY(rec, rec.Values[std::size_t(i)], mode));
    com::Variant yv;
    static_cast<VARIANT&>(yv) = com::floatArrayVariant(y.data(), y.size());
    CheckSpc(g->AddPoints(yv, com::missingArg()));
    appendKey(g.get(), "Instrum", "Unknown Instrument");
    appendKey(g.get(), "Origin", "saved by Varolux32");
    appendKey(g.get(), "Name", rec.FileName.str());
    appendKey(g.get(), "User", "Me");
    com::Bstr name(fileName);
    CheckSpc(g->SaveFile(name.get(), -1));
}

bool SaveSpecSpc(const std::string& fileName) {
    if (SpectraList.Empty()) return false;
    int32_t index = 0;
    if (SpectraList.Count() > 1) {
        ui::Query q;
        q.dialog = "TAuswDia";
        q.caption = "Choose spectrum";
        q.fields["SpekBox"] = "0";
        for (const auto& rec : SpectraList) q.items.push_back(rec->Title.str());
        if (!ui::ask(q)) return false;
        auto chosen = numtext::TryStrToInt(q.fields["SpekBox"]);
        if (!chosen || *chosen < 0 || *chosen >= SpectraList.Count()) return false;
        index = *chosen;
    }
    SaveSpectrumSpc(SpectraList[index], fileName);
    return true;
}
