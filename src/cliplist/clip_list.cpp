#include "cliplist/clip_list.h"

#include "cliplist/clip_entry.h"
#include "platform/memory.h"
#include "text/codepage.h"
#include "text/collation.h"

#include <algorithm>
#include <new>

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
    if (isChecked(row) == checked) return;
    m_store.setChecked(m_rows[row], checked);
    notify([row](ClipListListener& l) { l.changed(row, row); });
}

void ClipList::invertChecks() {
    if (m_rows.empty()) return;
    for (const EntryId id : m_rows) m_store.setChecked(id, !m_store.isChecked(id));
    const std::size_t last = m_rows.size() - 1;
    notify([last](ClipListListener& l) { l.changed(0, last); });
}

void ClipList::select(std::optional<std::size_t> row) {
    if (row && *row >= m_rows.size()) row.reset();
    if (row == m_selection) return;
    m_selection = row;
    notify([](ClipListListener& l) { l.selectionChanged(); });
}

void ClipList::setSorted(bool sorted) {
    if (sorted == m_sorted) return;
    m_sorted = sorted;
    if (sorted) sortEntries();
}

RowNumbers ClipList::collationOrder() const {
    // Every entry decoded once, into one buffer, then compared by the collator as it stands:
    // converting per comparison would decode each entry some forty times, and a sort key would
    // cost the whole text of every entry where most comparisons end within the first characters.
    // Equal entries keep their order, which is also what inserting them one by one at their
    // sorted places would give.
    const std::size_t n = m_rows.size();
    std::u16string decoded;
    decoded.reserve(m_store.liveBytes());
    adviseHugePages(decoded.data(), decoded.capacity() * sizeof(char16_t));
    // Where each row's text begins; it ends where the next row's begins.
    std::vector<std::size_t> starts(n + 1);
    for (std::size_t row = 0; row < n; ++row) {
        starts[row] = decoded.size();
        cp::appendUtf16(this->text(row), decoded);
    }
    starts[n] = decoded.size();
    const std::u16string_view all = decoded;
    RowNumbers order(n);
    for (std::size_t row = 0; row < n; ++row) order[row] = static_cast<std::uint32_t>(row);
    // A merge sort: it makes fewer comparisons than a quicksort, and far fewer where the list
    // holds long runs already in order, as lists numbered or copied in order do.
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_collator.compareDecoded(all.substr(starts[a], starts[a + 1] - starts[a]),
                                         all.substr(starts[b], starts[b + 1] - starts[b])) < 0;
    });
    return order;
}

void ClipList::permute(const RowNumbers& order) {
    EntryIds sorted;
    sorted.reserve(m_rows.capacity());
    for (const std::uint32_t i : order) sorted.push_back(m_rows[i]);
    m_rows = std::move(sorted);
    if (m_containsIndex.isBuilt()) keepIndexed([&] { m_containsIndex.permute(order); });
    rowsMoved();
}

void ClipList::sortEntries() {
    if (m_rows.size() < 2) return;
    const RowNumbers order = collationOrder();
    RowNumbers newRowOf(order.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow)
        newRowOf[order[newRow]] = static_cast<std::uint32_t>(newRow);
    notify([](ClipListListener& l) { l.beforeReorder(); });
    permute(order);
    notify([&newRowOf](ClipListListener& l) { l.afterReorder(newRowOf); });
}

std::size_t ClipList::sortedPlace(std::string_view text) const {
    // After the last entry that sorts at or before the new one, so equal entries stay in the
    // order they came in.
    std::size_t low = 0, high = m_rows.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (m_collator.compare(text, this->text(mid)) < 0)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

std::size_t ClipList::add(std::string_view text) {
    const std::size_t row = m_sorted ? sortedPlace(text) : m_rows.size();
    const EntryId id = m_store.add(text);
    m_index.insert(clipText(text), id);
    notify([row](ClipListListener& l) { l.beforeInsert(row, 1); });
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(row), id);
    indexAdded(row, id);
    const bool selectionMoved = m_selection && *m_selection >= row;
    if (selectionMoved) ++*m_selection;
    notify([](ClipListListener& l) { l.afterInsert(); });
    if (selectionMoved) notify([](ClipListListener& l) { l.selectionChanged(); });
    return row;
}

