#include "text/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zub::cp;

namespace {
std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}
} // namespace

TEST(CodePage, EncodesCp936TextWithItsOwnBytes) {
    EXPECT_EQ(fromUtf16(u"abc"), "abc");
    EXPECT_EQ(fromUtf16(u"中文"), bytes({0xD6, 0xD0, 0xCE, 0xC4}));
    EXPECT_EQ(fromUtf16(u"€"), bytes({0x80}));
    EXPECT_EQ(fromUtf16(u"ａＡαΑ"), bytes({0xA3, 0xE1, 0xA3, 0xC1, 0xA6, 0xC1, 0xA6, 0xA1}));
    EXPECT_EQ(fromUtf16(u"—―"), bytes({0xA1, 0xAA, 0xA8, 0x44}));
    EXPECT_EQ(fromUtf16(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, WritesWhatCp936LacksAsFourByteSequences) {
    EXPECT_EQ(fromUtf16(u"😀"), bytes({0x94, 0x39, 0xFC, 0x36}));
    EXPECT_EQ(fromUtf16(u"À"), bytes({0x81, 0x30, 0x86, 0x38}));
    EXPECT_EQ(toUtf16(bytes({0x94, 0x39, 0xFC, 0x36})), u"😀");
    EXPECT_EQ(toUtf16(bytes({0x81, 0x30, 0x86, 0x38})), u"À");
    // An unpaired surrogate is the one thing no encoding holds.
    EXPECT_EQ(fromUtf16(std::u16string(1, char16_t(0xD83D))), "?");
}

TEST(CodePage, CarriesBytesThatAreNoCharacterOneByOne) {
    EXPECT_EQ(toUtf16(bytes({0xD6, 0xD0, 0x61})), u"中a");
    EXPECT_EQ(toUtf16(bytes({0x80})), u"€");
    const char16_t d6 = escapedByte(0xD6);
    const char16_t x81 = escapedByte(0x81);
    const struct {
        std::string in;
        std::u16string out;
    } cases[] = {
        // A lead byte before a space, a line break, DEL, or the end of the text.
        {bytes({0x61, 0xD6}), {u'a', d6}},
        {bytes({0xD6, 0x20, 0xD6, 0xD0}), {d6, u' ', u'中'}},
        {bytes({0xD6, 0x0D, 0x0A}), {d6, u'\r', u'\n'}},
        {bytes({0xD6, 0x7F}), {d6, 0x7F}},
        // Four-byte sequences cut off, or of the right shape but standing for nothing.
        {bytes({0x81, 0x30, 0x81}), {x81, u'0', x81}},
        {bytes({0x81, 0x30}), {x81, u'0'}},
        {bytes({0xFE, 0x39, 0xFE, 0x39}), {escapedByte(0xFE), u'9', escapedByte(0xFE), u'9'}},
        // The one four-byte code GB18030 gives a character that CP936 writes as FF.
        {bytes({0x83, 0x39, 0xFE, 0x30}), {escapedByte(0x83), u'9', escapedByte(0xFE), u'0'}},
        {bytes({0xFF}), u"\uF8F5"},
        // GB18030's second code for the euro sign.
        {bytes({0xA2, 0xE3}), {escapedByte(0xA2), escapedByte(0xE3)}},
        // UTF-8 read in the code page: the last character's bytes are cut in two.
        {"\xE7\x95\x8C\r\n", {u'鐣', escapedByte(0x8C), u'\r', u'\n'}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf16(c.in), c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(fromUtf16(c.out), c.in) << testing::PrintToString(c.in);
        EXPECT_EQ(byteLength(c.out), c.in.size()) << testing::PrintToString(c.in);
    }
    // An escaped byte that follows a high surrogate is the pair's second half, and any other
    // unpaired surrogate is no byte at all.
    EXPECT_EQ(fromUtf16(std::u16string{0xD83C, 0xDC80}), fromUtf16(u"🂀"));
    EXPECT_EQ(fromUtf16(std::u16string{0xDC7F, 0xD800}), "??");
}

TEST(CodePage, EveryCharacterRoundTrips) {
    int privateUseRemapped = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::u16string in(1, static_cast<char16_t>(c));
        const std::string encoded = fromUtf16(in);
        if (c != '?') {
            ASSERT_NE(encoded, "?") << std::hex << unsigned(c);
        }
        const std::u16string back = toUtf16(encoded);
        if (back != in) {
            // Private-use code points whose CP936 bytes GB18030 gives to real characters come
            // back as GB18030's four-byte form; nothing else may differ.
            ASSERT_TRUE(c >= 0xE000 && c <= 0xF8FF) << std::hex << unsigned(c);
            ++privateUseRemapped;
        }
    }
    EXPECT_EQ(privateUseRemapped, 0);
    for (char32_t c : {0x10000u, 0x1F600u, 0x20000u, 0x10FFFFu}) {
        std::u16string in;
        c -= 0x10000;
        in.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        in.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        EXPECT_EQ(toUtf16(fromUtf16(in)), in);
    }
}

TEST(CodePage, EveryByteSequenceOfEveryShapeComesBackAsItself) {
    std::size_t characters = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            const std::string in = bytes({lead, trail});
            const std::u16string text = toUtf16(in);
            ASSERT_EQ(fromUtf16(text), in) << std::hex << lead << " " << trail;
            if (text.size() == 1) ++characters;
        }
    }
    // Every pair of a lead byte and a trail byte is a character, but for the euro sign's second
    // code.
    EXPECT_EQ(characters, std::size_t{126 * 190 - 1});
    for (const std::string& four :
         {bytes({0x81, 0x30, 0x81, 0x30}), bytes({0x84, 0x31, 0xA4, 0x39}),
          bytes({0x84, 0x31, 0xA5, 0x30}), bytes({0x90, 0x30, 0x81, 0x30}),
          bytes({0xE3, 0x32, 0x9A, 0x35}), bytes({0xE3, 0x32, 0x9A, 0x36})}) {
        EXPECT_EQ(fromUtf16(toUtf16(four)), four) << testing::PrintToString(four);
    }
}

