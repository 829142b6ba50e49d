#include "platform/codepage.h"
#include "platform/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using zub::Collator;
using zub::cp::fromUtf16;

TEST(Collation, IgnoresCaseButNotAccents) {
    Collator c("zh_CN");
    EXPECT_EQ(c.compare("apple", "APPLE"), 0);
    EXPECT_LT(c.compare("apple", "Banana"), 0);
    EXPECT_GT(c.compare("cherry", "Banana"), 0);
    EXPECT_NE(c.compare(fromUtf16(u"é"), "e"), 0);
    EXPECT_EQ(c.sortKey("Apple"), c.sortKey("aPPLE"));
}

TEST(Collation, SortsChineseByPinyin) {
    Collator c("zh_CN");
    // 啊 a, 吧 ba, 中 zhong: pinyin order, which is not the order of their code-page bytes.
    std::vector<std::string> words = {fromUtf16(u"中"), fromUtf16(u"吧"), fromUtf16(u"啊")};
    std::sort(words.begin(), words.end(),
              [&c](const std::string& a, const std::string& b) { return c.compare(a, b) < 0; });
    EXPECT_EQ(words,
              (std::vector<std::string>{fromUtf16(u"啊"), fromUtf16(u"吧"), fromUtf16(u"中")}));
    EXPECT_LT(c.sortKey(fromUtf16(u"北京")), c.sortKey(fromUtf16(u"上海")));
    EXPECT_LT(c.compare(fromUtf16(u"北京"), fromUtf16(u"上海")), 0);
}
