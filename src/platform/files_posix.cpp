#include "platform/files.h"

#include "platform/memory.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace zub::files {
namespace {

Error fileError(const char* what, const std::filesystem::path& path, int error) {
    return Error(std::string(what) + " \"" + displayPath(path) + "\". " + std::strerror(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// When this run began: what is older of the program's temporary files was left by an earlier one.
const auto kRunStart = std::chrono::system_clock::now();

// The temporary files' names: the target's name hidden behind a dot, then ".zub-" and six
// letters or digits. Nothing else in a folder is ever taken for one of them.
constexpr std::string_view kTemporaryMark = ".zub-";
constexpr std::size_t kTemporaryLetters = 6;

bool isTemporaryName(std::string_view name) {
    const std::size_t tail = kTemporaryMark.size() + kTemporaryLetters;
    if (name.size() < 2 + tail || name[0] != '.') return false;
    if (name.substr(name.size() - tail, kTemporaryMark.size()) != kTemporaryMark) return false;
    for (const char c : name.substr(name.size() - kTemporaryLetters))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// A new file beside the target that disappears again unless it was renamed into place. It is
// locked while it lives, so that another run of the program never takes it for a leftover.
class TemporaryFile {
public:
    TemporaryFile(const std::filesystem::path& folder, const std::filesystem::path& target)
        : m_path((folder / ("." + target.filename().string() + std::string(kTemporaryMark) +
                            std::string(kTemporaryLetters, 'X')))
                     .string()),
          m_fd(::mkostemp(m_path.data(), O_CLOEXEC)), m_error(m_fd.get() < 0 ? errno : 0) {
        if (m_error == 0) ::flock(m_fd.get(), LOCK_EX | LOCK_NB);
    }
    ~TemporaryFile() {
        if (m_error == 0 && !m_renamed) ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // 0 when the file was created, else why not.
    int creationError() const { return m_error; }
    int fd() const { return m_fd.get(); }
    int close() { return ::close(m_fd.release()) == 0 ? 0 : errno; }
    int renameTo(const std::filesystem::path& target) {
        if (::rename(m_path.c_str(), target.c_str()) != 0) return errno;
        m_renamed = true;
        return 0;
    }

private:
    std::string m_path;
    FileDescriptor m_fd;
    int m_error;
    bool m_renamed = false;
};

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Why a file of this kind is neither read nor written, or 0 for a plain file. A device or a FIFO
// could block the window or feed bytes for ever; documents are plain files.
int refusal(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    return 0;
}

constexpr std::size_t kChunk = std::size_t{1} << 20;

// Appends what `fd` holds from its current offset to `bytes`, expecting about `expected` bytes;
// with `stopAtNul`, stops before the first NUL. Returns 0 or the errno of a failed read.
// Reads no more than `limit` bytes.
int readInto(int fd, std::size_t expected, bool stopAtNul, std::size_t limit, std::string& bytes) {
    // One allocation of the expected size touches no memory yet; reading then fills it in chunks
    // so that a NUL found early has cost only what was read before it.
    bytes.reserve(expected);
    adviseHugePages(bytes.data(), bytes.capacity());
    char probe[4096];
    for (;;) {
        const std::size_t filled = bytes.size();
        if (filled >= limit) return 0;
        const std::size_t room = std::min({bytes.capacity() - filled, kChunk, limit - filled});
        ssize_t n = 0;
        if (room > 0) {
            bytes.resize(filled + room);
            n = ::read(fd, bytes.data() + filled, room);
            bytes.resize(filled + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        } else {
            // Usually just the end of the file; if it has grown since, the string grows with it.
            n = ::read(fd, probe, std::min(sizeof probe, limit - filled));
            if (n > 0) bytes.append(probe, static_cast<std::size_t>(n));
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (stopAtNul) {
            const char* start = bytes.data() + filled;
            if (const void* nul = std::memchr(start, '\0', static_cast<std::size_t>(n))) {
                bytes.resize(filled +
                             static_cast<std::size_t>(static_cast<const char*>(nul) - start));
                if (bytes.capacity() / 2 > bytes.size()) bytes.shrink_to_fit();
                return 0;
            }
        }
    }
}

std::string readFile(const std::filesystem::path& path, bool stopAtNul,
                     std::size_t limit = std::numeric_limits<std::size_t>::max()) {
    // Look before opening: opening a FIFO waits for a writer, and opening a device can do things.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw openError(path, errno);
    if (const int error = refusal(st)) throw openError(path, error);
    // Without blocking all the same, in case the name has become a FIFO since the look.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) throw openError(path, errno);
    if (::fstat(fd.get(), &st) != 0) throw openError(path, errno);
    if (const int error = refusal(st)) throw openError(path, error);

    off_t expected = st.st_size;
    if (static_cast<std::uint64_t>(expected) > limit) expected = static_cast<off_t>(limit);
    if (stopAtNul) {
        // A hole reads as NULs, so the text cannot run past the first one.
        const off_t hole = ::lseek(fd.get(), 0, SEEK_HOLE);
        if (hole >= 0 && hole < expected) expected = hole;
        if (::lseek(fd.get(), 0, SEEK_SET) != 0) throw openError(path, errno);
    }
    std::string bytes;
    try {
        if (const int error =
                readInto(fd.get(), static_cast<std::size_t>(expected), stopAtNul, limit, bytes))
            throw openError(path, error);
    } catch (const std::bad_alloc&) {
        throw openError(path, ENOMEM);
    } catch (const std::length_error&) {
        throw openError(path, ENOMEM);
    }
    return bytes;
}

int writeAll(int fd, std::string_view bytes) {
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

// Returns 0 or the errno of the step that failed; the target is untouched then.
int replaceThroughTemporary(const std::filesystem::path& target,
                            const std::filesystem::path& folder, std::string_view bytes,
                            mode_t mode, const struct stat* existing) {
    TemporaryFile temporary(folder, target);
    if (const int error = temporary.creationError()) return error;
    if (const int error = writeAll(temporary.fd(), bytes)) return error;
    if (::fchmod(temporary.fd(), mode) != 0) return errno;
    if (existing && (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())) {
        // Best effort: only the owner or root can hand the file back; the content matters more.
        [[maybe_unused]] int ignored = ::fchown(temporary.fd(), existing->st_uid, existing->st_gid);
    }
    if (::fsync(temporary.fd()) != 0) return errno;
    if (const int error = temporary.close()) return error;
    if (const int error = temporary.renameTo(target)) return error;
    // Make the rename itself durable.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return 0;
}

// For a file we may write in a folder we may not: the same file, new contents. Returns 0 or the
// errno of the step that failed.
int writeInPlace(const std::filesystem::path& target, std::string_view bytes) {
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return errno;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return errno;
    if (const int error = refusal(st)) return error;
    // Claim the room first, so that a full disk or quota is found while the old contents are
    // still whole; then writing over them and cutting the file to length cannot run out of room,
    // where truncating first would give the room back.
    if (bytes.size() > static_cast<std::size_t>(st.st_size)) {
        // Claiming room past EOF is not held to the file-size limit that writing is held to.
        rlimit limit{};
        if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
            bytes.size() > limit.rlim_cur)
            return EFBIG;
        int result = 0;
        do {
            result =
                ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size()));
        } while (result != 0 && errno == EINTR);
        if (result != 0 && errno != EOPNOTSUPP && errno != ENOSYS) return errno;
    }
    if (const int error = writeAll(fd.get(), bytes)) return error;
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) return errno;
    if (::fsync(fd.get()) != 0) return errno;
    if (::close(fd.release()) != 0) return errno;
    return 0;
}

} // namespace

std::string displayPath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return (ec ? path : full.lexically_normal()).string();
}

Error openError(const std::filesystem::path& path, int error) {
    return fileError("Cannot open file", path, error);
}

Error createError(const std::filesystem::path& path, int error) {
    return fileError("Cannot create file", path, error);
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
    const FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) return;
    DIR* listing = ::fdopendir(::dup(dir.get()));
    if (!listing) return;
    const auto runStart = std::chrono::system_clock::to_time_t(kRunStart);
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dir.get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_mtime >= runStart) continue;
        const FileDescriptor file(
            ::openat(dir.get(), entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (file.get() < 0) continue;
        // Still locked: a save of another run of the program under way.
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) continue;
        struct stat opened {};
        if (::fstat(file.get(), &opened) != 0 || opened.st_ino != st.st_ino) continue;
        ::unlinkat(dir.get(), entry->d_name, 0);
    }
    ::closedir(listing);
}

void writeWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code ec;
    // Through a symbolic link to the file it names, so the link stays a link.
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, ec)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) target = resolved;
    }

    mode_t mode = 0666 & ~currentUmask();
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        // Renaming a file over a device or a FIFO would put it out of use.
        if (const int error = refusal(existing)) throw createError(path, error);
        // Renaming over a read-only file would succeed; the user asked for it to be protected.
        if (::access(target.c_str(), W_OK) != 0) throw createError(path, errno);
        mode = existing.st_mode & 07777;
    }

    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    // A file with other names besides this one: a new file renamed over it would be seen under
    // this name only. It is written in place, so that every name sees the new contents.
    if (exists && existing.st_nlink > 1) {
        if (const int error = writeInPlace(target, bytes)) throw createError(path, error);
        return;
    }
    removeStaleTemporaryFiles(folder);
    const int error =
        replaceThroughTemporary(target, folder, bytes, mode, exists ? &existing : nullptr);
    if (error == 0) return;
    // A folder that takes no new names (or, when sticky, no renames) may still hold a file that
    // we may write.
    if (exists && (error == EACCES || error == EPERM)) {
        if (const int inPlace = writeInPlace(target, bytes)) throw createError(path, inPlace);
        return;
    }
    throw createError(path, error);
}

} // namespace zub::files
