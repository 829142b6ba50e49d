#include "cliplist/clip_entry.h"

namespace zub {

std::size_t markerPosition(std::string_view entry) {
    return entry.find(kCommentMarker);
}

std::string_view clipText(std::string_view entry) {
    return entry.substr(0, markerPosition(entry));
}

std::optional<std::string_view> entryComment(std::string_view entry) {
    const std::size_t p = markerPosition(entry);
    if (p == std::string_view::npos) return std::nullopt;
    return entry.substr(p + kCommentMarker.size());
}

std::string_view entryTail(std::string_view entry) {
    const std::size_t p = markerPosition(entry);
    return p == std::string_view::npos ? std::string_view{} : entry.substr(p);
}

bool clipTextEquals(std::string_view entry, std::string_view text) {
    // The entry's clip text is `text` exactly when the entry starts with it and goes on with
    // nothing or with a marker, and `text` holds no marker of its own. The marker cannot overlap
    // itself, so no earlier marker can start inside `text` and end after it.
    if (entry.size() < text.size() || (!text.empty() && entry[0] != text[0]) ||
        entry.compare(0, text.size(), text) != 0)
        return false;
    const std::string_view rest = entry.substr(text.size());
    if (!rest.empty() && rest.substr(0, kCommentMarker.size()) != kCommentMarker) return false;
    return text.find(kCommentMarker) == std::string_view::npos;
}

} // namespace zub
