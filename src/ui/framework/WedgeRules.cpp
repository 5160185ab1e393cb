#include "ui/framework/WedgeRules.h"

#include <algorithm>

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

WedgeShape MakeWedgeShape(const IntRect& client, bool vertical, bool wedge, uint32_t dpi) {
    const auto at = [dpi](int32_t pixels) { return ScaleForDpi(pixels, dpi); };
    const int32_t l = client.left;
    const int32_t t = client.top;
    const int32_t r = client.right;
    const int32_t b = client.bottom;
    WedgeShape shape;
    if (vertical) {
        shape.points = {IntPoint{l + at(12), b - at(12)}, IntPoint{l + at(12), t + at(11)},
                        IntPoint{r - at(1), t + at(11)},
                        wedge ? IntPoint{l + at(20), b - at(12)} : IntPoint{r - at(1), b - at(12)},
                        IntPoint{l + at(12), b - at(12)}};
        shape.gradientStart = {0, 0};
        shape.gradientEnd = {0, b + 1};
    } else {
        shape.points = {IntPoint{l + at(11), t + at(9)},
                        wedge ? IntPoint{l + at(11), t + at(7)} : IntPoint{l + at(11), t},
                        IntPoint{r - at(13), t}, IntPoint{r - at(13), t + at(9)},
                        IntPoint{l + at(11), t + at(9)}};
        shape.gradientStart = {r + 1, 0};
        shape.gradientEnd = {0, 0};
    }
    return shape;
}

int32_t WedgeEdgeWidth(uint32_t dpi) {
    return ScaleForDpi(1, dpi);
}

WedgeColors MakeWedgeColors(uint32_t color1, uint32_t color2, uint32_t windowRgb) {
    const uint32_t secondBase = color2 == kOpaqueWhite ? EveryChannelTenth(color1) : color2;
    WedgeColors colors;
    colors.first = OpaqueTowards(color1, windowRgb, 50);
    colors.second = OpaqueTowards(secondBase, windowRgb, 30);
    return colors;
}

IntRect NonTransparentBounds(std::span<const uint32_t> pixels, int32_t width, int32_t height) {
    IntRect bounds{width, height, 0, 0};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] >> 24) {
                bounds = {std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x + 1),
                          std::max(bounds.bottom, y + 1)};
            }
        }
    }
    return bounds.right > bounds.left ? bounds : IntRect{};
}