TEST(CodePage, StepsOverOneTwoAndFourByteCharacters) {
    const std::string s = "a" + bytes({0xD6, 0xD0}) + bytes({0x94, 0x39, 0xFC, 0x36}) +
                          bytes({0x81, 0x5C}) + bytes({0x81});
    EXPECT_EQ(charLength(s, 0), 1u);
    EXPECT_EQ(charLength(s, 1), 2u);
    EXPECT_EQ(charLength(s, 3), 4u);
    EXPECT_EQ(charLength(s, 7), 2u);
    EXPECT_EQ(charLength(s, 9), 1u); // lead byte at the very end
    EXPECT_EQ(charLength(s, 10), 0u);
    EXPECT_EQ(charLength(bytes({0x81, 0x30, 0x81}), 0), 1u); // cut four-byte sequence
    EXPECT_EQ(charLength(bytes({0x80, 0x41}), 0), 1u);       // the euro sign
    EXPECT_EQ(previousCharStart(s, 10), 9u);
    EXPECT_EQ(previousCharStart(s, 9), 7u);
    EXPECT_EQ(previousCharStart(s, 7), 3u);
    EXPECT_EQ(previousCharStart(s, 3), 1u);
    EXPECT_EQ(previousCharStart(s, 1), 0u);
}

TEST(CodePage, UpperCasesWholeCharactersOnly) {
    EXPECT_EQ(toUpper("abc xyz 123"), "ABC XYZ 123");
    // A trail byte that happens to be a letter is not a letter.
    EXPECT_EQ(toUpper(bytes({0x81, 0x61})), bytes({0x81, 0x61}));
    EXPECT_EQ(toUpper(bytes({0x81, 0x61, 0x61})), bytes({0x81, 0x61, 0x41}));
    EXPECT_EQ(toUpper(bytes({0xA3, 0xE1})), bytes({0xA3, 0xC1})); // ａ -> Ａ
    EXPECT_EQ(toUpper(bytes({0xA6, 0xC1})), bytes({0xA6, 0xA1})); // α -> Α
    EXPECT_EQ(toUpper(fromUtf16(u"中文ⅰ")), fromUtf16(u"中文Ⅰ"));
    EXPECT_EQ(toUpper(fromUtf16(u"ա😀")), fromUtf16(u"Ա😀")); // four-byte letters
    // ā is two bytes but Ā four: a change of length would shift every later position.
    EXPECT_EQ(toUpper(fromUtf16(u"ā")), fromUtf16(u"ā"));
    EXPECT_EQ(toUpper(bytes({0x80, 0xFF, 0xD6})), bytes({0x80, 0xFF, 0xD6}));
}

