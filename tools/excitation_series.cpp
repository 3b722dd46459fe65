#include "tools/excitation_series.h"

#include <cmath>
#include <exception>

#include "core/units.h"
#include "platform/errors.h"
#include "platform/numtext.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {

bool wavelengthSet(double v) { return v != -1.0 && std::isfinite(v) && std::fabs(v) < 2e9; }

int32_t rounded(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

void replaceAll(std::string& s, const std::string& what, const std::string& by) {
    if (what.empty()) return;
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + by.size()))
        s.replace(at, what.size(), by);
}

// Excitation-spectrum tag of an emission-spectrum tag, and whether the title carries the tag.
struct ExTag {
    std::string tag;
    bool titled;
};
ExTag excitationTag(const std::string& tag) {
    if (tag == "ccdfx") return {"ccdex", true};
    if (tag == "ccdfy") return {"ccdey", true};
    if (tag == "ccdfg") return {"ccdeg", true};
    return {tag, false};  // "ccd_flasche" and any other tag are kept
}

// More detection wavelengths than any instrument has: a range typed wrongly, not a request.
constexpr long long kMaxExcitationSpectra = 100000;

}  // namespace

// ----- excitation wavelength assignment

TExWlStartTexts ExWlStartTexts(const TSpectraList& list) {
    TExWlStartTexts t;
    const int32_t n = list.Count();
    if (n == 0) return t;
    const double a = list[0].ExcitationWl, b = list[n - 1].ExcitationWl;
    if (wavelengthSet(a)) t.Start = numtext::IntToStr(rounded(a));
    if (wavelengthSet(b)) t.End = numtext::IntToStr(rounded(b));
    // The step is read as a whole number on OK, so the edit gets the rounded value.
    if (n >= 2 && !t.Start.empty() && !t.End.empty())
        t.Step = numtext::IntToStr(rounded((rounded(b) - rounded(a)) / static_cast<double>(n - 1)));
    return t;
}

int32_t ExWlEndOf(int32_t start, int32_t step, int32_t first, int32_t last) {
    return static_cast<int32_t>(start + static_cast<long long>(last - first) * step);
}

int32_t ExWlStartOf(int32_t end, int32_t step, int32_t first, int32_t last) {
    return static_cast<int32_t>(end - static_cast<long long>(last - first) * step);
}

bool AssignExcitationWavelengths(TSpectraList& list, const TExWlAssignment& a) {
    if (a.Start <= 0 || a.End <= 0) {
        ui::messageBox(kNoExWlSetText);
        return false;
    }
    if (!ValidSpectrumIndex(list, a.First) || !ValidSpectrumIndex(list, a.Last) || a.Last < a.First) return false;
    for (int32_t k = a.First; k <= a.Last; ++k) {
        const long long wl = a.Start + static_cast<long long>(k - a.First) * a.Step;
        list[k].ExcitationWl = static_cast<double>(wl);
        if (a.ReplaceNames) list[k].Title = numtext::IntToStr(wl);
    }
    return true;
}

// ----- excitation spectra

int32_t ReadDetectionStep(const std::string& text, int32_t previous) {
    try {
        return numtext::StrToInt(text);
    } catch (const vx::ConversionError& e) {
        if (std::string(e.what()).find("is not a valid integer value") == std::string::npos) throw;
        ui::messageBox(kWholeStepsText);
        return previous;
    }
}

