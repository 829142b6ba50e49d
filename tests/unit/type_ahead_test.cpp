#include "cliplist/clip_list.h"
#include "cliplist/type_ahead.h"
#include "text/codepage.h"
#include "text/collation.h"

#include <gtest/gtest.h>

using namespace zub;
using namespace std::chrono_literals;

class TypeAheadTest : public ::testing::Test {
protected:
    Collator collator{"zh_CN"};
    ClipList list{collator};
    TypeAhead typeAhead;
    TypeAhead::Clock::time_point t{};

    std::optional<std::size_t> type(std::string_view c, std::chrono::milliseconds after = 10ms) {
        t += after;
        return typeAhead.type(list, c, t);
    }
    std::optional<std::size_t> back(std::chrono::milliseconds after = 10ms) {
        t += after;
        return typeAhead.backspace(list, t);
    }
};

TEST_F(TypeAheadTest, BuildsAPrefixWhileKeysComeQuickly) {
    for (const char* e : {"apple", "Banana", "blueberry", "cherry"}) list.add(e);
    EXPECT_EQ(type("b"), 1u);
    EXPECT_EQ(type("L"), 2u);
    EXPECT_EQ(type("x"), std::nullopt);
    EXPECT_EQ(typeAhead.prefix(), "bLx");
    // 499 ms still continue the prefix, 500 ms start a new one.
    EXPECT_EQ(back(499ms), 2u);
    EXPECT_EQ(type("c", 500ms), 3u);
    EXPECT_EQ(typeAhead.prefix(), "c");
}

TEST_F(TypeAheadTest, BackspaceTakesWholeCharactersAndAnEmptyPrefixSelectsTheFirst) {
    EXPECT_EQ(back(), std::nullopt); // an empty list has no first entry
    list.add("zzz");
    list.add(cp::fromUtf16(u"中文"));
    list.add(cp::fromUtf16(u"中国"));
    EXPECT_EQ(type(cp::fromUtf16(u"中")), 1u);
    EXPECT_EQ(type(cp::fromUtf16(u"国")), 2u);
    EXPECT_EQ(back(), 1u);
    EXPECT_EQ(typeAhead.prefix(), cp::fromUtf16(u"中"));
    EXPECT_EQ(back(), 0u);
    EXPECT_EQ(typeAhead.prefix(), "");
}

TEST_F(TypeAheadTest, NeverMatchesInsideACharacter) {
    list.add("\x81\x61"); // a double-byte character whose trail byte reads as 'a'
    list.add("ab");
    EXPECT_EQ(type("A"), 1u);
    EXPECT_EQ(back(), 0u);
    EXPECT_EQ(type(cp::fromUtf16(u"ａ")), std::nullopt);
}
