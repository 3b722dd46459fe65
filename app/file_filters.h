#pragma once
// File dialogs: the given "description|patterns|..." texts turned into Qt name filters that match both
// cases of every extension and show only the description, the dialog itself, and the question before a
// file is replaced.
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

#include "core/file_names.h"  // ChangeFileExt, beside the filters that force extensions
#include "formats/save_dispatcher.h"

class QWidget;

// One Qt name filter: description followed by the patterns in parentheses, each pattern in upper and
// lower case ("*.RVX" gives "*.RVX *.rvx").
QString QtNameFilter(const std::string& description, const std::string& patterns);
// "desc|pat|desc|pat..." as Qt name filters.
QStringList QtNameFilters(const std::string& pipeSeparated);
// 1-based index of the filter a file dialog reports as selected, 0 when none matches. Qt hands back
// the filter with its blanks simplified, so the comparison ignores runs of blanks.
int SelectedFilterIndex(const QStringList& filters, const QString& selected);
// The Open dialog's filters from the format table's filter entries.
QStringList OpenDialogFilters();
// A save dialog's filters from the save table's rows (SaveNameForFilter gives the name a chosen entry
// and a typed name are written under).
QStringList SaveDialogFilters(SaveDialog dialog);

// What a file dialog asks for. A save dialog never asks about replacing a file itself: its caller
// forces the extension first and then asks (ConfirmReplaceFile).
struct TFileDialogSpec {
    enum class TMode { OpenOne, OpenMany, Save };
    TMode Mode = TMode::OpenOne;
    const char* ObjectName = "";
    QString Title;
    QString Start;  // the folder, or folder and name, the dialog starts in
    QStringList Filters;
    bool HideFilterDetails = false;
};
struct TFileDialogChoice {
    std::vector<std::string> Names;  // empty on Cancel
    int FilterIndex = 0;             // 1-based index of the chosen filter, 0 when none matches
};
// Shows the dialog modally. Tests put a runner in place that answers for the user.
TFileDialogChoice RunFileDialog(QWidget* parent, const TFileDialogSpec& spec);
void SetFileDialogRunner(std::function<TFileDialogChoice(const TFileDialogSpec&)> runner);
// The one chosen name, "" on Cancel.
std::string ChooseFile(QWidget* parent, const TFileDialogSpec& spec);

// The save dialogs' question before an existing file is replaced: true when `name` does not exist or
// the answer is Yes.
bool ConfirmReplaceFile(const std::string& name);
