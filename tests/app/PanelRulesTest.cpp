#include "app/PanelRules.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <utility>

namespace {

constexpr IntRect kScreen{0, 0, 1920, 1080};
constexpr IntRect kWorkAreaAboveTaskBar{0, 0, 1920, 1040};
constexpr int32_t kWidth = 239; // odd: the centre rounds down
constexpr int32_t kHeight = 216;

} // namespace

TEST(PanelPlacement, SitsCentredAboveTheAnchorAndStaysInsideTheBounds) {
    EXPECT_EQ(PlacePanelAbove(1000, 1060, kWidth, kHeight, kScreen, kWorkAreaAboveTaskBar),
              (IntRect{881, 812, 1120, 1028}));
    // Tray icon at the very right: the right edge lands on the screen's right edge.
    EXPECT_EQ(PlacePanelAbove(1919, 1060, kWidth, kHeight, kScreen, kWorkAreaAboveTaskBar),
              (IntRect{1681, 812, 1920, 1028}));
    EXPECT_EQ(PlacePanelAbove(5, 1060, kWidth, kHeight, kScreen, kWorkAreaAboveTaskBar),
              (IntRect{0, 812, 239, 1028}));
    // A monitor left of the primary one has negative coordinates.
    EXPECT_EQ(PlacePanelAbove(-3, 1060, kWidth, kHeight, IntRect{-1280, 0, 0, 1080}, kWorkAreaAboveTaskBar),
              (IntRect{-239, 812, 0, 1028}));
}

TEST(PrimaryDisplay, IsTheFirstMonitorUnionAtTheOrigin) {
    const IntRect right{1920, 0, 3200, 1024};
    const IntRect primary{0, 0, 1920, 1080};
    EXPECT_EQ(PrimaryDisplayRect({{right}, {}, {primary}}), primary);
    // Neither monitor alone starts at the origin, their union does.
    EXPECT_EQ(PrimaryDisplayRect({{IntRect{0, 200, 1920, 1280}, IntRect{1920, 0, 3840, 1080}}}),
              (IntRect{0, 0, 3840, 1280}));
    EXPECT_EQ(PrimaryDisplayRect({{right}, {}}), std::nullopt);
    EXPECT_EQ(PrimaryDisplayRect({}), std::nullopt);
}

TEST(PanelSliders, ShowByExpandLevel) {
    for (int slider = 0; slider < kPanelSliderCount; ++slider) {
        EXPECT_TRUE(IsSliderVisible(slider, 3)) << slider;
        for (uint32_t level = 0; level <= 2; ++level) {
            EXPECT_EQ(IsSliderVisible(slider, level), slider <= static_cast<int>(level)) << slider;
        }
    }
    const std::pair<uint32_t, int> lastSliders[] = {{0, 0}, {1, 1}, {2, 2}, {3, 5}, {4, 5}};
    for (const auto& [level, last] : lastSliders) {
        EXPECT_EQ(LastVisibleSlider(level), last) << level;
    }
}

TEST(PanelLayout, ButtonColumnFollowsTheLastVisibleSlider) {
    // The 159 x 133 panel at one pixel per unit: sliders 17 wide, 20 apart.
    const int32_t sliderRight[kPanelSliderCount] = {21, 41, 61, 81, 101, 121};
    const IntRect client{0, 0, 159, 133};
    const IntRect resetButton{140, 97, 156, 111};
    const int32_t expectedRight[] = {54, 74, 94, 154};
    for (uint32_t level = 0; level <= 3; ++level) {
        const PanelColumnLayout layout =
            LayoutPanelColumn(client, sliderRight[LastVisibleSlider(level)], resetButton);
        EXPECT_EQ(layout.clientRight, expectedRight[level]) << level;
        EXPECT_EQ(layout.buttonLeft, expectedRight[level] - 19) << level;
    }
}

