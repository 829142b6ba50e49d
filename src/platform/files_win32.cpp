#include "platform/files.h"

#include "platform/windows_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace zub::files {
namespace {

Error fileError(const char* what, const std::filesystem::path& path, const std::string& text) {
    return Error(std::string(what) + " \"" + displayPath(path) + "\". " + text);
}

Error openFailure(const std::filesystem::path& path, DWORD error) {
    return fileError("Cannot open file", path, win32::systemErrorText(error));
}

Error createFailure(const std::filesystem::path& path, DWORD error) {
    return fileError("Cannot create file", path, win32::systemErrorText(error));
}

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close() {
        return !valid() || CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)) != 0;
    }

private:
    HANDLE m_handle;
};

// Documents are files on a disk: a pipe or a device (CON, NUL, a serial port) could block the
// window or feed bytes for ever.
bool isDiskFile(HANDLE file) {
    return GetFileType(file) == FILE_TYPE_DISK;
}

constexpr DWORD kChunk = DWORD{1} << 20;

std::string readFile(const std::filesystem::path& path, bool stopAtNul,
                     std::size_t limit = std::numeric_limits<std::size_t>::max()) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw openFailure(path, GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw openFailure(path, ERROR_ACCESS_DENIED);
    // Shared with other readers, refused to writers while it is read.
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) throw openFailure(path, GetLastError());
    if (!isDiskFile(file.get())) throw openFailure(path, ERROR_INVALID_FUNCTION);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw openFailure(path, GetLastError());
    const std::size_t expected =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(size.QuadPart), limit);

    std::string bytes;
    try {
        bytes.reserve(expected);
        for (;;) {
            const std::size_t filled = bytes.size();
            if (filled >= limit) break;
            // The file may have grown since its size was taken: the string grows with it.
            const std::size_t room = std::min<std::size_t>(
                {std::max<std::size_t>(bytes.capacity() - filled, 4096), kChunk, limit - filled});
            bytes.resize(filled + room);
            DWORD got = 0;
            if (!ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(room), &got,
                          nullptr))
                throw openFailure(path, GetLastError());
            bytes.resize(filled + got);
            if (got == 0) break;
            if (stopAtNul) {
                if (const void* nul = std::memchr(bytes.data() + filled, '\0', got)) {
                    bytes.resize(
                        static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
                    break;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        throw openError(path, ENOMEM);
    } catch (const std::length_error&) {
        throw openError(path, ENOMEM);
    }
    if (bytes.capacity() / 2 > bytes.size()) bytes.shrink_to_fit();
    return bytes;
}

// 0 or the Windows error of the write that failed.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    for (std::size_t written = 0; written < bytes.size();) {
        const DWORD part =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, kChunk));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, part, &done, nullptr)) return GetLastError();
        written += done;
    }
    return 0;
}

const FILETIME kRunStart = [] {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return now;
}();

