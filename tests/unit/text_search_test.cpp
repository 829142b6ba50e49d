#include "text/codepage.h"
#include "workbench/text_search.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace zub;

namespace {

using Pos = std::optional<std::size_t>;

std::string gbk(const char16_t* text) {
    return cp::fromUtf16(text);
}

Pos down(std::string_view text, std::string_view find, std::size_t from, SearchOptions o = {}) {
    return TextSearch(find, o).findDown(text, from);
}
Pos up(std::string_view text, std::string_view find, std::size_t limit, SearchOptions o = {}) {
    return TextSearch(find, o).findUp(text, limit);
}

constexpr SearchOptions kMatchCase{true, false};
constexpr SearchOptions kWholeWord{false, true};

} // namespace

TEST(TextSearch, DownBeginsAtTheStartingPointAndNeverWraps) {
    EXPECT_EQ(down("abc abc", "abc", 0), Pos(0));
    EXPECT_EQ(down("abc abc", "abc", 1), Pos(4));
    EXPECT_EQ(down("abc abc", "abc", 4), Pos(4));
    EXPECT_EQ(down("abc abc", "abc", 5), std::nullopt); // only before the starting point
    EXPECT_EQ(down("abc", "abc", 3), std::nullopt);
    EXPECT_EQ(down("ab", "abc", 0), std::nullopt);
    EXPECT_EQ(down("abc", "", 0), std::nullopt); // an empty find text finds nothing
    EXPECT_EQ(down("", "a", 0), std::nullopt);
    EXPECT_EQ(down("abc", "c", 99), std::nullopt);
}

TEST(TextSearch, UpFindsTheNearestMatchEndingAtOrBeforeTheLimit) {
    EXPECT_EQ(up("ab ab ab", "ab", 8), Pos(6));
    EXPECT_EQ(up("ab ab ab", "ab", 7), Pos(3));
    EXPECT_EQ(up("ab ab ab", "ab", 5), Pos(3));
    EXPECT_EQ(up("ab ab ab", "ab", 4), Pos(0));
    EXPECT_EQ(up("ab ab ab", "ab", 1), std::nullopt); // no wrap-around to the end
    EXPECT_EQ(up("ab ab ab", "", 8), std::nullopt);
    EXPECT_EQ(up("ab", "ab", 99), Pos(0));
}

TEST(TextSearch, CaseFoldsOneByteCharactersOnlyWhenAsked) {
    EXPECT_EQ(down("xx ABC abc", "abc", 0), Pos(3));
    EXPECT_EQ(down("xx ABC abc", "aBc", 0, kMatchCase), std::nullopt);
    EXPECT_EQ(down("xx ABC abc", "abc", 0, kMatchCase), Pos(7));
    EXPECT_EQ(up("aBc ABC abc", "Abc", 11, kMatchCase), std::nullopt);
    EXPECT_EQ(up("aBc ABC abc", "Abc", 11), Pos(8));
    // Other bytes are not letters: digits and punctuation stay as they are.
    EXPECT_EQ(down("[1] {1}", "{1", 0), Pos(4));
    EXPECT_EQ(down("@`", "`", 0), Pos(1));
    TextSearch search("abc", kMatchCase);
    EXPECT_TRUE(search.equalsIgnoringCase("ABC")); // whatever the options say
    EXPECT_FALSE(search.equalsIgnoringCase("ABCD"));
    EXPECT_FALSE(search.equalsIgnoringCase("AB"));
}

