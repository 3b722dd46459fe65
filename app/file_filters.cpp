#include "app/file_filters.h"

#include <QFileDialog>

#include "core/file_names.h"
#include "core/helpers.h"
#include "formats/format_table.h"
#include "platform/ui.h"

bool ConfirmReplaceFile(const std::string& name) {
    return !FileExists(name) ||
           ui::messageBox(name + " already exists.\r\nDo you want to replace it?", "Confirm Save As",
                          ui::Buttons::YesNo, ui::Icon::Warning) == ui::Answer::Yes;
}

namespace {
std::function<TFileDialogChoice(const TFileDialogSpec&)>& fileDialogRunner() {
    static std::function<TFileDialogChoice(const TFileDialogSpec&)> runner;
    return runner;
}
}  // namespace

void SetFileDialogRunner(std::function<TFileDialogChoice(const TFileDialogSpec&)> runner) {
    fileDialogRunner() = std::move(runner);
}

TFileDialogChoice RunFileDialog(QWidget* parent, const TFileDialogSpec& spec) {
    if (fileDialogRunner()) return fileDialogRunner()(spec);
    using TMode = TFileDialogSpec::TMode;
    QFileDialog dlg(parent, spec.Title, spec.Start);
    dlg.setObjectName(spec.ObjectName);
    dlg.setAcceptMode(spec.Mode == TMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(spec.Mode == TMode::Save       ? QFileDialog::AnyFile
                    : spec.Mode == TMode::OpenMany ? QFileDialog::ExistingFiles
                                                   : QFileDialog::ExistingFile);
    if (spec.Mode == TMode::Save) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (spec.HideFilterDetails) dlg.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!spec.Filters.isEmpty()) dlg.setNameFilters(spec.Filters);
    TFileDialogChoice choice;
    if (dlg.exec() != QDialog::Accepted) return choice;
    for (const QString& f : dlg.selectedFiles()) choice.Names.push_back(f.toStdString());
    choice.FilterIndex = SelectedFilterIndex(spec.Filters, dlg.selectedNameFilter());
    return choice;
}

std::string ChooseFile(QWidget* parent, const TFileDialogSpec& spec) {
    TFileDialogChoice choice = RunFileDialog(parent, spec);
    return choice.Names.empty() ? std::string() : std::move(choice.Names.front());
}

QString QtNameFilter(const std::string& description, const std::string& patterns) {
    QStringList pats;
    for (const QString& p : QString::fromStdString(patterns).split(';', Qt::SkipEmptyParts)) {
        const QString t = p.trimmed();
        for (const QString& v : {t.toUpper(), t.toLower()}) {
            if (!pats.contains(v)) pats << v;
        }
    }
    return QString::fromStdString(description) + " (" + pats.join(' ') + ")";
}

QStringList QtNameFilters(const std::string& pipeSeparated) {
    const QStringList parts = QString::fromStdString(pipeSeparated).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        out << QtNameFilter(parts[i].toStdString(), parts[i + 1].toStdString());
    }
    return out;
}

int SelectedFilterIndex(const QStringList& filters, const QString& selected) {
    const QString wanted = selected.simplified();
    for (int i = 0; i < filters.size(); ++i) {
        if (filters[i].simplified() == wanted) return i + 1;
    }
    return 0;
}

QStringList OpenDialogFilters() {
    QStringList out;
    for (const auto& e : OpenFilter()) out << QtNameFilter(e.description, e.patterns);
    return out;
}

QStringList SaveDialogFilters(SaveDialog dialog) {
    QStringList out;
    for (const auto& e : SaveFilter(dialog)) out << QtNameFilter(e.description, e.patterns);
    return out;
}
