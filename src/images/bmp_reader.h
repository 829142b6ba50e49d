#pragma once

#include "images/picture.h"

#include <QImage>

#include <string_view>

namespace zub {

struct DecodedBitmap {
    // Format_Mono (1 bit), Format_Indexed8 (4 and 8 bits) or Format_RGB32, opaque.
    QImage image;
    int bitsPerPixel = 0;
};

// A Windows bitmap file in any standard variant: core, info, V4 and V5 headers; 1, 4, 8, 16, 24
// and 32 bits per pixel; RLE4, RLE8 and bit fields; rows bottom-up or top-down. Throws
// zub::Error "Bitmap image is not valid" for anything else, for pixel data that the file does not
// hold, and for pictures over kMaxPicturePixels or that memory cannot hold.
DecodedBitmap decodeBmp(std::string_view bytes);

// The file as a bitmap picture at the depth it was stored at.
Picture readBmp(std::string_view bytes);

} // namespace zub
