#include "cliplist/recent_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zub;
using Items = std::vector<std::string>;

TEST(RecentList, KeepsTheFiveNewestWithoutRepeats) {
    RecentList recent;
    for (const char* t : {"1", "2", "3", "4", "5", "6"}) EXPECT_TRUE(recent.remember(t));
    EXPECT_EQ(recent.items(), (Items{"6", "5", "4", "3", "2"}));

    // An equal item stays where it is.
    EXPECT_FALSE(recent.remember("4"));
    EXPECT_EQ(recent.items(), (Items{"6", "5", "4", "3", "2"}));

    recent.clear();
    EXPECT_TRUE(recent.items().empty());
}

TEST(RecentList, ComparesExactBytesAndTakesEmptyText) {
    RecentList recent;
    recent.remember("abc");
    EXPECT_TRUE(recent.remember("ABC"));
    EXPECT_TRUE(recent.remember(""));
    EXPECT_FALSE(recent.remember(""));
    EXPECT_TRUE(recent.remember("abc "));
    EXPECT_EQ(recent.items(), (Items{"abc ", "", "ABC", "abc"}));
}