std::vector<std::unique_ptr<TSpectrumRecord>> CalculateExcitationSpectra(TSpectraList& list,
                                                                         const TDisplayState& display,
                                                                         const TExcitationSpectraParams& p) {
    std::vector<std::unique_ptr<TSpectrumRecord>> out;
    const int32_t n = list.Count();
    const double exStep = n >= 2 ? list[1].ExcitationWl - list[0].ExcitationWl : 0.0;
    // A step <= 0 never reaches the end of the range; one spectrum has no excitation step.
    const bool refused = p.From >= p.To || p.Step <= 0 || n < 2 || exStep == 0.0 || !std::isfinite(exStep) ||
                         (static_cast<long long>(p.To) - p.From) / p.Step + 1 > kMaxExcitationSpectra;
    if (refused) {
        ui::messageBox(kWrongRangeText);
        return out;
    }
    TSpectrumRecord& first = list[0];
    const ExTag ex = excitationTag(first.SpecType);
    if (ex.titled) {
        std::string t = first.Title.str();
        replaceAll(t, first.Comment2.str(), "");
        replaceAll(t, " nm", "");
        first.Title = t;
    }
    // The detection wavelengths are wavelengths whatever the plot shows.
    TDisplayState nm = display;
    nm.DisplayXUnit = SpecXNanometer;
    const std::string temperature =
        first.Temperature == -1.0 ? std::string("295") : numtext::FloatToStr(first.Temperature);
    for (long long w = p.From; w <= p.To; w += p.Step) {
        auto r = std::make_unique<TSpectrumRecord>();
        const std::string wText = numtext::IntToStr(w);
        r->ExcitationWl = static_cast<double>(w);
        r->Comment1 = temperature;
        r->Comment2 = wText;
        r->SpecType = ex.tag;
        if (ex.titled) {
            std::string t = first.Title.str();
            if (const auto at = t.find(first.SpecType.str()); at != std::string::npos)
                t.replace(at, first.SpecType.str().size(), ex.tag);
            r->Title = t + " " + wText + "nm";
        } else {
            r->Title = "excitation spectrum, detection wavelength: " + wText + "nm";
        }
        r->SourceKind = first.SourceKind == 16 ? 17 : first.SourceKind;
        r->PathLength = first.PathLength;
        r->Concentration = first.Concentration;
        r->FileName = first.FileName;
        r->Solvent = first.Solvent;
        r->DateText = first.DateText;
        r->Temperature = first.Temperature;
        r->ExposureTime = first.ExposureTime;
        r->XUnit = first.XUnit;
        r->YKind = first.YKind;
        r->FirstX = first.ExcitationWl;
        r->StepX = exStep;
        r->Values.resize(static_cast<std::size_t>(n));
        for (int32_t k = 0; k < n; ++k)
            r->Values[static_cast<std::size_t>(k)] =
                SpecYToStored(*r, SpecYAtX(list[k], static_cast<double>(w), nm), display);
        out.push_back(std::move(r));
    }
    return out;
}

std::string StoreExcitationSpectra(TSpectraList& list, std::vector<std::unique_ptr<TSpectrumRecord>>& spectra,
                                   bool removeFluorescence) {
    if (removeFluorescence) list.Clear();
    for (auto& r : spectra)
        if (r) list.AddWithDefaultColor(std::move(r));
    spectra.clear();
    return removeFluorescence ? kExSpectraDeletedText : kExSpectraCalculatedText;
}

// ----- excitation intensity correction

std::vector<std::unique_ptr<TSpectrumRecord>> CorrectExcitationIntensity(const TSpectraList& list,
                                                                         const TDisplayState& display,
                                                                         const TSpectrumRecord* lamp,
                                                                         int32_t first, int32_t last) {
    std::vector<std::unique_ptr<TSpectrumRecord>> out;
    if (!lamp) {
        ui::messageBox(kNoLampText);
        return out;
    }
    if (first >= last || !ValidSpectrumIndex(list, first) || !ValidSpectrumIndex(list, last)) {
        ui::messageBox(kWrongRangeText);
        return out;
    }
    TSpectrumRecord lampCurve = *lamp;
    TDisplayState nm = display;
    nm.DisplayXUnit = SpecXNanometer;
    try {
        for (int32_t k = first; k <= last; ++k) {
            const TSpectrumRecord& src = list[k];
            if (!(src.ExcitationWl > 0.0) || !std::isfinite(src.ExcitationWl)) {
                ui::messageBox(kNoWavelengthText);
                return {};
            }
            auto r = std::make_unique<TSpectrumRecord>(src);
            r->Title = src.Title + " Excitation intensity corrected";
            r->Comment2 = numtext::FloatToStr(src.ExcitationWl);
            if (src.SourceKind == SpecSourcePrn) r->SourceKind = 16;
            const double l = SpecYAtX(lampCurve, src.ExcitationWl, nm);
            for (int32_t i = 0; i < src.PointCount(); ++i) {
                const double v = l == 0.0 ? 0.0 : SpecYValue(src, i, display) / l;
                r->Values[static_cast<std::size_t>(i)] = SpecYToStored(*r, v, display);
            }
            out.push_back(std::move(r));
        }
    } catch (const std::exception&) {
        ui::messageBox("something went wrong");
        return {};
    }
    return out;
}

void ReplaceByCorrected(TSpectraList& list, std::vector<std::unique_ptr<TSpectrumRecord>>& corrected) {
    list.Clear();
    for (auto& r : corrected)
        if (r) list.Add(std::move(r));
    corrected.clear();
}
