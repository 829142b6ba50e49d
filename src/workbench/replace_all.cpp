#include "workbench/replace_all.h"

#include "cliplist/clip_list.h"
#include "workbench/byte_text.h"

#include <algorithm>
#include <unordered_set>

namespace zub {
namespace {

// The text as one replacement left it, the later ones not yet made: the new text up to the
// caret after that replacement, then the old text from the end of its match.
class TextAfterReplacement : public ByteText {
public:
    TextAfterReplacement(std::string_view oldText, const ReplaceAllResult& result,
                         std::size_t replacement)
        : m_old(oldText), m_result(result), m_spot(result.spots[replacement]) {}

    std::uint64_t size() const override { return m_spot.newEnd + (m_old.size() - m_spot.oldEnd); }

    std::string bytes(std::uint64_t offset, std::uint64_t count) const override {
        const std::uint64_t end = std::min(size(), offset + count);
        std::string out;
        for (std::uint64_t i = offset; i < end; ++i) out.push_back(byteAt(i));
        return out;
    }

private:
    char byteAt(std::uint64_t i) const {
        if (i < m_result.changeStart) return m_old[i];
        if (i < m_spot.newEnd) return m_result.changed[i - m_result.changeStart];
        return m_old[m_spot.oldEnd + (i - m_spot.newEnd)];
    }

    std::string_view m_old;
    const ReplaceAllResult& m_result;
    ReplaceAllResult::Spot m_spot;
};

} // namespace

ReplaceAllResult replaceAll(std::string_view text, std::size_t selectionStart,
                            std::size_t selectionLength, const TextSearch& search,
                            std::string_view replacement) {
    ReplaceAllResult result;
    std::size_t copied = 0; // old bytes up to here are in `changed` or before it
    auto replace = [&](std::size_t start, std::size_t end) {
        if (result.spots.empty()) copied = result.changeStart = start;
        result.changed.append(text.substr(copied, start - copied));
        result.changed.append(replacement);
        copied = end;
        result.spots.push_back({end, result.changeStart + result.changed.size()});
    };

    selectionStart = std::min(selectionStart, text.size());
    selectionLength = std::min(selectionLength, text.size() - selectionStart);
    std::size_t from = selectionStart + selectionLength;
    if (selectionLength > 0 && text.substr(selectionStart, selectionLength) == search.findText())
        replace(selectionStart, from);
    while (const auto match = search.findDown(text, from)) {
        from = *match + search.length();
        replace(*match, from);
    }
    result.oldChangeEnd = copied;
    return result;
}

std::optional<std::size_t> replayWordPrefixSearch(WordPrefixSearch& search,
                                                  std::string_view oldText,
                                                  const ReplaceAllResult& result,
                                                  const ClipList& list, const Collator& collator) {
    // The word start moves with every change; the selection is what the last search that
    // selected anything left, so the list is searched from the last word backwards.
    std::vector<WordPrefixSearch::Word> words;
    words.reserve(result.spots.size());
    for (std::size_t k = 0; k < result.spots.size(); ++k)
        words.push_back(
            search.advance(TextAfterReplacement(oldText, result, k), result.spots[k].newEnd));
    // A word longer than every entry, or one already looked for in vain, selects nothing: the
    // list need not be searched for it (a search of a long list for each of many replacements
    // is what makes Replace All slow).
    std::uint64_t longestEntry = 0;
    for (std::size_t row = 0; row < list.size(); ++row)
        longestEntry = std::max<std::uint64_t>(longestEntry, list.text(row).size());
    std::unordered_set<std::string> notFound;
    for (std::size_t k = words.size(); k-- > 0;) {
        if (list.empty()) break;
        if (words[k].length > longestEntry) continue;
        const TextAfterReplacement text(oldText, result, k);
        std::string word = text.bytes(words[k].offset, words[k].length);
        if (notFound.contains(word)) continue;
        if (const auto row = WordPrefixSearch::firstEntry(text, words[k], list, collator))
            return row;
        notFound.insert(std::move(word));
    }
    return std::nullopt;
}

} // namespace zub
