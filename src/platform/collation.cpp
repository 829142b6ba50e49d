#include "platform/collation.h"

#include "platform/codepage.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

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

namespace {

char32_t firstCodePoint(const std::u16string& u) {
    if (u.empty()) return 0;
    UChar32 code = 0;
    int32_t offset = 0;
    U16_NEXT(u.data(), offset, static_cast<int32_t>(u.size()), code);
    return static_cast<char32_t>(code);
}

} // namespace

void Collator::findContractions() const {
    UErrorCode status = U_ZERO_ERROR;
    USet* contractions = uset_openEmpty();
    ucol_getContractionsAndExpansions(m_collator, contractions, nullptr, false, &status);
    // Without the list no character can be trusted to decide alone.
    if (U_FAILURE(status)) m_leadingUsable = false;
    const int32_t items = U_SUCCESS(status) ? uset_getItemCount(contractions) : 0;
    std::vector<UChar> buffer(64);
    for (int32_t i = 0; i < items; ++i) {
        UChar32 start = 0, end = 0;
        UErrorCode itemStatus = U_ZERO_ERROR;
        int32_t length = uset_getItem(contractions, i, &start, &end, buffer.data(),
                                      static_cast<int32_t>(buffer.size()), &itemStatus);
        if (itemStatus == U_BUFFER_OVERFLOW_ERROR) {
            buffer.resize(static_cast<std::size_t>(length) + 1);
            itemStatus = U_ZERO_ERROR;
            length = uset_getItem(contractions, i, &start, &end, buffer.data(),
                                  static_cast<int32_t>(buffer.size()), &itemStatus);
        }
        // Ranges (length 0) are single characters, which start no contraction.
        if (U_FAILURE(itemStatus) || length == 0) continue;
        UChar32 first = 0, second = 0;
        int32_t offset = 0;
        U16_NEXT(buffer.data(), offset, length, first);
        if (offset < length) U16_NEXT(buffer.data(), offset, length, second);
        m_contractionSeconds[static_cast<char32_t>(first)].insert(static_cast<char32_t>(second));
    }
    uset_close(contractions);
}

Collator::Leading Collator::computeLeading(std::string_view character) const {
    Leading leading;
    leading.primary = Leading::kUndecided;
    const std::u16string u = cp::toUtf16(character);
    if (u.empty()) return leading;
    leading.contracts = m_contractionSeconds.count(firstCodePoint(u)) != 0;
    UErrorCode status = U_ZERO_ERROR;
    UCollationElements* elements =
        ucol_openElements(m_collator, reinterpret_cast<const UChar*>(u.data()),
                          static_cast<int32_t>(u.size()), &status);
    if (U_FAILURE(status)) return leading;
    const int32_t order = ucol_next(elements, &status);
    ucol_closeElements(elements);
    if (U_FAILURE(status) || order == UCOL_NULLORDER) return leading;
    // The first 16 bits of the primary: a difference there is a difference of the primary. A
    // character ignorable at the first level decides nothing: the next one would.
    const auto primary = static_cast<std::uint32_t>(ucol_primaryOrder(order));
    if (primary != 0) leading.primary = primary;
    return leading;
}

bool Collator::continuesContraction(char32_t first, std::string_view next) const {
    const char32_t second = firstCodePoint(cp::toUtf16(next.substr(0, cp::charLength(next, 0))));
    // A combining mark may also be skipped over by a discontiguous contraction.
    return u_getCombiningClass(static_cast<UChar32>(second)) != 0 ||
           m_contractionSeconds.at(first).count(second) != 0;
}

Collator::Leading& Collator::leadingSlot(std::string_view character) const {
    const auto byte = [&character](std::size_t i) {
        return static_cast<unsigned char>(character[i]);
    };
    if (character.size() <= 2) {
        if (m_leading.empty()) m_leading.resize(256 + 126 * 191);
        return m_leading[character.size() == 1 ? byte(0)
                                               : 256 + (byte(0) - 0x81) * 191 + (byte(1) - 0x40)];
    }
    const std::uint32_t key = (std::uint32_t{byte(0)} << 24) | (std::uint32_t{byte(1)} << 16) |
                              (std::uint32_t{byte(2)} << 8) | byte(3);
    return m_fourByteLeading[key];
}

std::optional<std::uint32_t> Collator::leadingPrimary(std::string_view text) const {
    if (!m_leadingUsable) {
        UErrorCode status = U_ZERO_ERROR;
        // With numbers read as numbers, "01" equals "1"; shifted punctuation weighs nothing.
        m_leadingUsable =
            ucol_getAttribute(m_collator, UCOL_NUMERIC_COLLATION, &status) != UCOL_ON &&
            ucol_getAttribute(m_collator, UCOL_ALTERNATE_HANDLING, &status) != UCOL_SHIFTED &&
            U_SUCCESS(status);
        if (*m_leadingUsable) findContractions();
    }
    if (!*m_leadingUsable || text.empty()) return std::nullopt;

    const std::size_t length = cp::charLength(text, 0);
    const std::string_view character = text.substr(0, length);
    Leading& slot = leadingSlot(character);
    if (slot.primary == Leading::kUnknown) slot = computeLeading(character);
    if (slot.primary == Leading::kUndecided) return std::nullopt;
    if (slot.contracts && length < text.size()) {
        const char32_t first = firstCodePoint(cp::toUtf16(character));
        if (continuesContraction(first, text.substr(length))) return std::nullopt;
    }
    return static_cast<std::uint32_t>(slot.primary);
}

} // namespace zub
