#pragma once

// The program's code page: CP936 (GBK) extended without loss by GB18030's four-byte sequences.
// Every piece of text in the cores is a std::string of bytes in this code page. Text that CP936
// can hold keeps exactly its CP936 bytes, so documents stay byte-compatible with those written on
// a Chinese Windows system; anything else (an emoji, a rare letter) is written as the GB18030
// four-byte sequence instead of a question mark.

#include <cstddef>
#include <string>
#include <string_view>

namespace zub::cp {

// Bytes -> UTF-16, without loss: fromUtf16(toUtf16(b)) == b for any bytes b. A byte sequence
// that is no character of the code page (a lead byte without its trail, a cut-off or unassigned
// four-byte sequence, GB18030's second code for the euro sign) crosses byte by byte: each byte
// from 0x80 up as the unpaired low surrogate U+DC00 + byte, which no decoding of real text ever
// gives (GB18030 assigns bytes to every other code point, private use included), and each ASCII
// byte as itself.
std::u16string toUtf16(std::string_view bytes);
// The same added to the end of `out`, for many texts decoded into one buffer.
void appendUtf16(std::string_view bytes, std::u16string& out);

// The code unit that carries byte b (0x80..0xFF) which starts no character, and the byte that a
// code unit carries, if it is one of those.
constexpr char16_t escapedByte(unsigned char b) {
    return static_cast<char16_t>(0xDC00 + b);
}
constexpr bool isEscapedByte(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

// UTF-16 -> bytes. An escaped byte (see toUtf16) that is not the second half of a surrogate pair
// becomes its byte again; any other unpaired surrogate, which no encoding can hold, becomes '?'.
std::string fromUtf16(std::u16string_view text);

// The number of bytes fromUtf16(text) gives, counted without producing them: what an editor
// holding UTF-16 needs to tell positions in code-page bytes.
std::size_t byteLength(std::u16string_view text);

// Length in bytes (1, 2 or 4) of the character that starts at pos; 0 at or past the end.
// A lead byte that is not followed by a valid trail stands alone as a one-byte character. Only
// the shape counts: a four-byte sequence beyond the assigned ranges is one character here and
// toUtf16 carries its bytes one by one.
// Inline: searches step through every character of every entry.
inline std::size_t charLength(std::string_view s, std::size_t pos) {
    const std::size_t n = s.size();
    if (pos >= n) return 0;
    const auto b = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(pos);
    if (lead < 0x81 || lead == 0xFF || pos + 1 >= n) return 1;
    const unsigned char second = b(pos + 1);
    if (second >= 0x40 && second != 0x7F && second != 0xFF) return 2;
    if (second >= 0x30 && second <= 0x39 && pos + 3 < n && b(pos + 2) >= 0x81 &&
        b(pos + 2) <= 0xFE && b(pos + 3) >= 0x30 && b(pos + 3) <= 0x39)
        return 4;
    return 1;
}

// Start of the character that ends right before pos (pos itself must be a boundary).
std::size_t previousCharStart(std::string_view bytes, std::size_t pos);

// Upper-cases each character through Unicode and keeps the result only where it maps back into
// the code page as a character of the same byte length; the trail byte of a double-byte
// character is never changed on its own.
std::string toUpper(std::string_view bytes);

// Position of the first occurrence of needle in haystack that begins on a character boundary,
// or npos. Plain bytes: callers upper-case both sides first for a case-insensitive search.
// An empty needle matches nothing.
std::size_t findOnBoundary(std::string_view haystack, std::string_view needle);

// Case-insensitive tests through toUpper; "contains" matches only on a character boundary.
bool containsNoCase(std::string_view haystack, std::string_view needle);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

// One text looked for in many others without regard to case, as containsNoCase and
// startsWithNoCase would, but without upper-casing whole haystacks: only the places where the
// text's first character can start are looked at, upper-casing character by character there.
class NoCaseFinder {
public:
    explicit NoCaseFinder(std::string_view needle);
    // Position of the first match on a character boundary, or npos; an empty needle matches
    // nothing.
    std::size_t find(std::string_view haystack) const;
    bool isPrefixOf(std::string_view text) const;

private:
    // Bytes of the haystack's characters from pos that match the needle, 0 for no match.
    std::size_t matchLength(std::string_view haystack, std::size_t pos) const;

    std::string m_upper;
    // The bytes a character must start with to upper-case to the needle's first character;
    // none known means any character start may.
    std::string m_firstBytes;
};

} // namespace zub::cp
