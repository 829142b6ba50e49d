#include "cliplist/clip_list.h"
#include "cliplist/entry_commands.h"
#include "text/collation.h"

#include <gtest/gtest.h>

using namespace zub;

TEST(EntryCommands, RecallTakesTheSelectedClipText) {
    Collator collator;
    ClipList list(collator);
    list.assign({"abc[Zub]note", "[Zub]note", "", "plain"});
    EXPECT_EQ(recallText(list), std::nullopt); // nothing selected
    list.select(0);
    EXPECT_EQ(recallText(list), "abc");
    list.select(1);
    EXPECT_EQ(recallText(list), ""); // an empty text, but one to recall
    list.select(2);
    EXPECT_EQ(recallText(list), std::nullopt);
    list.select(3);
    EXPECT_EQ(recallText(list), "plain");
}

TEST(EntryCommands, ReturnReplacesTheClipTextAndKeepsTheTail) {
    EXPECT_EQ(returnedEntry("old[Zub]note", "new"), "new[Zub]note");
    EXPECT_EQ(returnedEntry("old", "new"), "new");
    EXPECT_EQ(returnedEntry("old[Zub]", "new"), "new[Zub]");
    EXPECT_EQ(returnedEntry("old[Zub]note", ""), std::nullopt);
    // A marker typed into the edit box becomes the first one.
    EXPECT_EQ(returnedEntry("old[Zub]n", "x[Zub]y"), "x[Zub]y[Zub]n");
}

TEST(EntryCommands, CommentAddsReplacesAndRemoves) {
    EXPECT_EQ(commentDefault("abc"), "");
    EXPECT_EQ(commentDefault("abc[Zub]x[Zub]y"), "x[Zub]y");

    EXPECT_EQ(commentedEntry("abc", "x"), "abc[Zub]x");
    EXPECT_EQ(commentedEntry("abc[Zub]x", "y"), "abc[Zub]y");
    EXPECT_EQ(commentedEntry("abc[Zub]x", ""), "abc");
    EXPECT_EQ(commentedEntry("abc", ""), std::nullopt);
    EXPECT_EQ(commentedEntry("[Zub]x", "y"), "[Zub]y");
}

TEST(EntryCommands, CancelKeepsTheEntryUnlessItsCommentIsEmpty) {
    auto cancel = [](std::string_view entry) {
        return commentedEntry(entry, commentDefault(entry));
    };
    EXPECT_EQ(cancel("abc[Zub]x"), "abc[Zub]x");
    EXPECT_EQ(cancel("abc"), std::nullopt);
    EXPECT_EQ(cancel("abc[Zub]"), "abc");
}
