#pragma once

#include "grab/selection_rect.h"

#include <QImage>

namespace zub {

// What a grab puts on the clipboard: the pixels of the frozen screen inside the rectangle, or
// the whole frozen screen when the rectangle covers no pixel. A rectangle that reaches beyond
// the frozen screen (the pointer can leave the primary screen for another monitor) keeps its
// size; the part beyond is black.
QImage selectedPicture(const QImage& frozen, const SelectionRect& rect);

} // namespace zub
