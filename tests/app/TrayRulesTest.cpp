#include "app/TrayRules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
}

TEST(TrayRules, StepsStopAtTheEndsOfTheRange) {
    EXPECT_EQ(SteppedPercent(100, 10, true), std::nullopt);
    EXPECT_EQ(SteppedPercent(5, 10, false), 0u);
    EXPECT_EQ(SteppedPercent(0, 10, false), std::nullopt);
    EXPECT_EQ(SteppedPercent(1, 100, false), 0u);
}

// The chosen hotkeys go in id order; a taken one stops the rest, which keep what they had.
TEST(TrayRules, ChosenHotkeysRegisterInOrderAndStopAtTheFirstTakenOne) {
    const std::array<uint32_t, 5> chosen = {0x62E, 0x626, 0x628, 0, 0x625};
    for (int taken = 2; taken <= 7; ++taken) { // 7: none is taken
        std::vector<int> tried;
        std::vector<std::pair<int, uint32_t>> stored;
        const auto failed = RegisterHotkeysInOrder(
            chosen,
            [&](int id, uint32_t) {
                tried.push_back(id);
                return id != taken;
            },
            [&](int id, uint32_t code) { stored.emplace_back(id, code); });
        const int reached = taken <= 6 ? taken : 6;
        EXPECT_EQ(tried.size(), static_cast<size_t>(reached - 1)) << taken;
        ASSERT_EQ(stored.size(), static_cast<size_t>((taken <= 6 ? taken : 7) - 2)) << taken;
        for (size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(stored[i], (std::pair<int, uint32_t>{static_cast<int>(i) + 2, chosen[i]}));
        }
        EXPECT_EQ(failed, taken <= 6 ? std::optional<int>(taken) : std::nullopt);
    }
}

TEST(TrayRules, AStoredStepOutsideOneToAHundredReadsAsTen) {
    EXPECT_EQ(HotkeyIncrementFromStored(1), 1u);
    EXPECT_EQ(HotkeyIncrementFromStored(100), 100u);
    EXPECT_EQ(HotkeyIncrementFromStored(101), 10u);
}
