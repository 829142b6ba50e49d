#include "text/codepage.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace zub::cp {
namespace {

constexpr int kLeadCount = 0xFE - 0x81 + 1;  // 126
constexpr int kTrailCount = 0xFE - 0x40 + 1; // 191
// GB18030 four-byte sequences in linear order; those below this index stand for BMP characters,
// those from kSupplementaryBase on for U+10000 upwards.
constexpr std::uint32_t kBmpFourByteCount = 39420;
constexpr std::uint32_t kSupplementaryBase = 189000;

bool isLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool isTrail(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool isDigit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}

// Whether byte c starts a character, read backwards, for a byte that can be neither a lead byte
// nor a digit of a four-byte sequence (ASCII letters, for one). Such a byte can only be the
// trail of a double-byte character, if it is a trail byte at all, and the lead bytes right
// before it then pair up from the first of them: it starts a character exactly when an even
// number of them precede it.
bool startsCharacterBackwards(const unsigned char* p, std::size_t c) {
    if (!isTrail(p[c])) return true;
    std::size_t leads = 0;
    while (leads < c && isLead(p[c - 1 - leads])) ++leads;
    return leads % 2 == 0;
}
bool isPrivateUse(char16_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}
int doubleIndex(unsigned char lead, unsigned char trail) {
    return (lead - 0x81) * kTrailCount + (trail - 0x40);
}

// Up to four bytes of one encoded character.
struct Encoded {
    std::uint8_t length = 0;
    std::array<char, 4> bytes{};
};

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openStrict(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter c(ucnv_open(name, &status));
    if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU converter missing: ") + name);
    ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return c;
}

// Decoding, encoding and upper-casing tables, built once from ICU's CP936 and GB18030 tables so
// that the hot paths (display, search, capture) are plain array look-ups.
struct Tables {
    std::array<char16_t, 256> single{}; // 0 where the byte is no character
    std::vector<char16_t> doubleByte;   // 0 where unassigned
    std::vector<Encoded> encode;        // per BMP code point
    std::vector<char16_t> fourByteBmp;  // linear index -> code point
    std::array<unsigned char, 128> upperAscii{};
    std::vector<std::uint16_t> upperDouble; // 0 where unchanged
    // Upper-case lead bytes that some other lead byte's character upper-cases into.
    std::array<bool, 256> leadReachedFromOthers{};

    Tables() {
        Converter cp936 = openStrict("windows-936");
        Converter gb18030 = openStrict("gb18030");

        auto decode = [](UConverter* c, const char* in, int length) -> char16_t {
            UChar out[4];
            UErrorCode status = U_ZERO_ERROR;
            ucnv_resetToUnicode(c);
            int n = ucnv_toUChars(c, out, 4, in, length, &status);
            return (U_SUCCESS(status) && n == 1) ? out[0] : 0;
        };

        for (int b = 0; b < 256; ++b) {
            if (isLead(static_cast<unsigned char>(b))) continue;
            char in = static_cast<char>(b);
            single[b] = b == 0 ? 0 : decode(cp936.get(), &in, 1);
        }
        single[0] = 0; // NUL is a character too, but never produced by a decoder look-up miss

        doubleByte.assign(kLeadCount * kTrailCount, 0);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char16_t c = decode(cp936.get(), in, 2);
                // A few dozen CP936 codes decode to private-use characters whose glyphs fonts
                // draw as the real characters that GB18030 assigns to the same bytes; showing
                // those real characters is what a user of the document expects.
                char16_t g = decode(gb18030.get(), in, 2);
                if ((c == 0 || isPrivateUse(c)) && g != 0 && !isPrivateUse(g)) c = g;
                doubleByte[doubleIndex(lead, trail)] = c;
            }
        }

