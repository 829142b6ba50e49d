#include "platform/error.h"
#include "workbench/workbench_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace zub;
namespace fs = std::filesystem;

namespace {

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "zub-document-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(WorkbenchDocument, EveryKindOfLineBreakBecomesCrLf) {
    EXPECT_EQ(workbenchText("a\nb"), "a\r\nb");
    EXPECT_EQ(workbenchText("a\rb"), "a\r\nb");
    EXPECT_EQ(workbenchText("a\r\nb"), "a\r\nb");
    // LF CR is two line breaks; CR CR LF is two as well.
    EXPECT_EQ(workbenchText("a\n\rb"), "a\r\n\r\nb");
    EXPECT_EQ(workbenchText("a\r\r\nb"), "a\r\n\r\nb");
    EXPECT_EQ(workbenchText("\n\n"), "\r\n\r\n");
    EXPECT_EQ(workbenchText("end\r"), "end\r\n");
    EXPECT_EQ(workbenchText(""), "");
    // Everything else, bytes of the code page included, goes through untouched.
    const std::string chinese = "\xD6\xD0\xCE\xC4\t\x94\x39\xFC\x36";
    EXPECT_EQ(workbenchText(chinese + "\n"), chinese + "\r\n");
}

TEST(WorkbenchDocument, TheFirstNulEndsTheText) {
    EXPECT_EQ(workbenchText(std::string("ab\0cd\nef", 8)), "ab");
    EXPECT_EQ(workbenchText(std::string("\0abc", 4)), "");
    EXPECT_EQ(workbenchText(std::string("a\n\0\n", 4)), "a\r\n");
}

TEST(WorkbenchDocument, ReadsAndWritesFiles) {
    TemporaryFolder folder;
    const fs::path path = folder.path() / "文档.txt";
    writeFile(path, std::string("line\none\r\n\0rest", 16));
    EXPECT_EQ(readWorkbenchDocument(path), "line\r\none\r\n");

    // Written exactly: no byte-order mark, no closing line break, nothing for an empty text.
    writeWorkbenchDocument(path, "a\r\nb");
    EXPECT_EQ(readFile(path), "a\r\nb");
    writeWorkbenchDocument(path, "");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(readWorkbenchDocument(path), "");
}

TEST(WorkbenchDocument, TooLongTextsAreRefusedWithTheEditorsMessage) {
    TemporaryFolder folder;
    const fs::path path = folder.path() / "big.txt";
    writeFile(path, std::string(10, 'x'));
    EXPECT_EQ(readWorkbenchDocument(path, 10), std::string(10, 'x'));
    writeFile(path, std::string(11, 'x'));
    EXPECT_EQ(messageOf([&] { readWorkbenchDocument(path, 10); }), "Text exceeds memo capacity");
    // Short enough as bytes, too long once its line breaks are CR LF.
    writeFile(path, "a\nb\nc\nd\ne");
    EXPECT_EQ(messageOf([&] { readWorkbenchDocument(path, 10); }), "Text exceeds memo capacity");
    // What matters is the text before the NUL, however big the file.
    writeFile(path, std::string("short", 5) + std::string(1, '\0') + std::string(1000, 'x'));
    EXPECT_EQ(readWorkbenchDocument(path, 10), "short");
    EXPECT_EQ(kWorkbenchCapacity, std::size_t{64} << 20);
}

TEST(WorkbenchDocument, FilesThatCannotBeUsedSayWhy) {
    TemporaryFolder folder;
    const fs::path missing = folder.path() / "missing.txt";
    EXPECT_EQ(messageOf([&] { readWorkbenchDocument(missing); }),
              "Cannot open file \"" + missing.string() + "\". No such file or directory");
    EXPECT_EQ(messageOf([&] { readWorkbenchDocument(folder.path()); }),
              "Cannot open file \"" + folder.path().string() + "\". Is a directory");

    const fs::path inMissingFolder = folder.path() / "nowhere" / "a.txt";
    EXPECT_EQ(messageOf([&] { writeWorkbenchDocument(inMissingFolder, "x"); }),
              "Cannot create file \"" + inMissingFolder.string() + "\". No such file or directory");

    // A file that may not be replaced keeps its content.
    if (::geteuid() != 0) {
        const fs::path locked = folder.path() / "locked.txt";
        writeFile(locked, "old");
        fs::permissions(locked, fs::perms::owner_read);
        EXPECT_NE(messageOf([&] { writeWorkbenchDocument(locked, "new"); }), "no error");
        EXPECT_EQ(readFile(locked), "old");
    }
}
