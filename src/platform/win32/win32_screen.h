#pragma once

#include "platform/screen.h"

#include <chrono>

namespace zub {

// The primary screen through GDI: its size from the system metrics, a frozen copy by BitBlt of
// the screen's device context, the beep by MessageBeep.
//
// Hiding a window is done when ShowWindow returns, but what the screen shows catches up only
// when the desktop has drawn itself again (under composition, at its next frame). So before
// grabbing this waits, never longer than the hide timeout, until no window of the program that
// has been hidden is visible, then for the desktop's next composed frame.
class Win32Screen : public Screen {
public:
    QSize primarySize() const override;
    QImage grab() override;
    void beep() override;

    void setHideTimeout(std::chrono::milliseconds timeout) { m_hideTimeout = timeout; }

private:
    void waitUntilHiddenWindowsAreGone();

    std::chrono::milliseconds m_hideTimeout{1000};
};

} // namespace zub
