#pragma once

#include <QImage>

#include <string_view>

namespace zub {

// The pixels of a run-length encoded bitmap (RLE8, or RLE4 when `bitsPerPixel` is 4), bottom-up
// as stored, as palette indexes in a Format_Indexed8 image without a palette. Pixels that the
// codes skip or never reach stay 0; codes past the image's edges are ignored, and data that ends
// early ends the picture there. A null image when the memory is refused.
QImage decodeRle(std::string_view data, int width, int height, int bitsPerPixel);

} // namespace zub
