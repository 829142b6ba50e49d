#include "text/collation.h"

#include "text/codepage.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace zub {

Collator::Collator(const std::string& locale) : m_locale(locale) {}

Collator::~Collator() {
    if (m_collator) ucol_close(m_collator);
}

UCollator* Collator::handle() const {
    // Opened on first use: the collation data is megabytes that a window which has not sorted or
    // compared anything yet need not hold.
    std::call_once(m_opened, [this] {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open(m_locale.empty() ? nullptr : m_locale.c_str(), &status);
        if (U_FAILURE(status)) throw std::runtime_error("ICU collator unavailable for " + m_locale);
        ucol_setStrength(m_collator, UCOL_SECONDARY);
        // Chinese tailorings move Han before Latin; the Windows list controls this program's
        // users know keep Latin letters first and Chinese after them, in pinyin order.
        ucol_setReorderCodes(m_collator, nullptr, 0, &status);
    });
    return m_collator;
}

namespace {
int sign(UCollationResult r) {
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}
} // namespace

int Collator::compare(std::string_view a, std::string_view b) const {
    return compareDecoded(cp::toUtf16(a), cp::toUtf16(b));
}

int Collator::compareDecoded(std::u16string_view a, std::u16string_view b) const {
    return sign(ucol_strcoll(
        handle(), reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
        reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size())));
}

std::string Collator::sortKey(std::string_view text) const {
    const std::u16string u = cp::toUtf16(text);
    const auto* chars = reinterpret_cast<const UChar*>(u.data());
    const auto length = static_cast<int32_t>(u.size());
    std::string key(u.size() * 4 + 16, '\0');
    auto* buffer = reinterpret_cast<uint8_t*>(key.data());
    int32_t needed =
        ucol_getSortKey(handle(), chars, length, buffer, static_cast<int32_t>(key.size()));
    if (needed > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(needed));
        buffer = reinterpret_cast<uint8_t*>(key.data());
        needed = ucol_getSortKey(handle(), chars, length, buffer, needed);
    }
    // The key ends in a NUL that memcmp order does not need.
    key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    return key;
}

