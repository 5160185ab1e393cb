#include "StringResourceReader.h"

#include "ui/Localization.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr uint16_t kEnglishUs = 1033;
constexpr uint16_t kDutch = 1043;
constexpr uint16_t kGerman = 1031; // the test strings have no German

// The first entry is named in the current language and follows the UI language; an index past the
// table (a damaged setting) is the user default. The setting is untouched.
TEST(LanguageTable, NamesAndTheirLanguageIds) {
    const std::pair<uint16_t, uint16_t> namedIn[] = {{kEnglishUs, 9}, {1049, 1049}}; // current, stored
    for (const auto& [current, stored] : namedIn) {
        const ScopedLanguage scope(current);
        EXPECT_STREQ(LanguageName(0), StoredText(kUserDefaultLanguageNameStringId, stored).value().c_str());
    }
    EXPECT_STREQ(LanguageName(17), L"User Default");
    EXPECT_STREQ(LanguageName(0xFFFFFFFF), L"User Default");
    const ScopedLanguage restore(currentLangId);
    const uint32_t storedIndex = languageIndex;
    const std::pair<uint32_t, uint16_t> expected[] = {
        {4, kDutch}, {17, 1024}, {0xFFFFFFFF, 1024}, {0, ::GetUserDefaultUILanguage()}};
    for (const auto& [index, languageId] : expected) {
        SetLanguage(index);
        EXPECT_EQ(currentLangId, languageId) << "index " << index;
    }
    EXPECT_EQ(languageIndex, storedIndex);
}

// The text LoadText gives for `id` while `language` is current.
const wchar_t* TextIn(uint16_t language, unsigned id) {
    const ScopedLanguage scope(language);
    return LoadText(id);
}

// Wine's UI language is English unless told otherwise: missing texts come from English.
TEST(LoadText, FollowsTheCurrentLanguageMissingTextsComeFromTheUserDefault) {
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultUILanguage()), LANG_ENGLISH);
    const wchar_t* english = TextIn(kEnglishUs, 4006);
    // Every stored form the generator writes: one to four units (plain, padded or enciphered), beyond
    // the Basic Multilingual Plane, the last of a block, plain from 20000 on. Then Dutch: a Dutch block
    // without the entry (4007), no Dutch block (4020); neither the UI language nor English with the
    // block: the one language that has it (4040); English with the block but not the entry: nothing.
    const std::tuple<uint16_t, unsigned, const wchar_t*> cases[] = {
        {kEnglishUs, 4000, L"A"},
        {kEnglishUs, 4001, L"AB"},
        {kEnglishUs, 4002, L"ABC"},
        {kEnglishUs, 4003, L"ABCD"},
        {kEnglishUs, 4004, L"Grüße \U0001F600 \"quoted\"\tand 中文"},
        {kEnglishUs, 4015, L"Last of its block"},
        {kEnglishUs, 20000, L"Plain from 20000 on"},
        {kEnglishUs, 20001, L"XYZ"},
        {kEnglishUs, 4006, L"Exists in English and Dutch"},
        {kDutch, 4006, L"Bestaat in het Engels en het Nederlands"},
        {kDutch, 4007, L"Only in English, block shared"},
        {kDutch, 4020, L"Only in English, own block"},
        {kGerman, 4040, L"Alleen in het Nederlands"},
        {kGerman, 4008, L""}};
    for (const auto& [language, id, expected] : cases) {
        EXPECT_STREQ(TextIn(language, id), expected) << id << " in " << language;
    }
    // Texts stay put, and every missing string (no entry, no block, no 16-bit id, even one whose cut
    // block number is 4006's) shares one empty text.
    EXPECT_EQ(TextIn(kEnglishUs, 4006), english);
    for (const unsigned missing : {4099u, 60000u, 0x10000u, 0x100FA6u}) {
        EXPECT_EQ(TextIn(kEnglishUs, missing), TextIn(kGerman, 4008)) << missing;
    }
}

TEST(LoadText, ConcurrentCallersShareOneText) {
    const ScopedLanguage english(kEnglishUs);
    std::vector<std::vector<const wchar_t*>> seen(4);
    {
        std::vector<std::jthread> threads; // joined at the end of the block
        for (auto& texts : seen) {
            threads.emplace_back([&texts] {
                for (unsigned id = 4000; id < 4040; ++id) {
                    texts.push_back(LoadText(id));
                }
            });
        }
    }
    for (const auto& texts : seen) {
        EXPECT_EQ(texts, seen[0]);
    }
}

// Run in a process whose UI language is Dutch (LC_ALL=nl_NL.UTF-8 under Wine).
TEST(DutchUserInterface, FirstEntryAndUserDefaultFollowTheUiLanguage) {
    ASSERT_EQ(::GetUserDefaultUILanguage(), kDutch) << "this test needs a Dutch user interface language";
    EXPECT_STREQ(TextIn(kGerman, 4008), L"Alleen in het Nederlands, gedeeld blok");
    const ScopedLanguage restore(currentLangId);
    SetLanguage(0);
    EXPECT_EQ(currentLangId, kDutch);
    EXPECT_STREQ(LoadText(4006), L"Bestaat in het Engels en het Nederlands");
}

} // namespace
