#pragma once

#include "platform/screen.h"

#include <chrono>

struct xcb_connection_t;

namespace zub {

// The primary screen of the X display, grabbed through Qt.
//
// Hiding a window only asks the X server to unmap it; a reparenting window manager then takes
// its frame off the screen when it gets round to it, and until then the frame (or, without a
// window manager, nothing) is what the screen shows there. So before grabbing, this waits until
// every hidden window of the program is off the screen, watching the frames on a connection of
// its own for the window manager's unmapping, never longer than the unmap timeout.
class X11Screen : public Screen {
public:
    // Needs the QGuiApplication.
    X11Screen();
    ~X11Screen() override;
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    QSize primarySize() const override;
    QImage grab() override;
    void beep() override;

    // How long a window manager may take to take a hidden window off the screen.
    void setUnmapTimeout(std::chrono::milliseconds timeout) { m_unmapTimeout = timeout; }
    // Whether the pixels may come through shared memory (MIT-SHM) when the server offers it; off,
    // they come through the socket, as they must from a remote display.
    void setSharedMemory(bool allowed) { m_sharedMemory = allowed; }

private:
    void waitUntilHiddenWindowsAreGone();

    xcb_connection_t* m_watch = nullptr;
    std::chrono::milliseconds m_unmapTimeout{1000};
    bool m_sharedMemory = true;
};

} // namespace zub
