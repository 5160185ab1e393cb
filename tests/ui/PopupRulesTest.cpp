#include "ui/PopupRules.h"

#include <gtest/gtest.h>

namespace {

// Colours as COLORREF: 0x00BBGGRR.
TEST(PopupRules, ColorKeysStepOneChannelAndWrapOrStopAtTheEnd) {
    EXPECT_EQ(GreenStepColorKey(0x00A0A0A0), 0x00A0A1A0u);
    EXPECT_EQ(GreenStepColorKey(0x0012FF34), 0x00120034u) << "green 255 wraps to 0";
    EXPECT_EQ(BlueStepColorKey(0x00F0F0F0), 0x00EFF0F0u);
    EXPECT_EQ(BlueStepColorKey(0x0000FFFF), 0x0001FFFFu) << "blue 0 becomes 1";
}

// (Horizontal ones, centred above: the dialogs program test's step popup.)
TEST(PopupRules, VerticalPopupsOpenBesideTheAnchor) {
    const IntRect button{100, 500, 160, 523};
    // Beside the right edge, overlapping it by 3, centred on the button's middle (511).
    EXPECT_EQ(SliderPopupOrigin(button, 22, 114, false), (IntPoint{157, 454}));
}

TEST(PopupRules, SizesInDialogUnitsFollowTheBaseUnit) {
    // A 60-pixel client area with base unit 6: (60 + 24) * 4 / 6 = 56 units.
    EXPECT_EQ(SliderPopupSize(60, 6, true), (DialogUnitSize{56, 15}));
    EXPECT_EQ(SliderPopupSize(60, 8, false), (DialogUnitSize{7, 70}));
    EXPECT_EQ(SliderPopupSize(60, 0, false).width, 15) << "no base unit: no division by zero";
}

TEST(PopupRules, SlidersReadMinimumLeftWhenHorizontalMaximumTopWhenVertical) {
    // Logical positions count from the top or left end as the maximum.
    EXPECT_EQ(LogicalPositionForValue(1, 1, 100, true), 100) << "the minimum at the left";
    EXPECT_EQ(LogicalPositionForValue(25, 1, 100, true), 76);
    EXPECT_EQ(LogicalPositionForValue(100, 1, 100, false), 100) << "the maximum at the top";
    for (const bool horizontal : {true, false}) {
        for (const int value : {1, 25, 100}) {
            EXPECT_EQ(ValueForLogicalPosition(LogicalPositionForValue(value, 1, 100, horizontal), 1, 100,
                                              horizontal),
                      value);
        }
    }
}

} // namespace
