#include "cliplist/bulk_commands.h"

#include "cliplist/clip_list.h"
#include "cliplist/clip_text_index.h"

#include <bit>
#include <cstdint>
#include <string_view>

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
    const std::size_t n = list.size();
    std::vector<bool> repeated(n);
    if (n < 2) return repeated;
    // The rows are put in groups of about a thousand by the top bits of their texts' hashes, in
    // row order within each group; each group then gets a hash table of its own that stays in the
    // cache, where one table for a million entries would miss it on nearly every row.
    const int bits = std::bit_width(n >> 10);
    auto groupOf = [bits](std::uint64_t hash) {
        return bits == 0 ? std::size_t{0} : static_cast<std::size_t>(hash >> (64 - bits));
    };
    std::vector<std::uint64_t> hashes(n);
    std::vector<std::uint32_t> start((std::size_t{1} << bits) + 1);
    for (std::size_t row = 0; row < n; ++row) {
        hashes[row] = ClipTextIndex::hash(list.text(row));
        ++start[groupOf(hashes[row]) + 1];
    }
    for (std::size_t g = 1; g < start.size(); ++g) start[g] += start[g - 1];
    struct Keyed {
        std::uint64_t hash;
        std::uint32_t row;
    };
    std::vector<Keyed> grouped(n);
    {
        std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
        for (std::size_t row = 0; row < n; ++row)
            grouped[next[groupOf(hashes[row])]++] = {hashes[row], static_cast<std::uint32_t>(row)};
    }
    std::vector<std::uint64_t>().swap(hashes);

    // Each slot holds a place in `grouped` of the first entry with its text, or kEmpty.
    constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    std::vector<std::uint32_t> table;
    for (std::size_t g = 0; g + 1 < start.size(); ++g) {
        const std::size_t size = std::bit_ceil(2 * std::size_t{start[g + 1] - start[g]} + 2);
        table.assign(size, kEmpty);
        for (std::uint32_t k = start[g]; k < start[g + 1]; ++k) {
            const Keyed& entry = grouped[k];
            for (std::size_t i = entry.hash & (size - 1);; i = (i + 1) & (size - 1)) {
                if (table[i] == kEmpty) {
                    table[i] = k;
                    break;
                }
                const Keyed& first = grouped[table[i]];
                if (first.hash == entry.hash && list.text(first.row) == list.text(entry.row)) {
                    repeated[entry.row] = true;
                    break;
                }
            }
        }
    }
    return repeated;
}

void moveSelected(ClipList& list, std::size_t to) {
    const std::optional<std::size_t> from = list.selection();
    if (!from || to >= list.size()) return;
    list.move(*from, to);
    list.select(to);
}

} // namespace zub
