#include "monitor/ParameterConversion.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PercentToDevice, ScalesIntoTheMonitorsRangeTruncating) {
    EXPECT_EQ(PercentToDevice(0, 100, 40), 40u);
    EXPECT_EQ(PercentToDevice(0, 50, 33), 16u);
    EXPECT_EQ(PercentToDevice(20, 80, 50), 50u);
    EXPECT_EQ(PercentToDevice(20, 80, 0), 20u);
    EXPECT_EQ(PercentToDevice(20, 80, 100), 80u);
}

TEST(PercentToDevice, EqualOrInvertedBoundsNeverLeaveTheMinimum) {
    EXPECT_EQ(PercentToDevice(30, 30, 70), 30u);
    // Inverted bounds would wrap in unsigned arithmetic and send a huge value.
    EXPECT_EQ(PercentToDevice(80, 20, 50), 80u);
    EXPECT_EQ(PercentToDevice(100, 0, 100), 100u);
}

TEST(PercentToDevice, WideRangesDoNotOverflow) {
    EXPECT_EQ(PercentToDevice(0, 0xFFFFFFFF, 100), 0xFFFFFFFFu);
    EXPECT_EQ(PercentToDevice(0, 0xFFFFFFFF, 50), 0x7FFFFFFFu);
}

TEST(DeviceToPercent, ReadsBackTruncatedSoValuesMayDropOneStep) {
    EXPECT_EQ(DeviceToPercent(0, 40, 100), 40u);
    EXPECT_EQ(DeviceToPercent(0, 16, 50), 32u);
    EXPECT_EQ(DeviceToPercent(20, 50, 80), 50u);
}

TEST(DeviceToPercent, EmptyInvertedAndOutOfRangeValues) {
    EXPECT_EQ(DeviceToPercent(7, 7, 7), 0u);
    EXPECT_EQ(DeviceToPercent(80, 50, 20), 0u);
    EXPECT_EQ(DeviceToPercent(20, 10, 80), 0u);
    EXPECT_EQ(DeviceToPercent(20, 95, 80), 100u);
}

TEST(NearestColorTemperature, KeepsASupportedRequestZeroAndARequestWithoutMonitors) {
    const std::vector<uint32_t> monitors = {0b0000'0100}; // preset 3
    EXPECT_EQ(NearestColorTemperature(3, monitors), 3u);
    EXPECT_EQ(NearestColorTemperature(0, monitors), 0u);
    EXPECT_EQ(NearestColorTemperature(5, {}), 5u);
}

TEST(NearestColorTemperature, PicksTheNearestWithTheLowerWinningATie) {
    const std::vector<uint32_t> threeAndFive = {0b0001'0100};
    EXPECT_EQ(NearestColorTemperature(4, threeAndFive), 3u);
    const std::vector<uint32_t> onlySix = {0b0010'0000};
    EXPECT_EQ(NearestColorTemperature(4, onlySix), 6u);
    const std::vector<uint32_t> none = {0};
    EXPECT_EQ(NearestColorTemperature(4, none), 0u);
}

TEST(NearestColorTemperature, EachMonitorMovesTheCandidateOn) {
    // The first supports 2 and 6: 4 becomes 2 (tie, lower wins). The second supports
    // only 8, which is nearest to the candidate 2 as well.
    const std::vector<uint32_t> monitors = {0b0010'0010, 0b1000'0000};
    EXPECT_EQ(NearestColorTemperature(4, monitors), 8u);
    // A later monitor supporting the original request stops the search with the
    // candidate reached so far.
    const std::vector<uint32_t> stops = {0b0000'0010, 0b0000'1000};
    EXPECT_EQ(NearestColorTemperature(4, stops), 2u);
}

TEST(NearestColorTemperature, RequestsBeyondThePresetsDoNotMisbehave) {
    const std::vector<uint32_t> all = {0xFF};
    EXPECT_EQ(NearestColorTemperature(40, all), 8u);
}
