// Folders, the current folder and the hidden attribute, on the system and in the simulation.

#include "platform/error.h"
#include "platform/hidden_files.h"
#include "platform/io_error.h"
#include "platform/sim/sim_system_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace zub;
namespace fs = std::filesystem;

namespace {

class Folder : public ::testing::Test {
protected:
    fs::path root;
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zub-files-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

} // namespace

TEST(IoError, UsesTheProgramsWordsForTheCommonErrors) {
    EXPECT_EQ(ioErrorText(ENOENT), "File not found");
    EXPECT_EQ(ioErrorText(ENOTDIR), "Invalid filename");
    EXPECT_EQ(ioErrorText(ENAMETOOLONG), "Invalid filename");
    EXPECT_EQ(ioErrorText(EMFILE), "Too many open files");
    EXPECT_EQ(ioErrorText(EACCES), "File access denied");
    EXPECT_EQ(ioErrorText(EPERM), "File access denied");
    EXPECT_EQ(ioErrorText(EIO), "I/O error " + std::to_string(EIO));
}

TEST_F(Folder, HiddenNamesAreAddedToTheFoldersListOnce) {
    const fs::path item = root / "~temp";
    fs::create_directory(item);
    EXPECT_FALSE(hidden_files::isListed(item));
    EXPECT_TRUE(hidden_files::list(item));
    EXPECT_TRUE(hidden_files::isListed(item));
    EXPECT_TRUE(hidden_files::list(item));
    EXPECT_EQ(read(root / ".hidden"), "~temp\n");

    // Lines already there stay, a missing last line break is added before the new name, and a
    // name is only ever a whole line.
    std::ofstream(root / ".hidden", std::ios::binary | std::ios::trunc) << "other\r\nlast";
    EXPECT_FALSE(hidden_files::isListed(root / "oth"));
    EXPECT_TRUE(hidden_files::isListed(root / "other"));
    EXPECT_TRUE(hidden_files::list(item));
    EXPECT_EQ(read(root / ".hidden"), "other\r\nlast\n~temp\n");
    EXPECT_FALSE(hidden_files::list(root / "missing-folder" / "x"));
}

TEST_F(Folder, TheSimulatedFilesRefuseAsTheSystemDoes) {
    SimSystemFiles files(root);
    auto refusal = [&](const fs::path& folder) -> std::string {
        try {
            files.setCurrentFolder(folder);
        } catch (const Error& error) {
            return error.what();
        }
        return "changed";
    };
    EXPECT_EQ(refusal(root / "missing"), "File not found");
    std::ofstream(root / "file") << "x";
    EXPECT_EQ(refusal(root / "file"), "Invalid filename");
    EXPECT_EQ(refusal(root), "changed");
    EXPECT_EQ(files.currentFolder(), root);
    files.failCurrentFolder(EACCES);
    EXPECT_EQ(refusal(root), "File access denied");

    EXPECT_TRUE(files.createFolder(root / "made"));
    EXPECT_TRUE(files.isFolder(root / "made"));
    EXPECT_FALSE(files.createFolder(root / "made"));
    EXPECT_FALSE(files.createFolder(root / "no" / "parent"));
    files.failCreateFolder(true);
    EXPECT_FALSE(files.createFolder(root / "refused"));
    EXPECT_FALSE(fs::exists(root / "refused"));

    EXPECT_FALSE(files.setHidden(root / "missing"));
    EXPECT_TRUE(files.setHidden(root / "made"));
    EXPECT_TRUE(files.isHidden(root / "made"));
    EXPECT_TRUE(files.isHidden(root / "." / "made"));
    EXPECT_FALSE(files.isHidden(root / "file"));
}
