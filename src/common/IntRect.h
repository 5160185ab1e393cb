#pragma once

#include <cstdint>

// A rectangle in pixels, laid out like the platform's RECT (right and bottom exclusive),
// for the geometry decisions that are kept apart from window calls.
struct IntRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const IntRect&) const = default;
};

struct IntPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const IntPoint&) const = default;
};
