#include "platform/x11/posix_system_files.h"

#include "platform/error.h"
#include "platform/hidden_files.h"
#include "platform/io_error.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
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

} // namespace zub
