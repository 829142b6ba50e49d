#pragma once

#include <filesystem>
#include <string_view>

namespace zub {

// The program's reverse-DNS application id: the name of its desktop entry, icon, metadata and
// of its folder under the user's data folder.
inline constexpr std::string_view kApplicationId = ZUB_APPLICATION_ID;

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

    // The user's folder for programs' data ($XDG_DATA_HOME, usually ~/.local/share); empty when
    // the system names none.
    virtual std::filesystem::path userDataFolder() const = 0;
    // Whether the program may create files in `folder`.
    virtual bool canWriteTo(const std::filesystem::path& folder) const = 0;

    // The folder the program keeps its own files in: the list dialogs' first folder, the
    // picture folder and the preview folder are placed in it. Run from a folder of its own, that
    // is the executable's folder. Installed where it may not write (under /usr), it is the
    // program's folder under the user's data folder instead, created here when missing, since
    // otherwise every file the program makes would fail.
    std::filesystem::path programFolder() const;
};

} // namespace zub
