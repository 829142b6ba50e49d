// The workbench search takes any bytes the user's text holds. Whatever it finds must be what a
// plain scan over every character boundary finds, and Replace All must give the text that
// replacing match after match gives.
// Input: one byte of options, one for the find text's length, one for the start, the find text,
// then the text.

#include "fuzz_check.h"
#include "text/codepage.h"
#include "workbench/replace_all.h"
#include "workbench/text_search.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zub;

bool isWordByte(unsigned char b) {
    return (b >= '0' && b <= '9') || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
}

// The text cut into characters.
std::vector<std::string_view> characters(std::string_view s) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < s.size(); i += cp::charLength(s, i))
        out.push_back(s.substr(i, cp::charLength(s, i)));
    return out;
}

bool sameCharacter(std::string_view a, std::string_view b, bool matchCase) {
    if (a.size() != b.size()) return false;
    if (a.size() == 1 && !matchCase) return cp::toUpper(a) == cp::toUpper(b);
    return a == b;
}

// Whether the find text matches at character `c` of the text, by the rules spelled out.
bool matchesAt(const std::vector<std::string_view>& text, const std::vector<std::string_view>& find,
               std::size_t c, SearchOptions options, bool anyStart) {
    if (find.empty() || c + find.size() > text.size()) return false;
    for (std::size_t k = 0; k < find.size(); ++k)
        if (!sameCharacter(text[c + k], find[k], options.matchCase)) return false;
    const std::size_t end = c + find.size();
    auto isCrLf = [&](std::size_t i) {
        return i > 0 && i < text.size() && text[i - 1] == "\r" && text[i] == "\n";
    };
    if (isCrLf(c) || isCrLf(end)) return false;
    if (!options.wholeWord) return true;
    auto word = [&](std::size_t i) {
        return text[i].size() == 1 && isWordByte(static_cast<unsigned char>(text[i][0]));
    };
    if (end < text.size() && word(end)) return false;
    return anyStart || (word(c) && (c == 0 || !word(c - 1)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const SearchOptions options{(data[0] & 1) != 0, (data[0] & 2) != 0};
    const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t findLength = std::min<std::size_t>(data[1] % 8, rest.size());
    const std::string_view findText = rest.substr(0, findLength);
    const std::string_view text = rest.substr(findLength);

    const auto chars = characters(text);
    const auto findChars = characters(findText);
    std::vector<std::size_t> offsets{0};
    for (std::string_view c : chars) offsets.push_back(offsets.back() + c.size());
    const std::size_t startChar = data[2] % (chars.size() + 1);
    const std::size_t start = offsets[startChar];

    const TextSearch search(findText, options);
    std::optional<std::size_t> down;
    for (std::size_t c = startChar; c < chars.size() && !down; ++c)
        if (matchesAt(chars, findChars, c, options, c == startChar)) down = offsets[c];
    ZUB_FUZZ_CHECK(search.findDown(text, start) == down);

    std::optional<std::size_t> up;
    for (std::size_t c = 0; c + findChars.size() <= startChar; ++c) {
        const bool anyStart = c + findChars.size() == startChar;
        if (offsets[c + findChars.size()] - offsets[c] == findText.size() &&
            matchesAt(chars, findChars, c, options, anyStart))
            up = offsets[c];
    }
    ZUB_FUZZ_CHECK(search.findUp(text, start) == up);

    // Replace All from the start against one replacement after another.
    const std::string by = "<>";
    std::string slow(text);
    std::size_t replaced = 0;
    for (std::size_t from = start; const auto m = search.findDown(slow, from); ++replaced) {
        slow.replace(*m, findText.size(), by);
        from = *m + by.size();
    }
    const ReplaceAllResult fast = replaceAll(text, start, 0, search, by);
    ZUB_FUZZ_CHECK(fast.spots.size() == replaced);
    std::string applied(text.substr(0, fast.changeStart));
    applied += fast.changed;
    applied += text.substr(fast.oldChangeEnd);
    ZUB_FUZZ_CHECK(applied == slow);
    return 0;
}
