#include "platform/x11/name_filters.h"

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

TEST(DialogFilter, DescriptionsThatShowTheirPatternsKeepTheirText) {
    EXPECT_EQ(convert("Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*"),
              list({"Zub文档(*.zub)", "所有文档(*)"}));
    EXPECT_EQ(convert("图位(*.bmp)|*.bmp"), list({"图位(*.bmp)"}));
    // Qt separates patterns with blanks, not semicolons.
    EXPECT_EQ(
        convert("All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp"),
        list({"All (*.bmp *.ico *.emf *.wmf)", "Bitmaps (*.bmp)"}));
}

TEST(DialogFilter, OtherDescriptionsGetThePatternsAppended) {
    EXPECT_EQ(convert("Text|*.txt;*.log"), list({"Text (*.txt *.log)"}));
    // Parentheses that are not the patterns must not be taken for them.
    EXPECT_EQ(convert("笔记(旧)|*.txt"), list({"笔记(旧) (*.txt)"}));
    EXPECT_EQ(convert("Zub(*.zub)|*.*"), list({"Zub(*.zub) (*)"}));
}

TEST(DialogFilter, IncompleteEntriesAreDropped) {
    EXPECT_EQ(convert(""), QStringList());
    EXPECT_EQ(convert("Zub文档(*.zub)"), QStringList());
    EXPECT_EQ(convert("A|*.a|B"), list({"A (*.a)"}));
    EXPECT_EQ(convert("A|*.a|B||"), list({"A (*.a)"}));
}
