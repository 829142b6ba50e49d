#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zub {

// The substring of text at 1-based position `position`, `length` bytes long, forgiving like the
// classic string routines: a position below 1 reads as 1, a position beyond the end or a negative
// length gives the empty text, and the length is cut at the end of the text.
inline std::string substring(std::string_view text, long long position, long long length) {
    if (position < 1) position = 1;
    if (length <= 0 || position > static_cast<long long>(text.size())) return {};
    const auto start = static_cast<std::size_t>(position - 1);
    return std::string(text.substr(start, static_cast<std::size_t>(length)));
}

} // namespace zub
