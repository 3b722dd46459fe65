// The program block: application, start-up window, main window, message loop.
#include <memory>
#include <string>
#include <vector>

#include "app/TMainwin.h"
#include "app/dialogs/TSStart.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/quit_signals.h"
#include "app/single_instance.h"
#include "platform/hand_over.h"
#include "platform/numtext.h"
#include "platform/registry.h"
#include "platform/safe_file.h"
#include "platform/ui.h"
#include "tools/options_store.h"

int main(int argc, char** argv) {
    VxApplication app(argc, argv);
    numtext::initFromLocale();
    InstallQtUi();
    InstallQuitSignals();
    // A save past the file-size limit (ulimit -f) then fails with "File too large" instead of killing us.
    safefile::IgnoreFileSizeSignal();
    // Both settings files are read now, so that a damaged one is reported at start; the SPC library
    // reads the local-machine file too, but has no one to tell.
    registry::checkStore(registry::Hive::CurrentUser);
    registry::checkStore(registry::Hive::LocalMachine);

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    // The stored option decides before any window exists whether a running instance takes the files.
    ProgramSettings.InstanceSwitch = options::LoadStoredOptions().options.OMultipleInstances ? 1 : 0;
    TMZOneInstance oneInstance;
    switch (oneInstance.Create(args)) {
    case TMZOneInstance::TStart::HandedOver: return 0;
    case TMZOneInstance::TStart::NoAnswer:
        ui::messageBox("Varolux32 is already running but does not answer; the files were not handed over.",
                       "Varolux32", ui::Buttons::Ok, ui::Icon::Warning);
        return 1;
    case TMZOneInstance::TStart::TooMany:
        ui::messageBox("Varolux32 is already running, but the file names are more than can be handed over to it (" +
                           std::to_string(handover::kMaxList >> 20) + " MiB); the files were not opened.",
                       "Varolux32", ui::Buttons::Ok, ui::Icon::Warning);
        return 1;
    case TMZOneInstance::TStart::Alone: break;
    }

    {
        TSStart start;
        start.show();
        start.FormActivate();
        start.hide();
    }

    auto mainwin = std::make_unique<TMainwin>(args);
    mainwin->show();
    oneInstance.SetReceiver(mainwin.get());
    const int rc = app.exec();
    mainwin.reset();
    return rc;
}
