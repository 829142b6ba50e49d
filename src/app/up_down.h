#pragma once

#include <QWidget>

class QToolButton;

namespace zub {

// A pair of arrow buttons holding a position between a minimum and a maximum. The range may run
// backwards (minimum above maximum): the up arrow always steps towards the maximum and the down
// arrow towards the minimum, one per click, without wrapping at the ends.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    void setMinimum(int value) { m_minimum = value; }
    void setMaximum(int value) { m_maximum = value; }
    void setPosition(int value) { m_position = value; }

    // What a click on an arrow does; public so that tests can click without coordinates.
    void stepUp() { step(m_maximum); }
    void stepDown() { step(m_minimum); }

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // An arrow click changed the position (a click at an end of the range changes nothing).
    void clicked();

private:
    void step(int towards);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_position = 0;
};

} // namespace zub
