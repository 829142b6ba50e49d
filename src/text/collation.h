#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
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
    // compare() for texts already decoded (cp::toUtf16), for sorting many texts decoded once
    // each: a comparison mostly ends within the first characters, where a sort key would cost
    // the whole text of every entry.
    int compareDecoded(std::u16string_view a, std::u16string_view b) const;

    // Whether two texts compare equal, decided without the collator where their characters
    // allow it, for a search that compares one text with many: nullopt when the collator must
    // decide. A character decides by itself when it always makes exactly one collation element
    // that is not ignorable, and takes part in no contraction or context rule; equal characters
    // of that kind get equal numbers (from their sort keys), cached per character. Up to the
    // first character of another kind, the texts are equal exactly as far as their numbers are.
    std::optional<bool> quickEquals(std::string_view a, std::string_view b) const;

    // What quickEquals knows, for an index that orders many texts by their characters: whether
    // it can decide anything for this locale, and the number of the character of `length` bytes
    // at `at` in `text` (as it stands there, before what follows it), from 2 on, or
    // kUndecidedCharacter where that character decides nothing alone.
    static constexpr std::uint32_t kUndecidedCharacter = 1;
    bool quickUsable() const;
    std::uint32_t characterNumber(std::string_view text, std::size_t at, std::size_t length) const {
        return characterClass(text, at, length);
    }
    // A text cut inside a multi-byte character ends in that character's lead byte standing alone.
    // Sorted, the numbers of the lead bytes 0x81..0xFE standing alone; null when one of them
    // decides nothing alone or may go on a contraction, so that a cut text is no plain text.
    const std::vector<std::uint32_t>* cutCharacterNumbers() const;

    // One text held against many others with quickEquals, faster where they begin with the same
    // bytes: the text's characters are looked at once, and the bytes others share with it are
    // passed over without looking at their characters again.
    class Probe {
    public:
        Probe(const Collator& collator, std::string text);
        const std::string& text() const { return m_text; }
        // The same answer as collator.quickEquals(text(), other).
        std::optional<bool> quickEquals(std::string_view other) const;

    private:
        const Collator& m_collator;
        std::string m_text;
        // Where each character of the text starts, and how far the bytes reach that tell where
        // it and those before it end (a lone lead byte is told by up to three more).
        std::vector<std::size_t> m_starts;
        std::vector<std::size_t> m_reach;
        // Per character: a contraction may start with it.
        std::vector<bool> m_mayContract;
        // The first character that decides nothing alone, or the number of characters.
        std::size_t m_firstUndecided = 0;
    };

private:
    // quickEquals from byte i of a and byte j of b on, all before them being equal.
    std::optional<bool> quickEqualsFrom(std::string_view a, std::size_t i, std::string_view b,
                                        std::size_t j) const;
    struct CharacterClass {
        static constexpr std::uint32_t kUnknown = 0;
        static constexpr std::uint32_t kUndecided = 1;
        // The character's number from 2 on, or one of the above.
        std::uint32_t number = kUnknown;
        char32_t code = 0;
        // A combining mark (canonical combining class above 0).
        bool combining = false;
        // Contractions start with the character and go on with these characters: only the next
        // character can tell whether one does here. Null when none starts with it.
        const std::unordered_set<char32_t>* seconds = nullptr;
        // All of them are combining marks.
        bool secondsCombining = false;
    };
    // The character of `length` bytes at `at`, classified.
    const CharacterClass& slot(std::string_view text, std::size_t at, std::size_t length) const;
    // The number of the character at `at` in `text`, or kUndecided.
    std::uint32_t characterClass(std::string_view text, std::size_t at, std::size_t length) const;
    CharacterClass classify(std::string_view character) const;
    void findRuleCharacters() const;

    UCollator* handle() const;

    std::string m_locale;
    mutable std::once_flag m_opened;
    mutable UCollator* m_collator = nullptr;
    // quickEquals's knowledge: one- and two-byte characters by index, four-byte ones by value;
    // for each character that starts contractions, the characters that may come second; the
    // characters that context rules name; the numbers by sort key.
    mutable std::vector<CharacterClass> m_classes;
    mutable std::unordered_map<std::uint32_t, CharacterClass> m_fourByteClasses;
    mutable std::unordered_map<char32_t, std::unordered_set<char32_t>> m_contractionSeconds;
    mutable std::unordered_set<char32_t> m_contextCharacters;
    mutable std::unordered_map<std::string, std::uint32_t> m_classBySortKey;
    mutable std::optional<bool> m_quickUsable;
    mutable std::optional<std::vector<std::uint32_t>> m_cutNumbers;
    mutable bool m_cutNumbersKnown = false;
};

} // namespace zub
