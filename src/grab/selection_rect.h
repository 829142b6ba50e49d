#pragma once

#include <cstdint>

namespace zub {

// A point of the frozen screen, in pixels; the selector covers the primary screen from its
// top-left corner, so these are screen coordinates too.
struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A rectangle of the frozen screen, always normalised (left <= right, top <= bottom). Right and
// bottom are exclusive edges: the rectangle covers columns left to right - 1 and rows top to
// bottom - 1.
struct SelectionRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int64_t width() const { return std::int64_t(right) - left; }
    std::int64_t height() const { return std::int64_t(bottom) - top; }
    // Covers no pixel: a click, or a drag back to its own column or row.
    bool isEmpty() const { return left == right || top == bottom; }
    friend bool operator==(const SelectionRect&, const SelectionRect&) = default;
};

} // namespace zub
