#include "platform/collation.h"

#include "platform/codepage.h"

#include <unicode/ucol.h>

#include <stdexcept>
#include <vector>

namespace zub {

Collator::Collator(const std::string& locale) {
    UErrorCode status = U_ZERO_ERROR;
    m_collator = ucol_open(locale.empty() ? nullptr : locale.c_str(), &status);
    if (U_FAILURE(status)) throw std::runtime_error("ICU collator unavailable for " + locale);
    ucol_setStrength(m_collator, UCOL_SECONDARY);
    // Chinese tailorings move Han before Latin; the Windows list controls this program's users
    // know keep Latin letters first and Chinese after them, in pinyin order.
    ucol_setReorderCodes(m_collator, nullptr, 0, &status);
}

Collator::~Collator() {
    ucol_close(m_collator);
}

int Collator::compare(std::string_view a, std::string_view b) const {
    const std::u16string ua = cp::toUtf16(a);
    const std::u16string ub = cp::toUtf16(b);
    UCollationResult r = ucol_strcoll(
        m_collator, reinterpret_cast<const UChar*>(ua.data()), static_cast<int32_t>(ua.size()),
        reinterpret_cast<const UChar*>(ub.data()), static_cast<int32_t>(ub.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

std::string Collator::sortKey(std::string_view text) const {
    const std::u16string u = cp::toUtf16(text);
    const auto* chars = reinterpret_cast<const UChar*>(u.data());
    const auto length = static_cast<int32_t>(u.size());
    std::string key(u.size() * 4 + 16, '\0');
    auto* buffer = reinterpret_cast<uint8_t*>(key.data());
    int32_t needed =
        ucol_getSortKey(m_collator, chars, length, buffer, static_cast<int32_t>(key.size()));
    if (needed > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(needed));
        buffer = reinterpret_cast<uint8_t*>(key.data());
        needed = ucol_getSortKey(m_collator, chars, length, buffer, needed);
    }
    // The key ends in a NUL that memcmp order does not need.
    key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    return key;
}

} // namespace zub