        encode.assign(0x10000, Encoded{});
        fourByteBmp.assign(kBmpFourByteCount, 0);
        for (std::uint32_t code = 1; code < 0x10000; ++code) {
            if (code >= 0xD800 && code <= 0xDFFF) continue;
            const UChar u = static_cast<UChar>(code);
            Encoded e;
            char out[8];
            UErrorCode status = U_ZERO_ERROR;
            ucnv_resetFromUnicode(cp936.get());
            int n = ucnv_fromUChars(cp936.get(), out, sizeof out, &u, 1, &status);
            if (U_SUCCESS(status) && n >= 1 && n <= 2 && decodeOne(out, n) == code) {
                e.length = static_cast<std::uint8_t>(n);
            } else {
                status = U_ZERO_ERROR;
                ucnv_resetFromUnicode(gb18030.get());
                n = ucnv_fromUChars(gb18030.get(), out, sizeof out, &u, 1, &status);
                if (U_FAILURE(status) || (n != 2 && n != 4)) continue;
                if (n == 2 && decodeOne(out, 2) != code) continue; // would read back as another
                e.length = static_cast<std::uint8_t>(n);
                if (n == 4) fourByteBmp.at(linearIndex(out)) = static_cast<char16_t>(code);
            }
            std::memcpy(e.bytes.data(), out, e.length);
            encode[code] = e;
        }

        // A double-byte code that reads as a character CP936 writes otherwise (GB18030's A2 E3
        // for the euro sign, which CP936 writes as 80) would not come back as itself: it is no
        // character here, and its bytes cross one by one.
        for (int i = 0; i < kLeadCount * kTrailCount; ++i) {
            const Encoded& e = encode[doubleByte[i]];
            if (doubleByte[i] != 0 &&
                (e.length != 2 ||
                 static_cast<unsigned char>(e.bytes[0]) != 0x81 + i / kTrailCount ||
                 static_cast<unsigned char>(e.bytes[1]) != 0x40 + i % kTrailCount))
                doubleByte[i] = 0;
        }

        for (int b = 0; b < 128; ++b) upperAscii[b] = static_cast<unsigned char>(b);
        for (int b = 'a'; b <= 'z'; ++b) upperAscii[b] = static_cast<unsigned char>(b - 32);

        upperDouble.assign(kLeadCount * kTrailCount, 0);
        for (int i = 0; i < kLeadCount * kTrailCount; ++i) {
            char16_t c = doubleByte[i];
            if (c == 0) continue;
            UChar32 up = u_toupper(c);
            if (up == c || up > 0xFFFF) continue;
            const Encoded& target = encode[static_cast<std::size_t>(up)];
            if (target.length != 2) continue;
            upperDouble[i] =
                static_cast<std::uint16_t>((static_cast<unsigned char>(target.bytes[0]) << 8) |
                                           static_cast<unsigned char>(target.bytes[1]));
            const auto upperLead = static_cast<unsigned char>(target.bytes[0]);
            if (upperLead != 0x81 + i / kTrailCount) leadReachedFromOthers[upperLead] = true;
        }
    }

    static std::uint32_t linearIndex(const char* p) {
        auto b = [p](int i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(p[i]));
        };
        return (((b(0) - 0x81) * 10 + (b(1) - 0x30)) * 126 + (b(2) - 0x81)) * 10 + (b(3) - 0x30);
    }

    // Decodes one one- or two-byte character with the tables built so far.
    char16_t decodeOne(const char* p, int length) const {
        auto b0 = static_cast<unsigned char>(p[0]);
        if (length == 1) return isLead(b0) ? 0 : single[b0];
        auto b1 = static_cast<unsigned char>(p[1]);
        if (!isLead(b0) || !isTrail(b1)) return 0;
        return doubleByte[doubleIndex(b0, b1)];
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
}

// Code point of the four-byte sequence at p, or 0 when it stands for none.
char32_t decodeFourByte(const Tables& t, const char* p) {
    std::uint32_t linear = Tables::linearIndex(p);
    if (linear < kBmpFourByteCount) return t.fourByteBmp[linear];
    if (linear >= kSupplementaryBase && linear - kSupplementaryBase < 0x100000)
        return 0x10000 + (linear - kSupplementaryBase);
    return 0;
}

void appendFourByte(std::string& out, std::uint32_t linear) {
    char b[4];
    b[3] = static_cast<char>(0x30 + linear % 10);
    linear /= 10;
    b[2] = static_cast<char>(0x81 + linear % 126);
    linear /= 126;
    b[1] = static_cast<char>(0x30 + linear % 10);
    linear /= 10;
    b[0] = static_cast<char>(0x81 + linear);
    out.append(b, 4);
}

