#include "ui/framework/WedgeRules.h"

#include <gtest/gtest.h>

using Points = std::array<IntPoint, 5>;

// A client rectangle off the origin catches left/top mix-ups.
TEST(WedgeShape, VerticalNarrowsTowardsTheBottomOnlyWithTheWedge) {
    const IntRect client{2, 3, 30, 163};
    const WedgeShape wedge = MakeWedgeShape(client, true, true);
    EXPECT_EQ(wedge.points, (Points{{{14, 151}, {14, 14}, {29, 14}, {22, 151}, {14, 151}}}));
    EXPECT_EQ(wedge.gradientStart, (IntPoint{0, 0}));
    EXPECT_EQ(wedge.gradientEnd, (IntPoint{0, 164}));
    EXPECT_EQ(MakeWedgeShape(client, true, false).points,
              (Points{{{14, 151}, {14, 14}, {29, 14}, {29, 151}, {14, 151}}}));
}

TEST(WedgeShape, HorizontalNarrowsTowardsTheLeftOnlyWithTheWedge) {
    const IntRect client{2, 3, 160, 30};
    const WedgeShape wedge = MakeWedgeShape(client, false, true);
    EXPECT_EQ(wedge.points, (Points{{{13, 12}, {13, 10}, {147, 3}, {147, 12}, {13, 12}}}));
    EXPECT_EQ(wedge.gradientStart, (IntPoint{161, 0}));
    EXPECT_EQ(wedge.gradientEnd, (IntPoint{0, 0}));
    EXPECT_EQ(MakeWedgeShape(client, false, false).points,
              (Points{{{13, 12}, {13, 3}, {147, 3}, {147, 12}, {13, 12}}}));
}

TEST(WedgeColors, AnyOtherSecondColourIsUsedAsIs) {
    EXPECT_EQ(MakeWedgeColors(0xFFFFFF32, 0xFF000000, 0xFFFFFF).second, 0xFF4C4C4Cu);
    // Only opaque white stands for "derive"; transparent white is a colour.
    EXPECT_EQ(MakeWedgeColors(0xFFFFFF32, 0x00FFFFFF, 0xFFFFFF).second, 0xFFFFFFFFu);
}

TEST(WedgeColors, DarkWindowDarkensBothEndsWithoutWrapping) {
    const WedgeColors black = MakeWedgeColors(0xFFFFFF32, 0xFFFFFFFF, 0x000000);
    EXPECT_EQ(black.first, 0xFF808019u);
    EXPECT_EQ(black.second, 0xFF121204u);
    const WedgeColors dim = MakeWedgeColors(0xFFFFFF32, 0xFFFFFFFF, 0x202020);
    EXPECT_EQ(dim.first, 0xFF909029u);
    EXPECT_EQ(dim.second, 0xFF1B1B0Du);
}

TEST(WedgeBounds, HoldEveryPixelWithAnyAlphaAndAreEmptyWithoutOne) {
    // 4 x 3, top-down: a faint edge pixel counts as much as an opaque one.
    std::array<uint32_t, 12> pixels{};
    pixels[1 * 4 + 1] = 0xFF102030;
    pixels[2 * 4 + 3] = 0x01000000;
    EXPECT_EQ(NonTransparentBounds(pixels, 4, 3), (IntRect{1, 1, 4, 3}));
    pixels[0] = 0x80000000;
    EXPECT_EQ(NonTransparentBounds(pixels, 4, 3), (IntRect{0, 0, 4, 3}));
    EXPECT_EQ(NonTransparentBounds(std::array<uint32_t, 12>{0x00FFFFFF}, 4, 3), IntRect{});
}
