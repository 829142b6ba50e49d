// The code page decoder and encoder. Any bytes decoded and encoded again come back exactly, and
// the encoder's count of bytes agrees; decoding the result again gives the same text; encoding
// any UTF-16 loses nothing but unpaired surrogates, and an escaped byte comes back as its byte;
// stepping by characters covers the bytes exactly; upper-casing keeps every character's length.

#include "fuzz_check.h"
#include "text/codepage.h"
#include "text/encoding_guess.h"
#include "text/utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// `text` with every unpaired surrogate replaced by '?'.
std::u16string pairedOnly(const std::u16string& text) {
    std::u16string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (isHighSurrogate(out[i]) && i + 1 < out.size() && isLowSurrogate(out[i + 1]))
            ++i;
        else if (isHighSurrogate(out[i]) || isLowSurrogate(out[i]))
            out[i] = u'?';
    }
    return out;
}

bool hasUnpairedEscape(const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        else if (zub::cp::isEscapedByte(text[i]))
            return true;
    }
    return false;
}

// What fromUtf16 makes of `text`, character by character: unpaired surrogates become their
// escaped byte or '?'.
std::string encodedPieceByPiece(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            out += zub::cp::fromUtf16(text.substr(i, 2));
            ++i;
        } else if (zub::cp::isEscapedByte(text[i])) {
            out.push_back(static_cast<char>(text[i] - 0xDC00));
        } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
            out.push_back('?');
        } else {
            out += zub::cp::fromUtf16(text.substr(i, 1));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zub;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Decode, encode: the same bytes; decode again: the same text.
    const std::u16string decoded = cp::toUtf16(bytes);
    const std::string encoded = cp::fromUtf16(decoded);
    ZUB_FUZZ_CHECK(encoded == bytes);
    ZUB_FUZZ_CHECK(cp::byteLength(decoded) == bytes.size());

    // Telling UTF-8 from the code page reads any file's bytes: it says UTF-8 only of
    // well-formed UTF-8.
    if (encoding::looksLikeUtf8(bytes)) ZUB_FUZZ_CHECK(utf8::isValid(bytes));
    ZUB_FUZZ_CHECK(cp::toUtf16(encoded) == decoded);
    // Through UTF-8 and back, where the bytes hold only characters.
    if (!hasUnpairedEscape(decoded)) {
        const std::string utf8 = utf8::fromCodePage(bytes, utf8::StrayBytes::Keep);
        ZUB_FUZZ_CHECK(utf8::isValid(utf8));
        ZUB_FUZZ_CHECK(utf8::toCodePage(utf8) == bytes);
    }

    // The same bytes read as UTF-16 code units, for the encoder on its own.
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string fromUnits = cp::fromUtf16(units);
    ZUB_FUZZ_CHECK(fromUnits == encodedPieceByPiece(units));
    ZUB_FUZZ_CHECK(cp::byteLength(units) == fromUnits.size());
    // Escaped bytes alone may pair up into other characters; without them every character
    // comes back.
    if (!hasUnpairedEscape(units)) ZUB_FUZZ_CHECK(cp::toUtf16(fromUnits) == pairedOnly(units));

    // Characters tile the bytes, and stepping back finds each start again.
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = cp::charLength(bytes, pos);
        ZUB_FUZZ_CHECK(length == 1 || length == 2 || length == 4);
        ZUB_FUZZ_CHECK(cp::previousCharStart(bytes, pos + length) == pos);
        pos += length;
    }
    ZUB_FUZZ_CHECK(pos == bytes.size());
    ZUB_FUZZ_CHECK(cp::charLength(bytes, bytes.size()) == 0);

    const std::string upper = cp::toUpper(bytes);
    ZUB_FUZZ_CHECK(upper.size() == bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += cp::charLength(bytes, i))
        ZUB_FUZZ_CHECK(cp::charLength(upper, i) == cp::charLength(bytes, i));
    return 0;
}
