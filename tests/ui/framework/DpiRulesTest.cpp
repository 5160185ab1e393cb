#include "ui/framework/DpiRules.h"
#include "ui/framework/WedgeRules.h"

#include <gtest/gtest.h>

#include <array>

TEST(DpiScaling, RoundsLikeMulDivAndClampsWhatTheSystemReports) {
    // 100 %, 125 %, 150 %, 200 %: halves round away from zero.
    for (const auto& [dpi, one, seven, fourteen, minusThree] : std::array<std::array<int32_t, 5>, 4>{
             {{96, 1, 7, 14, -3}, {120, 1, 9, 18, -4}, {144, 2, 11, 21, -5}, {192, 2, 14, 28, -6}}}) {
        SCOPED_TRACE(dpi);
        const auto at = static_cast<uint32_t>(dpi);
        EXPECT_EQ(ScaleForDpi(1, at), one);
        EXPECT_EQ(ScaleForDpi(7, at), seven);
        EXPECT_EQ(ScaleForDpi(14, at), fourteen);
        EXPECT_EQ(ScaleForDpi(-3, at), minusThree);
    }
    EXPECT_EQ(ClampDpi(72), 96u);
    EXPECT_EQ(ClampDpi(0xFFFFFFFF), 480u);
    EXPECT_EQ(ScaleForDpi(32, 0), 32);
    EXPECT_EQ(ScaleForDpi(32, 10000), 160);
}

TEST(DpiScaling, PicksTheSmallestPictureThatNeedsNoEnlarging) {
    constexpr std::array<uint32_t, 3> percents{100, 150, 200};
    EXPECT_EQ(PictureForDpi(percents, 96), 0);
    EXPECT_EQ(PictureForDpi(percents, 120), 1);
    EXPECT_EQ(PictureForDpi(percents, 144), 1);
    EXPECT_EQ(PictureForDpi(percents, 145), 2);
    EXPECT_EQ(PictureForDpi(percents, 192), 2);
    EXPECT_EQ(PictureForDpi(percents, 480), 2); // beyond the largest: the largest, enlarged
    EXPECT_EQ(PictureForDpi(std::array<uint32_t, 1>{200}, 96), 0); // only one: that one
    EXPECT_EQ(PictureForDpi({}, 96), -1);
}

TEST(DpiScaling, WedgeOffsetsAndEdgeGrowWithTheScale) {
    const IntRect client{0, 0, 60, 300};
    const WedgeShape at150 = MakeWedgeShape(client, true, true, 144);
    EXPECT_EQ(at150.points[0], (IntPoint{18, 282})); // 12 -> 18 from the left and bottom
    EXPECT_EQ(at150.points[1], (IntPoint{18, 17}));  // 11 -> 17 from the top
    EXPECT_EQ(at150.points[2], (IntPoint{58, 17}));  // 1 -> 2 from the right
    EXPECT_EQ(at150.points[3], (IntPoint{30, 282})); // the narrow end: 8 -> 12 wide
    EXPECT_EQ(MakeWedgeShape(IntRect{0, 0, 300, 60}, false, true, 192).points,
              (std::array<IntPoint, 5>{{{22, 18}, {22, 14}, {274, 0}, {274, 18}, {22, 18}}}));
    EXPECT_EQ(WedgeEdgeWidth(96), 1);
    EXPECT_EQ(WedgeEdgeWidth(192), 2);
}
