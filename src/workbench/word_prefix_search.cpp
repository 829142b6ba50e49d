#include "workbench/word_prefix_search.h"

#include "cliplist/clip_list.h"
#include "text/collation.h"
#include "workbench/byte_text.h"

#include <limits>

namespace zub {
namespace {

// The substring rule on a text read piecemeal: a 1-based position below 1 reads as 1, a position
// beyond the end or a length below 1 gives nothing, and the length is cut at the end.
struct Span {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

Span substringSpan(std::uint64_t textSize, std::int64_t position, std::int64_t length) {
    if (position < 1) position = 1;
    if (length <= 0 || static_cast<std::uint64_t>(position) > textSize) return {};
    const auto offset = static_cast<std::uint64_t>(position - 1);
    return {offset, std::min(static_cast<std::uint64_t>(length), textSize - offset)};
}

std::string read(const ByteText& text, Span span) {
    return span.length == 0 ? std::string() : text.bytes(span.offset, span.length);
}

std::int32_t clampedPosition(std::uint64_t position) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::min(position, kMax));
}

} // namespace

std::optional<std::size_t> WordPrefixSearch::run(const ByteText& text, std::uint64_t caret,
                                                 const ClipList& list, const Collator& collator) {
    return firstEntry(text, advance(text, caret), list, collator);
}

WordPrefixSearch::Word WordPrefixSearch::advance(const ByteText& text, std::uint64_t caret) {
    const std::uint64_t size = text.size();
    const auto p = static_cast<std::int64_t>(std::min(caret, size));
    // The second byte before the caret and the byte right before it.
    const std::string a = read(text, substringSpan(size, p - 1, 1));
    const std::string b = read(text, substringSpan(size, p, 1));

    if (a == "\r" || b == " ") {
        m_wordStart = clampedPosition(static_cast<std::uint64_t>(p) + 1);
        return {};
    }
    const Span word = substringSpan(size, m_wordStart, p + 1 - m_wordStart);
    return {word.offset, word.length};
}

std::optional<std::size_t> WordPrefixSearch::firstEntry(const ByteText& text, Word word,
                                                        const ClipList& list,
                                                        const Collator& /*collator*/) {
    if (list.empty()) return std::nullopt;
    if (word.length == 0) return std::size_t{0};
    // No entry can begin with a word longer than itself; the word is read only when one could.
    if (word.length > list.entrySizeBound()) return std::nullopt;
    return list.findBeginning(read(text, {word.offset, word.length}));
}

} // namespace zub
