#pragma once
// The command pattern of the menus that open a processing dialog: nothing without curves; the dialog
// shown modally; on OK the host's one re-plot path with the command's count word and steps.
#include <QAction>
#include <QDialog>
#include <QObject>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "app/command_host.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"

namespace dialogcmd {

template <typename D>
void dialogCommand(TCommandHost& w, const char* countWord = " Spectra", bool axisTitles = false,
                   const std::function<void(D&)>& setup = {}) {
    if (!w.NeedSpectra()) return;
    D dia(w.Window());
    if (setup) setup(dia);
    if (RunModal(dia) != QDialog::Accepted) return;
    TReplotSteps steps;
    steps.CountWord = countWord;
    steps.AxisTitles = axisTitles;
    w.ReplotSpectra(steps);
}

// A command that works in particular display units only: in others its refusal shows in an error box
// and the command changes nothing.
inline bool unitsAllowed(bool allowed, const std::string& refusal) {
    if (!allowed) ShowErrorBox(refusal);
    return allowed;
}

// Enables the menu entry `name` (and its tool button) and runs `fn` as the window's command
// (TCommandHost::RunCommand) when it is triggered.
inline void connectCommand(TCommandHost& w, const char* name, std::function<void()> fn) {
    QAction* a = w.Action(name);
    if (!a) return;
    a->setEnabled(true);
    TCommandHost* win = &w;
    QObject::connect(a, &QAction::triggered, w.Window(), [win, fn = std::move(fn)] { win->RunCommand(fn); });
}

// A checkable entry: `fn` gets the check state the trigger left.
inline void connectToggle(TCommandHost& w, const char* name, std::function<void(bool)> fn) {
    QAction* a = w.Action(name);
    if (!a) return;
    a->setEnabled(true);
    TCommandHost* win = &w;
    QObject::connect(a, &QAction::triggered, w.Window(),
                     [win, fn = std::move(fn)](bool on) { win->RunCommand([&] { fn(on); }); });
}

// Each (object name, command) pair connected as by connectCommand.
using TCommand = void (*)(TCommandHost&);
inline void connectCommands(TCommandHost& w,
                            std::initializer_list<std::pair<const char*, TCommand>> commands) {
    TCommandHost* win = &w;
    for (const auto& [name, fn] : commands) connectCommand(w, name, [win, fn = fn] { fn(*win); });
}

}  // namespace dialogcmd
