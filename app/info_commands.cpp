#include "app/info_commands.h"

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/dialogs/THilfeDia.h"
#include "app/dialogs/TSpekInfoDia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/qt_ui_backend.h"

namespace infocmd {

void Information1Click(TCommandHost& win) {
    if (!win.NeedSpectra()) return;
    TSpekInfoDia dia(win.Window());
    RunModal(dia);
}

void Help1Click(TCommandHost& win) {
    THilfeDia dia(win.Window());
    RunModal(dia);
}

}  // namespace infocmd

void ConnectInfoCommands(TCommandHost& win) {
    dialogcmd::connectCommands(win, {{"Information1", infocmd::Information1Click}, {"Help1", infocmd::Help1Click}});
}
