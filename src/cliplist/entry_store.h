#pragma once

#include "platform/memory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

using EntryId = std::uint32_t;
// Lists of ids and lines as long as the list: large enough to be worth huge pages.
using EntryIds = std::vector<EntryId>;

// A line of a list document: where it starts in the document's bytes and how long it is.
struct LineSpan {
    std::uint32_t offset;
    std::uint32_t length;
};
using LineSpans = std::vector<LineSpan, HugePageAllocator<LineSpan>>;

// The bytes and check marks of the clip entries, each under an id that stays the same for the
// entry's whole life whatever row it moves to.
//
// The bytes live in a few large chunks rather than one heap block per entry: a million
// 40-byte entries would otherwise cost more in block headers and string objects than in text. A
// list document's bytes become a chunk as they were read, so opening copies nothing. Bytes an
// entry no longer uses (it was rewritten, shortened or deleted) stay where they are until they
// outweigh the live ones; compact() then moves the live entries into fresh chunks.
class EntryStore {
public:
    EntryStore() = default;
    EntryStore(const EntryStore&) = delete;
    EntryStore& operator=(const EntryStore&) = delete;
    EntryStore(EntryStore&&) = default;
    EntryStore& operator=(EntryStore&&) = default;

    // Every byte string entered is copied in; throws std::bad_alloc when memory runs out.
    EntryId add(std::string_view bytes);
    // The lines of `document` as entries, in order, without copying their bytes. The vector of
    // ids has room to grow by an eighth without moving.
    EntryIds adopt(std::string document, const LineSpans& lines);

    std::string_view text(EntryId id) const {
        const Record& r = m_records[id];
        return std::string_view(m_chunks[r.chunk].bytes.data() + r.offset, r.size);
    }
    bool isChecked(EntryId id) const { return m_records[id].checked; }
    void setChecked(EntryId id, bool checked) { m_records[id].checked = checked; }

    void replace(EntryId id, std::string_view bytes);
    // Keeps `length` bytes from `from` (a part of the entry: no bytes are copied).
    void narrow(EntryId id, std::size_t from, std::size_t length);
    void remove(EntryId id);
    void clear();

    std::size_t size() const { return m_records.size() - m_freeIds.size(); }
    // Every id in use is below this.
    std::size_t idLimit() const { return m_records.size(); }
    std::size_t liveBytes() const { return m_liveBytes; }
    // No entry is longer than this, and the longest is more than half as long: what a search
    // needs to know before it reads a long word that no entry could begin with.
    std::size_t sizeBound() const;
    std::size_t unusedBytes() const { return m_heldBytes - m_liveBytes; }
    // Whether the bytes no longer used are worth a compaction.
    bool wantsCompaction() const;
    // Moves the entries of `order` (every live entry, in the order to lay them out) into fresh
    // chunks and lets the old ones go. Ids do not change.
    void compact(const EntryIds& order);

private:
    struct Record {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        std::uint16_t chunk = 0;
        bool checked = false;
    };
    struct Chunk {
        std::string bytes;
        std::size_t live = 0;
    };

    EntryId newId();
    // A place for `size` bytes: the chunk and offset where they are to be written.
    std::pair<std::uint16_t, std::uint32_t> reserve(std::size_t size);
    std::uint16_t newChunk(std::string bytes);
    void release(std::uint16_t chunk, std::size_t size);
    void countSize(std::size_t size, int change);

    std::vector<Record> m_records;
    std::vector<EntryId> m_freeIds;
    std::vector<Chunk> m_chunks;
    std::vector<std::uint16_t> m_freeChunks;
    static constexpr std::uint16_t kNoChunk = 0xFFFF;
    // The chunk that takes new bytes, or kNoChunk.
    std::uint16_t m_tail = kNoChunk;
    std::size_t m_liveBytes = 0;
    // Bytes written into the chunks in use, whether an entry still uses them or not.
    std::size_t m_heldBytes = 0;
    // How many entries have each bit width of their size.
    std::array<std::size_t, 33> m_sizeWidths{};
};

} // namespace zub
