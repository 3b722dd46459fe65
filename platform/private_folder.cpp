#include "platform/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

std::string PerUserTempFolderPath() {
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/') return std::string(run) + "/varolux32";
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/varolux32-" + std::to_string(::getuid());
}

bool MakePrivateFolder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st{};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

std::string PerUserTempFolder() {
    const std::string dir = PerUserTempFolderPath();
    return MakePrivateFolder(dir) ? dir + "/" : std::string();
}

std::string HashedName(std::string_view text) {
    uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}
