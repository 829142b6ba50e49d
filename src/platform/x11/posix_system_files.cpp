#include "platform/x11/posix_system_files.h"

#include <QCoreApplication>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace zub {

std::filesystem::path PosixSystemFiles::executableFolder() const {
    if (QCoreApplication::instance()) {
        return std::filesystem::path(
            QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    }
    // Before the application object exists only the kernel knows where the program lives.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

std::filesystem::path PosixSystemFiles::userDataFolder() const {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        // Started without a login environment (from a service, say): the account still knows.
        if (const passwd* account = ::getpwuid(::getuid())) home = account->pw_dir;
    }
    return userDataFolderFrom(std::getenv("XDG_DATA_HOME"), home);
}

std::filesystem::path PosixSystemFiles::userDataFolderFrom(const char* xdgDataHome,
                                                           const char* home) {
    // The base directory rules count a relative path as not set.
    if (xdgDataHome && *xdgDataHome == '/') return std::filesystem::path(xdgDataHome);
    if (home && *home) return std::filesystem::path(home) / ".local" / "share";
    return {};
}

bool PosixSystemFiles::canWriteTo(const std::filesystem::path& folder) const {
    std::error_code error;
    // Creating a file in a folder takes the right to write it and to pass through it; root has
    // both everywhere except on a read-only file system, which access() reports too.
    return std::filesystem::is_directory(folder, error) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace zub
