#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace zub {
namespace {

// A one-way channel: end 0 reads, end 1 writes. The input goes through a socket pair, so that
// writing to a child that has stopped reading fails with EPIPE instead of raising SIGPIPE in a
// process that may not ignore it.
class Pipe {
public:
    enum Kind { Plain, Socket };
    explicit Pipe(Kind kind) {
        const int made = kind == Socket
                             ? ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds)
                             : ::pipe2(m_fds, O_CLOEXEC);
        if (made != 0) m_fds[0] = m_fds[1] = -1;
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return m_fds[0] >= 0; }
    int end(int which) const { return m_fds[which]; }
    void closeEnd(int which) {
        if (m_fds[which] >= 0) ::close(m_fds[which]);
        m_fds[which] = -1;
    }

private:
    int m_fds[2];
};

using Clock = std::chrono::steady_clock;

// Reaps the child; with `kill` first ends it. Returns the wait status.
int reap(pid_t pid, bool kill) {
    if (kill) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

ChildResult runChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, std::string_view input,
                     const ChildLimits& limits, const std::atomic<bool>* cancel) {
    if (!cancel) cancel = currentCancelFlag();
    ChildResult result;
    Pipe in(Pipe::Socket);
    Pipe out(Pipe::Plain);
    if (!in.ok() || !out.ok()) {
        result.startError = errno;
        return result;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.end(0), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.end(1), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The program ignores SIGPIPE for itself; the helper gets the defaults and no blocked signals.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> strings{program.string()};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        result.startError = spawned;
        return result;
    }
    in.closeEnd(0);
    out.closeEnd(1);

    // The child reads nothing before it is given its input, which comes after the limits: no
    // input can take it past them.
    auto limit = [pid](__rlimit_resource resource, rlim_t soft, rlim_t hard) {
        const rlimit value{soft, hard};
        return ::prlimit(pid, resource, &value, nullptr) == 0;
    };
    // At the soft processor limit the system ends it (SIGXCPU); the hard one is a second later.
    const auto seconds = static_cast<rlim_t>(limits.processorTime.count());
    if (!limit(RLIMIT_CORE, 0, 0) ||
        (limits.addressSpaceBytes > 0 &&
         !limit(RLIMIT_AS, limits.addressSpaceBytes, limits.addressSpaceBytes)) ||
        (seconds > 0 && !limit(RLIMIT_CPU, seconds, seconds + 1))) {
        result.startError = errno;
        reap(pid, true);
        return result;
    }
    ::fcntl(in.end(1), F_SETFL, O_NONBLOCK);

    const Clock::time_point deadline = Clock::now() + limits.time;
    std::size_t written = 0;
    if (input.empty()) in.closeEnd(1);
    char buffer[65536];
    for (;;) {
        if (cancel && cancel->load()) {
            reap(pid, true);
            result.outcome = ChildResult::Outcome::Cancelled;
            return result;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            reap(pid, true);
            result.outcome = ChildResult::Outcome::TimedOut;
            return result;
        }
        pollfd fds[2] = {{out.end(0), POLLIN, 0}, {in.end(1), POLLOUT, 0}};
        const int watched = in.end(1) >= 0 ? 2 : 1;
        // A short wait, so that a cancellation is seen soon.
        const int wait = static_cast<int>(std::min<long long>(left.count(), 100));
        if (::poll(fds, watched, wait) < 0 && errno != EINTR) break;
        if (watched == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::send(in.end(1), input.data() + written, input.size() - written,
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) written += static_cast<std::size_t>(n);
            // A child that stops reading early has its reasons; its answer says what they were.
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
                in.closeEnd(1);
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = ::read(out.end(0), buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                break;
            }
            if (result.output.size() + static_cast<std::size_t>(n) > limits.outputBytes) {
                reap(pid, true);
                result.outcome = ChildResult::Outcome::TooMuch;
                result.output.clear();
                return result;
            }
            result.output.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // Its output is closed; it should be ending. It may not take longer than it had.
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) {
                result.outcome = ChildResult::Outcome::Exited;
                result.exitCode = WEXITSTATUS(status);
            } else {
                result.outcome = ChildResult::Outcome::Killed;
            }
            return result;
        }
        if (done < 0 && errno != EINTR) {
            result.outcome = ChildResult::Outcome::Killed;
            return result;
        }
        const bool cancelled = cancel && cancel->load();
        if (cancelled || Clock::now() >= deadline) {
            reap(pid, true);
            result.outcome =
                cancelled ? ChildResult::Outcome::Cancelled : ChildResult::Outcome::TimedOut;
            return result;
        }
        ::usleep(2000);
    }
}

std::filesystem::path runningProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

} // namespace zub
