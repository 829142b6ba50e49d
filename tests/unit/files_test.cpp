// Reading and writing files when they are not what they seem: FIFOs, sparse files, files too big
// for memory, folders we may not write, writes that fail half-way.

#include "child_process.h"
#include "cliplist/clip_list.h"
#include "cliplist/list_document.h"
#include "platform/error.h"
#include "platform/files.h"
#include "text/collation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zub;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void writeBytes(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
ino_t inodeOf(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}
std::size_t filesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Runs `f` and returns the message of the zub::Error it throws, or "ok".
std::string outcome(auto&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "ok";
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zub-files-XXXXXX";
        dir = ::mkdtemp(tmpl);
        // Other users may look in but not write, as in a shared or system folder.
        ::chmod(dir.c_str(), 0755);
    }
    void TearDown() override {
        ::chmod((dir / "locked").c_str(), 0755);
        fs::remove_all(dir);
    }

    // A folder that the unprivileged test user may read but not write, holding `name` with
    // `contents`, owned by that user with `mode`.
    fs::path lockedFolderWithFile(const char* name, std::string_view contents, mode_t mode) {
        const test::TestUser user = test::unprivilegedUser();
        const fs::path locked = dir / "locked";
        fs::create_directory(locked);
        const fs::path file = locked / name;
        writeBytes(file, contents);
        EXPECT_EQ(::chown(file.c_str(), user.uid, user.gid), 0);
        ::chmod(file.c_str(), mode);
        // Owned by root when the test user is "nobody"; otherwise by the user, without write.
        ::chmod(locked.c_str(), 0555);
        return file;
    }

    std::string opened(const fs::path& p) { return "Cannot open file \"" + p.string() + "\". "; }
    std::string created(const fs::path& p) { return "Cannot create file \"" + p.string() + "\". "; }

    fs::path dir;
    Collator collator{"zh_CN"};
    ClipList list{collator};
};

TEST_F(FilesTest, AFifoIsRefusedWithoutWaitingForAWriter) {
    const fs::path fifo = dir / "pipe.zub";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // In a child with a time limit: opening a FIFO for reading blocks until someone writes.
    const std::string report = test::runInChild(
        [&] {
            list.add("kept");
            std::string r = outcome([&] { loadListDocument(fifo, list); }) + "|" +
                            outcome([&] { files::readWholeFile(fifo); });
            return r + "|" + std::to_string(list.size()) + " " + std::string(list.text(0));
        },
        5);
    const std::string refused = opened(fifo) + "Invalid argument";
    EXPECT_EQ(report, refused + "|" + refused + "|1 kept");
}

