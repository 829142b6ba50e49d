#include "cliplist/bulk_commands.h"

#include "cliplist/clip_list.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace zub {

namespace {
// The blank and every control character, the bytes trimming removes; no byte of a double-byte
// character is this low, so trimming never cuts one.
bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

void tidy(ClipList& list) {
    // Entries that trim to nothing are left as they are here and only flagged: they are deleted
    // right after, and rewriting them first would only tell a view about rows about to vanish.
    std::vector<bool> empty(list.size());
    std::size_t row = 0;
    list.narrowEach([&empty, &row](std::string_view text) -> std::pair<std::size_t, std::size_t> {
        const std::size_t current = row++;
        std::size_t end = text.size();
        while (end > 0 && isTrimmed(text[end - 1])) --end;
        std::size_t begin = 0;
        while (begin < end && isTrimmed(text[begin])) ++begin;
        if (begin == end) {
            empty[current] = true;
            return {0, text.size()};
        }
        return {begin, end - begin};
    });
    list.removeRows(empty);
    list.checkRows(repeatedEntries(list));
}

std::vector<bool> repeatedEntries(const ClipList& list) {
    // The views point into the list's own strings, which stay put while nothing changes it.
    std::unordered_set<std::string_view> seen;
    seen.reserve(list.size());
    std::vector<bool> repeated(list.size());
    for (std::size_t row = 0; row < list.size(); ++row)
        repeated[row] = !seen.insert(list.text(row)).second;
    return repeated;
}

void moveSelected(ClipList& list, std::size_t to) {
    const std::optional<std::size_t> from = list.selection();
    if (!from || to >= list.size()) return;
    list.move(*from, to);
    list.select(to);
}

} // namespace zub
