#pragma once

#include "grab/selection_rect.h"

#include <array>
#include <cstddef>

namespace zub {

// The rubber band of the region selector: a rectangle dragged out from the point where the left
// button went down, in any direction. One of it serves the whole run (runRubberBand()), shared by
// every selector and never reset, so that a grab ended without a drag takes the rectangle of the
// grab before it.
class RubberBand {
public:
    bool isSelecting() const { return m_selecting; }
    const SelectionRect& rect() const { return m_rect; }
    const PixelPoint& anchor() const { return m_anchor; }

    // The left button goes down here: an empty rectangle at the point, which is the anchor.
    void press(PixelPoint at);
    // The mouse moved: while selecting, the rectangle spans the anchor and the point; whether it
    // followed.
    bool moveTo(PixelPoint at);
    // A button went up. The rectangle stays: it is what the grab takes.
    void release() { m_selecting = false; }

private:
    bool m_selecting = false;
    SelectionRect m_rect;
    PixelPoint m_anchor;
};

// The run's one rubber band.
RubberBand& runRubberBand();

// The outline of a rectangle as the pixels it marks: its top and bottom rows, then its left and
// right columns between them, each pixel in exactly one of the (up to) four strips, so that
// inverting every strip once inverts each outline pixel once. Strips that would be empty, or
// repeat a row or column already given, are left out; `count` says how many there are.
struct OutlineStrips {
    std::array<SelectionRect, 4> strips;
    std::size_t count = 0;
};
OutlineStrips outlineStrips(const SelectionRect& rect);

// Whether a pixel of the outline is one of its dots: every other pixel, in a checkerboard fixed
// to the screen, so that the outline stays put while its rectangle changes.
inline bool isOutlineDot(std::int32_t x, std::int32_t y) {
    return ((x ^ y) & 1) == 0;
}

} // namespace zub
