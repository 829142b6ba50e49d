#include "platform/sim/sim_system_files.h"

#include <unistd.h>

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
    return std::filesystem::is_directory(folder, error) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace zub
