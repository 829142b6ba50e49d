#pragma once

#include "cliplist/entry_store.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zub {

// The clip texts of all entries, so that the duplicate test of a capture costs the same for a
// list of ten entries and one of a million: an open-addressing hash table of entry ids, each
// slot holding 32 bits of its clip text's hash beside the id. A hit is confirmed by comparing
// the bytes, so the test stays exact.
class ClipTextIndex {
public:
    static std::uint64_t hash(std::string_view clipText);

    void clear();
    // Every entry of `ids`, replacing whatever was indexed.
    void rebuild(const EntryStore& store, const EntryIds& ids);
    void insert(std::string_view clipText, EntryId id);
    void erase(std::string_view clipText, EntryId id);
    // Erases every entry whose id is flagged, in one pass over the table.
    void eraseFlagged(const std::vector<bool>& idFlags);
    bool contains(std::string_view clipText, const EntryStore& store) const;

    std::size_t size() const { return m_count; }

private:
    static constexpr std::uint64_t kEmpty = 0;
    static constexpr std::uint64_t kErased = 1;

    std::size_t home(std::uint32_t tag) const {
        return static_cast<std::size_t>((std::uint64_t(tag) * m_slots.size()) >> 32);
    }
    void place(std::uint64_t slot);
    void resize(std::size_t capacity);

    std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> m_slots;
    std::size_t m_count = 0;
    std::size_t m_erased = 0;
};

} // namespace zub
