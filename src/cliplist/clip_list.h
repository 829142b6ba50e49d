#pragma once

#include "cliplist/clip_text_index.h"
#include "cliplist/entry_store.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

class Collator;

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
    virtual void afterReorder(const std::vector<std::size_t>& /*newRowOf*/) {}
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

private:
    std::size_t sortedPlace(std::string_view text) const;
    std::vector<std::size_t> collationOrder() const;
    void permute(const std::vector<std::size_t>& order);
    void sortEntries();
    void compactIfWorthIt();
    void replaceContents(EntryStore store, EntryIds rows);
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
};

} // namespace zub
