#pragma once

#include "platform/system_files.h"

namespace zub {

class PosixSystemFiles : public SystemFiles {
public:
    std::filesystem::path executableFolder() const override;
    std::filesystem::path currentFolder() const override;
    void setCurrentFolder(const std::filesystem::path& folder) override;
    bool isFolder(const std::filesystem::path& path) const override;
    bool createFolder(const std::filesystem::path& path) override;
    bool isHidden(const std::filesystem::path& path) const override;
    bool setHidden(const std::filesystem::path& path) override;
    std::filesystem::path userDataFolder() const override;
    bool canWriteTo(const std::filesystem::path& folder) const override;

    // $XDG_DATA_HOME when it is an absolute path, else `home`/.local/share; empty without either.
    // The arguments are the variables' values, null when unset.
    static std::filesystem::path userDataFolderFrom(const char* xdgDataHome, const char* home);
};

} // namespace zub
