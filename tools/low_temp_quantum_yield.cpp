#include "tools/low_temp_quantum_yield.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/file_names.h"
#include "core/helpers.h"
#include "core/peaks.h"
#include "core/units.h"
#include "formats/file_writer.h"
#include "platform/data_folder.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/quantum_yield.h"

namespace {

using numtext::FloatFormat;

std::string G(double v, int precision) { return numtext::FloatToStrF(v, FloatFormat::General, precision, 3); }

// The solvent curves hold x = temperature in K on the record's nm grid; they are read as stored,
// whatever the display.
const TDisplayState kCurveUnits{SpecXNanometer, SpecYAbsorbance};

bool Covers(const TSpectrumRecord& curve, double x) {
    if (curve.PointCount() < 1 || !std::isfinite(x)) return false;
    double lo = curve.XAt(0), hi = curve.XAt(curve.PointCount() - 1);
    if (lo > hi) std::swap(lo, hi);
    const double eps = 1e-9 * std::max(1.0, std::abs(hi));
    return x >= lo - eps && x <= hi + eps;
}

std::string withoutTemperatureText(const TSpectrumRecord& rec) {
    return "absorption spectrum:\r\n\" " + rec.Title.str() + " \"\r\nwithout temperature!";
}

std::string outsideRefractionText(double t) {
    return "Refraction index curve does not reach " + numtext::FloatToStr(t) + "K!\r\nno QY for this temperature";
}

struct TRow {
    double T = 0, QY = 0, Lambda = 0, A = 0, NSquared = 0;
    bool HasLogEta = false;
    double LogEta = 0;
};

// One fluorescence spectrum; false when it gives no row (the message was shown).
bool OneSpectrum(TSpectraList& list, const TDisplayState& display, const TLTQYSettings& p,
                 const TLTQYSwitches& sw, const TSolventCurves& curves, int32_t seriesFirst, int32_t seriesLast, int32_t f, TRow& row,
                 TBandpass& lastBandpass) {
    TSpectrumRecord& fl = list[f];
    const double lambda = fl.ExcitationWl;
    const double t = fl.Temperature;

    int32_t partner = -1;
    for (int32_t k = seriesFirst; k <= seriesLast; ++k)
        if (list[k].Temperature == t) partner = k;
    if (partner < 0) {
        ui::messageBox(sw.Automatic ? "for this temperature (" + numtext::FloatToStr(t) +
                                         "K) there is no absorbance spectrum"
                                   : std::string(kNoPartnerText));
        return false;
    }

    double n2 = kDefaultNSquared;
    if (curves.Refraction) {
        if (!Covers(*curves.Refraction, t)) {
            ui::messageBox(outsideRefractionText(t));
            return false;
        }
        n2 = SpecYAtX(*curves.Refraction, t, kCurveUnits);
    } else {
        ui::messageBox(kNoRefractionCurveText);
    }

    const double integral = SpecRangeSum(fl, p.From, p.To, nullptr, display);

    TSpectrumRecord& partnerRec = list[partner];
    TSpectrumRecord& seriesRT = list[p.SeriesRTIndex];
    TSpectrumRecord& sampleRT = list[p.SampleRTIndex];
    const double atPartner = SpecYAtX(partnerRec, lambda, display);
    const double atSeriesRT = SpecYAtX(seriesRT, lambda, display);
    const double atSampleRT = SpecYAtX(sampleRT, lambda, display);
    double a = 1.0;
    if (atPartner > 0.0 && atSeriesRT > 0.0 && atSampleRT > 0.0) {
        a = BandpassApply(partnerRec, p.BandWidth, lambda, lastBandpass, display) * (atSampleRT / atSeriesRT);
    } else {
        ui::messageBox(kNoAbsorbanceAtExcitationText);
    }

    const double fa = sw.LowTemp ? AbsorbedFraction(a, p.PathLT, p.InnerFilterLT)
                                : AbsorbedFraction(a, p.PathRT, p.InnerFilterRT);
    const long double divisor = static_cast<long double>(fa) * (sw.LowTemp ? p.RefValueLT : p.RefValueRT);
    const long double qy =
        divisor == 0.0L ? 0.0L : static_cast<long double>(integral) * n2 * 1000.0L / divisor;

    row.T = t;
    row.QY = static_cast<double>(qy);
    row.Lambda = lambda;
    row.A = a;
    row.NSquared = n2;
    if (curves.Viscosity && Covers(*curves.Viscosity, t)) {
        row.HasLogEta = true;
        row.LogEta = SpecYAtX(*curves.Viscosity, t, kCurveUnits);
    }
    return true;
}

std::string RowText(const TRow& r, bool viscosityColumn) {
    std::string s = numtext::FloatToStr(r.T) + "\t" + G(r.QY * 100.0, 4) + "\t" + numtext::FloatToStr(r.Lambda) +
                    "\t" + G(r.A, 3) + "\t" + G(r.NSquared, 4);
    // Outside the viscosity curve the field stays empty, so the columns stay in place.
    if (viscosityColumn) s += "\t" + (r.HasLogEta ? G(r.LogEta, 4) : std::string()) + "\t";
    return s;
}

std::string LabelText(const TRow& r) {
    return "LT-QY\ttemp.\t Well.\teff. abs.\tn^2\r\n" + G(r.QY * 100.0, 4) + "%\t" + numtext::FloatToStr(r.T) +
           "\t" + numtext::FloatToStr(r.Lambda) + "\t" + G(r.A, 3) + "\t" + G(r.NSquared, 4);
}

}  // namespace

