#pragma once

#include "images/picture.h"

#include <string>

namespace zub {

// A Windows icon file: of its images, the one closest to 32 × 32 (the deeper on a tie), with its
// transparency. Every kind of entry is read: PNG-compressed, and device-independent bitmaps of
// 1, 4, 8, 16, 24 and 32 bits per pixel with their masks. The picture keeps the file's bytes to
// save them back unchanged. Throws zub::Error "Icon image is not valid".
Picture readIco(std::string bytes);

} // namespace zub
