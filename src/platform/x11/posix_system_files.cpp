#include "platform/x11/posix_system_files.h"

#include <QCoreApplication>
#include <QFile>

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

} // namespace zub
