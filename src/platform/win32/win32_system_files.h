#pragma once

#include "platform/system_files.h"

namespace zub {

// The file system as Windows shows it: the hidden attribute is the file's own, and the user's
// data folder is the local application data folder (%LOCALAPPDATA%).
class Win32SystemFiles : public SystemFiles {
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
};

} // namespace zub
