#include "cliplist/clip_list.h"
#include "cliplist/selection_display.h"
#include "text/codepage.h"
#include "text/collation.h"

#include <gtest/gtest.h>

using namespace zub;

TEST(SelectionDisplay, ShowsNumberCommentHintAndReorderRange) {
    Collator collator("zh_CN");
    ClipList list(collator);
    SelectionDisplay none = selectionDisplay(list);
    EXPECT_EQ(none.number, cp::fromUtf16(u"就绪"));
    EXPECT_EQ(none.comment, "");
    EXPECT_EQ(none.hint, "");
    EXPECT_EQ(none.reorderMinimum, 0);
    EXPECT_EQ(none.reorderPosition, 0);

    for (const char* e : {"a", "abc[Zub]note", "abc[Zub]", "abc"}) list.add(e);
    list.select(1);
    SelectionDisplay d = selectionDisplay(list);
    EXPECT_EQ(d.number, "2/4");
    EXPECT_EQ(d.comment, "note");
    EXPECT_EQ(d.hint, "abc[Zub]note");
    EXPECT_EQ(d.reorderMinimum, 3);
    EXPECT_EQ(d.reorderPosition, 1);
    list.select(2);
    EXPECT_EQ(selectionDisplay(list).comment, "");
    list.select(3);
    EXPECT_EQ(selectionDisplay(list).comment, cp::fromUtf16(u"无"));
}

TEST(SelectionDisplay, ReachesRowsBeyondSixteenBits) {
    Collator collator("zh_CN");
    ClipList list(collator);
    list.assign(std::vector<std::string>(40000, "x"));
    list.select(39999);
    const SelectionDisplay d = selectionDisplay(list);
    EXPECT_EQ(d.number, "40000/40000");
    EXPECT_EQ(d.reorderMinimum, 39999);
    EXPECT_EQ(d.reorderPosition, 39999);
}
