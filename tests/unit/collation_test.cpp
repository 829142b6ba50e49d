#include "text/codepage.h"
#include "text/collation.h"

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

// Whatever quickEquals decides, the collator agrees with; a probe answers as quickEquals does.
void expectQuickAgrees(const Collator& c, const std::string& a, const std::string& b) {
    const auto quick = c.quickEquals(a, b);
    if (quick) {
        EXPECT_EQ(*quick, c.compare(a, b) == 0) << a << " / " << b;
    }
    EXPECT_EQ(Collator::Probe(c, a).quickEquals(b), quick) << a << " / " << b;
}

} // namespace

TEST(Collation, QuickEqualityDecidesPlainTextsAndLeavesTheRestToTheCollator) {
    Collator zh("zh_CN");
    EXPECT_EQ(zh.quickEquals("http://www.a", "HTTP://WWW.A"), std::optional<bool>(true));
    EXPECT_EQ(zh.quickEquals("http://www.a", "http://www.b"), std::optional<bool>(false));
    EXPECT_EQ(zh.quickEquals(fromUtf16(u"中文abc"), fromUtf16(u"中文ABC")),
              std::optional<bool>(true));
    EXPECT_EQ(zh.quickEquals(fromUtf16(u"中文"), fromUtf16(u"中国")), std::optional<bool>(false));
    EXPECT_EQ(zh.quickEquals(fromUtf16(u"αβ"), fromUtf16(u"ΑΒ")), std::optional<bool>(true));
    EXPECT_EQ(zh.quickEquals("", ""), std::optional<bool>(true));
    EXPECT_EQ(zh.quickEquals("ab", "abc"), std::optional<bool>(false));
    // Width is no difference to the locale's comparison.
    EXPECT_EQ(zh.quickEquals(fromUtf16(u"ａ"), "A"), std::optional<bool>(true));
    // An ignorable control character, or a vowel that a pinyin tone mark may follow, leave it
    // to the collator.
    EXPECT_EQ(zh.quickEquals("a\x01", "a"), std::nullopt);
    EXPECT_EQ(zh.quickEquals(fromUtf16(u"a\u0304"), fromUtf16(u"ā")), std::nullopt);
    // A difference before them decides all the same.
    EXPECT_EQ(zh.quickEquals("xa\x01", "ya"), std::optional<bool>(false));

    // Hungarian writes "ccs" for "cscs", and Danish "aa" for "å".
    Collator hu("hu");
    EXPECT_EQ(hu.compare("ccs", "cscs"), 0);
    EXPECT_EQ(hu.quickEquals("ccs", "cscs"), std::nullopt);
    Collator da("da");
    EXPECT_EQ(da.compare("aa", fromUtf16(u"å")), 0);
    EXPECT_EQ(da.quickEquals("aa", fromUtf16(u"å")), std::nullopt);
}

TEST(Collation, QuickEqualityAgreesWithTheCollatorForEveryPairOfShortTexts) {
    // Letters in both cases and widths, digits, accents alone and combined, punctuation,
    // Chinese, Hangul and its letters, Japanese with its length mark, a context rule (l·),
    // controls: every pair of two of them, and every pair of texts that share a beginning,
    // which a probe passes over.
    const std::u16string pool = u"aAｂ1１éÉ .\u0001\t中文\u0304āǎ가가ーカかアΩ\u2126lL·";
    const std::u16string few = u"aAé\u0304中ーカアl·";
    std::vector<std::vector<std::string>> groups(1);
    for (char16_t x : pool)
        for (char16_t y : pool) groups[0].push_back(fromUtf16(std::u16string{x, y}));
    for (const std::u16string prefix : {u"abcd", u"中文字符", u"lL·aa"}) {
        groups.emplace_back();
        for (char16_t x : few)
            for (char16_t y : few)
                groups.back().push_back(fromUtf16(prefix + std::u16string{x, y}));
    }
    for (const char* locale : {"zh_CN", "ja", "hu", "da"}) {
        Collator c(locale);
        for (const auto& texts : groups)
            for (const std::string& a : texts)
                for (const std::string& b : texts) expectQuickAgrees(c, a, b);
        if (HasFailure()) {
            ADD_FAILURE() << "in " << locale;
            return;
        }
    }
}
