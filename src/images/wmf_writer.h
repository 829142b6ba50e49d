#pragma once

#include <QImage>

#include <string>

namespace zub {

// A placeable Windows metafile that shows `image` at its size in pixels (96 units per inch) as
// one 24-bit bitmap record, what lies behind its transparent parts shown white. A metafile places
// at most 32767 units each way; a larger picture is scaled down to fit.
std::string encodeWmfWithBitmap(const QImage& image);

} // namespace zub
