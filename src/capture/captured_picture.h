#pragma once

#include "images/picture.h"

#include <QImage>

namespace zub {

// A bitmap taken from the clipboard as the image pane holds it: saved again at the depth it was
// captured at, which is 1 bit per pixel for a two-colour bitmap and the display's depth
// (`displayDepth`) for any other.
Picture capturedPicture(QImage image, int displayDepth);

} // namespace zub
