#pragma once
// Interim stand-ins until the Open dispatch and the save dispatcher are merged; removed then.
#if __has_include("formats/open_files.h")
#include "formats/open_files.h"
#else
#include <functional>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/format_table.h"
#include "platform/ui.h"
#include <sys/stat.h>

struct OpenResult {
    int filesRead = 0;
    std::vector<std::string> rvxFiles;
    bool restoreAppearance = false;
    std::string openFolder;
    std::string error;
};
inline OpenResult OpenSpectrumFiles(std::vector<std::string> names, const std::function<void(int, int)>& progress = {}) {
    SortFileNames(names);
    OpenResult r;
    int i = 0;
    for (const auto& name : names) {
        ++i;
        if (progress) progress(i, static_cast<int>(names.size()));
        r.openFolder = name.substr(0, name.find_last_of('/') + 1);
        const FormatEntry* e = FormatEntryOf(FormatCodeOf(name));
        if (!e) continue;
        try {
            if (e->own) e->own(name, SpectraList);
            else if (e->fresh) {
                auto rec = std::make_unique<TSpectrumRecord>();
                e->fresh(*rec, name);
                if (rec->IsComplete()) SpectraList.AddWithDefaultColor(std::move(rec));
            }
            if (e->code == 1) r.rvxFiles.push_back(name);
            ++r.filesRead;
        } catch (const std::exception& ex) {
            r.error = name + ":\r\n" + ex.what();
            break;
        }
    }
    if (!SpectraList.Empty()) {
        const auto& last = SpectraList[SpectraList.Count() - 1];
        if (last.XUnit >= 1 && last.XUnit <= 4) DisplayXUnit = static_cast<uint8_t>(last.XUnit);
        if (last.XUnit == 5) DisplayXUnit = 2;
        if (last.YKind >= 1 && last.YKind <= 4) DisplayYMode = static_cast<uint8_t>(last.YKind);
        if (last.YKind == 6) DisplayYMode = 1;
    }
    return r;
}
inline std::vector<std::string> ExistingFiles(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const auto& n : names) {
        struct stat st {};
        if (::stat(n.c_str(), &st) == 0) out.push_back(n);
    }
    return out;
}
#endif

#if __has_include("formats/save_dispatcher.h")
#include "formats/save_dispatcher.h"
#else
#include "platform/ui.h"
inline bool SaveSpectraFile(const std::string& name) {
    ui::showMessage("Saving is not available yet: " + name);
    return false;
}
#endif
