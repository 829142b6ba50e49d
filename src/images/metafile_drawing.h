#pragma once

#include "images/metafile_size.h"

#include <QImage>
#include <QSizeF>

#include <cstdint>
#include <string>

namespace zub {

// How metafiles become pixels once their records have been checked: on Linux through SVG
// (libemf2svg, libwmf, drawn by Qt), on Windows by the system's own GDI, the player the formats
// were made for. Each gives a picture of `size` on a transparent background, or a null image
// when the drawing fails.

// Whether one EMF record, lying whole inside the file, may be handed to the drawing.
bool emfRecordIsDrawable(const char* record);

// `emf`: the metafile up to and with its end record; `headerSize`: the size of its header record.
QImage drawEmf(std::string emf, std::uint64_t headerSize, MetafilePixels size);

// `wmf`: a placeable metafile up to and with its end record, its header telling its true size
// and longest record; `points`: the placeable box in points (1/72 inch).
QImage drawWmf(std::string wmf, MetafilePixels size, QSizeF points);

} // namespace zub
