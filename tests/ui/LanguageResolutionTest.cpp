#include "ResourceLanguages.h"

#include "ui/LanguageResolution.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint16_t kEnglishUi = 1033;
constexpr uint16_t kPolish = 1045; // shipped in no set

TEST(LanguageResolution, ExactIdThenPrimaryLanguageNeverAnother) {
    // Chinese simplified (2052) has the primary language of both Chinese sets: the exact entry wins.
    EXPECT_EQ(ChooseResourceLanguage(kProgramLanguages, 2052, kEnglishUi), uint16_t{4});
    EXPECT_EQ(ChooseResourceLanguage(kProgramLanguages, 1028, kEnglishUi), uint16_t{1028});
    EXPECT_EQ(ChooseResourceLanguage(kUpdateLanguages, 2052, kEnglishUi), uint16_t{2052});
    // No Portuguese update resources: the text lookup falls back to the user default itself.
    EXPECT_EQ(ChooseResourceLanguage(kUpdateLanguages, 1046, kEnglishUi), std::nullopt);
    // A sublanguage's entry does not stand in for another sublanguage.
    EXPECT_EQ(ChooseResourceLanguage(std::vector<uint16_t>{1028}, 2052, kEnglishUi), std::nullopt);
}

TEST(LanguageResolution, UserDefaultFollowsTheUiLanguageThenEnglishThenTheFirst) {
    EXPECT_EQ(ChooseResourceLanguage(kProgramLanguages, kUserDefaultLanguageId, 1043), uint16_t{19});
    EXPECT_EQ(ChooseResourceLanguage(kUpdateLanguages, kUserDefaultLanguageId, 1041), uint16_t{1041});
    EXPECT_EQ(ChooseResourceLanguage(kUpdateLanguages, kUserDefaultLanguageId, 1046), uint16_t{9});
    EXPECT_EQ(ChooseResourceLanguage(std::vector<uint16_t>{1031, 1033}, kUserDefaultLanguageId, 1046),
              uint16_t{1033});
    EXPECT_EQ(ChooseResourceLanguage(std::vector<uint16_t>{19, 7}, kUserDefaultLanguageId, 1036),
              uint16_t{19});
    EXPECT_EQ(ChooseResourceLanguage({}, kUserDefaultLanguageId, 1036), std::nullopt);
}

// A menu or dialog without a copy in its language comes as the user default's: Polish gets a tray menu.
TEST(LanguageResolution, MenusAndDialogsServeAMissingLanguageAsTheUserDefault) {
    EXPECT_EQ(ChooseResourceLanguageOrUserDefault(kUpdateLanguages, 1046, 1043), uint16_t{19});
    // A language that has its copy keeps it.
    EXPECT_EQ(ChooseResourceLanguageOrUserDefault(kProgramLanguages, 1046, 1043), uint16_t{22});
    EXPECT_EQ(ChooseResourceLanguageOrUserDefault({}, kPolish, kPolish), std::nullopt);
}

} // namespace