void appendEncoded(const Tables& t, std::string& out, char32_t code) {
    if (code >= 0x10000) {
        appendFourByte(out, kSupplementaryBase + (code - 0x10000));
        return;
    }
    if (code == 0) {
        out.push_back('\0');
        return;
    }
    const Encoded& e = t.encode[code];
    if (e.length == 0)
        out.push_back('?');
    else
        out.append(e.bytes.data(), e.length);
}

} // namespace

std::size_t previousCharStart(std::string_view s, std::size_t pos) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < pos && i < s.size(); i += charLength(s, i)) start = i;
    return start;
}

std::u16string toUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    appendUtf16(s, out);
    return out;
}

void appendUtf16(std::string_view s, std::u16string& out) {
    const Tables& t = tables();
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        const std::size_t len = charLength(s, i);
        char32_t code = 0;
        if (len == 1)
            code = t.single[b];
        else if (len == 2)
            code = t.doubleByte[doubleIndex(b, static_cast<unsigned char>(s[i + 1]))];
        else
            code = decodeFourByte(t, s.data() + i);
        if (code != 0) {
            appendUtf16(out, code);
        } else {
            for (std::size_t j = i; j < i + len; ++j) {
                const auto byte = static_cast<unsigned char>(s[j]);
                out.push_back(byte < 0x80 ? byte : escapedByte(byte));
            }
        }
        i += len;
    }
}

std::string fromUtf16(std::u16string_view text) {
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (isEscapedByte(static_cast<char16_t>(c))) {
            out.push_back(static_cast<char>(c - 0xDC00));
            continue;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back('?');
            continue;
        }
        appendEncoded(t, out, c);
    }
    return out;
}

std::size_t byteLength(std::u16string_view text) {
    // The tables are built when a character needs them: the empty editor a window starts with
    // has none, and building them costs a megabyte and some milliseconds.
    const Tables* t = nullptr;
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            ++length;
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            length += 4;
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            ++length; // the escaped byte, or '?'
        } else {
            // What appendEncoded writes: the character's bytes, or '?' for none.
            if (!t) t = &tables();
            length += std::max<std::size_t>(t->encode[c].length, 1);
        }
    }
    return length;
}

std::string toUpper(std::string_view s) {
    const Tables& t = tables();
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b < 0x80) {
            out[i] = static_cast<char>(t.upperAscii[b]);
            ++i;
            continue;
        }
        const std::size_t len = charLength(out, i);
        if (len == 2) {
            std::uint16_t up =
                t.upperDouble[doubleIndex(b, static_cast<unsigned char>(out[i + 1]))];
            if (up != 0) {
                out[i] = static_cast<char>(up >> 8);
                out[i + 1] = static_cast<char>(up & 0xFF);
            }
        } else if (len == 4) {
            char32_t code = decodeFourByte(t, out.data() + i);
            UChar32 up = code ? u_toupper(static_cast<UChar32>(code)) : 0;
            if (up != 0 && static_cast<char32_t>(up) != code) {
                std::string encoded;
                appendEncoded(t, encoded, static_cast<char32_t>(up));
                if (encoded.size() == 4) out.replace(i, 4, encoded);
            }
        }
        i += len;
    }
    return out;
}

namespace {

// Upper-cases the one character of `length` bytes at p into out; returns its length.
std::size_t upperCharacter(const Tables& t, const char* p, std::size_t length, char* out) {
    std::memcpy(out, p, length);
    const auto b = static_cast<unsigned char>(p[0]);
    if (length == 1) {
        if (b < 0x80) out[0] = static_cast<char>(t.upperAscii[b]);
    } else if (length == 2) {
        const std::uint16_t up = t.upperDouble[doubleIndex(b, static_cast<unsigned char>(p[1]))];
        if (up != 0) {
            out[0] = static_cast<char>(up >> 8);
            out[1] = static_cast<char>(up & 0xFF);
        }
    } else {
        const std::string upper = toUpper(std::string_view(p, length));
        std::memcpy(out, upper.data(), length);
    }
    return length;
}

// First position in [from, end) holding byte a or byte b, or npos. Eight bytes at a time: the
// edit-box search runs this over every entry on every keystroke, and a letter has two cases.
std::size_t findEither(const unsigned char* p, std::size_t from, std::size_t end, unsigned char a,
                       unsigned char b) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint64_t spreadA = kOnes * a;
    const std::uint64_t spreadB = kOnes * b;
    std::size_t i = from;
    for (; i + 8 <= end; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        const std::uint64_t xa = word ^ spreadA;
        const std::uint64_t xb = word ^ spreadB;
        // Exactly when some byte of xa or xb is zero.
        if ((((xa - kOnes) & ~xa) | ((xb - kOnes) & ~xb)) & kHigh) break;
    }
    for (; i < end; ++i)
        if (p[i] == a || p[i] == b) return i;
    return std::string_view::npos;
}

} // namespace

