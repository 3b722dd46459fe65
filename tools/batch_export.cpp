#include "tools/batch_export.h"

#include <sys/stat.h>

#include <climits>

#include "core/helpers.h"
#include "formats/file_writer.h"
#include "formats/multi_export.h"
#include "platform/errors.h"
#include "platform/ui.h"

namespace {

constexpr const char* kDefaultBaseName = "my_file_name";

// Any entry counts, so that a folder of that name is never written over either.
bool taken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A stored path may come from Windows ("C:\data\x.rvx"): its name is what follows the last separator.
std::string storedName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The folder a spectrum came from, when it is a folder here; else the target folder.
std::string sourceFolder(const TSpectrumRecord& rec, const std::string& target) {
    const std::string& file = rec.FileName.str();
    if (file.find('\\') != std::string::npos) return target;
    const std::string folder = FolderOf(file);
    struct stat st {};
    if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return target;
    return folder;
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// A file name here holds at most NAME_MAX bytes, and a legend of 255 characters can take three times
// as many in UTF-8: the stem gives way, cut between characters, so that its "(k)" and extension fit.
std::string fittedStem(const std::string& stem, std::size_t tailBytes) {
    if (stem.size() + tailBytes <= NAME_MAX) return stem;
    std::size_t keep = tailBytes < NAME_MAX ? NAME_MAX - tailBytes : 0;
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80) --keep;
    return stem.substr(0, keep);
}

// A typed base name names files inside the chosen folder: a "/" would lead into another folder and a
// ".." out of this one (legends are cleaned instead; a name the user typed is refused, not changed).
std::string baseNameProblem(const std::string& name, bool multi) {
    if (name.find('/') == std::string::npos && name.find("..") == std::string::npos) return {};
    return std::string(multi ? "The new multi-file name \"" : "The new file name \"") + name +
           "\" must not hold \"/\" or \"..\": nothing was exported.";
}

bool endsWithIgnoringCase(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && UpperAscii(s.substr(s.size() - end.size())) == UpperAscii(end);
}

// Lines for the memo; with many spectra they are handed over at each tenth and at the end.
class Memo {
public:
    Memo(const TBatchExportReport& report, int32_t n) : report_(report), step_(n >= 30 ? n / 10 : 0) {}
    void line(const std::string& text) { flushWith({text}); }
    void progressLine(int32_t c, const std::string& text) {
        pending_.push_back(text);
        if (step_ == 0 || c % step_ == 0) flush();
    }
    void flush() {
        if (!pending_.empty() && report_.Lines) report_.Lines(pending_);
        pending_.clear();
    }

private:
    void flushWith(std::vector<std::string> lines) {
        flush();
        if (report_.Lines) report_.Lines(lines);
    }
    const TBatchExportReport& report_;
    int32_t step_;
    std::vector<std::string> pending_;
};

}  // namespace

std::string BatchExtension(int32_t fileType) {
    switch (fileType) {
    case 0: return ".spc";
    case 1: return ".dx";
    default: return ".csv";
    }
}

std::string BatchNumberText(int32_t c, int32_t n) {
    int32_t digits = 1;
    for (int32_t v = n; v >= 10; v /= 10) ++digits;
    return std::string(static_cast<std::size_t>(digits - 1), '0') + std::to_string(c + 1);
}

std::string FreeExportName(const std::string& folder, const std::string& name, const std::string& ext,
                           bool hasOwnExtension) {
    // The name as it stands is tested first, as the names were always tested: a spectrum read from
    // x.rvx is written as x(1).spc beside it.
    const bool nameTaken = taken(folder + name);
    std::string stem;
    if (hasOwnExtension) stem = NameWithoutExtension(name);
    else stem = endsWithIgnoringCase(name, ext) ? name.substr(0, name.size() - ext.size()) : name;
    if (const std::string whole = fittedStem(stem, ext.size()) + ext; !nameTaken && !taken(folder + whole))
        return whole;
    for (long long k = 1;; ++k) {
        const std::string number = "(" + std::to_string(k) + ")";
        std::string candidate = fittedStem(stem, number.size() + ext.size()) + number + ext;
        if (!taken(folder + candidate)) return candidate;
    }
}

TBatchExportResult SaveSpectraBatch(const TSpectraList& list, const TMultiSave& settings, const std::string& folderText,
                                    const std::string& programFolder, const TBatchExportReport& report) {
    TBatchExportResult result;
    const int32_t n = list.Count();
    if (n == 0) return result;
    if (folderText.empty()) throw vx::Error("Please choose the folder for the exported files.");
    const std::string folder = withSlash(folderText);
    const std::string ext = BatchExtension(settings.FileType);
    result.BaseName = settings.BaseName.empty() ? std::string(kDefaultBaseName) : settings.BaseName;
    if (settings.Output == 1 || settings.Numbering) {
        if (const std::string problem = baseNameProblem(result.BaseName, settings.Output == 1); !problem.empty()) {
            ui::messageBox(problem);
            return result;
        }
    }
    const std::string dashes(108, '-');
    Memo memo(report, n);
    BatchFileSync sync;

    if (settings.Output == 1) {
        memo.line("exporting " + std::to_string(n) + " spectra into a multifile:");
        memo.line(dashes);
        const std::string name = FreeExportName(folder, result.BaseName, ext, false);
        if (!SaveSpectraMulti(list, folder + name, 1, -1, programFolder)) return result;
        result.Files.push_back(folder + name);
        sync.Finish();
        memo.line("multifile path: " + folder);
        memo.line("multifile name: " + name);
        memo.line("export finished!");
        result.Finished = true;
        return result;
    }

    const bool newLocation = settings.Location == 1;
    memo.line(newLocation ? "exporting " + std::to_string(n) + " spectra as single files into new location: " + folder
                          : "exporting " + std::to_string(n) + " spectra as single files into same locations");
    memo.line(dashes);
    if (report.Progress) report.Progress(0, n);
    for (int32_t c = 0; c < n; ++c) {
        const TSpectrumRecord& rec = list[c];
        const std::string here = newLocation ? folder : withSlash(sourceFolder(rec, folder));
        const std::string legend = ReplaceInvalidChars(rec.Title.str());
        const std::string source = storedName(rec.FileName.str());
        std::string name;
        bool ownExtension = false;
        if (settings.Numbering) {
            name = result.BaseName + "_" + BatchNumberText(c, n);
            if (settings.Legends) name += "_" + legend;
        } else if (settings.Legends) {
            name = legend;
        } else if (!source.empty() && !NameWithoutExtension(source).empty()) {
            name = source;
            ownExtension = true;
        } else {
            // A computed spectrum has no file: its legend names it.
            name = legend;
        }
        if (name.empty()) name = "spectrum_" + std::to_string(c + 1);
        name = FreeExportName(here, name, ext, ownExtension);
        SaveSpectraMulti(list, here + name, 0, c, programFolder);
        result.Files.push_back(here + name);
        if (report.Progress) report.Progress(c, n);
        const std::string what = source.empty() ? rec.Title.str() : source;
        memo.progressLine(c, "exporting " + what + " as " + (newLocation ? name : here + name));
    }
    memo.flush();
    sync.Finish();
    memo.line("export finished!");
    if (report.Progress) report.Progress(-1, n);
    result.Finished = true;
    return result;
}
