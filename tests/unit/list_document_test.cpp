#include "child_process.h"
#include "cliplist/clip_list.h"
#include "cliplist/list_document.h"
#include "platform/error.h"
#include "text/collation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace zub;
namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using ::testing::StartsWith;

namespace {

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void writeBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ListDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zub-doc-XXXXXX";
        dir = ::mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string errorOf(auto&& f) {
        try {
            f();
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }

    fs::path dir;
    Collator collator{"zh_CN"};
    ClipList list{collator};
};

} // namespace

TEST(ListDocumentParse, LineBreakRules) {
    EXPECT_EQ(parseListDocument("a\r\nb\r\n"), (Texts{"a", "b"}));
    EXPECT_EQ(parseListDocument("a\r\nb"), (Texts{"a", "b"}));
    EXPECT_EQ(parseListDocument("a\nb\rc"), (Texts{"a", "b", "c"}));
    EXPECT_EQ(parseListDocument("a\r\n\r\nb\r\n"), (Texts{"a", "", "b"}));
    EXPECT_EQ(parseListDocument("a\n\rb"), (Texts{"a", "", "b"}));
    EXPECT_EQ(parseListDocument("a\r\r\nb"), (Texts{"a", "", "b"}));
    EXPECT_EQ(parseListDocument("a\n\n"), (Texts{"a", ""}));
    EXPECT_EQ(parseListDocument(""), Texts{});
    EXPECT_EQ(parseListDocument("\r\n"), (Texts{""}));
    EXPECT_EQ(parseListDocument("\n\r\n"), (Texts{"", ""}));
}

TEST(ListDocumentParse, TheFirstNulEndsTheText) {
    using namespace std::string_literals;
    EXPECT_EQ(parseListDocument("a\r\nb\0c\r\nd"s), (Texts{"a", "b"}));
    EXPECT_EQ(parseListDocument("\0abc"s), Texts{});
    EXPECT_EQ(parseListDocument("a\r\n\0"s), (Texts{"a"}));
}

TEST(ListDocumentParse, KeepsEveryOtherByte) {
    // Bytes that are no character of the code page are data like any other.
    const std::string odd = "\x81\xFF\x80\x7F\xD6\x30\x81\t[Zub]\x01";
    EXPECT_EQ(parseListDocument(odd + "\r\n" + odd), (Texts{odd, odd}));
}

TEST_F(ListDocumentTest, SavesEveryEntryWithCrLf) {
    list.add("a");
    list.add("b[Zub]c");
    EXPECT_EQ(formatListDocument(list), "a\r\nb[Zub]c\r\n");
    list.clear();
    EXPECT_EQ(formatListDocument(list), "");
    list.add("");
    list.add("");
    EXPECT_EQ(formatListDocument(list), "\r\n\r\n");
}

TEST_F(ListDocumentTest, RoundTripsThroughAFile) {
    const fs::path file = dir / "list.zub";
    const Texts entries = {"abc", "", "\xD6\xD0\xCE\xC4[Zub]\xD7\xA2", "\x94\x39\xFC\x36", "  x\t"};
    list.assign(entries);
    saveListDocument(file, list);
    EXPECT_EQ(readBytes(file),
              "abc\r\n\r\n\xD6\xD0\xCE\xC4[Zub]\xD7\xA2\r\n\x94\x39\xFC\x36\r\n  x\t\r\n");

    ClipList loaded(collator);
    loaded.add("old");
    loaded.select(0);
    loadListDocument(file, loaded);
    ASSERT_EQ(loaded.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(loaded.text(i), entries[i]);
    EXPECT_EQ(loaded.selection(), std::nullopt);
}

TEST_F(ListDocumentTest, MultiLineEntryComesBackAsSeveral) {
    list.add("one\r\ntwo");
    const fs::path file = dir / "multi.zub";
    saveListDocument(file, list);
    EXPECT_EQ(readListDocument(file), (Texts{"one", "two"}));
}

TEST_F(ListDocumentTest, LoadingWhileSortedSortsTheLines) {
    writeBytes(dir / "s.zub", "pear\r\nApple\r\nbanana\r\n");
    list.setSorted(true);
    loadListDocument(dir / "s.zub", list);
    EXPECT_EQ(list.text(0), "Apple");
    EXPECT_EQ(list.text(1), "banana");
    EXPECT_EQ(list.text(2), "pear");
}

TEST_F(ListDocumentTest, AHugeSingleLineIsOneEntry) {
    const std::string line(100u << 20, 'x');
    writeBytes(dir / "huge.zub", line);
    loadListDocument(dir / "huge.zub", list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.text(0).size(), line.size());
}

TEST_F(ListDocumentTest, OpenFailuresNameTheFileAndKeepTheList) {
    list.add("kept");
    const fs::path missing = dir / "missing.zub";
    EXPECT_EQ(errorOf([&] { loadListDocument(missing, list); }),
              "Cannot open file \"" + missing.string() + "\". No such file or directory");
    EXPECT_EQ(errorOf([&] { loadListDocument(dir, list); }),
              "Cannot open file \"" + dir.string() + "\". Is a directory");
    EXPECT_THAT(errorOf([&] { loadListDocument("/dev/zero", list); }),
                StartsWith("Cannot open file \"/dev/zero\". "));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.text(0), "kept");
}

TEST_F(ListDocumentTest, RelativePathsAreShownInFull) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    const std::string message = errorOf([&] { readListDocument("nothing.zub"); });
    fs::current_path(previous);
    EXPECT_EQ(message, "Cannot open file \"" + (dir / "nothing.zub").string() +
                           "\". No such file or directory");
}

TEST_F(ListDocumentTest, CreateFailuresLeaveNoFileBehind) {
    list.add("a");
    const fs::path inMissingFolder = dir / "no" / "such.zub";
    EXPECT_EQ(errorOf([&] { saveListDocument(inMissingFolder, list); }),
              "Cannot create file \"" + inMissingFolder.string() + "\". No such file or directory");
    fs::create_directory(dir / "folder.zub");
    EXPECT_EQ(errorOf([&] { saveListDocument(dir / "folder.zub", list); }),
              "Cannot create file \"" + (dir / "folder.zub").string() + "\". Is a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ListDocumentTest, ReplacingKeepsPermissionsAndLinks) {
    const fs::path file = dir / "perm.zub";
    writeBytes(file, "old contents that are longer\r\n");
    ::chmod(file.c_str(), 0640);
    fs::create_symlink(file, dir / "link.zub");
    list.add("new");
    saveListDocument(dir / "link.zub", list);
    EXPECT_TRUE(fs::is_symlink(dir / "link.zub"));
    EXPECT_EQ(readBytes(file), "new\r\n");
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Nothing but the file and the link: the temporary file is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(ListDocumentTest, AReadOnlyFileIsNotReplaced) {
    // Anyone may write the folder, so only the file's own rights protect it.
    ::chmod(dir.c_str(), 0777);
    const fs::path file = dir / "ro.zub";
    writeBytes(file, "keep\r\n");
    ::chmod(file.c_str(), 0444);
    list.add("new");
    EXPECT_EQ(test::runUnprivileged([&] { return errorOf([&] { saveListDocument(file, list); }); }),
              "Cannot create file \"" + file.string() + "\". Permission denied");
    EXPECT_EQ(readBytes(file), "keep\r\n");
}
