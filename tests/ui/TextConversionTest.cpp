#include "ui/TextConversion.h"

#include <gtest/gtest.h>

namespace {

TEST(TextConversion, ConvertsAllPlanesBothWays) {
    const std::string utf8 = "A\xC3\xBC\xE4\xB8\xAD\xF0\x9F\x98\x80"; // A ü 中 😀
    const std::u16string utf16 = u"A\u00FC\u4E2D\U0001F600";
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
    // Embedded zeros are characters like any other.
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(TextConversion, IllFormedInputBecomesReplacementCharacters) {
    // A lone continuation, a cut sequence, an overlong form, a surrogate and a code point past U+10FFFF.
    EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("a\xE4\xB8"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    // A broken sequence does not swallow the valid character behind it.
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8\x41"), u"\uFFFDA");
    // Lone surrogates, high at the end or before a character, and low.
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD83D})), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xD83D}, u'x'}), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xDE00}, u'x'}), "\xEF\xBF\xBDx");
}

TEST(TextConversion, ReplacesEveryOccurrenceResumingBehindTheInsertedText) {
    struct Case {
        std::string text, placeholder, value, expected;
        size_t count;
    };
    const Case cases[] = {
        {"#A# and #A##A#, not #B#", "#A#", "x", "x and xx, not #B#", 3},
        {"no placeholder", "#X#", "y", "no placeholder", 0},
        // A value holding its own placeholder is not expanded again (and cannot loop).
        {"#NAME#-#NAME#", "#NAME#", "[#NAME#]", "[#NAME#]-[#NAME#]", 2},
        // A placeholder that forms only across the inserted text is not matched either.
        {"#A#B#", "#A#", "#A", "#AB#", 1},
        {"x#A##A#y", "#A#", "", "xy", 2},
        {"abc", "", "x", "abc", 0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(ReplaceAll(text, c.placeholder, c.value), c.count) << c.text;
        EXPECT_EQ(text, c.expected);
    }
}

} // namespace
