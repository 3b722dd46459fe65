#include "app/aux_curves.h"

#include <QFileDialog>

#include "app/file_filters.h"
#include "core/settings_globals.h"

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
    QFileDialog dlg(parent, QString::fromStdString(title), QString::fromStdString(folder));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(QtNameFilters(filter));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().front().toStdString();
}

bool LampSpekLaden(QWidget* parent) {
    const std::string name = OpenCurveFileDialog(parent, kLampDialogTitle, LampFolder, kLampDialogFilter);
    return LoadLampCurve(LampCurve, name, LampFolder);
}
