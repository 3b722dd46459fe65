#include "tools/gnuplot_export.h"

#include "platform/ui.h"

std::string GnuplotUnitRefusal(const TDisplayState& display) {
    switch (display.DisplayXUnit) {
    case SpecXElectronVolt: return "not yet implemented \r\nwith \"eV\" x axis type!";
    case SpecXMicrometer: return "not yet implemented \r\nwith \"\xC2\xB5m\" x axis type!";
    default: return {};
    }
}

TGnuDialogPreset GnuplotDialogPreset(const TSpectraList& list, const TDisplayState& display) {
    TGnuDialogPreset p;
    p.XTitleItem = display.DisplayXUnit == SpecXNanometer ? 0 : 1;
    bool absorbing = false, other = false;
    for (const auto& rec : list) {
        const int32_t k = rec->SourceKind;
        if (k == 1 || k == 3 || k == 15) absorbing = true;
        else if (k != SpecSourceRaw) other = true;
        if (k == SpecSourceRaw) p.RawCurves = true;
        p.YTitleItem = absorbing && !other ? 0 : (other && !absorbing ? 2 : 1);
    }
    if (display.DisplayYMode == SpecYTransmittance || display.DisplayYMode == SpecYReflectance) p.YTitleItem = 3;
    return p;
}

bool ExportGnuplot(TSpectraList& list, const TDisplayState& display, const TGnuplotSettings& settings,
                   const TGnuplotPlot& plot, const std::string& programFolder) {
    if (const std::string refusal = GnuplotUnitRefusal(display); !refusal.empty()) {
        ui::messageBox(refusal);
        return false;
    }
    if (list.Empty()) return false;
    SaveGnuplotFiles(list, display, settings, plot, programFolder);
    return true;
}
