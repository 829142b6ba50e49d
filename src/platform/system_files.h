#pragma once

#include <filesystem>
#include <string_view>

namespace zub {

// The program's reverse-DNS application id: the name of its desktop entry, icon, metadata and
// of its folder under the user's data folder.
inline constexpr std::string_view kApplicationId = ZUB_APPLICATION_ID;

// Where the program stands in the file system.
class SystemFiles {
public:
    virtual ~SystemFiles() = default;
    // The folder that holds the program file.
    virtual std::filesystem::path executableFolder() const = 0;
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
