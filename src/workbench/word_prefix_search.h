#pragma once

// The word-prefix search: after every change of the workbench text, the first clip entry that
// begins with the word being typed is selected, so that Extract can insert it at once.

#include "cliplist/entry_prefix_index.h"
#include "text/collation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

class ByteText;
class ClipList;

// The search with its word start: a 1-based byte position in the text, kept for the whole run
// (not per line, not per document), 0 at first, that only the search itself moves.
class WordPrefixSearch {
public:
    // Runs the search for the text as the change left it, with the caret (selection start) at
    // byte `caret`, through the list's own collator. Returns the row to select, or nothing when no
    // entry matches (or the list is empty). Only the bytes near the caret and the word are read
    // from the text, and the word only when some entry is long enough to begin with it.
    std::optional<std::size_t> run(const ByteText& text, std::uint64_t caret, const ClipList& list,
                                   const Collator& collator);

    // run() in its two halves, for a caller that makes many changes at once and needs only the
    // outcome of the last search that selects something: the word start moves with every
    // change, but the list need only be searched for the last words.
    struct Word {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };
    // Moves the word start as the change requires; the current word's place in the text.
    Word advance(const ByteText& text, std::uint64_t caret);
    // The row that the search selects for that word, or nothing. The list compares through
    // its own collator, which is to be the one given here.
    static std::optional<std::size_t> firstEntry(const ByteText& text, Word word,
                                                 const ClipList& list, const Collator& collator);

    std::int32_t wordStart() const { return m_wordStart; }

private:
    std::int32_t m_wordStart = 0;
};

} // namespace zub
