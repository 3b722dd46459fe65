#include "formats/file_writer.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/safe_file.h"

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    safefile::WriteFileOrThrow(path, {bytes});
}

void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces) {
    safefile::WriteFileOrThrow(path, pieces);
}

void WriteFilesAtomically(const std::vector<safefile::FileContent>& files) { safefile::WriteFilesOrThrow(files); }

void WriteTextFileAnsi(const std::string& path, std::string_view utf8Text) {
    WriteFileAtomically(path, cp1252::fromUtf8(utf8Text));
}

void BatchFileSync::Finish() {
    if (int e = sync_.finish()) throw vx::FileError(std::string("Cannot write the exported files. ") + std::strerror(e));
}
