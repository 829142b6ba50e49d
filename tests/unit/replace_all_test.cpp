#include "cliplist/clip_list.h"
#include "text/codepage.h"
#include "text/collation.h"
#include "workbench/byte_text.h"
#include "workbench/replace_all.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace zub;

namespace {

std::string applied(std::string_view text, const ReplaceAllResult& r) {
    std::string out(text.substr(0, r.changeStart));
    out += r.changed;
    out += text.substr(r.oldChangeEnd);
    return out;
}

std::string replaced(std::string_view text, std::string_view find, std::string_view by,
                     std::size_t selStart = 0, std::size_t selLength = 0,
                     SearchOptions options = {}) {
    return applied(text, replaceAll(text, selStart, selLength, TextSearch(find, options), by));
}

} // namespace

TEST(ReplaceAll, ReplacementsAreNeverSearchedAgain) {
    EXPECT_EQ(replaced("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaced("abab", "ab", "b"), "bb");
    EXPECT_EQ(replaced("aXa", "x", ""), "aa");
    EXPECT_EQ(replaced("AaA", "a", "b"), "bbb");
    EXPECT_EQ(replaced("AaA", "a", "b", 0, 0, {true, false}), "AbA");
}

TEST(ReplaceAll, StartsAtTheSelectionAndReplacesItOnlyWhenItIsTheFindTextExactly) {
    // Matches before the selection are left alone.
    EXPECT_EQ(replaced("a a a", "a", "b", 2, 0), "a b b");
    EXPECT_EQ(replaced("a a a", "a", "b", 2, 1), "a b b");
    // A selection that equals the find text only without regard to case stays, and the search
    // starts after it.
    EXPECT_EQ(replaced("a A a", "a", "b", 2, 1), "a A b");
    // Whole word: right after the starting point a match may begin inside a word.
    EXPECT_EQ(replaced("xab ab", "ab", "c", 1, 0, {false, true}), "xc c");
    EXPECT_EQ(replaced("ab ab", "ab", "c", 1, 0, {false, true}), "ab c");
}

TEST(ReplaceAll, ReportsWhereEachReplacementLeftTheCaret) {
    const ReplaceAllResult r = replaceAll("xaxa", 0, 0, TextSearch("a", {}), "bbb");
    ASSERT_EQ(r.spots.size(), 2u);
    EXPECT_EQ(r.spots[0].oldEnd, 2u);
    EXPECT_EQ(r.spots[0].newEnd, 4u);
    EXPECT_EQ(r.spots[1].oldEnd, 4u);
    EXPECT_EQ(r.spots[1].newEnd, 8u);
    EXPECT_EQ(r.caret(), 8u);
    // The change covers only the first to the last match.
    EXPECT_EQ(r.changeStart, 1u);
    EXPECT_EQ(r.oldChangeEnd, 4u);
    EXPECT_TRUE(replaceAll("xyz", 0, 0, TextSearch("a", {}), "b").empty());
    EXPECT_TRUE(replaceAll("xyz", 0, 0, TextSearch("", {}), "b").empty());
}

TEST(ReplaceAll, LeavesHalvesOfCharactersAlone) {
    const std::string a2 = cp::fromUtf16(u"乤"); // 81 61: its trail byte is 'a'
    EXPECT_EQ(replaced(a2 + "a", "a", "b"), a2 + "b");
    EXPECT_EQ(replaced(cp::fromUtf16(u"中a文a"), "A", cp::fromUtf16(u"字")),
              cp::fromUtf16(u"中字文字"));
}

// The one pass must leave the clip list's selection and the word start exactly as replacing one
// match at a time, with the word-prefix search after each, would.
class OnePassAgainstOneAtATime : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};

    struct Outcome {
        std::string text;
        std::optional<std::size_t> selection;
        std::int32_t wordStart = 0;
    };

    Outcome oneAtATime(std::string text, std::size_t selStart, std::size_t selLength,
                       const TextSearch& search, const std::string& by,
                       WordPrefixSearch prefixSearch, std::optional<std::size_t> selection) {
        auto change = [&](std::size_t at, std::size_t length) {
            text.replace(at, length, by);
            if (auto row = prefixSearch.run(StringByteText(text), at + by.size(), list, collator))
                selection = row;
            return at + by.size();
        };
        std::size_t from = selStart + selLength;
        if (selLength > 0 && text.substr(selStart, selLength) == search.findText())
            from = change(selStart, selLength);
        while (auto m = search.findDown(text, from)) from = change(*m, search.length());
        return {text, selection, prefixSearch.wordStart()};
    }

    Outcome onePass(const std::string& text, std::size_t selStart, std::size_t selLength,
                    const TextSearch& search, const std::string& by, WordPrefixSearch prefixSearch,
                    std::optional<std::size_t> selection) {
        const ReplaceAllResult r = replaceAll(text, selStart, selLength, search, by);
        if (auto row = replayWordPrefixSearch(prefixSearch, text, r, list, collator))
            selection = row;
        return {applied(text, r), selection, prefixSearch.wordStart()};
    }
};

