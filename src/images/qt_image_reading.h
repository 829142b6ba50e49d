#pragma once

#include <QImage>

#include <string_view>

namespace zub {

// Qt refuses to decode a picture that needs more than 128 MB, a limit of its own for the whole
// process. This raises it to what the program's own limit (kMaxPicturePixels) needs at 8 bytes a
// pixel, the most Qt's readers use (16-bit colours), so that the program's limit is the one that
// holds. Safe to call from any thread, any number of times.
void allowQtImagesUpToPixelLimit();

// Image `index` of `bytes` through Qt's reader for `format` ("bmp", "ico"), without copying the
// bytes. A null image when Qt cannot read it.
QImage readImageWithQt(std::string_view bytes, const char* format, int index = 0);

} // namespace zub
