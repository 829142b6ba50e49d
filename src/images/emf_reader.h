#pragma once

#include "images/picture.h"

#include <string>
#include <string_view>

namespace zub {

// Whether `bytes` begin with the header record of an enhanced metafile.
bool looksLikeEmf(std::string_view bytes);

// An enhanced metafile: its header and every record checked, drawn through libemf2svg at the
// size its frame gives on the reference device it was made for. The picture keeps the file's
// bytes. Throws zub::Error "Metafile is not valid".
Picture readEmf(std::string bytes);

} // namespace zub
