#include "cliplist/entry_prefix_index.h"

#include "text/codepage.h"

#include <algorithm>

namespace zub {
namespace {

constexpr std::uint32_t kEnd = 0;
constexpr std::uint32_t kStop = Collator::kUndecidedCharacter;
static_assert(kStop == 1, "the end sorts first, then a stop, then every character");

// A word's first characters pick the ranges; past these the entries found are only asked.
constexpr std::size_t kMostLookedAt = 64;

// Three numbers in one key, in the same order as the three one by one: no number reaches 2^21,
// since no locale gives that many characters numbers of their own.
constexpr int kNumberBits = 21;
constexpr std::uint64_t kLastNumber = (std::uint64_t{1} << kNumberBits) - 1;

// The numbers a text reads as, one by one; at its end, and from its first character that decides
// nothing alone on, the same end or stop again and again.
class Reading {
public:
    Reading(const Collator& collator, std::string_view text, std::size_t at = 0)
        : m_collator(collator), m_text(text), m_at(at) {}

    std::uint32_t next() {
        if (m_final != kGoingOn) return m_final;
        if (m_at >= m_text.size()) return m_final = kEnd;
        const std::size_t length = cp::charLength(m_text, m_at);
        const std::uint32_t number = m_collator.characterNumber(m_text, m_at, length);
        if (number == kStop) return m_final = kStop;
        m_at += length;
        return number;
    }
    // The bytes read so far.
    std::size_t offset() const { return m_at; }

private:
    const Collator& m_collator;
    std::string_view m_text;
    std::size_t m_at;
    static constexpr std::uint32_t kGoingOn = ~std::uint32_t{0};
    std::uint32_t m_final = kGoingOn;
};

} // namespace

WordPrefixMatcher::WordPrefixMatcher(const Collator& collator, std::string word)
    : m_collator(collator), m_word(collator, std::move(word)) {}

bool WordPrefixMatcher::matches(std::string_view entry) const {
    const std::string& word = m_word.text();
    if (entry.size() < word.size()) return false;
    const std::string_view head = entry.substr(0, word.size());
    if (const auto equal = m_word.quickEquals(head)) return *equal;
    return m_collator.compare(head, word) == 0;
}

bool EntryPrefixIndex::before(const EntryStore& store, EntryId a, EntryId b) const {
    if (a == b) return false;
    Reading ra(m_collator, store.text(a)), rb(m_collator, store.text(b));
    for (;;) {
        const std::uint32_t x = ra.next(), y = rb.next();
        if (x != y) return x < y;
        if (x <= kStop) return a < b;
    }
}

void EntryPrefixIndex::build(const EntryStore& store, const EntryIds& ids) {
    drop();
    // Sorted by three numbers at a time: entries that agree in them are read on together, three
    // more at a time, until they differ, end or stop. Most entries differ in their first three,
    // and comparing two keys is much cheaper than reading two entries.
    struct Item {
        std::uint64_t key;
        EntryId id;
        std::uint32_t at;
    };
    auto readOn = [this, &store](Item& item) {
        Reading reading(m_collator, store.text(item.id), item.at);
        std::uint64_t key = 0;
        for (int i = 0; i < 3; ++i) key = key << kNumberBits | reading.next();
        item.key = key;
        item.at = static_cast<std::uint32_t>(reading.offset());
    };
    std::vector<Item> items(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        items[i] = Item{0, ids[i], 0};
        readOn(items[i]);
    }
    auto byKey = [](const Item& a, const Item& b) {
        return a.key != b.key ? a.key < b.key : a.id < b.id;
    };
    std::vector<std::pair<std::size_t, std::size_t>> undecided;
    auto findUndecided = [&items, &undecided](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to;) {
            std::size_t j = i + 1;
            while (j < to && items[j].key == items[i].key) ++j;
            // The last of the three a character: none of them has ended or stopped.
            if (j - i > 1 && (items[i].key & kLastNumber) > kStop) undecided.emplace_back(i, j);
            i = j;
        }
    };
    std::sort(items.begin(), items.end(), byKey);
    findUndecided(0, items.size());
    while (!undecided.empty()) {
        const auto [from, to] = undecided.back();
        undecided.pop_back();
        for (std::size_t i = from; i < to; ++i) readOn(items[i]);
        std::sort(items.begin() + static_cast<std::ptrdiff_t>(from),
                  items.begin() + static_cast<std::ptrdiff_t>(to), byKey);
        findUndecided(from, to);
    }
    m_ids.reserve(ids.size() + ids.size() / 8);
    for (const Item& item : items) m_ids.push_back(item.id);
    m_built = true;
}

