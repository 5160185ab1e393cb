#include "ui/framework/WedgeRules.h"

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

int32_t Channel(uint32_t color, int shift) {
    return static_cast<int32_t>((color >> shift) & 0xFF);
}

// Signed arithmetic: towards a darker window colour the difference is negative, and
// the result stays between the channel and the window's channel.
int32_t Towards(int32_t channel, int32_t target, int32_t percent) {
    return channel + (target - channel) * percent / 100;
}

uint32_t OpaqueTowards(uint32_t argb, uint32_t windowRgb, int32_t percent) {
    uint32_t result = 0xFF000000;
    for (const int shift : {16, 8, 0}) {
        const int32_t moved = Towards(Channel(argb, shift), Channel(windowRgb, shift), percent);
        result |= static_cast<uint32_t>(moved) << shift;
    }
    return result;
}

uint32_t EveryChannelTenth(uint32_t argb) {
    uint32_t result = 0;
    for (const int shift : {24, 16, 8, 0}) {
        result |= static_cast<uint32_t>(Channel(argb, shift) / 10) << shift;
    }
    return result;
}

} // namespace

WedgeShape MakeWedgeShape(const IntRect& client, bool vertical, bool wedge) {
    const int32_t l = client.left;
    const int32_t t = client.top;
    const int32_t r = client.right;
    const int32_t b = client.bottom;
    WedgeShape shape;
    if (vertical) {
        shape.points = {IntPoint{l + 12, b - 12}, IntPoint{l + 12, t + 11}, IntPoint{r - 1, t + 11},
                        wedge ? IntPoint{l + 20, b - 12} : IntPoint{r - 1, b - 12}, IntPoint{l + 12, b - 12}};
        shape.gradientStart = {0, 0};
        shape.gradientEnd = {0, b + 1};
    } else {
        shape.points = {IntPoint{l + 11, t + 9}, wedge ? IntPoint{l + 11, t + 7} : IntPoint{l + 11, t},
                        IntPoint{r - 13, t}, IntPoint{r - 13, t + 9}, IntPoint{l + 11, t + 9}};
        shape.gradientStart = {r + 1, 0};
        shape.gradientEnd = {0, 0};
    }
    return shape;
}

WedgeColors MakeWedgeColors(uint32_t color1, uint32_t color2, uint32_t windowRgb) {
    const uint32_t secondBase = color2 == kOpaqueWhite ? EveryChannelTenth(color1) : color2;
    WedgeColors colors;
    colors.first = OpaqueTowards(color1, windowRgb, 50);
    colors.second = OpaqueTowards(secondBase, windowRgb, 30);
    return colors;
}
