#pragma once

#include "platform/system_files.h"

#include <filesystem>
#include <utility>

namespace zub {

// The program's folder as the test chooses it (usually a temporary folder).
class SimSystemFiles : public SystemFiles {
public:
    explicit SimSystemFiles(std::filesystem::path folder = {}) : m_folder(std::move(folder)) {}
    std::filesystem::path executableFolder() const override { return m_folder; }
    void setExecutableFolder(std::filesystem::path folder) { m_folder = std::move(folder); }

private:
    std::filesystem::path m_folder;
};

} // namespace zub
