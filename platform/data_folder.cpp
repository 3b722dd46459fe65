#include "platform/data_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string PerUserDataFolder() {
    std::filesystem::path base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') base = x;
    else if (const char* h = std::getenv("HOME"); h && *h) base = std::filesystem::path(h) / ".local/share";
    else return "";
    const std::filesystem::path dir = base / "varolux32";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::string s = dir.string();
    if (s.back() != '/') s += '/';
    return s;
}

std::string WritablePathBesideProgram(const std::string& programFolder, const std::string& name) {
    if (!programFolder.empty() && access(programFolder.c_str(), W_OK | X_OK) == 0) {
        std::string p = programFolder;
        if (p.back() != '/') p += '/';
        return p + name;
    }
    const std::string data = PerUserDataFolder();
    return data.empty() ? programFolder + name : data + name;
}

std::string FileBesideProgram(const std::string& programFolder, const std::string& name) {
    const std::string own = programFolder + name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(own, ec)) return own;
    const std::string data = PerUserDataFolder();
    if (!data.empty() && std::filesystem::is_regular_file(data + name, ec)) return data + name;
    return own;
}
