#include "app/query_dialogs.h"

#include <map>
#include <string>

namespace {
std::map<std::string, QueryDialogFn>& table() {
    static std::map<std::string, QueryDialogFn> t;
    return t;
}
}  // namespace

QueryDialogRegistrar::QueryDialogRegistrar(const char* dialog, QueryDialogFn fn) { table()[dialog] = fn; }

bool runQueryDialog(ui::Query& query) {
    auto it = table().find(query.dialog);
    return it != table().end() && it->second(query);
}
