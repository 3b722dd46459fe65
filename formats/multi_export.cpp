#include "formats/multi_export.h"

#include "core/helpers.h"
#include "formats/csv_writer.h"
#include "formats/jcamp_writer.h"
#include "formats/spc_writer.h"

bool SaveSpectraMulti(const TSpectraList& list, const std::string& fileName, int multi, int32_t index,
                      const std::string& programFolder) {
    const std::string ext = UpperAscii(ExtensionOf(fileName));
    const bool all = multi == 1;
    if (ext == "SPC") {
        if (all) return SaveSpectraSpcMultiFile(list, fileName, programFolder);
        SaveSpectrumSpc(list[index], fileName, programFolder);
        return true;
    }
    if (ext == "DX") {
        if (all) SaveSpecJcampLinked(fileName, list);
        else SaveSpecJcamp(fileName, list[index]);
        return true;
    }
    if (ext == "CSV") {
        TCsvLayout layout;
        layout.CapitalYTitles = true;
        if (!all) layout.Only = index;
        return SaveCsvFile(fileName, list, layout);
    }
    return false;
}
