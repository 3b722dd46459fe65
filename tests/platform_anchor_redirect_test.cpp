// The page that carries a help page's section past openers that drop a file URL's fragment.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/anchor_redirect.h"

namespace {

namespace fs = std::filesystem;

class AnchorRedirect : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vx_redirect_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        saved_ = old ? old : "";
        hadOld_ = old != nullptr;
        ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_) ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        else ::unsetenv("XDG_RUNTIME_DIR");
        fs::remove_all(dir_);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
    std::string saved_;
    bool hadOld_ = false;
};

}  // namespace

TEST(FileUrl, PathAndFragmentArePercentEncoded) {
    EXPECT_EQ(EncodeFileUrl("file:///opt/vx/html/page.html#info"), "file:///opt/vx/html/page.html#info");
    EXPECT_EQ(EncodeFileUrl("file:///home/a b/x;y%/p\xC3\xA4.html#sec 1"),
              "file:///home/a%20b/x%3By%25/p%C3%A4.html#sec%201");
    // A second "#" belongs to the fragment (the baselining dialog asks for "##adv_smooth").
    EXPECT_EQ(EncodeFileUrl("file:///m/p.html##adv_smooth"), "file:///m/p.html##adv_smooth");
    EXPECT_EQ(EncodeFileUrl("file:///m/\"<&>'.html#a\"b"), "file:///m/%22%3C%26%3E%27.html#a%22b");
}

TEST_F(AnchorRedirect, PageLeadsToTheSectionAndLivesInAPrivateFolder) {
    const std::string url = "file:///opt/my vx/html/varolux_man_spek_en.html#info";
    const std::string page = WriteAnchorRedirectPage(url);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(fs::path(page).parent_path(), dir_ / "varolux32");
    struct stat st{};
    ASSERT_EQ(::stat((dir_ / "varolux32").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const std::string text = Read(page);
    const std::string target = "file:///opt/my%20vx/html/varolux_man_spek_en.html#info";
    EXPECT_NE(text.find("<meta http-equiv=\"refresh\" content=\"0; url=" + target + "\">"), std::string::npos);
    EXPECT_NE(text.find("location.replace(\"" + target + "\")"), std::string::npos);
    EXPECT_NE(text.find("<a href=\"" + target + "\">"), std::string::npos);
    // Another section gets a page of its own; the same one is written again in place.
    const std::string other = WriteAnchorRedirectPage("file:///opt/my vx/html/varolux_man_spek_en.html#peak");
    EXPECT_NE(other, page);
    EXPECT_EQ(WriteAnchorRedirectPage(url), page);
    EXPECT_EQ(Read(page), text);
}

TEST_F(AnchorRedirect, AFolderOthersCanEnterIsNotUsed) {
    fs::create_directories(dir_ / "varolux32");
    ::chmod((dir_ / "varolux32").c_str(), 0755);
    EXPECT_EQ(PerUserTempFolder(), "");
    EXPECT_EQ(WriteAnchorRedirectPage("file:///x/p.html#a"), "");
    // A symbolic link in its place is refused too.
    fs::remove_all(dir_ / "varolux32");
    fs::create_directories(dir_ / "elsewhere");
    ::chmod((dir_ / "elsewhere").c_str(), 0700);
    fs::create_directory_symlink(dir_ / "elsewhere", dir_ / "varolux32");
    EXPECT_EQ(PerUserTempFolder(), "");
    // Without a runtime folder the temporary folder of this user serves.
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("TMPDIR", dir_.c_str(), 1);
    EXPECT_EQ(PerUserTempFolder(), (dir_ / ("varolux32-" + std::to_string(::getuid()))).string() + "/");
    ::unsetenv("TMPDIR");
}
