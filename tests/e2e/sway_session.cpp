#include "sway_session.h"

#include <QDir>
#include <QProcess>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace zub::e2e {
namespace {

constexpr uid_t kNobody = 65534;

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    for (const auto& folder : QString::fromLocal8Bit(path ? path : "").split(QLatin1Char(':')))
        if (::access((folder.toStdString() + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

} // namespace

SwaySession::SwaySession() {
    if (!onPath("sway") || !onPath("setpriv")) {
        m_missing = true;
        m_problem = "sway is not installed (scripts/setup installs it)";
        return;
    }
    start();
}

SwaySession::~SwaySession() {
    stop();
}

void SwaySession::start() {
    char folder[] = "/tmp/zub-sway-XXXXXX";
    if (!::mkdtemp(folder)) {
        m_problem = "no temporary folder for sway";
        return;
    }
    m_folder = folder;
    m_runtime = m_folder + "/run";
    const std::string home = m_folder + "/home";
    const std::string clientRuntime = m_folder + "/client";
    ::mkdir(m_runtime.c_str(), 0700);
    ::mkdir(home.c_str(), 0700);
    ::mkdir(clientRuntime.c_str(), 0700);
    std::ofstream(m_folder + "/config") << "output * bg #336699 solid_color\n"
                                           "default_border none\n"
                                           "xwayland disable\n";
    // sway refuses to run as root: it runs as nobody then, in folders of nobody's, under a
    // folder that must let nobody in.
    const bool asRoot = ::getuid() == 0;
    ::chmod(m_folder.c_str(), 0711);
    for (const std::string& path : {m_runtime, home, m_folder + "/config"})
        if (asRoot && ::chown(path.c_str(), kNobody, kNobody) != 0) {
            m_problem = "cannot hand " + path + " to uid 65534";
            return;
        }

    const std::string log = m_folder + "/sway.log";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_RUNTIME_DIR", m_runtime.c_str(), 1);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("WLR_BACKENDS", "headless", 1);
        ::setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
        ::setenv("WLR_HEADLESS_OUTPUTS", "1", 1);
        // No graphics processor on the test machines: sway draws in main memory.
        ::setenv("WLR_RENDERER", "pixman", 1);
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("DISPLAY");
        ::unsetenv("SWAYSOCK");
        if (FILE* out = std::freopen(log.c_str(), "w", stderr)) (void)out;
        const std::string config = m_folder + "/config";
        if (asRoot)
            ::execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                     "sway", "-c", config.c_str(), nullptr);
        else
            ::execlp("sway", "sway", "-c", config.c_str(), nullptr);
        ::_exit(127);
    }
    if (pid < 0) {
        m_problem = "cannot start sway";
        return;
    }
    m_pid = pid;
    const std::string socket = m_runtime + "/wayland-1";
    // Ready when both its sockets are there: the clients' and swaymsg's (which comes a little
    // later).
    std::string ipc;
    auto ready = [&] {
        struct stat info {};
        if (::stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return false;
        for (const auto& entry : std::filesystem::directory_iterator(m_runtime))
            if (entry.path().filename().string().starts_with("sway-ipc.")) ipc = entry.path();
        return !ipc.empty();
    };
    for (int tries = 0; tries < 500 && !ready(); ++tries) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_problem = "sway ended at start; see " + log;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ipc.empty()) {
        m_problem = "sway did not open its sockets in 5 s; see " + log;
        return;
    }
    ::setenv("WAYLAND_DISPLAY", socket.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", clientRuntime.c_str(), 1);
    ::setenv("SWAYSOCK", ipc.c_str(), 1);
    ::unsetenv("DISPLAY");
}

bool SwaySession::message(const QStringList& arguments) const {
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), arguments);
    return swaymsg.waitForFinished(5000) && swaymsg.exitCode() == 0;
}

void SwaySession::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        for (int tries = 0; tries < 300 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (::waitpid(m_pid, &status, WNOHANG) == 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
        }
        m_pid = -1;
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

} // namespace zub::e2e
