#include "platform/sim/sim_shell.h"
#include "text/codepage.h"
#include "workbench/go_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zub;

namespace {

using Requests = std::vector<std::string>;

std::string cp936(const char16_t* text) {
    return cp::fromUtf16(text);
}

} // namespace

TEST(PercentEncodedQuery, SendsTheCharactersAsUtf8) {
    EXPECT_EQ(percentEncodedQuery(cp936(u"中文")), "%E4%B8%AD%E6%96%87");
    // Full-width and GB18030-only characters travel as exactly those characters.
    EXPECT_EQ(percentEncodedQuery(cp936(u"Ａ€")), "%EF%BC%A1%E2%82%AC");
    EXPECT_EQ(percentEncodedQuery("\x94\x39\xFC\x36"), "%F0%9F%98%80"); // U+1F600
    // A lead byte without its trail is no character.
    EXPECT_EQ(percentEncodedQuery("a\x81"), "a%EF%BF%BD");
    EXPECT_EQ(percentEncodedQuery(""), "");
}

TEST(PercentEncodedQuery, KeepsOnlyTheCharactersAQueryValueCarriesRaw) {
    EXPECT_EQ(percentEncodedQuery("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(percentEncodedQuery("a b&c#d%e+f=g/h?i:j"), "a%20b%26c%23d%25e%2Bf%3Dg%2Fh%3Fi%3Aj");
    EXPECT_EQ(percentEncodedQuery("$(touch /tmp/x)"), "%24%28touch%20%2Ftmp%2Fx%29");
    EXPECT_EQ(percentEncodedQuery("; rm -rf ~"), "%3B%20rm%20-rf%20~");
    EXPECT_EQ(percentEncodedQuery("\t\"'<>`\x7F"), "%09%22%27%3C%3E%60%7F");
}

TEST(WebSearchAddress, IsAnHttpQueryPageEndingInTheWordKey) {
    EXPECT_EQ(kWebSearchAddress.substr(0, 7), "http://");
    EXPECT_TRUE(kWebSearchAddress.ends_with("word="));
    EXPECT_EQ(webSearchAddress(""), kWebSearchAddress);
    EXPECT_EQ(webSearchAddress(cp936(u"中文 a&b")),
              std::string(kWebSearchAddress) + "%E4%B8%AD%E6%96%87%20a%26b");
}

TEST(AutoCompleted, WrapsShortNonEmptyTextsOnly) {
    EXPECT_EQ(autoCompleted("abc"), "http://www.abc.com");
    EXPECT_EQ(autoCompleted("abc")->size(), 18u);
    EXPECT_EQ(autoCompleted(""), std::nullopt);

    const std::string longest(39, 'x');
    EXPECT_EQ(autoCompleted(longest), "http://www." + longest + ".com");
    EXPECT_EQ(autoCompleted(std::string(40, 'x')), std::nullopt);
    EXPECT_EQ(autoCompleted(std::string(200, 'x')), std::nullopt);

    // Bytes, not characters: 19 Chinese characters fit, 20 do not.
    const std::string nineteen = cp936(u"一二三四五六七八九十一二三四五六七八九");
    ASSERT_EQ(nineteen.size(), 38u);
    EXPECT_EQ(autoCompleted(nineteen), "http://www." + nineteen + ".com");
    EXPECT_EQ(autoCompleted(nineteen + cp936(u"十")), std::nullopt);
}

TEST(AutoCompleted, AddsHeadAndTailEvenWhenThereAlready) {
    EXPECT_EQ(autoCompleted("http://www.a.com"), "http://www.http://www.a.com.com");
    EXPECT_EQ(autoCompleted(".com"), "http://www..com.com");
}

TEST(Go, StopsWhenTheShellOpensTheText) {
    SimShell shell;
    shell.setResult("notepad readme.txt", shell_result::kOpened);
    go(shell, "notepad readme.txt");
    EXPECT_EQ(shell.requests(), Requests{"notepad readme.txt"});

    // Any result above 32 means opened, 32 itself does not.
    shell.clearRequests();
    shell.setOtherResult(33);
    go(shell, "x");
    EXPECT_EQ(shell.requests(), Requests{"x"});
    shell.clearRequests();
    shell.setOtherResult(32);
    go(shell, "x");
    EXPECT_EQ(shell.requests(), (Requests{"x", webSearchAddress("x")}));
}

TEST(Go, SearchesForShortTextsTheShellCannotOpen) {
    SimShell shell;
    const std::string under(39, 'q');
    go(shell, under);
    EXPECT_EQ(shell.requests(), (Requests{under, webSearchAddress(under)}));

    shell.clearRequests();
    const std::string bound(40, 'q');
    go(shell, bound);
    EXPECT_EQ(shell.requests(), Requests{bound});

    // The empty text is short too; a search that fails as well is the end of it.
    shell.clearRequests();
    go(shell, "");
    EXPECT_EQ(shell.requests(), (Requests{"", std::string(kWebSearchAddress)}));
}

TEST(Go, HandsTheTextOverUnchanged) {
    SimShell shell;
    const std::string text = "  \"quoted\" C:\\dir\\ ";
    shell.setResult(text, shell_result::kOpened);
    go(shell, text);
    EXPECT_EQ(shell.requests(), Requests{text});
}
