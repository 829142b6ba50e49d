#include "workbench/text_search.h"

#include "text/codepage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zub {
namespace {

using Bytes = std::array<unsigned char, 256>;

// The code page's upper-case mapping of each byte taken as a one-byte character.
const Bytes& upperBytes() {
    static const Bytes table = [] {
        Bytes t{};
        for (int b = 0; b < 256; ++b) {
            const std::string upper = cp::toUpper(std::string(1, static_cast<char>(b)));
            t[b] = static_cast<unsigned char>(upper.size() == 1 ? upper[0] : b);
        }
        return t;
    }();
    return table;
}

unsigned char at(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

bool isWordByte(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

bool splitsLineBreak(std::string_view text, std::size_t i) {
    return i > 0 && i < text.size() && text[i - 1] == '\r' && text[i] == '\n';
}

// How far ahead of the walk a candidate must lie before a shorter way to it is looked for.
constexpr std::size_t kFarAhead = 64;

// Bytes of the character at i; most text is ASCII, which needs no look at the next byte.
std::size_t step(std::string_view text, std::size_t i) {
    return at(text, i) < 0x80 ? 1 : cp::charLength(text, i);
}

} // namespace

// The positions in [from, end) holding a byte that can begin a match, in order: one or two
// byte values (a letter's two cases), each found by memchr.
class TextSearch::Candidates {
public:
    Candidates(std::string_view text, std::size_t from, std::size_t end, unsigned char first,
               unsigned char second)
        : m_data(text.data()), m_end(end), m_bytes{first, second} {
        m_next[0] = find(0, from);
        m_next[1] = first == second ? kNone : find(1, from);
    }

    std::size_t next() {
        const int i = m_next[0] <= m_next[1] ? 0 : 1;
        const std::size_t found = m_next[i];
        if (found != kNone) m_next[i] = find(i, found + 1);
        return found;
    }

    static constexpr std::size_t kNone = std::string_view::npos;

private:
    std::size_t find(int i, std::size_t from) const {
        if (from >= m_end) return kNone;
        const void* hit = std::memchr(m_data + from, m_bytes[i], m_end - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_data) : kNone;
    }

    const char* m_data;
    std::size_t m_end;
    unsigned char m_bytes[2];
    std::size_t m_next[2] = {kNone, kNone};
};

TextSearch::TextSearch(std::string_view findText, SearchOptions options)
    : m_needle(findText), m_folded(findText), m_options(options) {
    const Bytes& upper = upperBytes();
    for (std::size_t i = 0; i < m_folded.size();) {
        const std::size_t length = cp::charLength(m_folded, i);
        if (length == 1) m_folded[i] = static_cast<char>(upper[at(m_folded, i)]);
        i += length;
    }
    if (m_needle.empty()) return;
    const auto first = at(m_needle, 0);
    m_otherFirst = first;
    if (!options.matchCase && cp::charLength(m_needle, 0) == 1) {
        for (int b = 0; b < 256; ++b)
            if (b != first && upper[b] == upper[first])
                m_otherFirst = static_cast<unsigned char>(b);
    }
}

bool TextSearch::matchesAt(std::string_view text, std::size_t pos, bool matchCase) const {
    const Bytes& upper = upperBytes();
    const std::size_t n = m_needle.size();
    std::size_t i = pos;
    for (std::size_t j = 0; j < n;) {
        if (i >= text.size()) return false;
        // Character for character: a match that ended inside a character of the text, or
        // paired a lone byte of the find text with part of a longer one, is no match.
        const std::size_t length = step(text, i);
        if (length != cp::charLength(m_needle, j)) return false;
        if (length == 1) {
            const bool same =
                matchCase ? text[i] == m_needle[j] : upper[at(text, i)] == at(m_folded, j);
            if (!same) return false;
        } else if (std::memcmp(text.data() + i, m_needle.data() + j, length) != 0) {
            return false;
        }
        i += length;
        j += length;
    }
    return true;
}

bool TextSearch::endsWord(std::string_view text, std::size_t pos) const {
    return pos >= text.size() || !isWordByte(at(text, pos));
}

template <typename Visit>
void TextSearch::eachMatch(std::string_view text, std::size_t from, std::size_t lastStart,
                           std::size_t anyStart, Visit&& visit) const {
    const std::size_t n = m_needle.size();
    Candidates candidates(text, from, lastStart + 1, at(m_needle, 0), m_otherFirst);
    // The boundaries are walked from `from` up to each candidate, so that a candidate inside a
    // character is skipped and the character before it is known, for whole words.
    std::size_t boundary = from;
    std::size_t previous = from;
    for (std::size_t pos = candidates.next(); pos != Candidates::kNone; pos = candidates.next()) {
        if (pos - boundary > kFarAhead) {
            // A byte below '0' is never part of a longer character (lead bytes are 0x81 and
            // up, the bytes after them 0x30 and up), so the walk may start again at the last
            // one before the candidate instead of crossing everything since the last candidate.
            for (std::size_t k = pos - 1; k > boundary; --k) {
                if (at(text, k) < 0x30) {
                    boundary = k;
                    break;
                }
            }
        }
        while (boundary < pos) {
            previous = boundary;
            boundary += step(text, boundary);
        }
        if (boundary != pos || !matchesAt(text, pos, m_options.matchCase)) continue;
        // The editor holds CR LF as one line break, which a match may not split either.
        if (splitsLineBreak(text, pos) || splitsLineBreak(text, pos + n)) continue;
        if (m_options.wholeWord && pos != anyStart) {
            const bool wordStart =
                isWordByte(at(text, pos)) &&
                (pos == 0 ||
                 (pos > from && (pos - previous > 1 || !isWordByte(at(text, pos - 1)))));
            if (!wordStart) continue;
        }
        if (m_options.wholeWord && !endsWord(text, pos + n)) continue;
        if (!visit(pos)) return;
    }
}

std::optional<std::size_t> TextSearch::findDown(std::string_view text, std::size_t from) const {
    const std::size_t n = m_needle.size();
    if (n == 0 || from > text.size() || text.size() - from < n) return std::nullopt;
    std::optional<std::size_t> found;
    eachMatch(text, from, text.size() - n, from, [&found](std::size_t pos) {
        found = pos;
        return false;
    });
    return found;
}

std::optional<std::size_t> TextSearch::findUp(std::string_view text, std::size_t limit) const {
    const std::size_t n = m_needle.size();
    limit = std::min(limit, text.size());
    if (n == 0 || limit < n) return std::nullopt;
    // Boundaries are known only from the start of the text, so the walk goes forwards and
    // keeps the last match.
    std::optional<std::size_t> found;
    eachMatch(text, 0, limit - n, limit - n, [&found](std::size_t pos) {
        found = pos;
        return true;
    });
    return found;
}

bool TextSearch::equalsIgnoringCase(std::string_view bytes) const {
    return bytes.size() == m_needle.size() && matchesAt(bytes, 0, false);
}

} // namespace zub