void ClipList::assign(const std::vector<std::string>& texts) {
    EntryStore store;
    EntryIds rows;
    rows.reserve(texts.size());
    for (const std::string& t : texts) rows.push_back(store.add(t));
    replaceContents(std::move(store), std::move(rows));
}

void ClipList::assignLines(std::string document, LineSpans lines) {
    EntryStore store;
    EntryIds rows = store.adopt(std::move(document), lines);
    LineSpans().swap(lines); // gone before the index takes its room
    replaceContents(std::move(store), std::move(rows));
}

void ClipList::replaceContents(EntryStore store, EntryIds rows) {
    // Everything that can run out of memory happens before the list changes: a list that
    // cannot be replaced stays as it was.
    ClipTextIndex index;
    index.rebuild(store, rows);
    notify([](ClipListListener& l) { l.beforeReset(); });
    m_store = std::move(store);
    m_rows = std::move(rows);
    m_index = std::move(index);
    m_prefixIndex.drop();
    m_containsIndex.drop();
    rowsMoved();
    m_selection.reset();
    if (m_sorted && m_rows.size() > 1) {
        try {
            permute(collationOrder());
        } catch (const std::bad_alloc&) {
            // Left in the document's order; switching sorting off and on sorts it.
        }
    }
    notify([](ClipListListener& l) { l.afterReset(); });
    notify([](ClipListListener& l) { l.selectionChanged(); });
}

void ClipList::rewrite(std::size_t row, std::string_view text) {
    const EntryId id = m_rows[row];
    m_index.erase(clipText(m_store.text(id)), id);
    indexChanging(id);
    m_store.replace(id, text);
    m_index.insert(clipText(m_store.text(id)), id);
    indexChanged(row, id);
    notify([row](ClipListListener& l) { l.changed(row, row); });
    compactIfWorthIt();
}

void ClipList::narrowEach(
    const std::function<std::pair<std::size_t, std::size_t>(std::string_view)>& keep) {
    ChangedSpan span;
    EntryIds narrowed;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const EntryId id = m_rows[row];
        const std::string_view before = m_store.text(id);
        const auto [from, length] = keep(before);
        if (from == 0 && length >= before.size()) continue;
        m_index.erase(clipText(before), id);
        if (m_containsIndex.isBuilt()) keepIndexed([&] { m_containsIndex.forget(before); });
        m_store.narrow(id, from, length);
        m_index.insert(clipText(m_store.text(id)), id);
        if (m_containsIndex.isBuilt())
            keepIndexed([&] { m_containsIndex.set(row, m_store.text(id)); });
        if (m_prefixIndex.isBuilt()) keepIndexed([&] { narrowed.push_back(id); });
        span.add(row);
    }
    if (span.any) ++m_version;
    // Moved in the prefix index all together: one by one, each would move the ids after it.
    if (m_prefixIndex.isBuilt() && !narrowed.empty()) {
        keepIndexed([&] {
            m_prefixIndex.eraseFlagged(idFlags(narrowed));
            m_prefixIndex.insertMany(m_store, std::move(narrowed));
        });
    }
    if (span.any) notify([&span](ClipListListener& l) { l.changed(span.first, span.last); });
    compactIfWorthIt();
}

void ClipList::checkRows(const std::vector<bool>& turnOn) {
    ChangedSpan span;
    const std::size_t n = std::min(turnOn.size(), m_rows.size());
    for (std::size_t row = 0; row < n; ++row) {
        if (!turnOn[row] || isChecked(row)) continue;
        m_store.setChecked(m_rows[row], true);
        span.add(row);
    }
    if (span.any) notify([&span](ClipListListener& l) { l.changed(span.first, span.last); });
}

