#include "images/rle_decoder.h"

#include <cstdint>

namespace zub {
namespace {

// Writes pixels along one row, dropping those beyond the right edge.
class RowWriter {
public:
    explicit RowWriter(QImage& image) : m_image(image) {}

    void moveTo(std::int64_t x, std::int64_t y) {
        m_x = x;
        m_y = y;
    }
    std::int64_t x() const { return m_x; }
    std::int64_t y() const { return m_y; }
    bool inside() const { return m_y < m_image.height(); }
    void put(std::uint8_t index) {
        if (m_x < m_image.width() && inside())
            m_image.scanLine(static_cast<int>(m_image.height() - 1 - m_y))[m_x] = index;
        ++m_x;
    }

private:
    QImage& m_image;
    std::int64_t m_x = 0;
    std::int64_t m_y = 0;
};

} // namespace

QImage decodeRle(std::string_view data, int width, int height, int bitsPerPixel) {
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull()) return image;
    image.fill(0);
    const bool nibbles = bitsPerPixel == 4;
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(data[i]); };
    // Pixel `i` of an RLE4 run or literal: the high nibble first, then the low one.
    auto nibble = [](std::uint8_t value, std::int64_t i) {
        return static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0f);
    };

    RowWriter out(image);
    std::size_t pos = 0;
    while (out.inside() && pos + 2 <= data.size()) {
        const std::uint8_t count = at(pos);
        const std::uint8_t value = at(pos + 1);
        pos += 2;
        if (count > 0) {
            for (std::int64_t i = 0; i < count && out.x() < width; ++i)
                out.put(nibbles ? nibble(value, i) : value);
            continue;
        }
        if (value == 0) { // end of line
            out.moveTo(0, out.y() + 1);
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta: move right and up
            if (pos + 2 > data.size()) break;
            out.moveTo(out.x() + at(pos), out.y() + at(pos + 1));
            pos += 2;
        } else { // literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = nibbles ? (value + 1u) / 2 : value;
            if (pos + bytes > data.size()) break;
            for (std::int64_t i = 0; i < value; ++i)
                out.put(nibbles ? nibble(at(pos + i / 2), i) : at(pos + i));
            pos += bytes + (bytes & 1);
        }
    }
    return image;
}

} // namespace zub
