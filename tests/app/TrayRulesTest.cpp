#include "app/TrayRules.h"

#include <gtest/gtest.h>

#include <utility>

TEST(TrayRules, NineLevelsWithOnlyAFullBrightnessAtTheTop) {
    const std::pair<uint32_t, uint32_t> levels[] = {{0, 0},  {12, 0}, {13, 1}, {24, 1},  {25, 2},
                                                    {62, 4}, {63, 5}, {99, 7}, {100, 8}, {250, 8}};
    for (const auto& [percent, level] : levels) {
        EXPECT_EQ(TrayLevelForPercent(percent), level) << percent;
    }
}

TEST(TrayRules, ADoubleClickMustStayWithinTheDistanceInBothDirections) {
    EXPECT_TRUE(IsWithinDoubleClickDistance({100, 100}, {103, 97}, 4, 4));
    EXPECT_FALSE(IsWithinDoubleClickDistance({100, 100}, {104, 100}, 4, 4))
        << "the distance itself is too far";
    EXPECT_FALSE(IsWithinDoubleClickDistance({100, 100}, {100, 96}, 4, 4));
    // Left of and above the primary display the coordinates are negative.
    EXPECT_TRUE(IsWithinDoubleClickDistance({-1, -300}, {1, -302}, 4, 4));
}

TEST(TrayRules, StoredHotkeysBecomeCombinationsOrStayOff) {
    constexpr uint32_t shift = 0x100, control = 0x200, alt = 0x400, extended = 0x800;
    EXPECT_EQ(HotkeyFromStored(control | alt | 'U'), (HotkeyCombination{0x1 | 0x2, 'U'}));
    EXPECT_EQ(HotkeyFromStored(shift | 0x70), (HotkeyCombination{0x4, 0x70}));
    EXPECT_EQ(HotkeyFromStored(extended | 0x2E), (HotkeyCombination{0, 0x2E}))
        << "the extended flag is ignored";
    EXPECT_FALSE(HotkeyFromStored(0));
    EXPECT_FALSE(HotkeyFromStored(control | alt)) << "modifiers without a key";
    EXPECT_FALSE(HotkeyFromStored(0x10000 | 'U')) << "not a hotkey control value";
}

TEST(TrayRules, StepsStopAtTheEndsOfTheRange) {
    EXPECT_EQ(SteppedPercent(95, 10, true), 100u);
    EXPECT_EQ(SteppedPercent(100, 10, true), std::nullopt);
    EXPECT_EQ(SteppedPercent(40, 10, true), 50u);
    EXPECT_EQ(SteppedPercent(5, 10, false), 0u);
    EXPECT_EQ(SteppedPercent(0, 10, false), std::nullopt);
    EXPECT_EQ(SteppedPercent(1, 100, false), 0u);
}
