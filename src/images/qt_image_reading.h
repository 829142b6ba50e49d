#pragma once

#include <QImage>

#include <string_view>

namespace zub {

// Image `index` of `bytes` through Qt's reader for `format` ("bmp", "ico"), without copying the
// bytes. Qt's own limit on the memory of one image is raised to what kMaxPicturePixels needs, so
// that the program's limit is the one that holds. A null image when Qt cannot read it.
QImage readImageWithQt(std::string_view bytes, const char* format, int index = 0);

} // namespace zub
