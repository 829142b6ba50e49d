#include "platform/system_files.h"

#include <system_error>

namespace zub {

std::filesystem::path SystemFiles::programFolder() const {
    namespace fs = std::filesystem;
    const fs::path executable = executableFolder();
    if (canWriteTo(executable)) return executable;
    const fs::path data = userDataFolder();
    if (data.empty()) return executable;

    const fs::path folder = data / kApplicationId;
    // A failure shows later, and clearly, as the file that cannot be created in it.
    std::error_code error;
    if (fs::create_directories(folder, error)) {
        // Captured pictures may hold what the user would not show anyone.
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    return folder;
}

} // namespace zub
