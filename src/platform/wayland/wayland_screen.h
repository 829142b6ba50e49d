#pragma once

#include "platform/screen.h"

namespace zub {

// The first output of the Wayland compositor, copied through the screencopy protocol on a short
// connection of its own. A compositor without screencopy (Plasma, GNOME) lets no client read
// the screen: the grab then fails with a message that says so rather than a black picture.
class WaylandScreen : public Screen {
public:
    // What the grab says where the compositor lets no program copy the screen.
    static constexpr const char* kNoScreenCopy = "此桌面不允许程序抓取屏幕";

    QSize primarySize() const override;
    QImage grab() override;
    void beep() override;
};

} // namespace zub
