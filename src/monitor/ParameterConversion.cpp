#include "monitor/ParameterConversion.h"

#include "monitor/MonitorParameter.h"

namespace {

bool IsEmptyRange(uint32_t minimum, uint32_t maximum) {
    return maximum <= minimum;
}

uint32_t PresetBit(uint32_t preset) {
    return preset >= 1 && preset <= 32 ? 1u << (preset - 1) : 0u;
}

uint32_t Distance(uint32_t a, uint32_t b) {
    return a > b ? a - b : b - a;
}

uint32_t NearestSupported(uint32_t candidate, uint32_t supported) {
    uint32_t best = 0;
    uint32_t bestDistance = UINT32_MAX;
    for (uint32_t preset = 1; preset <= kMaxColorTemperature; ++preset) {
        if ((supported & PresetBit(preset)) != 0 && Distance(preset, candidate) < bestDistance) {
            best = preset;
            bestDistance = Distance(preset, candidate);
        }
    }
    return best;
}

} // namespace

uint32_t PercentToDevice(uint32_t minimum, uint32_t maximum, uint32_t percent) {
    if (IsEmptyRange(minimum, maximum)) {
        return minimum;
    }
    // 64-bit intermediate: no overflow for wide device ranges.
    return minimum + static_cast<uint32_t>(uint64_t{maximum - minimum} * percent / 100);
}

uint32_t DeviceToPercent(uint32_t minimum, uint32_t current, uint32_t maximum) {
    if (IsEmptyRange(minimum, maximum)) {
        return 0;
    }
    // A current value outside the reported range reads as the nearer end, never wraps.
    const uint32_t clamped = current < minimum ? minimum : (current > maximum ? maximum : current);
    return static_cast<uint32_t>(uint64_t{clamped - minimum} * 100 / (maximum - minimum));
}

uint32_t NearestColorTemperature(uint32_t requested, std::span<const uint32_t> supportedSets) {
    if (requested == kNoColorTemperature) {
        return kNoColorTemperature;
    }
    const uint32_t wanted = PresetBit(requested);
    uint32_t candidate = requested;
    for (uint32_t supported : supportedSets) {
        if ((supported & wanted) != 0) {
            return candidate;
        }
        candidate = NearestSupported(candidate, supported);
    }
    return candidate;
}
