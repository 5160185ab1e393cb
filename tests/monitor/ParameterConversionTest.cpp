#include "monitor/ParameterConversion.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PercentToDevice, ScalesIntoTheRangeTruncatingNeverLeavingItAndNeverOverflowing) {
    struct Case {
        uint32_t minimum, maximum, percent, device;
    };
    for (const Case& c : {Case{0, 100, 40, 40}, Case{0, 50, 33, 16}, Case{20, 80, 50, 50},
                          Case{20, 80, 0, 20}, Case{20, 80, 100, 80}, Case{30, 30, 70, 30},
                          // Inverted bounds would wrap in unsigned arithmetic and send a huge value.
                          Case{80, 20, 50, 80}, Case{100, 0, 100, 100}, Case{0, 0xFFFFFFFF, 100, 0xFFFFFFFF},
                          Case{0, 0xFFFFFFFF, 50, 0x7FFFFFFF}}) {
        EXPECT_EQ(PercentToDevice(c.minimum, c.maximum, c.percent), c.device)
            << c.minimum << ".." << c.maximum << " at " << c.percent << " %";
    }
}

TEST(DeviceToPercent, ReadsBackTruncatedClampedAndZeroForAnEmptyRange) {
    struct Case {
        uint32_t minimum, current, maximum, percent;
    };
    for (const Case& c : {Case{0, 40, 100, 40}, Case{0, 16, 50, 32}, // may drop one step
                          Case{20, 50, 80, 50}, Case{7, 7, 7, 0}, Case{80, 50, 20, 0}, Case{20, 10, 80, 0},
                          Case{20, 95, 80, 100}}) {
        EXPECT_EQ(DeviceToPercent(c.minimum, c.current, c.maximum), c.percent)
            << c.current << " in " << c.minimum << ".." << c.maximum;
    }
}

// Each monitor moves the candidate to its nearest preset, the lower on a tie; one that supports the
// request ends the search. Zero, and a request without monitors, stay as they are.
TEST(NearestColorTemperature, EachMonitorMovesTheCandidateOn) {
    struct Case {
        uint32_t requested;
        std::vector<uint32_t> monitors;
        uint32_t nearest;
    };
    for (const Case& c :
         {Case{3, {0b0000'0100}, 3}, Case{0, {0b0000'0100}, 0}, Case{5, {}, 5}, Case{4, {0b0001'0100}, 3},
          Case{4, {0b0010'0000}, 6}, Case{4, {0}, 0}, Case{4, {0b0010'0010, 0b1000'0000}, 8},
          Case{4, {0b0000'0010, 0b0000'1000}, 2}, Case{40, {0xFF}, 8}}) {
        EXPECT_EQ(NearestColorTemperature(c.requested, c.monitors), c.nearest) << c.requested;
    }
}
