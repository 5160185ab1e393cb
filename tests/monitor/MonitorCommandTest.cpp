#include "monitor/MonitorCommand.h"

#include <gtest/gtest.h>

TEST(CoalesceCommands, TheLastValueOfEachParameterWinsSeparately) {
    const CoalescedCommands latest = CoalesceCommands({{6, 3}, {1, 10}, {1, 50}, {4, 70}, {6, 5}, {2, 0}});
    EXPECT_EQ(latest[0], 50u);
    EXPECT_EQ(latest[1], 0u);
    EXPECT_FALSE(latest[2]);
    EXPECT_EQ(latest[3], 70u);
    EXPECT_FALSE(latest[4]);
    EXPECT_EQ(latest[5], 5u);
}

TEST(CoalesceCommands, DropsUnknownCodesAndTheReservedValue) {
    const CoalescedCommands latest =
        CoalesceCommands({{0, 10}, {7, 10}, {1, 40}, {1, kNoCommandValue}, {2, kNoCommandValue}});
    EXPECT_EQ(latest[0], 40u); // the reserved value does not replace a real one
    EXPECT_FALSE(latest[1]);
    EXPECT_EQ(CoalesceCommands({}), CoalescedCommands{});
}
