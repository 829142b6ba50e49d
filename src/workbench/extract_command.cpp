#include "workbench/extract_command.h"

#include "cliplist/clip_entry.h"

namespace zub {

std::string extractedText(std::string_view entry, std::string_view prefix,
                          std::string_view suffix) {
    const std::string_view piece = clipText(entry);
    std::string text;
    text.reserve(prefix.size() + piece.size() + suffix.size());
    text.append(prefix).append(piece).append(suffix);
    return text;
}

} // namespace zub
