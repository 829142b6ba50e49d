#include "cliplist/entry_commands.h"

#include "cliplist/clip_entry.h"
#include "cliplist/clip_list.h"

namespace zub {

std::optional<std::string> recallText(const ClipList& list) {
    const std::optional<std::size_t> row = list.selection();
    if (!row || list.text(*row).empty()) return std::nullopt;
    return std::string(clipText(list.text(*row)));
}

std::optional<std::string> returnedEntry(std::string_view entry, std::string_view editText) {
    if (editText.empty()) return std::nullopt;
    std::string result(editText);
    result += entryTail(entry);
    return result;
}

std::string commentDefault(std::string_view entry) {
    return std::string(entryComment(entry).value_or(std::string_view{}));
}

std::optional<std::string> commentedEntry(std::string_view entry, std::string_view reply) {
    const bool hasMarker = markerPosition(entry) != std::string_view::npos;
    if (reply.empty() && !hasMarker) return std::nullopt;
    std::string result(hasMarker ? clipText(entry) : entry);
    if (!reply.empty()) {
        result += kCommentMarker;
        result += reply;
    }
    return result;
}

} // namespace zub