void ClipList::move(std::size_t from, std::size_t to) {
    if (from == to || from >= m_rows.size() || to >= m_rows.size()) return;
    notify([from, to](ClipListListener& l) { l.beforeMove(from, to); });
    const auto first = m_rows.begin();
    if (from < to)
        std::rotate(first + static_cast<std::ptrdiff_t>(from),
                    first + static_cast<std::ptrdiff_t>(from) + 1,
                    first + static_cast<std::ptrdiff_t>(to) + 1);
    else
        std::rotate(first + static_cast<std::ptrdiff_t>(to),
                    first + static_cast<std::ptrdiff_t>(from),
                    first + static_cast<std::ptrdiff_t>(from) + 1);
    if (m_containsIndex.isBuilt()) m_containsIndex.move(from, to);
    rowsMoved();
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
    const std::size_t n = std::min(doomed.size(), m_rows.size());
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

    // Each removal on its own probes the clip-text index; for many, one sweep of it costs less,
    // and far less where they share a text, as the blank entries Tidy deletes do.
    const bool sweep = removed * 256 >= m_index.size();
    if (sweep || m_prefixIndex.isBuilt()) {
        EntryIds gone;
        gone.reserve(removed);
        for (std::size_t row = 0; row < n; ++row)
            if (doomed[row]) gone.push_back(m_rows[row]);
        const std::vector<bool> flags = idFlags(gone);
        if (sweep) m_index.eraseFlagged(flags);
        if (m_prefixIndex.isBuilt()) keepIndexed([&] { m_prefixIndex.eraseFlagged(flags); });
    }
    for (std::size_t row = 0; row < n; ++row) {
        if (!doomed[row]) continue;
        const EntryId id = m_rows[row];
        if (!sweep) m_index.erase(clipText(m_store.text(id)), id);
        if (m_containsIndex.isBuilt())
            keepIndexed([&] { m_containsIndex.forget(m_store.text(id)); });
        m_store.remove(id);
    }
    rowsMoved();
    if (runs.size() <= kMaxRemovalRuns) {
        for (const auto& run : runs) {
            const std::size_t first = run.first, last = run.second;
            notify([first, last](ClipListListener& l) { l.beforeRemove(first, last); });
            m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(first),
                         m_rows.begin() + static_cast<std::ptrdiff_t>(last) + 1);
            if (m_containsIndex.isBuilt()) m_containsIndex.eraseRows(first, last);
            notify([](ClipListListener& l) { l.afterRemove(); });
        }
    } else {
        notify([](ClipListListener& l) { l.beforeReset(); });
        std::size_t out = 0;
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (i < n && doomed[i]) continue;
            m_rows[out++] = m_rows[i];
        }
        m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(out), m_rows.end());
        if (m_containsIndex.isBuilt()) m_containsIndex.keepRows(doomed);
        notify([](ClipListListener& l) { l.afterReset(); });
    }
    const bool selectionMoved = selection != m_selection || runs.size() > kMaxRemovalRuns;
    m_selection = selection;
    if (selectionMoved) notify([](ClipListListener& l) { l.selectionChanged(); });
    compactIfWorthIt();
    return removed;
}

std::size_t ClipList::removeChecked() {
    std::vector<bool> doomed(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) doomed[i] = isChecked(i);
    return removeRows(doomed);
}

void ClipList::clear() {
    assign({});
}

bool ClipList::containsClipText(std::string_view text) const {
    return m_index.contains(text, m_store);
}

std::vector<bool> ClipList::idFlags(const EntryIds& ids) const {
    std::vector<bool> flags(m_store.idLimit());
    for (const EntryId id : ids) flags[id] = true;
    return flags;
}

void ClipList::compactIfWorthIt() {
    // Rows are laid out in their order, so that walking the list walks memory forwards.
    if (m_store.wantsCompaction()) m_store.compact(m_rows);
}

} // namespace zub
