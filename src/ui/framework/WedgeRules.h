#pragma once

#include "common/IntRect.h"
#include "ui/framework/DpiRules.h"

#include <array>
#include <cstdint>
#include <span>

// The coloured wedge behind a slider's thumb: its outline and gradient, decided without
// any window or device context.

struct WedgeShape {
    // Five points: the filled polygon is the first four; the sunken edge is drawn through
    // the first three (shadow) and the last three (highlight).
    std::array<IntPoint, 5> points;
    IntPoint gradientStart; // in the first gradient colour
    IntPoint gradientEnd;   // in the second gradient colour
};

// `client` is the trackbar's client rectangle. Vertical: wide at the top (maximum) and 8
// pixels wide at the bottom with `wedge`, a rectangle without. The offsets from the edges
// are those at 96 DPI and grow with `dpi`, as the trackbar's channel margins do.
WedgeShape MakeWedgeShape(const IntRect& client, bool vertical, bool wedge, uint32_t dpi = kBaseDpi);

// The width of the wedge's sunken edge: one pixel at 96 DPI.
int32_t WedgeEdgeWidth(uint32_t dpi);

struct WedgeColors {
    uint32_t first = 0;  // ARGB, alpha 255
    uint32_t second = 0; // ARGB, alpha 255
};

// Colour 1 moved halfway towards the window colour, and colour 2 (or, when it is opaque
// white, colour 1 with every channel divided by 10) moved 30 % towards it. Colours are
// ARGB; `windowRgb` is 0x00RRGGBB.
WedgeColors MakeWedgeColors(uint32_t color1, uint32_t color2, uint32_t windowRgb);

// The smallest rectangle holding every pixel whose alpha (the top byte) is not 0, of a
// picture of `width` x `height` 32-bit pixels stored row by row from the top; empty when
// every pixel is transparent. Blending only this part of the wedge's picture leaves the
// same pixels as blending all of it, with less to blend.
IntRect NonTransparentBounds(std::span<const uint32_t> pixels, int32_t width, int32_t height);
