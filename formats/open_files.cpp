#include "formats/open_files.h"

#include <exception>
#include <memory>

#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "formats/format_table.h"

namespace {

// Files dated after 24 April 2002 carry colours, pen styles and widths worth restoring.
constexpr double kAppearanceDate = 37370.0;

}  // namespace

void DisplayUnitsFromLastRecord() {
    if (SpectraList.Empty()) return;
    const TSpectrumRecord& last = SpectraList[SpectraList.Count() - 1];
    if (last.XUnit >= SpecXNanometer && last.XUnit <= SpecXMicrometer)
        DisplayXUnit = static_cast<uint8_t>(last.XUnit);
    else if (last.XUnit == SpecXRamanShift)
        DisplayXUnit = SpecXWavenumber;
    if (last.YKind >= SpecYTransmittance && last.YKind <= SpecYLogEpsilon)
        DisplayYMode = static_cast<uint8_t>(last.YKind);
    else if (last.YKind == SpecYReflectance)
        DisplayYMode = SpecYTransmittance;
}

OpenResult OpenSpectrumFiles(std::vector<std::string> names, const std::function<void(int, int)>& progress) {
    OpenResult result;
    SortFileNames(names);
    const int32_t earlierCount = SpectraList.Count();
    const int n = static_cast<int>(names.size());
    for (int i = 0; i < n; ++i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        if (progress) progress(i + 1, n);
        result.openFolder = FolderOf(name);
        const FormatEntry* entry = FormatEntryOf(FormatCodeOf(name));
        if (!entry || !entry->HasReader()) {
            result.noSpectrum.push_back(name);
            continue;
        }
        const int32_t before = SpectraList.Count();
        try {
            if (entry->fresh) {
                auto rec = std::make_unique<TSpectrumRecord>();
                entry->fresh(*rec, name);
                if (rec->IsComplete()) {
                    rec->LineStyle = 0;
                    SpectraList.AddWithDefaultColor(std::move(rec));
                }
            } else {
                entry->own(name, SpectraList);
            }
        } catch (const std::exception& e) {
            result.error = "File: " + name + "\r\n" + e.what();
            break;
        }
        ++result.filesRead;
        if (SpectraList.Count() == before) {
            result.noSpectrum.push_back(name);
            continue;
        }
        if (entry->code == 1) {
            result.rvxFiles.push_back(name);
            if (n == 1 && earlierCount == 0 && FileDateTimeOf(name) > kAppearanceDate)
                result.restoreAppearance = true;
        }
    }
    DisplayUnitsFromLastRecord();
    return result;
}

std::string NoSpectrumMessage(const std::vector<std::string>& names) {
    std::string text = "No spectrum could be read from:";
    for (const auto& name : names) text += "\r\n" + name;
    return text;
}

std::vector<std::string> ExistingFiles(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const auto& name : names) {
        if (FileExists(name)) out.push_back(name);
    }
    return out;
}