namespace {

// The code points of a set's strings, one vector each; false when the set cannot be read.
bool setStrings(const USet* set, std::vector<std::u32string>& out) {
    const int32_t items = uset_getItemCount(set);
    std::vector<UChar> buffer(64);
    for (int32_t i = 0; i < items; ++i) {
        UChar32 start = 0, end = 0;
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = uset_getItem(set, i, &start, &end, buffer.data(),
                                      static_cast<int32_t>(buffer.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            buffer.resize(static_cast<std::size_t>(length) + 1);
            status = U_ZERO_ERROR;
            length = uset_getItem(set, i, &start, &end, buffer.data(),
                                  static_cast<int32_t>(buffer.size()), &status);
        }
        if (U_FAILURE(status)) return false;
        std::u32string text;
        if (length == 0) {
            // A range of single characters: each a string of its own.
            for (UChar32 c = start; c <= end; ++c) out.push_back({static_cast<char32_t>(c)});
            continue;
        }
        for (int32_t offset = 0; offset < length;) {
            UChar32 c = 0;
            U16_NEXT(buffer.data(), offset, length, c);
            text.push_back(static_cast<char32_t>(c));
        }
        out.push_back(std::move(text));
    }
    return true;
}

} // namespace

void Collator::findRuleCharacters() const {
    UErrorCode status = U_ZERO_ERROR;
    USet* contractions = uset_openEmpty();
    USet* withContexts = uset_openEmpty();
    ucol_getContractionsAndExpansions(handle(), contractions, nullptr, false, &status);
    ucol_getContractionsAndExpansions(handle(), withContexts, nullptr, true, &status);
    std::vector<std::u32string> plain, all;
    // Without the lists no character can be trusted to decide alone.
    if (U_FAILURE(status) || !setStrings(contractions, plain) || !setStrings(withContexts, all)) {
        m_quickUsable = false;
    } else {
        for (const std::u32string& text : plain)
            m_contractionSeconds[text[0]].insert(text.size() > 1 ? text[1] : 0);
        // A context rule ("y after x", listed as "xy") changes a character by what stands before
        // it: the characters after the first decide nothing alone. The first is only context.
        std::unordered_set<std::u32string> plainSet(plain.begin(), plain.end());
        for (const std::u32string& text : all)
            if (!plainSet.count(text)) m_contextCharacters.insert(text.begin() + 1, text.end());
    }
    uset_close(contractions);
    uset_close(withContexts);
}

Collator::CharacterClass Collator::classify(std::string_view character) const {
    CharacterClass result;
    result.number = CharacterClass::kUndecided;
    const std::u16string u = cp::toUtf16(character);
    if (u.empty()) return result;
    UChar32 code = 0;
    int32_t offset = 0;
    U16_NEXT(u.data(), offset, static_cast<int32_t>(u.size()), code);
    result.code = static_cast<char32_t>(code);
    result.combining = u_getCombiningClass(code) != 0;
    if (offset != static_cast<int32_t>(u.size()) || m_contextCharacters.count(result.code) != 0)
        return result;
    if (const auto it = m_contractionSeconds.find(result.code); it != m_contractionSeconds.end()) {
        result.seconds = &it->second;
        result.secondsCombining = std::all_of(it->second.begin(), it->second.end(), [](char32_t c) {
            return u_getCombiningClass(c) != 0;
        });
    }

    // Exactly one collation element (a long primary may take a continuation), and one that
    // weighs something at the first level.
    UErrorCode status = U_ZERO_ERROR;
    UCollationElements* elements =
        ucol_openElements(handle(), reinterpret_cast<const UChar*>(u.data()),
                          static_cast<int32_t>(u.size()), &status);
    if (U_FAILURE(status)) return result;
    const int32_t first = ucol_next(elements, &status);
    int32_t next = ucol_next(elements, &status);
    while (U_SUCCESS(status) && next != UCOL_NULLORDER && (next & 0xC0) == 0xC0)
        next = ucol_next(elements, &status);
    ucol_closeElements(elements);
    if (U_FAILURE(status) || first == UCOL_NULLORDER || next != UCOL_NULLORDER ||
        ucol_primaryOrder(first) == 0)
        return result;

    const auto [it, added] = m_classBySortKey.try_emplace(
        sortKey(character), static_cast<std::uint32_t>(m_classBySortKey.size()) + 2);
    result.number = it->second;
    return result;
}

const Collator::CharacterClass& Collator::slot(std::string_view text, std::size_t at,
                                               std::size_t length) const {
    const auto byte = [&text, at](std::size_t i) {
        return static_cast<unsigned char>(text[at + i]);
    };
    CharacterClass* found = nullptr;
    if (length <= 2) {
        if (m_classes.empty()) m_classes.resize(256 + 126 * 191);
        found = &m_classes[length == 1 ? byte(0) : 256 + (byte(0) - 0x81) * 191 + (byte(1) - 0x40)];
    } else {
        const std::uint32_t key = (std::uint32_t{byte(0)} << 24) | (std::uint32_t{byte(1)} << 16) |
                                  (std::uint32_t{byte(2)} << 8) | byte(3);
        found = &m_fourByteClasses[key];
    }
    if (found->number == CharacterClass::kUnknown) *found = classify(text.substr(at, length));
    return *found;
}

std::uint32_t Collator::characterClass(std::string_view text, std::size_t at,
                                       std::size_t length) const {
    const CharacterClass& character = slot(text, at, length);
    if (character.seconds && character.number != CharacterClass::kUndecided &&
        at + length < text.size()) {
        // A contraction may go on with the next character, or reach past combining marks.
        const CharacterClass& next = slot(text, at + length, cp::charLength(text, at + length));
        if (next.combining || (!character.secondsCombining && character.seconds->count(next.code)))
            return CharacterClass::kUndecided;
    }
    return character.number;
}

bool Collator::quickUsable() const {
    if (!m_quickUsable) {
        UErrorCode status = U_ZERO_ERROR;
        // With numbers read as numbers "01" equals "1", and shifted punctuation weighs nothing.
        m_quickUsable =
            ucol_getAttribute(handle(), UCOL_NUMERIC_COLLATION, &status) != UCOL_ON &&
            ucol_getAttribute(handle(), UCOL_ALTERNATE_HANDLING, &status) != UCOL_SHIFTED &&
            U_SUCCESS(status);
        if (*m_quickUsable) findRuleCharacters();
    }
    return *m_quickUsable;
}

const std::vector<std::uint32_t>* Collator::cutCharacterNumbers() const {
    if (!m_cutNumbersKnown) {
        m_cutNumbersKnown = true;
        if (!quickUsable()) return nullptr;
        std::vector<std::uint32_t> numbers;
        std::vector<char32_t> codes;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            const char byte = static_cast<char>(lead);
            const CharacterClass& alone = slot(std::string_view(&byte, 1), 0, 1);
            if (alone.number == CharacterClass::kUndecided || alone.combining) return nullptr;
            numbers.push_back(alone.number);
            codes.push_back(alone.code);
        }
        // A character that a contraction may start with looks at the character after it.
        for (const auto& [first, seconds] : m_contractionSeconds)
            for (const char32_t code : codes)
                if (seconds.count(code)) return nullptr;
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        m_cutNumbers = std::move(numbers);
    }
    return m_cutNumbers ? &*m_cutNumbers : nullptr;
}