TEST_F(FilesTest, SavingNeverReplacesAFifo) {
    const fs::path fifo = dir / "pipe.zub";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    list.add("x");
    const std::string report =
        test::runInChild([&] { return outcome([&] { saveListDocument(fifo, list); }); }, 5);
    EXPECT_EQ(report, created(fifo) + "Invalid argument");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST_F(FilesTest, ASparseFileCostsOnlyItsData) {
    // 2 GiB that read as NULs, after a few lines of text.
    const fs::path sparse = dir / "sparse.zub";
    writeBytes(sparse, "abc\r\ndef");
    ASSERT_EQ(::truncate(sparse.c_str(), off_t{2} << 30), 0);
    const fs::path empty = dir / "empty.zub";
    writeBytes(empty, "");
    ASSERT_EQ(::truncate(empty.c_str(), off_t{2} << 30), 0);

    // Reading all 2 GiB would not fit under this limit; the text before the first NUL does.
    const std::string report = test::runInChild([&] {
        if (!test::underAddressSanitizer()) {
            const rlim_t limit = test::addressSpaceInUse() + (rlim_t{256} << 20);
            const rlimit rl{limit, limit};
            if (::setrlimit(RLIMIT_AS, &rl) != 0) return std::string("setrlimit failed");
        }
        std::string r;
        for (const std::string& e : readListDocument(sparse)) r += e + ";";
        list.add("old");
        loadListDocument(empty, list);
        return r + "|" + std::to_string(list.size());
    });
    EXPECT_EQ(report, "abc;def;|0");
}

TEST_F(FilesTest, ReadingStopsAtTheFirstNul) {
    const fs::path file = dir / "nul.zub";
    std::string bytes = "one\r\ntwo";
    bytes += '\0';
    bytes += std::string(3u << 20, 'x');
    writeBytes(file, bytes);
    EXPECT_EQ(files::readTextBeforeNul(file), "one\r\ntwo");
    EXPECT_EQ(files::readWholeFile(file), bytes);
    writeBytes(file, std::string(5u << 20, 'y') + '\0' + "z");
    EXPECT_EQ(files::readTextBeforeNul(file), std::string(5u << 20, 'y'));
}

TEST_F(FilesTest, AFileTooLargeForMemoryIsReportedAndTheListKept) {
    if (test::underAddressSanitizer())
        GTEST_SKIP() << "AddressSanitizer ends the process when memory runs out instead of "
                        "throwing std::bad_alloc";
    const fs::path big = dir / "big.zub";
    {
        std::ofstream out(big, std::ios::binary);
        const std::string line = std::string(1000, 'a') + "\r\n";
        for (int i = 0; i < 64 * 1024; ++i) out << line;
    }
    const std::string report = test::runInChild([&] {
        list.add("kept");
        list.select(0);
        // Room for what the process holds now and a little more, not for the 64 MiB file.
        const rlim_t limit = test::addressSpaceInUse() + (rlim_t{32} << 20);
        const rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_AS, &rl) != 0) return std::string("setrlimit failed");
        std::string r = outcome([&] { loadListDocument(big, list); });
        return r + "|" + std::to_string(list.size()) + " " + std::string(list.text(0)) + " " +
               std::to_string(list.selection().value_or(99));
    });
    EXPECT_EQ(report, opened(big) + std::strerror(ENOMEM) + "|1 kept 0");
}

TEST_F(FilesTest, AWritableFileInALockedFolderIsWrittenInPlace) {
    const fs::path file =
        lockedFolderWithFile("list.zub", "old contents, longer than the new\r\n", 0640);
    const ino_t inode = inodeOf(file);
    const std::string report = test::runUnprivileged([&] {
        ClipList shorter(collator);
        shorter.add("new");
        std::string r = outcome([&] { saveListDocument(file, shorter); });
        r += "|" + readBytes(file);
        ClipList longer(collator);
        longer.assign({"first line", "second line, which makes it longer than before"});
        return r + "|" + outcome([&] { saveListDocument(file, longer); });
    });
    EXPECT_EQ(report, "ok|new\r\n|ok");
    EXPECT_EQ(readBytes(file), "first line\r\nsecond line, which makes it longer than before\r\n");
    // The same file, its rights as they were, and nothing else in the folder.
    EXPECT_EQ(inodeOf(file), inode);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(filesIn(file.parent_path()), 1u);
}

TEST_F(FilesTest, AReadOnlyFileInALockedFolderIsLeftAlone) {
    const fs::path file = lockedFolderWithFile("ro.zub", "keep\r\n", 0444);
    list.add("new");
    const std::string report =
        test::runUnprivileged([&] { return outcome([&] { saveListDocument(file, list); }); });
    EXPECT_EQ(report, created(file) + "Permission denied");
    EXPECT_EQ(readBytes(file), "keep\r\n");
    // A new file cannot be made there either.
    const fs::path fresh = file.parent_path() / "new.zub";
    EXPECT_EQ(
        test::runUnprivileged([&] { return outcome([&] { saveListDocument(fresh, list); }); }),
        created(fresh) + "Permission denied");
    EXPECT_EQ(filesIn(file.parent_path()), 1u);
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    const fs::path file = dir / "list.zub";
    writeBytes(file, "old\r\n");
    list.assign({std::string(8000, 'n')});
    // A file-size limit makes the write fail half-way, as a full disk would.
    const std::string report = test::runInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) return std::string("setrlimit failed");
        return outcome([&] { saveListDocument(file, list); });
    });
    EXPECT_EQ(report, created(file) + "File too large");
    EXPECT_EQ(readBytes(file), "old\r\n");
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST_F(FilesTest, WritingInPlaceClaimsItsRoomBeforeTouchingTheFile) {
    const fs::path file = lockedFolderWithFile("list.zub", "old\r\n", 0644);
    list.assign({std::string(8000, 'n')});
    const std::string report = test::runUnprivileged([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) return std::string("setrlimit failed");
        return outcome([&] { saveListDocument(file, list); });
    });
    EXPECT_EQ(report, created(file) + "File too large");
    EXPECT_EQ(readBytes(file), "old\r\n");
}

} // namespace

