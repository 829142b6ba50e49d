#include "dialogs/click_label.h"

#include <QMouseEvent>

namespace zub {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    event->accept();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // QWidget would treat this as another press; the click it would start is the one already
    // counted.
    if (event->button() == Qt::LeftButton) m_pressed = false;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    // The label keeps the mouse while the button is down, so a release elsewhere arrives here too.
    if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
}

} // namespace zub