std::optional<bool> Collator::quickEquals(std::string_view a, std::string_view b) const {
    if (a == b) return true;
    if (!quickUsable()) return std::nullopt;
    return quickEqualsFrom(a, 0, b, 0);
}

std::optional<bool> Collator::quickEqualsFrom(std::string_view a, std::size_t i, std::string_view b,
                                              std::size_t j) const {
    // Each character of either text that decides alone adds one collation element of its own,
    // and nothing after it can change those before it. So while both texts go on with such
    // characters, the first pair that differs makes the texts differ.
    while (i < a.size() && j < b.size()) {
        const std::size_t li = cp::charLength(a, i), lj = cp::charLength(b, j);
        const std::uint32_t ca = characterClass(a, i, li);
        const std::uint32_t cb = characterClass(b, j, lj);
        if (ca == CharacterClass::kUndecided || cb == CharacterClass::kUndecided)
            return std::nullopt;
        if (ca != cb) return false;
        i += li;
        j += lj;
    }
    // One text goes on: more elements unless what follows may weigh nothing.
    const std::string_view rest = i < a.size() ? a : b;
    for (std::size_t k = i < a.size() ? i : j; k < rest.size();) {
        const std::size_t length = cp::charLength(rest, k);
        if (characterClass(rest, k, length) == CharacterClass::kUndecided) return std::nullopt;
        k += length;
    }
    return i == a.size() && j == b.size();
}

Collator::Probe::Probe(const Collator& collator, std::string text)
    : m_collator(collator), m_text(std::move(text)) {
    if (!collator.quickUsable()) return;
    for (std::size_t i = 0; i < m_text.size(); i += cp::charLength(m_text, i)) {
        const std::size_t length = cp::charLength(m_text, i);
        m_starts.push_back(i);
        const bool loneLead = length == 1 && static_cast<unsigned char>(m_text[i]) >= 0x81 &&
                              static_cast<unsigned char>(m_text[i]) != 0xFF;
        m_reach.push_back(
            std::max(m_reach.empty() ? 0 : m_reach.back(), i + (loneLead ? 4 : length)));
        m_mayContract.push_back(collator.slot(m_text, i, length).seconds != nullptr);
        if (m_firstUndecided == m_starts.size() - 1 &&
            collator.characterClass(m_text, i, length) != CharacterClass::kUndecided)
            ++m_firstUndecided;
    }
}

std::optional<bool> Collator::Probe::quickEquals(std::string_view other) const {
    const std::size_t shared = static_cast<std::size_t>(
        std::mismatch(m_text.begin(), m_text.end(), other.begin(), other.end()).first -
        m_text.begin());
    if (shared == m_text.size() && shared == other.size()) return true;
    if (!m_collator.quickUsable()) return std::nullopt;
    // The characters told by the shared bytes alone are the same characters in both texts.
    const auto firstUnsure = std::partition_point(
        m_reach.begin(), m_reach.end(), [shared](std::size_t reach) { return reach <= shared; });
    auto same = static_cast<std::size_t>(firstUnsure - m_reach.begin());
    // Whether the last of them starts a contraction depends on what follows it.
    if (same > 0 && m_mayContract[same - 1]) --same;
    // The same characters in the same places decide alike; one that decides nothing ends it.
    if (m_firstUndecided < same) return std::nullopt;
    const std::size_t from = same < m_starts.size() ? m_starts[same] : m_text.size();
    return m_collator.quickEqualsFrom(m_text, from, other, from);
}

} // namespace zub
