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

TEST(WorkbenchDocument, Utf8FilesAreReadIntoTheCodePageAndWrittenBackAsTheyWere) {
    using Encoding = DocumentFormat::Encoding;
    const std::string crlf = "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\r\n" // 中文测试
                             "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C"                 // 你好，
                             "\xE4\xB8\x96\xE7\x95\x8C\r\nabc\r\n";                 // 世界
    const std::string gbk = "\xD6\xD0\xCE\xC4\r\n\xC4\xE3\xBA\xC3\r\n";             // 中文 你好
    const struct {
        std::string file;
        Encoding encoding;
        bool byteOrderMark;
        bool lfLineBreaks;
        std::string text; // in the code page
    } cases[] = {
        {crlf, Encoding::Utf8, false, false,
         "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\r\n\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7\r\nabc\r\n"},
        {"\xEF\xBB\xBF" + crlf, Encoding::Utf8, true, false, workbenchDocument(crlf).text},
        {"\xE4\xB8\xAD\nx\n", Encoding::Utf8, false, true, "\xD6\xD0\r\nx\r\n"},
        {"\xEF\xBB\xBFplain", Encoding::Utf8, true, false, "plain"},
        {"\xEF\xBB\xBF", Encoding::Utf8, true, false, ""},
        {"\xC3\xA0 la \xF0\x9F\x98\x80", Encoding::Utf8, false, false,
         "\xA8\xA4 la \x94\x39\xFC\x36"},
        // The code page as ever: GBK, ASCII, and UTF-8 with one byte that is not.
        {gbk, Encoding::CodePage, false, false, gbk},
        {"plain ascii\r\n", Encoding::CodePage, false, false, "plain ascii\r\n"},
        {crlf + "\xFF", Encoding::CodePage, false, false, crlf + "\xFF"},
        {"\xEF\xBB\xBF\xE4\xB8", Encoding::CodePage, false, false, "\xEF\xBB\xBF\xE4\xB8"},
    };
    for (const auto& c : cases) {
        const WorkbenchDocument document = workbenchDocument(c.file);
        EXPECT_EQ(document.format.encoding, c.encoding) << testing::PrintToString(c.file);
        EXPECT_EQ(document.format.byteOrderMark, c.byteOrderMark) << testing::PrintToString(c.file);
        EXPECT_EQ(document.format.lfLineBreaks, c.lfLineBreaks) << testing::PrintToString(c.file);
        EXPECT_EQ(document.text, c.text) << testing::PrintToString(c.file);
        // Unedited, it is written back byte for byte.
        EXPECT_EQ(documentBytes(document.text, document.format), c.file)
            << testing::PrintToString(c.file);
    }
    EXPECT_EQ(std::string(encodingName(workbenchDocument(crlf).format)), "UTF-8");
    EXPECT_EQ(std::string(encodingName(workbenchDocument(gbk).format)), "GBK");

    // The rules on the text hold for UTF-8 too: the NUL ends it, and line breaks that
    // were mixed come back as CR LF.
    const WorkbenchDocument mixed =
        workbenchDocument(std::string("\xE4\xB8\xAD\na\r\nb\rc") + '\0' + "\xFF");
    EXPECT_EQ(mixed.format.encoding, Encoding::Utf8);
    EXPECT_EQ(documentBytes(mixed.text, mixed.format), "\xE4\xB8\xAD\r\na\r\nb\r\nc");
    // A byte the code page has no character for (from an entry, say) goes out as it is.
    EXPECT_EQ(documentBytes("\xD6\xD0\x81\r\n", {Encoding::Utf8, false, true}),
              "\xE4\xB8\xAD\x81\n");
}

TEST(WorkbenchDocument, ReadsAndWritesFiles) {
    TemporaryFolder folder;
    const fs::path path = folder.path() / "文档.txt";
    writeFile(path, std::string("line\none\r\n\0rest", 16));
    EXPECT_EQ(readWorkbenchDocument(path).text, "line\r\none\r\n");

    // Written exactly: no byte-order mark, no closing line break, nothing for an empty text.
    writeWorkbenchDocument(path, "a\r\nb");
    EXPECT_EQ(readFile(path), "a\r\nb");
    writeWorkbenchDocument(path, "");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(readWorkbenchDocument(path).text, "");
}

TEST(WorkbenchDocument, TooLongTextsAreRefusedWithTheEditorsMessage) {
    TemporaryFolder folder;
    const fs::path path = folder.path() / "big.txt";
    writeFile(path, std::string(10, 'x'));
    EXPECT_EQ(readWorkbenchDocument(path, 10).text, std::string(10, 'x'));
    writeFile(path, std::string(11, 'x'));
    EXPECT_EQ(messageOf([&] { readWorkbenchDocument(path, 10); }), "Text exceeds memo capacity");
    // Short enough as bytes, too long once its line breaks are CR LF.
    writeFile(path, "a\nb\nc\nd\ne");
    EXPECT_EQ(messageOf([&] { readWorkbenchDocument(path, 10); }), "Text exceeds memo capacity");
    // What matters is the text before the NUL, however big the file.
    writeFile(path, std::string("short", 5) + std::string(1, '\0') + std::string(1000, 'x'));
    EXPECT_EQ(readWorkbenchDocument(path, 10).text, "short");
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
