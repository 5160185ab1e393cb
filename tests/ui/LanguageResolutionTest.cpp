#include "ui/LanguageResolution.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The languages of the program's own resources and of the update component's.
const std::vector<uint16_t> kProgramLanguages = {1, 4, 7, 8, 9, 10, 12, 13, 16, 17, 18, 19, 22, 25, 29, 1028};
const std::vector<uint16_t> kUpdateLanguages = {1,    7,    9,    10,   12,   16,   19,  29,
                                                1028, 1032, 1037, 1041, 1042, 1049, 2052};

constexpr uint16_t kEnglishUi = 1033;

TEST(LanguageResolution, ExactIdThenPrimaryLanguageNeverAnother) {
    EXPECT_EQ(ChooseResourceLanguage(kProgramLanguages, 1043, kEnglishUi), uint16_t{19});
    // Chinese simplified (2052) has the primary language of both Chinese sets.
    EXPECT_EQ(ChooseResourceLanguage(kProgramLanguages, 2052, kEnglishUi), uint16_t{4});
    // An exact entry wins over the primary language.
    EXPECT_EQ(ChooseResourceLanguage(kProgramLanguages, 1028, kEnglishUi), uint16_t{1028});
    EXPECT_EQ(ChooseResourceLanguage(kUpdateLanguages, 2052, kEnglishUi), uint16_t{2052});
    // No Portuguese update resources: the caller falls back to the user default itself.
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

} // namespace
