#include "cliplist/contains_index.h"

#include "text/codepage.h"

#include <algorithm>
#include <string>

namespace zub {
namespace {

unsigned pairOf(unsigned char a, unsigned char b) {
    return static_cast<unsigned>(a) << 8 | b;
}

// The top six bits of two multiplicative hashes pick the bits.
std::uint64_t firstBit(unsigned pair) {
    return std::uint64_t{1} << ((pair * 0x9E3779B1u) >> 26);
}
std::uint64_t secondBit(unsigned pair) {
    return std::uint64_t{1} << ((pair * 0x85EBCA6Bu) >> 26);
}

// cp::toUpper's answer for each double-byte character, 0 where it keeps the character: a
// million entries are upper-cased without a million strings.
const std::vector<std::uint16_t>& upperDoubleBytes() {
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> upper(126 * 191, 0);
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const std::string up = cp::toUpper(std::string_view(bytes, 2));
                if (up.size() == 2 && (up[0] != bytes[0] || up[1] != bytes[1]))
                    upper[(lead - 0x81) * 191 + (trail - 0x40)] = static_cast<std::uint16_t>(pairOf(
                        static_cast<unsigned char>(up[0]), static_cast<unsigned char>(up[1])));
            }
        }
        return upper;
    }();
    return table;
}

} // namespace

void ContainsIndex::upperCase(std::string_view text) {
    // The bytes of cp::toUpper(text), character by character.
    const std::vector<std::uint16_t>& upperDouble = upperDoubleBytes();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    m_upper.resize(text.size());
    char* out = m_upper.data();
    for (std::size_t i = 0; i < text.size();) {
        const unsigned byte = p[i];
        if (byte < 0x80) {
            out[i] = static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 32 : byte);
            ++i;
            continue;
        }
        const std::size_t length = cp::charLength(text, i);
        if (length == 2) {
            const unsigned up = upperDouble[(byte - 0x81) * 191 + (p[i + 1] - 0x40)];
            out[i] = static_cast<char>(up ? up >> 8 : byte);
            out[i + 1] = static_cast<char>(up ? up & 0xFF : p[i + 1]);
        } else if (length == 4) {
            cp::toUpper(text.substr(i, 4)).copy(out + i, 4);
        } else {
            out[i] = static_cast<char>(byte);
        }
        i += length;
    }
}

ContainsIndex::Mask ContainsIndex::count(std::string_view text, int change) {
    upperCase(text);
    const auto* p = reinterpret_cast<const unsigned char*>(m_upper.data());
    const std::size_t n = m_upper.size();
    // A count that reached the top stays there: it can no longer tell when it comes back to 0.
    auto adjust = [change](std::uint32_t& count) {
        if (count != kStuck) count += static_cast<std::uint32_t>(change);
    };
    for (std::size_t i = 0; i < n; ++i) adjust(m_bytes[p[i]]);
    Mask signatures;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const unsigned pair = pairOf(p[i], p[i + 1]);
        adjust(m_pairs[pair]);
        signatures.first |= firstBit(pair);
        signatures.second |= secondBit(pair);
    }
    return signatures;
}

void ContainsIndex::build(const EntryStore& store, const EntryIds& rows) {
    drop();
    m_bytes.assign(256, 0);
    m_pairs.assign(256 * 256, 0);
    forBoth([&rows](auto& v) { v.reserve(rows.size() + rows.size() / 8); });
    for (const EntryId id : rows) {
        const Mask signatures = count(store.text(id), 1);
        m_first.push_back(signatures.first);
        m_second.push_back(signatures.second);
    }
    m_built = true;
}

void ContainsIndex::drop() {
    forBoth([](auto& v) { std::vector<std::uint64_t>().swap(v); });
    std::vector<std::uint32_t>().swap(m_bytes);
    std::vector<std::uint32_t>().swap(m_pairs);
    std::string().swap(m_upper);
    m_built = false;
}

