#include "platform/files.h"

#include "platform/error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace zub::files {
namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& path, int error) {
    throw Error(std::string(what) + " \"" + displayPath(path) + "\". " + std::strerror(error));
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

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

std::string displayPath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return (ec ? path : full.lexically_normal()).string();
}

std::string readWholeFile(const std::filesystem::path& path) {
    constexpr const char* kWhat = "Cannot open file";
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) fail(kWhat, path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) fail(kWhat, path, errno);
    if (S_ISDIR(st.st_mode)) fail(kWhat, path, EISDIR);
    // A device or a pipe could feed bytes forever; documents are plain files.
    if (!S_ISREG(st.st_mode)) fail(kWhat, path, EINVAL);

    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t filled = 0;
    // Beyond the size the file had, which it may have outgrown since, reading goes through a
    // buffer: growing the string just to find the end would copy a large file once more.
    char beyond[65536];
    for (;;) {
        const bool room = filled < bytes.size();
        const ssize_t n = room ? ::read(fd.get(), bytes.data() + filled, bytes.size() - filled)
                               : ::read(fd.get(), beyond, sizeof beyond);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(kWhat, path, errno);
        }
        if (n == 0) break;
        if (!room) bytes.append(beyond, static_cast<std::size_t>(n));
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return bytes;
}

void writeWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    constexpr const char* kWhat = "Cannot create file";
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
        if (S_ISDIR(existing.st_mode)) fail(kWhat, path, EISDIR);
        // Renaming over a read-only file would succeed; the user asked for it to be protected.
        if (::access(target.c_str(), W_OK) != 0) fail(kWhat, path, errno);
        mode = existing.st_mode & 07777;
    }

    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) fail(kWhat, path, errno);

    auto abandon = [&](int error) {
        ::close(fd.release());
        ::unlink(temporary.c_str());
        fail(kWhat, path, error);
    };
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd.get(), mode) != 0) abandon(errno);
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        // Best effort: only the owner or root can hand the file back; the content matters more.
        [[maybe_unused]] int ignored = ::fchown(fd.get(), existing.st_uid, existing.st_gid);
    }
    if (::fsync(fd.get()) != 0) abandon(errno);
    if (::close(fd.release()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(kWhat, path, error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(kWhat, path, error);
    }
    // Make the rename itself durable.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

} // namespace zub::files
