#pragma once

#include "images/picture.h"

#include <string>

namespace zub {

// A placeable Windows metafile: its two headers (the placeable key and checksum included) and
// the chain of records up to the end record checked, drawn through libwmf at the size its
// bounding box gives at 96 pixels per inch. The picture keeps the file's bytes. Throws
// zub::Error "Metafile is not valid".
Picture readWmf(std::string bytes);

} // namespace zub
