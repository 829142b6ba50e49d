#pragma once

#include "cliplist/clip_text_index.h"
#include "cliplist/contains_index.h"
#include "cliplist/entry_prefix_index.h"
#include "cliplist/entry_store.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

class Collator;

// Row numbers, one for each entry of a list.
using RowNumbers = std::vector<std::uint32_t>;

// Told about every change of a ClipList, before and after, so that an item model can follow it
// row by row. Rows are 0-based.
class ClipListListener {
public:
    virtual ~ClipListListener() = default;
    virtual void beforeInsert(std::size_t /*row*/, std::size_t /*count*/) {}
    virtual void afterInsert() {}
    virtual void beforeRemove(std::size_t /*first*/, std::size_t /*last*/) {}
    virtual void afterRemove() {}
    // `to` is the row the entry stands at after the move.
    virtual void beforeMove(std::size_t /*from*/, std::size_t /*to*/) {}
    virtual void afterMove() {}
    // Entries keep their identity but change rows; newRowOf[old] gives each entry's new row.
    virtual void beforeReorder() {}
    virtual void afterReorder(const RowNumbers& /*newRowOf*/) {}
    virtual void beforeReset() {}
    virtual void afterReset() {}
    // Texts or check marks of rows first..last changed in place.
    virtual void changed(std::size_t /*first*/, std::size_t /*last*/) {}
    virtual void selectionChanged() {}
};

// The clip list: ordered entries (code-page byte strings), a check mark each, at most one
// selected entry, and the sorted flag under which added entries go to their collation place.
// A text returned by text() stays valid until the list next changes.
class ClipList {
public:
    explicit ClipList(const Collator& collator);
    ClipList(const ClipList&) = delete;
    ClipList& operator=(const ClipList&) = delete;

    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    std::string_view text(std::size_t row) const { return m_store.text(m_rows[row]); }
    bool isChecked(std::size_t row) const { return m_store.isChecked(m_rows[row]); }
    std::optional<std::size_t> selection() const { return m_selection; }
    bool isSorted() const { return m_sorted; }

    void addListener(ClipListListener* listener);
    void removeListener(ClipListListener* listener);

    void setChecked(std::size_t row, bool checked);
    void invertChecks();
    void select(std::optional<std::size_t> row);

    // Switching on re-sorts at once; every entry keeps its check mark and the selection stays on
    // the same row number. Switching off moves nothing.
    void setSorted(bool sorted);

    // Adds an unchecked entry at the end, or at its sorted place while sorted; returns its row.
    std::size_t add(std::string_view text);
    // Replaces the whole list (unchecked, nothing selected), as loading a document does.
    void assign(const std::vector<std::string>& texts);
    // The same with the lines of a document, whose bytes the list keeps as they are.
    void assignLines(std::string document, LineSpans lines);
    // New text for one entry: keeps its row, check mark and selection, even while sorted.
    void rewrite(std::size_t row, std::string_view text);
    // Bulk forms of rewrite() and setChecked(), for commands that touch the whole list: each
    // sends one changed() notice spanning the rows that changed, or none, so that a view's work
    // stays linear. `keep` sees every entry from the first to the last and returns the part of it
    // to keep, as a first byte and a length; an entry kept whole is unchanged.
    void
    narrowEach(const std::function<std::pair<std::size_t, std::size_t>(std::string_view)>& keep);
    // Turns on the check marks of the flagged rows; never turns one off.
    void checkRows(const std::vector<bool>& turnOn);
    // Takes the entry out and puts it back at row `to`, with its check mark.
    void move(std::size_t from, std::size_t to);
    // Deletes the rows whose flag is set. The selection stays on its entry if that survives.
    // Returns the number deleted.
    std::size_t removeRows(const std::vector<bool>& doomed);
    std::size_t removeChecked();
    void clear();

    // Whether some entry's clip text is exactly `text`; as quick for a million entries as for one.
    bool containsClipText(std::string_view text) const;
    // Row of the first entry containing `text` case-insensitively on a character boundary,
    // searching the whole entry; an empty text matches nothing.
    std::optional<std::size_t> findContaining(std::string_view text) const;
    // Row of the first entry that begins with `word` as WordPrefixMatcher tells; an empty word
    // begins every entry.
    std::optional<std::size_t> findBeginning(std::string_view word) const;
    // No entry is longer than this (and the longest is more than half as long).
    std::size_t entrySizeBound() const { return m_store.sizeBound(); }

    // The two searches above index the list the first time they run on a long one, and keep
    // their indexes up to date from then on; the index of a search never run costs nothing.

private:
    std::size_t sortedPlace(std::string_view text) const;
    // The rows in sorted order.
    RowNumbers collationOrder() const;
    void permute(const RowNumbers& order);
    void sortEntries();
    void compactIfWorthIt();
    void replaceContents(EntryStore store, EntryIds rows);
    // Keep the search indexes in step: an entry came at `row`; the entry at `row` is about to
    // change its text, and has changed it; rows moved or went.
    void indexAdded(std::size_t row, EntryId id);
    void indexChanging(EntryId id);
    void indexChanged(std::size_t row, EntryId id);
    void rowsMoved();
    // Runs an index update; one that runs out of memory leaves that index to be built again.
    void keepIndexed(const std::function<void()>& update);
    void ensureRowOf() const;
    // One flag per entry id, set for those of `ids`.
    std::vector<bool> idFlags(const EntryIds& ids) const;
    std::optional<std::size_t> scanContaining(std::string_view text, std::string_view upper,
                                              std::size_t from) const;
    template <typename F> void notify(F&& f) {
        for (ClipListListener* l : m_listeners) f(*l);
    }

    const Collator& m_collator;
    EntryStore m_store;
    ClipTextIndex m_index;
    // Row by row, the id of the entry standing there.
    EntryIds m_rows;
    std::optional<std::size_t> m_selection;
    bool m_sorted = false;
    std::vector<ClipListListener*> m_listeners;

    // The searches' indexes and what they keep between keystrokes. Every change of texts or rows
    // counts up the version, which ends what is kept.
    mutable EntryPrefixIndex m_prefixIndex{m_collator};
    mutable ContainsIndex m_containsIndex;
    std::uint64_t m_version = 0;
    // Row by entry id, while valid.
    mutable std::vector<std::uint32_t> m_rowOf;
    mutable bool m_rowOfValid = false;
    struct KnownSearch {
        std::string upper;
        std::optional<std::size_t> row;
    };
    mutable std::vector<KnownSearch> m_knownSearches;
    mutable std::uint64_t m_knownVersion = 0;
};

} // namespace zub
