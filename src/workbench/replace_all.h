#pragma once

// Replace All in one pass over the text. Done one replacement at a time, each a change of the
// editor with a search after it, a hundred thousand matches took minutes; here the matches are
// found in the text as it was (which gives the same matches: every search begins after the
// previous replacement, and the text from there on is the old text), the editor receives one
// change, and the word-prefix search is replayed for each replacement on the text as that
// replacement left it.

#include "workbench/text_search.h"
#include "workbench/word_prefix_search.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

class ClipList;
class Collator;

struct ReplaceAllResult {
    // Where each replacement stands: its end in the old text, and in the new text, where the
    // caret stood after it.
    struct Spot {
        std::size_t oldEnd = 0;
        std::size_t newEnd = 0;
    };
    std::vector<Spot> spots;
    // The one change to make: the old bytes [changeStart, oldChangeEnd) become `changed`.
    std::size_t changeStart = 0;
    std::size_t oldChangeEnd = 0;
    std::string changed;

    bool empty() const { return spots.empty(); }
    // The caret after the last replacement.
    std::size_t caret() const { return spots.empty() ? 0 : spots.back().newEnd; }
};

// Replaces, in `text` with the selection [selectionStart, selectionStart + selectionLength):
// the selection first when it equals the find text byte for byte, then every match of `search`
// from the selection's end down to the end of the text, each search beginning after the
// previous replacement (so a replacement is never searched again).
ReplaceAllResult replaceAll(std::string_view text, std::size_t selectionStart,
                            std::size_t selectionLength, const TextSearch& search,
                            std::string_view replacement);

// Runs the word-prefix search for every replacement of `result`, in order, as if each had been
// its own change with the caret after it: moves the word start, and returns the row that the
// last search selecting anything selected (nothing when none did).
std::optional<std::size_t> replayWordPrefixSearch(WordPrefixSearch& search,
                                                  std::string_view oldText,
                                                  const ReplaceAllResult& result,
                                                  const ClipList& list, const Collator& collator);

} // namespace zub
