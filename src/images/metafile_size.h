#pragma once

#include "images/field_reader.h"
#include "images/picture.h"

#include <cmath>
#include <cstdint>

namespace zub {

// A metafile is drawn at its own size, and drawing a shape across a picture miles long takes
// minutes: one 64 pixels wide and four million high is within the pixel count, but no picture.
inline constexpr double kMaxMetafileSide = 16384;

// The size in pixels of a metafile `extent` long in units of which `unitsPerInch` make an inch,
// shown at 96 pixels per inch. Fails with "Metafile is not valid" unless the picture has pixels,
// no more than kMaxPicturePixels of them and no side longer than kMaxMetafileSide.
struct MetafilePixels {
    int width = 0;
    int height = 0;
};

inline MetafilePixels metafilePixels(const FieldReader& in, double width, double height) {
    const double w = std::round(std::fabs(width));
    const double h = std::round(std::fabs(height));
    in.require(std::isfinite(w) && std::isfinite(h) && w >= 1 && h >= 1);
    in.require(w * h <= static_cast<double>(kMaxPicturePixels));
    in.require(w <= kMaxMetafileSide && h <= kMaxMetafileSide);
    return {static_cast<int>(w), static_cast<int>(h)};
}

} // namespace zub
