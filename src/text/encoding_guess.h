#pragma once

// Telling UTF-8 from the code page in a file that carries no mark of its own.
//
// Well-formed UTF-8 with characters of more than one byte is rarely anything else: GBK text
// passes as UTF-8 only in runs of a few characters. The other way round is common: most UTF-8
// texts in European scripts, and a third of short Chinese ones, are also valid GBK byte for byte.
// So a text that is both is read both ways, and each reading is counted for what real text
// seldom holds. The code page's reading of UTF-8 is full of rare characters (GBK's extensions,
// private use, four-byte codes): UTF-8's continuation bytes fall outside GB2312's trail range
// half of the time. UTF-8's reading of GBK jumps between unrelated alphabets from character to
// character (Hebrew, then a combining accent; Greek, then Armenian). The reading with fewer
// oddities wins, and UTF-8 wins a tie.

#include <cstddef>
#include <string_view>

namespace zub::encoding {

// What each reading of the text holds that real text seldom does.
struct Oddities {
    std::size_t codePage = 0;
    std::size_t utf8 = 0;
};
// Looks at the first `budget` bytes at most: a long text has settled the question by then.
Oddities countOddities(std::string_view bytes, std::size_t budget = 1 << 16);

// Whether a text with no byte-order mark is UTF-8: well-formed, with at least one character of
// more than one byte, and no more odd read as UTF-8 than read in the code page.
bool looksLikeUtf8(std::string_view bytes);

} // namespace zub::encoding
