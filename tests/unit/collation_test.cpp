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

namespace {

// Equal texts never have known, different leading primaries: the search may trust a difference.
void expectLeadingPrimariesAgree(const Collator& c, const std::string& a, const std::string& b) {
    ASSERT_EQ(c.compare(a, b), 0) << a << " / " << b;
    const auto pa = c.leadingPrimary(a);
    const auto pb = c.leadingPrimary(b);
    if (pa && pb) {
        EXPECT_EQ(*pa, *pb) << a << " / " << b;
    }
}

} // namespace

TEST(Collation, LeadingPrimariesRuleOutOnlyTextsThatDiffer) {
    Collator zh("zh_CN");
    expectLeadingPrimariesAgree(zh, "apple", "APPLE");
    expectLeadingPrimariesAgree(zh, fromUtf16(u"ａb"), "Ab"); // width is no difference here
    expectLeadingPrimariesAgree(zh, fromUtf16(u"Éa"), fromUtf16(u"éA"));
    expectLeadingPrimariesAgree(zh,
                                "\x01"
                                "ab",
                                "ab"); // an ignorable character in front
    expectLeadingPrimariesAgree(zh, fromUtf16(u"中文"), fromUtf16(u"中文"));
    EXPECT_FALSE(zh.leadingPrimary("\x01"
                                   "ab")
                     .has_value());
    EXPECT_FALSE(zh.leadingPrimary("").has_value());
    // Different first letters are told apart without the collator.
    ASSERT_TRUE(zh.leadingPrimary("a").has_value());
    ASSERT_TRUE(zh.leadingPrimary("b").has_value());
    EXPECT_NE(*zh.leadingPrimary("a"), *zh.leadingPrimary("b"));
    EXPECT_NE(*zh.leadingPrimary(fromUtf16(u"中")), *zh.leadingPrimary(fromUtf16(u"国")));
    // Only the first character is looked at, and cached: asking twice answers the same.
    EXPECT_EQ(zh.leadingPrimary("ax"), zh.leadingPrimary("ay"));
    EXPECT_EQ(zh.leadingPrimary(fromUtf16(u"😀a")), zh.leadingPrimary(fromUtf16(u"😀b")));

    // Pinyin tones may follow a vowel as combining marks: then the vowel alone decides nothing,
    // while before a plain letter it does.
    expectLeadingPrimariesAgree(zh, fromUtf16(u"a\u0304"), fromUtf16(u"ā"));
    EXPECT_FALSE(zh.leadingPrimary(fromUtf16(u"a\u0304")).has_value());
    EXPECT_TRUE(zh.leadingPrimary("ap").has_value());

    // Hungarian writes "ccs" for "cscs", and Danish "aa" for "å": where a letter can start
    // such a contraction it decides nothing alone.
    Collator hu("hu");
    expectLeadingPrimariesAgree(hu, "ccs", "cscs");
    EXPECT_FALSE(hu.leadingPrimary("ccs").has_value());
    Collator da("da");
    expectLeadingPrimariesAgree(da, "aa", fromUtf16(u"å"));
}

TEST(Collation, LeadingPrimariesAgreeForEveryEqualPairOfShortTexts) {
    Collator zh("zh_CN");
    // Letters in both cases and widths, digits, accents, punctuation, Chinese and controls, in
    // pairs: every pair the collator calls equal must agree.
    const std::u16string pool = u"aAｂＢ1１é É.。\u0001\t中文\u0304āǎ";
    std::vector<std::string> texts;
    for (char16_t x : pool)
        for (char16_t y : pool) texts.push_back(fromUtf16(std::u16string{x, y}));
    for (const std::string& a : texts)
        for (const std::string& b : texts)
            if (zh.compare(a, b) == 0) expectLeadingPrimariesAgree(zh, a, b);
}
