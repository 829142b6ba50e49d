#pragma once

// "Hidden" on Linux: a name listed in its folder's ".hidden" file, one name a line, which file
// managers (Nautilus, Dolphin, Thunar, Caja) honour the way Explorer honours the hidden
// attribute. Names that start with a dot are hidden anyway and need no listing.

#include <filesystem>

namespace zub::hidden_files {

// Whether the parent folder's ".hidden" lists the name of `item`.
bool isListed(const std::filesystem::path& item);

// Adds the name of `item` to the parent folder's ".hidden" (created when missing), keeping every
// line already there; whether the name is listed afterwards. Never throws.
bool list(const std::filesystem::path& item);

} // namespace zub::hidden_files
