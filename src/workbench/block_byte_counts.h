#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zub {

// The workbench text's length in code-page bytes, kept per line (an editor's text block) so that
// a position can be turned into a byte offset, and back, without converting the text: each
// line's byte count sits in a Fenwick tree, and every line but the last is followed by CR LF
// (2 bytes). An edit inside a line costs O(log n); one that adds or removes lines rebuilds the
// tree in O(n), which is a move of machine words, not a conversion.
class BlockByteCounts {
public:
    // One empty line, as an empty editor has.
    BlockByteCounts();

    std::size_t blockCount() const { return m_lengths.size(); }
    // Bytes of the line, without its line break.
    std::uint64_t blockLength(std::size_t block) const { return m_lengths[block]; }
    // Bytes of the whole text, line breaks included.
    std::uint64_t totalBytes() const { return m_total; }
    // Bytes before the line: the lines above it with their line breaks.
    std::uint64_t blockOffset(std::size_t block) const;
    // The line whose bytes, or the line break after them, hold `offset`; the last line for an
    // offset at or beyond the end.
    std::size_t blockAt(std::uint64_t offset) const;

    // New byte count of one line.
    void setBlockLength(std::size_t block, std::uint64_t length);
    // `removed` lines from `first` on give way to lines with these byte counts.
    void replaceBlocks(std::size_t first, std::size_t removed,
                       std::span<const std::uint64_t> lengths);
    // The whole text anew; at least one line.
    void assign(std::vector<std::uint64_t> lengths);

private:
    void rebuild();

    std::vector<std::uint64_t> m_lengths;
    // Fenwick tree over (length + 2) per line, 1-based.
    std::vector<std::uint64_t> m_tree;
    std::uint64_t m_total = 0;
};

} // namespace zub
