#include "cliplist/clip_list.h"
#include "text/codepage.h"
#include "text/collation.h"
#include "workbench/byte_text.h"
#include "workbench/word_prefix_search.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace zub;

namespace {

using Row = std::optional<std::size_t>;

// A text being typed: each step changes it and runs the search with the caret where a person's
// caret would be.
class Typing : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};
    WordPrefixSearch search;
    std::string text;
    std::size_t caret = 0;

    void fill(std::initializer_list<std::string> entries) {
        for (const std::string& e : entries) list.add(e);
    }
    Row run() { return search.run(StringByteText(text), caret, list, collator); }
    Row type(const std::string& bytes) {
        text.insert(caret, bytes);
        caret += bytes.size();
        return run();
    }
    Row backspace(std::size_t bytes = 1) {
        text.erase(caret - bytes, bytes);
        caret -= bytes;
        return run();
    }
};

// Counts what the search reads, to show that it reads only what it needs.
class CountingText : public ByteText {
public:
    explicit CountingText(const std::string& text) : m_text(text) {}
    std::uint64_t size() const override { return m_text.size(); }
    std::string bytes(std::uint64_t offset, std::uint64_t count) const override {
        read += count;
        return StringByteText(m_text).bytes(offset, count);
    }
    mutable std::uint64_t read = 0;

private:
    const std::string& m_text;
};

} // namespace

TEST_F(Typing, AfterEnterTheWordGrowsLetterByLetterIgnoringCase) {
    fill({"Apple", "abc"});
    EXPECT_EQ(type("\r\n"), Row(0));
    EXPECT_EQ(search.wordStart(), 3);
    EXPECT_EQ(type("a"), Row(0)); // 'Apple': case is ignored
    EXPECT_EQ(type("b"), Row(1));
    EXPECT_EQ(type("c"), Row(1));
    // A word that no entry begins with leaves the choice to the caller: nothing is selected.
    EXPECT_EQ(type("x"), std::nullopt);
}

TEST_F(Typing, SpaceAndEnterEndWordsButTabAndPunctuationDoNot) {
    fill({"one", "two", "t\tx", "t,x", cp::fromUtf16(u"t\u3000x")});
    EXPECT_EQ(type("two"), Row(1)); // before any boundary the word is all the text so far
    EXPECT_EQ(type(" "), Row(0));
    EXPECT_EQ(search.wordStart(), 5);
    EXPECT_EQ(type("t\tx"), Row(2));
    EXPECT_EQ(type(" "), Row(0));
    EXPECT_EQ(type("t,x"), Row(3));
    EXPECT_EQ(type(" "), Row(0));
    EXPECT_EQ(type(cp::fromUtf16(u"t\u3000x")), Row(4)); // the full-width space too
    EXPECT_EQ(type("\r\n"), Row(0));
    // A boundary counts only when the change leaves it right before the caret.
    EXPECT_EQ(type(" tw"), std::nullopt);
}

TEST_F(Typing, BeforeTheFirstBoundaryTheWordIsTheTextUpToTheByteAfterTheCaret) {
    fill({"abc", "xyz"});
    text = "xyz";
    caret = 0; // a document just opened: the word is its first byte
    EXPECT_EQ(run(), Row(1));
    caret = 1; // "x|yz": the word is "xy"
    EXPECT_EQ(run(), Row(1));
    EXPECT_EQ(search.wordStart(), 0);
}

TEST_F(Typing, TheWholeEntryIsComparedOverTheWordsLength) {
    fill({"abc", "ab[Zub]x", "ab"});
    type("\r\n");
    EXPECT_EQ(type("AB[z"), Row(1)); // the marker and the comment count
    // An entry shorter than the word never matches.
    EXPECT_EQ(type("ub]xyz"), std::nullopt);
}

TEST_F(Typing, ChineseWordsAreComparedByTheirBytes) {
    const std::string zhong = cp::fromUtf16(u"中"), wen = cp::fromUtf16(u"文");
    fill({cp::fromUtf16(u"中国"), zhong + wen + "x", "zhong"});
    type(" ");
    EXPECT_EQ(type(zhong), Row(0));
    EXPECT_EQ(type(wen), Row(1));
    // The caret counts bytes: two for each of these characters.
    EXPECT_EQ(caret, 5u);
    EXPECT_EQ(search.wordStart(), 2);
}

TEST_F(Typing, EmptyTextsAndEmptyListsSelectNothingOrTheFirst) {
    EXPECT_EQ(type("a"), std::nullopt); // an empty list
    fill({"x", "y"});
    text.clear();
    caret = 0;
    EXPECT_EQ(run(), Row(0)); // both bytes read as empty; the word is empty
}

TEST_F(Typing, TheWordIsNotReadWhenNoEntryIsLongEnough) {
    fill({"short", "tiny"});
    text = std::string(1 << 20, 'q');
    CountingText counting(text);
    EXPECT_EQ(search.run(counting, text.size(), list, collator), std::nullopt);
    EXPECT_LE(counting.read, 2u); // the two bytes before the caret, nothing more
}

TEST(WordPrefixMatcher, ComparesByTheLocaleNotByBytes) {
    Collator collator("zh_CN");
    const WordPrefixMatcher a(collator, "A");
    EXPECT_TRUE(a.matches("apple"));
    EXPECT_FALSE(a.matches("b"));
    EXPECT_FALSE(a.matches(""));
    EXPECT_TRUE(WordPrefixMatcher(collator, "").matches(""));
    const WordPrefixMatcher alpha(collator, cp::fromUtf16(u"Α"));
    EXPECT_TRUE(alpha.matches(cp::fromUtf16(u"αβ")));
    // Over the word's length in bytes: half of a character is not the character.
    EXPECT_FALSE(WordPrefixMatcher(collator, "A").matches(cp::fromUtf16(u"Ａ")));
    EXPECT_TRUE(WordPrefixMatcher(collator, cp::fromUtf16(u"ＡB")).matches(cp::fromUtf16(u"ａb!")));
    // An ignorable character in front is no reason to rule an entry out, on either side.
    EXPECT_TRUE(WordPrefixMatcher(collator, "\x01"
                                            "a")
                    .matches("a\x01"));
    EXPECT_TRUE(WordPrefixMatcher(collator, "a\x01")
                    .matches("\x01"
                             "a"));
}
