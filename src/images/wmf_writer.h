#pragma once

#include <QImage>

#include <string>

namespace zub {

// A placeable Windows metafile that shows `image` at its size in pixels (96 units per inch) as
// one 32-bit bitmap record with an alpha channel (a V4 header with bit fields). Its colours are
// the picture drawn over white, which is what a player that ignores alpha shows; the alpha says
// how much of each pixel is picture, so readWmf gets the picture back with its transparency
// (premultiplied colour = colour − (255 − alpha)). A metafile places at most 32767 units each
// way; a larger picture is scaled down to fit.
std::string encodeWmfWithBitmap(const QImage& image);

} // namespace zub
