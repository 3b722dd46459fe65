#include "app/info_commands.h"

#include "app/TMainwin.h"
#include "app/dialog_command.h"
#include "app/dialogs/THilfeDia.h"
#include "app/dialogs/TSpekInfoDia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"

namespace infocmd {

void Information1Click(TMainwin& win) {
    if (!win.NeedSpectra()) return;
    TSpekInfoDia dia(&win);
    RunModal(dia);
}

void Help1Click(TMainwin& win) {
    THilfeDia dia(&win);
    RunModal(dia);
}

}  // namespace infocmd

void ConnectInfoCommands(TMainwin& win) {
    dialogcmd::connectCommands(win, {{"Information1", infocmd::Information1Click}, {"Help1", infocmd::Help1Click}});
}