TEST_F(OnePassAgainstOneAtATime, RandomTextsGiveTheSameTextSelectionAndWordStart) {
    std::mt19937 random(14);
    const std::string a2 = cp::fromUtf16(u"乤");
    const std::string zhong = cp::fromUtf16(u"中");
    auto pick = [&](std::initializer_list<std::string> pieces, int maxCount) {
        std::string out;
        const int count = std::uniform_int_distribution<int>(0, maxCount)(random);
        for (int i = 0; i < count; ++i) out += pieces.begin()[random() % pieces.size()];
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        // Entries that the words being replaced often begin with, and words ended by spaces
        // and line breaks, so that the selection moves back and forth.
        list.clear();
        const int entries = std::uniform_int_distribution<int>(0, 4)(random);
        for (int i = 0; i < entries; ++i) list.add(pick({"a", "b", "A", "ab", "ba", a2}, 3));
        const std::string text = pick({"a", "A", "b", " ", "\r\n", "ab", a2, zhong}, 14);
        const std::string find = pick({"a", "b", "A", "ab", " ", a2}, 2);
        const std::string by = pick({"a", "b", "B", " ", "ba", zhong}, 3);
        // A selection in whole characters, as the editor makes them.
        std::vector<std::size_t> boundaries{0};
        for (std::size_t i = 0; i < text.size(); i += cp::charLength(text, i))
            boundaries.push_back(i + cp::charLength(text, i));
        const std::size_t first = random() % boundaries.size();
        const std::size_t last = first + random() % (boundaries.size() - first);
        const std::size_t selStart = boundaries[first], selEnd = boundaries[last];
        const SearchOptions options{random() % 2 == 0, random() % 2 == 0};
        const TextSearch search(find, options);

        // The word start as earlier typing may have left it.
        WordPrefixSearch prefixSearch;
        const std::string typed = pick({"a", "b", " ", "\r\n"}, 4);
        prefixSearch.run(StringByteText(typed), typed.size(), list, collator);
        const std::optional<std::size_t> selection =
            list.empty() ? std::nullopt : std::optional<std::size_t>(random() % list.size());

        const Outcome slow =
            oneAtATime(text, selStart, selEnd - selStart, search, by, prefixSearch, selection);
        const Outcome fast =
            onePass(text, selStart, selEnd - selStart, search, by, prefixSearch, selection);
        ASSERT_EQ(fast.text, slow.text) << "text " << text << " find " << find << " by " << by;
        ASSERT_EQ(fast.selection, slow.selection) << "text " << text << " find " << find;
        ASSERT_EQ(fast.wordStart, slow.wordStart) << "text " << text << " find " << find;
    }
}

TEST_F(OnePassAgainstOneAtATime, BeforeAnyWordBoundaryTheWordTakesTheByteAfterTheCaret) {
    // With the word start still 0 the word runs to the byte after the caret: after replacing
    // 'x' by 'a' in "xb" it is "ab", read from a text in which only the first match is replaced.
    list.add("ax");
    list.add("ab");
    const TextSearch search("x", {});
    const Outcome slow = oneAtATime("xbx", 0, 0, search, "a", WordPrefixSearch(), std::nullopt);
    const Outcome fast = onePass("xbx", 0, 0, search, "a", WordPrefixSearch(), std::nullopt);
    EXPECT_EQ(slow.selection, std::optional<std::size_t>(1));
    EXPECT_EQ(fast.selection, slow.selection);
    EXPECT_EQ(fast.text, "aba");
}
