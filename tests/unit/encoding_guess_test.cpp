// UTF-8 beside the code page: well-formedness, conversion, and telling the two apart on real
// texts that are valid both ways.

#include "text/codepage.h"
#include "text/encoding_guess.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zub;

namespace {

std::string utf8Of(const char16_t* text) {
    return utf8::fromCodePage(cp::fromUtf16(text), utf8::StrayBytes::Keep);
}

bool hasStrayBytes(const std::string& codePageText) {
    for (const char16_t c : cp::toUtf16(codePageText))
        if (cp::isEscapedByte(c)) return true;
    return false;
}

} // namespace

TEST(Utf8, OnlyWellFormedSequencesAreValid) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain ASCII\r\n", true},
        {"\xE4\xB8\xAD\xE6\x96\x87", true},     // 中文
        {"\xC2\x80\xDF\xBF", true},             // U+0080, U+07FF
        {"\xEF\xBF\xBF\xF0\x90\x80\x80", true}, // U+FFFF, U+10000
        {"\xF4\x8F\xBF\xBF", true},             // U+10FFFF
        {"\xC0\x80", false},                    // NUL written long
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},     // U+07FF written in three bytes
        {"\xF0\x8F\xBF\xBF", false}, // U+FFFF written in four
        {"\xED\xA0\x80", false},     // a surrogate
        {"\xF4\x90\x80\x80", false}, // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},         // a continuation byte alone
        {"\xE4\xB8", false},     // cut off at the end
        {"\xE4\xB8\x41", false}, // cut off by ASCII
        {"abc\xFF", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8::isValid(c.bytes), c.valid) << testing::PrintToString(c.bytes);
}

TEST(Utf8, ConvertsBothWaysAndKeepsOrReplacesStrayBytes) {
    const std::u16string texts[] = {u"", u"abc", u"中文测试\r\n你好，世界\r\n", u"€ÀÿĀ😀𠀀",
                                    u"\u2029\uE5E5\uF8F5\uFFFD"};
    for (const std::u16string& text : texts) {
        const std::string codePage = cp::fromUtf16(text);
        const std::string utf8 = utf8::fromCodePage(codePage, utf8::StrayBytes::Keep);
        EXPECT_TRUE(utf8::isValid(utf8));
        EXPECT_EQ(utf8::toUtf16(utf8), text);
        EXPECT_EQ(utf8::toCodePage(utf8), codePage);
    }
    EXPECT_EQ(utf8Of(u"界"), "\xE7\x95\x8C");
    // A byte that is no character of the code page: kept for a file, replaced for an address.
    EXPECT_EQ(utf8::fromCodePage("a\xD6 ", utf8::StrayBytes::Keep), "a\xD6 ");
    EXPECT_EQ(utf8::fromCodePage("a\xD6 ", utf8::StrayBytes::Replace), "a\xEF\xBF\xBD ");
    EXPECT_EQ(utf8::toCodePage("a\xFF"), "a?");
}

// Samples of both kinds, each valid as UTF-8 and as GBK at once: only then is there a question.
// The GBK ones are Chinese words and phrases as a Windows program writes them (the code page's
// bytes equal iconv's GBK for all of them); the UTF-8 ones are texts in Chinese and other
// languages, taken from the translations of Debian's programs, that happen to pair up into GBK
// characters. Longer GBK texts are never valid UTF-8; texts of one or two characters can be
// undecidable (住址 reads as the Hebrew סַ), and those go to UTF-8.
TEST(EncodingGuess, RealTextsThatAreValidBothWaysAreReadAsTheyWereWritten) {
    const std::vector<const char16_t*> gbk = {u"状态",
                                              u"未知状态",
                                              u"摘要",
                                              u"页眉",
                                              u"通知",
                                              u"目录",
                                              u"系统",
                                              u"医学",
                                              u"位图",
                                              u"系统(%s)",
                                              u"<未知: %lx>",
                                              u"DVD 源",
                                              u"cd [-L|[-P [-e]] [-@]] [目录]",
                                              u"目录 %s 缺失",
                                              u"MacPaint 位图",
                                              u"平顺省",
                                              u"芒什省",
                                              u"莫诺省",
                                              u"韦梅省"};
    const std::vector<const char16_t*> utf8 = {
        u"中文测试",
        u"中文测试\r\n你好世界\r\n今天天气很好\r\n",
        u"会议改到下午",
        u"打开文件失败",
        u"注意事项",
        u"系统设置",
        u"页眉页脚",
        u"鉴定故障",
        u"...時間已經超過...\n",
        u"Сбой %s. Получен сигнал %d%s",
        u"Помилка %s: отримано сигнал %d%s",
        u"%s échec : signal capté %d%s",
        u"Unfähig einen gültigen Kontext zu erhalten für %s.",
        u"Πρέπει να οριστεί έγκυρη ενέργεια",
        u"...時間が切れかかっています...\n",
        u"%s 실패: 종료 코드 %d",
        u"%s thất bại: lối ra mã %d",
        u"%s fallido: señal capturada %d%s",
        u"%s נכשל: קוד היציאה %d",
        u"café crème, naïve résumé",
    };
    for (const char16_t* text : gbk) {
        const std::string bytes = cp::fromUtf16(text);
        ASSERT_TRUE(utf8::isValid(bytes) && utf8::hasMultiByte(bytes)) << bytes;
        EXPECT_FALSE(encoding::looksLikeUtf8(bytes)) << bytes;
    }
    for (const char16_t* text : utf8) {
        const std::string bytes = utf8Of(text);
        ASSERT_FALSE(hasStrayBytes(bytes)) << bytes;
        EXPECT_TRUE(encoding::looksLikeUtf8(bytes)) << bytes;
    }
    // Not well-formed, or nothing but ASCII: the code page, without a count.
    EXPECT_FALSE(encoding::looksLikeUtf8(utf8Of(u"中文") + "\xFF"));
    EXPECT_FALSE(encoding::looksLikeUtf8("plain"));
    EXPECT_FALSE(encoding::looksLikeUtf8(""));
}
