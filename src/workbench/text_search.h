#pragma once

// Find and Replace look for a text in the workbench's code-page bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

struct SearchOptions {
    // Byte for byte; otherwise each one-byte character goes through the code page's upper-case
    // mapping on both sides.
    bool matchCase = false;
    // A word is a run of ASCII letters and digits; any other byte, each byte of a multi-byte
    // character included, separates words.
    bool wholeWord = false;
};

// One find text with its options, looked for in a text of code-page bytes. A match begins and
// ends on character boundaries: a byte-wise match could otherwise take the trail byte of a
// double-byte character, which no selection can show or replace. The bytes of a multi-byte
// character always compare exactly, so that a trail byte that happens to be a letter never
// makes two different characters equal. An empty find text matches nothing.
class TextSearch {
public:
    TextSearch(std::string_view findText, SearchOptions options);

    const std::string& findText() const { return m_needle; }
    std::size_t length() const { return m_needle.size(); }

    // The first match that begins at or after `from` (a character boundary), towards the end of
    // the text; no wrap-around. With whole word, a match right at `from` may begin inside a word.
    std::optional<std::size_t> findDown(std::string_view text, std::size_t from) const;
    // The nearest match that ends at or before `limit` (a character boundary), towards the start
    // of the text. With whole word, a match ending right at `limit` may begin inside a word.
    std::optional<std::size_t> findUp(std::string_view text, std::size_t limit) const;

    // Whether `bytes` is the find text without regard to case, whatever the options say.
    bool equalsIgnoringCase(std::string_view bytes) const;

private:
    class Candidates;

    // Calls visit(pos) for each match that begins in [from, lastStart], in order, while it
    // returns true; with whole word, one at `anyStart` may begin inside a word.
    template <typename Visit>
    void eachMatch(std::string_view text, std::size_t from, std::size_t lastStart,
                   std::size_t anyStart, Visit&& visit) const;
    bool matchesAt(std::string_view text, std::size_t pos, bool matchCase) const;
    bool endsWord(std::string_view text, std::size_t pos) const;

    std::string m_needle;
    // The find text with its one-byte characters upper-cased.
    std::string m_folded;
    // The byte that folds onto the first one (a letter's other case), or the first one itself.
    unsigned char m_otherFirst = 0;
    SearchOptions m_options;
};

} // namespace zub
