#include "workbench/block_byte_counts.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using zub::BlockByteCounts;

namespace {

// The same answers the slow way, from the plain list of line lengths.
struct Reference {
    std::vector<std::uint64_t> lengths{0};

    std::uint64_t offset(std::size_t block) const {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < block; ++i) sum += lengths[i] + 2;
        return sum;
    }
    std::uint64_t total() const { return offset(lengths.size() - 1) + lengths.back(); }
    std::size_t blockAt(std::uint64_t byte) const {
        std::size_t block = 0;
        while (block + 1 < lengths.size() && offset(block + 1) <= byte) ++block;
        return block;
    }
};

void expectSame(const BlockByteCounts& counts, const Reference& reference) {
    ASSERT_EQ(counts.blockCount(), reference.lengths.size());
    ASSERT_EQ(counts.totalBytes(), reference.total());
    for (std::size_t b = 0; b < reference.lengths.size(); ++b) {
        ASSERT_EQ(counts.blockLength(b), reference.lengths[b]);
        ASSERT_EQ(counts.blockOffset(b), reference.offset(b)) << "block " << b;
    }
    for (std::uint64_t byte = 0; byte <= reference.total() + 3; ++byte)
        ASSERT_EQ(counts.blockAt(byte), reference.blockAt(byte)) << "byte " << byte;
}

} // namespace

TEST(BlockByteCounts, CountsCrLfBetweenLinesButNotAfterTheLast) {
    BlockByteCounts counts;
    EXPECT_EQ(counts.blockCount(), 1u);
    EXPECT_EQ(counts.totalBytes(), 0u);
    EXPECT_EQ(counts.blockAt(0), 0u);

    counts.assign({1, 0, 3}); // "a", "", "abc": a CR LF CR LF a b c
    EXPECT_EQ(counts.totalBytes(), 8u);
    EXPECT_EQ(counts.blockOffset(0), 0u);
    EXPECT_EQ(counts.blockOffset(1), 3u);
    EXPECT_EQ(counts.blockOffset(2), 5u);
    // The CR and the LF belong to the line they end.
    EXPECT_EQ(counts.blockAt(1), 0u);
    EXPECT_EQ(counts.blockAt(2), 0u);
    EXPECT_EQ(counts.blockAt(3), 1u);
    EXPECT_EQ(counts.blockAt(4), 1u);
    EXPECT_EQ(counts.blockAt(5), 2u);
    EXPECT_EQ(counts.blockAt(8), 2u);
    EXPECT_EQ(counts.blockAt(1000), 2u);

    counts.assign({});
    EXPECT_EQ(counts.blockCount(), 1u);
    EXPECT_EQ(counts.totalBytes(), 0u);
    EXPECT_THROW(counts.replaceBlocks(0, 2, std::vector<std::uint64_t>{1}), std::out_of_range);
    EXPECT_THROW(counts.replaceBlocks(2, 0, std::vector<std::uint64_t>{1}), std::out_of_range);
}

TEST(BlockByteCounts, RandomEditsAgreeWithCountingByHand) {
    std::mt19937 random(13);
    BlockByteCounts counts;
    Reference reference;
    for (int step = 0; step < 400; ++step) {
        const std::size_t n = reference.lengths.size();
        if (random() % 3 == 0) {
            const std::size_t block = random() % n;
            const std::uint64_t length = random() % 50;
            counts.setBlockLength(block, length);
            reference.lengths[block] = length;
        } else {
            const std::size_t first = random() % n;
            const std::size_t removed = 1 + random() % std::min<std::size_t>(3, n - first);
            std::vector<std::uint64_t> added(1 + random() % 3);
            for (auto& length : added) length = random() % 20;
            counts.replaceBlocks(first, removed, added);
            reference.lengths.erase(reference.lengths.begin() + static_cast<long>(first),
                                    reference.lengths.begin() + static_cast<long>(first + removed));
            reference.lengths.insert(reference.lengths.begin() + static_cast<long>(first),
                                     added.begin(), added.end());
        }
        expectSame(counts, reference);
    }
}
