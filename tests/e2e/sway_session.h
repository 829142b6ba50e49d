#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <sys/types.h>

namespace zub::e2e {

// A private headless sway for end-to-end tests on Wayland, in a temporary folder of its own (its
// runtime folder, its home, its configuration); sway refuses to run as root, so under root it
// runs as nobody (uid 65534). It has one virtual output and no input devices, and draws in
// software. This process and every process it starts reach it through WAYLAND_DISPLAY, which
// names its socket by full path; DISPLAY is taken away so that nothing ends up on an X server
// instead. Create it before the QApplication and destroy it after.
//
// When sway is not installed the session is not running and swayMissing() says so; tests skip
// then. Any other failure to start is a real failure and problem() tells it.
class SwaySession {
public:
    SwaySession();
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    bool isRunning() const { return m_pid > 0; }
    bool swayMissing() const { return m_missing; }
    const std::string& problem() const { return m_problem; }
    pid_t pid() const { return m_pid; }

    // swaymsg with these arguments (e.g. {"workspace", "2"}); whether it succeeded.
    bool message(const QStringList& arguments) const;

private:
    void start();
    void stop();

    pid_t m_pid = -1;
    bool m_missing = false;
    std::string m_problem;
    std::string m_folder;
    std::string m_runtime;
};

} // namespace zub::e2e
