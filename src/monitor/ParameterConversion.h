#pragma once

#include <cstdint>
#include <span>

// Conversions between the user's percentages and a monitor's own device range.
// A monitor that reports its minimum above its maximum has no usable range: it is
// treated as empty (minimum == maximum) so no wrapped device value is ever made.

// minimum + (maximum - minimum) * percent / 100, truncating.
uint32_t PercentToDevice(uint32_t minimum, uint32_t maximum, uint32_t percent);

// (current - minimum) * 100 / (maximum - minimum), truncating; 0 for an empty range;
// a current value outside the range counts as the nearer end.
uint32_t DeviceToPercent(uint32_t minimum, uint32_t current, uint32_t maximum);

// The preset to use instead of `requested` when the monitors cannot show it. Each
// element of `supportedSets` is one monitor's set of supported presets (bit n-1 for
// preset n), in monitor order. The nearest supported preset wins, the lower on a tie;
// 0 when a monitor supports none; the request itself when there is no monitor.
uint32_t NearestColorTemperature(uint32_t requested, std::span<const uint32_t> supportedSets);
