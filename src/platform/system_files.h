#pragma once

#include <filesystem>

namespace zub {

// Where the program stands in the file system.
class SystemFiles {
public:
    virtual ~SystemFiles() = default;
    // The folder that holds the program file.
    virtual std::filesystem::path executableFolder() const = 0;
};

} // namespace zub
