#include "xvfb_session.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zub::e2e {
namespace {

// The descriptor Xvfb writes its display number to.
constexpr int kDisplayFd = 3;
constexpr auto kStartTimeout = std::chrono::seconds(20);
constexpr auto kStopTimeout = std::chrono::seconds(5);

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::string readLog(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForExit(pid_t pid, std::chrono::steady_clock::duration timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

XvfbSession::XvfbSession(std::string screen) : m_screen(std::move(screen)) {
    const std::string xvfb = findInPath("Xvfb");
    if (xvfb.empty()) {
        m_missing = true;
        m_problem = "Xvfb is not installed (Debian package xvfb; scripts/setup installs it)";
        return;
    }
    // The display is picked here rather than by Xvfb: a server whose lock file is gone (removed
    // by whatever cleaned up after a killed one) would make Xvfb pick its number and fail on its
    // socket. A number with neither lock nor socket is tried, and on a failure the next one.
    for (int display = 20, tries = 0; display < 400 && tries < 5; ++display) {
        const std::string n = std::to_string(display);
        if (::access(("/tmp/.X" + n + "-lock").c_str(), F_OK) == 0 ||
            ::access(("/tmp/.X11-unix/X" + n).c_str(), F_OK) == 0)
            continue;
        ++tries;
        m_problem.clear();
        start(xvfb, ":" + n);
        if (m_pid > 0) return;
    }
}

XvfbSession::~XvfbSession() {
    stop();
}

void XvfbSession::start(const std::string& xvfbPath, const std::string& display) {
    char logTemplate[] = "/tmp/zub-xvfb-XXXXXX";
    const int created = ::mkostemp(logTemplate, O_CLOEXEC);
    // Kept clear of the descriptor the display number is written to, which the child sets up.
    const int log = created < 0 ? -1 : ::fcntl(created, F_DUPFD_CLOEXEC, 10);
    if (created >= 0) ::close(created);
    if (log < 0) {
        m_problem = std::string("cannot create the Xvfb log file: ") + std::strerror(errno);
        return;
    }
    m_logPath = logTemplate;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        ::close(log);
        m_problem = std::string("cannot create a pipe: ") + std::strerror(errno);
        return;
    }

    // Everything the child needs is prepared before fork: after it, only async-signal-safe calls.
    std::vector<std::string> args = {"Xvfb",    display, "-displayfd", std::to_string(kDisplayFd),
                                     "-screen", "0",     m_screen,     "-nolisten",
                                     "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid == 0) {
        // The server must not outlive a test process that is killed (a timeout, a crash).
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        if (pipeFds[1] == kDisplayFd) {
            ::fcntl(kDisplayFd, F_SETFD, 0);
        } else {
            ::dup2(pipeFds[1], kDisplayFd);
        }
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        ::execv(xvfbPath.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ::close(log);
    if (pid < 0) {
        ::close(pipeFds[0]);
        m_problem = std::string("cannot start Xvfb: ") + std::strerror(errno);
        return;
    }

    // Xvfb writes the number once it accepts connections.
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    bool complete = false;
    while (!complete) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buffer[32];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the server quit before it got a display
        number.append(buffer, static_cast<std::size_t>(n));
        complete = number.find('\n') != std::string::npos;
    }
    ::close(pipeFds[0]);

    if (!complete) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        m_problem = "Xvfb did not report a display: " + readLog(m_logPath);
        return;
    }
    m_pid = pid;
    m_display = ":" + number.substr(0, number.find('\n'));
    // The log is only wanted when the start fails; the server may go on writing to it unseen.
    ::unlink(m_logPath.c_str());
    m_logPath.clear();

    if (const char* previous = std::getenv("DISPLAY")) {
        m_hadDisplay = true;
        m_previousDisplay = previous;
    }
    ::setenv("DISPLAY", m_display.c_str(), 1);
}

void XvfbSession::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        if (!waitForExit(m_pid, kStopTimeout)) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
        if (m_hadDisplay) {
            ::setenv("DISPLAY", m_previousDisplay.c_str(), 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }
    if (!m_logPath.empty()) ::unlink(m_logPath.c_str());
}

} // namespace zub::e2e
