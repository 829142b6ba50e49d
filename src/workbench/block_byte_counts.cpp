#include "workbench/block_byte_counts.h"

#include <bit>
#include <stdexcept>

namespace zub {
namespace {

constexpr std::uint64_t kLineBreak = 2; // CR LF

} // namespace

BlockByteCounts::BlockByteCounts() {
    assign({0});
}

void BlockByteCounts::assign(std::vector<std::uint64_t> lengths) {
    if (lengths.empty()) lengths.push_back(0);
    m_lengths = std::move(lengths);
    rebuild();
}

void BlockByteCounts::rebuild() {
    const std::size_t n = m_lengths.size();
    m_tree.assign(n + 1, 0);
    std::uint64_t sum = 0;
    // Linear construction: each node passes its sum on to its parent.
    for (std::size_t i = 1; i <= n; ++i) {
        m_tree[i] += m_lengths[i - 1] + kLineBreak;
        sum += m_lengths[i - 1];
        const std::size_t parent = i + (i & (~i + 1));
        if (parent <= n) m_tree[parent] += m_tree[i];
    }
    m_total = sum + kLineBreak * (n - 1);
}

std::uint64_t BlockByteCounts::blockOffset(std::size_t block) const {
    std::uint64_t sum = 0;
    for (std::size_t i = block; i > 0; i &= i - 1) sum += m_tree[i];
    return sum;
}

std::size_t BlockByteCounts::blockAt(std::uint64_t offset) const {
    // The number of lines whose bytes and line break end at or before `offset`.
    const std::size_t n = m_lengths.size();
    std::size_t position = 0;
    std::uint64_t rest = offset;
    for (std::size_t step = std::bit_floor(n); step > 0; step >>= 1) {
        const std::size_t next = position + step;
        if (next <= n && m_tree[next] <= rest) {
            position = next;
            rest -= m_tree[next];
        }
    }
    return position < n ? position : n - 1;
}

void BlockByteCounts::setBlockLength(std::size_t block, std::uint64_t length) {
    const std::uint64_t old = m_lengths.at(block);
    if (old == length) return;
    m_lengths[block] = length;
    m_total = m_total - old + length;
    // Unsigned wrap-around adds the difference whichever its sign.
    const std::uint64_t delta = length - old;
    for (std::size_t i = block + 1; i < m_tree.size(); i += i & (~i + 1)) m_tree[i] += delta;
}

void BlockByteCounts::replaceBlocks(std::size_t first, std::size_t removed,
                                    std::span<const std::uint64_t> lengths) {
    if (first > m_lengths.size() || removed > m_lengths.size() - first)
        throw std::out_of_range("BlockByteCounts::replaceBlocks");
    if (removed == lengths.size()) {
        for (std::size_t i = 0; i < removed; ++i) setBlockLength(first + i, lengths[i]);
        return;
    }
    const auto at = m_lengths.begin() + static_cast<std::ptrdiff_t>(first);
    m_lengths.erase(at, at + static_cast<std::ptrdiff_t>(removed));
    m_lengths.insert(m_lengths.begin() + static_cast<std::ptrdiff_t>(first), lengths.begin(),
                     lengths.end());
    if (m_lengths.empty()) m_lengths.push_back(0);
    rebuild();
}

} // namespace zub
