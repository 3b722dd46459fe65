// The save dispatcher's writer that lives in app/: the plot's image export, for the rows of the plot's
// save dialog.
#include "app/TMainwin.h"
#include "app/plot/Xygraph.h"
#include "core/helpers.h"
#include "formats/save_hooks.h"

void TMainwin::InstallSaveHooks() {
    SaveHooks().saveImage = [this](const std::string& fileName, SaveFormat format) {
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
}

void TMainwin::RemoveSaveHooks() { SaveHooks() = TSaveHooks{}; }
