#include "platform/sim/sim_system_files.h"

#include "platform/error.h"
#include "platform/io_error.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <system_error>

namespace zub {

std::filesystem::path SimSystemFiles::key(const std::filesystem::path& folder) {
    const std::filesystem::path normal = folder.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

void SimSystemFiles::setReadOnly(const std::filesystem::path& folder) {
    m_readOnly.insert(key(folder));
}

bool SimSystemFiles::canWriteTo(const std::filesystem::path& folder) const {
    if (m_readOnly.contains(key(folder))) return false;
    std::error_code error;
#ifdef _WIN32
    return std::filesystem::is_directory(folder, error) && ::_waccess(folder.c_str(), 2) == 0;
#else
    return std::filesystem::is_directory(folder, error) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

void SimSystemFiles::setCurrentFolder(const std::filesystem::path& folder) {
    if (m_currentFolderError) throw Error(ioErrorText(*m_currentFolderError));
    // What chdir answers.
    std::error_code error;
    if (folder.empty() || !std::filesystem::exists(folder, error)) throw Error(ioErrorText(ENOENT));
    if (!std::filesystem::is_directory(folder, error)) throw Error(ioErrorText(ENOTDIR));
    m_current = folder;
}

bool SimSystemFiles::isFolder(const std::filesystem::path& path) const {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool SimSystemFiles::createFolder(const std::filesystem::path& path) {
    if (m_createFails || !canWriteTo(path.parent_path())) return false;
    std::error_code error;
    return std::filesystem::create_directory(path, error) && !error;
}

bool SimSystemFiles::isHidden(const std::filesystem::path& path) const {
    return m_hidden.count(key(path)) != 0;
}

bool SimSystemFiles::setHidden(const std::filesystem::path& path) {
    ++m_setHiddenCount;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return false;
    m_hidden.insert(key(path));
    return true;
}

} // namespace zub
