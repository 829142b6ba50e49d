#pragma once

#include "cliplist/entry_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

// What lets the edit-box search pass over most entries without reading them. A text contains
// another without regard to case only where its upper-cased bytes hold the other's upper-cased
// bytes, so every byte pair of the one is a byte pair of the other:
//  - row by row, two signatures of the byte pairs of the entry's upper-cased text, one bit of
//    64 per pair in each, by two hashes, in the order of the rows: a search reads the first
//    signature of every entry, eight at a time, the second of the few whose first holds every
//    bit of the text's pairs, and the text of the fewer still whose second does too;
//  - for the whole list, how often each byte and each byte pair occurs in the upper-cased
//    entries, so that a text holding one that occurs nowhere is answered at once.
class ContainsIndex {
public:
    bool isBuilt() const { return m_built; }
    // The entries of `rows`, in that order.
    void build(const EntryStore& store, const EntryIds& rows);
    void drop();

    // While built, in step with the list's rows: an entry comes at `row`; an entry's text is
    // about to go (its row goes with eraseRows or keepRows, or gets a new text with set); the
    // entry at `row` has a new text; entries go; rows move. Texts are those the list holds.
    void insert(std::size_t row, std::string_view text);
    void forget(std::string_view text);
    void set(std::size_t row, std::string_view text);
    void eraseRows(std::size_t first, std::size_t last);
    void keepRows(const std::vector<bool>& gone);
    void move(std::size_t from, std::size_t to);
    // The rows of `order` (row numbers) become rows 0, 1, 2...
    void permute(const std::vector<std::uint32_t>& order);

    // The bits every entry containing an upper-cased text has in its signatures.
    struct Mask {
        std::uint64_t first = 0;
        std::uint64_t second = 0;
    };
    static Mask mask(std::string_view upper);
    // Whether any entry might contain the upper-cased text at all.
    bool mayOccur(std::string_view upper) const;
    // The first row from `row` on whose signatures hold the mask, or the number of rows.
    std::size_t nextCandidate(std::size_t row, const Mask& mask) const;

private:
    // Counts the upper-cased text in (+1) or out (-1) and returns its signatures.
    Mask count(std::string_view text, int change);
    // cp::toUpper(text) into m_upper.
    void upperCase(std::string_view text);
    template <typename F> void forBoth(F&& f) {
        f(m_first);
        f(m_second);
    }

    static constexpr std::uint32_t kStuck = ~std::uint32_t{0};
    std::vector<std::uint64_t> m_first;
    std::vector<std::uint64_t> m_second;
    std::vector<std::uint32_t> m_bytes;
    std::vector<std::uint32_t> m_pairs;
    std::string m_upper;
    bool m_built = false;
};

} // namespace zub