void EntryPrefixIndex::drop() {
    EntryIds().swap(m_ids);
    m_built = false;
}

void EntryPrefixIndex::insert(const EntryStore& store, EntryId id) {
    const auto at = std::lower_bound(m_ids.begin(), m_ids.end(), id,
                                     [&](EntryId x, EntryId y) { return before(store, x, y); });
    m_ids.insert(at, id);
}

void EntryPrefixIndex::erase(const EntryStore& store, EntryId id) {
    const auto at = std::lower_bound(m_ids.begin(), m_ids.end(), id,
                                     [&](EntryId x, EntryId y) { return before(store, x, y); });
    if (at != m_ids.end() && *at == id) m_ids.erase(at);
}

void EntryPrefixIndex::eraseFlagged(const std::vector<bool>& flaggedIds) {
    std::erase_if(m_ids,
                  [&flaggedIds](EntryId id) { return id < flaggedIds.size() && flaggedIds[id]; });
}

void EntryPrefixIndex::insertMany(const EntryStore& store, EntryIds ids) {
    auto less = [&](EntryId x, EntryId y) { return before(store, x, y); };
    std::sort(ids.begin(), ids.end(), less);
    EntryIds merged;
    merged.reserve(m_ids.size() + ids.size() + m_ids.size() / 8);
    auto from = m_ids.cbegin();
    for (const EntryId id : ids) {
        const auto at = std::lower_bound(from, m_ids.cend(), id, less);
        merged.insert(merged.end(), from, at);
        merged.push_back(id);
        from = at;
    }
    merged.insert(merged.end(), from, m_ids.cend());
    m_ids = std::move(merged);
}

bool EntryPrefixIndex::forEachCandidate(const EntryStore& store, std::string_view word,
                                        const std::function<void(EntryId, bool)>& visit) const {
    if (!m_collator.quickUsable()) return false;
    const std::vector<std::uint32_t>* cut = m_collator.cutCharacterNumbers();
    if (!cut) return false;
    std::vector<std::uint32_t> numbers;
    std::size_t at = 0;
    while (at < word.size() && numbers.size() < kMostLookedAt) {
        const std::size_t length = cp::charLength(word, at);
        const std::uint32_t number = m_collator.characterNumber(word, at, length);
        // An entry cut inside a character could read as a word holding its lead byte's number.
        if (number == kStop || std::binary_search(cut->begin(), cut->end(), number)) return false;
        numbers.push_back(number);
        at += length;
    }
    // Past the characters looked at, an entry that reads as the word so far is only a candidate.
    const bool wholeWord = at == word.size();

    auto numberAt = [this, &store](EntryId id, std::size_t j) {
        Reading reading(m_collator, store.text(id));
        std::uint32_t number = kEnd;
        for (std::size_t i = 0; i <= j; ++i) number = reading.next();
        return number;
    };
    // Within entries that agree in their first j numbers, the order is that of number j.
    auto bound = [&numberAt](EntryIds::const_iterator from, EntryIds::const_iterator to,
                             std::size_t j, std::uint32_t value, bool after) {
        return std::partition_point(from, to, [&](EntryId id) {
            const std::uint32_t number = numberAt(id, j);
            return after ? number <= value : number < value;
        });
    };
    auto first = m_ids.cbegin(), last = m_ids.cend();
    for (std::size_t j = 0; j < numbers.size(); ++j) {
        // Those that read as the word's first j numbers, then a stop.
        const auto stopFrom = bound(first, last, j, kStop, false);
        const auto stopTo = bound(stopFrom, last, j, kStop, true);
        for (auto it = stopFrom; it != stopTo; ++it) visit(*it, false);
        first = bound(stopTo, last, j, numbers[j], false);
        last = bound(first, last, j, numbers[j], true);
        if (first == last) return true;
    }
    // Those that read as the whole word: certain where its characters end where the word does.
    for (auto it = first; it != last; ++it) {
        bool certain = false;
        if (wholeWord) {
            Reading reading(m_collator, store.text(*it));
            for (std::size_t i = 0; i < numbers.size(); ++i) reading.next();
            certain = reading.offset() == word.size();
        }
        visit(*it, certain);
    }
    return true;
}

} // namespace zub
