#include "platform/win32/win32_system_files.h"

#include "platform/error.h"
#include "platform/io_error.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <string>

namespace zub {

std::filesystem::path Win32SystemFiles::executableFolder() const {
    // Long paths: the buffer grows until the name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    return std::filesystem::path(name).parent_path();
}

std::filesystem::path Win32SystemFiles::currentFolder() const {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring name(length, L'\0');
    const DWORD written = GetCurrentDirectoryW(length, name.data());
    name.resize(written < length ? written : 0);
    return name;
}

void Win32SystemFiles::setCurrentFolder(const std::filesystem::path& folder) {
    if (!SetCurrentDirectoryW(folder.c_str()))
        throw Error(ioErrorTextForWindowsError(GetLastError()));
}

bool Win32SystemFiles::isFolder(const std::filesystem::path& path) const {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SystemFiles::createFolder(const std::filesystem::path& path) {
    return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

bool Win32SystemFiles::isHidden(const std::filesystem::path& path) const {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

bool Win32SystemFiles::setHidden(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_HIDDEN) return true;
    return SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::filesystem::path Win32SystemFiles::userDataFolder() const {
    wchar_t* folder = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)))
        result = folder;
    CoTaskMemFree(folder);
    return result;
}

bool Win32SystemFiles::canWriteTo(const std::filesystem::path& folder) const {
    // Only trying tells: access control lists, a read-only medium and the protection of the
    // programs folder all show only when a file is created.
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder.c_str(), L"zub", 0, name) == 0) return false;
    DeleteFileW(name);
    return true;
}

} // namespace zub
