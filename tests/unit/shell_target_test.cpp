#include "platform/xdg/shell_target.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

using namespace zub;
namespace fs = std::filesystem;
using Kind = ShellTarget::Kind;

namespace {

// A folder tree of its own: bin/ with programs, home/ as the current folder with documents.
class ShellTargetTest : public ::testing::Test {
protected:
    fs::path root;
    fs::path bin;
    fs::path home;

    void SetUp() override {
        root = fs::temp_directory_path() /
               ("zub-shell-target-" + std::to_string(std::random_device{}()));
        bin = root / "bin";
        home = root / "home";
        fs::create_directories(bin);
        fs::create_directories(home / "folder");
        makeFile(bin / "my tool", true);
        makeFile(bin / "notepad", true);
        makeFile(bin / "plain", false);
        makeFile(home / "readme.txt", false);
        makeFile(home / "local", true);
        makeFile(home / "说明 文件.txt", false);
        ::chmod((home / "folder").c_str(), 0755);
    }
    void TearDown() override { fs::remove_all(root); }

    static void makeFile(const fs::path& path, bool executable) {
        std::ofstream(path) << "#!/bin/sh\n";
        ::chmod(path.c_str(), executable ? 0755 : 0644);
    }

    ShellTarget classify(std::string_view text) const {
        return classifyShellTarget(text, bin.string() + ":/nonexistent", home);
    }
};

} // namespace

TEST(HasUrlScheme, KnowsAddressesFromSentencesAndDrives) {
    for (const char* url :
         {"http://www.example.com", "https://例子.中国/路径?q=1", "mailto:a@b.cn",
          "file:///etc/hosts", "svn+ssh://host/repo", "news:comp.lang", "x-scheme.1:opaque"})
        EXPECT_TRUE(hasUrlScheme(url)) << url;
    for (const char* text :
         {"", "http:", ":http", "c:\\windows", "C:/x", "1http://x", "ht tp://x", "note: buy milk",
          "http://a b", "http://a\tb", "http://a\nb", "-x:y", "www.example.com", "/usr/bin"})
        EXPECT_FALSE(hasUrlScheme(text)) << text;
}

TEST_F(ShellTargetTest, UrlsAreHandedOnAsTheyAre) {
    const ShellTarget target = classify("https://www.baidu.com/s?word=%E4%B8%AD");
    EXPECT_EQ(target.kind, Kind::Url);
    EXPECT_EQ(target.argument, "https://www.baidu.com/s?word=%E4%B8%AD");
}

TEST_F(ShellTargetTest, NamesAreLookedUpWholeInTheSearchPath) {
    ShellTarget target = classify("my tool");
    EXPECT_EQ(target.kind, Kind::Program);
    EXPECT_EQ(target.argument, (bin / "my tool").string());

    // Program and argument are never split apart, although both exist.
    EXPECT_EQ(classify("notepad readme.txt").kind, Kind::Unknown);
    EXPECT_EQ(classify("notepad").kind, Kind::Program);
    // Not executable: no program, and not in the current folder either.
    EXPECT_EQ(classify("plain").kind, Kind::Unknown);
    EXPECT_EQ(classify("nothing here").kind, Kind::Unknown);
}

TEST_F(ShellTargetTest, TheCurrentFolderNeverRunsABareName) {
    for (const std::string& searchPath :
         {std::string(), std::string("::."), std::string("relative:") + bin.string()}) {
        const ShellTarget target = classifyShellTarget("local", searchPath, home);
        EXPECT_EQ(target.kind, Kind::Document) << searchPath;
        EXPECT_EQ(target.argument, (home / "local").string());
    }
    // With a slash it is a path, and the path names a program.
    const ShellTarget target = classify("./local");
    EXPECT_EQ(target.kind, Kind::Program);
    EXPECT_EQ(target.argument, (home / "./local").string());
}

TEST_F(ShellTargetTest, ExistingFilesAndFoldersAreDocuments) {
    ShellTarget target = classify("readme.txt");
    EXPECT_EQ(target.kind, Kind::Document);
    EXPECT_EQ(target.argument, (home / "readme.txt").string());

    target = classify("说明 文件.txt");
    EXPECT_EQ(target.kind, Kind::Document);
    EXPECT_EQ(target.argument, (home / "说明 文件.txt").string());

    // An executable folder is still a folder.
    target = classify((home / "folder").string());
    EXPECT_EQ(target.kind, Kind::Document);
    EXPECT_EQ(target.argument, (home / "folder").string());
    EXPECT_EQ(classify("folder/").kind, Kind::Document);
    EXPECT_EQ(classify("/").kind, Kind::Document);

    target = classify((bin / "plain").string());
    EXPECT_EQ(target.kind, Kind::Document);
    EXPECT_EQ(classify("../bin/plain").kind, Kind::Document);
    EXPECT_EQ(classify((bin / "my tool").string()).kind, Kind::Program);
    EXPECT_EQ(classify((home / "missing.txt").string()).kind, Kind::Unknown);
}

TEST_F(ShellTargetTest, CommandLinesAreJustNamesThatDoNotExist) {
    for (const char* text : {"$(touch /tmp/x)", "; rm -rf ~", "`touch x`", "notepad; ls",
                             "notepad && ls", "notepad | ls", "notepad\nls", "-h", "--help"})
        EXPECT_EQ(classify(text).kind, Kind::Unknown) << text;
}

TEST_F(ShellTargetTest, EmptyHugeAndNulHoldingTextsFail) {
    EXPECT_EQ(classify("").kind, Kind::Unknown);
    // Longer than any name the system takes, with and without a slash.
    EXPECT_EQ(classify(std::string(1 << 20, 'a')).kind, Kind::Unknown);
    EXPECT_EQ(classify("/" + std::string(1 << 20, 'a')).kind, Kind::Unknown);
    EXPECT_EQ(classify("http://" + std::string(1 << 20, 'a')).kind, Kind::Url);
    EXPECT_EQ(classify(std::string("notepad\0 -x", 11)).kind, Kind::Unknown);
    EXPECT_EQ(classify(std::string("http://a\0b", 10)).kind, Kind::Unknown);
}

TEST_F(ShellTargetTest, WithoutACurrentFolderOnlyAbsoluteNamesAndThePathCount) {
    EXPECT_EQ(classifyShellTarget("readme.txt", bin.string(), {}).kind, Kind::Unknown);
    EXPECT_EQ(classifyShellTarget("./local", bin.string(), {}).kind, Kind::Unknown);
    EXPECT_EQ(classifyShellTarget("notepad", bin.string(), {}).kind, Kind::Program);
    EXPECT_EQ(classifyShellTarget((home / "readme.txt").string(), "", {}).kind, Kind::Document);
}
