#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct UCollator;

namespace zub {

// The locale's string order at secondary strength: case is ignored, accents are not, and with a
// Chinese locale Chinese sorts by pinyin. Compares code-page byte strings.
class Collator {
public:
    // An empty locale name means the user's locale.
    explicit Collator(const std::string& locale = {});
    ~Collator();
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;

    int compare(std::string_view a, std::string_view b) const;

    // Byte key whose plain byte order (memcmp) is the collation order; for sorting many texts.
    std::string sortKey(std::string_view text) const;

    // The primary weight of a text's first collation element, when its first character decides
    // it alone: not ignorable, not starting a contraction with the character after it, and no
    // numeric or shifted handling in force. Texts that compare equal have equal leading
    // primaries wherever both are known, so a known difference rules equality out without the
    // collator: a search can skip most texts at the price of a table look-up each. Cached per
    // character.
    std::optional<std::uint32_t> leadingPrimary(std::string_view text) const;

private:
    struct Leading {
        static constexpr std::int64_t kUnknown = -2;
        static constexpr std::int64_t kUndecided = -1;
        std::int64_t primary = kUnknown;
        // Some contraction starts with the character: what follows it matters.
        bool contracts = false;
    };
    Leading& leadingSlot(std::string_view character) const;
    Leading computeLeading(std::string_view character) const;
    void findContractions() const;
    bool continuesContraction(char32_t first, std::string_view next) const;

    UCollator* m_collator;
    // leadingPrimary's knowledge: one- and two-byte characters by index, four-byte ones by value,
    // and for each character that starts contractions, the characters that may come second.
    mutable std::vector<Leading> m_leading;
    mutable std::unordered_map<std::uint32_t, Leading> m_fourByteLeading;
    mutable std::unordered_map<char32_t, std::unordered_set<char32_t>> m_contractionSeconds;
    mutable std::optional<bool> m_leadingUsable;
};

} // namespace zub
