// The manual beside the program: every help page the code opens exists with its anchor, the pages the
// dialogs are known to open are all there, and the pages are well-formed UTF-8 HTML whose links resolve.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSourceDir = VX_SOURCE_DIR;
const fs::path kManualDir = VX_MANUAL_DIR;  // the copy beside the program

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A help page as the code names it: the page file and the anchor after the first "#" (empty: none).
struct HelpRef {
    std::string page;
    std::string anchor;
    std::string where;  // file and line of the literal
};

// Every string literal of the program's sources that names a page of the html folder, such as
// "html\\varolux_man_spek_en.html#peak" or ProgramFolder + "html/varolux_man_opt_en.html".
struct SourceScan {
    std::vector<HelpRef> refs;
    std::vector<std::string> strays;  // literals that mention ".html" but name no page of the folder
};

SourceScan ScanSources() {
    static const std::regex literal(R"re("((?:[^"\\\n]|\\.)*)")re");
    static const std::regex page(R"re(^(?:\\\\|/)?html(?:\\\\|/)([A-Za-z0-9_.\-]+\.html)(#.*)?$)re");
    SourceScan scan;
    for (const char* dir : {"app", "tools", "core", "formats", "platform", "spclib"}) {
        if (!fs::exists(kSourceDir / dir)) continue;
        for (const auto& e : fs::recursive_directory_iterator(kSourceDir / dir)) {
            const auto ext = e.path().extension();
            if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            std::istringstream lines(ReadFile(e.path()));
            std::string line;
            for (int n = 1; std::getline(lines, line); ++n) {
                for (std::sregex_iterator it(line.begin(), line.end(), literal), end; it != end; ++it) {
                    const std::string text = (*it)[1];
                    if (text.find(".html") == std::string::npos) continue;
                    const std::string where =
                        fs::relative(e.path(), kSourceDir).string() + ":" + std::to_string(n);
                    std::smatch m;
                    if (!std::regex_match(text, m, page)) {
                        scan.strays.push_back(where + " \"" + text + "\"");
                        continue;
                    }
                    std::string anchor = m[2].matched ? m[2].str().substr(1) : std::string();
                    scan.refs.push_back({m[1], anchor, where});
                }
            }
        }
    }
    return scan;
}

// What a page offers to links: its ids and names, and whether it is well formed.
struct Page {
    std::string text;
    std::set<std::string> anchors;
    std::vector<std::string> duplicateIds;
    std::vector<std::string> hrefs;
};

Page LoadPage(const fs::path& p) {
    Page page;
    page.text = ReadFile(p);
    static const std::regex attr(R"re(\s(id|name|href)="([^"]*)")re");
    for (std::sregex_iterator it(page.text.begin(), page.text.end(), attr), end; it != end; ++it) {
        const std::string kind = (*it)[1], value = (*it)[2];
        if (kind == "href") {
            page.hrefs.push_back(value);
        } else if (!page.anchors.insert(value).second && kind == "id") {
            page.duplicateIds.push_back(value);
        }
    }
    return page;
}

bool ValidUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (int k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += static_cast<std::size_t>(len);
    }
    return true;
}

// Every element that is opened is closed in order (void elements excepted); returns the first fault.
std::string TagBalanceFault(const std::string& html) {
    static const std::set<std::string> kVoid = {"area", "base", "br", "col", "embed", "hr", "img",
                                                "input", "link", "meta", "source", "track", "wbr"};
    std::vector<std::string> open;
    for (std::size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i + 1)) {
        if (html.compare(i, 4, "<!--") == 0) {
            i = html.find("-->", i);
            if (i == std::string::npos) return "unclosed comment";
            continue;
        }
        if (html.compare(i, 2, "<!") == 0) continue;  // the doctype
        const bool closing = html.compare(i, 2, "</") == 0;
        std::size_t b = i + (closing ? 2 : 1), e = b;
        while (e < html.size() && (std::isalnum(static_cast<unsigned char>(html[e])) != 0)) ++e;
        std::string name = html.substr(b, e - b);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        if (name.empty()) return "a \"<\" that starts no tag at offset " + std::to_string(i);
        if (closing) {
            if (open.empty() || open.back() != name)
                return "</" + name + "> closes " + (open.empty() ? "nothing" : "<" + open.back() + ">");
            open.pop_back();
        } else if (!kVoid.count(name)) {
            open.push_back(name);
        }
    }
    return open.empty() ? std::string() : "<" + open.back() + "> is never closed";
}

std::vector<fs::path> ManualPages() {
    std::vector<fs::path> pages;
    for (const auto& e : fs::directory_iterator(kManualDir))
        if (e.path().extension() == ".html") pages.push_back(e.path());
    std::sort(pages.begin(), pages.end());
    return pages;
}

}  // namespace

TEST(Manual, EveryHelpPageTheCodeOpensExistsWithItsAnchor) {
    const SourceScan scan = ScanSources();
    // The scan must see the help calls that exist: the tool dialogs' and the options dialog's.
    auto found = [&](const std::string& page, const std::string& anchor) {
        return std::any_of(scan.refs.begin(), scan.refs.end(),
                           [&](const HelpRef& r) { return r.page == page && r.anchor == anchor; });
    };
    EXPECT_TRUE(found("varolux_man_rech_en.html", "add"));
    EXPECT_TRUE(found("varolux_man_opt_en.html", ""));
    EXPECT_TRUE(scan.strays.empty()) << "a literal that looks like a help page but is none: "
                                     << (scan.strays.empty() ? "" : scan.strays.front());

    std::map<std::string, Page> pages;
    for (const HelpRef& r : scan.refs) {
        const fs::path file = kManualDir / r.page;
        ASSERT_TRUE(fs::exists(file)) << r.where << ": no page " << file;
        auto [it, fresh] = pages.try_emplace(r.page);
        if (fresh) it->second = LoadPage(file);
        if (!r.anchor.empty()) {
            EXPECT_TRUE(it->second.anchors.count(r.anchor))
                << r.where << ": " << r.page << " has no element named \"" << r.anchor << "\"";
        }
    }
}

TEST(Manual, HelpCallsOpenTheCopyBesideTheProgram) {
    // The program's folder is the folder of its executable; the build copies the manual there.
    const fs::path programFolder = kManualDir.parent_path();
    for (const HelpRef& r : ScanSources().refs) {
        ui::ScopedScriptedBackend ui;
        const std::string fragment = r.anchor.empty() ? "" : "#" + r.anchor;
        EXPECT_TRUE(OpenDialogHelp(programFolder.string() + "/", "html\\" + r.page + fragment)) << r.where;
        ASSERT_EQ(ui->openedUrls.size(), 1u) << r.where;
        EXPECT_EQ(ui->openedUrls[0], "file://" + (programFolder / "html" / r.page).string() + fragment);
        EXPECT_TRUE(ui->messages.empty()) << r.where;
    }
}

TEST(Manual, PagesAndAnchorsOfEveryDialogArePresent) {
    // Every page and anchor the dialogs open, also those of dialogs a later version adds. The
    // baselining dialog asks for "##adv_smooth", which a browser resolves to the id "#adv_smooth".
    const std::map<std::string, std::vector<std::string>> expected = {
        {"varolux_manual_en.html", {}},
        {"varolux_man_spek_en.html",
         {"peak", "schneid", "sort", "spike", "adv_basel", "#adv_smooth", "adv_smooth", "info", "allg",
          "loesch"}},
        {"varolux_man_rech_en.html",
         {"add", "y_konst", "x_konst", "konz", "eff_ext", "pol", "mittel", "trans", "dicke", "raman",
          "abl"}},
        {"varolux_man_2d_en.html", {"descatter", "errber", "errkorr", "eem", "blank_subtract"}},
        {"varolux_man_opt_en.html", {"achsen"}},
        {"varolux_man_dat_en.html", {"batchexport", "saverruff", "gnu"}},
    };
    for (const auto& [name, anchors] : expected) {
        const fs::path file = kManualDir / name;
        ASSERT_TRUE(fs::exists(file)) << file;
        const Page page = LoadPage(file);
        for (const std::string& a : anchors)
            EXPECT_TRUE(page.anchors.count(a)) << name << " lacks \"" << a << "\"";
    }
}

TEST(Manual, PagesAreWellFormedUtf8HtmlWithRelativeLinksThatResolve) {
    const std::vector<fs::path> files = ManualPages();
    ASSERT_GE(files.size(), 6u);
    std::map<std::string, Page> pages;
    for (const fs::path& f : files) pages[f.filename().string()] = LoadPage(f);

    for (const auto& [name, page] : pages) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ValidUtf8(page.text));
        EXPECT_EQ(page.text.rfind("<!DOCTYPE html>", 0), 0u);
        EXPECT_NE(page.text.find("<html lang=\"en\">"), std::string::npos);
        EXPECT_NE(page.text.find("<meta charset=\"utf-8\">"), std::string::npos);
        EXPECT_TRUE(std::regex_search(page.text, std::regex("<title>[^<]+</title>")));
        EXPECT_EQ(TagBalanceFault(page.text), "");
        EXPECT_TRUE(page.duplicateIds.empty()) << "id used twice: " << page.duplicateIds.front();
        EXPECT_NE(page.text.find("href=\"varolux_manual_en.html\""), std::string::npos)
            << "no link back to the contents";

        for (const std::string& href : page.hrefs) {
            SCOPED_TRACE(href);
            ASSERT_FALSE(href.empty());
            // Relative links only: the manual is read from wherever the program lies.
            EXPECT_EQ(href.find(':'), std::string::npos);
            EXPECT_NE(href.front(), '/');
            EXPECT_EQ(href.find('\\'), std::string::npos);
            const auto hash = href.find('#');
            const std::string target = hash == std::string::npos ? href : href.substr(0, hash);
            const std::string anchor = hash == std::string::npos ? "" : href.substr(hash + 1);
            const std::string file = target.empty() ? name : target;
            ASSERT_TRUE(fs::exists(kManualDir / file)) << "missing " << file;
            if (file.size() > 5 && file.compare(file.size() - 5, 5, ".html") == 0 && !anchor.empty()) {
                ASSERT_TRUE(pages.count(file));
                EXPECT_TRUE(pages.at(file).anchors.count(anchor)) << file << " has no \"" << anchor << "\"";
            }
        }
    }
    // The contents page reaches every other page.
    for (const auto& [name, page] : pages) {
        (void)page;
        EXPECT_NE(pages.at("varolux_manual_en.html").text.find("href=\"" + name), std::string::npos)
            << "contents page does not link " << name;
    }
}
