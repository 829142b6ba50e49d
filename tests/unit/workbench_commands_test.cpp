#include "platform/error.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system_files.h"
#include "text/codepage.h"
#include "workbench/preview_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

using namespace zub;
namespace fs = std::filesystem;

namespace {

class Preview : public ::testing::Test {
protected:
    fs::path program;
    SimSystemFiles files;
    SimShell shell;

    void SetUp() override {
        // A folder of its own (the Windows build has no mkdtemp).
        std::random_device random;
        do {
            program = fs::temp_directory_path() / ("zub-preview-" + std::to_string(random()));
        } while (!fs::create_directory(program));
        files.setExecutableFolder(program);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(program, fs::perms::owner_all, ignored);
        fs::remove_all(program, ignored);
    }

    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string message(std::string_view format, std::string_view text) {
        try {
            preview(files, shell, program, format, text);
        } catch (const Error& error) {
            return error.what();
        }
        return "no error";
    }
};

} // namespace

TEST_F(Preview, WritesTheTextIntoAHiddenFolderAndOpensIt) {
    preview(files, shell, program, ".txt", "a\r\nb");
    const fs::path file = program / "~temp" / "~temp.txt";
    EXPECT_EQ(read(file), "a\r\nb");
    EXPECT_TRUE(files.isHidden(program / "~temp"));
    EXPECT_EQ(files.currentFolder(), program);
    EXPECT_EQ(shell.requests(), std::vector<std::string>{file.string()});

    // Again, with another format: the same folder, hidden only once, the file replaced.
    preview(files, shell, program, ".htm", "<p>");
    preview(files, shell, program, ".htm", "<b>");
    EXPECT_EQ(read(program / "~temp" / "~temp.htm"), "<b>");
    EXPECT_EQ(read(file), "a\r\nb");
    EXPECT_EQ(files.setHiddenCount(), 1);
    EXPECT_EQ(shell.requests().size(), 3u);
}

TEST_F(Preview, TheFormatIsTakenAsTyped) {
    preview(files, shell, program, "txt", "1");
    preview(files, shell, program, "", "2");
    preview(files, shell, program, ".html", "3");
    preview(files, shell, program, cp::fromUtf16(u".文本"), "4");
    EXPECT_EQ(read(program / "~temp" / "~temptxt"), "1");
    EXPECT_EQ(read(program / "~temp" / "~temp"), "2");
    EXPECT_EQ(read(program / "~temp" / "~temp.html"), "3");
    EXPECT_EQ(read(program / "~temp" / u"~temp.文本"), "4");
    // The shell gets the path in the program's code page.
    EXPECT_EQ(shell.requests().back(),
              cp::fromUtf16((program / "~temp" / u"~temp.文本").u16string()));
}

TEST_F(Preview, FailuresStopBeforeTheShellIsAsked) {
    files.failCurrentFolder(EACCES);
    EXPECT_EQ(message(".txt", "x"), "File access denied");
    EXPECT_FALSE(fs::exists(program / "~temp"));

    // A folder that cannot be made is not reported by itself; writing the file then fails.
    files.failCurrentFolder(std::nullopt);
    files.failCreateFolder(true);
    const fs::path file = program / "~temp" / "~temp.txt";
    const std::string failure = "Cannot create file \"" + file.string() + "\". ";
#ifdef _WIN32
    // The rest is the system's own text, which Wine words differently from Windows.
    EXPECT_EQ(message(".txt", "x").substr(0, failure.size()), failure);
#else
    EXPECT_EQ(message(".txt", "x"), failure + "No such file or directory");
#endif
    EXPECT_EQ(files.setHiddenCount(), 0);
    EXPECT_TRUE(shell.requests().empty());
}

TEST_F(Preview, AProgramFolderThatIsGoneIsAnInputOutputError) {
    EXPECT_EQ(message(".txt", "x"), "no error");
    files.setExecutableFolder(program / "gone");
    try {
        preview(files, shell, program / "gone", ".txt", "x");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_EQ(files.currentFolder(), program); // unchanged
}
