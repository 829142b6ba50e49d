#pragma once

// One clip entry is one line: the clip text, optionally followed by the comment marker and the
// entry comment. The first marker decides; a later one is part of the comment. The marker is
// case-sensitive and is matched as plain bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

inline constexpr std::string_view kCommentMarker = "[Zub]";

// 0-based byte offset of the first marker, or npos.
std::size_t markerPosition(std::string_view entry);

// Everything before the first marker; the whole entry when there is none.
std::string_view clipText(std::string_view entry);

// Everything after the first marker (possibly empty); nullopt when the entry has no marker.
std::optional<std::string_view> entryComment(std::string_view entry);

// The first marker and everything after it; empty when there is no marker.
std::string_view entryTail(std::string_view entry);

// True when the clip text of `entry` is exactly `text`, without searching the whole entry.
bool clipTextEquals(std::string_view entry, std::string_view text);

} // namespace zub
