#include "grab/rubber_band.h"

#include <algorithm>

namespace zub {

void RubberBand::press(PixelPoint at) {
    m_selecting = true;
    m_rect = {at.x, at.y, at.x, at.y};
    m_anchor = at;
}

bool RubberBand::moveTo(PixelPoint at) {
    if (!m_selecting) return false;
    m_rect.left = std::min(at.x, m_anchor.x);
    m_rect.right = std::max(at.x, m_anchor.x);
    m_rect.top = std::min(at.y, m_anchor.y);
    m_rect.bottom = std::max(at.y, m_anchor.y);
    return true;
}

RubberBand& runRubberBand() {
    static RubberBand band;
    return band;
}

OutlineStrips outlineStrips(const SelectionRect& r) {
    OutlineStrips out;
    if (r.isEmpty()) return out;
    auto add = [&out](std::int32_t left, std::int32_t top, std::int32_t right,
                      std::int32_t bottom) {
        out.strips[out.count++] = {left, top, right, bottom};
    };
    add(r.left, r.top, r.right, r.top + 1);
    if (r.height() > 1) add(r.left, r.bottom - 1, r.right, r.bottom);
    if (r.height() > 2) {
        add(r.left, r.top + 1, r.left + 1, r.bottom - 1);
        if (r.width() > 1) add(r.right - 1, r.top + 1, r.right, r.bottom - 1);
    }
    return out;
}

} // namespace zub
