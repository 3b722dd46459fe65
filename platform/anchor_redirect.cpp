#include "platform/anchor_redirect.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/safe_file.h"

namespace {

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// A folder that exists (or was just made) as a real folder of this user with no access for others.
bool privateFolder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st{};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

std::string hex64(uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

}  // namespace

std::string PerUserTempFolder() {
    std::string dir;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/') {
        dir = std::string(run) + "/varolux32";
    } else {
        const char* tmp = std::getenv("TMPDIR");
        dir = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/varolux32-" + std::to_string(::getuid());
    }
    return privateFolder(dir) ? dir + "/" : std::string();
}

std::string EncodeFileUrl(const std::string& url) {
    static constexpr char kScheme[] = "file://";
    const bool file = url.compare(0, sizeof kScheme - 1, kScheme) == 0;
    std::string out = file ? kScheme : "";
    bool fragment = false;
    for (std::size_t i = file ? sizeof kScheme - 1 : 0; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c == '#' && !fragment) {
            fragment = true;
            out += '#';
        } else if (unreserved(c) || (c == '/' && !fragment) || (c == '#' && fragment)) {
            out += static_cast<char>(c);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string WriteAnchorRedirectPage(const std::string& url) {
    const std::string dir = PerUserTempFolder();
    if (dir.empty()) return {};
    uint64_t h = 1469598103934665603ULL;  // FNV-1a: the page's name follows the URL it leads to
    for (unsigned char c : url) h = (h ^ c) * 1099511628211ULL;
    const std::string target = EncodeFileUrl(url);  // no quote, "<", ">", "&" or backslash left in it
    const std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                             "<meta http-equiv=\"refresh\" content=\"0; url=" + target + "\">\n"
                             "<title>Varolux32 help</title>\n"
                             "<script>location.replace(\"" + target + "\");</script>\n"
                             "</head>\n<body>\n<p><a href=\"" + target + "\">Open the help page</a></p>\n"
                             "</body>\n</html>\n";
    const std::string path = dir + "help-" + hex64(h) + ".htm";
    return safefile::WriteFileSafely(path, page) == 0 ? path : std::string();
}
