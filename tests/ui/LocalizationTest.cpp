#include "StringResourceReader.h"

#include "ui/Localization.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <thread>
#include <vector>

namespace {

constexpr uint16_t kEnglishUs = 1033;
constexpr uint16_t kDutch = 1043;
constexpr uint16_t kGerman = 1031; // the test strings have no German
constexpr uint16_t kUserDefault = 1024;

TEST(LanguageTable, FixedNamesAreReturnedExactly) {
    EXPECT_STREQ(LanguageName(12), L"한국의");
    EXPECT_STREQ(LanguageName(3), L"中國傳統");
    EXPECT_STREQ(LanguageName(1), L"العربية");
    EXPECT_STREQ(LanguageName(16), L"Svenska");
    EXPECT_STREQ(LanguageName(17), L"User Default");
    EXPECT_STREQ(LanguageName(0xFFFFFFFF), L"User Default");
}

TEST(LanguageTable, FirstEntryIsNamedInTheCurrentLanguage) {
    const ScopedLanguage english(kEnglishUs);
    EXPECT_STREQ(LanguageName(0), StoredText(kUserDefaultLanguageNameStringId, 9).value().c_str());
    const ScopedLanguage russian(1049);
    EXPECT_STREQ(LanguageName(0), StoredText(kUserDefaultLanguageNameStringId, 1049).value().c_str());
}

TEST(SetLanguage, TurnsTheIndexIntoALanguageId) {
    const ScopedLanguage restore(currentLangId);
    const uint32_t storedIndex = languageIndex;
    const std::pair<uint32_t, uint16_t> expected[] = {{1, 1025},  {2, 2052},         {3, 1028},  {4, 1043},
                                                      {5, 1033},  {9, 1037},         {13, 1046}, {16, 1053},
                                                      {17, 1024}, {0xFFFFFFFF, 1024}};
    for (const auto& [index, languageId] : expected) {
        SetLanguage(index);
        EXPECT_EQ(currentLangId, languageId) << "index " << index;
    }
    SetLanguage(0);
    EXPECT_EQ(currentLangId, ::GetUserDefaultUILanguage());
    EXPECT_EQ(languageIndex, storedIndex);
}

TEST(LoadText, FollowsTheCurrentLanguage) {
    {
        const ScopedLanguage dutch(kDutch);
        EXPECT_STREQ(LoadText(4006), L"Bestaat in het Engels en het Nederlands");
    }
    const ScopedLanguage english(kEnglishUs);
    EXPECT_STREQ(LoadText(4006), L"Exists in English and Dutch");
}

TEST(LoadText, MissingTextsFallBackToTheUserDefault) {
    // Wine reports an English UI language unless told otherwise, so the user default
    // resolves to English.
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultUILanguage()), LANG_ENGLISH);
    const ScopedLanguage dutch(kDutch);
    // The Dutch block exists but its entry has length 0.
    EXPECT_STREQ(LoadText(4007), L"Only in English, block shared");
    // Dutch has no block at all.
    EXPECT_STREQ(LoadText(4020), L"Only in English, own block");
}

TEST(LoadText, UserDefaultReachesALanguageThatHasTheText) {
    const ScopedLanguage german(kGerman);
    // The UI language (English) has the block: English.
    EXPECT_STREQ(LoadText(4006), L"Exists in English and Dutch");
    // Neither the UI language nor English has the block: the one language that has it.
    EXPECT_STREQ(LoadText(4040), L"Alleen in het Nederlands");
    // The user default resolves to English, whose block lacks the entry: nothing.
    const wchar_t* dutchOnly = LoadText(4008);
    ASSERT_NE(dutchOnly, nullptr);
    EXPECT_STREQ(dutchOnly, L"");
}

TEST(LoadText, MissingStringsShareOneEmptyText) {
    const ScopedLanguage english(kEnglishUs);
    const wchar_t* missingEntry = LoadText(4099);
    const wchar_t* missingBlock = LoadText(60000);
    ASSERT_NE(missingEntry, nullptr);
    EXPECT_STREQ(missingEntry, L"");
    EXPECT_EQ(missingEntry, missingBlock);
    EXPECT_EQ(LoadText(0x10000), missingEntry);
}

TEST(LoadText, StoredFormsComeBackAsTexts) {
    const ScopedLanguage english(kEnglishUs);
    EXPECT_STREQ(LoadText(20000), L"Plain from 20000 on");
    EXPECT_STREQ(LoadText(20001), L"XYZ");
    EXPECT_STREQ(LoadText(4000), L"A");
    EXPECT_STREQ(LoadText(4002), L"ABC");
    EXPECT_STREQ(LoadText(4003), L"ABCD");
    EXPECT_STREQ(LoadText(4004), L"Grüße \U0001F600 \"quoted\"\tand 中文");
    EXPECT_STREQ(LoadText(4015), L"Last of its block");
}

TEST(LoadText, TextsOfSeveralLanguagesStayValid) {
    const wchar_t* english = nullptr;
    const wchar_t* dutch = nullptr;
    {
        const ScopedLanguage scope(kEnglishUs);
        english = LoadText(4006);
    }
    {
        const ScopedLanguage scope(kDutch);
        dutch = LoadText(4006);
        EXPECT_EQ(LoadText(4006), dutch);
    }
    const ScopedLanguage scope(kEnglishUs);
    EXPECT_EQ(LoadText(4006), english);
    EXPECT_STREQ(english, L"Exists in English and Dutch");
    EXPECT_STREQ(dutch, L"Bestaat in het Engels en het Nederlands");
}

TEST(LoadText, ConcurrentCallersShareOneText) {
    const ScopedLanguage english(kEnglishUs);
    constexpr int kThreads = 4;
    std::vector<std::vector<const wchar_t*>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&seen, t] {
            for (unsigned id = 4000; id < 4016; ++id) {
                seen[t].push_back(LoadText(id));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int t = 1; t < kThreads; ++t) {
        EXPECT_EQ(seen[t], seen[0]);
    }
    EXPECT_STREQ(seen[0][3], L"ABCD");
}

// Run in a process whose UI language is Dutch (LC_ALL=nl_NL.UTF-8 under Wine).
class DutchUserInterface : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::GetUserDefaultUILanguage(), kDutch) << "this test needs a Dutch user interface language";
    }
};

TEST_F(DutchUserInterface, FirstEntryFollowsTheUiLanguage) {
    const ScopedLanguage restore(currentLangId);
    SetLanguage(0);
    EXPECT_EQ(currentLangId, kDutch);
    EXPECT_STREQ(LoadText(4006), L"Bestaat in het Engels en het Nederlands");
    // The program's own texts come from the resources stored under 19.
    for (const unsigned id : {1000u, 1051u, 10245u}) {
        const auto dutch = StoredText(id, 19);
        ASSERT_TRUE(dutch) << id;
        EXPECT_STREQ(LoadText(id), dutch->c_str()) << id;
        EXPECT_NE(*dutch, StoredText(id, 9).value()) << id;
    }
    EXPECT_STREQ(LanguageName(0), StoredText(kUserDefaultLanguageNameStringId, 19).value().c_str());
}

TEST_F(DutchUserInterface, UserDefaultResolvesToDutch) {
    {
        const ScopedLanguage german(kGerman);
        EXPECT_STREQ(LoadText(4008), L"Alleen in het Nederlands, gedeeld blok");
    }
    const ScopedLanguage restore(currentLangId);
    SetLanguage(17);
    EXPECT_EQ(currentLangId, kUserDefault);
    EXPECT_STREQ(LoadText(4006), L"Bestaat in het Engels en het Nederlands");
}

} // namespace
