#include "app/info_commands.h"

#include <QAction>

#include "app/TMainwin.h"
#include "app/dialogs/THilfeDia.h"
#include "app/dialogs/TSpekInfoDia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"

namespace infocmd {

void Information1Click(TMainwin& win) {
    if (win.XYPlot()->KurvenAnzahl() == 0) return;
    TSpekInfoDia dia(&win);
    RunModal(dia);
}

void Help1Click(TMainwin& win) {
    THilfeDia dia(&win);
    RunModal(dia);
}

}  // namespace infocmd

void ConnectInfoCommands(TMainwin& win) {
    TMainwin* w = &win;
    for (auto [name, fn] : {std::pair{"Information1", &infocmd::Information1Click}, std::pair{"Help1", &infocmd::Help1Click}}) {
        QAction* a = win.Action(name);
        if (!a) continue;
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, &win, [w, fn] { RunGuarded([&] { fn(*w); }); });
    }
}
