#pragma once
// Writes a file without ever destroying the old one first (platform/safe_file: a temporary file beside
// the target, unnamed until it is whole, length checked and synced, then renamed over it; permission bits
// and symbolic links kept).
#include <string>
#include <string_view>
#include <vector>

#include "platform/safe_file.h"

// Throws vx::FileError with the system's reason when the file cannot be written; the old file then stays
// and no temporary file is left.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The same for content held in several pieces (written one after the other, never joined in memory).
void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces);
// Files that belong together, written whole before the first is replaced and replacing their targets in
// the order given (safefile::WriteFilesOrThrow): a file that names another goes after it.
void WriteFilesAtomically(const std::vector<safefile::FileContent>& files);
// Text in the program's UTF-8 written as Windows-1252, its line ends unchanged.
void WriteTextFileAnsi(const std::string& path, std::string_view utf8Text);

// The saves made while one lives are synced together when it finishes (one sync per file system
// instead of one per file): for exports of many new files. Finish() raises vx::FileError when that
// sync failed; without Finish() the destructor syncs and stays silent.
class BatchFileSync {
public:
    void Finish();

private:
    safefile::DeferredSync sync_;
};
