#pragma once

#include <QByteArray>
#include <QImage>

namespace zub {

// `svg` drawn into width × height pixels on a transparent background. A null image when Qt
// cannot read the SVG or the memory is refused.
QImage renderSvg(const QByteArray& svg, int width, int height);

} // namespace zub