TEST(PanelLayout, WiderWindowIsPushedBackIntoTheWorkArea) {
    EXPECT_EQ(KeepLeftOfWorkAreaRight({1800, 100, 2039, 316}, 1920), (IntRect{1681, 100, 1920, 316}));
    EXPECT_EQ(KeepLeftOfWorkAreaRight({1681, 100, 1920, 316}, 1920), (IntRect{1681, 100, 1920, 316}));
}

TEST(HeaderTint, MovesEachChannelUpToFortyAndClamps) {
    EXPECT_EQ(HeaderTint(0xF0F0F0, {0, 32767, 16384}), 0xC8FFF0u);
    EXPECT_EQ(HeaderTint(0x102030, {0, 0, 0}), 0x000008u);
    EXPECT_EQ(HeaderTint(0xE0FFD8, {32767, 32767, 0}), 0xFFFFB0u);
}

TEST(StoredPanelSettings, OutOfRangeValuesReadAsDefaults) {
    EXPECT_EQ(ExpandLevelFromStored(3), 3u);
    EXPECT_EQ(ExpandLevelFromStored(4), 0u);
    EXPECT_EQ(ExpandLevelFromStored(0xFFFFFFFF), 0u);
    EXPECT_EQ(SettingsTimeoutFromStored(0), 0u);
    EXPECT_EQ(SettingsTimeoutFromStored(60000), 60000u);
    EXPECT_EQ(SettingsTimeoutFromStored(60001), 3000u);
}

TEST(UpdateCheck, IsDueOnceADayUntilAnUpdateIsFound) {
    constexpr uint64_t kDay = 864000000000ULL;
    constexpr uint64_t kLast = 133000000000000000ULL;
    EXPECT_TRUE(IsUpdateCheckDue(true, false, 0, kLast));
    EXPECT_FALSE(IsUpdateCheckDue(false, false, 0, kLast));
    EXPECT_FALSE(IsUpdateCheckDue(true, true, 0, kLast));
    EXPECT_FALSE(IsUpdateCheckDue(true, false, kLast, kLast + kDay / 24));
    EXPECT_FALSE(IsUpdateCheckDue(true, false, kLast, kLast + kDay));
    EXPECT_TRUE(IsUpdateCheckDue(true, false, kLast, kLast + kDay + 1));
    EXPECT_FALSE(IsUpdateCheckDue(false, false, kLast, kLast + 2 * kDay));
    // A corrupt stored time must not wrap around into "due".
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    EXPECT_FALSE(IsUpdateCheckDue(true, false, kMax - 5, kLast));
    EXPECT_FALSE(IsUpdateCheckDue(true, false, kMax - 5, kMax));
}

// The described distances are those at 100 %; at 125, 150 and 200 % they grow with the scale.
TEST(PanelPlacement, DistancesGrowWithTheScale) {
    const IntRect workArea{0, 40, 1920, 1040};
    for (const auto& [dpi, gap, spare, column] : std::array<std::array<int32_t, 4>, 4>{
             {{96, 32, 8, 14}, {120, 40, 10, 18}, {144, 48, 12, 21}, {192, 64, 16, 28}}}) {
        SCOPED_TRACE(dpi);
        const auto at = static_cast<uint32_t>(dpi);
        EXPECT_EQ(PlacePanelAbove(1000, 1060, kWidth, kHeight, kScreen, kWorkAreaAboveTaskBar, at).bottom,
                  1060 - gap);
        EXPECT_EQ(PlacePanelAbove(1000, 20, kWidth, kHeight, kScreen, workArea, at).top, 40 + spare);
        EXPECT_EQ(PlacePanelAbove(1000, 2000, kWidth, kHeight, kScreen, workArea, at).bottom, 1040 - spare);
        const PanelColumnLayout layout =
            LayoutPanelColumn(IntRect{0, 0, 300, 400}, 100, IntRect{250, 300, 290, 330}, at);
        EXPECT_EQ(layout.clientRight, 100 + 10 + 40 + column);
        EXPECT_EQ(layout.buttonLeft, 100 + column);
    }
}
