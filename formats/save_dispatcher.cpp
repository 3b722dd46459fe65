#include "formats/save_dispatcher.h"

#include "core/helpers.h"
#include "formats/csv_writer.h"
#include "formats/dat_writer.h"
#include "formats/rvx.h"
#include "formats/save_hooks.h"
#include "platform/ui.h"

TSaveHooks& SaveHooks() {
    static TSaveHooks hooks;
    return hooks;
}

namespace {

bool unavailable(const std::string& fileName) {
    ui::showMessage("Saving *." + LowerAscii(UpperAscii(ExtensionOf(fileName))) + " files is not available in this version.");
    return false;
}

}  // namespace

int SaveFormatCodeOf(const std::string& fileName) {
    static const char* const names[] = {"RVX", "DAT", "CSV", "BMP", "GIF", "WMF", "TIF", "PNG", "SPC", "DX"};
    const std::string ext = UpperAscii(ExtensionOf(fileName));
    for (int i = 0; i < 10; ++i)
        if (ext == names[i]) return i + 1;
    return SaveNone;
}

bool SaveSpectraFile(const std::string& fileName, TSpectraList& list, const TDisplayState& display,
                     const TSaveOptions& options) {
    const int code = SaveFormatCodeOf(fileName);
    switch (code) {
    case SaveRvx: SaveRvxFile(fileName, list); return true;
    case SaveDat:
        return SaveDatFile(fileName, list, display, options.XDrawnMin, options.XDrawnMax, options.AsciiXStepChoice);
    case SaveCsv: return SaveCsvFile(fileName, list);
    case SaveBmp:
    case SaveGif:
    case SaveWmf:
    case SaveTif:
    case SavePng:
        if (!SaveHooks().saveImage) return unavailable(fileName);
        return SaveHooks().saveImage(fileName, code);
    case SaveSpc:
        if (!SaveHooks().saveSpc) return unavailable(fileName);
        return SaveHooks().saveSpc(fileName);
    case SaveJcampDx:
        if (!SaveHooks().saveJcamp) return unavailable(fileName);
        return SaveHooks().saveJcamp(fileName);
    default: return false;
    }
}
