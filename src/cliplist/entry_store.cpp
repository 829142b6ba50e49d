#include "cliplist/entry_store.h"

#include "platform/error.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace zub {
namespace {

// New bytes go into chunks of this size; an entry of a quarter of it or more gets a chunk of its
// own, so that a large entry wastes no room and goes away whole when it is deleted.
constexpr std::size_t kChunkSize = std::size_t(4) << 20;
// Unused bytes are left alone up to this much, and as long as they weigh less than the live ones.
constexpr std::size_t kTolerableUnused = std::size_t(32) << 20;

[[noreturn]] void outOfRoom() {
    // Offsets and sizes are 32 bits and chunks are counted in 16; beyond that the list is full.
    throw Error("Not enough memory");
}

} // namespace

EntryId EntryStore::newId() {
    if (!m_freeIds.empty()) {
        const EntryId id = m_freeIds.back();
        m_freeIds.pop_back();
        return id;
    }
    if (m_records.size() >= std::numeric_limits<EntryId>::max() - 2) outOfRoom();
    m_records.emplace_back();
    return static_cast<EntryId>(m_records.size() - 1);
}

std::uint16_t EntryStore::newChunk(std::string bytes) {
    std::uint16_t index;
    if (!m_freeChunks.empty()) {
        index = m_freeChunks.back();
        m_freeChunks.pop_back();
        m_chunks[index] = Chunk{std::move(bytes), 0};
    } else {
        if (m_chunks.size() >= kNoChunk) outOfRoom();
        m_chunks.push_back(Chunk{std::move(bytes), 0});
        index = static_cast<std::uint16_t>(m_chunks.size() - 1);
    }
    return index;
}

std::pair<std::uint16_t, std::uint32_t> EntryStore::reserve(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) outOfRoom();
    if (size >= kChunkSize / 4) {
        std::string bytes;
        bytes.reserve(size);
        return {newChunk(std::move(bytes)), 0};
    }
    if (m_tail == kNoChunk ||
        m_chunks[m_tail].bytes.capacity() - m_chunks[m_tail].bytes.size() < size) {
        std::string bytes;
        bytes.reserve(kChunkSize);
        const std::uint16_t previous = m_tail;
        m_tail = newChunk(std::move(bytes));
        // A tail that has run full and holds nothing live any more can go now.
        if (previous != kNoChunk && m_chunks[previous].live == 0) release(previous, 0);
    }
    return {m_tail, static_cast<std::uint32_t>(m_chunks[m_tail].bytes.size())};
}

EntryId EntryStore::add(std::string_view bytes) {
    const auto [chunk, offset] = reserve(bytes.size());
    const EntryId id = newId();
    m_chunks[chunk].bytes.append(bytes);
    m_chunks[chunk].live += bytes.size();
    m_heldBytes += bytes.size();
    m_liveBytes += bytes.size();
    m_records[id] = Record{offset, static_cast<std::uint32_t>(bytes.size()), chunk, false};
    countSize(bytes.size(), 1);
    return id;
}

EntryIds EntryStore::adopt(std::string document, const LineSpans& lines) {
    if (document.size() > std::numeric_limits<std::uint32_t>::max()) outOfRoom();
    // Room for an eighth more: growing a vector of a million entries copies all of it, which
    // the first capture after opening would otherwise pay for. Untouched room costs no memory.
    const std::size_t room = lines.size() + std::max<std::size_t>(lines.size() / 8, 1024);
    EntryIds ids;
    ids.reserve(room);
    m_records.reserve(m_records.size() + room);
    std::size_t live = 0;
    for (const LineSpan& line : lines) {
        live += line.length;
        countSize(line.length, 1);
    }
    const std::size_t held = document.size();
    const std::uint16_t chunk = newChunk(std::move(document));
    if (m_freeIds.empty() &&
        m_records.size() + lines.size() < std::numeric_limits<EntryId>::max() - 2) {
        // New ids in a row, without the free list to consult.
        EntryId id = static_cast<EntryId>(m_records.size());
        for (const LineSpan& line : lines) {
            m_records.push_back(Record{line.offset, line.length, chunk, false});
            ids.push_back(id++);
        }
    } else {
        for (const LineSpan& line : lines) {
            const EntryId id = newId();
            m_records[id] = Record{line.offset, line.length, chunk, false};
            ids.push_back(id);
        }
    }
    m_chunks[chunk].live = live;
    m_heldBytes += held;
    m_liveBytes += live;
    // Line breaks and anything after a NUL are no entry's bytes; they go with the chunk.
    if (live == 0) release(chunk, 0);
    return ids;
}

