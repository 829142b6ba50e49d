#pragma once

#include <string>
#include <string_view>

namespace zub {

// What Extract puts into the workbench for an entry: the prefix, the entry's clip text (the
// comment never goes in) and the suffix, each possibly empty.
std::string extractedText(std::string_view entry, std::string_view prefix, std::string_view suffix);

} // namespace zub
