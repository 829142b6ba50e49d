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
};

} // namespace zub
