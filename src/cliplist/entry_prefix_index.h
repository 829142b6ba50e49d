#pragma once

#include "cliplist/entry_store.h"
#include "text/collation.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

// Whether a clip entry begins with a word, without regard to case by the user's locale, over
// the word's length in bytes: the entry's first bytes, as many as the word has, compare equal to
// the word through the collator. An entry shorter than the word does not begin with it; an
// empty word begins every entry. Built once per search; most entries are decided without the
// collator, character by character (Collator::quickEquals).
class WordPrefixMatcher {
public:
    WordPrefixMatcher(const Collator& collator, std::string word);
    bool matches(std::string_view entry) const;

private:
    const Collator& m_collator;
    Collator::Probe m_word;
};

// The entries in the order of their characters' numbers (Collator::characterNumber), as far as
// those decide alone, so that the entries a word may begin are a few ranges found by binary
// search instead of a look at every entry: a million entries cost a word what a thousand do.
//
// Each entry is read as the numbers of its first characters up to the first that decides
// nothing alone (a "stop") or the end. A word whose characters all decide alone begins an entry
// only if the entry reads as the word's numbers and perhaps more, or as some of the word's first
// numbers and then a stop: any other entry differs from the word in a character that decides
// alone, and so by quickEquals does not begin with it. Such an entry whose first characters
// also take up exactly the word's bytes certainly begins with it; the others are to be asked.
class EntryPrefixIndex {
public:
    explicit EntryPrefixIndex(const Collator& collator) : m_collator(collator) {}

    bool isBuilt() const { return m_built; }
    // Orders every entry of `ids` anew.
    void build(const EntryStore& store, const EntryIds& ids);
    // Forgets every entry; a search builds the index again.
    void drop();
    // While built: an entry that came, and one about to change or go (its text still there).
    void insert(const EntryStore& store, EntryId id);
    void erase(const EntryStore& store, EntryId id);
    // Takes out the entries whose flag, by id, is set, in one pass.
    void eraseFlagged(const std::vector<bool>& flaggedIds);
    // Puts in many entries at once (none of them in the index), in one pass.
    void insertMany(const EntryStore& store, EntryIds ids);

    // Every entry that may begin with `word` (not empty), each once, as visit(id, certain).
    // Returns false without visiting anything when the index cannot tell for this word: one of
    // its characters decides nothing alone, or could be a character cut in two.
    bool forEachCandidate(const EntryStore& store, std::string_view word,
                          const std::function<void(EntryId, bool)>& visit) const;

    std::size_t size() const { return m_ids.size(); }

private:
    // Whether entry a stands before entry b: by their numbers, then by id.
    bool before(const EntryStore& store, EntryId a, EntryId b) const;

    const Collator& m_collator;
    EntryIds m_ids;
    bool m_built = false;
};

} // namespace zub
