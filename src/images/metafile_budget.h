#pragma once

#include "images/field_reader.h"

#include <cstdint>
#include <string_view>

namespace zub {

// What drawing one metafile may cost, counted by our own reading of its records before any
// library sees them; a metafile over the budget is not valid. Drawing time grows with records,
// with points and characters, and with the pixels of the bitmaps inside; the pixels drawn into
// are bounded by drawing a large metafile scaled down (metafile_size.h), and the time of a
// library that goes astray all the same by the process that draws (contained_reading.h).
//
// The counts leave room for what programs write: a chart or a drawing copied from an office
// program is a few thousand records, a full-screen 4K diagram a few tens of thousands, with a
// few hundred thousand points; a screenshot of a 4K screen is 8.3 million pixels.
class MetafileBudget {
public:
    static constexpr std::uint64_t kRecords = 100'000;
    static constexpr std::uint64_t kPoints = 1'000'000;
    // Any one bitmap, and all of them together.
    static constexpr std::uint64_t kBitmapPixels = std::uint64_t{4096} * 4096;
    static constexpr std::uint64_t kAllBitmapPixels = 2 * kBitmapPixels;

    explicit MetafileBudget(const FieldReader& in) : m_in(in) {}

    void countRecord() { m_in.require(++m_records <= kRecords); }
    // Points of lines, shapes and curves, and characters of text.
    void countPoints(std::uint64_t points) {
        m_in.require(points <= kPoints && (m_points += points) <= kPoints);
    }
    // A device-independent bitmap inside a record: its header and colour table `info`, its
    // pixels `bits`, and whether the table holds 16-bit indexes into the metafile's palette
    // rather than colours. It must be one our own bitmap reader takes, of 1 to 32 bits per pixel
    // without compression or with RLE or bit fields, within the counts of pixels above.
    void checkBitmap(std::string_view info, std::string_view bits, bool paletteIndexes);

private:
    const FieldReader& m_in;
    std::uint64_t m_records = 0;
    std::uint64_t m_points = 0;
    std::uint64_t m_bitmapPixels = 0;
};

} // namespace zub
