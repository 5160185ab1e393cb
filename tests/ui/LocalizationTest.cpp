#include "StringResourceReader.h"

#include "ui/Localization.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

namespace {

constexpr uint16_t kEnglishUs = 1033;
constexpr uint16_t kDutch = 1043;
constexpr uint16_t kGerman = 1031; // the test strings have no German

TEST(LanguageTable, NamesAndTheirLanguageIds) {
    EXPECT_STREQ(LanguageName(12), L"한국의");
    EXPECT_STREQ(LanguageName(17), L"User Default");
    EXPECT_STREQ(LanguageName(0xFFFFFFFF), L"User Default");
    // The first entry is named in the current language.
    const std::pair<uint16_t, uint16_t> namedIn[] = {{kEnglishUs, 9}, {1049, 1049}}; // current, stored
    for (const auto& [current, stored] : namedIn) {
        const ScopedLanguage scope(current);
        EXPECT_STREQ(LanguageName(0), StoredText(kUserDefaultLanguageNameStringId, stored).value().c_str());
    }

    const ScopedLanguage restore(currentLangId);
    const uint32_t storedIndex = languageIndex;
    const std::pair<uint32_t, uint16_t> expected[] = {{2, 2052}, {4, 1043}, {17, 1024}, {0xFFFFFFFF, 1024}};
    for (const auto& [index, languageId] : expected) {
        SetLanguage(index);
        EXPECT_EQ(currentLangId, languageId) << "index " << index;
    }
    SetLanguage(0);
    EXPECT_EQ(currentLangId, ::GetUserDefaultUILanguage());
    EXPECT_EQ(languageIndex, storedIndex);
}

// The text LoadText gives for `id` while `language` is current.
const wchar_t* TextIn(uint16_t language, unsigned id) {
    const ScopedLanguage scope(language);
    return LoadText(id);
}

TEST(LoadText, FollowsTheCurrentLanguageAndTextsStayValid) {
    const wchar_t* english = TextIn(kEnglishUs, 4006);
    const wchar_t* dutch = TextIn(kDutch, 4006);
    EXPECT_STREQ(english, L"Exists in English and Dutch");
    EXPECT_STREQ(dutch, L"Bestaat in het Engels en het Nederlands");
    EXPECT_EQ(TextIn(kEnglishUs, 4006), english);
    // Stored plain, and beyond the Basic Multilingual Plane.
    EXPECT_STREQ(TextIn(kEnglishUs, 20000), L"Plain from 20000 on");
    EXPECT_STREQ(TextIn(kEnglishUs, 4004), L"Grüße \U0001F600 \"quoted\"\tand 中文");
}

TEST(LoadText, MissingTextsFallBackToTheUserDefault) {
    // Wine reports an English UI language unless told otherwise, so the user default
    // resolves to English.
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultUILanguage()), LANG_ENGLISH);
    // The Dutch block exists but its entry has length 0; Dutch has no block for 4020.
    EXPECT_STREQ(TextIn(kDutch, 4007), L"Only in English, block shared");
    EXPECT_STREQ(TextIn(kDutch, 4020), L"Only in English, own block");
    // Neither the UI language nor English has the block: the one language that has it.
    EXPECT_STREQ(TextIn(kGerman, 4040), L"Alleen in het Nederlands");
    // The user default resolves to English, whose block lacks the entry: nothing, and
    // every missing string (no entry, no block, no 16-bit id) shares one empty text.
    const wchar_t* dutchOnly = TextIn(kGerman, 4008);
    ASSERT_NE(dutchOnly, nullptr);
    EXPECT_STREQ(dutchOnly, L"");
    for (const unsigned missing : {4099u, 60000u, 0x10000u}) {
        EXPECT_EQ(TextIn(kEnglishUs, missing), dutchOnly) << missing;
    }
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
TEST(DutchUserInterface, FirstEntryAndUserDefaultFollowTheUiLanguage) {
    ASSERT_EQ(::GetUserDefaultUILanguage(), kDutch) << "this test needs a Dutch user interface language";
    EXPECT_STREQ(TextIn(kGerman, 4008), L"Alleen in het Nederlands, gedeeld blok");
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
}

} // namespace
