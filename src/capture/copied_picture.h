#pragma once

#include <QByteArray>
#include <QImage>

namespace zub {

// A picture another program copied, as the bytes it served (PNG, BMP, JPEG, GIF ...), decoded
// with Qt's readers for raster pictures. Its size is read from its header first: a picture over
// the program's pixel limit (kMaxPicturePixels) is refused before any memory is taken for it.
// Takes as long as the picture is large: not for the window's thread. Throws zub::Error "Bitmap
// image is too large (<width> x <height> pixels)" above the limit, "Bitmap image is not valid"
// for bytes no raster reader takes.
QImage decodeCopiedPicture(const QByteArray& bytes);

} // namespace zub
