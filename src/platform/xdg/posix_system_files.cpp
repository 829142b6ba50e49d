#include "platform/xdg/posix_system_files.h"

#include "platform/error.h"
#include "platform/hidden_files.h"
#include "platform/io_error.h"

#include <QCoreApplication>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

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

std::filesystem::path PosixSystemFiles::currentFolder() const {
    std::error_code error;
    return std::filesystem::current_path(error);
}

void PosixSystemFiles::setCurrentFolder(const std::filesystem::path& folder) {
    // An empty name would otherwise read as "stay where you are".
    if (::chdir(folder.empty() ? "" : folder.c_str()) != 0) throw Error(ioErrorText(errno));
}

bool PosixSystemFiles::isFolder(const std::filesystem::path& path) const {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool PosixSystemFiles::createFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::create_directory(path, error) && !error;
}

bool PosixSystemFiles::isHidden(const std::filesystem::path& path) const {
    return hidden_files::isListed(path);
}

bool PosixSystemFiles::setHidden(const std::filesystem::path& path) {
    return hidden_files::list(path);
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
