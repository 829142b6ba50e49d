#include "grab/frozen_picture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace zub {

FrozenPicture::FrozenPicture(const RubberBand& band, QWidget* parent)
    : QWidget(parent), m_band(band) {
    setCursor(Qt::CrossCursor);
    // Every pixel is painted from the picture; nothing behind needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrozenPicture::setPicture(QImage picture) {
    m_picture = std::move(picture);
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    update();
}

PixelPoint FrozenPicture::pixelAt(QPointF position) const {
    const qreal scale = m_picture.isNull() ? 1.0 : m_picture.devicePixelRatio();
    return {static_cast<std::int32_t>(std::floor(position.x() * scale)),
            static_cast<std::int32_t>(std::floor(position.y() * scale))};
}

QRect FrozenPicture::toControl(const SelectionRect& pixels) const {
    const qreal scale = m_picture.isNull() ? 1.0 : m_picture.devicePixelRatio();
    return QRectF(pixels.left / scale, pixels.top / scale, double(pixels.width()) / scale,
                  double(pixels.height()) / scale)
        .toAlignedRect();
}

void FrozenPicture::outlineMoved(const SelectionRect& before) {
    QRegion changed;
    for (const SelectionRect* rect : {&before, &m_band.rect()}) {
        const OutlineStrips outline = outlineStrips(*rect);
        for (std::size_t i = 0; i < outline.count; ++i) changed += toControl(outline.strips[i]);
    }
    if (!changed.isEmpty()) update(changed);
}

void FrozenPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), m_picture);
    if (!m_band.isSelecting()) return;

    const OutlineStrips outline = outlineStrips(m_band.rect());
    for (std::size_t i = 0; i < outline.count; ++i) {
        const SelectionRect& strip = outline.strips[i];
        const QRect place = toControl(strip);
        if (!event->region().intersects(place)) continue;
        // The strip of the picture under the outline, with every dot inverted.
        QImage dots = m_picture.copy(strip.left, strip.top, int(strip.width()), int(strip.height()))
                          .convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < dots.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(dots.scanLine(y));
            for (int x = 0; x < dots.width(); ++x)
                if (isOutlineDot(strip.left + x, strip.top + y)) line[x] ^= 0x00ffffffu;
        }
        painter.drawImage(place.topLeft(), dots);
    }
}

} // namespace zub