void ContainsIndex::insert(std::size_t row, std::string_view text) {
    const Mask signatures = count(text, 1);
    const auto at = static_cast<std::ptrdiff_t>(row);
    m_first.insert(m_first.begin() + at, signatures.first);
    try {
        m_second.insert(m_second.begin() + at, signatures.second);
    } catch (...) {
        m_first.erase(m_first.begin() + at);
        throw;
    }
}

void ContainsIndex::set(std::size_t row, std::string_view text) {
    const Mask signatures = count(text, 1);
    m_first[row] = signatures.first;
    m_second[row] = signatures.second;
}

void ContainsIndex::forget(std::string_view text) {
    count(text, -1);
}

void ContainsIndex::eraseRows(std::size_t first, std::size_t last) {
    forBoth([first, last](auto& v) {
        v.erase(v.begin() + static_cast<std::ptrdiff_t>(first),
                v.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    });
}

void ContainsIndex::keepRows(const std::vector<bool>& gone) {
    forBoth([&gone](auto& v) {
        std::size_t out = 0;
        for (std::size_t i = 0; i < v.size(); ++i)
            if (i >= gone.size() || !gone[i]) v[out++] = v[i];
        v.resize(out);
    });
}

void ContainsIndex::move(std::size_t from, std::size_t to) {
    forBoth([from, to](auto& v) {
        const auto first = v.begin();
        if (from < to)
            std::rotate(first + static_cast<std::ptrdiff_t>(from),
                        first + static_cast<std::ptrdiff_t>(from) + 1,
                        first + static_cast<std::ptrdiff_t>(to) + 1);
        else
            std::rotate(first + static_cast<std::ptrdiff_t>(to),
                        first + static_cast<std::ptrdiff_t>(from),
                        first + static_cast<std::ptrdiff_t>(from) + 1);
    });
}

void ContainsIndex::permute(const std::vector<std::uint32_t>& order) {
    std::vector<std::uint64_t> first, second;
    first.reserve(m_first.capacity());
    second.reserve(m_second.capacity());
    for (const std::uint32_t i : order) {
        first.push_back(m_first[i]);
        second.push_back(m_second[i]);
    }
    m_first = std::move(first);
    m_second = std::move(second);
}

ContainsIndex::Mask ContainsIndex::mask(std::string_view upper) {
    Mask bits;
    for (std::size_t i = 0; i + 1 < upper.size(); ++i) {
        const unsigned pair =
            pairOf(static_cast<unsigned char>(upper[i]), static_cast<unsigned char>(upper[i + 1]));
        bits.first |= firstBit(pair);
        bits.second |= secondBit(pair);
    }
    return bits;
}

std::size_t ContainsIndex::nextCandidate(std::size_t row, const Mask& mask) const {
    const std::size_t size = m_first.size();
    const std::uint64_t* first = m_first.data();
    auto passes = [&](std::size_t i) {
        return (first[i] & mask.first) == mask.first && (m_second[i] & mask.second) == mask.second;
    };
    for (; row < size && row % 8 != 0; ++row)
        if (passes(row)) return row;
    // Eight first signatures at a time, without a branch between them.
    for (; row + 8 <= size; row += 8) {
        bool any = false;
        for (std::size_t k = 0; k < 8; ++k) any |= (first[row + k] & mask.first) == mask.first;
        if (!any) continue;
        for (std::size_t k = 0; k < 8; ++k)
            if (passes(row + k)) return row + k;
    }
    for (; row < size; ++row)
        if (passes(row)) return row;
    return size;
}

bool ContainsIndex::mayOccur(std::string_view upper) const {
    for (std::size_t i = 0; i < upper.size(); ++i) {
        const auto a = static_cast<unsigned char>(upper[i]);
        if (m_bytes[a] == 0) return false;
        if (i + 1 < upper.size() &&
            m_pairs[pairOf(a, static_cast<unsigned char>(upper[i + 1]))] == 0)
            return false;
    }
    return true;
}

} // namespace zub
