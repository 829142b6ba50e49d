#include "images/picture_control.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace zub {

PictureControl::PictureControl(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void PictureControl::setPicture(Picture picture) {
    m_picture = std::move(picture);
    if (m_picture.width() > 0 && m_picture.height() > 0)
        resize(m_picture.width(), m_picture.height());
    update();
}

void PictureControl::paintEvent(QPaintEvent* event) {
    if (m_picture.isEmpty()) return;
    const QImage& image = m_picture.image();
    QPainter painter(this);
    // Only the exposed part, which the viewport keeps to its own size however large the picture.
    for (const QRect& exposed : event->region()) {
        const QRect part = exposed & image.rect();
        if (part.isEmpty()) continue;
        if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
            // Qt would convert the whole palette picture to draw any of it.
            painter.drawImage(part.topLeft(), image.copy(part));
        } else {
            // Icons and metafiles are drawn over the viewport's background; bitmaps cover it.
            painter.drawImage(part.topLeft(), image, part);
        }
    }
}

void PictureControl::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event->button(), event->position().toPoint());
}

void PictureControl::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position().toPoint());
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->position().toPoint());
}

} // namespace zub
