#include "grab/selected_picture.h"

#include "platform/error.h"

#include <QPainter>

namespace zub {

QImage selectedPicture(const QImage& frozen, const SelectionRect& rect) {
    if (rect.isEmpty()) return frozen;
    const QRect wanted(rect.left, rect.top, int(rect.width()), int(rect.height()));
    if (frozen.rect().contains(wanted)) return frozen.copy(wanted);

    // QImage::copy would fill the part beyond with zeros, which is no opaque colour in every
    // format.
    QImage out(wanted.size(), frozen.format());
    if (out.isNull()) throw Error("Out of memory");
    out.fill(Qt::black);
    const QRect inside = wanted.intersected(frozen.rect());
    if (!inside.isEmpty()) {
        // Pixels for pixels, whatever the screen's scale.
        QImage part = frozen.copy(inside);
        part.setDevicePixelRatio(1);
        QPainter painter(&out);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(inside.topLeft() - wanted.topLeft(), part);
    }
    return out;
}

} // namespace zub