namespace {

void makeOlderThanThisRun(const fs::path& p) {
    const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, p.c_str(), anHourAgo, AT_SYMLINK_NOFOLLOW);
}

} // namespace

TEST_F(FilesTest, AFileWithSeveralNamesIsWrittenInPlaceSoThatEveryNameSeesTheNewText) {
    const fs::path file = dir / "notes.txt";
    writeBytes(file, "old text, longer than the new");
    fs::create_hard_link(file, dir / "same notes.txt");
    const ino_t inode = inodeOf(file);
    files::writeWholeFile(file, "new");
    EXPECT_EQ(readBytes(dir / "same notes.txt"), "new");
    EXPECT_EQ(inodeOf(file), inode);
    EXPECT_EQ(filesIn(dir), 2u);
    // With one name left it is replaced through a temporary file again.
    fs::remove(dir / "same notes.txt");
    files::writeWholeFile(file, "newer");
    EXPECT_EQ(readBytes(file), "newer");
    EXPECT_NE(inodeOf(file), inode);
}

// A save cut short by the end of the program leaves its temporary file; the next run removes it
// when it starts and before it saves into that folder again, and touches nothing else.
TEST_F(FilesTest, TemporaryFilesThatEarlierRunsLeftAreRemovedAndNothingElse) {
    const fs::path picture = dir / "12月7日6时05分09秒.bmp";
    // Killed half-way through writing, by the signal of a file-size limit, as by kill -9.
    const std::string report = test::runInChild([&] {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit rl{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        ::signal(SIGXFSZ, SIG_DFL);
        files::writeWholeFile(picture, std::string(100000, 'p'));
        return std::string("not killed");
    });
    EXPECT_NE(report, "not killed");
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path());
    ASSERT_EQ(left.size(), 1u);
    const fs::path leftover = left.front();
    EXPECT_EQ(leftover.filename().string().rfind(".12月7日6时05分09秒.bmp.zub-", 0), 0u);

    struct Case {
        std::string name;
        bool older;
        bool kept;
    };
    const std::vector<Case> cases = {
        {".list.zub.zub-a1B2c3", true, false},
        {".list.zub.zub-a1B2c3", false, true}, // written in this run: a save under way
        {".list.zub.a1B2c3", true, true},      // another program's pattern
        {".list.zub.zub-a1B2c", true, true},
        {"list.zub.zub-a1B2c3", true, true},
        {".list.zub.zub-a1B2c!", true, true},
    };
    for (const Case& c : cases) {
        const fs::path other = dir / "other";
        fs::create_directory(other);
        writeBytes(other / c.name, "x");
        if (c.older) makeOlderThanThisRun(other / c.name);
        files::removeStaleTemporaryFiles(other);
        EXPECT_EQ(fs::exists(other / c.name), c.kept) << c.name << (c.older ? " older" : "");
        fs::remove_all(other);
    }
    {
        // One that another run of the program is still writing is locked.
        const fs::path other = dir / "other";
        fs::create_directory(other);
        const fs::path busy = other / ".busy.bmp.zub-Zz9Zz9";
        writeBytes(busy, "x");
        makeOlderThanThisRun(busy);
        const int fd = ::open(busy.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        files::removeStaleTemporaryFiles(other);
        EXPECT_TRUE(fs::exists(busy));
        ::close(fd);
        files::removeStaleTemporaryFiles(other);
        EXPECT_FALSE(fs::exists(busy));
        fs::remove_all(other);
    }

    // This run's first save into the folder takes the leftover away; the save's own file stays.
    makeOlderThanThisRun(leftover);
    files::writeWholeFile(dir / "later.bmp", "later");
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(dir / "later.bmp"));
    EXPECT_FALSE(fs::exists(picture));
}
