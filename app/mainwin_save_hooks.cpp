// The save dispatcher's writers that live in app/: the plot's image export, the SPC library binding
// and the JCAMP-DX writer. With several spectra the SPC and JCAMP-DX cases let the user pick one.
#include <QApplication>

#include "app/TMainwin.h"
#include "app/dialogs/TAuswDia.h"
#include "app/plot/Xygraph.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "formats/jcamp_writer.h"
#include "formats/save_hooks.h"
#include "formats/spc_writer.h"

namespace {

int32_t chooseSpectrum() {
    return static_cast<int32_t>(TAuswDia::Choose(QApplication::activeWindow(), "Choose spectrum"));
}

}  // namespace

void TMainwin::InstallSaveHooks() {
    TSaveHooks& hooks = SaveHooks();
    hooks.saveImage = [this](const std::string& fileName, SaveFormat format) {
        if (!plot_) return false;
        const QString f = QString::fromStdString(fileName);
        switch (format) {
        case SaveFormat::Bmp: plot_->SaveBmp(f); break;
        case SaveFormat::Gif: plot_->SaveGif(f); break;
        case SaveFormat::Wmf: plot_->MetafileName = f; plot_->SaveMetafile(false); break;
        case SaveFormat::Tif: plot_->SaveTiff(f); break;
        case SaveFormat::Png: plot_->SavePng(f); break;
        default: return false;
        }
        return FileExists(fileName);
    };
    hooks.saveSpc = [](const std::string& fileName) {
        if (SpectraList.Empty()) return false;
        int32_t index = 0;
        if (SpectraList.Count() > 1) {
            index = chooseSpectrum();
            if (index < 0 || index >= SpectraList.Count()) return false;
        }
        SaveSpectrumSpc(SpectraList[index], fileName);
        return true;
    };
    hooks.saveJcamp = [](const std::string& fileName) { return SaveSpecJcampChosen(fileName, SpectraList, chooseSpectrum); };
}

void TMainwin::RemoveSaveHooks() { SaveHooks() = TSaveHooks{}; }
