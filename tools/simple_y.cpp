#include "tools/simple_y.h"

#include <memory>

#include "core/spectra_list.h"
#include "core/spectrum_arithmetic.h"
#include "core/helpers.h"
#include "platform/numtext.h"
#include "platform/ui.h"
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

namespace {
// A term without x and y that reads as the number 0 (a term that is no number is the routine's to refuse).
bool isZeroConstant(std::string term) {
    if (term.find_first_of("xy") != std::string::npos) return false;
    FixDecimalSeparator(term);
    const auto v = numtext::TryStrToFloat(term);
    return v && *v == 0.0;
}
}  // namespace

int32_t ApplyYConstant(TSpectraList& list, const TDisplayState& display, const TSimpleParams& params) {
    if (params.Operation < 0 || params.Operation > 3) return 0;
    // The routine would give an all-zero spectrum titled "÷ 0", which nobody asks for.
    if (params.Operation == ConstOpDivide && isZeroConstant(params.Constant)) {
        ui::messageBox(kYConstDivisionByZeroText);
        return 0;
    }
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
