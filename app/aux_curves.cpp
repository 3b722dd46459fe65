#include "app/aux_curves.h"

#include "app/file_filters.h"
#include "app/program_state.h"

TAuxCurve LampCurve;
TAuxCurve CorrectionCurve;

std::string OpenCurveFileDialog(QWidget* parent, const std::string& title, const std::string& folder,
                                const char* filter) {
    return ChooseFile(parent, {.Title = QString::fromStdString(title),
                               .Start = QString::fromStdString(folder),
                               .Filters = QtNameFilters(filter)});
}

bool LampSpekLaden(QWidget* parent) {
    const std::string name =
        OpenCurveFileDialog(parent, kLampDialogTitle, ProgramSettings.LampFolder, kLampDialogFilter);
    return LoadLampCurve(LampCurve, name, ProgramSettings.LampFolder);
}
