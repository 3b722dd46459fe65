#pragma once
// The command pattern of the menus that open a processing dialog: nothing without curves; the dialog
// shown modally; on OK the main window's one re-plot path with the command's count word and steps.
#include <QAction>
#include <QDialog>
#include <QObject>

#include <functional>

#include "app/TMainwin.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"

namespace dialogcmd {

inline bool hasCurves(TMainwin& w) { return w.XYPlot() && w.XYPlot()->KurvenAnzahl() > 0; }

template <typename D>
void dialogCommand(TMainwin& w, const char* countWord = " Spectra", bool axisTitles = false,
                   const std::function<void(D&)>& setup = {}) {
    if (!hasCurves(w)) return;
    D dia(&w);
    if (setup) setup(dia);
    if (RunModal(dia) != QDialog::Accepted) return;
    TReplotSteps steps;
    steps.CountWord = countWord;
    steps.AxisTitles = axisTitles;
    w.ReplotSpectra(steps);
}

// Enables the menu entry `name` (and its tool button) and runs `fn` guarded when it is triggered.
inline void connectCommand(TMainwin& w, const char* name, std::function<void()> fn) {
    QAction* a = w.Action(name);
    if (!a) return;
    a->setEnabled(true);
    QObject::connect(a, &QAction::triggered, &w, [fn = std::move(fn)] { RunGuarded(fn); });
}

}  // namespace dialogcmd
