#pragma once

#include <QImage>
#include <QSize>

namespace zub {

// The primary screen: its size, a frozen copy of what it shows, and the system's beep.
class Screen {
public:
    virtual ~Screen() = default;

    // In pixels, which are also the coordinates of the copy that grab() returns.
    virtual QSize primarySize() const = 0;
    // What the primary screen shows, pixel for pixel. The program's own windows that it has
    // hidden are not in it: the grab first waits, a bounded while, until the window system has
    // really taken them off the screen.
    virtual QImage grab() = 0;
    virtual void beep() = 0;
};

} // namespace zub
