#include "app/aux_curves.h"

#include "app/file_filters.h"
#include "app/program_state.h"

TAuxCurve LampCurve;
TAuxCurve CorrectionCurve;

namespace {
std::function<std::string(const std::string&, const std::string&)>& dialogHook() {
    static std::function<std::string(const std::string&, const std::string&)> hook;
    return hook;
}
}  // namespace

void SetCurveFileDialogHook(std::function<std::string(const std::string&, const std::string&)> hook) {
    dialogHook() = std::move(hook);
}

std::string OpenCurveFileDialog(QWidget* parent, const std::string& title, const std::string& folder,
                                const char* filter) {
    if (dialogHook()) return dialogHook()(title, folder);
    return ChooseFile(parent, {.Title = QString::fromStdString(title),
                               .Start = QString::fromStdString(folder),
                               .Filters = QtNameFilters(filter)});
}

bool LampSpekLaden(QWidget* parent) {
    const std::string name =
        OpenCurveFileDialog(parent, kLampDialogTitle, ProgramSettings.LampFolder, kLampDialogFilter);
    return LoadLampCurve(LampCurve, name, ProgramSettings.LampFolder);
}
