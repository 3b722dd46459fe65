#pragma once
// Shared pieces of the exchange-format fuzz targets: a quiet user interface that answers every query,
// the check that only complete records reach the list, and the seeds' registration.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/spectra_list.h"
#include "platform/ui.h"

namespace fuzzsupport {

// Answers every query with the chosen radio item and keeps no log, so a long run does not grow.
class AcceptingBackend : public ui::Backend {
public:
    std::string choice = "0";
    bool asked = false;
    void showMessage(const std::string&) override {}
    ui::Answer messageBox(const std::string&, const std::string&, ui::Buttons, ui::Icon) override {
        return ui::Answer::Ok;
    }
    bool ask(ui::Query& q) override {
        asked = true;
        q.fields["RadioGroup1"] = choice;
        return true;
    }
    bool openUrl(const std::string&) override { return false; }
    std::string clipboardText() override { return {}; }
    void setClipboardText(const std::string&) override {}
};

inline AcceptingBackend& installBackend() {
    static std::shared_ptr<AcceptingBackend> b = [] {
        auto p = std::make_shared<AcceptingBackend>();
        ui::setBackend(p);
        return p;
    }();
    return *b;
}

// A reader may only hand over records that can be drawn.
inline void checkList(const TSpectraList& list) {
    for (const auto& r : list)
        if (!r->IsComplete()) __builtin_trap();
}

}  // namespace fuzzsupport
