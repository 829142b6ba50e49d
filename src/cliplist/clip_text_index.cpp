#include "cliplist/clip_text_index.h"

#include "cliplist/clip_entry.h"

#include <algorithm>
#include <cstring>

namespace zub {
namespace {

// Slots hold the id plus 2 (0 and 1 mark empty and erased slots) below the hash's high half.
std::uint64_t slotOf(std::uint32_t tag, EntryId id) {
    return (std::uint64_t(tag) << 32) | (std::uint64_t(id) + 2);
}
std::uint32_t tagOf(std::uint64_t slot) {
    return static_cast<std::uint32_t>(slot >> 32);
}
EntryId idOf(std::uint64_t slot) {
    return static_cast<EntryId>((slot & 0xFFFFFFFFu) - 2);
}

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

// Most of the table's room is used, but enough stays free that a miss ends after a few slots.
constexpr double kMaxLoad = 0.7;

} // namespace

std::uint64_t ClipTextIndex::hash(std::string_view text) {
    // Eight bytes at a time through a 128-bit multiply, in the manner of wyhash.
    constexpr std::uint64_t k0 = 0xa0761d6478bd642full, k1 = 0xe7037ed1a0b428dbull,
                            k2 = 0x8ebc6af09c88c6e3ull;
    std::uint64_t h = mix(text.size() ^ k0, k1);
    const char* p = text.data();
    std::size_t n = text.size();
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = mix(h ^ word ^ k2, k1);
        p += 8;
        n -= 8;
    }
    std::uint64_t last = 0;
    std::memcpy(&last, p, n);
    return mix(h ^ last ^ k0, k2);
}

void ClipTextIndex::clear() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_count = 0;
    m_erased = 0;
}

void ClipTextIndex::rebuild(const EntryStore& store, const EntryIds& ids) {
    clear();
    // Room for an eighth more before the table must grow, so that captures right after opening
    // a long list do not pay for moving every slot.
    const std::size_t room = ids.size() + std::max<std::size_t>(ids.size() / 8, 1024);
    resize(static_cast<std::size_t>(static_cast<double>(room) / kMaxLoad) + 16);

    // The slots grouped by the top 16 bits of their hash tag, which orders them by home: the
    // table is then filled front to back instead of in a million random places. The hashes are
    // worked out twice (to count, then to place) rather than kept, which would cost memory.
    auto slotFor = [&](EntryId id) {
        return slotOf(static_cast<std::uint32_t>(hash(clipText(store.text(id))) >> 32), id);
    };
    std::vector<std::size_t> start(65537, 0);
    for (const EntryId id : ids) ++start[(slotFor(id) >> 48) + 1];
    for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> slots(ids.size());
    for (const EntryId id : ids) {
        const std::uint64_t slot = slotFor(id);
        slots[start[slot >> 48]++] = slot;
    }
    // Sorted within each group, the slots come in the order of their homes, and each one's place
    // is its home or the slot after the one placed before it, whichever comes later: every slot
    // between is taken. No probing, then, even for the long runs of entries that share a text,
    // such as the blank lines of an opened document, where probing costs the square of the run.
    for (std::size_t b = 0; b < 65536; ++b)
        std::sort(slots.begin() + static_cast<std::ptrdiff_t>(b == 0 ? 0 : start[b - 1]),
                  slots.begin() + static_cast<std::ptrdiff_t>(start[b]));
    std::size_t next = 0;
    for (const std::uint64_t slot : slots) {
        const std::size_t at = std::max(home(tagOf(slot)), next);
        if (at < m_slots.size()) {
            m_slots[at] = slot;
            next = at + 1;
        } else {
            place(slot); // past the end: wraps round to the front like any probe
        }
    }
    m_count = ids.size();
}

void ClipTextIndex::insert(std::string_view text, EntryId id) {
    if (static_cast<double>(m_count + m_erased + 1) >
        static_cast<double>(m_slots.size()) * kMaxLoad)
        resize(static_cast<std::size_t>(static_cast<double>(m_count + 1) * 2 / kMaxLoad) + 16);
    place(slotOf(static_cast<std::uint32_t>(hash(text) >> 32), id));
    ++m_count;
}

void ClipTextIndex::erase(std::string_view text, EntryId id) {
    if (m_slots.empty()) return;
    const std::uint64_t wanted = slotOf(static_cast<std::uint32_t>(hash(text) >> 32), id);
    for (std::size_t i = home(tagOf(wanted));; i = (i + 1 == m_slots.size()) ? 0 : i + 1) {
        if (m_slots[i] == kEmpty) return;
        if (m_slots[i] == wanted) {
            m_slots[i] = kErased;
            --m_count;
            ++m_erased;
            return;
        }
    }
}

void ClipTextIndex::eraseFlagged(const std::vector<bool>& idFlags) {
    for (std::uint64_t& slot : m_slots) {
        if (slot == kEmpty || slot == kErased) continue;
        const EntryId id = idOf(slot);
        if (id < idFlags.size() && idFlags[id]) {
            slot = kErased;
            --m_count;
            ++m_erased;
        }
    }
}

bool ClipTextIndex::contains(std::string_view text, const EntryStore& store) const {
    if (m_count == 0) return false;
    const std::uint32_t tag = static_cast<std::uint32_t>(hash(text) >> 32);
    for (std::size_t i = home(tag);; i = (i + 1 == m_slots.size()) ? 0 : i + 1) {
        const std::uint64_t slot = m_slots[i];
        if (slot == kEmpty) return false;
        if (slot != kErased && tagOf(slot) == tag && clipTextEquals(store.text(idOf(slot)), text))
            return true;
    }
}

void ClipTextIndex::place(std::uint64_t slot) {
    for (std::size_t i = home(tagOf(slot));; i = (i + 1 == m_slots.size()) ? 0 : i + 1) {
        if (m_slots[i] == kEmpty || m_slots[i] == kErased) {
            if (m_slots[i] == kErased) --m_erased;
            m_slots[i] = slot;
            return;
        }
    }
}

void ClipTextIndex::resize(std::size_t capacity) {
    std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> old;
    old.swap(m_slots);
    m_slots.assign(capacity, kEmpty);
    m_erased = 0;
    for (const std::uint64_t slot : old)
        if (slot != kEmpty && slot != kErased) place(slot);
}

} // namespace zub
