#pragma once

#include <filesystem>

namespace zub {

// Where the program stands in the file system, and the folder operations that are more than
// reading and writing a file.
class SystemFiles {
public:
    virtual ~SystemFiles() = default;
    // The folder that holds the program file.
    virtual std::filesystem::path executableFolder() const = 0;

    // The process's current folder, against which relative names are resolved.
    virtual std::filesystem::path currentFolder() const = 0;
    // Makes `folder` the current one. Throws zub::Error with the input/output error's text
    // (see ioErrorText) when it cannot.
    virtual void setCurrentFolder(const std::filesystem::path& folder) = 0;

    // Whether `path` names an existing folder.
    virtual bool isFolder(const std::filesystem::path& path) const = 0;
    // Creates one folder (its parent must exist); whether it was created.
    virtual bool createFolder(const std::filesystem::path& path) = 0;

    // The hidden attribute: on Linux, the name listed in its folder's ".hidden" file.
    virtual bool isHidden(const std::filesystem::path& path) const = 0;
    // Sets it; whether it is set afterwards. Never throws.
    virtual bool setHidden(const std::filesystem::path& path) = 0;
};

} // namespace zub
