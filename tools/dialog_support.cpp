#include "tools/dialog_support.h"

#include <unistd.h>

#include <algorithm>
#include <array>

#include "core/helpers.h"
#include "core/spectra_list.h"
#include "platform/numtext.h"
#include "platform/ui.h"

namespace {

std::string executableFolder() {
    std::array<char, 4096> buf{};
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "./";
    std::string path(buf.data(), static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

}  // namespace

std::string HelpBaseFolder(const std::string& programFolder) {
    if (!programFolder.empty()) return programFolder;
    static const std::string exe = executableFolder();
    return exe;
}

bool OpenDialogHelp(const std::string& programFolder, const std::string& page) {
    std::string rel = page;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    if (OpenHtmlPage(HelpBaseFolder(programFolder) + rel)) return true;
    ui::messageBox(HelpFailedMessage(programFolder));
    return false;
}

std::string HelpFailedMessage(const std::string& programFolder) {
    return std::string(kHelpFailedText) + "\r\nThe manual is in the folder\r\n" + HelpBaseFolder(programFolder) +
           "html/";
}

bool OpenWebPage(const std::string& url) {
    if (ShellOpenPath(url)) return true;
    ui::messageBox(std::string(kWebPageFailedText) + "\r\n" + url);
    return false;
}

double DialogFloat(std::string& text) {
    text = DotsToDecimalSeparator(text);
    return numtext::StrToFloat(text);
}

int32_t DialogInt(const std::string& text) { return numtext::StrToInt(text); }

void AppendToolResult(TSpectraList& list, std::unique_ptr<TSpectrumRecord> rec, bool originalRemoved,
                      uint32_t originalColor) {
    if (originalRemoved) {
        rec->Color = originalColor;
        list.Add(std::move(rec));
    } else {
        list.AddWithDefaultColor(std::move(rec));
    }
}

bool ValidSpectrumIndex(const TSpectraList& list, int32_t index) { return index >= 0 && index < list.Count(); }

void OriginalsToRemove::DeleteAll() {
    DeleteSpectra(list_, std::move(indices_));
    indices_.clear();
}

std::vector<int32_t> ToolSourcesByType(const TSpectraList& list, bool byType, const std::string& tag,
                                       int32_t spectrum) {
    std::vector<int32_t> sources;
    if (byType) {
        for (int32_t i = 0; i < list.Count(); ++i)
            if (ContainsText(tag, list[i].SpecType.str())) sources.push_back(i);
    } else if (ValidSpectrumIndex(list, spectrum)) {
        sources.push_back(spectrum);
    }
    return sources;
}

int32_t AppendToolResults(TSpectraList& list, std::vector<std::unique_ptr<TSpectrumRecord>>& results,
                          const std::vector<int32_t>& sources, bool removeOriginal) {
    OriginalsToRemove originals(list);
    int32_t made = 0;
    for (std::size_t k = 0; k < sources.size() && k < results.size(); ++k) {
        if (!results[k] || results[k]->PointCount() < 2) continue;
        AppendToolResult(list, std::move(results[k]), removeOriginal, list[sources[k]].Color);
        if (removeOriginal) originals.Add(sources[k]);
        ++made;
    }
    originals.DeleteAll();
    return made;
}
