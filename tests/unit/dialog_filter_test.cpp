#include "platform/qt/name_filters.h"

#include <gtest/gtest.h>

using namespace zub;

namespace {
QStringList convert(const char* windowsFilter) {
    return toQtNameFilters(QString::fromUtf8(windowsFilter));
}
QStringList list(std::initializer_list<const char*> items) {
    QStringList result;
    for (const char* item : items) result.append(QString::fromUtf8(item));
    return result;
}
} // namespace

TEST(DialogFilter, EachDescriptionIsFollowedByQtsPatterns) {
    // The dialog shows the part before the last parentheses, so the description stays exact.
    EXPECT_EQ(convert("Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*"),
              list({"Zub文档(*.zub) (*.zub)", "所有文档(*.*) (*)"}));
    // Qt separates patterns with blanks, not semicolons.
    EXPECT_EQ(
        convert("All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp"),
        list({"All (*.bmp;*.ico;*.emf;*.wmf) (*.bmp *.ico *.emf *.wmf)",
              "Bitmaps (*.bmp) (*.bmp)"}));
    EXPECT_EQ(convert("笔记(旧)|*.txt"), list({"笔记(旧) (*.txt)"}));
    EXPECT_EQ(convert("|*.txt"), list({"*.txt (*.txt)"}));
}

TEST(DialogFilter, IncompleteEntriesAreDropped) {
    EXPECT_EQ(convert(""), QStringList());
    EXPECT_EQ(convert("Zub文档(*.zub)"), QStringList());
    EXPECT_EQ(convert("A|*.a|B"), list({"A (*.a)"}));
    EXPECT_EQ(convert("A|*.a|B||"), list({"A (*.a)"}));
}