// GetTempFileNameW's names with our prefix: "zub", one to four hexadecimal digits, ".tmp".
bool isTemporaryName(std::wstring_view name) {
    if (name.size() < 8 || name.size() > 11 || name.substr(0, 3) != L"zub" ||
        name.substr(name.size() - 4) != L".tmp")
        return false;
    for (const wchar_t c : name.substr(3, name.size() - 7))
        if (!((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'))) return false;
    return true;
}

// Whether the file has more than one name: replacing it would leave the other names with the
// old contents.
bool hasOtherNames(const std::filesystem::path& target) {
    Handle file(CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file.valid() && GetFileInformationByHandle(file.get(), &info) &&
           info.nNumberOfLinks > 1;
}

// A new file beside the target that disappears again unless it was moved into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& folder) {
        wchar_t name[MAX_PATH + 1] = {};
        if (GetTempFileNameW(folder.c_str(), L"zub", 0, name) == 0) {
            m_error = GetLastError();
            return;
        }
        m_path = name;
    }
    ~TemporaryFile() {
        if (m_error == 0 && !m_moved) DeleteFileW(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    DWORD creationError() const { return m_error; }
    const std::wstring& path() const { return m_path; }
    void moved() { m_moved = true; }

private:
    std::wstring m_path;
    DWORD m_error = 0;
    bool m_moved = false;
};

// 0 or the Windows error of the step that failed; the target is untouched then.
DWORD replaceThroughTemporary(const std::filesystem::path& target,
                              const std::filesystem::path& folder, std::string_view bytes,
                              bool exists) {
    TemporaryFile temporary(folder);
    if (const DWORD error = temporary.creationError()) return error;
    {
        Handle file(CreateFileW(temporary.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) return GetLastError();
        if (const DWORD error = writeAll(file.get(), bytes)) return error;
        if (!FlushFileBuffers(file.get())) return GetLastError();
        if (!file.close()) return GetLastError();
    }
    // Replacing keeps what the target had besides its contents: attributes, security, streams.
    if (exists && ReplaceFileW(target.c_str(), temporary.path().c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                               nullptr, nullptr)) {
        temporary.moved();
        return 0;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (exists ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.path().c_str(), target.c_str(), flags)) return GetLastError();
    temporary.moved();
    return 0;
}

// For a file we may write in a folder that takes no new files: the same file, new contents,
// its room claimed first so that a full disk is found while the old contents are still whole.
DWORD writeInPlace(const std::filesystem::path& target, std::string_view bytes) {
    Handle file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return GetLastError();
    if (!isDiskFile(file.get())) return ERROR_INVALID_FUNCTION;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (end.QuadPart > size.QuadPart &&
        (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())))
        return GetLastError();
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return GetLastError();
    if (const DWORD error = writeAll(file.get(), bytes)) return error;
    if (!SetEndOfFile(file.get()) || !FlushFileBuffers(file.get())) return GetLastError();
    if (!file.close()) return GetLastError();
    return 0;
}

} // namespace

std::string displayPath(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    const std::u8string text = (ec ? path : full.lexically_normal()).u8string();
    return std::string(text.begin(), text.end());
}

Error openError(const std::filesystem::path& path, int error) {
    return fileError("Cannot open file", path, std::strerror(error));
}

Error createError(const std::filesystem::path& path, int error) {
    return fileError("Cannot create file", path, std::strerror(error));
}

std::string readWholeFile(const std::filesystem::path& path) {
    return readFile(path, false);
}

std::string readTextBeforeNul(const std::filesystem::path& path) {
    return readFile(path, true);
}

std::string readUntilNul(const std::filesystem::path& path, std::size_t limit) {
    return readFile(path, true, limit == std::string::npos ? limit : limit + 1);
}

void removeStaleTemporaryFiles(const std::filesystem::path& folder) {
    WIN32_FIND_DATAW found{};
    const std::filesystem::path pattern = (folder.empty() ? std::filesystem::path(L".") : folder) /
                                          L"zub*.tmp";
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            !isTemporaryName(found.cFileName) ||
            CompareFileTime(&found.ftLastWriteTime, &kRunStart) >= 0)
            continue;
        // A save of another run under way holds its file open unshared, and the deletion fails.
        DeleteFileW((folder / found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void writeWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code ec;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, ec)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) target = resolved;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file was protected on purpose; replacing it would go round that.
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        throw createFailure(path, ERROR_ACCESS_DENIED);

    if (exists && hasOtherNames(target)) {
        if (const DWORD inPlace = writeInPlace(target, bytes)) throw createFailure(path, inPlace);
        return;
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    removeStaleTemporaryFiles(folder);
    const DWORD error = replaceThroughTemporary(target, folder, bytes, exists);
    if (error == 0) return;
    if (exists && error == ERROR_ACCESS_DENIED) {
        if (const DWORD inPlace = writeInPlace(target, bytes)) throw createFailure(path, inPlace);
        return;
    }
    throw createFailure(path, error);
}

} // namespace zub::files
