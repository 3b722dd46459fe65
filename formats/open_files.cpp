#include "formats/open_files.h"

#include <exception>
#include <memory>
#include <optional>
#include <string_view>

#include "core/helpers.h"
#include "core/units.h"
#include "formats/format_table.h"
#include "formats/text_loader.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

// Files dated after 24 April 2002 carry colours, pen styles and widths worth restoring.
constexpr double kAppearanceDate = 37370.0;

constexpr const char* kNothingReadReason = "no spectrum of two or more points in it";

std::string UnknownExtensionReason(const std::string& name) {
    const std::string ext = ExtensionOf(name);
    if (ext.empty()) return "no reader knows a name without extension";
    return "no reader knows the extension \"." + ext + "\"";
}

// What one reader call gave besides its spectra.
struct ReadOutcome {
    bool cancelled = false;
    std::optional<std::string> error;
    std::string told;  // ReaderNoteText of the reader's messages
};

ReadOutcome readFile(const FormatEntry& entry, const std::string& name, TSpectraList& list,
                     const TReaderContext& context) {
    ReadOutcome out;
    // The reader's messages go into the command's one summary instead of a box each.
    ui::MessageCollector messages;
    try {
        if (entry.fresh) {
            auto rec = std::make_unique<TSpectrumRecord>();
            entry.fresh(*rec, name, entry.maxBytes, context);
            if (rec->IsComplete()) {
                rec->LineStyle = 0;
                list.AddWithDefaultColor(std::move(rec));
            }
        } else {
            entry.own(name, list, entry.maxBytes, context);
        }
    } catch (const vx::Cancelled&) {
        out.cancelled = true;  // the user's own cancel ends the command; what was read stays
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    out.told = ReaderNoteText(messages.Messages(), name);
    return out;
}

}  // namespace

TDisplayState DisplayUnitsFromLastRecord(const TSpectraList& list, TDisplayState display) {
    if (list.Empty()) return display;
    const TSpectrumRecord& last = list[list.Count() - 1];
    if (last.XUnit >= SpecXNanometer && last.XUnit <= SpecXMicrometer)
        display.DisplayXUnit = last.XUnit;
    else if (last.XUnit == SpecXRamanShift)
        display.DisplayXUnit = SpecXWavenumber;
    if (last.YKind >= SpecYTransmittance && last.YKind <= SpecYLogEpsilon)
        display.DisplayYMode = last.YKind;
    else if (last.YKind == SpecYReflectance)
        display.DisplayYMode = SpecYTransmittance;
    return display;
}

OpenResult OpenSpectrumFiles(std::vector<std::string> names, TSpectraList& list, TDisplayState& display,
                             const TReaderContext& context, const std::function<void(int, int)>& progress) {
    OpenResult result;
    SortFileNames(names);
    const int32_t earlierCount = list.Count();
    const int n = static_cast<int>(names.size());
    for (int i = 0; i < n; ++i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        if (progress) progress(i + 1, n);
        result.openFolder = FolderOf(name);
        const FormatEntry* entry = FormatEntryOf(FormatCodeOf(name));
        if (!entry || !entry->HasReader()) {
            result.failed.push_back({name, UnknownExtensionReason(name), true});
            continue;
        }
        const int32_t before = list.Count();
        const ReadOutcome got = readFile(*entry, name, list, context);
        if (got.cancelled) {
            if (!got.told.empty()) result.notes.push_back({name, got.told});
            break;
        }
        if (got.error) {
            // One bad file costs only itself: its reason is told with the others at the end.
            result.failed.push_back({name, *got.error, false, list.Count() - before, got.told});
            continue;
        }
        ++result.filesRead;
        if (list.Count() == before) {
            result.failed.push_back({name, kNothingReadReason, false, 0, got.told});
            continue;
        }
        if (!got.told.empty()) result.notes.push_back({name, got.told});
        if (entry->code == OpenFormat::Rvx) {
            result.rvxFiles.push_back(name);
            if (n == 1 && earlierCount == 0 && FileDateTimeOf(name) > kAppearanceDate)
                result.restoreAppearance = true;
        }
    }
    display = DisplayUnitsFromLastRecord(list, display);
    return result;
}

std::string NoSpectrumMessage(const std::vector<OpenFailure>& failures) {
    std::string text = "No spectrum could be read from:";
    bool unknown = false;
    for (const auto& f : failures) {
        // The reader's own words say why better than that nothing was read.
        std::string why = f.reason;
        if (!f.told.empty()) why = f.reason == kNothingReadReason ? f.told : f.told + " " + f.reason;
        text += "\r\n" + f.name + ": " + why;
        if (f.spectraKept == 1)
            text += " - the spectrum read before the error is kept";
        else if (f.spectraKept > 1)
            text += " - the " + std::to_string(f.spectraKept) + " spectra read before the error are kept";
        unknown = unknown || f.unknownExtension;
    }
    if (unknown) {
        text += "\r\n\r\nThe Open command reads the extensions (in any case):";
        const char* sep = " ";
        for (const std::string& ext : ReadableExtensions()) {
            text += sep + ("." + ext);
            sep = ", ";
        }
    }
    return text;
}

std::string OpenSummaryMessage(const OpenResult& result) {
    std::string text;
    if (!result.failed.empty()) text = NoSpectrumMessage(result.failed);
    if (result.notes.empty()) return text;
    if (!text.empty()) text += "\r\n\r\n";
    text += "Read with notes:";
    for (const OpenNote& n : result.notes) text += "\r\n" + n.name + ": " + n.text;
    return text;
}

std::string ReaderNoteText(const std::vector<std::string>& messages, const std::string& name) {
    std::string out;
    for (std::string_view m : messages) {
        if (!name.empty() && m.substr(0, name.size()) == name &&
            (m.size() == name.size() || m[name.size()] == '\r' || m[name.size()] == '\n'))
            m.remove_prefix(name.size());
        LineCursor lines(m);
        for (std::string_view line; lines.Next(line);) {
            const std::string piece = Trim(std::string(line));
            if (piece.empty()) continue;
            if (!out.empty()) out += ' ';
            out += piece;
        }
    }
    return out;
}

std::vector<std::string> ExistingFiles(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const auto& name : names) {
        if (FileExists(name)) out.push_back(name);
    }
    return out;
}
