#include "monitor/LaptopBacklightRules.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

TEST(LaptopLevelIndex, SpreadsPercentagesOverTheTableAndClampsToTheLastLevel) {
    // Eleven levels 0, 10, ..., 100.
    EXPECT_EQ(LevelIndexForPercent(0, 11), 0u);
    EXPECT_EQ(LevelIndexForPercent(50, 11), 5u);
    EXPECT_EQ(LevelIndexForPercent(9, 11), 0u); // 99 / 100 truncates
    EXPECT_EQ(LevelIndexForPercent(100, 11), 10u);
    // Four levels 5, 30, 60, 100.
    EXPECT_EQ(LevelIndexForPercent(60, 4), 2u);
    EXPECT_EQ(LevelIndexForPercent(74, 4), 2u);
    EXPECT_EQ(LevelIndexForPercent(75, 4), 3u);
    EXPECT_EQ(LevelIndexForPercent(100, 4), 3u);
}

TEST(LaptopLevelIndex, NeverLeavesTheTable) {
    EXPECT_EQ(LevelIndexForPercent(0, 1), 0u);
    EXPECT_EQ(LevelIndexForPercent(100, 1), 0u);
    EXPECT_EQ(LevelIndexForPercent(250, 11), 10u);
    // The product of percentage and table size must not wrap around.
    EXPECT_EQ(LevelIndexForPercent(UINT32_MAX, 256), 255u);
    EXPECT_EQ(LevelIndexForPercent(99, 256), 253u);
}

TEST(LaptopLevelIndex, HasNoLevelForAnEmptyTable) {
    EXPECT_FALSE(LevelIndexForPercent(0, 0).has_value());
    EXPECT_FALSE(LevelIndexForPercent(100, 0).has_value());
}

TEST(LaptopLevelRange, IsTheFirstAndLastLevelInDriverOrder) {
    const std::array<uint8_t, 4> levels{5, 30, 60, 100};
    EXPECT_EQ(SupportedLevelRange(levels), (LevelRange{5, 100}));
    const std::array<uint8_t, 1> single{40};
    EXPECT_EQ(SupportedLevelRange(single), (LevelRange{40, 40}));
    EXPECT_EQ(SupportedLevelRange({}), (LevelRange{0, 100}));
}

TEST(LaptopAttachResult, TreatsAMachineWithoutBrightnessWmiAsNoPanel) {
    EXPECT_EQ(AttachResultForConnect(0), 0);
    EXPECT_EQ(AttachResultForConnect(1), 0); // enumeration ended normally
    for (int32_t absent : {kWmiNotFound, kWmiNotSupported, kWmiInvalidNamespace, kWmiInvalidClass,
                           kWmiProviderNotFound, kWmiProviderLoadFailure, kWmiInvalidMethod}) {
        EXPECT_EQ(AttachResultForConnect(absent), 0) << std::hex << absent;
    }
}

TEST(LaptopAttachResult, PassesOtherFailuresOn) {
    const int32_t classNotRegistered = static_cast<int32_t>(0x80040154);
    const int32_t accessDenied = static_cast<int32_t>(0x80041003);
    const int32_t generic = static_cast<int32_t>(0x80004005);
    EXPECT_EQ(AttachResultForConnect(classNotRegistered), classNotRegistered);
    EXPECT_EQ(AttachResultForConnect(accessDenied), accessDenied);
    EXPECT_EQ(AttachResultForConnect(generic), generic);
}
