#pragma once

#include <string>
#include <sys/types.h>

namespace zub::e2e {

// A private X server for end-to-end tests. Starts Xvfb on a display number of its own (a free
// one from 20 up; Xvfb reports through -displayfd when it accepts connections), points DISPLAY at
// it for this process and every process it starts, and stops the server again on destruction.
// Create it before the QApplication, which connects to DISPLAY once, and destroy it after.
//
// When Xvfb is not installed the session is not running and xvfbMissing() says why; tests skip
// then. Any other failure to start is a real failure and problem() tells it.
class XvfbSession {
public:
    // `screen` is the screen's size and depth, as Xvfb's -screen option takes it.
    explicit XvfbSession(std::string screen = "1280x800x24");
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    bool isRunning() const { return m_pid > 0; }
    bool xvfbMissing() const { return m_missing; }
    // Why the server is not running; empty while it runs.
    const std::string& problem() const { return m_problem; }
    // The display name, such as ":3".
    const std::string& display() const { return m_display; }

private:
    void start(const std::string& xvfbPath, const std::string& display);
    void stop();

    pid_t m_pid = -1;
    bool m_missing = false;
    std::string m_problem;
    std::string m_display;
    std::string m_screen;
    std::string m_logPath;
    bool m_hadDisplay = false;
    std::string m_previousDisplay;
};

} // namespace zub::e2e