TEST(TextSearch, MatchesBeginAndEndOnCharacterBoundaries) {
    // 乤 is 81 61 and 丄 is 81 41: their trail bytes are the letters 'a' and 'A'.
    const std::string a2 = gbk(u"乤"), A2 = gbk(u"丄");
    ASSERT_EQ(a2, "\x81"
                  "a");
    EXPECT_EQ(down(a2 + "xa", "a", 0), Pos(3));
    EXPECT_EQ(down(a2 + "xa", "A", 0), Pos(3));
    EXPECT_EQ(down(a2, "a", 0, kMatchCase), std::nullopt);
    EXPECT_EQ(up("a" + a2, "a", 3), Pos(0));
    // A match may not end inside a character either: the lead byte alone is not the character.
    EXPECT_EQ(down("x" + a2, "x\x81", 0), std::nullopt);
    // Two different characters never compare equal through their trail bytes.
    EXPECT_EQ(down(a2 + A2, A2, 0), Pos(2));
    EXPECT_EQ(down(a2, A2, 0), std::nullopt);
    // Double-byte letters compare by their bytes: the full-width letters keep their case.
    EXPECT_EQ(down(gbk(u"ａ"), gbk(u"Ａ"), 0), std::nullopt);
    EXPECT_EQ(down(gbk(u"中文中文"), gbk(u"文"), 0), Pos(2));
    EXPECT_EQ(down(gbk(u"中文中文"), gbk(u"文"), 4), Pos(6));
    // The editor holds CR LF as one line break: no match begins or ends between the two.
    EXPECT_EQ(down("a\r\nb", "\nb", 0), std::nullopt);
    EXPECT_EQ(down("a\r\nb", "a\r", 0), std::nullopt);
    EXPECT_EQ(down("a\r\nb", "a\r\n", 0), Pos(0));
    // Four-byte characters are whole characters too.
    const std::string emoji = gbk(u"\U0001F600");
    ASSERT_EQ(emoji.size(), 4u);
    EXPECT_EQ(down("a" + emoji + "b", emoji + "b", 0), Pos(1));
    EXPECT_EQ(down(emoji + emoji, emoji.substr(2), 0), std::nullopt);
}

TEST(TextSearch, WholeWordsAreRunsOfAsciiLettersAndDigits) {
    EXPECT_EQ(down("ab1 ab", "ab", 1, kWholeWord), Pos(4));
    EXPECT_EQ(down("xab ab", "ab", 0, kWholeWord), Pos(4));
    EXPECT_EQ(down("ab_ab", "ab", 1, kWholeWord), Pos(3)); // '_' separates
    EXPECT_EQ(down("ab\r\nab", "ab", 1, kWholeWord), Pos(4));
    EXPECT_EQ(down("abab", "ab", 1, kWholeWord), std::nullopt);
    EXPECT_EQ(down("ab", "ab", 0, kWholeWord), Pos(0));
    // Each byte of a double-byte character separates, even a trail byte that is a letter.
    EXPECT_EQ(down(gbk(u"中ab文"), "ab", 0, kWholeWord), Pos(2));
    EXPECT_EQ(down(gbk(u"乤ab乤"), "ab", 0, kWholeWord), Pos(2));
    EXPECT_EQ(up(gbk(u"中ab文"), "ab", 6, kWholeWord), Pos(2));
    // A word start needs a word: a find text beginning with a separator matches only where the
    // search begins.
    EXPECT_EQ(down("x ab  ab", " ab", 0, kWholeWord), std::nullopt);
    EXPECT_EQ(down("x ab", " ab", 1, kWholeWord), Pos(1));
}

TEST(TextSearch, WholeWordMayBeginInsideAWordOnlyWhereTheSearchBegins) {
    EXPECT_EQ(down("xab ab", "ab", 1, kWholeWord), Pos(1));
    EXPECT_EQ(down("xabc ab", "ab", 1, kWholeWord), Pos(5)); // but it must still end a word
    // Upwards the search begins at the match that ends right at the limit.
    EXPECT_EQ(up("ab xab", "ab", 6, kWholeWord), Pos(4));
    EXPECT_EQ(up("ab xab y", "ab", 8, kWholeWord), Pos(0));
    EXPECT_EQ(up("xab", "ab", 3, kWholeWord), Pos(1));
}

TEST(TextSearch, LongTextsAreSearchedToTheEnd) {
    std::string text(3'000'000, 'a');
    text += "ab";
    EXPECT_EQ(down(text, "AB", 0), Pos(3'000'000));
    EXPECT_EQ(up(text, "b", text.size()), Pos(3'000'001));
    EXPECT_EQ(down(text, "ab", 0, kWholeWord), std::nullopt);
}
