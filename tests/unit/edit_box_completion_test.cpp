#include "cliplist/edit_box_completion.h"
#include "cliplist/recent_list.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using namespace zub;

namespace {

// The field as the widget would hold it after applying each result.
class EditBoxTest : public ::testing::Test {
protected:
    RecentList recent;
    EditBoxCompletion completion;
    EditResult field;

    void items(std::initializer_list<const char*> newestLast) {
        for (const char* t : newestLast) recent.remember(t);
    }
    bool type(std::string_view character) {
        field = completion.typeCharacter(field.text, field.selectionStart, field.selectionLength,
                                         character, recent);
        return field.runSearch;
    }
    bool backspace() {
        field = completion.backspace(field.text, field.selectionStart, field.selectionLength);
        return field.runSearch;
    }
    void expectField(const std::string& text, std::size_t start, std::size_t length) {
        EXPECT_EQ(field.text, text);
        EXPECT_EQ(field.selectionStart, start);
        EXPECT_EQ(field.selectionLength, length);
    }
};

} // namespace

TEST_F(EditBoxTest, CompletesFromTheFirstMatchingItemAndSearchesOnlyOnASwitch) {
    items({"abzz", "abcdef"}); // list order: abcdef, abzz
    EXPECT_TRUE(type("a"));
    expectField("abcdef", 1, 5);
    EXPECT_EQ(completion.lastCompletedItem(), 0u);

    // Typing on replaces the selection and completes to the same item: no search.
    EXPECT_FALSE(type("b"));
    expectField("abcdef", 2, 4);

    // Another item: the text changes as far as the search is concerned.
    EXPECT_TRUE(type("z"));
    expectField("abzz", 3, 1);
    EXPECT_EQ(completion.lastCompletedItem(), 1u);

    // Completing the whole item leaves nothing selected.
    EXPECT_FALSE(type("z"));
    expectField("abzz", 4, 0);
}

TEST_F(EditBoxTest, KeepsTheTypedCaseAndEntersWhatCompletesNothing) {
    items({"Hello World"});
    EXPECT_TRUE(type("h"));
    EXPECT_FALSE(type("E"));
    expectField("hEllo World", 2, 9);

    // No item begins with "hEq": the character replaces the selection.
    EXPECT_TRUE(type("q"));
    expectField("hEq", 3, 0);
    EXPECT_EQ(completion.lastCompletedItem(), std::nullopt);

    // Inserted at a caret inside the text, the rest of the text stays.
    field = completion.typeCharacter("xyz", 1, 0, "-", recent);
    expectField("x-yz", 2, 0);
    EXPECT_TRUE(field.runSearch);

    // With a caret inside the text the whole field counts as typed: "hxyze" completes nothing,
    // so nothing after the caret is lost; "Hello Worl" + "d" completes wherever the caret is.
    field = completion.typeCharacter("hxyz", 1, 0, "e", recent);
    expectField("hexyz", 2, 0);
    field = completion.typeCharacter("Hello Worl", 0, 0, "d", recent);
    expectField("Hello World", 11, 0);
    // A selection inside the text: only what precedes it counts, and it is replaced.
    field = completion.typeCharacter("hxyz", 1, 3, "e", recent);
    expectField("hello World", 2, 9);
}

TEST_F(EditBoxTest, BackspaceRemovesTheCompletionOrOneWholeCharacter) {
    items({"abcdef"});
    type("a");
    type("b");
    EXPECT_TRUE(backspace());
    expectField("ab", 2, 0);
    EXPECT_TRUE(backspace());
    expectField("a", 1, 0);

    // After a Backspace the next completion, even to the same item, searches again.
    EXPECT_TRUE(type("b"));
    expectField("abcdef", 2, 4);

    const std::string ni = "\xC4\xE3";            // a Chinese character
    const std::string smile = "\x94\x39\xFC\x36"; // an emoji outside CP936
    field = {"x" + ni + smile, 7, 0, false};
    backspace();
    expectField("x" + ni, 3, 0);
    backspace();
    expectField("x", 1, 0);

    // Mid-text, at the start and on an empty field: still a search every time.
    field = {"a" + ni + "b", 3, 0, false};
    backspace();
    expectField("ab", 1, 0);
    field = {"ab", 0, 0, false};
    EXPECT_TRUE(backspace());
    expectField("ab", 0, 0);
    field = {};
    EXPECT_TRUE(backspace());
    expectField("", 0, 0);
}

TEST_F(EditBoxTest, MatchesWholeCharactersOnly) {
    // 'a' is the trail byte of the item's first character, which only looks like a letter.
    items({"\x81\x61"});
    EXPECT_TRUE(type("a"));
    expectField("a", 1, 0);
    field = {};
    type("\x81\x41"); // a different character, whatever upper-casing the trail would give
    expectField("\x81\x41", 2, 0);

    // A full-width letter completes without regard to case.
    recent.clear();
    items({"\xA3\xE1\xA3\xE2"}); // ａｂ
    field = {};
    type("\xA3\xC1"); // Ａ
    expectField("\xA3\xC1\xA3\xE2", 2, 2);
}

TEST_F(EditBoxTest, PickingAndOtherEditsSetTheCompletedItem) {
    items({"abcdef", "abzz"});
    field = completion.pickItem(1, recent);
    expectField("abcdef", 6, 0);
    EXPECT_TRUE(field.runSearch);
    EXPECT_EQ(completion.lastCompletedItem(), 1u);

    // Completing to the picked item changes nothing the search has not seen.
    field = {"ab", 2, 0, false};
    EXPECT_FALSE(type("c"));
    expectField("abcdef", 3, 3);
    EXPECT_THROW(completion.pickItem(2, recent), std::out_of_range);

    EXPECT_TRUE(completion.userEdited());
    EXPECT_EQ(completion.lastCompletedItem(), std::nullopt);
    completion.pickItem(0, recent);
    completion.reset();
    EXPECT_EQ(completion.lastCompletedItem(), std::nullopt);
}
