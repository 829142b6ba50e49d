#pragma once

#include <QImage>

#include <string>

namespace zub {

// A standard Windows bitmap file of `image`: the 14-byte file header, the 40-byte info header, a
// palette at 8 bits per pixel or fewer, and the rows bottom-up, each padded to 4 bytes, at
// `bitsPerPixel` (1, 4, 8, 16 as 5-5-5, 24 or 32; other depths go up to the next of these). An
// image that is not in the depth's pixel format is converted first (see bitmapPixels()).
std::string encodeBmp(const QImage& image, int bitsPerPixel);

} // namespace zub
