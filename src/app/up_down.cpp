#include "app/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace zub {

UpDown::UpDown(QWidget* parent) : QWidget(parent), m_up(new QToolButton), m_down(new QToolButton) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setArrowType(b == m_up ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRaise(true);
        b->setFixedSize(16, 11);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::step(int towards) {
    if (m_position == towards) return;
    m_position += towards > m_position ? 1 : -1;
    emit clicked();
}

} // namespace zub
