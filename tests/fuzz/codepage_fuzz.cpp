// The code page decoder and encoder. Decoding any bytes, encoding the result and decoding again
// gives the same text; encoding any UTF-16 loses nothing but unpaired surrogates; stepping by
// characters covers the bytes exactly; upper-casing keeps every character's length.

#include "fuzz_check.h"
#include "text/codepage.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zub;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Decode, encode, decode.
    const std::u16string decoded = cp::toUtf16(bytes);
    const std::string encoded = cp::fromUtf16(decoded);
    ZUB_FUZZ_CHECK(cp::toUtf16(encoded) == decoded);

    // The same bytes read as UTF-16 code units, for the encoder on its own.
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    ZUB_FUZZ_CHECK(cp::toUtf16(cp::fromUtf16(units)) == pairedOnly(units));

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