NoCaseFinder::NoCaseFinder(std::string_view needle) : m_upper(toUpper(needle)) {
    if (m_upper.empty()) return;
    const Tables& t = tables();
    const auto first = static_cast<unsigned char>(m_upper[0]);
    const std::size_t firstLength = charLength(m_upper, 0);
    if (first >= 'A' && first <= 'Z') {
        m_firstBytes = {static_cast<char>(first), static_cast<char>(first + 32)};
    } else if (firstLength == 1 || (firstLength == 2 && !t.leadReachedFromOthers[first])) {
        // Only ASCII letters change among one-byte characters, and upper-casing keeps the lead
        // byte of the double-byte characters it changes.
        m_firstBytes.assign(1, static_cast<char>(first));
    }
}

std::size_t NoCaseFinder::matchLength(std::string_view hay, std::size_t pos) const {
    // Byte for byte what searching the upper-cased haystack would compare, one character of the
    // haystack at a time; the last character may reach beyond the needle.
    const Tables& t = tables();
    char upper[4];
    std::size_t j = 0;
    while (j < m_upper.size()) {
        const std::size_t length = charLength(hay, pos + j);
        if (length == 0) return 0;
        upperCharacter(t, hay.data() + pos + j, length, upper);
        if (std::memcmp(upper, m_upper.data() + j, std::min(length, m_upper.size() - j)) != 0)
            return 0;
        j += length;
    }
    return j;
}

std::size_t NoCaseFinder::find(std::string_view hay) const {
    if (m_upper.empty() || hay.size() < m_upper.size()) return std::string_view::npos;
    const std::size_t lastStart = hay.size() - m_upper.size();
    std::size_t boundary = 0;
    if (m_firstBytes.empty()) {
        for (; boundary <= lastStart; boundary += charLength(hay, boundary))
            if (matchLength(hay, boundary) != 0) return boundary;
        return std::string_view::npos;
    }
    const auto first0 = static_cast<unsigned char>(m_firstBytes[0]);
    const auto first1 = static_cast<unsigned char>(m_firstBytes.back());
    const auto* bytes = reinterpret_cast<const unsigned char*>(hay.data());
    const bool backwards =
        !isLead(first0) && !isDigit(first0) && !isLead(first1) && !isDigit(first1);
    for (std::size_t from = 0;;) {
        const std::size_t candidate = first0 == first1
                                          ? hay.find(static_cast<char>(first0), from)
                                          : findEither(bytes, from, lastStart + 1, first0, first1);
        if (candidate > lastStart) return std::string_view::npos;
        bool starts;
        if (backwards) {
            starts = startsCharacterBackwards(bytes, candidate);
        } else {
            while (boundary < candidate) boundary += charLength(hay, boundary);
            starts = boundary == candidate;
        }
        if (starts && matchLength(hay, candidate) != 0) return candidate;
        from = candidate + 1;
    }
}

bool NoCaseFinder::isPrefixOf(std::string_view text) const {
    // A prefix ends where a character of the text ends.
    return m_upper.empty() ||
           (text.size() >= m_upper.size() && matchLength(text, 0) == m_upper.size());
}

std::size_t findOnBoundary(std::string_view hay, std::string_view needle) {
    if (needle.empty()) return std::string_view::npos;
    std::size_t boundary = 0;
    for (std::size_t from = 0;;) {
        const std::size_t found = hay.find(needle, from);
        if (found == std::string_view::npos) return found;
        while (boundary < found) boundary += charLength(hay, boundary);
        if (boundary == found) return found;
        from = found + 1;
    }
}

bool containsNoCase(std::string_view haystack, std::string_view needle) {
    return NoCaseFinder(needle).find(haystack) != std::string_view::npos;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return prefix.empty() || NoCaseFinder(prefix).isPrefixOf(text);
}

} // namespace zub::cp
