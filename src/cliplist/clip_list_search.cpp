// The clip list's searches and the indexes that keep them quick on long lists.

#include "cliplist/clip_list.h"

#include "text/codepage.h"

#include <algorithm>
#include <new>

namespace zub {
namespace {

// Entries a search reads one by one before it turns to an index: a short list needs none, and
// where many entries match, the first match is usually among the first rows.
constexpr std::size_t kReadFirst = 256;
// Searches of the edit box remembered, so that Backspace finds its answer again.
constexpr std::size_t kMostKnownSearches = 32;

} // namespace

void ClipList::keepIndexed(const std::function<void()>& update) {
    try {
        update();
    } catch (const std::bad_alloc&) {
        // Half updated is wrong; gone, it is built again when a search needs it.
        m_prefixIndex.drop();
        m_containsIndex.drop();
    }
}

void ClipList::indexAdded(std::size_t row, EntryId id) {
    ++m_version;
    if (m_prefixIndex.isBuilt()) keepIndexed([&] { m_prefixIndex.insert(m_store, id); });
    if (m_containsIndex.isBuilt())
        keepIndexed([&] { m_containsIndex.insert(row, m_store.text(id)); });
    // A capture appends: the rows before it keep their numbers.
    if (!m_rowOfValid || row + 1 != m_rows.size()) {
        m_rowOfValid = false;
        return;
    }
    try {
        if (id >= m_rowOf.size()) m_rowOf.resize(m_store.idLimit());
        m_rowOf[id] = static_cast<std::uint32_t>(row);
    } catch (const std::bad_alloc&) {
        m_rowOfValid = false;
    }
}

void ClipList::indexChanging(EntryId id) {
    if (m_prefixIndex.isBuilt()) m_prefixIndex.erase(m_store, id);
    if (m_containsIndex.isBuilt()) keepIndexed([&] { m_containsIndex.forget(m_store.text(id)); });
}

void ClipList::indexChanged(std::size_t row, EntryId id) {
    ++m_version;
    if (m_prefixIndex.isBuilt()) keepIndexed([&] { m_prefixIndex.insert(m_store, id); });
    if (m_containsIndex.isBuilt()) keepIndexed([&] { m_containsIndex.set(row, m_store.text(id)); });
}

void ClipList::rowsMoved() {
    ++m_version;
    m_rowOfValid = false;
}

void ClipList::ensureRowOf() const {
    if (m_rowOfValid) return;
    m_rowOf.resize(m_store.idLimit());
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        m_rowOf[m_rows[row]] = static_cast<std::uint32_t>(row);
    m_rowOfValid = true;
}

std::optional<std::size_t> ClipList::findContaining(std::string_view text) const {
    if (text.empty()) return std::nullopt;
    std::string upper = cp::toUpper(text);
    if (m_knownVersion != m_version) {
        m_knownSearches.clear();
        m_knownVersion = m_version;
    }
    // Every entry that contains this text contains each beginning of it: the first match comes
    // no earlier than that of a text searched before that begins it, and there is none when
    // that one had none. So a word typed on letter by letter reads each entry about once.
    std::size_t from = 0;
    for (const KnownSearch& known : m_knownSearches) {
        if (known.upper == upper) return known.row;
        if (upper.starts_with(known.upper)) {
            if (!known.row) return std::nullopt;
            from = std::max(from, *known.row);
        }
    }
    const std::optional<std::size_t> row = scanContaining(text, upper, from);
    try {
        if (m_knownSearches.size() == kMostKnownSearches)
            m_knownSearches.erase(m_knownSearches.begin());
        m_knownSearches.push_back({std::move(upper), row});
    } catch (const std::bad_alloc&) {
        m_knownSearches.clear();
    }
    return row;
}

std::optional<std::size_t> ClipList::scanContaining(std::string_view text, std::string_view upper,
                                                    std::size_t from) const {
    const cp::NoCaseFinder finder(text);
    const std::size_t size = m_rows.size();
    std::size_t row = from;
    for (const std::size_t first = std::min(size, from + kReadFirst); row < first; ++row)
        if (finder.find(this->text(row)) != std::string_view::npos) return row;
    if (row == size) return std::nullopt;
    try {
        if (!m_containsIndex.isBuilt()) m_containsIndex.build(m_store, m_rows);
    } catch (const std::bad_alloc&) {
        m_containsIndex.drop();
    }
    if (m_containsIndex.isBuilt()) {
        if (!m_containsIndex.mayOccur(upper)) return std::nullopt;
        const ContainsIndex::Mask mask = ContainsIndex::mask(upper);
        for (row = m_containsIndex.nextCandidate(row, mask); row < size;
             row = m_containsIndex.nextCandidate(row + 1, mask))
            if (finder.find(this->text(row)) != std::string_view::npos) return row;
        return std::nullopt;
    }
    for (; row < size; ++row)
        if (finder.find(this->text(row)) != std::string_view::npos) return row;
    return std::nullopt;
}

std::optional<std::size_t> ClipList::findBeginning(std::string_view word) const {
    if (m_rows.empty()) return std::nullopt;
    if (word.empty()) return 0;
    if (word.size() > m_store.sizeBound()) return std::nullopt;
    const WordPrefixMatcher matcher(m_collator, std::string(word));
    const std::size_t first = std::min(m_rows.size(), kReadFirst);
    for (std::size_t row = 0; row < first; ++row)
        if (matcher.matches(text(row))) return row;
    if (first == m_rows.size()) return std::nullopt;
    try {
        if (!m_prefixIndex.isBuilt()) m_prefixIndex.build(m_store, m_rows);
        ensureRowOf();
        std::optional<std::size_t> best;
        const bool answered =
            m_prefixIndex.forEachCandidate(m_store, word, [&](EntryId id, bool certain) {
                const std::size_t row = m_rowOf[id];
                if (row < first || (best && row >= *best)) return;
                if (certain || matcher.matches(m_store.text(id))) best = row;
            });
        if (answered) return best;
    } catch (const std::bad_alloc&) {
        m_prefixIndex.drop();
        m_rowOfValid = false;
    }
    for (std::size_t row = first; row < m_rows.size(); ++row)
        if (matcher.matches(text(row))) return row;
    return std::nullopt;
}

} // namespace zub
