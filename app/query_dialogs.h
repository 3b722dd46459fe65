#pragma once
// The query dialogs that readers and tools raise through ui::ask, found by their dialog class name.
// Each dialog's source file registers itself with a static QueryDialogRegistrar.
#include "platform/ui.h"

using QueryDialogFn = bool (*)(ui::Query&);

struct QueryDialogRegistrar {
    QueryDialogRegistrar(const char* dialog, QueryDialogFn fn);
};

// Runs the dialog named by query.dialog; false when the user cancelled or no such dialog exists.
bool runQueryDialog(ui::Query& query);
