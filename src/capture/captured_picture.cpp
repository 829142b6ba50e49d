#include "capture/captured_picture.h"

namespace zub {

Picture capturedPicture(QImage image, int displayDepth) {
    const bool monochrome =
        image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    // A display of no known depth (none at all, say) keeps colours whole.
    const int depth = monochrome ? 1 : (displayDepth > 1 ? displayDepth : 24);
    return Picture::fromBitmap(std::move(image), depth);
}

} // namespace zub
