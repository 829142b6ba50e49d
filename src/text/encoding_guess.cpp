#include "text/encoding_guess.h"

#include "text/codepage.h"
#include "text/utf8.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/uscript.h>
#include <unicode/uset.h>

#include <memory>

namespace zub::encoding {
namespace {

// Scripts that one text mixes freely count as one: Chinese, Japanese and Korean writing.
int family(UScriptCode script) {
    switch (script) {
    case USCRIPT_HIRAGANA:
    case USCRIPT_KATAKANA:
    case USCRIPT_KATAKANA_OR_HIRAGANA:
    case USCRIPT_HANGUL:
    case USCRIPT_BOPOMOFO:
        return USCRIPT_HAN;
    default:
        return script;
    }
}

bool isLetter(std::int8_t type) {
    return type >= U_UPPERCASE_LETTER && type <= U_OTHER_LETTER;
}
bool isMark(std::int8_t type) {
    return type >= U_NON_SPACING_MARK && type <= U_COMBINING_SPACING_MARK;
}

// The characters that the legacy code pages of the world's big languages hold: what texts in
// those languages use nearly all the time. UTF-8's readings of GBK text are full of letters
// outside them (Ŀ, ʽ, ͼ, ѧ); real text, in any of those scripts, rarely has one.
class CommonCharacters {
public:
    CommonCharacters() : m_set(uset_openEmpty()) {
        for (const char* name :
             {"windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254",
              "windows-1255", "windows-1256", "windows-1257", "windows-1258", "windows-874",
              "iso-8859-3", "iso-8859-4", "iso-8859-10", "iso-8859-14", "iso-8859-16"})
            addHeldBy(name, nullptr);
        // From the East Asian ones only their own writing: they hold many a rare Latin letter.
        static const UChar kEastAsian[] =
            u"[[:Han:][:Hangul:][:Hiragana:][:Katakana:][:Bopomofo:]]";
        UErrorCode status = U_ZERO_ERROR;
        USet* eastAsian = uset_openPattern(kEastAsian, -1, &status);
        if (U_SUCCESS(status)) {
            for (const char* name : {"ibm-1386", "big5", "euc-kr", "shift_jis"})
                addHeldBy(name, eastAsian);
        }
        uset_close(eastAsian);
        // Vietnamese writes its letters precomposed, which its code page did not.
        uset_addRange(m_set.get(), 0x1EA0, 0x1EF9);
        for (const UChar32 c : {0x128, 0x129, 0x168, 0x169}) uset_add(m_set.get(), c); // Ĩĩ Ũũ
        uset_freeze(m_set.get());
    }
    bool contains(char32_t c) const { return uset_contains(m_set.get(), static_cast<UChar32>(c)); }

private:
    void addHeldBy(const char* converterName, const USet* within) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(converterName, &status);
        if (U_FAILURE(status)) return;
        USet* held = uset_openEmpty();
        ucnv_getUnicodeSet(converter, held, UCNV_ROUNDTRIP_SET, &status);
        if (within) uset_retainAll(held, within);
        if (U_SUCCESS(status)) uset_addAll(m_set.get(), held);
        uset_close(held);
        ucnv_close(converter);
    }

    struct Closer {
        void operator()(USet* set) const { uset_close(set); }
    };
    std::unique_ptr<USet, Closer> m_set;
};

const CommonCharacters& commonCharacters() {
    static const CommonCharacters common;
    return common;
}

// Odd characters in the UTF-8 reading: code points that text does not hold (unassigned, private
// use, C1 controls), an accent on no letter or on one of another script, and a letter right
// after a letter of another script with no space or punctuation between (ASCII letters are
// left out: "用C语言" is ordinary).
class Utf8Reading {
public:
    void add(char32_t c) {
        if (c < 0x80) {
            const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            m_base = letter ? USCRIPT_LATIN : kNone;
            m_letterFamily = kNone;
            return;
        }
        const auto type = static_cast<std::int8_t>(u_charType(static_cast<UChar32>(c)));
        UErrorCode status = U_ZERO_ERROR;
        const int script = family(uscript_getScript(static_cast<UChar32>(c), &status));
        const bool specific = script != USCRIPT_COMMON && script != USCRIPT_INHERITED;
        if (type == U_UNASSIGNED || type == U_PRIVATE_USE_CHAR || type == U_CONTROL_CHAR ||
            u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_NONCHARACTER_CODE_POINT)) {
            m_odd += 2;
            m_base = m_letterFamily = kNone;
        } else if (isMark(type)) {
            // An accent belongs on a letter, of its own script if it has one; the letter stays
            // the one before for what follows.
            if (m_base == kNone || (specific && script != m_base)) m_odd += 2;
        } else if (isLetter(type) && specific) {
            if (m_letterFamily != kNone && m_letterFamily != script) m_odd += 2;
            if (!commonCharacters().contains(c)) ++m_odd;
            m_base = m_letterFamily = script;
        } else {
            m_base = m_letterFamily = kNone;
        }
    }
    std::size_t oddities() const { return m_odd; }

private:
    static constexpr int kNone = -1;
    int m_base = kNone;         // the letter right before, ASCII or not: what an accent sits on
    int m_letterFamily = kNone; // the non-ASCII letter right before
    std::size_t m_odd = 0;
};

std::size_t utf8Oddities(std::string_view bytes) {
    Utf8Reading reading;
    const std::u16string units = utf8::toUtf16(bytes);
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        reading.add(c);
    }
    return reading.oddities();
}

// Odd characters in the code page's reading: anything outside GB2312, where nearly all of
// Chinese text stays (common symbols and the 6763 common characters, lead and trail bytes both
// A1 to FE), and bytes that are no character at all.
std::size_t codePageOddities(std::string_view bytes) {
    std::size_t odd = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = cp::charLength(bytes, i);
        if (lead >= 0x80) {
            const auto trail = length == 2 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
            const std::u16string one = cp::toUtf16(bytes.substr(i, length));
            const bool gb2312 = length == 2 && lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 &&
                                one.size() == 1 && !cp::isEscapedByte(one[0]) &&
                                u_charType(one[0]) != U_PRIVATE_USE_CHAR;
            if (!gb2312) odd += 2;
            // Chinese text puts a character next to a Latin word, seldom inside one: "caf茅s"
            // is é read as GB2312.
            const auto isAsciiLetter = [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            };
            if (i > 0 && i + length < bytes.size() && isAsciiLetter(bytes[i - 1]) &&
                isAsciiLetter(bytes[i + length]))
                odd += 2;
        }
        i += length;
    }
    return odd;
}

constexpr std::size_t kBudget = 1 << 16;

} // namespace

bool looksLikeUtf8(std::string_view bytes) {
    if (!utf8::isValid(bytes) || !utf8::hasMultiByte(bytes)) return false;
    if (bytes.size() > kBudget) {
        // Cut where a UTF-8 character starts, so that the UTF-8 reading stays well-formed.
        std::size_t cut = kBudget;
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
        bytes = bytes.substr(0, cut);
    }
    return utf8Oddities(bytes) <= codePageOddities(bytes);
}

} // namespace zub::encoding
