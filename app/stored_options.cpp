#include "app/stored_options.h"

#include <QWidget>

#include "app/command_host.h"
#include "app/options_apply.h"
#include "platform/ui.h"
#include "tools/options_store.h"

void ApplyStoredOptions(TCommandHost& host) {
    options::LoadedOptions loaded = options::LoadStoredOptions();
    // Values that did not convert have fallen back to their defaults: one warning, start-up goes on.
    if (!loaded.badValues.empty())
        ui::messageBox(options::BadValuesWarning(loaded.badValues), "Varolux32", ui::Buttons::Ok,
                       ui::Icon::Warning);
    if (loaded.options.OMaximiert) {
        QWidget* w = host.Window();
        w->setWindowState(w->windowState() | Qt::WindowMaximized);
    }
    // Nothing is loaded yet, so the path length has no spectrum to reach.
    ApplyOptions(host, loaded.options, false, loaded.found);
}
