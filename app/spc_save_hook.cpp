// Connects the save command's SPC case to the library binding; with several spectra the user picks one.
#include <QApplication>

#include "app/dialogs/TAuswDia.h"
#include "core/spectra_list.h"
#include "formats/save_hooks.h"
#include "formats/spc_writer.h"

namespace {

const bool registered = [] {
    SaveHooks().saveSpc = [](const std::string& fileName) {
        if (SpectraList.Empty()) return false;
        int index = 0;
        if (SpectraList.Count() > 1) {
            index = TAuswDia::Choose(QApplication::activeWindow(), "Choose spectrum");
            if (index < 0 || index >= SpectraList.Count()) return false;
        }
        SaveSpectrumSpc(SpectraList[index], fileName);
        return true;
    };
    return true;
}();

}  // namespace
