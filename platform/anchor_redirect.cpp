#include "platform/anchor_redirect.h"

#include "platform/safe_file.h"

namespace {

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

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
    const std::string target = EncodeFileUrl(url);  // no quote, "<", ">", "&" or backslash left in it
    const std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                             "<meta http-equiv=\"refresh\" content=\"0; url=" + target + "\">\n"
                             "<title>Varolux32 help</title>\n"
                             "<script>location.replace(\"" + target + "\");</script>\n"
                             "</head>\n<body>\n<p><a href=\"" + target + "\">Open the help page</a></p>\n"
                             "</body>\n</html>\n";
    const std::string path = dir + "help-" + HashedName(url) + ".htm";  // the name follows the URL
    return safefile::WriteFileSafely(path, page) == 0 ? path : std::string();
}
