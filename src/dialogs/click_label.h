#pragma once

#include <QLabel>

namespace zub {

// A label that reports clicks the way a push button does: the left button goes down over it and
// comes up over it. The second press of a double click starts no click of its own, so a quick
// double click counts once.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace zub
