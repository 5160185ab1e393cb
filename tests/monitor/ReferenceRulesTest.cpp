#include "monitor/ReferenceRules.h"

#include <gtest/gtest.h>

TEST(ChooseReference, TheFirstMonitorThatHasTheRangeElseTheFirstDisplayAsItIs) {
    using Flags = std::vector<std::vector<bool>>;
    // Across displays: the first display's monitor was never read, the second's was.
    EXPECT_EQ(ChooseReference(Flags{{false}, {true}}), (ReferencePosition{1, 0}));
    EXPECT_EQ(ChooseReference(Flags{{}, {false, true}}), (ReferencePosition{1, 1}));
    // Nothing read: the first display as before, 100 percent when it has no monitor.
    EXPECT_EQ(ChooseReference(Flags{{false}, {false}}), (ReferencePosition{0, 0}));
    EXPECT_EQ(ChooseReference(Flags{{}, {false}}), (ReferencePosition{0, std::nullopt}));
    // No display at all: no reference, so nothing is stepped from an assumed level.
    EXPECT_EQ(ChooseReference(Flags{}), std::nullopt);
}