TEST(CodePage, FindsOnlyOnCharacterBoundaries) {
    EXPECT_EQ(findOnBoundary(bytes({0xC4, 0xE3, 0xBA, 0xC3}), bytes({0xE3, 0xBA})),
              std::string::npos);
    EXPECT_EQ(findOnBoundary(bytes({0x81, 0x5C}), "\\"), std::string::npos);
    EXPECT_EQ(findOnBoundary(bytes({0x81, 0x5C, 0x5C}), "\\"), 2u);
    // A false match first, the real one later.
    EXPECT_EQ(findOnBoundary(bytes({0xC4, 0xE3, 0x41, 0xE3, 0xBA}), bytes({0xE3, 0xBA})), 3u);
    EXPECT_EQ(findOnBoundary("abc", ""), std::string::npos);
    EXPECT_EQ(findOnBoundary("", "a"), std::string::npos);

    EXPECT_TRUE(containsNoCase("Hello World", "WORLD"));
    EXPECT_TRUE(containsNoCase(fromUtf16(u"全角ａｂ"), fromUtf16(u"ＡＢ")));
    EXPECT_FALSE(containsNoCase(bytes({0x81, 0x61}), "A"));
    EXPECT_FALSE(containsNoCase("abc", ""));
}

TEST(CodePage, ComparesPrefixesWithoutCase) {
    EXPECT_TRUE(startsWithNoCase("Hello", "hE"));
    EXPECT_TRUE(startsWithNoCase("Hello", ""));
    EXPECT_FALSE(startsWithNoCase("He", "Hello"));
    EXPECT_TRUE(startsWithNoCase(fromUtf16(u"中文abc"), fromUtf16(u"中文A")));
    // The prefix ends in the middle of the text's first character.
    EXPECT_FALSE(startsWithNoCase(bytes({0x81, 0x61}), bytes({0x81})));
    EXPECT_FALSE(startsWithNoCase(bytes({0x81, 0x61}), bytes({0x81, 0x41})));
}

TEST(CodePage, FinderAgreesWithUpperCasingTheWholeText) {
    // Every pair drawn from a small alphabet of tricky pieces: case pairs in one and two bytes,
    // trail bytes that look like ASCII, four-byte characters, and bytes that are no character.
    const std::vector<std::string> pieces = {"a",
                                             "A",
                                             "b",
                                             "\\",
                                             "0",
                                             " ",
                                             bytes({0x81, 0x61}),
                                             bytes({0x81, 0x5C}),
                                             bytes({0xA3, 0xE1}),
                                             bytes({0xA3, 0xC1}),
                                             bytes({0xA6, 0xC1}),
                                             bytes({0xC4, 0xE3}),
                                             fromUtf16(u"ա"),
                                             fromUtf16(u"Ա"),
                                             fromUtf16(u"😀"),
                                             bytes({0x81}),
                                             bytes({0x80}),
                                             bytes({0xFF}),
                                             bytes({0x81, 0x30})};
    std::vector<std::string> texts = {""};
    for (const auto& a : pieces) {
        texts.push_back(a);
        for (const auto& b : pieces) {
            texts.push_back(a + b);
            for (const auto& c : {std::string("a"), bytes({0xE3}), fromUtf16(u"ա")})
                texts.push_back(a + b + c);
        }
    }
    for (const auto& needle : texts) {
        const NoCaseFinder finder(needle);
        const std::string upperNeedle = toUpper(needle);
        for (const auto& hay : texts) {
            ASSERT_EQ(finder.find(hay), findOnBoundary(toUpper(hay), upperNeedle))
                << testing::PrintToString(hay) << " / " << testing::PrintToString(needle);
            const std::string upperHay = toUpper(hay);
            std::size_t end = 0;
            while (end < needle.size() && end < hay.size()) end += charLength(hay, end);
            const bool prefix = needle.empty() || (findOnBoundary(upperHay, upperNeedle) == 0 &&
                                                   end == needle.size());
            ASSERT_EQ(finder.isPrefixOf(hay), prefix)
                << testing::PrintToString(hay) << " / " << testing::PrintToString(needle);
        }
    }
}

TEST(CodePage, ByteLengthIsTheLengthOfTheEncodedText) {
    for (char32_t c = 0; c < 0x10000; ++c) {
        const std::u16string one(1, static_cast<char16_t>(c));
        ASSERT_EQ(byteLength(one), fromUtf16(one).size()) << std::hex << unsigned(c);
    }
    EXPECT_EQ(byteLength(u"a中😀\r\n"), 1u + 2u + 4u + 2u);
    EXPECT_EQ(byteLength(u"€"), 1u);
    EXPECT_EQ(byteLength(u"À"), 4u);
    // Unpaired surrogates, alone or at either end, are one byte each: '?' or the escaped byte.
    const std::u16string broken = {0xDC00, u'a', escapedByte(0xD6), 0xD83D};
    EXPECT_EQ(byteLength(broken), fromUtf16(broken).size());
    EXPECT_EQ(byteLength(broken), 4u);
    EXPECT_EQ(byteLength(u""), 0u);
}
