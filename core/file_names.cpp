#include "core/file_names.h"

#include <sys/stat.h>

namespace {

// Position of the extension's dot in the name part, npos when the name has none.
std::string::size_type extensionDot(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string::npos;
    return dot;
}

}  // namespace

std::string NameWithoutExtension(const std::string& path) {
    std::string name = NameWithoutFolder(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ExtensionOf(const std::string& path) {
    const auto dot = extensionDot(path);
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    const auto dot = extensionDot(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
