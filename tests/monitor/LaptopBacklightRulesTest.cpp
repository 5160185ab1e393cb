#include "monitor/LaptopBacklightRules.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

// The tables themselves: the simulated panel's tests; here only the index arithmetic's edges.
TEST(LaptopLevelIndex, SpreadsPercentagesOverTheTableWithinItsBounds) {
    // Truncating; 100 % and beyond on the last level; a product that must not wrap around.
    struct Case {
        uint32_t percent;
        size_t size, index;
    };
    for (const Case& c :
         {Case{50, 11, 5}, Case{9, 11, 0}, Case{74, 4, 2}, Case{75, 4, 3}, Case{100, 11, 10}, Case{100, 1, 0},
          Case{250, 11, 10}, Case{UINT32_MAX, 256, 255}, Case{99, 256, 253}}) {
        EXPECT_EQ(LevelIndexForPercent(c.percent, c.size), c.index) << c.percent << " % of " << c.size;
    }
    EXPECT_FALSE(LevelIndexForPercent(0, 0).has_value());
    EXPECT_FALSE(LevelIndexForPercent(100, 0).has_value());
}

TEST(LaptopLevelRange, IsTheFirstAndLastLevelInDriverOrder) {
    const std::array<uint8_t, 3> descending{90, 50, 10};
    EXPECT_EQ(SupportedLevelRange(descending), (LevelRange{90, 10}));
    const std::array<uint8_t, 1> single{40};
    EXPECT_EQ(SupportedLevelRange(single), (LevelRange{40, 40}));
    EXPECT_EQ(SupportedLevelRange({}), (LevelRange{0, 100}));
}

TEST(LaptopAttachResult, NoBrightnessWmiIsNoPanelOtherFailuresPassOn) {
    EXPECT_EQ(AttachResultForConnect(0), 0);
    for (int32_t absent : {kWmiNotFound, kWmiNotSupported, kWmiInvalidNamespace, kWmiInvalidClass,
                           kWmiProviderNotFound, kWmiProviderLoadFailure, kWmiInvalidMethod}) {
        EXPECT_EQ(AttachResultForConnect(absent), 0) << std::hex << absent;
    }
    for (int32_t failure : {static_cast<int32_t>(0x80040154), static_cast<int32_t>(0x80041003)}) {
        EXPECT_EQ(AttachResultForConnect(failure), failure) << std::hex << failure;
    }
}
