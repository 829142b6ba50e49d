// The program's folder: the executable's folder when the program may write there, otherwise its
// own folder under the user's data folder.

#include "platform/sim/sim_system_files.h"
#include "platform/xdg/posix_system_files.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

using namespace zub;
namespace fs = std::filesystem;

namespace {

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "zub-files-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// Sets an environment variable for the length of a test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Runs `check` as a user who owns none of the test's folders: root may write anywhere, so as
// root the check runs in a child process that has become "nobody".
bool asAnotherUser(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? (check() ? 0 : 1) : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not become nobody";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct SimFolders {
    TemporaryFolder root;
    fs::path executable = root.path() / "program";
    fs::path data = root.path() / "home" / ".local" / "share";
    SimSystemFiles files;

    SimFolders() {
        fs::create_directories(executable);
        files.setExecutableFolder(executable);
        files.setUserDataFolder(data);
    }
};

} // namespace

TEST(ProgramFolder, IsTheExecutableFolderWhenTheProgramMayWriteThereAndCreatesNothing) {
    SimFolders f;
    EXPECT_EQ(f.files.programFolder(), f.executable);
    EXPECT_FALSE(fs::exists(f.root.path() / "home"));
}

TEST(ProgramFolder, MovesToAPrivateFolderUnderTheUserDataFolderWhenTheExecutableFolderIsReadOnly) {
    SimFolders f;
    // Any spelling of the folder names the same folder.
    f.files.setReadOnly(f.executable / "." / "");
    const fs::path expected = f.data / "org.zubclip.Zub";
    EXPECT_EQ(f.files.programFolder(), expected);
    ASSERT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(fs::status(expected).permissions(), fs::perms::owner_all);
    // Asked again, the same folder, as it stands.
    std::ofstream(expected / "kept.bmp") << "x";
    EXPECT_EQ(f.files.programFolder(), expected);
    EXPECT_TRUE(fs::exists(expected / "kept.bmp"));
}

TEST(ProgramFolder, AnExistingDataFolderIsUsedAsItIs) {
    SimFolders f;
    const fs::path mine = f.data / "org.zubclip.Zub";
    fs::create_directories(mine);
    fs::permissions(mine, fs::perms(0755));
    f.files.setReadOnly(f.executable);
    EXPECT_EQ(f.files.programFolder(), mine);
    EXPECT_EQ(fs::status(mine).permissions(), fs::perms(0755));
}

TEST(ProgramFolder, AFolderThatCannotBeMadeIsStillNamedWithoutAnError) {
    SimFolders f;
    // A file stands where the data folder should be: the files saved there will fail, each
    // with its own message; asking for the folder does not.
    fs::create_directories(f.data.parent_path());
    std::ofstream(f.data) << "not a folder";
    f.files.setReadOnly(f.executable);
    EXPECT_EQ(f.files.programFolder(), f.data / "org.zubclip.Zub");
    EXPECT_TRUE(fs::is_regular_file(f.data));
}

TEST(ProgramFolder, WithoutAUserDataFolderOrAnExecutableFolderTheExecutableFolderStays) {
    SimFolders f;
    f.files.setReadOnly(f.executable);
    f.files.setUserDataFolder({});
    EXPECT_EQ(f.files.programFolder(), f.executable);

    // An executable folder that is gone cannot be written either.
    f.files.setUserDataFolder(f.data);
    f.files.setExecutableFolder(f.root.path() / "removed");
    EXPECT_EQ(f.files.programFolder(), f.data / "org.zubclip.Zub");
}

TEST(PosixSystemFiles, UserDataFolderFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(PosixSystemFiles::userDataFolderFrom("/data/me", "/home/me"), fs::path("/data/me"));
    // A relative or empty XDG_DATA_HOME counts as unset.
    EXPECT_EQ(PosixSystemFiles::userDataFolderFrom("data/me", "/home/me"),
              fs::path("/home/me/.local/share"));
    EXPECT_EQ(PosixSystemFiles::userDataFolderFrom("", "/home/me"),
              fs::path("/home/me/.local/share"));
    EXPECT_EQ(PosixSystemFiles::userDataFolderFrom(nullptr, "/home/me"),
              fs::path("/home/me/.local/share"));
    EXPECT_EQ(PosixSystemFiles::userDataFolderFrom(nullptr, nullptr), fs::path());
    EXPECT_EQ(PosixSystemFiles::userDataFolderFrom(nullptr, ""), fs::path());
}

TEST(PosixSystemFiles, UserDataFolderComesFromTheEnvironmentOrElseTheAccount) {
    PosixSystemFiles files;
    {
        ScopedEnvironment data("XDG_DATA_HOME", "/somewhere/data");
        EXPECT_EQ(files.userDataFolder(), fs::path("/somewhere/data"));
    }
    ScopedEnvironment data("XDG_DATA_HOME", nullptr);
    {
        ScopedEnvironment home("HOME", "/somewhere/home");
        EXPECT_EQ(files.userDataFolder(), fs::path("/somewhere/home/.local/share"));
    }
    ScopedEnvironment home("HOME", nullptr);
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(files.userDataFolder(), fs::path(account->pw_dir) / ".local" / "share");
}

TEST(PosixSystemFiles, CanWriteToOnlyFoldersTheUserMayCreateFilesIn) {
    const PosixSystemFiles files;
    TemporaryFolder root;
    const fs::path open = root.path() / "open";
    const fs::path closed = root.path() / "closed";
    fs::create_directories(open);
    fs::create_directories(closed);
    fs::permissions(root.path(), fs::perms(0755));
    fs::permissions(open, fs::perms(0777));
    fs::permissions(closed, fs::perms(0555));
    std::ofstream(root.path() / "file") << "x";

    EXPECT_TRUE(files.canWriteTo(open));
    EXPECT_FALSE(files.canWriteTo(root.path() / "missing"));
    EXPECT_FALSE(files.canWriteTo(root.path() / "file"));
    EXPECT_TRUE(asAnotherUser([&] { return files.canWriteTo(open); }));
    EXPECT_FALSE(asAnotherUser([&] { return files.canWriteTo(closed); }));
}

TEST(PosixSystemFiles, ProgramFolderOfAProgramInAFolderOfItsOwnIsThatFolder) {
    // The test program lives in the build folder, which its builder may write.
    const PosixSystemFiles files;
    const fs::path folder = files.executableFolder();
    ASSERT_TRUE(fs::exists(folder / "platform_unit_tests"));
    EXPECT_EQ(files.programFolder(), folder);
}
