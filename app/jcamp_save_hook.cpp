// Connects the save command's JCAMP-DX case to the writer; with several spectra the user picks one.
#include <QApplication>

#include "app/dialogs/TAuswDia.h"
#include "formats/jcamp_writer.h"
#include "formats/save_hooks.h"

namespace {

const bool registered = [] {
    SaveHooks().saveJcamp = [](const std::string& fileName) {
        return SaveSpecJcampChosen(fileName, [] {
            return static_cast<int32_t>(TAuswDia::Choose(QApplication::activeWindow(), "Choose spectrum"));
        });
    };
    return true;
}();

}  // namespace
