#pragma once

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
class ClipList {
public:
    explicit ClipList(const Collator& collator);

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const std::string& text(std::size_t row) const { return m_entries[row].text; }
    bool isChecked(std::size_t row) const { return m_entries[row].checked; }
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
    std::size_t add(std::string text);
    // Replaces the whole list (unchecked, nothing selected), as loading a document does.
    void assign(std::vector<std::string> texts);
    // New text for one entry: keeps its row, check mark and selection, even while sorted.
    void rewrite(std::size_t row, std::string text);
    // Bulk forms of rewrite() and setChecked(), for commands that touch the whole list: each
    // sends one changed() notice spanning the rows that changed, or none, so that a view's work
    // stays linear. `edit` sees every entry from the first to the last and returns whether it
    // changed it.
    void rewriteEach(const std::function<bool(std::string&)>& edit);
    // Turns on the check marks of the flagged rows; never turns one off.
    void checkRows(const std::vector<bool>& turnOn);
    // Takes the entry out and puts it back at row `to`, with its check mark.
    void move(std::size_t from, std::size_t to);
    // Deletes the rows whose flag is set. The selection stays on its entry if that survives.
    // Returns the number deleted.
    std::size_t removeRows(const std::vector<bool>& doomed);
    std::size_t removeChecked();
    void clear();

    // Row of the first entry whose clip text is exactly `text`.
    std::optional<std::size_t> findClipText(std::string_view text) const;
    // Row of the first entry containing `text` case-insensitively on a character boundary,
    // searching the whole entry; an empty text matches nothing.
    std::optional<std::size_t> findContaining(std::string_view text) const;

private:
    struct Entry {
        std::string text;
        bool checked = false;
        explicit Entry(std::string t) : text(std::move(t)) {}
    };

    std::size_t sortedPlace(std::string_view text) const;
    std::vector<std::size_t> collationOrder() const;
    void permute(const std::vector<std::size_t>& order);
    void sortEntries();
    template <typename F> void notify(F&& f) {
        for (ClipListListener* l : m_listeners) f(*l);
    }

    const Collator& m_collator;
    std::vector<Entry> m_entries;
    std::optional<std::size_t> m_selection;
    bool m_sorted = false;
    std::vector<ClipListListener*> m_listeners;
};

} // namespace zub
