#include "cliplist/clip_entry.h"
#include "text/substring.h"

#include <gtest/gtest.h>

using namespace zub;

TEST(ClipEntry, SplitsAtTheFirstMarker) {
    EXPECT_EQ(clipText("abc[Zub]note"), "abc");
    EXPECT_EQ(entryComment("abc[Zub]note"), "note");
    EXPECT_EQ(entryTail("abc[Zub]note"), "[Zub]note");

    EXPECT_EQ(clipText("abc[Zub]"), "abc");
    EXPECT_EQ(entryComment("abc[Zub]"), "");

    EXPECT_EQ(clipText("abc"), "abc");
    EXPECT_EQ(entryComment("abc"), std::nullopt);
    EXPECT_EQ(entryTail("abc"), "");

    EXPECT_EQ(clipText("[Zub]x[Zub]y"), "");
    EXPECT_EQ(entryComment("[Zub]x[Zub]y"), "x[Zub]y");
    EXPECT_EQ(markerPosition("[Zub]x[Zub]y"), 0u);

    // The marker is case-sensitive.
    EXPECT_EQ(clipText("abc[zub]x"), "abc[zub]x");
    EXPECT_EQ(entryComment("abc[ZUB]x"), std::nullopt);
}

TEST(ClipEntry, ClipTextEqualityAgreesWithSplitting) {
    const char* entries[] = {"",          "abc",   "abc[Zub]",      "abc[Zub]note", "[Zub]x",
                             "x[Z[Zub]y", "x[Zub", "ab[Zub]c[Zub]", "abc[Zu",       "abcd"};
    const char* texts[] = {"", "abc", "x[Z", "x[Zub", "abc[Zub]", "ab", "abc[Zu", "[Zub]"};
    for (const char* e : entries)
        for (const char* t : texts)
            EXPECT_EQ(clipTextEquals(e, t), clipText(e) == t) << e << " / " << t;
}

TEST(Substring, FollowsTheForgivingRule) {
    EXPECT_EQ(substring("abcdef", 2, 3), "bcd");
    EXPECT_EQ(substring("abcdef", 0, 2), "ab");
    EXPECT_EQ(substring("abcdef", -5, 2), "ab");
    EXPECT_EQ(substring("abcdef", 7, 2), "");
    EXPECT_EQ(substring("abcdef", 6, 10), "f");
    EXPECT_EQ(substring("abcdef", 2, -1), "");
    EXPECT_EQ(substring("", 1, 1), "");
}
