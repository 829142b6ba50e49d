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

TEST(CodePage, DecodesAndMarksInvalidBytes) {
    EXPECT_EQ(toUtf16(bytes({0xD6, 0xD0, 0x61})), u"中a");
    EXPECT_EQ(toUtf16(bytes({0x80})), u"€");
    // A lead byte without a trail, and one before a line break, stand alone.
    EXPECT_EQ(toUtf16(bytes({0x61, 0xD6})), u"a\uFFFD");
    EXPECT_EQ(toUtf16(bytes({0xD6, 0x0A})), u"\uFFFD\n");
    // Four-byte shape that stands for no character.
    EXPECT_EQ(toUtf16(bytes({0xFE, 0x39, 0xFE, 0x39})), u"\uFFFD");
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

TEST(CodePage, EveryAssignedDoubleByteCodeKeepsItsBytes) {
    std::vector<std::string> aliases;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string in = bytes({lead, trail});
            const std::u16string text = toUtf16(in);
            if (text == u"\uFFFD") continue;
            if (fromUtf16(text) != in) {
                // GB18030's second code for a character CP936 already holds elsewhere.
                ASSERT_EQ(toUtf16(fromUtf16(text)), text);
                aliases.push_back(in);
            }
        }
    }
    EXPECT_EQ(aliases, std::vector<std::string>{bytes({0xA2, 0xE3})}); // the euro sign
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
    // Unpaired surrogates, alone or at either end, are one '?' each.
    const std::u16string broken = {0xDC00, u'a', 0xD83D};
    EXPECT_EQ(byteLength(broken), fromUtf16(broken).size());
    EXPECT_EQ(byteLength(broken), 3u);
    EXPECT_EQ(byteLength(u""), 0u);
}
