#include "tools/remove_spectra.h"

#include "core/helpers.h"
#include "core/spectra_list.h"
#include "platform/numtext.h"

const std::vector<std::string>& RemoveDialogTags() {
    // The two binary readers whose tags were missing from the first list stand at the end.
    static const std::vector<std::string> tags = {
        "ascanis_dsp",     "ascii_dat",        "ascii_fak",   "avantes",
        "beckman_du",      "cary50_csv",       "ccd_flasche", "generic_csv",
        "korva_spc",       "jasco_jws",        "jcamp_dx",    "milton_asc",
        "oo_procspec",     "perkinelmer_dx",   "perkinelmer_sp", "rruff_raman",
        "spectrawiz",      "usgs_ftir",        "vwr_wls",     "winspec_spe",
        "zeiss_dat",       "beckman_coulter_du_binary", "shimadzu_spc"};
    return tags;
}

std::string RemoveListItemText(const TSpectraList& list, int32_t index) {
    return numtext::IntToStr(index + 1) + "- " + list[index].Title.str();
}

int32_t RemoveSpectraOfType(TSpectraList& list, const std::string& tagText) {
    int32_t removed = 0;
    for (int32_t i = list.Count() - 1; i >= 0; --i) {
        // The record's tag is searched in the chosen text, so "ccdfx, ccdfy" takes both.
        if (ContainsText(tagText, list[i].SpecType.str())) {
            DeleteSpectrum(list, i);
            ++removed;
        }
    }
    return removed;
}

int32_t RemoveSpectraByItems(TSpectraList& list, const std::vector<std::string>& items) {
    std::vector<double> numbers;
    for (const auto& item : items) {
        auto dash = item.find('-');
        if (dash == std::string::npos) continue;
        if (auto n = numtext::TryStrToInt(Trim(item.substr(0, dash)))) numbers.push_back(*n);
    }
    HeapSortDoubles(numbers);
    int32_t removed = 0;
    double last = -1;
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
        if (*it == last) continue;  // the same spectrum listed twice goes once
        last = *it;
        auto index = static_cast<int32_t>(*it) - 1;
        if (index < 0 || index >= list.Count()) continue;
        DeleteSpectrum(list, index);
        ++removed;
    }
    return removed;
}

void RemoveAllSpectra(TSpectraList& list) { list.Clear(); }

bool RemoveLastSpectrum(TSpectraList& list) {
    if (list.Empty()) return false;
    DeleteSpectrum(list, list.Count() - 1);
    return true;
}

bool AnySecondAxisSpectrum(const TSpectraList& list) {
    for (const auto& rec : list)
        if (rec->SourceKind == SpecSourceRaw) return true;
    return false;
}
