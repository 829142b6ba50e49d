#pragma once

#include "platform/system_files.h"

#include <filesystem>
#include <optional>
#include <set>
#include <utility>

namespace zub {

// The program's folders as the test chooses them (usually temporary folders). Folders are made
// on disk, since the program writes files into them; the test can also mark one read-only, which
// holds whoever runs the test (root may write anywhere). The current folder and the hidden
// attribute are kept here, so that a test changes neither the process's folder nor any file
// manager's list, and the test can make the system refuse.
class SimSystemFiles : public SystemFiles {
public:
    explicit SimSystemFiles(std::filesystem::path folder = {}) : m_folder(std::move(folder)) {}

    std::filesystem::path executableFolder() const override { return m_folder; }
    std::filesystem::path userDataFolder() const override { return m_dataFolder; }
    bool canWriteTo(const std::filesystem::path& folder) const override;

    void setExecutableFolder(std::filesystem::path folder) { m_folder = std::move(folder); }
    void setUserDataFolder(std::filesystem::path folder) { m_dataFolder = std::move(folder); }
    void setReadOnly(const std::filesystem::path& folder);

    std::filesystem::path currentFolder() const override { return m_current; }
    // Refused as chdir refuses (no such folder, not a folder), or with the error the test set.
    void setCurrentFolder(const std::filesystem::path& folder) override;
    bool isFolder(const std::filesystem::path& path) const override;
    bool createFolder(const std::filesystem::path& path) override;
    bool isHidden(const std::filesystem::path& path) const override;
    bool setHidden(const std::filesystem::path& path) override;

    // From now on changing the current folder fails with this POSIX errno (nullopt: succeeds).
    void failCurrentFolder(std::optional<int> posixError) { m_currentFolderError = posixError; }
    // From now on creating a folder fails (or succeeds again).
    void failCreateFolder(bool fail) { m_createFails = fail; }
    // How often the program made a folder hidden.
    int setHiddenCount() const { return m_setHiddenCount; }

private:
    // One spelling per folder: "/a/b", "/a/b/" and "/a/./b" are the same folder.
    static std::filesystem::path key(const std::filesystem::path& folder);

    std::filesystem::path m_folder;
    std::filesystem::path m_current;
    std::optional<int> m_currentFolderError;
    bool m_createFails = false;
    std::set<std::filesystem::path> m_hidden;
    int m_setHiddenCount = 0;
    std::filesystem::path m_dataFolder;
    std::set<std::filesystem::path> m_readOnly;
};

} // namespace zub
