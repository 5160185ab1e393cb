#include "ui/TextConversion.h"

#include <gtest/gtest.h>

namespace {

TEST(TextConversion, ConvertsAllPlanesBothWays) {
    const std::string utf8 = "A\xC3\xBC\xE4\xB8\xAD\xF0\x9F\x98\x80"; // A ü 中 😀
    const std::u16string utf16 = u"A\u00FC\u4E2D\U0001F600";
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
    // Embedded zeros are characters like any other.
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(TextConversion, IllFormedUtf8BecomesReplacementCharacters) {
    // A lone continuation byte, a truncated sequence at the end, an overlong form,
    // an encoded surrogate and a code point above U+10FFFF.
    EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("a\xE4\xB8"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    // A broken sequence does not swallow the valid character behind it.
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"
                          "A"),
              u"\uFFFDA");
}

TEST(TextConversion, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD83D})), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xDE00}, u'x'}), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t{0xD83D}, u'x'}), "\xEF\xBF\xBDx");
}

#if WCHAR_MAX == 0xFFFF
TEST(TextConversion, WideTextIsUtf16) {
    EXPECT_EQ(Utf8ToWide("\xE4\xB8\xAD\xF0\x9F\x98\x80"), L"\u4E2D\U0001F600");
    EXPECT_EQ(WideToUtf8(L"\u4E2D\U0001F600"), "\xE4\xB8\xAD\xF0\x9F\x98\x80");
}
#endif

TEST(TextConversion, ReplacesEveryOccurrence) {
    std::string text = "#A# and #A##A#, not #B#";
    EXPECT_EQ(ReplaceAll(text, "#A#", "x"), 3u);
    EXPECT_EQ(text, "x and xx, not #B#");

    std::wstring wide = L"<#VERSION#>";
    EXPECT_EQ(ReplaceAll(wide, L"#VERSION#", L"3.15"), 1u);
    EXPECT_EQ(wide, L"<3.15>");

    std::string nothing = "no placeholder";
    EXPECT_EQ(ReplaceAll(nothing, "#X#", "y"), 0u);
    EXPECT_EQ(nothing, "no placeholder");
}

TEST(TextConversion, SearchResumesBehindTheInsertedText) {
    // A value holding its own placeholder is not expanded again (and cannot loop).
    std::string text = "#NAME#-#NAME#";
    EXPECT_EQ(ReplaceAll(text, "#NAME#", "[#NAME#]"), 2u);
    EXPECT_EQ(text, "[#NAME#]-[#NAME#]");
    // A placeholder that forms only across the inserted text is not matched either.
    std::string joined = "#A#B#";
    EXPECT_EQ(ReplaceAll(joined, "#A#", "#A"), 1u);
    EXPECT_EQ(joined, "#AB#");
    // Removing the placeholder entirely.
    std::string removed = "x#A##A#y";
    EXPECT_EQ(ReplaceAll(removed, "#A#", ""), 2u);
    EXPECT_EQ(removed, "xy");
}

TEST(TextConversion, EmptyPlaceholderMatchesNothing) {
    std::string text = "abc";
    EXPECT_EQ(ReplaceAll(text, "", "x"), 0u);
    EXPECT_EQ(text, "abc");
}

} // namespace
