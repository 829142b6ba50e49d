#pragma once

#include <QImage>
#include <QSize>

#include <string_view>

// Windows only (the Win32 backend): metafiles played by GDI, the system's own player of them.

namespace zub::gdi {

// A whole enhanced metafile, stretched to `size`, on a transparent background: what the records
// leave untouched stays transparent, what they paint partly (smoothed edges) partly so. A null
// image when GDI refuses the metafile or the memory.
QImage drawEnhancedMetafile(std::string_view emf, QSize size);

// A Windows metafile, without the placeable header, drawn the same way.
QImage drawWindowsMetafile(std::string_view records, QSize size);

} // namespace zub::gdi
