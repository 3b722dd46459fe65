#include "tools/simple_y.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "tools/dialog_support.h"

const std::vector<std::string>& SimpleTypeTags() {
    static const std::vector<std::string> tags = {
        "ccdfx, ccdfy", "ccdex, ccdey", "polccdf",       "polccde",        "ccdfg",
        "ccdeg",        "cary50_csv",   "jcamp_dx",      "winspec_spe",    "korva_spc",
        "zeiss_dat",    "ccd_flasche",  "milton_asc",    "perkinelmer_dx", "perkinelmer_sp",
        "ascii_fak",    "ascii_dat",    "dms",           "fx,fy",          "ex,ey",
        "pole",         "polf"};
    return tags;
}

int32_t ApplyYConstant(TSpectraList& list, const TDisplayState& display, const TSimpleParams& params) {
    if (params.Operation < 0 || params.Operation > 3) return 0;
    const std::vector<int32_t> sources = ToolSourcesByType(list, params.ByType, params.Tag, params.Spectrum);
    // Every result first: a term that is no number stops the command before anything is appended.
    std::vector<std::unique_ptr<TSpectrumRecord>> results;
    for (int32_t i : sources) {
        std::unique_ptr<TSpectrumRecord> r;
        SpecConstArith(r, list[i], params.Constant, params.AppendToTitle ? 1 : 0, params.Operation,
                       kSimpleOps[params.Operation], display);
        results.push_back(std::move(r));
    }
    return AppendToolResults(list, results, sources, params.RemoveOriginal);
}
