#pragma once

#include "platform/xdg/posix_system_files.h"

#include <filesystem>
#include <utility>

namespace zub::e2e {

// The real files service, but with the program living in a folder of the test's, so that what
// it makes beside itself (pictures, previews) lands there and not beside the test program.
class SandboxFiles : public PosixSystemFiles {
public:
    explicit SandboxFiles(std::filesystem::path folder) : m_folder(std::move(folder)) {}
    std::filesystem::path executableFolder() const override { return m_folder; }

private:
    std::filesystem::path m_folder;
};

} // namespace zub::e2e