void EntryStore::replace(EntryId id, std::string_view bytes) {
    const Record old = m_records[id];
    const auto [chunk, offset] = reserve(bytes.size());
    m_chunks[chunk].bytes.append(bytes);
    m_chunks[chunk].live += bytes.size();
    m_heldBytes += bytes.size();
    m_liveBytes += bytes.size();
    m_records[id] = Record{offset, static_cast<std::uint32_t>(bytes.size()), chunk, old.checked};
    countSize(old.size, -1);
    countSize(bytes.size(), 1);
    release(old.chunk, old.size);
}

void EntryStore::narrow(EntryId id, std::size_t from, std::size_t length) {
    Record& r = m_records[id];
    from = std::min<std::size_t>(from, r.size);
    length = std::min<std::size_t>(length, r.size - from);
    const std::size_t dropped = r.size - length;
    countSize(r.size, -1);
    countSize(length, 1);
    r.offset += static_cast<std::uint32_t>(from);
    r.size = static_cast<std::uint32_t>(length);
    release(r.chunk, dropped);
}

void EntryStore::remove(EntryId id) {
    const Record r = m_records[id];
    m_records[id] = Record{};
    m_freeIds.push_back(id);
    countSize(r.size, -1);
    release(r.chunk, r.size);
}

void EntryStore::countSize(std::size_t size, int change) {
    std::size_t& count = m_sizeWidths[static_cast<std::size_t>(std::bit_width(size))];
    count = change > 0 ? count + 1 : count - 1;
}

std::size_t EntryStore::sizeBound() const {
    for (std::size_t width = m_sizeWidths.size(); width > 0; --width)
        if (m_sizeWidths[width - 1] != 0) return (std::size_t{1} << (width - 1)) - 1;
    return 0;
}

void EntryStore::release(std::uint16_t chunk, std::size_t size) {
    Chunk& c = m_chunks[chunk];
    c.live -= size;
    m_liveBytes -= size;
    if (c.live == 0 && chunk != m_tail) {
        m_heldBytes -= c.bytes.size();
        c.bytes = std::string();
        m_freeChunks.push_back(chunk);
    }
}

void EntryStore::clear() {
    m_records.clear();
    m_freeIds.clear();
    m_chunks.clear();
    m_freeChunks.clear();
    m_tail = kNoChunk;
    m_liveBytes = 0;
    m_heldBytes = 0;
    m_sizeWidths = {};
}

bool EntryStore::wantsCompaction() const {
    const std::size_t unused = unusedBytes();
    return unused > kTolerableUnused && unused > m_liveBytes;
}

void EntryStore::compact(const EntryIds& order) {
    std::vector<Chunk> old;
    old.swap(m_chunks);
    m_freeChunks.clear();
    m_tail = kNoChunk;
    m_heldBytes = 0;
    m_liveBytes = 0;
    for (const EntryId id : order) {
        Record& r = m_records[id];
        const std::string_view bytes(old[r.chunk].bytes.data() + r.offset, r.size);
        const auto [chunk, offset] = reserve(bytes.size());
        m_chunks[chunk].bytes.append(bytes);
        m_chunks[chunk].live += bytes.size();
        m_heldBytes += bytes.size();
        m_liveBytes += bytes.size();
        r.chunk = chunk;
        r.offset = offset;
    }
    // The old chunks go here, all at once.
}

} // namespace zub