bool IsLTFluorescenceSpectrum(const TSpectrumRecord& rec) {
    return ContainsText(kLTFluorescenceTags, rec.SpecType.str());
}

TLTQYRun RunLowTempQY(TSpectraList& list, const TDisplayState& display, const TLTQYSettings& p,
                      const TLTQYSwitches& sw, const TSolventCurves& curves, bool memoEmpty,
                      int32_t& headerIndex, TBandpass& lastBandpass) {
    TLTQYRun run;
    // Refused before anything is computed, so that no run stops half-way.
    if (p.BandWidth < 1 || p.BandWidth > 1000) throw vx::Error(kBandpassWidthRefused);
    const int32_t first = std::min(p.SeriesRTIndex, p.SeriesLowIndex);
    const int32_t last = std::max(p.SeriesRTIndex, p.SeriesLowIndex);
    for (int32_t k = first; k <= last; ++k) {
        if (list[k].Temperature < 0.0) {
            ui::messageBox(withoutTemperatureText(list[k]));
            return run;
        }
    }
    if (list[p.SampleRTIndex].Temperature < 0.0) {
        ui::messageBox(withoutTemperatureText(list[p.SampleRTIndex]));
        return run;
    }

    std::vector<int32_t> spectra;
    if (sw.Automatic) {
        for (int32_t i = 0; i < list.Count(); ++i)
            if (IsLTFluorescenceSpectrum(list[i])) spectra.push_back(i);
    } else {
        if (!IsLTFluorescenceSpectrum(list[p.FluorescenceIndex])) {
            ui::messageBox(kNotFluorescenceText);
            return run;
        }
        spectra.push_back(p.FluorescenceIndex);
    }

    const bool viscosityColumn = curves.Viscosity != nullptr;
    auto empty = [&] { return memoEmpty && run.Lines.empty(); };
    // The header state changes only with a run that ends: an error on the way leaves it as it was.
    int32_t header = headerIndex;
    if (sw.Automatic && !empty()) run.Lines.emplace_back();
    for (int32_t f : spectra) {
        TRow row;
        if (!OneSpectrum(list, display, p, sw, curves, first, last, f, row, lastBandpass)) continue;
        if (header != p.SampleRTIndex) {
            if (!sw.Automatic && !empty()) run.Lines.emplace_back();
            const TSpectrumRecord& sample = list[p.SampleRTIndex];
            run.Lines.push_back((sw.Automatic ? "\"LT-QY (autom.) for abs. spectrum: " : "LT-QY for abs. spectrum: ") +
                                sample.Title.str() + "\tFilename:" + sample.FileName.str());
            run.Lines.push_back(std::string("T [K]\tQY [%]\t wavelength\teff. abs.\tn^2") +
                                (viscosityColumn ? "\tlog(eta)\t" : ""));
            header = p.SampleRTIndex;
        }
        run.Lines.push_back(RowText(row, viscosityColumn));
        ++run.Rows;
        if (!sw.Automatic) run.Label = LabelText(row);
    }
    headerIndex = header;
    return run;
}

void LoadSolventCurves(int32_t index, const std::string& itemText, const std::string& userTable,
                       const std::string& programFolder, TAuxCurve& refraction, TAuxCurve& viscosity) {
    refraction.Free();
    viscosity.Free();
    const bool shipped = index >= 0 && index < static_cast<int32_t>(std::size(kSolvents));
    const std::string name = shipped ? kSolvents[index].Name : itemText;
    auto load = [&](TAuxCurve& curve, const std::string& path, const char* what) {
        if (!FileExists(path)) {
            ui::messageBox(std::string("File for temp. dependant ") + what + "\r\nof " + name + " not found");
            return;
        }
        try {
            LoadAuxCurve(curve, path);
        } catch (const std::exception& e) {
            ui::messageBox(e.what());
        }
    };
    if (shipped) {
        load(refraction, FileBesideProgram(programFolder, kSolvents[index].RefractionFile), "refraction index");
        load(viscosity, FileBesideProgram(programFolder, kSolvents[index].ViscosityFile), "viscosity");
    } else {
        load(refraction, userTable.empty() ? FileBesideProgram(programFolder, itemText + ".fak") : userTable,
             "refraction index");
    }
}

std::string SaveLowTempQYTable(const std::string& name, const std::vector<std::string>& lines) {
    const std::string path = ChangeFileExt(name, ".txt");
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteTextFileAnsi(path, text);
    return path;
}
