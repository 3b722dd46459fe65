#include "tools/blank_eem.h"

#include <cmath>
#include <exception>

#include "core/file_names.h"
#include "core/helpers.h"
#include "formats/rvx.h"
#include "platform/ui.h"

namespace {
int32_t roundedWl(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 1e9) return 0;
    return static_cast<int32_t>(std::nearbyint(v));
}

// |1 - blank/data| < 0.0001; a zero data value matches only a zero.
bool relativelyClose(double blank, double data) {
    if (data == 0.0) return blank == 0.0;
    return std::fabs(1.0 - blank / data) < 1e-4;
}
}  // namespace

TEEMDescription DescribeEEM(const TSpectraList& list, int32_t first, int32_t n) {
    TEEMDescription d;
    if (first < 0 || n <= 0 || first + n > list.Count()) return d;
    const TSpectrumRecord& a = list[first];
    d.Count = n;
    d.ExStart = roundedWl(a.ExcitationWl);
    d.ExEnd = roundedWl(list[first + n - 1].ExcitationWl);
    if (n >= 2) d.ExStep = roundedWl(list[first + 1].ExcitationWl - a.ExcitationWl);
    d.EmStart = a.FirstX;
    d.EmStep = a.StepX;
    d.EmEnd = a.FirstX + (a.PointCount() - 1) * a.StepX;
    return d;
}

bool IsEEMData(const TEEMDescription& d) {
    return d.Count >= 3 && d.ExStart >= 2 && d.ExEnd >= 2 && d.EmStart > 1 && d.EmEnd > 1 && d.ExStep >= 1;
}

bool BlankFitsEEM(const TSpectraList& list, int32_t n) {
    if (n <= 2 || list.Count() != 2 * n) return false;
    const TEEMDescription data = DescribeEEM(list, 0, n);
    const TEEMDescription blank = DescribeEEM(list, n, n);
    if (blank.ExStart != data.ExStart || blank.ExEnd != data.ExEnd || blank.ExStep != data.ExStep) return false;
    if (!relativelyClose(blank.EmStep, data.EmStep) || !relativelyClose(blank.EmStart, data.EmStart) ||
        !relativelyClose(blank.EmEnd, data.EmEnd))
        return false;
    // Every pair, not only the first: a blank spectrum of another length would be read past its end.
    for (int32_t i = 0; i < n; ++i) {
        const TSpectrumRecord& d = list[i];
        const TSpectrumRecord& b = list[i + n];
        if (b.PointCount() != d.PointCount() || b.XUnit != d.XUnit || !relativelyClose(b.FirstX, d.FirstX) ||
            !relativelyClose(b.StepX, d.StepX))
            return false;
    }
    return true;
}

void RemoveBlank(TSpectraList& list, int32_t n) {
    while (list.Count() > n && list.Count() > 0) DeleteSpectrum(list, list.Count() - 1);
}

BlankLoad LoadBlankDataset(TSpectraList& list, int32_t n, const std::string& fileName) {
    RemoveBlank(list, n);
    if (fileName.empty() || UpperAscii(ExtensionOf(fileName)) != "RVX") return BlankLoad::NotLoaded;
    try {
        LoadRvxFile(fileName, list);
    } catch (const std::exception& e) {
        RemoveBlank(list, n);
        ui::messageBox(e.what());
        return BlankLoad::NotLoaded;
    }
    if (list.Count() == n) return BlankLoad::NotLoaded;
    if (BlankFitsEEM(list, n)) return BlankLoad::Fits;
    ui::messageBox(kBlankNoFitText);
    RemoveBlank(list, n);
    return BlankLoad::DoesNotFit;
}

bool SubtractBlankEEM(TSpectraList& list, int32_t n, bool appendToLegend) {
    if (!BlankFitsEEM(list, n)) {
        RemoveBlank(list, n);
        return false;
    }
    for (int32_t i = 0; i < n; ++i) {
        TSpectrumRecord& d = list[i];
        const TSpectrumRecord& b = list[i + n];
        for (std::size_t j = 0; j < d.Values.size(); ++j) d.Values[j] -= b.Values[j];
        if (appendToLegend) d.Title = d.Title + ", blank subtracted";
    }
    RemoveBlank(list, n);
    return true;
}
