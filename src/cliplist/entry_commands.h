#pragma once

// What the commands on one entry compute. The window applies the results: it puts the recalled
// text on the clipboard and into the edit box, and rewrites the selected entry in place.

#include <optional>
#include <string>
#include <string_view>

namespace zub {

class ClipList;

// Recall: the selected entry's clip text (empty for an entry that starts with the marker), or
// nullopt when nothing is selected or the selected entry is empty.
std::optional<std::string> recallText(const ClipList& list);

// Return: the edit box's text followed by the entry's tail, so a comment survives; nullopt when
// the edit box is empty.
std::optional<std::string> returnedEntry(std::string_view entry, std::string_view editText);

// Comment: what the input box starts with, the entry comment or nothing.
std::string commentDefault(std::string_view entry);

// Comment: the entry with its comment added, replaced or (for an empty reply) removed; nullopt
// when an entry without a comment gets an empty reply. Cancel replies with commentDefault().
std::optional<std::string> commentedEntry(std::string_view entry, std::string_view reply);

} // namespace zub
