#pragma once

#include "platform/system_files.h"

#include <filesystem>
#include <set>
#include <utility>

namespace zub {

// The program's folders as the test chooses them (usually temporary folders). Folders are real;
// the test can also mark one read-only, which holds whoever runs the test (root may write
// anywhere).
class SimSystemFiles : public SystemFiles {
public:
    explicit SimSystemFiles(std::filesystem::path folder = {}) : m_folder(std::move(folder)) {}

    std::filesystem::path executableFolder() const override { return m_folder; }
    std::filesystem::path userDataFolder() const override { return m_dataFolder; }
    bool canWriteTo(const std::filesystem::path& folder) const override;

    void setExecutableFolder(std::filesystem::path folder) { m_folder = std::move(folder); }
    void setUserDataFolder(std::filesystem::path folder) { m_dataFolder = std::move(folder); }
    void setReadOnly(const std::filesystem::path& folder);

private:
    // One spelling per folder: "/a/b", "/a/b/" and "/a/./b" are the same folder.
    static std::filesystem::path key(const std::filesystem::path& folder);

    std::filesystem::path m_folder;
    std::filesystem::path m_dataFolder;
    std::set<std::filesystem::path> m_readOnly;
};

} // namespace zub
