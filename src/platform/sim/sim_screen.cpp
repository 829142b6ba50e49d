#include "platform/sim/sim_screen.h"

#include <QApplication>
#include <QWidget>

namespace zub {

SimScreen::SimScreen() : m_picture(640, 480, QImage::Format_RGB32) {
    m_picture.fill(Qt::darkCyan);
}

QImage SimScreen::grab() {
    ++m_grabs;
    m_windowsInLastGrab.clear();
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) m_windowsInLastGrab.push_back(window->objectName());
    // A copy of its own, as a real grab is: the screen may change after it.
    return m_picture.copy();
}

} // namespace zub
