#include "text/utf8.h"

#include "text/codepage.h"

#include <cstddef>

namespace zub::utf8 {
namespace {

// Length of the well-formed sequence at i, or 0 when none starts there (RFC 3629, table 3-7 of
// the Unicode standard: the second byte's range depends on the first).
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto b = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = b(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // shorter forms
        if (lead == 0xED) high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (b(i + 1) < low || b(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
    return length;
}

char32_t decode(std::string_view s, std::size_t i, std::size_t length) {
    const auto b = [&s](std::size_t k) {
        return static_cast<char32_t>(static_cast<unsigned char>(s[k]));
    };
    switch (length) {
    case 1:
        return b(i);
    case 2:
        return ((b(i) & 0x1F) << 6) | (b(i + 1) & 0x3F);
    case 3:
        return ((b(i) & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
    default:
        return ((b(i) & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) |
               (b(i + 3) & 0x3F);
    }
}

void append(std::string& out, char32_t c) {
    auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

} // namespace

bool isValid(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        // Runs of ASCII are most of most files.
        while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
        if (i == bytes.size()) break;
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool hasMultiByte(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = sequenceLength(utf8, i);
        if (length == 0) {
            units.push_back(u'?');
            ++i;
            continue;
        }
        const char32_t c = decode(utf8, i, length);
        if (c < 0x10000) {
            units.push_back(static_cast<char16_t>(c));
        } else {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        i += length;
    }
    return units;
}

std::string toCodePage(std::string_view utf8) {
    return cp::fromUtf16(toUtf16(utf8));
}

std::string fromCodePage(std::string_view bytes, StrayBytes stray) {
    const std::u16string units = cp::toUtf16(bytes);
    std::string out;
    out.reserve(units.size() * 3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            append(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (cp::isEscapedByte(unit) && stray == StrayBytes::Keep) {
            out.push_back(static_cast<char>(unit - 0xDC00));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            append(out, 0xFFFD);
        } else {
            append(out, unit);
        }
    }
    return out;
}

} // namespace zub::utf8
