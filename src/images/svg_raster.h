#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace zub {

// What drawing one picture may cost: the pixels its drawings may touch, each counted by the part
// of the picture it covers, a thousand times a 1024 × 1024 picture's worth. A full 4K screen of
// chart (a screenshot behind it, bars, lines and labels) costs a few dozen million.
inline constexpr std::uint64_t kMaxDrawnPixels = std::uint64_t{1} << 30;

// `svg` drawn into width × height pixels on a transparent background, its shapes without
// antialiasing, as GDI plays a metafile; text keeps its smoothing. A null image when Qt cannot
// read the SVG, the memory is refused, or the drawing costs more than kMaxDrawnPixels.
//
// Without antialiasing is also what keeps drawing affordable: Qt's antialiasing rasteriser takes
// seconds for a single wide line across a picture a few thousand pixels high, and a handful of
// such lines in a few kilobytes of metafile would hold its reader for minutes.
QImage renderSvg(const QByteArray& svg, int width, int height);

} // namespace zub
