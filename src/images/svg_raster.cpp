#include "images/svg_raster.h"

#include <QPainter>
#include <QSvgRenderer>

namespace zub {

QImage renderSvg(const QByteArray& svg, int width, int height) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, width, height));
    return image;
}

} // namespace zub
