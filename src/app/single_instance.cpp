#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

namespace zub {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kAnswerTimeoutMs = 5000;
// A caller that says nothing is dropped after this, and no more than this many wait at once:
// another program of the user's cannot hold the window's thread or its memory.
constexpr int kCallerTimeoutMs = 2000;
constexpr std::size_t kMaxCallers = 8;
constexpr std::size_t kMaxLine = 64;

std::string wordOf(InstanceRequest request) {
    return request == InstanceRequest::Capture ? "capture\n" : "show\n";
}

// A folder that only this user can enter, made if missing; empty if the one there is anybody
// else's or open to others.
QString privateFolder() {
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty()) base = QDir::tempPath();
    const QString folder = base + QStringLiteral("/org.zubclip.Zub-") + QString::number(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 0077) != 0)
        return {};
    return folder;
}

// The address of `path`, or false when it does not fit one.
bool addressOf(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}

// A socket connected to the program listening at `path`, or -1 when none listens there.
int connectTo(const QString& path) {
    sockaddr_un address;
    if (!addressOf(path, address)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    // A listener's queue that is full would make a blocking connect wait; this one gives up.
    timeval limit{kConnectTimeoutMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Waits for `fd` to have `events` until `deadline`.
bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

} // namespace

struct SingleInstance::Caller {
    int fd = -1;
    std::string line;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer timeout;
};

QString SingleInstance::socketPath() {
    const QString folder = privateFolder();
    if (folder.isEmpty()) return {};
    // One program per session: the display it shows on names it.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) display = QStringLiteral("none");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return folder + QStringLiteral("/instance-") + display;
}

SingleInstance::SingleInstance(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {}

SingleInstance::~SingleInstance() {
    while (!m_callers.empty()) hangUp(m_callers.back().get());
    if (m_listener >= 0) {
        m_notifier.reset();
        ::close(m_listener);
        ::unlink(QFile::encodeName(m_path).constData());
    }
}

bool SingleInstance::listen() {
    const QString path = socketPath();
    sockaddr_un address;
    if (path.isEmpty() || !addressOf(path, address)) return false;
    if (const int probe = connectTo(path); probe >= 0) {
        ::close(probe);
        return false;
    }
    // Nobody answers there: whatever lies there is left from a program that ended abruptly.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, static_cast<int>(kMaxCallers)) != 0) {
        ::close(fd);
        return false;
    }
    m_path = path;
    m_listener = fd;
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return; // EAGAIN: none left; anything else: the next one may fare better
        }
        if (m_callers.size() >= kMaxCallers) {
            ::close(fd);
            continue;
        }
        auto caller = std::make_unique<Caller>();
        Caller* raw = caller.get();
        caller->fd = fd;
        caller->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(caller->notifier.get(), &QSocketNotifier::activated, this,
                [this, raw] { read(raw); });
        caller->timeout.setSingleShot(true);
        connect(&caller->timeout, &QTimer::timeout, this, [this, raw] { hangUp(raw); });
        caller->timeout.start(kCallerTimeoutMs);
        m_callers.push_back(std::move(caller));
    }
}

void SingleInstance::read(Caller* caller) {
    char buffer[kMaxLine];
    for (;;) {
        const ssize_t n = ::recv(caller->fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return; // more to come
        if (n <= 0) break;                                            // hung up, or failed
        caller->line.append(buffer, static_cast<std::size_t>(n));
        const std::size_t end = caller->line.find('\n');
        if (end == std::string::npos) {
            if (caller->line.size() < kMaxLine) continue;
            break; // no request is this long
        }
        const std::string line = caller->line.substr(0, end + 1);
        // The answer is three bytes into an empty socket: it cannot block.
        ::send(caller->fd, "ok\n", 3, MSG_NOSIGNAL);
        hangUp(caller);
        if (line == wordOf(InstanceRequest::Capture))
            m_handler(InstanceRequest::Capture);
        else if (line == wordOf(InstanceRequest::Show))
            m_handler(InstanceRequest::Show);
        return;
    }
    hangUp(caller);
}

void SingleInstance::hangUp(Caller* caller) {
    const auto it = std::find_if(m_callers.begin(), m_callers.end(),
                                 [caller](const auto& c) { return c.get() == caller; });
    if (it == m_callers.end()) return;
    // Dropped later: this may run inside one of the caller's own signals.
    std::unique_ptr<Caller> gone = std::move(*it);
    m_callers.erase(it);
    gone->notifier->setEnabled(false);
    gone->timeout.stop();
    ::close(gone->fd);
    QTimer::singleShot(0, this, [gone = std::shared_ptr<Caller>(std::move(gone))] {});
}

bool SingleInstance::ask(InstanceRequest request) {
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    const int fd = connectTo(path);
    if (fd < 0) return false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    const std::string word = wordOf(request);
    std::string answer;
    bool sent = ::send(fd, word.data(), word.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(word.size());
    while (sent && answer.find('\n') == std::string::npos && answer.size() < 16 &&
           waitFor(fd, POLLIN, deadline)) {
        char buffer[16];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return sent && answer == "ok\n";
}

} // namespace zub
