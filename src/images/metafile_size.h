#pragma once

#include "images/field_reader.h"
#include "images/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zub {

// A metafile is drawn at its own size, and drawing a shape across a picture miles long takes
// minutes: one 64 pixels wide and four million high is within the pixel count, but no picture.
inline constexpr double kMaxMetafileSide = 16384;

// The most pixels a metafile is drawn into: 4096 × 4096, 64 MB. A full 4K screen (3840 × 2160)
// is drawn whole; a metafile that says it is larger is drawn scaled down to this, so that a few
// bytes of header cannot ask for a gigabyte.
inline constexpr std::uint64_t kMaxMetafileRenderPixels = std::uint64_t{4096} * 4096;

struct MetafilePixels {
    int width = 0;
    int height = 0;
};

// The size in pixels of a metafile `width` × `height` pixels large at its own resolution. Fails
// with "Metafile is not valid" unless the picture has pixels, no more than kMaxPicturePixels of
// them and no side longer than kMaxMetafileSide.
inline MetafilePixels metafilePixels(const FieldReader& in, double width, double height) {
    const double w = std::round(std::fabs(width));
    const double h = std::round(std::fabs(height));
    in.require(std::isfinite(w) && std::isfinite(h) && w >= 1 && h >= 1);
    in.require(w * h <= static_cast<double>(kMaxPicturePixels));
    in.require(w <= kMaxMetafileSide && h <= kMaxMetafileSide);
    return {static_cast<int>(w), static_cast<int>(h)};
}

// The size a metafile of `size` is drawn at: its own, or scaled down with its proportions to fit
// kMaxMetafileRenderPixels.
inline MetafilePixels renderPixels(MetafilePixels size) {
    const double pixels = static_cast<double>(size.width) * size.height;
    if (pixels <= static_cast<double>(kMaxMetafileRenderPixels)) return size;
    const double scale = std::sqrt(static_cast<double>(kMaxMetafileRenderPixels) / pixels);
    return {std::max(1, static_cast<int>(std::floor(size.width * scale))),
            std::max(1, static_cast<int>(std::floor(size.height * scale)))};
}

} // namespace zub
