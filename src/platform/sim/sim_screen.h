#pragma once

#include "platform/screen.h"

#include <QStringList>

namespace zub {

// A screen that shows a picture the test chose. Like a real screen it shows the program's
// visible windows and not its hidden ones; the test reads which those were at each grab.
class SimScreen : public Screen {
public:
    SimScreen();

    QSize primarySize() const override { return m_picture.size(); }
    QImage grab() override;
    void beep() override { ++m_beeps; }

    // What the screen shows from now on; its size is the screen's size.
    void setPicture(QImage picture) { m_picture = std::move(picture); }
    const QImage& picture() const { return m_picture; }

    int grabCount() const { return m_grabs; }
    int beepCount() const { return m_beeps; }
    // The object names of the program's top-level windows that were on the screen at the last
    // grab, and so in the picture a real screen would have given.
    const QStringList& windowsInLastGrab() const { return m_windowsInLastGrab; }

private:
    QImage m_picture;
    QStringList m_windowsInLastGrab;
    int m_grabs = 0;
    int m_beeps = 0;
};

} // namespace zub
