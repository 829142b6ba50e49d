#include "cliplist/clip_list.h"

#include "cliplist/clip_entry.h"
#include "platform/codepage.h"
#include "platform/collation.h"

#include <algorithm>
#include <numeric>

namespace zub {

namespace {
// Past this many separate runs of deleted rows a reset is cheaper for a view than one removal
// notice per run, and erasing run by run would move the tail of the vector each time.
constexpr std::size_t kMaxRemovalRuns = 16;

// Collects the rows of one bulk change so that a single notice can cover them.
struct ChangedSpan {
    std::size_t first = 0;
    std::size_t last = 0;
    bool any = false;
    void add(std::size_t row) {
        if (!any) first = row;
        last = row;
        any = true;
    }
};
} // namespace

ClipList::ClipList(const Collator& collator) : m_collator(collator) {}

void ClipList::addListener(ClipListListener* listener) {
    m_listeners.push_back(listener);
}

void ClipList::removeListener(ClipListListener* listener) {
    std::erase(m_listeners, listener);
}

void ClipList::setChecked(std::size_t row, bool checked) {
    if (m_entries[row].checked == checked) return;
    m_entries[row].checked = checked;
    notify([row](ClipListListener& l) { l.changed(row, row); });
}

void ClipList::invertChecks() {
    if (m_entries.empty()) return;
    for (Entry& e : m_entries) e.checked = !e.checked;
    const std::size_t last = m_entries.size() - 1;
    notify([last](ClipListListener& l) { l.changed(0, last); });
}

void ClipList::select(std::optional<std::size_t> row) {
    if (row && *row >= m_entries.size()) row.reset();
    if (row == m_selection) return;
    m_selection = row;
    notify([](ClipListListener& l) { l.selectionChanged(); });
}

void ClipList::setSorted(bool sorted) {
    if (sorted == m_sorted) return;
    m_sorted = sorted;
    if (sorted) sortEntries();
}

std::vector<std::size_t> ClipList::collationOrder() const {
    // One collation key per entry, then plain byte comparisons: the collator runs n times
    // instead of n log n times. The sort is stable, so equal entries keep their order, which is
    // also what inserting them one by one at their sorted places would give.
    std::vector<std::string> keys;
    keys.reserve(m_entries.size());
    for (const Entry& e : m_entries) keys.push_back(m_collator.sortKey(e.text));
    std::vector<std::size_t> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return order;
}

void ClipList::permute(const std::vector<std::size_t>& order) {
    std::vector<Entry> sorted;
    sorted.reserve(m_entries.size());
    for (std::size_t i : order) sorted.push_back(std::move(m_entries[i]));
    m_entries = std::move(sorted);
}

void ClipList::sortEntries() {
    if (m_entries.size() < 2) return;
    const std::vector<std::size_t> order = collationOrder();
    std::vector<std::size_t> newRowOf(order.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow) newRowOf[order[newRow]] = newRow;
    notify([](ClipListListener& l) { l.beforeReorder(); });
    permute(order);
    notify([&newRowOf](ClipListListener& l) { l.afterReorder(newRowOf); });
}

std::size_t ClipList::sortedPlace(std::string_view text) const {
    // After the last entry that sorts at or before the new one, so equal entries stay in the
    // order they came in.
    std::size_t low = 0, high = m_entries.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (m_collator.compare(text, m_entries[mid].text) < 0)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

std::size_t ClipList::add(std::string text) {
    const std::size_t row = m_sorted ? sortedPlace(text) : m_entries.size();
    notify([row](ClipListListener& l) { l.beforeInsert(row, 1); });
    m_entries.emplace(m_entries.begin() + static_cast<std::ptrdiff_t>(row), std::move(text));
    const bool selectionMoved = m_selection && *m_selection >= row;
    if (selectionMoved) ++*m_selection;
    notify([](ClipListListener& l) { l.afterInsert(); });
    if (selectionMoved) notify([](ClipListListener& l) { l.selectionChanged(); });
    return row;
}

void ClipList::assign(std::vector<std::string> texts) {
    notify([](ClipListListener& l) { l.beforeReset(); });
    m_entries.clear();
    m_entries.reserve(texts.size());
    for (std::string& t : texts) m_entries.emplace_back(std::move(t));
    m_selection.reset();
    if (m_sorted && m_entries.size() > 1) permute(collationOrder());
    notify([](ClipListListener& l) { l.afterReset(); });
    notify([](ClipListListener& l) { l.selectionChanged(); });
}

void ClipList::rewrite(std::size_t row, std::string text) {
    m_entries[row].text = std::move(text);
    notify([row](ClipListListener& l) { l.changed(row, row); });
}

void ClipList::rewriteEach(const std::function<bool(std::string&)>& edit) {
    ChangedSpan span;
    for (std::size_t row = 0; row < m_entries.size(); ++row) {
        Entry& e = m_entries[row];
        if (!edit(e.text)) continue;
        span.add(row);
    }
    if (span.any) notify([&span](ClipListListener& l) { l.changed(span.first, span.last); });
}

void ClipList::checkRows(const std::vector<bool>& turnOn) {
    ChangedSpan span;
    const std::size_t n = std::min(turnOn.size(), m_entries.size());
    for (std::size_t row = 0; row < n; ++row) {
        if (!turnOn[row] || m_entries[row].checked) continue;
        m_entries[row].checked = true;
        span.add(row);
    }
    if (span.any) notify([&span](ClipListListener& l) { l.changed(span.first, span.last); });
}

void ClipList::move(std::size_t from, std::size_t to) {
    if (from == to || from >= m_entries.size() || to >= m_entries.size()) return;
    notify([from, to](ClipListListener& l) { l.beforeMove(from, to); });
    const auto first = m_entries.begin();
    if (from < to)
        std::rotate(first + static_cast<std::ptrdiff_t>(from),
                    first + static_cast<std::ptrdiff_t>(from) + 1,
                    first + static_cast<std::ptrdiff_t>(to) + 1);
    else
        std::rotate(first + static_cast<std::ptrdiff_t>(to),
                    first + static_cast<std::ptrdiff_t>(from),
                    first + static_cast<std::ptrdiff_t>(from) + 1);
    const std::optional<std::size_t> before = m_selection;
    if (m_selection) {
        std::size_t& s = *m_selection;
        if (s == from)
            s = to;
        else if (from < s && s <= to)
            --s;
        else if (to <= s && s < from)
            ++s;
    }
    notify([](ClipListListener& l) { l.afterMove(); });
    if (before != m_selection) notify([](ClipListListener& l) { l.selectionChanged(); });
}

std::size_t ClipList::removeRows(const std::vector<bool>& doomed) {
    const std::size_t n = std::min(doomed.size(), m_entries.size());
    // Runs of doomed rows, last first, so that earlier row numbers stay valid while erasing.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::size_t removed = 0;
    for (std::size_t i = n; i > 0;) {
        if (!doomed[i - 1]) {
            --i;
            continue;
        }
        const std::size_t last = i - 1;
        while (i > 0 && doomed[i - 1]) --i;
        runs.emplace_back(i, last);
        removed += last - i + 1;
    }
    if (runs.empty()) return 0;

    std::optional<std::size_t> selection = m_selection;
    if (selection) {
        if (*selection < n && doomed[*selection]) {
            selection.reset();
        } else {
            std::size_t before = 0;
            for (std::size_t i = 0; i < std::min(*selection, n); ++i) before += doomed[i];
            *selection -= before;
        }
    }

    if (runs.size() <= kMaxRemovalRuns) {
        for (auto [first, last] : runs) {
            notify(
                [first = first, last = last](ClipListListener& l) { l.beforeRemove(first, last); });
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(first),
                            m_entries.begin() + static_cast<std::ptrdiff_t>(last) + 1);
            notify([](ClipListListener& l) { l.afterRemove(); });
        }
    } else {
        notify([](ClipListListener& l) { l.beforeReset(); });
        std::size_t out = 0;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (i < n && doomed[i]) continue;
            if (out != i) m_entries[out] = std::move(m_entries[i]);
            ++out;
        }
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(out), m_entries.end());
        notify([](ClipListListener& l) { l.afterReset(); });
    }
    const bool selectionMoved = selection != m_selection || runs.size() > kMaxRemovalRuns;
    m_selection = selection;
    if (selectionMoved) notify([](ClipListListener& l) { l.selectionChanged(); });
    return removed;
}

std::size_t ClipList::removeChecked() {
    std::vector<bool> doomed(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i) doomed[i] = m_entries[i].checked;
    return removeRows(doomed);
}

void ClipList::clear() {
    assign({});
}

std::optional<std::size_t> ClipList::findClipText(std::string_view text) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (clipTextEquals(m_entries[i].text, text)) return i;
    return std::nullopt;
}

std::optional<std::size_t> ClipList::findContaining(std::string_view text) const {
    const cp::NoCaseFinder finder(text);
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (finder.find(m_entries[i].text) != std::string_view::npos) return i;
    return std::nullopt;
}

} // namespace zub
