#include "formats/file_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/errors.h"

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, std::vector<std::string_view>{bytes});
}

void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces) {
    std::string tmp = path + ".vxtmp" + std::to_string(::getpid());
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) throw vx::FileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
    bool ok = true;
    long expected = 0;
    for (std::string_view piece : pieces) {
        ok = ok && std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
        expected += static_cast<long>(piece.size());
    }
    ok = std::fflush(f) == 0 && ok;
    long written = std::ftell(f);
    ok = std::fclose(f) == 0 && ok;
    if (!ok || written != expected) {
        std::remove(tmp.c_str());
        throw vx::FileError("Cannot write file \"" + path + "\".");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        int e = errno;
        std::remove(tmp.c_str());
        throw vx::FileError("Cannot create file \"" + path + "\". " + std::strerror(e));
    }
}

void WriteTextFileAnsi(const std::string& path, std::string_view utf8Text) {
    WriteFileAtomically(path, cp1252::fromUtf8(utf8Text));
}
